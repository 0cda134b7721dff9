#include "app/CAppTask.h"

void CAppTask::AddTask(IAppTask*) {}

void CAppTask::RemoveTask(IAppTask*) {}

CAppTask* GetAppTask()
{
    return nullptr;
}
