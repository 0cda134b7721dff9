#include "screens/map/CAreaBase.h"

#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSprite.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/base/IRightMenu.h"
#include "screens/base/ScreenWork.h"
#include "screens/map/CAreaSelect.h"
#include "screens/map/CStatusPlate.h"
#include "screens/system/CLoadDialog.h"
#include "screens/system/CSaveDialog.h"
#include "script/FlagBuffer.h"
#include "script/commands/CFuncEffect.h"
#include "script/vm/BacklogStore.h"

namespace {

constexpr int32_t HELP_SIZE = 40;
constexpr int32_t PAGE_SAVE = 2;
constexpr int32_t PAGE_LOAD = 3;
constexpr int32_t PAGE_BACKLOG = 4;
constexpr int32_t MENU_KIND_TEXTS[] = {43, 45, 46, 44, 47, 49, 48, 84, 85};
constexpr int32_t PLATE_ITEM = 15;
constexpr uint32_t PLATE_LIVE_FLAG = 8003;
constexpr int32_t HIDDEN = 4;

bool IsMenuId(int32_t id)
{
    return id >= AREA_ID_MENU_FIRST && id <= AREA_ID_MENU_LAST;
}

bool IsFixedId(int32_t id)
{
    return id >= AREA_ID_FIXED_FIRST && id <= AREA_ID_FIXED_LAST;
}

IRightMenu* Menu()
{
    return AreaSelectParts().Menu.get();
}

} // namespace

void CAreaBase::OnOpen()
{
    IAreaSelect::OnOpen();
    Hover = -1;
    HitAreas.Assign({});
    RefreshFixedButtons(AreaSelectMode);
    if (GetFlag(AREA_HANDOVER_FLAG) != 0)
        RunAreaSelect();
    else
        OpenTransition(1);
}

void CAreaBase::OnClose()
{
    CloseTransition(1);
    ISelect::OnClose();
}

void CAreaBase::RefreshFixedButtons(int32_t mode)
{
    for (int32_t id : {AREA_ID_QUICKSAVE, AREA_ID_QUICKLOAD, AREA_ID_BACK, AREA_ID_AREASELECT})
        DrawAreaState(id, 0, 0);
    if (mode == 0 || mode == 2)
        DrawAreaState(AREA_ID_DECIDE, 0, 0);
}

void CAreaBase::Update()
{
    POINT window{};
    if (IMouse* mouse = InputView->GetMouse())
        mouse->GetPosition(&window);
    const POINT at = CDirect3D::GetInstance()->WindowToLogical(window);
    const int32_t id = HitTestCursor();
    if (id != Hover) {
        if (Hover != -1)
            DrawAreaState(Hover, 0, 1);
        Hover = id;
        if (id != -1) {
            DrawAreaState(id, 1, 1);
        } else {
            ShowHelpText(CStringUTF8(), HELP_SIZE, 1);
            RedrawFrameNow();
        }
    }
    if (Hover == -1 && Menu() != nullptr) {
        const bool in_strip = at.x >= 1520 && at.x <= 1920 && at.y >= 0 && at.y <= 1080;
        if (Menu()->IsOpen() != 0 || m_menu_pinned) {
            if (!in_strip) {
                Menu()->CloseMenu();
                m_menu_pinned = false;
            }
        } else if (at.x >= 1847 && at.x <= 1919 && at.y >= 1 && at.y <= 1079) {
            Menu()->OpenMenu();
        }
    }
    const int32_t mode = GetConfigGameMode();
    if (mode != GameModeSeen) {
        GameModeSeen = mode;
        if (Menu() != nullptr)
            Menu()->RefreshButtons();
        RedrawFrameNow();
    }
}

void CAreaBase::DrawAreaState(int32_t id, int32_t state, int32_t present)
{
    if (id == -1) {
        ShowHelpText(CStringUTF8(), HELP_SIZE, 1);
        return;
    }
    DrawFixedButton(id, state, 0);
    if (IsMenuId(id)) {
        const int32_t kind = Menu() != nullptr ? Menu()->GetKindAt(id % 256) : -1;
        if (kind < 0 || kind > 8 || Menu()->GetButtonState(kind) != 0) {
            ShowHelpText(CStringUTF8(), HELP_SIZE, 1);
            return;
        }
        ShowHelpText(AreaLanguageText(MENU_KIND_TEXTS[kind]), HELP_SIZE, present);
    } else if (IsFixedId(id)) {
        int32_t text = -1;
        switch (id % 256) {
        case 0:
            text = AreaSelectMode == 0 ? 232 : 310;
            break;
        case 1:
            text = 234;
            break;
        case 2:
            if (AreaSelectMode == 0)
                text = 235;
            else if (AreaSelectMode == 2 && GetFlag(AREA_HIDE_DECIDE_FLAG) == 0)
                text = 236;
            break;
        case 3:
            text = 237;
            break;
        case 4:
            text = 238;
            break;
        case PLATE_ITEM:
            if (GetFlag(PLATE_LIVE_FLAG) != 0)
                if (CStatusPlate* plate = GameWork->GetStatusPlate())
                    plate->DrawButton(state, 0);
            break;
        default:
            break;
        }
        if (text != -1)
            ShowHelpText(AreaLanguageText(text), HELP_SIZE, present);
    }
    if (present != 0)
        RedrawFrameNow();
}

