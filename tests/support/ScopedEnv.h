#pragma once
// Sets (or unsets) one environment variable for the lifetime of the object and restores the
// previous value afterwards, so tests that steer the layer through the environment stay isolated.

#include <optional>
#include <string>

class ScopedEnv
{
public:
    // A null value unsets the variable.
    ScopedEnv(std::string name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};
