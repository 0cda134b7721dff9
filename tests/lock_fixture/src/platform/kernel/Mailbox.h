#pragma once
// The platform layer's own leaf locks are not the engine's to level.

#include <mutex>

class Mailbox
{
    std::mutex m_lock;
};
