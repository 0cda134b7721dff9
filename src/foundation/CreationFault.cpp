#include "foundation/CreationFault.h"

#include <cstring>

namespace {

const char* s_failure_text = nullptr; // not owned: a literal

} // namespace

void InjectCreationFault(const char* failure_text)
{
    s_failure_text = failure_text;
}

bool IsCreationFaultInjected(const char* failure_text)
{
    return s_failure_text != nullptr && std::strcmp(s_failure_text, failure_text) == 0;
}
