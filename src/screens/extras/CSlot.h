#pragma once
// The slot-machine mini-game and its scrolling picture, built by the slot command for one call.
//
// CSlot draws the machine into the document's sprite layer 0: three reels of digits, a lever and
// three stop buttons. It is also a frame task: every 15 ms the app-task thread blinks the lever,
// turns the reels or blinks a shown result, while the main thread runs the screen. Between two
// blinks the task rests: its step count follows the clock, so the steps it sleeps through still
// count. The words the two threads share are atomic; the task is taken out of the runner before
// the main thread draws the lever itself, at close and at destruction, so the runner never steps
// a dead screen.
//
// CSlotScrollImage scrolls the tall picture of sprite layer 1 through layer 0, down and back up,
// then lets the player drag it. Main thread only.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "foundation/IAppTask.h"
#include "graphics/CSprite.h"
#include "screens/base/ISelect.h"

class CAppTask;
class CSpriteLayer;
class ILayer;

inline constexpr int32_t SLOT_TASK_PERIOD = 15;
inline constexpr int32_t SLOT_REELS = 3;
// Area ids: the lever, then stop button k is SLOT_AREA_STOP + k.
inline constexpr int32_t SLOT_AREA_LEVER = 0;
inline constexpr int32_t SLOT_AREA_STOP = 256;
// Flag bytes that receive the stopped digits of reels 1 to 3.
inline constexpr uint32_t SLOT_DIGIT_FLAG = 8070;

class CSlot : public ISelect, public IAppTask
{
public:
    enum : int32_t
    {
        MODE_PLAY = 0,
        MODE_SHOW = 1,
    };
    enum : int32_t
    {
        STATE_LEVER = 1,
        STATE_TURNING = 2,
        STATE_SHOWING = 3,
    };

    CSlot();
    ~CSlot() override;

    // Finds layer 0, loads the sheet and the hit areas; 0 when the sheet does not load.
    int32_t CreateParts();
    // Draws the machine at rest with the three digits; presents the frame when present is nonzero.
    void Setup(int32_t d1, int32_t d2, int32_t d3, int32_t present);
    // Mode 0 plays a game that starts the reels at the digits, mode 1 shows them blinking.
    ScriptValue RunWithReels(int32_t d1, int32_t d2, int32_t d3, int32_t mode);

    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    int32_t OnUpKey() override;
    int32_t OnDownKey() override { return OnUpKey(); }
    int32_t OnLeftKey() override;
    int32_t OnRightKey() override;
    void OnDecide() override;
    // The game cannot be cancelled.
    void OnCancel() override {}

    // The task step, on the app-task thread.
    void Execute() override;
    // Until the step that changes the blink; 0 while the reels turn or a new state is to be drawn.
    uint32_t GetQuietTime(uint32_t now) override;

    // Draws control id in state 0 normal, 1 hover or 2 pressed; id -1 does nothing at all.
    void DrawButton(int32_t id, int32_t state, int32_t present);

    bool IsTaskActive() const { return TaskActive.load(std::memory_order_relaxed) != 0; }

    std::unique_ptr<CSprite> Sheet; // "slot_p.akb", or null when it did not load
    CSpriteLayer* ScreenLayer = nullptr; // not owned: the document's sprite layer 0
    // Shared with the task; relaxed order is enough because the runner's locks order the rest.
    std::array<std::atomic<int32_t>, SLOT_REELS> Reel{};
    std::array<std::atomic<int32_t>, SLOT_REELS> Stopped{};
    int32_t Mode = MODE_PLAY;
    std::atomic<int32_t> State{0};
    int32_t HoverId = -1;
    std::atomic<int32_t> Tick{0};
    int32_t LastStop = -1;
    int32_t StopCount = 0;
    std::atomic<int32_t> TaskActive{0};

private:
    // What the task drew last (the task's own; reset while it is out of the runner's list): the
    // lever and lamps change only every few ticks, and the frames between would repeat it.
    int32_t m_drawn_state = -1;
    int32_t m_drawn_blink = -1;
    // Clock value of the last step (or of the addition to the runner); the steps a rest skips
    // are counted from it. Unset for a task stepped before it was ever added.
    uint32_t m_step_time = 0;
    bool m_step_timed = false;

    void RegisterTask();
    void UnregisterTask();
    // Copies a sheet rectangle into layer 0; nothing without either. The main thread's copies
    // take the draw lock so that they never overlap the task's.
    void Copy(int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx, int32_t sy, bool lock = true);
    void CopyReel(int32_t reel, int32_t digit, bool lock = true);
    void SetGameCursor(int32_t mode);
    void MoveCursorTo(int32_t id);
    // From the lever or no area to stop 1, else one stop along (none past either end).
    void MoveAlongStops(int32_t step, uint32_t scan_code);

    ILayer* m_sheet_layer = nullptr; // not owned: the layer of Sheet
    CAppTask* m_runner = nullptr;    // not owned: the runner the task was added to
};

class CSlotScrollImage : public ISelect
{
public:
    enum : int32_t
    {
        PHASE_DOWN = 0,
        PHASE_UP = 1,
        PHASE_FREE = 2,
    };

    // Scrolls a picture of that height; the value is not used.
    ScriptValue RunScroll(int32_t value, int32_t height);

    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    void OnDecide() override;
    void OnCancel() override;

    // How far the picture scrolls: never below 0, never past the source layer's bottom.
    int32_t GetRange();

    int32_t DragX = 0;
    int32_t DragY = 0;
    int32_t Dragging = 0;
    int32_t Height = 0;
    int32_t SourceX = 0;
    int32_t ScrollY = 0;
    int32_t Phase = PHASE_DOWN;
    CSpriteLayer* Target = nullptr; // not owned: the document's sprite layer 0
    CSpriteLayer* Source = nullptr; // not owned: the document's sprite layer 1

private:
    void Draw();
    void SetCursorShape(int32_t id);
    POINT CursorOnScreen();
};
