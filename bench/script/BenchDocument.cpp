// The document for the interpreter benchmark: a game state and a script context on the process
// document; nothing in the measured loop reaches the script-stack operations.
#include "BenchDocument.h"

#include "app/CVeskDoc.h"
#include "script/FlagBuffer.h"
#include "script/ScriptValueTable.h"
#include "script/vm/ScriptContext.h"

CVeskDoc* PrepareBenchDocument()
{
    CVeskDoc* document = GetDocument();
    if (!document->m_current_state) {
        document->m_current_state = std::make_unique<FlagBuffer>();
        document->SaveDataTable = std::make_unique<ScriptValueTable>();
        document->SaveDataSnapshot = std::make_unique<ScriptValueTable>();
        document->m_script_context = std::make_unique<ScriptContext>();
    }
    return document;
}
