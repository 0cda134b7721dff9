#include "script/vm/ScriptError.h"

#include "foundation/GameDocument.h"
#include "foundation/PlayerMessage.h"

void ReportScriptError(const CStringUTF8& message)
{
    ShowPlayerMessage(0, GetGameDocument()->FormatScriptError(message));
}