void CAreaBase::Press(int32_t id, const char* sound)
{
    PlayPressSound(sound);
    ShowPress(id);
}

void CAreaBase::PlayPressSound(const char* sound)
{
    if (sound != nullptr) {
        CFuncEffect effect;
        effect.Play(sound, SCREEN_SOUND_CHANNEL, 1);
    } else {
        PlayOkSound(SCREEN_SOUND_CHANNEL);
    }
}

void CAreaBase::ShowPress(int32_t id)
{
    if (IsMenuId(id) && Menu() != nullptr) {
        Menu()->DrawButton(id, 2, 1);
        ISelect::OnDecide();
        Menu()->DrawButton(id, 0, 1);
    } else {
        DrawAreaState(id, 2, 1);
        ISelect::OnDecide();
        DrawAreaState(id, 0, 1);
    }
}

void CAreaBase::OnDecide()
{
    if (Hover == -1)
        return;
    if (IsMenuId(Hover)) {
        DecideMenuItem(Hover);
        if (Hover == -1 && Running != 0)
            return;
    } else if (IsFixedId(Hover)) {
        const int32_t item = Hover % 256;
        const FlagBuffer* flags = CurrentFlagBuffer();
        const auto variable = [flags](size_t n) {
            return flags != nullptr && n < flags->Variables.size() ? flags->Variables[n].Integer : 0;
        };
        // Refused buttons give no sound, no drawing and no wait.
        if (item == 2 && (AreaSelectMode == 1 || GetFlag(AREA_HIDE_DECIDE_FLAG) == 1))
            return;
        if (item == 4 && (variable(AREA_QUICK_SAVED_VARIABLE) == 0 || variable(AREA_REPLAY_VARIABLE) != 0))
            return;
        DecideFixedItem(item);
    }
    ISelect::OnDecide();
}

void CAreaBase::DecideMenuItem(int32_t id)
{
    IRightMenu* menu = Menu();
    const int32_t kind = menu != nullptr ? menu->GetKindAt(id % 256) : -1;
    if (menu == nullptr || kind < 0 || menu->GetButtonState(kind) != 0) {
        Hover = -1;
        return;
    }
    Press(id, nullptr);
    IMouse* mouse = InputView->GetMouse();
    switch (kind) {
    case 0:
        menu->ToggleMenu();
        m_menu_pinned = true;
        Hover = -1;
        break;
    case 1:
    case 2:
        CloseTransition(1);
        GameWork->ClearSnapshotTaken();
        GameWork->TakeScreenSnapshot();
        if (kind == 2)
            GameWork->ClearSnapshotTaken();
        GameWork->RunSaveLoad(kind == 1 ? PAGE_SAVE : PAGE_LOAD);
        OpenTransition(1);
        break;
    case 3:
        CloseTransition(1);
        GameWork->RunTopPage();
        OpenTransition(1);
        break;
    case 4:
        if (mouse != nullptr)
            mouse->ResetWheel();
        CloseTransition(1);
        GameWork->TakeScreenSnapshot();
        GameWork->RunSystemMenu(PAGE_BACKLOG);
        GameWork->ClearSnapshotTaken();
        OpenTransition(1);
        break;
    case 6:
        if (mouse != nullptr)
            mouse->ResetWheel();
        CloseTransition(1);
        GameWork->RunFlagManager();
        OpenTransition(1);
        break;
    case 7:
        if (mouse != nullptr)
            mouse->ResetWheel();
        try {
            GameWork->ConfirmReturnTo(RETURN_TO_TITLE, 1);
        } catch (const GameDocument::tagDOCUMENT_CODE& code) {
            if (code != GameDocument::DOCUMENT_RETURN_TO_TITLE)
                throw;
            Result = ScriptValue::FromInteger(1);
            Hover = -1;
            Running = 0;
        }
        break;
    case 8:
        if (mouse != nullptr)
            mouse->ResetWheel();
        GameWork->ConfirmExit();
        break;
    default:
        break;
    }
}

void CAreaBase::DecideFixedItem(int32_t item)
{
    switch (item) {
    case 1:
        Press(Hover, nullptr);
        RunAreaSelect();
        break;
    case 2:
        Press(Hover, nullptr);
        Result = ScriptValue::FromInteger(AREA_ID_DECIDE);
        Running = 0;
        break;
    case 3:
        ShowPress(Hover);
        GameWork->ClearSnapshotTaken();
        GameWork->TakeScreenSnapshot();
        // The sound says a save was made: a refused one has told why and stays silent.
        if (GameWork->GetSaveDialog() != nullptr && GameWork->GetSaveDialog()->QuickSave())
            PlayPressSound("ses_003.wav");
        DrawAreaState(AREA_ID_QUICKLOAD, 0, 1);
        break;
    case 4:
        Press(Hover, "ses_004.wav");
        GameWork->ClearSnapshotTaken();
        GameWork->TakeScreenSnapshot();
        if (GameWork->GetLoadDialog())
            GameWork->GetLoadDialog()->QuickLoad();
        break;
    case PLATE_ITEM:
        PressGameModeButton();
        break;
    default:
        Press(Hover, nullptr);
        Result = ScriptValue::FromInteger(0);
        Running = 0;
        break;
    }
}

