#include "support/ScopedEnv.h"

#include <cstdlib>

ScopedEnv::ScopedEnv(std::string name, const char* value)
    : m_name(std::move(name))
{
    if (const char* previous = std::getenv(m_name.c_str()))
        m_previous = previous;
    if (value)
        setenv(m_name.c_str(), value, 1);
    else
        unsetenv(m_name.c_str());
}

ScopedEnv::~ScopedEnv()
{
    if (m_previous)
        setenv(m_name.c_str(), m_previous->c_str(), 1);
    else
        unsetenv(m_name.c_str());
}
