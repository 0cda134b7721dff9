#include "script/vm/ScriptError.h"

#include "app/CVeskDoc.h"
#include "platform/kernel/WinTypes.h"

// FIXME: from the application's message-box header once it lands.
int AppMessageBox(UINT flags, CStringUTF8 text);

void ReportScriptError(const CStringUTF8& message)
{
    AppMessageBox(0, GetDocument()->FormatScriptError(message));
}
