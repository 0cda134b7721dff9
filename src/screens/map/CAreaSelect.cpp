#include "screens/map/CAreaSelect.h"

#include <algorithm>
#include <cctype>

#include "foundation/CInputView.h"
#include "foundation/CLangTextTable.h"
#include "foundation/GameCursor.h"
#include "foundation/IMouse.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSprite.h"
#include "graphics/FrameRedraw.h"
#include "graphics/HitMap.h"
#include "screens/base/ScreenWork.h"
#include "script/vm/BacklogStore.h"

namespace {

constexpr int32_t HELP_SIZE = 40;
constexpr uint32_t AREA_LONG_PRESS_MS = 15;
constexpr int32_t POINTER_STEP = 15;
constexpr int32_t POINTER_STEP_SHIFT = 45;
constexpr int32_t BACKLOG_PAGE = 4;

bool IsIdPicture(const CStringUTF8& name)
{
    const std::string& text = name.GetStdString();
    const size_t dot = text.rfind('.');
    if (dot == std::string::npos || text.size() - dot != 4)
        return false;
    return std::equal(text.begin() + static_cast<std::ptrdiff_t>(dot), text.end(), ".akb",
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

void SetCursorMode(int32_t mode)
{
    if (GameCursor* mouse = GetGameCursor())
        mouse->SetCursorMode(mode);
}

} // namespace

CStringUTF8 AreaLanguageText(int32_t id)
{
    const ScreenWork* work = GetScreenWork();
    const CLangTextTable* texts = work != nullptr ? work->m_system_language.get() : nullptr;
    return texts != nullptr ? texts->GetText(id) : CStringUTF8();
}

void CancelAreaScreen(ISelect& screen)
{
    if (IMouse* mouse = screen.InputView->GetMouse())
        mouse->ResetWheel();
    screen.PlayCancelSound(SCREEN_SOUND_CHANNEL);
    screen.ISelect::OnCancel();
    screen.Result = ScriptValue::FromInteger(0);
    screen.Running = 0;
}

AreaPointerScreen::AreaPointerScreen()
{
    ArrowsApart = true;
}

int32_t CAreaSelect::CreateParts()
{
    const int32_t made = IAreaSelect::CreateParts();
    if (CSprite* bar = AreaSelectParts().HelpBar.get()) {
        HelpBarHome = bar->GetPosition();
        HelpBarRect = *bar->GetRect();
    }
    return made;
}

ScriptValue* CAreaSelect::Run(ScriptValue* out)
{
    return RunInMode(out, 4);
}

ScriptValue* AreaPointerScreen::RunInMode(ScriptValue* out, int32_t mode)
{
    AreaSelectMode = mode;
    LongPressTime = AREA_LONG_PRESS_MS;
    return RunLoopAndClose(out);
}

void AreaPointerScreen::ShowLanguageHelp(int32_t text, int32_t show)
{
    ShowHelpText(AreaLanguageText(text), HELP_SIZE, show);
}

void CAreaSelect::OnOpen()
{
    IAreaSelect::OnOpen();
    Hover = -1;
    ShiftHeld = 0;
    DrawAreaState(AREA_ID_BACK, 0, 0);
    OpenTransition(0);
    if (!HitSource.IsEmpty()) {
        if (IsIdPicture(HitSource)) {
            HitAreas.Assign({});
            AreaSelectIdPicture().LoadPictureStretched(HitSource);
        } else {
            AreaSelectIdPicture().Release();
            HitAreas.Load(HitSource);
        }
    }
    SetCursorMode(0);
    ShowLanguageHelp(AREA_TEXT_NOTHING, 1);
    if (GameCursor* mouse = GetGameCursor())
        mouse->ShowGameCursor();
    RedrawFrameNow();
}

void CAreaSelect::OnClose()
{
    if (GameCursor* mouse = GetGameCursor())
        mouse->HideGameCursor();
    CloseTransition(0);
    AreaSelectIdPicture().Release();
    ISelect::OnClose();
}

void AreaPointerScreen::Update()
{
    POINT window{};
    if (IMouse* mouse = InputView->GetMouse())
        mouse->GetPosition(&window);
    const POINT at = CDirect3D::GetInstance()->WindowToLogical(window);
    AreaSelectPartSet& parts = AreaSelectParts();
    if (parts.HelpBar && parts.HelpLine) {
        const bool inside = HelpBarRect.left <= at.x && at.x < HelpBarRect.right && HelpBarRect.top <= at.y &&
                            at.y < HelpBarRect.bottom;
        const int32_t y = parts.HelpBar->GetPosition().y;
        // Always tested against the home strip, so the lifted bar stays up over it.
        if (inside == (y == HelpBarHome.y)) {
            const int32_t target = inside ? HelpBarHome.y - AREA_HELP_LIFT : HelpBarHome.y;
            parts.HelpBar->SetPosition(HelpBarHome.x, target);
            parts.HelpLine->SetPosition(HelpBarHome.x, target);
            RedrawFrameNow();
        }
    }
    const int32_t id = HitTestCursor();
    if (id != Hover) {
        if (Hover != -1)
            DrawAreaState(Hover, 0, 1);
        Hover = id;
        if (id != -1) {
            DrawAreaState(id, 1, 1);
        } else {
            SetCursorMode(0);
            ShowLanguageHelp(AREA_TEXT_NOTHING, 1);
            RedrawFrameNow();
        }
    }
    if (!IsInputTriggered(INPUT_SHIFT))
        ShiftHeld = 0;
}

void CAreaSelect::DrawAreaState(int32_t id, int32_t state, int32_t present)
{
    if (id == -1)
        return;
    const int32_t group = id / 256;
    if (group >= 1 && group <= 13) {
        SetCursorMode(group);
        ShowLanguageHelp(AREA_TEXT_GROUP_BASE + group, present);
    } else {
        SetCursorMode(0);
        DrawFixedButton(id, state, 0);
        if (id == AREA_ID_BACK)
            ShowLanguageHelp(AREA_TEXT_BACK, present);
        else
            ShowLanguageHelp(AREA_TEXT_NOTHING, 1);
    }
    if (present != 0)
        RedrawFrameNow();
}

int32_t AreaPointerScreen::MovePointer(int32_t dx, int32_t dy, uint32_t scan_code)
{
    const int32_t step = ShiftHeld == 1 ? POINTER_STEP_SHIFT : POINTER_STEP;
    if (IMouse* mouse = InputView->GetMouse()) {
        POINT window{};
        mouse->GetPosition(&window);
        CDirect3D* display = CDirect3D::GetInstance();
        const POINT at = display->WindowToLogical(window);
        // Not clamped: the pointer may be driven past the edge.
        const POINT moved = display->LogicalToWindow({at.x + dx * step, at.y + dy * step});
        mouse->SetPosition(moved.x, moved.y);
    }
    IsInputHeld(scan_code);
    return 0;
}

void AreaPointerScreen::OpenBacklog()
{
    if (IMouse* mouse = InputView->GetMouse())
        mouse->ResetWheel();
    if (CountBacklogEntries() != 0) {
        CloseTransition(1);
        GameWork->TakeScreenSnapshot();
        GameWork->RunSystemMenu(BACKLOG_PAGE);
        GameWork->ClearSnapshotTaken();
        OpenTransition(0);
        Hover = -1;
    }
    if (IMouse* mouse = InputView->GetMouse())
        mouse->ResetWheel();
}

void AreaPointerScreen::OnBackspaceKey()
{
    OpenBacklog();
    WaitInputRelease(SCAN_BACKSPACE);
}

void AreaPointerScreen::OnMouseWheel(int32_t count)
{
    if (count > 0)
        OpenBacklog();
    else if (IMouse* mouse = InputView->GetMouse())
        mouse->ResetWheel();
}

void CAreaSelect::OnDecide()
{
    if (Hover == -1)
        return;
    int32_t value = Hover;
    if (Hover >= AREA_ID_FIXED_FIRST && Hover <= AREA_ID_FIXED_LAST) {
        DrawFixedButton(Hover, 2, 1);
        ISelect::OnDecide();
        DrawFixedButton(Hover, 0, 1);
        value = 0;
    }
    Result = ScriptValue::FromInteger(value);
    Running = 0;
    ISelect::OnDecide();
}

void AreaPointerScreen::OnCancel()
{
    CancelAreaScreen(*this);
}

void CAreaSelect::ClearFiles()
{
    HitSource.Empty();
    HitAreas.Assign({});
    AreaSelectIdPicture().Release();
}
