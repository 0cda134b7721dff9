#include "sound/SoundChannels.h"

#include "foundation/InstalledSource.h"

#include "sound/IWaveManager.h"

namespace {

InstalledSource<SoundChannels> s_source;

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
    if (SoundChannels* object = s_source.Get())
        return *object;
    static SoundChannels unowned;
    return unowned;
}

void SetGameSoundChannelsSource(SoundChannels* (*source)())
{
    s_source.Set(source);
}
