#pragma once
// Frames handed to another thread and filled again once it has let them go. A frame taken again
// holds the picture it was last filled with, which may be several pictures old: it needs every
// region changed since then, not only the newest picture's. Not thread-safe: one publisher.

#include <cstddef>
#include <memory>

#include "platform/kernel/WinTypes.h"
#include "platform/user/RectApi.h"
#include "platform/user/WindowFrame.h"

namespace platform {

template <class Frame, size_t Count>
class FrameSlots
{
public:
    struct Taken
    {
        std::shared_ptr<Frame> frame;
        RECT stale{}; // what the frame lacks of the new picture; WHOLE_PICTURE for a new frame
    };

    // A frame for the next picture, which differs from the one before it in `changed`: a slot
    // the other side no longer holds, else a new frame kept in place of one still held.
    Taken Take(const RECT& changed)
    {
        Pass(changed);
        for (Slot& slot : m_slots) {
            if (slot.frame && slot.frame.use_count() == 1) {
                Taken taken{slot.frame, slot.stale};
                slot.stale = RECT{};
                return taken;
            }
        }
        // An empty slot first: a frame still held is wanted back once it is let go.
        auto frame = std::make_shared<Frame>();
        Slot* place = &m_slots[m_replaced++ % Count];
        for (Slot& slot : m_slots) {
            if (!slot.frame) {
                place = &slot;
                break;
            }
        }
        *place = Slot{frame, RECT{}};
        return Taken{std::move(frame), WHOLE_PICTURE};
    }

    // A picture published without a frame of these: every frame lacks its changes too.
    void Pass(const RECT& changed)
    {
        for (Slot& slot : m_slots)
            Unite(slot.stale, changed);
    }

    // The part of `region` inside a picture of the size; empty when none.
    static RECT Within(const RECT& region, int width, int height)
    {
        const RECT bounds{0, 0, width, height};
        RECT part{};
        IntersectRect(&part, &region, &bounds);
        return part;
    }

private:
    struct Slot
    {
        std::shared_ptr<Frame> frame;
        RECT stale{};
    };

    static void Unite(RECT& into, const RECT& add)
    {
        RECT both{};
        UnionRect(&both, &into, &add);
        into = both;
    }

    Slot m_slots[Count];
    size_t m_replaced = 0; // turns through the slots when every one is held
};

} // namespace platform
