#include "platform/TestExit.h"

#include <atomic>
#include <cstdlib>

#include "platform/TestInput.h"

namespace platform {

namespace {

long ReadLimit()
{
    const char* text = std::getenv("VESK_CLOSE_AFTER_FRAMES");
    return text != nullptr ? std::strtol(text, nullptr, 10) : 0;
}

} // namespace

bool IsTestCloseDue()
{
    static const long s_limit = ReadLimit();
    static std::atomic<long> s_count{0};
    return s_limit > 0 && IsTestTurnCounted() && ++s_count == s_limit;
}

} // namespace platform
