#include "app/ShellScriptScreens.h"

#include "app/CGameWork.h"
#include "graphics/CAppTask.h"
#include "screens/ScriptScreens.h"
#include "screens/base/CFaceVoice.h"
#include "screens/base/CMesWnd.h"
#include "screens/base/ScreenResult.h"
#include "screens/extras/CCGFlag.h"
#include "screens/map/CAreaBase.h"
#include "screens/map/CAreaSelect.h"
#include "screens/map/CCps.h"
#include "screens/map/CStatusPlate.h"
#include "screens/system/CSaveDialog.h"
#include "script/ScriptScreenTable.h"

namespace {

constexpr ScriptScreen SHELL_SCREENS[] = {
    ScriptScreen::AreaBase,        ScriptScreen::AreaSelectSource,
    ScriptScreen::AreaSelect,      ScriptScreen::AreaSelectClear,
    ScriptScreen::TownMap,         ScriptScreen::StatusPlateShow,
    ScriptScreen::StatusPlateHide, ScriptScreen::StatusPlateCalendar,
    ScriptScreen::AutoSave,        ScriptScreen::FaceVoiceStart,
    ScriptScreen::FaceVoiceStop,   ScriptScreen::PictureBegin,
    ScriptScreen::PictureOverlay,  ScriptScreen::PictureRegister,
};

void Answer(ScriptValue* out, int32_t answer)
{
    if (out != nullptr)
        *out = ScriptValue::FromInteger(answer);
}

} // namespace

void RegisterShellScriptScreens(CGameWork& work)
{
    CGameWork* w = &work;
    RegisterScriptMessageWindow([w]() -> IScriptMessageWindow* { return w->GetMessageWindow(); });
    RegisterScriptScreen(ScriptScreen::AreaBase, [w](const ScriptScreenCall& call, ScriptValue* out) {
        if (CAreaBase* screen = w->GetAreaBase())
            Answer(out, screen->RunWithMode(call.IntegerAt(0)));
    });
    RegisterScriptScreen(ScriptScreen::AreaSelectSource, [w](const ScriptScreenCall& call, ScriptValue*) {
        if (CAreaSelect* screen = w->GetAreaSelect())
            screen->HitSource = call.TextAt(0);
    });
    RegisterScriptScreen(ScriptScreen::AreaSelect, [w](const ScriptScreenCall&, ScriptValue* out) {
        if (CAreaSelect* screen = w->GetAreaSelect())
            Answer(out, RunForResult(*screen));
    });
    RegisterScriptScreen(ScriptScreen::AreaSelectClear, [w](const ScriptScreenCall&, ScriptValue*) {
        if (CAreaSelect* screen = w->GetAreaSelect())
            screen->ClearFiles();
    });
    RegisterScriptScreen(ScriptScreen::TownMap, [w](const ScriptScreenCall& call, ScriptValue*) {
        if (CCps* map = w->GetTownMap(); map != nullptr && call.Script != nullptr)
            map->ExecCommand(*call.Script);
    });
    RegisterScriptScreen(ScriptScreen::StatusPlateShow, [w](const ScriptScreenCall&, ScriptValue*) {
        if (CStatusPlate* plate = w->GetStatusPlate())
            plate->ShowAnimated(nullptr);
    });
    RegisterScriptScreen(ScriptScreen::StatusPlateHide, [w](const ScriptScreenCall&, ScriptValue*) {
        if (CStatusPlate* plate = w->GetStatusPlate())
            plate->HideAnimated(nullptr);
    });
    RegisterScriptScreen(ScriptScreen::StatusPlateCalendar, [w](const ScriptScreenCall&, ScriptValue*) {
        if (CStatusPlate* plate = w->GetStatusPlate())
            plate->DrawCalendar();
    });
    RegisterScriptScreen(ScriptScreen::AutoSave, [w](const ScriptScreenCall&, ScriptValue*) {
        if (CSaveDialog* screen = w->GetSaveDialog())
            screen->AutoSave();
    });
    RegisterScriptScreen(ScriptScreen::FaceVoiceStart, [w](const ScriptScreenCall& call, ScriptValue*) {
        // Items of an earlier table go first, so that none outlives the table it points into.
        if (CFaceVoice* face = w->GetFaceVoice(); face != nullptr && face->LoadTable(call.TextAt(0)))
            face->StartItems();
    });
    RegisterScriptScreen(ScriptScreen::FaceVoiceStop, [w](const ScriptScreenCall&, ScriptValue*) {
        CFaceVoice* face = w->GetFaceVoice();
        if (face == nullptr)
            return;
        if (CAppTask* runner = GetAppTask())
            runner->RemoveTask(face);
        face->Clear();
    });
    RegisterScriptScreen(ScriptScreen::PictureBegin, [w](const ScriptScreenCall& call, ScriptValue*) {
        if (CCGFlag* registry = w->GetCGFlags())
            registry->BeginCombination(call.TextAt(0));
    });
    RegisterScriptScreen(ScriptScreen::PictureOverlay, [w](const ScriptScreenCall& call, ScriptValue*) {
        if (CCGFlag* registry = w->GetCGFlags())
            registry->SetOverlay(call.TextAt(0), call.IntegerAt(1));
    });
    RegisterScriptScreen(ScriptScreen::PictureRegister, [w](const ScriptScreenCall&, ScriptValue*) {
        if (CCGFlag* registry = w->GetCGFlags())
            registry->RegisterCombination();
    });
    RegisterScriptScreens();
}

void UnregisterShellScriptScreens()
{
    RegisterScriptMessageWindow(nullptr);
    for (const ScriptScreen screen : SHELL_SCREENS)
        RegisterScriptScreen(screen, nullptr);
    UnregisterScriptScreens();
}
