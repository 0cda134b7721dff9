// The town map as a screen: its parts, the paced map steps, the side menu, the plate button and
// the sub map.

#include <algorithm>

#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "graphics/CDirect3D.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/EffectClock.h"
#include "platform/kernel/IdleWait.h"
#include "screens/base/ScreenWork.h"
#include "screens/map/CCps.h"
#include "screens/map/CStatusPlate.h"
#include "screens/map/CSubMap.h"
#include "script/vm/BacklogStore.h"

namespace {

constexpr uint16_t NO_EVENT = 0xFFFF;
constexpr int32_t SIDE_MENU_FIRST = 0xF00;
constexpr int32_t SIDE_MENU_LAST = 0xFFF;
constexpr int32_t PLATE_BUTTON_ID = 0xE00;
constexpr int32_t PLATE_BUTTON_LAST = 0xEFF;
constexpr uint32_t PLATE_LIVE_FLAG = 8003;
constexpr RECT PLATE_BUTTON_RECT{642, 23, 965, 73};
constexpr int32_t SUB_MAP_RESULT = 0xFF00;
constexpr int32_t RETURNED_TO_TITLE = 1;

void ResetWheel(CInputView* view)
{
    if (IMouse* mouse = view != nullptr ? view->GetMouse() : nullptr)
        mouse->ResetWheel();
}

} // namespace

uint32_t CCps::StepInterval()
{
    const uint16_t speed = GetConfigMapSpeed();
    return speed == 0 ? 66 : speed == 2 ? 16 : 33;
}

int32_t CCps::CreateMenu()
{
    if (!CreateMapLayers())
        return 0;
    // Without the sheet the icons only go without pictures; a folder lacking it (a test's) starts
    // without a message box.
    if (CLayerFile* file = LayerFile(); file != nullptr && file->Exists("icon_p.akb"))
        LoadIconSheet();
    DiagonalStep = 0;
    TrailHead = 0;
    WalkEndRestore.Armed = 0;
    return 1;
}

void CCps::ReleaseMenu()
{
    ReleaseMapData();
    ReleaseMapLayers();
    MapPictureName = OverlayPictureName = CStringUTF8();
}

void CCps::Show()
{
    // The side menu comes back with the plate: the message window hid both before the map ran.
    CSpriteAnime anime;
    AddShowAnimation(anime);
    if (GameWork != nullptr && GameWork->GetStatusPlate())
        GameWork->GetStatusPlate()->ShowAnimated(&anime);
    anime.PlayAndWait();
}

void CCps::OnOpen()
{
    HoverId = -1;
    Running = 1;
    // The sub-map button is shown only on the map.
    MenuIndex = 1;
    ShownGameMode = GetConfigGameMode();
    if (GameWork != nullptr)
        GameWork->SetStatusBits(STATUS_SNAPSHOT_WANTED);
    RefreshButtons();
    CloseMenu();
    if (GameWork != nullptr && GameWork->GetStatusPlate())
        GameWork->GetStatusPlate()->DrawCalendar();
    Show();
    LastFrameTime = LastUpdateStep = GetEffectTime();
    LastStepShown = true; // the first step is due
    LastStepSettled = false;
}

void CCps::OnClose()
{
    Hide();
    if (GameWork != nullptr)
        GameWork->ClearStatusBits(STATUS_SNAPSHOT_WANTED);
    ISelect::OnClose();
}

void CCps::EndWith(int32_t result)
{
    Result = ScriptValue::FromInteger(result);
    Running = 0;
}

CCps::StepState CCps::CaptureStepState() const
{
    StepState state;
    for (uint32_t i = 0; i < MoverCount && i < Movers.size(); ++i)
        if (Movers[i] != nullptr)
            std::copy_n(Movers[i], MAP_MOVER_RECORD_SIZE, state.Movers.begin() + i * MAP_MOVER_RECORD_SIZE);
    state.Camera = Camera;
    state.TrailHead = TrailHead;
    state.PathLength = PathLength;
    state.LeaderResult = LeaderResult;
    state.LastEventId = LastEventId;
    state.EventCheckPending = EventCheckPending;
    state.WalkEnd = {WalkEndRestore.Armed, WalkEndRestore.State, WalkEndRestore.Opcode, WalkEndRestore.Count};
    state.WalkEndTarget = WalkEndRestore.Target;
    return state;
}

