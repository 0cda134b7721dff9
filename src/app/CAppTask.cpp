#include "app/CAppTask.h"

#include <algorithm>
#include <atomic>

#include "app/CWinApp.h"
#include "app/IAppTask.h"
#include "foundation/ScopedLock.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSpriteManager.h"
#include "platform/kernel/TimeApi.h"

namespace {

std::atomic<CAppTask*> g_runner{nullptr}; // not owned: the application's

uint32_t Now()
{
    CWinApp* app = GetApp();
    return app != nullptr && app->GetClockSwitch() == 1 ? GetTickCount() : timeGetTime();
}

} // namespace

void CAppTask::AddTask(IAppTask* task)
{
    ScopedLock lock(m_lock);
    if (task != nullptr && std::find(m_tasks.begin(), m_tasks.end(), task) == m_tasks.end())
        m_tasks.push_back(task);
}

void CAppTask::RemoveTask(IAppTask* task)
{
    ScopedLock lock(m_lock);
    auto it = std::find(m_tasks.begin(), m_tasks.end(), task);
    if (it == m_tasks.end())
        return;
    if (m_running)
        *it = nullptr;
    else
        m_tasks.erase(it);
}

void CAppTask::RemoveAll()
{
    ScopedLock lock(m_lock);
    if (m_running)
        std::fill(m_tasks.begin(), m_tasks.end(), nullptr);
    else
        m_tasks.clear();
}

bool CAppTask::Contains(IAppTask* task)
{
    ScopedLock lock(m_lock);
    return std::find(m_tasks.begin(), m_tasks.end(), task) != m_tasks.end();
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
    m_running = true;
    if (live)
        g_draw_lock.Lock(); // released below on every way out
    try {
        // Entries appended during the pass wait for the next one.
        const size_t count = m_tasks.size();
        auto it = m_tasks.begin();
        for (size_t i = 0; i < count; ++i, ++it) {
            IAppTask* task = *it;
            if (task == nullptr)
                continue;
            if (!(task->m_last_run + task->m_period < Now())) {
                waiting = true;
                continue;
            }
            task->ClearRedraw();
            task->Execute();
            // Execute may have removed the task; its entry is null then.
            if (*it == nullptr)
                continue;
            task->m_last_run = Now();
            if (task->IsRedrawRequested())
                redraw = true;
        }
    } catch (...) {
        if (live)
            g_draw_lock.Unlock();
        m_running = false;
        m_tasks.remove(nullptr);
        throw;
    }
    if (live)
        g_draw_lock.Unlock();
    m_running = false;
    m_tasks.remove(nullptr);
    if (redraw && live) {
        ScopedLock draw(g_draw_lock);
        const uint32_t wanted = DISPLAY_READY | DISPLAY_ENABLED;
        if ((display->GetStatus() & wanted) == wanted) {
            if (CSpriteManager* manager = display->GetSpriteManager())
                manager->SetMatrices();
            display->DrawFrame();
        }
    }
    return waiting ? 1 : 0;
}

CAppTask* GetAppTask()
{
    return g_runner.load();
}

CAppTask* SetAppTask(CAppTask* runner)
{
    return g_runner.exchange(runner);
}
