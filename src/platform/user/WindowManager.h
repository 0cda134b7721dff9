#pragma once
// The window layer's model: windows and their state, activation, focus, capture, the pointer,
// the input queues, the menu and message-box loops and the picture of the layer's own drawing.
// It holds the parts with a life of their own: the class and window table (WindowTable), the
// key state (KeyboardState), the posted queue (PostedQueue), the timers (TimerTable) and the
// touch inputs (TouchInputTable). The facade calls (WindowApi.h, MessageApi.h, MenuApi.h,
// TouchApi.h) are thin wrappers over it.
//
// Main thread only, except PostMessage, PublishFrame and the cached-state queries (IsWindow,
// IsVisible, IsIconic, IsZoomed). Window procedures and hooks are always called with no layer
// lock held.

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/kernel/WinTypes.h"
#include "platform/user/FocusState.h"
#include "platform/user/InputQueue.h"
#include "platform/user/KeyboardState.h"
#include "platform/user/MenuTracker.h"
#include "platform/user/MessageApi.h"
#include "platform/user/MessageBoxModel.h"
#include "platform/user/NativeEventQueue.h"
#include "platform/user/PointerState.h"
#include "platform/user/PostedQueue.h"
#include "platform/user/TimerTable.h"
#include "platform/user/TouchApi.h"
#include "platform/user/TouchInputTable.h"
#include "platform/user/UiCanvas.h"
#include "platform/user/VideoDevice.h"
#include "platform/user/WindowApi.h"
#include "platform/user/WindowFrame.h"
#include "platform/user/WindowObject.h"
#include "platform/user/WindowTable.h"

namespace platform {

// Real (steady) time in microseconds, whatever the layer clock says.
uint64_t RealMicroseconds();

class WindowManager final
{
public:
    static WindowManager& GetInstance();

    // The native video system, started on first use; null when it cannot start.
    VideoDevice* Device();

    // Classes.
    ATOM RegisterClass(const WNDCLASSW& info);
    bool UnregisterClass(LPCWSTR name, HINSTANCE instance);
    const WindowClassRecord* FindClass(LPCWSTR name_or_atom) const;

    // Windows.
    HWND CreateWindow(DWORD ex_style, LPCWSTR class_name, LPCWSTR window_name, DWORD style, int x, int y,
                      int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
    bool DestroyWindow(HWND window);
    WindowObject* Find(HWND window) const;                                    // main thread
    bool IsWindow(HWND window) const;                                         // any thread
    bool QueryFlag(HWND window, std::atomic<bool> WindowObject::*flag) const; // any thread
    HWND MainWindow() const; // the first top-level native window, or null
    std::vector<HWND> Windows() const;

    // Messages to one window.
    LRESULT Send(HWND window, UINT message, WPARAM w_param, LPARAM l_param);
    LRESULT DefaultProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param);

    // State and geometry.
    bool Show(HWND window, int command);
    bool SetPosition(HWND window, HWND insert_after, int x, int y, int width, int height, UINT flags);
    // Extra bytes (index 0 and up) are read and written with the size of the caller's value (4 for
    // SetWindowLongW, 8 for SetWindowLongPtrW).
    LONG_PTR SetLong(HWND window, int index, LONG_PTR value, size_t size);
    LONG_PTR GetLong(HWND window, int index, size_t size) const;
    bool SetMenu(HWND window, HMENU menu);
    HMENU GetSystemMenu(HWND window, bool revert);
    void ForgetMenu(HMENU menu);
    void SetText(WindowObject& window, std::u16string text);
    bool IsCloseGreyed(const WindowObject& window) const;
    RECT ClientRect(const WindowObject& window) const;
    POINT ClientOrigin(const WindowObject& window) const; // screen pixels
    RECT DisplayBounds(int index);
    int MenuBarHeight(const WindowObject& window) const;
    void Invalidate(HWND window);
    void Validate(HWND window);

    // Activation, focus, capture.
    HWND Active() const { return m_focus_state.Active(); }
    HWND Focus() const { return m_focus_state.Focus(); }
    bool SetForeground(HWND window);
    HWND SetFocus(HWND window);
    HWND SetCapture(HWND window);
    bool ReleaseCapture();
    HWND Capture() const { return m_pointer.Capture(); }

