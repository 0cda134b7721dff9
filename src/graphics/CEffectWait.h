#pragma once
// A wait of the main thread for a fixed time that keeps the window responsive and can be cut
// short by a skip input or a pending document request. Embedded as a base in the objects that play
// timed effects (sprite animations). Main thread only.

#include <cstdint>

class CInputView;
class GameDocument;

// Skip flags: which inputs end a wait.
inline constexpr uint32_t SKIP_ON_REQUEST = 0x01; // a document request bit of the mask
inline constexpr uint32_t SKIP_ON_OK = 0x02;      // Enter, left button, touch tap
inline constexpr uint32_t SKIP_ON_CANCEL = 0x04;  // Esc, Delete, right button, long press
inline constexpr uint32_t SKIP_ON_WHEEL = 0x08;
inline constexpr uint32_t SKIP_ON_EXTRA = 0x10; // the input view's extra words
inline constexpr uint32_t SKIP_ON_CTRL = 0x20;
inline constexpr uint32_t SKIP_ON_SHIFT = 0x40;

class CEffectWait
{
public:
    // Thrown by value when a skip input is seen; the only value thrown is 1.
    enum tagEVENT_SKIP : uint32_t
    {
        EVENT_SKIP = 1,
    };

    CEffectWait() = default;
    CEffectWait(GameDocument* document, CInputView* input_view)
        : m_document(document)
        , m_input_view(input_view)
    {}

    // Waits until the start time plus ms, pumping messages. 1 when skipped, 0 when the time is up
    // or the application is quitting. The inputs are tested even when allow_skip is 0; only the
    // document's event tick and request test need it.
    int32_t Wait(uint32_t ms, int32_t allow_skip);
    // 1 when a skip is seen now, else 0; no waiting.
    int32_t CheckSkip();
    // Throws tagEVENT_SKIP 1 when a selected input is active.
    void PollSkipInput();

    void SetSkipFlags(uint32_t flags) { m_skip_flags = flags; }
    uint32_t GetSkipFlags() const { return m_skip_flags; }
    void SetRequestMask(uint32_t mask) { m_request_mask = mask; }
    void SetStartTime(uint32_t time) { m_start_time = time; }
    uint32_t GetStartTime() const { return m_start_time; }
    void SetDocument(GameDocument* document) { m_document = document; }
    void SetInputView(CInputView* input_view) { m_input_view = input_view; }

protected:
    void TestRequests();

    uint32_t m_skip_flags = 0;
    uint32_t m_request_mask = 0;
    uint32_t m_start_time = 0;
    GameDocument* m_document = nullptr; // not owned
    CInputView* m_input_view = nullptr; // not owned
};