void CCps::Update()
{
    const uint32_t now = GetEffectTime();
    const uint32_t interval = StepInterval();
    // After a rest through steps that only other movers would have taken, a press keeps the
    // steps' times: its turn steps at the next of them, as a loop that never rested would, so a
    // click on the side menu does not first steer the leader towards it.
    IMouse* pointer = InputView != nullptr ? InputView->GetMouse() : nullptr;
    if (!LastStepShown && !LastStepSettled && now - LastUpdateStep >= 2 * interval && pointer != nullptr &&
        pointer->IsLeftDown())
        LastUpdateStep += (now - LastUpdateStep) / interval * interval;
    // Elapsed time, so the clock's wrap never freezes the map; a slow frame makes up nothing.
    if (now - LastUpdateStep > interval) {
        const uint32_t previous = LastUpdateStep;
        LastUpdateStep = now;
        const StepState before = CaptureStepState();
        const uint16_t leader = RunFrame();
        if (const uint16_t id = CheckEventAreas(); id != NO_EVENT)
            EndWith(id);
        LastStepShown = leader != 0;
        LastStepSettled = CaptureStepState() == before;
        // A step that changed and drew nothing does not hold back the next one: when a wake just
        // before some input (a window event of its own) ran such a step, the turn that brings the
        // input still steps at once.
        if (LastStepSettled && leader == 0)
            LastUpdateStep = previous;
    }
    LastFrameTime = now;
    // The loop's rests end in time for the next step while the steps show something: the leader
    // walks, or the player steers it and other movers may clear its way. Only the leader's steps
    // redraw the view, so the other movers walk on unseen, and a slow frame makes up no steps:
    // otherwise the rests last until input, a message or a timer.
    if (LastStepShown || (!LastStepSettled && SteeringHeld()))
        platform::NoteDueTime(LastUpdateStep + interval + 1);

    POINT cursor{-1, -1};
    if (IMouse* mouse = InputView != nullptr ? InputView->GetMouse() : nullptr) {
        POINT position{};
        mouse->GetPosition(&position);
        cursor = CDirect3D::GetInstance()->WindowToLogical(position);
    }
    // A closed menu the tab did not close only waits for the pointer at the edge: closing it
    // again on every pass would restart its slide and redraw its buttons at the full frame rate.
    if (IsOpen() == 0 && !MenuOpenedByTab) {
        if (cursor.x > 1846 && cursor.x < 1920 && cursor.y > 0 && cursor.y < 1080)
            OpenMenu();
    } else if (cursor.x < 1520 || cursor.x > 1920 || cursor.y < 0 || cursor.y > 1080) {
        CloseMenu();
        MenuOpenedByTab = false;
    }

    int32_t id = HitTest(cursor.x, cursor.y);
    CStatusPlate* plate = GameWork != nullptr ? GameWork->GetStatusPlate() : nullptr;
    if (id == -1 && plate != nullptr && plate->IsShown() && GetFlag(PLATE_LIVE_FLAG) != 0 &&
        cursor.x >= PLATE_BUTTON_RECT.left && cursor.x < PLATE_BUTTON_RECT.right &&
        cursor.y >= PLATE_BUTTON_RECT.top && cursor.y < PLATE_BUTTON_RECT.bottom)
        id = PLATE_BUTTON_ID;
    if (id != HoverId) {
        DrawHover(HoverId, 0);
        HoverId = id;
        DrawHover(id, 1);
    }

    if (GetConfigGameMode() != ShownGameMode) {
        RedrawMap();
        CloseMenu();
        ShownGameMode = GetConfigGameMode();
    }
}

