#pragma once
// The frame-task runner: the list of periodic tasks that the app-task thread runs. Add and Remove
// come from the main thread, RunDueTasks from the app-task thread; the list lock keeps them apart,
// so a task that has been removed is never run again once RemoveTask returns.
// FIXME: the least the effects need until the runner with its app-task thread is in.

#include <cstdint>
#include <list>

#include "foundation/CCriticalSection.h"

class IAppTask;

class CAppTask
{
public:
    CAppTask() = default;
    virtual ~CAppTask() = default;
    CAppTask(const CAppTask&) = delete;
    CAppTask& operator=(const CAppTask&) = delete;

    // Appends the task unless it is already listed.
    virtual void AddTask(IAppTask* task);
    // Takes out the task's entry; nothing when it is not listed.
    virtual void RemoveTask(IAppTask* task);
    virtual void RemoveAll();
    // Runs every due task, then draws one frame when any of them asked for it. Returns the
    // milliseconds the task thread sleeps: 0 when every listed task ran, else 1.
    virtual uint32_t RunDueTasks();

    bool Contains(IAppTask* task);

private:
    // Not owned: tasks belong to their owners. An entry taken out during a pass (a task may
    // remove itself from Execute) is set to null and erased after the pass.
    std::list<IAppTask*> m_tasks;
    bool m_running = false;
    CCriticalSection m_lock; // lock level 20: frame-task list; guards m_tasks and m_running
};

// The application's runner; null before initialisation made it and after exit freed it.
CAppTask* GetAppTask();
// Installs the runner (not owned); returns the previous one.
CAppTask* SetAppTask(CAppTask* runner);
