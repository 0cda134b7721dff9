#include "support/OneCore.h"

#include <fstream>
#include <string>

uint64_t OwnSleeps()
{
    std::ifstream status("/proc/thread-self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
            return std::stoull(line.substr(line.find(':') + 1));
    return 0;
}

OneCore::OneCore()
{
    CPU_ZERO(&m_core);
    CPU_SET(sched_getcpu(), &m_core);
    m_pinned = sched_getaffinity(0, sizeof(m_before), &m_before) == 0 &&
               sched_setaffinity(0, sizeof(m_core), &m_core) == 0;
}

OneCore::OneCore(const OneCore& core)
    : m_core(core.m_core)
{
    m_pinned = sched_getaffinity(0, sizeof(m_before), &m_before) == 0 &&
               sched_setaffinity(0, sizeof(m_core), &m_core) == 0;
}

OneCore::~OneCore()
{
    if (m_pinned)
        sched_setaffinity(0, sizeof(m_before), &m_before);
}