    // Pointer and keys.
    POINT PointerPosition() const { return m_pointer.Position(); }
    bool SetPointerPosition(int x, int y);
    int ShowPointer(bool show);
    HCURSOR SetCursor(HCURSOR cursor);
    HCURSOR Cursor() const { return m_pointer.Cursor(); }
    SHORT KeyState(int virtual_key, bool async) const;
    void SetTextInput(bool enabled);
    bool TextInputEnabled() const { return m_text_input; }
    // The input method sees committed text and compositions before the queue does; it answers
    // true when it queued its own messages for the event.
    using TextEventSink = bool (*)(const NativeEvent& event, HWND target);
    void SetTextEventSink(TextEventSink sink) { m_text_sink = sink; }
    // Queues a message behind the input translated so far; the pump returns it in that order.
    void QueueInputMessage(const MSG& message) { QueueInput(message); }
    // The window keyboard input goes to: the focus, else the active window.
    HWND InputTarget() const { return m_focus_state.InputTarget(); }

    // The queue.
    bool Post(HWND window, UINT message, WPARAM w_param, LPARAM l_param); // any thread
    void PostQuit(int exit_code);
    bool Peek(MSG& message, HWND window, UINT filter_min, UINT filter_max, bool remove);
    void Wait();
    bool Translate(const MSG& message);
    LRESULT Dispatch(const MSG& message);
    UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure);

    // Resting between the turns of a loop (platform/kernel/IdleWait.h): main thread only. A frame
    // waiting to be shown is shown first. Returns at once when something is already waiting,
    // else when input, a posted message or a frame to show arrives, a timer falls due or
    // `max_ms` real milliseconds pass, and says which.
    enum class IdleWake
    {
        Pending, // there was something to do before the wait
        Input,
        Posted,
        Frame,
        Timeout,
    };
    IdleWake IdleWait(uint32_t max_ms);
    // Counts of the waits and their endings, for measuring an idle game (VESK_IDLE_STATS).
    struct IdleCounts
    {
        std::array<std::atomic<uint64_t>, 5> wakes{}; // by IdleWake
        std::atomic<uint64_t> yields{0};              // turns that yielded with the wait disabled
        std::atomic<uint64_t> presents{0};            // pictures shown by the pump
        std::atomic<uint64_t> held{0};                // pump turns that held a frame for the refresh
        // Input messages the game took, and how long they waited from the native event's
        // arrival (its wake) to the taking, in microseconds.
        std::atomic<uint64_t> inputs{0};
        std::atomic<uint64_t> input_wait_us{0};
        std::atomic<uint64_t> input_wait_max_us{0};
    };
    const IdleCounts& IdleStatistics() const { return m_idle; }
    void CountYield();
    void CountInputWait(uint64_t arrived_us);
    bool IsIdleWaiting() const { return m_idle_waiting; } // any thread
    // Ends a rest in progress, for a change the loop polls; any thread.
    void WakeIdle();
    // A frame another thread published: ends a rest in progress; see IdleWait.cpp.
    void WakeIdleForFrame();
    bool KillTimer(HWND window, UINT_PTR id);

    // Touch.
    bool RegisterTouch(HWND window, bool registered);
    bool GetTouchInputs(HTOUCHINPUT input, UINT count, TOUCHINPUT* inputs, int size);
    bool CloseTouchInput(HTOUCHINPUT input);

    // The layer's own drawing.
    void InvalidateChrome();
    // Draws the drawn top-level windows (dialogs) over the picture, each at `origin`, its
    // top-left in canvas pixels, in their z order and under menus and message boxes.
    using DrawnWindowPainter = void (*)(HWND window, UiCanvas& canvas, POINT origin);
    void SetDrawnWindowPainter(DrawnWindowPainter painter) { m_window_painter = painter; }
    // Any thread. The pump shows the frame; a rest it should end is woken by the publisher's
    // NoteFramePresented (platform/kernel/IdleWait.h), once.
    void PublishFrame(HWND window, std::shared_ptr<const WindowFrame> frame);
    // Shows the native window's picture now, drawing the layer's own part again first; with
    // capture, the pixels come back.
    void Render(HWND window, std::vector<uint32_t>* capture);
    // Runs the drop-downs of the window's menu bar until an item is picked or the menu closes;
    // the pick is posted as WM_COMMAND. Entered from DefWindowProcW on a click in the bar.
    void TrackMenuBar(HWND window, POINT screen_point);
    bool InMenuLoop() const { return m_menu_loop.IsActive(); }
    // Shows a box drawn over the window (or in a window of its own when there is none) and
    // returns the button id.
    int RunMessageBox(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type);

    // Tests only: destroys every window and forgets classes, queues, timers and state.
    void Reset();

private:
    WindowManager();

