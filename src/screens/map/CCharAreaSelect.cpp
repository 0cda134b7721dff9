#include "screens/map/CCharAreaSelect.h"

#include "foundation/CInputView.h"
#include "foundation/GameCursor.h"
#include "foundation/IMouse.h"
#include "graphics/CDirect3D.h"
#include "graphics/FrameRedraw.h"
#include "screens/base/IRightMenu.h"
#include "script/exec/StandingCharacterSet.h"

namespace {

constexpr int32_t PLACE_TEXT_SIZE = 20;
constexpr int32_t HELP_SIZE = 40;

} // namespace

CCharAreaSelect::CCharAreaSelect() = default;

ScriptValue* CCharAreaSelect::Run(ScriptValue* out)
{
    return RunInMode(out, 3);
}

int32_t CCharAreaSelect::CreateParts()
{
    const int32_t made = IAreaSelect::CreateParts();
    // The open position: after any area screen closed the bar stands below the screen, and a
    // home taken there would keep it out of sight for the whole run.
    HelpBarHome = {AREA_HELP_X, AREA_HELP_Y};
    HelpBarRect = {AREA_HELP_X, AREA_HELP_Y, AREA_HELP_X + AREA_HELP_WIDTH, AREA_HELP_Y + AREA_HELP_HEIGHT};
    return made;
}

void CCharAreaSelect::OnOpen()
{
    IAreaSelect::OnOpen();
    Hover = -1;
    ShiftHeld = 0;
    DrawAreaState(AREA_ID_BACK, 0, 0);
    OpenTransition(0);
    ShowHelpText(AreaLanguageText(AREA_TEXT_NOTHING), HELP_SIZE, 1);
    if (GameCursor* mouse = GetGameCursor())
        mouse->ShowGameCursor();
}

void CCharAreaSelect::OnClose()
{
    if (GameCursor* mouse = GetGameCursor())
        mouse->HideGameCursor();
    CloseTransition(0);
    ISelect::OnClose();
}

int32_t CCharAreaSelect::HitTestCursor()
{
    IMouse* mouse = InputView->GetMouse();
    if (mouse == nullptr)
        return -1;
    POINT window{};
    mouse->GetPosition(&window);
    const POINT at = CDirect3D::GetInstance()->WindowToLogical(window);
    if (const HitArea* area = AreaSelectHitAreas().HitTest(at.x, at.y); area != nullptr && area->Id != 0xFFFFFFFFu)
        return static_cast<int32_t>(area->Id | 0xFF00u);
    IRightMenu* menu = AreaSelectParts().Menu.get();
    if (menu != nullptr && menu->IsOpen() != 0)
        if (const int32_t id = menu->HitTest(at.x, at.y); id != -1)
            return id;
    // 0 is the empty background: nothing, not the back button's answer.
    const int32_t id = HitTestStandingCharacters(at.x, at.y);
    return id == 0 ? -1 : id;
}

void CCharAreaSelect::DrawAreaState(int32_t id, int32_t state, int32_t present)
{
    if (id == -1)
        return;
    const int32_t group = id / 256;
    GameCursor* mouse = GetGameCursor();
    if (group >= 1 && group <= 13) {
        if (mouse != nullptr)
            mouse->SetCursorMode(group);
        ShowHelpText(AreaLanguageText(AREA_TEXT_GROUP_BASE + group), PLACE_TEXT_SIZE, present);
    } else {
        if (mouse != nullptr)
            mouse->SetCursorMode(0);
        DrawFixedButton(id, state, 0);
        if (id == AREA_ID_BACK)
            ShowHelpText(AreaLanguageText(AREA_TEXT_BACK), PLACE_TEXT_SIZE, present);
    }
    if (present != 0)
        RedrawFrameNow();
}

void CCharAreaSelect::OnDecide()
{
    if (Hover == -1)
        return;
    const bool fixed = Hover >= AREA_ID_FIXED_FIRST && Hover <= AREA_ID_FIXED_LAST;
    Result = ScriptValue::FromInteger(fixed ? 0 : Hover);
    Running = 0;
    ISelect::OnDecide();
}
