#pragma once
// What the window layer needs of the native video system: windows, their input as neutral
// events, the pointer, and a place to show the composed picture. One implementation per
// backend (sdl/); layer-internal, main thread only.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/kernel/WinTypes.h"
#include "platform/res/CursorResource.h"

namespace platform {

class UiCanvas;
struct WindowFrame;

// One input or window event, already in the layer's terms: keys as virtual-key codes with the
// Windows scan code, mouse positions in pixels of the native window.
struct NativeEvent
{
    enum class Type
    {
        KeyDown,
        KeyUp,
        Text,
        Editing,
        MouseMove,
        ButtonDown,
        ButtonUp,
        Wheel,
        FingerDown,
        FingerMove,
        FingerUp,
        Shown,
        Hidden,
        Exposed,
        Moved,
        Resized,
        Minimized,
        Maximized,
        Restored,
        FocusGained,
        FocusLost,
        Close,
        Quit,
    };

    Type type = Type::Quit;
    uint32_t window = 0;     // native window id; 0 when the event names none
    uint32_t time = 0;       // layer clock, milliseconds
    uint64_t arrived_us = 0; // RealMicroseconds when the layer took it from the device

    // Keys: the virtual key as WM_KEYDOWN carries it (VK_SHIFT for both Shift keys), the
    // side-specific one for the key state (VK_LSHIFT ...), the set-1 scan code and its
    // extended flag.
    uint8_t virtual_key = 0;
    uint8_t side_key = 0;
    uint8_t scan_code = 0;
    bool extended = false;
    bool repeat = false;

    // Mouse: position in the native window (also the new position for Moved, the new size for
    // Resized), button 1 left, 2 middle, 3 right, wheel steps (positive away from the user).
    int x = 0;
    int y = 0;
    int button = 0;
    int wheel = 0;

    // Fingers: id and position normalised to the window (0..1).
    int64_t finger = 0;
    float finger_x = 0;
    float finger_y = 0;

    // Text: committed text. Editing: the composition the input method shows, with its cursor
    // and selected span (the clause being converted) in characters (code points) of the text.
    std::u16string text;
    int edit_start = 0;
    int edit_length = 0;
};

enum class SystemCursor
{
    Arrow,
    IBeam,
    Wait,
    Cross,
    SizeNwse,
    SizeNesw,
    SizeWe,
    SizeNs,
    SizeAll,
    No,
    Hand,
};

class VideoDevice
{
public:
    virtual ~VideoDevice() = default;

    virtual int GetDisplayCount() = 0;
    virtual RECT GetDisplayBounds(int index) = 0;
    virtual RECT GetDisplayUsableBounds(int index) = 0;

    // A hidden window at the rectangle (screen pixels); 0 on failure.
    virtual uint32_t CreateNativeWindow(const std::u16string& title, const RECT& rect, bool bordered) = 0;
    virtual void DestroyNativeWindow(uint32_t window) = 0;
    virtual void SetTitle(uint32_t window, const std::u16string& title) = 0;
    virtual void SetGeometry(uint32_t window, const RECT& rect) = 0;
    virtual void SetBordered(uint32_t window, bool bordered) = 0;
    virtual void SetFullscreenDesktop(uint32_t window, bool fullscreen) = 0;
    virtual void Show(uint32_t window) = 0;
    virtual void Hide(uint32_t window) = 0;
    virtual void Minimize(uint32_t window) = 0;
    virtual void Maximize(uint32_t window) = 0;
    virtual void Restore(uint32_t window) = 0;
    virtual void Raise(uint32_t window) = 0;

    // The next pending event, if any.
    virtual std::optional<NativeEvent> PollEvent() = 0;
    // Blocks until an event is pending or the time-out (real milliseconds) passes; true when one
    // is pending.
    virtual bool WaitForEvent(int timeout_ms) = 0;
    // Ends a WaitForEvent in progress on the main thread; any thread.
    virtual void Wake() = 0;
    // The refresh rate of the display the window is on, in hertz; 0 when unknown.
    virtual int GetRefreshRate(uint32_t window) = 0;

    virtual void SetCursor(SystemCursor cursor) = 0;
    // A cursor resource's picture, made once per id; the arrow stays when it cannot be made.
    virtual void SetCustomCursor(uint16_t id, const CursorImage& image) = 0;
    virtual void ShowPointer(bool show) = 0;
    virtual void WarpPointer(uint32_t window, int x, int y) = 0;
    virtual void CapturePointer(bool capture) = 0;
    virtual void SetTextInput(bool enabled) = 0;
    // Where the system input method should put its candidate list (pixels of the native window),
    // and dropping the composition it holds.
    virtual void SetTextInputRect(uint32_t window, const RECT& rect) = 0;
    virtual void ClearComposition() = 0;

    // Shows one picture of the window: black, the frame (if any) in its rectangle, the drawn part
    // of the chrome canvas over everything. Of the frame, only `frame_changed` (frame pixels) is
    // uploaded again, as it differs from the frame last shown; the canvas only when chrome_changed
    // (a new frame alone reuses it). With capture, the composed pixels (ARGB) are copied out first.
    virtual void Present(uint32_t window, const WindowFrame* frame, const RECT& frame_changed,
                         const POINT& frame_origin, const UiCanvas& chrome, bool chrome_changed,
                         std::vector<uint32_t>* capture) = 0;
};

// Null when SDL's video cannot start (no display and no dummy driver).
std::unique_ptr<VideoDevice> CreateSdlVideoDevice();

} // namespace platform