    WindowObject* FindNative(uint32_t native) const;
    WindowObject* TopLevelOf(WindowObject* window) const;
    WindowObject* NativeHostOf(WindowObject* window) const;
    std::vector<HWND> OwnedWindows(HWND owner, bool children) const;
    void Activate(HWND window, WORD how);
    void ActivateNextAfter(HWND window);
    void SendSize(WindowObject& window);
    void ApplyNativeGeometry(WindowObject& window);
    bool PlaceAndAnnounce(HWND handle, WindowObject& window, bool was_minimized);
    bool ShowAndAnnounce(HWND handle, WindowObject& window);
    RECT MaximizedRect(const WindowObject& window);
    void MakeVisible(WindowObject& window);
    void MakeHidden(HWND window);
    void Minimize(HWND window, bool activate_next);
    void Maximize(HWND window);
    void Restore(HWND window);

    // Input.
    bool ProcessNativeEvent(const NativeEvent& event, const std::deque<NativeEvent>& following);
    void PumpNative();
    void QueueInput(const MSG& message);
    void HandleKey(const NativeEvent& event);
    void HandleMouse(const NativeEvent& event);
    void HandleFinger(const NativeEvent& event);
    void HandleWindowEvent(const NativeEvent& event, const std::deque<NativeEvent>& following);
    HWND HitTest(POINT screen, int& hit_code) const;
    WPARAM MouseKeyFlags() const;
    // Whether the message is for the window (or a child of it; any window when null) and in range.
    struct Filter
    {
        HWND window;
        UINT filter_min;
        UINT filter_max;
    };
    bool Matches(const MSG& message, const Filter& filter) const;
    std::optional<MSG> TakePosted(HWND window, UINT filter_min, UINT filter_max, bool remove);
    std::optional<NativeEvent> NextNativeEvent();

    // Drawing.
    void RenderIfNeeded();
    void RenderWindow(HWND window, bool chrome_changed, std::vector<uint32_t>* capture);
    void PaintChrome(WindowObject& host, UiCanvas& canvas);
    bool MenuLoopStep(const NativeEvent& event, UINT& picked);
    // False once the box is answered; `closed` tells that the window's close (its close box or
    // Alt+F4) answered it.
    bool MessageBoxStep(const NativeEvent& event, int& result, bool& closed);

    WindowTable m_table; // classes and windows; locks itself for other threads' queries

    std::unique_ptr<VideoDevice> m_device;
    bool m_device_tried = false;

    void InstallIdleWait();
    bool HasWork();
    // Rests until native input, a message another thread posts or a frame it publishes (each
    // wakes the rest), a held frame's time to show, or `timeout_ms`.
    void RestUntilWork(int timeout_ms);
    // A rest's length when nothing falls due: only what wakes no one (a signal's request to end)
    // needs the loop to look again.
    static constexpr int QUIET_WAIT_MS = 1000;
    // How much longer the pump holds a new picture so it shows one per display refresh; 0 when
    // it may show it now.
    uint64_t RefreshHoldMicroseconds();
    bool m_idle_installed = false;
    std::atomic<bool> m_idle_waiting{false};
    std::atomic<bool> m_wake_pending{false};          // WakeIdle came while the main thread was not resting
    std::atomic<VideoDevice*> m_wake_device{nullptr}; // set while the main thread waits
    uint64_t m_last_present_us = 0;                   // real time of the pump's last picture
    IdleCounts m_idle;
    uint64_t m_event_arrival_us = 0; // of the native event being processed

    FocusState m_focus_state; // the active window and the focus
    PointerState m_pointer;   // position, capture, show count and cursor
    KeyboardState m_keys;     // GetAsyncKeyState is also read by the app-task thread

    bool m_text_input = false;
    TextEventSink m_text_sink = nullptr;

    PostedQueue m_posted; // any thread posts; locks itself
    InputQueue m_input;
    NativeEventQueue m_native;
    TimerTable m_timers;

    TouchInputTable m_touch_inputs;

    std::mutex m_frame_lock;                // guards WindowObject::frame of every window
    std::atomic<bool> m_chrome_dirty{true}; // the layer's drawing changed
    std::atomic<bool> m_repaint{true};      // the window must be shown again (a new frame or the above)
    HWND m_canvas_window = nullptr;         // the window m_canvas was drawn for
    DrawnWindowPainter m_window_painter = nullptr;
    UiCanvas m_canvas;
    MenuTracker m_menu_loop;
    MessageBoxModel m_box;
};

} // namespace platform
