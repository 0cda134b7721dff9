#pragma once
// The voice command group (library 18): the document's voice channels, from "voice.arc". A voice
// plays only while voices and its character's slot are switched on, at its character's volume;
// the name each channel last started is kept in VoiceChannelNames, and loaded names are logged
// for the backlog.

#include <cstdint>

#include "script/commands/IFuncMusic.h"

// The voice file last started on each of the three voice channels, one set for the program.
// Other channels have no entry: reading one gives an empty name, writing one does nothing.
// Any thread (the background voices play from the app-task thread).
class VoiceChannelNames
{
public:
    static constexpr int32_t COUNT = 3;

    static CStringUTF8 Get(int32_t channel);
    static void Set(int32_t channel, CStringUTF8 name);
};

class CFuncVoice : public IFuncMusic
{
public:
    void CreateManager(int32_t count) override;
    // Plays the name when its character's voice is on, always at the voice volume; otherwise
    // leaves the channel as it is.
    void Play(CStringUTF8 name, int32_t channel, int32_t apply_volume) override;
    // Mutes a playing voice for 10 ms first, so the stop makes no click.
    void Stop(int32_t channel) override;
    // Records the name for the backlog as the engine state asks, then keeps it pending.
    void Load(CStringUTF8 name, int32_t channel) override;
    // Plays the pending name as Play does; the name stays pending.
    void Start(int32_t channel) override;
    bool IsEnabled() override;
    // The attenuation of the voice last started on the channel.
    int32_t GetVolume(int32_t channel) override;
    IWaveManager* GetManager(int32_t channel) override;

private:
    void PlayEnabled(IWaveManager& manager, int32_t channel, const CStringUTF8& name);
};
