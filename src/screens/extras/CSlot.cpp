#include "screens/extras/CSlot.h"

#include <algorithm>

#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameCursor.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "graphics/CAppTask.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/EffectClock.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "screens/base/ScreenWork.h"
#include "script/FlagBuffer.h"
#include "script/commands/CFuncEffect.h"
#include "script/commands/CFuncMusic.h"
#include "sound/IWaveManager.h"

namespace {

constexpr int32_t SCREEN_WIDTH = 1920;
constexpr int32_t SCREEN_HEIGHT = 1080;

constexpr int32_t REEL_WIDTH = 216;
constexpr int32_t REEL_HEIGHT = 387;
constexpr int32_t REEL_Y = 63;
constexpr std::array<int32_t, SLOT_REELS> REEL_X = {602, 853, 1104};
constexpr std::array<POINT, 10> DIGIT_CELLS = {{{432, 0},
                                                {648, 0},
                                                {864, 0},
                                                {1080, 0},
                                                {0, 387},
                                                {216, 387},
                                                {432, 387},
                                                {648, 387},
                                                {864, 387},
                                                {1080, 387}}};

constexpr int32_t LAMP_SIZE = 330;
constexpr POINT LEFT_LAMP = {62, 94};
constexpr POINT RIGHT_LAMP = {1528, 94};
constexpr int32_t LEFT_LAMP_SX = 1296;
constexpr int32_t RIGHT_LAMP_SX = 1626;

constexpr POINT KNOB = {466, 206};
constexpr int32_t KNOB_WIDTH = 56;
constexpr int32_t KNOB_HEIGHT = 80;
constexpr POINT KNOB_WAITING = {1352, 660};
constexpr POINT KNOB_PULLED = {1296, 660};

constexpr int32_t BUTTON_WIDTH = 204;
constexpr int32_t BUTTON_HEIGHT = 208;
constexpr POINT LEVER = {191, 544};
constexpr int32_t LEVER_SX = 1956;
constexpr int32_t LEVER_LIT_Y = 624;
constexpr std::array<int32_t, SLOT_REELS> STOP_X = {608, 859, 1110};
constexpr int32_t STOP_Y = 544;
constexpr int32_t STOP_SX = 2160;
constexpr int32_t STOP_UNLIT_Y = 624;
constexpr int32_t STOP_LIT_Y = 832;

// Each blink phase lasts 8 task steps; the runner steps a task once more than its period passed.
constexpr int32_t BLINK_STEPS = 8;
constexpr uint32_t STEP_MS = SLOT_TASK_PERIOD + 1;
constexpr int32_t CURSOR_OVER_CONTROL = 4;

// Script digits outside 0 to 9 still pick a cell of the table.
int32_t ToDigit(int32_t value)
{
    return ((value % 10) + 10) % 10;
}

int32_t StopIndex(int32_t id)
{
    const int32_t k = id - SLOT_AREA_STOP;
    return k >= 0 && k < SLOT_REELS ? k : -1;
}

} // namespace

CSlot::CSlot()
    : IAppTask(SLOT_TASK_PERIOD)
{
    for (int32_t k = 0; k < SLOT_REELS; ++k) {
        Reel[k] = 0;
        Stopped[k] = -1;
    }
}

CSlot::~CSlot()
{
    UnregisterTask();
}

void CSlot::RegisterTask()
{
    if (TaskActive.exchange(1, std::memory_order_relaxed) != 0)
        return;
    m_runner = GetAppTask();
    // The main thread may have drawn over the task's parts meanwhile (the lever's hover).
    m_drawn_state = -1;
    m_step_time = GetEffectTime();
    m_step_timed = true;
    if (m_runner != nullptr)
        m_runner->AddTask(this);
}

void CSlot::UnregisterTask()
{
    if (TaskActive.exchange(0, std::memory_order_relaxed) == 0)
        return;
    // Waits for a pass in progress: the runner steps tasks under the list lock it takes here.
    if (m_runner != nullptr)
        m_runner->RemoveTask(this);
    m_runner = nullptr;
}

