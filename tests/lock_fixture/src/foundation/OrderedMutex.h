#pragma once
// The one wrapper that may hold a standard mutex.

#include <mutex>

class OrderedMutex
{
    std::mutex m_mutex;
};
