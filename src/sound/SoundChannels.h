#pragma once
// The sound command groups' channels (SOUND_GROUP_MUSIC ...), each indexed by channel number.
// The lists only grow; the document owns the game's set and frees it before the sound system.
// Main thread only.

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "foundation/SoundGroups.h"

class IWaveManager;

class SoundChannels
{
public:
    using Group = std::vector<std::unique_ptr<IWaveManager>>;

    SoundChannels();
    ~SoundChannels();
    SoundChannels(const SoundChannels&) = delete;
    SoundChannels& operator=(const SoundChannels&) = delete;

    Group& operator[](size_t group) { return m_groups[group]; }
    const Group& operator[](size_t group) const { return m_groups[group]; }
    auto begin() { return m_groups.begin(); }
    auto end() { return m_groups.end(); }
    // Frees every channel's sound object.
    void Clear();

private:
    std::array<Group, SOUND_GROUP_COUNT> m_groups;
};

// The document's channels, made with it on first use. The shell installs the source once before
// main; without one the channels are a set of their own.
SoundChannels& GetGameSoundChannels();
void SetGameSoundChannelsSource(SoundChannels* (*source)());
