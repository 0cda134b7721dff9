#pragma once
// A periodic task run by the frame-task runner on the app-task thread.
// FIXME: the least the animation code needs until the frame-task runner is in.

#include <cstdint>

class IAppTask
{
public:
    explicit IAppTask(uint32_t period = 15)
        : m_period(period)
    {}
    virtual ~IAppTask() = default;

    virtual void Execute() = 0;
    virtual uint32_t IsRedrawRequested() { return m_redraw; }
    virtual void RequestRedraw() { m_redraw = 1; }
    virtual void ClearRedraw() { m_redraw = 0; }

    uint32_t GetPeriod() const { return m_period; }

protected:
    uint32_t m_last_run = 0;
    uint32_t m_period;
    uint32_t m_redraw = 0;
};
