#include "sound/SoundChannels.h"

#include <atomic>

#include "sound/IWaveManager.h"

namespace {

std::atomic<SoundChannels* (*)()> s_source{nullptr};

} // namespace

SoundChannels::SoundChannels() = default;

SoundChannels::~SoundChannels() = default;

void SoundChannels::Clear()
{
    for (Group& group : m_groups)
        group.clear();
}

SoundChannels& GetGameSoundChannels()
{
    if (SoundChannels * (*source)() = s_source.load())
        return *source();
    static SoundChannels unowned;
    return unowned;
}

void SetGameSoundChannelsSource(SoundChannels* (*source)())
{
    s_source.store(source);
}
