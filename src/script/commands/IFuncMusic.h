#pragma once
// The base of the four sound command groups (music 15, effect 16, H-effect 17, voice 18): a
// nine-entry script table over operations screens also call directly. Each group supplies its
// channels, its enable switch and its volume; the voice group adds its own rules. Group objects
// hold no state: channels live in the document's sound channel list. Main thread, except the
// snowball's landing sound and the background voices, which play from the app-task thread.
// A channel the group does not have is ignored.

#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "platform/dsound/DSoundApi.h"
#include "script/commands/IFunc.h"

class IWaveManager;

// The attenuation a fade out ends at and a fade in starts from, and that of a silenced group.
inline constexpr int32_t SOUND_VOLUME_FLOOR = -5000;
inline constexpr int32_t SOUND_VOLUME_SILENT = -10000;

class IFuncMusic : public IFunc
{
public:
    // Pops the sub-function number (0-8) and runs its entry; any other number does nothing.
    void Call(CScript& script) override;

    virtual void ScriptCreate();
    // Appends count channels to the group; throws CExecException with the group's failure text
    // when a channel cannot be allocated.
    virtual void CreateManager(int32_t count) = 0;
    virtual void ScriptPlay();
    // Replays what Prepare primed.
    virtual void PlayFromStart(int32_t channel);
    // Sets the channel's volume first when apply_volume is non-zero, then plays the named file.
    virtual void Play(CStringUTF8 name, int32_t channel, int32_t apply_volume);
    virtual void Prepare(CStringUTF8 name, int32_t channel);
    virtual void ScriptStop();
    virtual void Stop(int32_t channel);
    virtual void ScriptFadeOut();
    // Fades to -5000 and stops; at once when the group is switched off.
    virtual void FadeOut(int32_t time, int32_t channel);
    virtual void ScriptFadeIn();
    // Starts the pending name (from -5000) and fades to the group volume; without a fade when
    // the group is switched off.
    virtual void FadeIn(int32_t time, int32_t channel);
    virtual void ScriptLoad();
    // The name becomes the channel's pending name; nothing plays.
    virtual void Load(CStringUTF8 name, int32_t channel);
    virtual void ScriptStart();
    // Plays the pending name at the group volume.
    virtual void Start(int32_t channel);
    virtual void ScriptIsPlaying();
    virtual bool IsPlaying(int32_t channel);
    virtual void ScriptIsOpen();
    // Whether a pending name is set.
    virtual bool IsOpen(int32_t channel);
    virtual CStringUTF8 GetFileName(int32_t channel);
    virtual bool IsEnabled() = 0;
    // The attenuation the channel plays at.
    virtual int32_t GetVolume(int32_t channel) = 0;
    // The channel, or null when the group has no such channel.
    virtual IWaveManager* GetManager(int32_t channel) = 0;

protected:
    // What a group's channel creation needs to know.
    struct GroupSetup
    {
        size_t group; // SOUND_GROUP_MUSIC ...
        const char* archive_key;
        const char* archive_default;
        const char* error_key;
        uint16_t channels;
        DWORD buffer_value; // work size (PCM) or extra buffer flags (voice)
        const char* failure_text;
    };
    template <class Manager>
    void CreateChannels(int32_t count, const GroupSetup& setup);
    // Element channel of the group's list, or null.
    IWaveManager* GroupManager(size_t group, int32_t channel);
    // -5000 - trunc((level x -5000) x master) in single precision; -10000 while the group or all
    // sound is switched off.
    int32_t GroupVolume(float level);
};
