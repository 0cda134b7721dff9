#include "script/vm/ScriptError.h"

#include "app/CVeskDoc.h"
#include "foundation/PlayerMessage.h"

void ReportScriptError(const CStringUTF8& message)
{
    ShowPlayerMessage(0, GetDocument()->FormatScriptError(message));
}
