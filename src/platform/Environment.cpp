#include "platform/Environment.h"

#include <cstdlib>
#include <cstring>
#include <optional>

namespace platform {

namespace {

// VESK_HEADLESS set to anything but "" or "0".
bool HeadlessRequested()
{
    const char* value = std::getenv("VESK_HEADLESS");
    return value && *value && std::strcmp(value, "0") != 0;
}

bool DummyAudioDriver()
{
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    return driver && std::strcmp(driver, "dummy") == 0;
}

bool Always()
{
    return true;
}

struct BootstrapRow
{
    std::optional<Service> service; // empty: every service
    bool (*applies)();
    Backend backend;
};

// In order; the real backends come last, as the fallback.
constexpr BootstrapRow BOOTSTRAP[] = {
    {std::nullopt, HeadlessRequested, Backend::Null},  // a headless run: every service null
    {Service::Audio, DummyAudioDriver, Backend::Null}, // SDL's dummy audio: our null device instead
    {std::nullopt, Always, Backend::Real},
};

} // namespace

Backend GetBackend(Service service)
{
    for (const BootstrapRow& row : BOOTSTRAP) {
        if ((!row.service || *row.service == service) && row.applies())
            return row.backend;
    }
    return Backend::Real;
}

} // namespace platform
