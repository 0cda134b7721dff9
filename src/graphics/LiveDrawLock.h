#pragma once
// The global draw lock for a scope, taken only while the display is live: before the display is
// made nothing draws, and start-up code runs before the lock's users exist. Scoped, so an
// exception passing through never leaves the lock held. Any thread.

class LiveDrawLock final
{
public:
    // Takes the lock when the display is live.
    LiveDrawLock();
    // Takes the lock when `take` is true: for callers that decided liveness once for a longer run.
    explicit LiveDrawLock(bool take);
    ~LiveDrawLock();
    LiveDrawLock(const LiveDrawLock&) = delete;
    LiveDrawLock& operator=(const LiveDrawLock&) = delete;

    bool IsHeld() const { return m_held; }

private:
    bool m_held;
};
