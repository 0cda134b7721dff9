#pragma once
// A layer-change record guarded by a plain mutex, which the order checker would never see.

#include <mutex>

class Unlevelled
{
    std::mutex m_change_lock;
    std::recursive_mutex m_list_lock;
    std::lock_guard<std::shared_mutex>* m_guard = nullptr;
};