void CCps::DrawHover(int32_t id, int32_t state)
{
    if (id < 0)
        return;
    if (id >= SIDE_MENU_FIRST && id <= SIDE_MENU_LAST)
        DrawButton(id & 0xFF, state, 1);
    else if (id >= PLATE_BUTTON_ID && id <= PLATE_BUTTON_LAST && GetFlag(PLATE_LIVE_FLAG) != 0 &&
             GameWork != nullptr && GameWork->GetStatusPlate())
        GameWork->GetStatusPlate()->DrawButton(state, 0);
    LockDraw();
    CDirect3D::GetInstance()->DrawFrame();
    UnlockDraw();
}

void CCps::OnDecide()
{
    const int32_t id = HoverId;
    if (id >= SIDE_MENU_FIRST && id <= SIDE_MENU_LAST)
        SideMenuAction(id);
    else if (id >= PLATE_BUTTON_ID && id <= PLATE_BUTTON_LAST)
        TogglePresenceMode();
}

void CCps::SideMenuAction(int32_t id)
{
    const int32_t button = id & 0xFF;
    if (button < 0 || button >= SIDE_MENU_SLOTS)
        return;
    const int32_t code = ButtonMap[static_cast<size_t>(button)];
    if (code < 0)
        return;
    if (GetButtonState(code) != 0)
        return;
    if (code == 4 && CountBacklogEntries() == 0)
        return;
    PlayOkSound(4);
    DrawButton(button, 2, 1);
    ISelect::OnDecide();
    DrawButton(button, 0, 1);
    if (GameWork == nullptr)
        return;
    switch (code) {
    case 0:
        ToggleMenu();
        MenuOpenedByTab = true;
        HoverId = -1;
        break;
    case 1:
        GameWork->ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
        CaptureWithoutMenu();
        GameWork->RunSaveLoad(2);
        break;
    case 2:
        GameWork->ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
        GameWork->RunSaveLoad(3);
        break;
    case 3:
        GameWork->RunTopPage();
        break;
    case 4:
        ResetWheel(InputView);
        CaptureWithoutMenu();
        GameWork->RunSystemMenu(4);
        GameWork->ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
        break;
    case 5:
        if (const int32_t answer = GameWork->SuspendGameCursor(); answer != -1)
            EndWith(answer | SUB_MAP_RESULT);
        break;
    case 6:
        GameWork->RunFlagManager();
        break;
    case 7:
        ResetWheel(InputView);
        try {
            GameWork->ConfirmReturnTo(0, 1);
        } catch (GameDocument::tagDOCUMENT_CODE document_code) {
            if (document_code != GameDocument::DOCUMENT_RETURN_TO_TITLE)
                throw;
            HoverId = -1;
            EndWith(RETURNED_TO_TITLE);
        }
        break;
    case 8:
        ResetWheel(InputView);
        GameWork->ConfirmExit();
        break;
    default:
        break;
    }
}

// The snapshot is the town as the player saw it before the menu came in: the save's thumbnail
// and the backlog's backdrop show no menu. The menu is closed at once and a frame drawn without it.
void CCps::CaptureWithoutMenu()
{
    if ((GameWork->GetStatus() & (STATUS_SNAPSHOT_WANTED | STATUS_SNAPSHOT_TAKEN)) != STATUS_SNAPSHOT_WANTED)
        return;
    if (IsOpen() != 0) {
        CloseMenu();
        FinishSlide();
        HoverId = -1;
        LockDraw();
        CDirect3D::GetInstance()->DrawFrame();
        UnlockDraw();
    }
    GameWork->TakeScreenSnapshot();
}

void CCps::TogglePresenceMode()
{
    PressGameModeButton();
    if (GetConfigGameMode() != ShownGameMode) {
        RedrawMap();
        ShownGameMode = GetConfigGameMode();
    }
    HoverId = -1;
}

void CCps::OnCancel()
{
    ISelect::OnCancel();
    if (GameWork == nullptr || !GameWork->GetSubMap())
        return;
    ScriptValue answer = ScriptValue::FromInteger(-1);
    GameWork->GetSubMap()->Run(&answer);
    if (answer.Integer != -1)
        EndWith(answer.Integer | SUB_MAP_RESULT);
}
