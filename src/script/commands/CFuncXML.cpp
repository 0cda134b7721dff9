#include "script/commands/CFuncXML.h"

#include "foundation/AppLink.h"
#include "foundation/CXMLDocument.h"
#include "script/vm/ScriptContext.h"

void CFuncXML::Call(CScript&)
{
    const int32_t sub = Context->PopInteger();
    if (sub != 0 && sub != 1)
        return;
    const CStringUTF8 key = Context->PopValue().Text;
    const ScriptValue value = Context->PopValue();
    const bool integer = value.Type == SCRIPT_VALUE_INTEGER;
    AppLink* app = GetAppLink();
    if (sub == 0) {
        if (app == nullptr)
            Context->Push(value);
        else if (integer)
            Context->PushInteger(app->GetConfigInt(key, value.Integer, 0));
        else
            Context->Push(ScriptValue::FromText(app->GetConfigString(key, value.Text, 0)));
        return;
    }
    CXMLDocument* config = app != nullptr ? app->GetConfigDocument() : nullptr;
    if (config == nullptr)
        return;
    if (integer)
        config->SetInt(key, value.Integer);
    else
        config->SetString(key, value.Text);
}