void CAreaBase::OnCancel()
{
    CancelAreaScreen(*this);
}

void CAreaBase::RunBacklog()
{
    if (CountBacklogEntries() == 0)
        return;
    CloseTransition(1);
    GameWork->TakeScreenSnapshot();
    GameWork->RunSystemMenu(PAGE_BACKLOG);
    GameWork->ClearSnapshotTaken();
    OpenTransition(1);
}

void CAreaBase::OnBackspaceKey()
{
    IMouse* mouse = InputView->GetMouse();
    if (mouse != nullptr)
        mouse->ResetWheel();
    RunBacklog();
    if (mouse != nullptr)
        mouse->ResetWheel();
    WaitInputRelease(SCAN_BACKSPACE);
}

void CAreaBase::OnMouseWheel(int32_t count)
{
    IMouse* mouse = InputView->GetMouse();
    if (mouse != nullptr)
        mouse->ResetWheel();
    if (count > 0)
        RunBacklog();
    if (mouse != nullptr)
        mouse->ResetWheel();
}

void CAreaBase::RunAreaSelect()
{
    CloseTransition(1);
    ScriptValue answer;
    if (CAreaSelect* area = GameWork->GetAreaSelect())
        area->Run(&answer);
    if (answer.Integer == 0) {
        SetFlag(AREA_HANDOVER_FLAG, 0);
        RefreshFixedButtons(AreaSelectMode);
        LoadAreaSelectAreas(AreaSelectMode);
        OpenTransition(1);
    } else {
        SetFlag(AREA_HANDOVER_FLAG, 1);
        Result = answer;
        Running = 0;
    }
}

int32_t CAreaBase::ArrowTarget(int32_t direction)
{
    constexpr int32_t NONE = -1;
    IRightMenu* menu = Menu();
    const bool open = menu != nullptr && menu->IsOpen() != 0;
    const bool six_hidden = menu != nullptr && menu->GetButtonState(6) == HIDDEN;
    const int32_t menu_id = AREA_ID_MENU_FIRST;
    if (Hover == -1)
        return menu_id;
    if (IsMenuId(Hover)) {
        const int32_t k = Hover % 256;
        if (!open) {
            static constexpr int32_t CLOSED[] = {AREA_ID_MENU_FIRST, AREA_ID_BACK, AREA_ID_BACK,
                                                 AREA_ID_MENU_FIRST};
            return CLOSED[direction];
        }
        if (direction == 2)
            return AREA_ID_BACK;
        if (k == 0) {
            static constexpr int32_t ITEM0[] = {NONE, 0xF01, 0, NONE};
            return ITEM0[direction];
        }
        if (k == 4) {
            static constexpr int32_t ITEM4[] = {0xF03, 0, 0, NONE};
            return direction == 1 ? (six_hidden ? AREA_ID_BACK : 0xF05) : ITEM4[direction];
        }
        if (k == 6) {
            static constexpr int32_t SHOWN[] = {0xF05, AREA_ID_BACK, 0, NONE};
            return six_hidden ? AREA_ID_MENU_FIRST : SHOWN[direction];
        }
        static constexpr int32_t OTHER[] = {-1, 1, 0, NONE};
        return direction == 3 ? NONE : menu_id + k + OTHER[direction];
    }
    if (IsFixedId(Hover)) {
        if (direction == 0)
            return !open ? AREA_ID_MENU_FIRST : (six_hidden ? 0xF04 : 0xF06);
        if (direction == 1)
            return NONE;
        const bool decide_shown = GetFlag(AREA_HIDE_DECIDE_FLAG) == 0;
        switch (Hover % 256) {
        case 0:
            return direction == 2 ? AREA_ID_AREASELECT : AREA_ID_MENU_FIRST;
        case 1:
            return direction == 2 ? (decide_shown ? AREA_ID_DECIDE : AREA_ID_QUICKLOAD) : AREA_ID_BACK;
        case 2:
            return direction == 2 ? AREA_ID_QUICKLOAD : AREA_ID_AREASELECT;
        case 3:
            return direction == 2 ? NONE : AREA_ID_QUICKLOAD;
        case 4:
            return direction == 2 ? AREA_ID_QUICKSAVE : (decide_shown ? AREA_ID_DECIDE : AREA_ID_AREASELECT);
        default:
            return direction == 2 ? NONE : AREA_ID_MENU_FIRST;
        }
    }
    return NONE;
}

int32_t CAreaBase::OnArrowKey(int32_t direction, uint32_t scan_code)
{
    const int32_t target = ArrowTarget(direction);
    if (target != -1) {
        if (IsMenuId(target))
            IRightMenu::MoveCursorToMenuArea(target);
        else
            AreaSelectHitAreas().MoveCursorToArea(static_cast<uint32_t>(target));
    }
    Update();
    WaitInputRelease(scan_code);
    return 0;
}
