#include "graphics/CAppTask.h"

#include <algorithm>
#include <atomic>
#include <iterator>

#include "foundation/IAppTask.h"
#include "foundation/ScopedLock.h"
#include "graphics/CDirect3D.h"
#include "graphics/EffectClock.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/SyncApi.h"

namespace {

std::atomic<CAppTask*> g_app_task{nullptr}; // not owned: the application's start-up and exit own it

} // namespace

CAppTask* GetAppTask()
{
    return g_app_task.load();
}

CAppTask* SetAppTask(CAppTask* runner)
{
    return g_app_task.exchange(runner);
}

CAppTask::CAppTask()
    : m_wake(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{}

CAppTask::~CAppTask()
{
    if (m_wake != nullptr)
        CloseHandle(m_wake);
}

void CAppTask::AddTasks(const std::vector<IAppTask*>& tasks)
{
    ScopedLock lock(m_lock);
    for (IAppTask* task : tasks)
        AddTask(task);
}

void CAppTask::AddTask(IAppTask* task)
{
    ScopedLock lock(m_lock);
    if (task == nullptr || std::find(m_tasks.begin(), m_tasks.end(), task) != m_tasks.end())
        return;
    m_tasks.push_back(task);
    PublishNextDue();
    if (m_wake != nullptr)
        SetEvent(m_wake);
}

void CAppTask::RemoveTasks(const std::vector<IAppTask*>& tasks)
{
    ScopedLock lock(m_lock);
    for (IAppTask* task : tasks)
        RemoveTask(task);
}

void CAppTask::RemoveTask(IAppTask* task)
{
    ScopedLock lock(m_lock);
    auto found = std::find(m_tasks.begin(), m_tasks.end(), task);
    if (task == nullptr || found == m_tasks.end())
        return;
    if (m_running)
        *found = nullptr;
    else
        m_tasks.erase(found);
    PublishNextDue();
}

void CAppTask::RemoveAll()
{
    ScopedLock lock(m_lock);
    if (m_running)
        std::fill(m_tasks.begin(), m_tasks.end(), nullptr);
    else
        m_tasks.clear();
    PublishNextDue();
}

bool CAppTask::Contains(IAppTask* task)
{
    ScopedLock lock(m_lock);
    return task != nullptr && std::find(m_tasks.begin(), m_tasks.end(), task) != m_tasks.end();
}

size_t CAppTask::GetCount()
{
    ScopedLock lock(m_lock);
    return static_cast<size_t>(
        std::count_if(m_tasks.begin(), m_tasks.end(), [](IAppTask* task) { return task; }));
}

void CAppTask::Wake()
{
    if (m_wake != nullptr)
        SetEvent(m_wake);
}

uint32_t CAppTask::GetIdleTime()
{
    ScopedLock lock(m_lock);
    uint32_t idle = INFINITE;
    const uint32_t now = GetEffectTime();
    for (IAppTask* task : m_tasks) {
        if (task == nullptr)
            continue;
        // Due once more than the period has passed: the same wrap-safe test as the pass.
        const uint32_t elapsed = now - task->m_last_run;
        const uint32_t left = elapsed > task->m_period ? 0 : task->m_period - elapsed + 1;
        idle = std::min(idle, left);
    }
    return idle;
}

uint32_t CAppTask::GetRestTime(uint32_t slack)
{
    ScopedLock lock(m_lock);
    // A task may have gone to rest since the pass published its due time (an animation that
    // stopped): the thread about to sleep on this answer must not look late to IsBehind.
    PublishNextDue();
    std::vector<uint32_t> lefts;
    const uint32_t now = GetEffectTime();
    for (IAppTask* task : m_tasks) {
        if (task == nullptr)
            continue;
        const uint32_t elapsed = now - task->m_last_run;
        lefts.push_back(
            std::max(elapsed > task->m_period ? 0 : task->m_period - elapsed + 1, task->GetQuietTime(now)));
    }
    if (lefts.empty())
        return INFINITE;
    const uint32_t first = *std::min_element(lefts.begin(), lefts.end());
    if (first == 0)
        return 0;
    uint32_t rest = first;
    for (uint32_t left : lefts)
        if (left - first <= slack)
            rest = std::max(rest, left);
    return rest;
}

void CAppTask::Compact()
{
    m_tasks.remove(nullptr);
    PublishNextDue();
}

void CAppTask::PublishNextDue()
{
    const uint32_t now = GetEffectTime();
    uint32_t first = INFINITE;
    for (IAppTask* task : m_tasks) {
        if (task == nullptr)
            continue;
        const uint32_t elapsed = now - task->m_last_run;
        first = std::min(first, std::max(elapsed > task->m_period ? 0 : task->m_period - elapsed + 1,
                                         task->GetQuietTime(now)));
    }
    m_any_listed = first != INFINITE;
    m_next_due = now + (first == INFINITE ? 0 : first);
}

bool CAppTask::IsBehind(uint32_t late) const
{
    if (!m_any_listed)
        return false;
    const int32_t overdue = static_cast<int32_t>(GetEffectTime() - m_next_due.load());
    return overdue > static_cast<int32_t>(late);
}

uint32_t CAppTask::RunDueTasks()
{
    ScopedLock lock(m_lock);
    if (m_tasks.empty() || m_running)
        return 1;
    CDirect3D* display = CDirect3D::GetInstance();
    const bool live = display->IsLive();
    bool redraw = false;
    bool waiting = false;
    {
        // Tasks run under the global draw lock so they never overlap the main thread's drawing.
        LiveDrawLock draw_lock(live);
        struct RunningFlag
        {
            CAppTask& runner;
            explicit RunningFlag(CAppTask& owner)
                : runner(owner)
            {
                runner.m_running = true;
            }
            ~RunningFlag()
            {
                runner.m_running = false;
                runner.Compact();
            }
        } running(*this);
        // Tasks added during the pass wait for the next one.
        const auto last = std::prev(m_tasks.end());
        for (auto it = m_tasks.begin();; ++it) {
            if (IAppTask* task = *it) {
                // Due once more than the period has passed since the last run. The unsigned
                // difference stays right when the 32-bit millisecond clock wraps, where comparing
                // "last run + period" with the clock would stall the task for 49 days.
                const uint32_t now = GetEffectTime();
                // A task resting until it is woken has nothing to run, due or not.
                const bool resting = task->GetQuietTime(now) == INFINITE;
                if (!resting && static_cast<uint32_t>(now - task->m_last_run) > task->m_period) {
                    task->ClearRedraw();
                    task->Execute();
                    // A task that took itself out during its run may be gone already.
                    if (*it == task) {
                        task->m_last_run = GetEffectTime();
                        if (task->IsRedrawRequested())
                            redraw = true;
                    }
                } else {
                    waiting = true;
                }
            }
            if (it == last)
                break;
        }
    }
    if (redraw && live)
        RedrawFrameNow();
    return waiting ? 1 : 0;
}