int32_t CSlot::CreateParts()
{
    ScreenLayer = FindSpriteLayer(0);
    Sheet.reset(LoadSprite("slot_p.akb", nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    m_sheet_layer = dynamic_cast<ILayer*>(Sheet.get());
    if (Sheet == nullptr)
        return 0;
    HitAreas.Load("slot.area");
    return 1;
}

void CSlot::Copy(int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx, int32_t sy, bool lock)
{
    if (ScreenLayer == nullptr || m_sheet_layer == nullptr)
        return;
    LiveDrawLock draw(lock && CDirect3D::GetInstance()->IsLive());
    ScreenLayer->Blt(x, y, width, height, m_sheet_layer, sx, sy, 1);
}

void CSlot::CopyReel(int32_t reel, int32_t digit, bool lock)
{
    const POINT cell = digit < 0 ? POINT{0, 0} : DIGIT_CELLS[ToDigit(digit)];
    Copy(REEL_X[reel], REEL_Y, REEL_WIDTH, REEL_HEIGHT, cell.x, cell.y, lock);
}

void CSlot::SetGameCursor(int32_t mode)
{
    if (GameCursor* cursor = GetGameCursor())
        cursor->SetCursorMode(mode);
}

void CSlot::MoveCursorTo(int32_t id)
{
    HitAreas.MoveCursorToArea(static_cast<uint32_t>(id));
}

void CSlot::Setup(int32_t d1, int32_t d2, int32_t d3, int32_t present)
{
    CreateParts();
    // Without layer 0 a load with no target would make a sprite nobody owns.
    if (ScreenLayer != nullptr) {
        // The load may resize the layer that the draw pass reads on the app-task thread.
        LiveDrawLock draw;
        LoadSprite(MakeLanguageFileName("slot_bg.akb"), ScreenLayer, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0);
    }
    const std::array<int32_t, SLOT_REELS> digits = {d1, d2, d3};
    for (int32_t k = 0; k < SLOT_REELS; ++k)
        CopyReel(k, ToDigit(digits[k]));
    Copy(LEFT_LAMP.x, LEFT_LAMP.y, LAMP_SIZE, LAMP_SIZE, LEFT_LAMP_SX, 0);
    Copy(RIGHT_LAMP.x, RIGHT_LAMP.y, LAMP_SIZE, LAMP_SIZE, RIGHT_LAMP_SX, 0);
    Copy(KNOB.x, KNOB.y, KNOB_WIDTH, KNOB_HEIGHT, KNOB_PULLED.x, KNOB_PULLED.y);
    Copy(LEVER.x, LEVER.y, BUTTON_WIDTH, BUTTON_HEIGHT, LEVER_SX, 0);
    for (int32_t k = 0; k < SLOT_REELS; ++k)
        Copy(STOP_X[k], STOP_Y, BUTTON_WIDTH, BUTTON_HEIGHT, STOP_SX, STOP_UNLIT_Y);
    if (present != 0)
        RedrawFrameNow();
}

ScriptValue CSlot::RunWithReels(int32_t d1, int32_t d2, int32_t d3, int32_t mode)
{
    // Any other mode enters no state and could never end.
    if (mode != MODE_PLAY && mode != MODE_SHOW)
        return Result;
    Reel[0] = ToDigit(d1);
    Reel[1] = ToDigit(d2);
    Reel[2] = ToDigit(d3);
    Mode = mode;
    ListActive();
    RunLoopAndClose(nullptr);
    return Result;
}

void CSlot::OnOpen()
{
    UnregisterTask();
    CreateParts();
    for (auto& stopped : Stopped)
        stopped = -1;
    Tick = 0;
    HoverId = -1;
    LastStop = -1;
    StopCount = 0;
    if (Mode == MODE_PLAY) {
        State = STATE_LEVER;
        Copy(KNOB.x, KNOB.y, KNOB_WIDTH, KNOB_HEIGHT, KNOB_WAITING.x, KNOB_WAITING.y);
        SetGameCursor(0);
        RegisterTask();
        SetGameCursor(0);
        if (GameCursor* cursor = GetGameCursor())
            cursor->TurnOn();
    } else {
        State = STATE_SHOWING;
        for (int32_t k = 0; k < SLOT_REELS; ++k)
            CopyReel(k, Reel[k]);
        Copy(LEVER.x, LEVER.y, BUTTON_WIDTH, BUTTON_HEIGHT, LEVER_SX, 0);
        for (int32_t k = 0; k < SLOT_REELS; ++k)
            Copy(STOP_X[k], STOP_Y, BUTTON_WIDTH, BUTTON_HEIGHT, STOP_SX, 0);
        RegisterTask();
    }
}

void CSlot::OnClose()
{
    if (Mode == MODE_PLAY) {
        for (int32_t k = 0; k < SLOT_REELS; ++k)
            SetFlag(SLOT_DIGIT_FLAG + k, static_cast<uint8_t>(Stopped[k].load(std::memory_order_relaxed)));
    }
    UnregisterTask();
    ISelect::OnClose();
}

uint32_t CSlot::GetQuietTime(uint32_t now)
{
    const int32_t state = State.load(std::memory_order_relaxed);
    const int32_t tick = Tick.load(std::memory_order_relaxed);
    if (!m_step_timed || state == STATE_TURNING || state != m_drawn_state ||
        (tick / BLINK_STEPS) % 2 != m_drawn_blink)
        return 0;
    // The step run at m_step_time + k * STEP_MS draws tick + k - 1.
    const uint32_t steps = static_cast<uint32_t>((tick / BLINK_STEPS + 1) * BLINK_STEPS - tick + 1);
    const int32_t left = static_cast<int32_t>(m_step_time + steps * STEP_MS - now);
    return left > 0 ? static_cast<uint32_t>(left) : 0;
}

void CSlot::Execute()
{
    const uint32_t now = GetEffectTime();
    if (m_step_timed) {
        const uint32_t skipped = (now - m_step_time) / STEP_MS;
        if (skipped > 1)
            Tick.fetch_add(static_cast<int32_t>(skipped - 1), std::memory_order_relaxed);
    }
    m_step_time = now;
    m_step_timed = true;
    const int32_t blink = (Tick.load(std::memory_order_relaxed) / BLINK_STEPS) % 2;
    const int32_t state = State.load(std::memory_order_relaxed);
    // The turning reels change every tick; the rest is drawn only when it changes.
    const bool same = state != STATE_TURNING && state == m_drawn_state && blink == m_drawn_blink;
    m_drawn_state = state;
    m_drawn_blink = blink;
    switch (same ? -1 : state) {
    case STATE_LEVER:
        Copy(LEVER.x, LEVER.y, BUTTON_WIDTH, BUTTON_HEIGHT, LEVER_SX, LEVER_LIT_Y * blink, false);
        RequestRedraw();
        break;
    case STATE_TURNING:
        for (int32_t k = 0; k < SLOT_REELS; ++k) {
            const int32_t stopped = Stopped[k].load(std::memory_order_relaxed);
            int32_t digit = stopped;
            if (stopped == -1) {
                digit = (Reel[k].load(std::memory_order_relaxed) + 1) % 10;
                Reel[k].store(digit, std::memory_order_relaxed);
            }
            CopyReel(k, digit, false);
        }
        RequestRedraw();
        break;
    case STATE_SHOWING:
        for (int32_t k = 0; k < SLOT_REELS; ++k) {
            Copy(STOP_X[k], STOP_Y, BUTTON_WIDTH, BUTTON_HEIGHT, STOP_SX, STOP_LIT_Y * blink, false);
            CopyReel(k, blink == 0 ? Reel[k].load(std::memory_order_relaxed) : -1, false);
        }
        Copy(LEFT_LAMP.x, LEFT_LAMP.y, LAMP_SIZE, LAMP_SIZE, LEFT_LAMP_SX, LAMP_SIZE * blink, false);
        Copy(RIGHT_LAMP.x, RIGHT_LAMP.y, LAMP_SIZE, LAMP_SIZE, RIGHT_LAMP_SX, LAMP_SIZE * blink, false);
        RequestRedraw();
        break;
    default:
        break;
    }
    Tick.fetch_add(1, std::memory_order_relaxed);
}

void CSlot::Update()
{
    if (Mode == MODE_PLAY) {
        const int32_t id = HitTestCursor();
        if (id != HoverId) {
            if (HoverId != -1)
                DrawButton(HoverId, 0, 1);
            HoverId = id;
            if (id != -1)
                DrawButton(id, 1, 1);
        }
        return;
    }
    CFuncEffect effect;
    IWaveManager* channel = effect.GetManager(0);
    if (channel == nullptr || !channel->IsPlaying())
        Running = 0;
}

void CSlot::DrawButton(int32_t id, int32_t state, int32_t present)
{
    if (id == -1)
        return;
    if (id == SLOT_AREA_LEVER) {
        if (State == STATE_LEVER) {
            if (state != 0) {
                // The task blinks the lever: out it goes before this thread draws it.
                UnregisterTask();
                SetGameCursor(CURSOR_OVER_CONTROL);
                Copy(LEVER.x, LEVER.y, BUTTON_WIDTH, BUTTON_HEIGHT, LEVER_SX, BUTTON_HEIGHT * state);
            } else {
                SetGameCursor(0);
                RegisterTask();
            }
        }
    } else if (const int32_t k = StopIndex(id); k != -1) {
        if (State == STATE_TURNING && Stopped[k] == -1) {
            SetGameCursor(state != 0 ? CURSOR_OVER_CONTROL : 0);
            Copy(STOP_X[k], STOP_Y, BUTTON_WIDTH, BUTTON_HEIGHT, STOP_SX, BUTTON_HEIGHT * state);
        }
    }
    if (present != 0)
        RedrawFrameNow();
}

void CSlot::OnDecide()
{
    if (Mode == MODE_SHOW) {
        ISelect::OnDecide();
        Running = 0;
        return;
    }
    if (HoverId == SLOT_AREA_LEVER && State == STATE_LEVER) {
        UnregisterTask();
        Copy(KNOB.x, KNOB.y, KNOB_WIDTH, KNOB_HEIGHT, KNOB_PULLED.x, KNOB_PULLED.y);
        DrawButton(SLOT_AREA_LEVER, 2, 1);
        ISelect::OnDecide();
        CFuncMusic music;
        music.Play("COMICAL.wav", 0, 1);
        if (FlagBuffer* state = CurrentFlagBuffer(); state != nullptr && !state->Words.empty())
            state->Words[0] = 0;
        State = STATE_TURNING;
        Copy(LEVER.x, LEVER.y, BUTTON_WIDTH, BUTTON_HEIGHT, LEVER_SX, 0);
        for (int32_t k = 0; k < SLOT_REELS; ++k)
            DrawButton(SLOT_AREA_STOP + k, 0, 0);
        SetGameCursor(0);
        RegisterTask();
        return;
    }
    const int32_t k = StopIndex(HoverId);
    if (k == -1 || State != STATE_TURNING || Stopped[k] != -1)
        return;
    DrawButton(HoverId, 2, 1);
    // The second reel stopped always takes the first one's digit.
    if (StopCount != 1)
        LastStop = Reel[k].load(std::memory_order_relaxed);
    Stopped[k].store(LastStop, std::memory_order_relaxed);
    ISelect::OnDecide();
    SetGameCursor(0);
    Copy(STOP_X[k], STOP_Y, BUTTON_WIDTH, BUTTON_HEIGHT, STOP_SX, 0);
    ++StopCount;
    if (StopCount == SLOT_REELS)
        Running = 0;
}

int32_t CSlot::OnUpKey()
{
    if (State == STATE_LEVER)
        MoveCursorTo(SLOT_AREA_LEVER);
    else if (StopIndex(HoverId) == -1)
        MoveCursorTo(SLOT_AREA_STOP);
    return 0;
}

int32_t CSlot::OnLeftKey()
{
    MoveAlongStops(-1, SCAN_LEFT);
    return 0;
}

int32_t CSlot::OnRightKey()
{
    MoveAlongStops(1, SCAN_RIGHT);
    return 0;
}

void CSlot::MoveAlongStops(int32_t step, uint32_t scan_code)
{
    if (State == STATE_LEVER)
        MoveCursorTo(SLOT_AREA_LEVER);
    else if (const int32_t k = StopIndex(HoverId); k == -1)
        MoveCursorTo(SLOT_AREA_STOP);
    else if (k + step >= 0 && k + step < SLOT_REELS)
        MoveCursorTo(SLOT_AREA_STOP + k + step);
    WaitInputRelease(scan_code);
}

ScriptValue CSlotScrollImage::RunScroll(int32_t value, int32_t height)
{
    (void)value;
    Height = height;
    SourceX = 0;
    ScrollY = 0;
    ListActive();
    RunLoopAndClose(nullptr);
    return Result;
}

int32_t CSlotScrollImage::GetRange()
{
    int32_t bottom = Height;
    if (Source != nullptr)
        bottom = std::min(bottom, Source->GetHeight());
    return std::max(0, bottom - SCREEN_HEIGHT);
}

void CSlotScrollImage::OnOpen()
{
    Target = FindSpriteLayer(0);
    Source = FindSpriteLayer(1);
    Dragging = 0;
    Phase = PHASE_DOWN;
    // Nothing to scroll: the screen ends before its first frame.
    if (Source == nullptr)
        Running = 0;
}

void CSlotScrollImage::Draw()
{
    if (Target != nullptr && Source != nullptr) {
        LiveDrawLock draw;
        Target->Blt(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, Source, SourceX, ScrollY, 1);
    }
    RedrawFrameNow();
}

void CSlotScrollImage::SetCursorShape(int32_t id)
{
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetCursorShape(id);
}

POINT CSlotScrollImage::CursorOnScreen()
{
    POINT position{0, 0};
    if (IMouse* mouse = InputView->GetMouse())
        mouse->GetPosition(&position);
    return CDirect3D::GetInstance()->WindowToLogical(position);
}

void CSlotScrollImage::Update()
{
    const int32_t range = GetRange();
    if (Phase == PHASE_DOWN) {
        Draw();
        if (ScrollY >= range)
            Phase = PHASE_UP;
        else
            ++ScrollY;
    } else if (Phase == PHASE_UP) {
        Draw();
        if (ScrollY <= 0) {
            SetCursorShape(1011);
            Phase = PHASE_FREE;
        } else {
            --ScrollY;
        }
    } else if (Dragging != 0) {
        const POINT cursor = CursorOnScreen();
        if (cursor.y != DragY) {
            ScrollY = std::clamp(ScrollY + (DragY - cursor.y), 0, range);
            DragY = cursor.y;
            DragX = cursor.x;
            Draw();
        }
        if (!IsExtraInputTriggered(INPUT_OK) && !IsInputTriggered(SCAN_ENTER) &&
            !IsInputTriggered(SCAN_KEYPAD_ENTER) && !IsInputTriggered(INPUT_LEFT)) {
            SetCursorShape(1011);
            Dragging = 0;
        }
    }
}

void CSlotScrollImage::OnDecide()
{
    if (Dragging != 0)
        return;
    SetCursorShape(118);
    const POINT cursor = CursorOnScreen();
    DragX = cursor.x;
    DragY = cursor.y;
    Dragging = 1;
}

void CSlotScrollImage::OnCancel()
{
    ISelect::OnCancel();
    if (Dragging == 0 && Phase != PHASE_FREE) {
        SetCursorShape(1011);
        ScrollY = 0;
        SourceX = 0;
        Draw();
        Phase = PHASE_FREE;
        return;
    }
    ISelect::OnDecide();
    Running = 0;
}

void CSlotScrollImage::OnClose()
{
    SetCursorShape(-1);
    ISelect::OnClose();
}
