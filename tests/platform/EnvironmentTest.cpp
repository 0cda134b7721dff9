// The one table that picks real or null backends: a headless run nulls every service, SDL's
// dummy audio driver nulls the audio only, and otherwise every service is real.

#include "platform/Environment.h"

#include <string>

#include <gtest/gtest.h>

#include "support/ScopedEnv.h"

namespace {

using platform::Backend;
using platform::Service;

TEST(Environment, TheFirstRowThatAppliesPicksTheBackend)
{
    struct Case
    {
        const char* headless;     // VESK_HEADLESS, null: unset
        const char* audio_driver; // SDL_AUDIODRIVER, null: unset
        Backend presenter;
        Backend audio;
        Backend others; // message boxes, dialogs, shell
    };
    const Case cases[] = {
        {"1", nullptr, Backend::Null, Backend::Null, Backend::Null},
        {"yes", "alsa", Backend::Null, Backend::Null, Backend::Null},
        {"0", nullptr, Backend::Real, Backend::Real, Backend::Real},
        {"", nullptr, Backend::Real, Backend::Real, Backend::Real},
        {nullptr, nullptr, Backend::Real, Backend::Real, Backend::Real},
        {nullptr, "dummy", Backend::Real, Backend::Null, Backend::Real},
        {"0", "dummy", Backend::Real, Backend::Null, Backend::Real},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.headless ? c.headless : "(unset)") + " / " +
                     (c.audio_driver ? c.audio_driver : "(unset)"));
        ScopedEnv headless("VESK_HEADLESS", c.headless);
        ScopedEnv driver("SDL_AUDIODRIVER", c.audio_driver);
        EXPECT_EQ(platform::GetBackend(Service::Presenter), c.presenter);
        EXPECT_EQ(platform::GetBackend(Service::Audio), c.audio);
        for (Service other : {Service::MessageBox, Service::Dialogs, Service::Shell})
            EXPECT_EQ(platform::GetBackend(other), c.others);
    }
}

} // namespace
