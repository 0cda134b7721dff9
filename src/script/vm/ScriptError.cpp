#include "script/vm/ScriptError.h"

#include "app/AppMessageBox.h"
#include "app/CVeskDoc.h"

void ReportScriptError(const CStringUTF8& message)
{
    AppMessageBox(0, GetDocument()->FormatScriptError(message));
}
