#pragma once
// The holder of the input devices the screens poll, and the input actions built on them: codes
// below 255 are keyboard scan codes, 256 and up name actions that join keys, buttons and touch.
// A singleton reached through GetInputView, used on the main thread; the extra words are atomic
// because the animation task polls them as skip inputs on the app-task thread.

#include <array>
#include <atomic>
#include <cstdint>

class IKeyboard;
class IMouse;

// Input action codes.
inline constexpr uint32_t INPUT_OK = 256;
inline constexpr uint32_t INPUT_CANCEL = 257;
inline constexpr uint32_t INPUT_SHIFT = 258;
inline constexpr uint32_t INPUT_CTRL = 259;
inline constexpr uint32_t INPUT_EXTRA = 260;
inline constexpr uint32_t INPUT_EXTRA_FIRST = 264;
inline constexpr uint32_t INPUT_LEFT = 512;
inline constexpr uint32_t INPUT_RIGHT = 513;
inline constexpr uint32_t INPUT_MIDDLE = 514;
inline constexpr uint32_t INPUT_DRAG = 1024;

// Keyboard scan codes the actions, the modal loop and the map's steering test.
inline constexpr uint32_t SCAN_ESCAPE = 1;
inline constexpr uint32_t SCAN_BACKSPACE = 14;
inline constexpr uint32_t SCAN_TAB = 15;
inline constexpr uint32_t SCAN_ENTER = 28;
inline constexpr uint32_t SCAN_LEFT_CONTROL = 29;
inline constexpr uint32_t SCAN_LEFT_SHIFT = 42;
inline constexpr uint32_t SCAN_V = 47;
inline constexpr uint32_t SCAN_RIGHT_SHIFT = 54;
inline constexpr uint32_t SCAN_SPACE = 57;
inline constexpr uint32_t SCAN_KEYPAD_8 = 72;
inline constexpr uint32_t SCAN_KEYPAD_4 = 75;
inline constexpr uint32_t SCAN_KEYPAD_6 = 77;
inline constexpr uint32_t SCAN_KEYPAD_2 = 80;
inline constexpr uint32_t SCAN_KEYPAD_0 = 82;
inline constexpr uint32_t SCAN_KEYPAD_ENTER = 156;
inline constexpr uint32_t SCAN_RIGHT_CONTROL = 157;
inline constexpr uint32_t SCAN_HOME = 199;
inline constexpr uint32_t SCAN_PAGE_UP = 201;
inline constexpr uint32_t SCAN_END = 207;
inline constexpr uint32_t SCAN_PAGE_DOWN = 209;
inline constexpr uint32_t SCAN_DELETE = 211;

// The engine-state bit of skip mode, in which the Shift, Ctrl and extra actions are off.
inline constexpr uint32_t ENGINE_STATE_SKIP_MODE = 0x4000;

class CInputView
{
public:
    // Nonzero when the input is active. With edge nonzero a button counts when it was clicked
    // (released within the last second) instead of while it is held.
    int32_t IsActionTriggered(uint32_t code, int32_t edge);

    IMouse* GetMouse() const { return m_mouse; }
    void SetMouse(IMouse* mouse) { m_mouse = mouse; }
    IKeyboard* GetKeyboard() const { return m_keyboard; }
    void SetKeyboard(IKeyboard* keyboard) { m_keyboard = keyboard; }
    // The two extra input words (set by the script's interface commands).
    int32_t GetExtraInput(int index) const { return m_extra[index & 1]; }
    void SetExtraInput(int index, int32_t value) { m_extra[index & 1] = value; }

private:
    bool IsKeyDown(uint32_t scan_code);
    static bool InSkipMode();

    IMouse* m_mouse = nullptr;       // owned by the application's start-up and exit
    IKeyboard* m_keyboard = nullptr; // owned by the application's start-up and exit
    int32_t m_word = 0;
    std::array<std::atomic<int32_t>, 2> m_extra{};
};

// Made zero-filled on the first call; throws CExecException "Failed to create the View Object"
// when it cannot be made.
CInputView* GetInputView();
// Frees the holder (not its devices); the next GetInputView makes a new one.
void DeleteInputView();
