#pragma once
// A periodic task of the frame-task runner (animations, the game cursor, the message window's
// typewriter, background voices). The runner calls Execute on the app-task thread whenever the
// period has passed since the last run, under its list lock and the global draw lock, and draws a
// frame after the pass when a task asked for one. A task adds itself to the runner when it starts
// and must take itself out before it is destroyed.

#include <atomic>
#include <cstdint>

class IAppTask
{
public:
    explicit IAppTask(uint32_t period = 15)
        : m_period(period)
    {}
    virtual ~IAppTask() = default;

    virtual void Execute() = 0;
    virtual uint32_t IsRedrawRequested() { return m_redraw.load(); }
    virtual void RequestRedraw() { m_redraw = 1; }
    virtual void ClearRedraw() { m_redraw = 0; }

    // Milliseconds from `now` (timeGetTime) during which a run would find nothing to do even
    // once the period has passed: the runner's thread sleeps through them. 0, the default, for a
    // task whose every run may change something; a task that follows input answers how long it
    // can wait for it and wakes the runner when the input comes (CAppTask::Wake). INFINITE: the
    // task rests, and is not run, until it is woken.
    virtual uint32_t GetQuietTime(uint32_t now)
    {
        (void)now;
        return 0;
    }

    uint32_t GetPeriod() const { return m_period; }
    void SetPeriod(uint32_t period) { m_period = period; }
    // Clock value of the end of the last run.
    uint32_t GetLastRunTime() const { return m_last_run; }

protected:
    friend class CAppTask;

    uint32_t m_last_run = 0; // written on the app-task thread under the runner's list lock
    uint32_t m_period;
    std::atomic<uint32_t> m_redraw{0};
};
