#pragma once
// The frame-task runner: the list of periodic tasks the app-task thread runs.
// FIXME: the least the animation code needs until the runner is in.

class IAppTask;

class CAppTask
{
public:
    virtual ~CAppTask() = default;
    virtual void AddTask(IAppTask* task);
    virtual void RemoveTask(IAppTask* task);
};

// The application's runner; null before initialisation made it and after exit freed it.
CAppTask* GetAppTask();
