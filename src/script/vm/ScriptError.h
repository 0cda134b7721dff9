#pragma once
// Script-level errors are shown, not thrown: the text goes through the document's script-error
// format (script name and line first) into a plain message box, and the script goes on.

#include "foundation/CStringUTF8.h"

void ReportScriptError(const CStringUTF8& message);
