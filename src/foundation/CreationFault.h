#pragma once
#include <memory>
#include <new>
#include <utility>

#include "foundation/CExecException.h"

// A switch that makes one named creation step fail as if memory had run out, so that every
// failure path of the start-up can be walked. Off unless a test sets it. Main thread only.

// The step whose failure text equals the text fails; null switches it off.
void InjectCreationFault(const char* failure_text);
// True when the step with this failure text is to fail.
bool IsCreationFaultInjected(const char* failure_text);

// Allocates an object or throws the step's text, failing on purpose when the step is switched.
template <typename T, typename... Args>
std::unique_ptr<T> Make(const char* failure, Args&&... args)
{
    std::unique_ptr<T> object;
    if (!IsCreationFaultInjected(failure))
        object.reset(new (std::nothrow) T(std::forward<Args>(args)...));
    if (object == nullptr)
        throw CExecException(failure);
    return object;
}
