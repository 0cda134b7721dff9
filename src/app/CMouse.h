#pragma once
// The game cursor: over the game picture the system cursor is hidden and an animated sprite
// follows the mouse, one row of the cursor sheet per mode and two frames that alternate every
// 300 ms. It watches mouse moves as a hook of the main view and moves and animates the sprite as a
// frame task every 15 ms. The system cursor comes back outside the picture, while the menu popup
// shows and while a system screen runs. Mode and position change on the main thread, the frame
// task runs on the app-task thread under the list and draw locks.

#include "foundation/GameCursor.h"
#include "foundation/IAppTask.h"
#include "foundation/IWinHook.h"

#include <atomic>
#include <cstdint>
#include <memory>

class CInputView;
class CSprite;

inline constexpr int32_t CURSOR_CELL = 64;
inline constexpr int32_t CURSOR_PRIORITY = 120;
inline constexpr uint32_t CURSOR_FRAME_MS = 300;

class CMouse : public IWinHook, public IAppTask, public GameCursor
{
public:
    CMouse();
    ~CMouse() override;

    // Loads "cursor.akb" from the document's layer file, makes the sprite and starts the task.
    void Setup();
    void Release();
    // -1 none, 0 turns the game cursor off, others choose the sheet's row.
    void SetCursorMode(int32_t mode) override;
    void TurnOn() override;
    // Back to the system cursor with no mode; the frame task stays on its list.
    void HideGameCursor() override;
    // 1 over the picture; 0 outside, after hiding the sprite and showing the system cursor.
    int32_t IsInsideScreen();
    void UpdateCursorPosition();

    void Execute() override;
    // While the pointer rests, nothing moves until the frame flips: a move wakes the task.
    uint32_t GetQuietTime(uint32_t now) override;
    int32_t HookProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;

    int32_t GetMode() const { return m_mode; }
    int32_t GetFrame() const { return m_frame; }
    int32_t IsOn() const { return m_on; }
    CSprite* GetSprite() const { return m_sprite.get(); }

private:
    POINT ToScreen();
    void ShowSystemCursor(bool show);
    void AddToTasks();
    void RemoveFromTasks();

    std::unique_ptr<CSprite> m_image;   // "cursor.akb": 64 x 64 cells, column = frame, row = mode
    std::unique_ptr<CSprite> m_sprite;  // the drawn cursor
    CInputView* m_input_view = nullptr; // not owned
    int32_t m_mode = -1;
    int32_t m_frame = 0;
    int32_t m_on = 0;
    std::atomic<uint32_t> m_next_frame_time{0};
    std::atomic<uint32_t> m_last_move_time{0}; // timeGetTime of the last move the hook saw
};

// The singleton; throws CExecException "Failed to create the Mouse Object" when it cannot be made.
CMouse* GetMouse();
// Frees the singleton; the next GetMouse makes a new one.
void DeleteMouse();
