#pragma once
// The frame-task runner: the list of periodic tasks that the app-task thread runs. Add and Remove
// come from the main thread, RunDueTasks from the app-task thread; the list lock keeps them apart.
// Every operation releases the lock on every way out, exceptions included.

#include <atomic>
#include <cstdint>
#include <list>
#include <vector>

#include "foundation/CCriticalSection.h"
#include "platform/kernel/WinTypes.h"

class IAppTask;

class CAppTask
{
public:
    CAppTask();
    virtual ~CAppTask();
    CAppTask(const CAppTask&) = delete;
    CAppTask& operator=(const CAppTask&) = delete;

    // AddTask for each element, in order.
    virtual void AddTasks(const std::vector<IAppTask*>& tasks);
    // Appends the task unless it is already listed.
    virtual void AddTask(IAppTask* task);
    virtual void RemoveTasks(const std::vector<IAppTask*>& tasks);
    // Takes out the task's entry; nothing when it is not listed.
    virtual void RemoveTask(IAppTask* task);
    virtual void RemoveAll();
    // One pass over the due tasks, then one frame when any of them asked for it. Returns the
    // milliseconds the task thread sleeps: 0 when every listed task ran, 1 when the list is empty
    // or a task was not yet due.
    virtual uint32_t RunDueTasks();

    // Virtual with the list changes, for a runner that keeps its list elsewhere.
    virtual bool Contains(IAppTask* task);
    size_t GetCount();

    // Milliseconds until the next listed task falls due (0 when one is due now); INFINITE with
    // none listed. The task thread waits that long, or until a task is added, instead of
    // waking every millisecond.
    uint32_t GetIdleTime();
    // GetIdleTime stretched so that tasks falling due within `slack` ms after the first run in
    // the same pass: periodic tasks whose periods differ then wake the thread once instead of
    // once each, each at most `slack` ms late. The task thread asks it before each rest, so the
    // due time IsBehind reads is the one the thread sleeps towards.
    uint32_t GetRestTime(uint32_t slack);
    // True while a listed task has waited past its due time by more than `late` ms: the task
    // thread, starved or slow, has fallen behind the clock. Lock-free, any thread.
    bool IsBehind(uint32_t late) const;
    // Signalled (auto-reset) when a task is added or Wake is called.
    HANDLE GetWakeEvent() const { return m_wake; }
    // Ends the task thread's rest, for input a resting task waits for. Any thread.
    void Wake();

private:
    void Compact();
    // Stores when the first listed task falls due, for IsBehind (under the list lock).
    void PublishNextDue();

    // Not owned: tasks belong to their owners. A task taken out during a pass (a task may remove
    // itself or another one from Execute) is set to null and erased after the pass.
    std::list<IAppTask*> m_tasks;
    bool m_running = false;
    HANDLE m_wake = nullptr;
    // Clock value at which the first listed task falls due, as the last pass or addition left
    // it; m_any_listed false when the list was empty then.
    std::atomic<uint32_t> m_next_due{0};
    std::atomic<bool> m_any_listed{false};
    CCriticalSection m_lock{LOCK_LEVEL_FRAME_TASK_LIST}; // guards m_tasks and m_running
};

// The application's runner; null before initialisation made it and after exit freed it.
CAppTask* GetAppTask();
// Installs the runner (initialisation makes it, exit clears it); returns the previous one.
CAppTask* SetAppTask(CAppTask* runner);
