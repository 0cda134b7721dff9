#pragma once
// One sound channel (music, effect, H-effect or voice): one streaming sound object, the archive
// set it opens its files from, the name of the file it has pending and a pause state. Nearly
// every operation forwards to the sound object; the two manager classes differ in how a file is
// handed to it. The document owns the channels in its sound channel list. The sound command
// groups drive them on the main thread, and the background-voice players and the snowball's
// landing sound on the app-task thread, so each channel serialises its calls with a lock of its
// own. A channel without a sound object (not initialised) does nothing.

#include <cstdint>
#include <functional>
#include <memory>

#include "foundation/CArchiveManager.h"
#include "foundation/CCriticalSection.h"
#include "foundation/CStringUTF8.h"
#include "platform/dsound/DSoundApi.h"

class CWaveSoundThread;

class IWaveManager
{
public:
    IWaveManager();
    // Stops and destroys the sound object.
    virtual ~IWaveManager();
    IWaveManager(const IWaveManager&) = delete;
    IWaveManager& operator=(const IWaveManager&) = delete;

    // The PCM objects take value as their work size, the Ogg objects as extra buffer flags.
    virtual bool CreateBuffer(const WAVEFORMATEX& format, DWORD value);
    // As the destructor, keeping the name.
    virtual void Release();
    // Throws CExecException "Failed to create the Sound Archive File" when it cannot be made.
    virtual void OpenArchive(CStringUTF8 archive_name, bool raise);
    // Stops what plays; with forget also drops the pending name.
    virtual bool Stop(bool forget);
    // Starts a fade (steps, attenuation, 1: stop at its end) and drops the pending name.
    virtual void Fade(DWORD time, LONG target, BYTE stop_at_end);
    // DirectSound attenuation in hundredths of a decibel: 0 full volume, -10000 silence.
    virtual void SetVolume(int32_t volume);
    virtual void SetPan(LONG pan);
    virtual bool IsPlaying();
    virtual DWORD IsFading();
    virtual bool FileExists(CStringUTF8 name);
    virtual void SetFrequency(DWORD hertz);
    virtual void GetFrequency(DWORD* hertz);
    virtual void SetEchoMix(float mix);
    virtual void SetEqualizerGain(DWORD band, float gain);
    virtual void SetCompressorGain(float gain);
    virtual void SetSpeed(float rate);
    virtual void SetPitch(float value);
    virtual void EnableEffects(bool enabled);
    virtual uint8_t IsLoaded();
    virtual int32_t GetState();
    virtual CStringUTF8 GetName();
    // Starts from the beginning what PrepareFile primed (PCM only).
    virtual void Play();
    // Stops what plays, opens the named file and starts it.
    virtual void PlayNamed(CStringUTF8 name);
    virtual void StoreName(CStringUTF8 name);
    virtual void ClearName();
    virtual void PlayFile(CStringUTF8 name) = 0;
    // Plays the pending name, then forgets it.
    virtual void Reload();
    // Opens and primes the named file without starting it (PCM only).
    virtual void PrepareFile(CStringUTF8 name);
    // Stops a playing sound where it is; Resume plays on from there.
    virtual void Pause();
    virtual void Resume();
    // A handle of the archive file at the entry's data (the caller closes it), with the entry's
    // size and offset; null when the entry cannot be opened.
    virtual HANDLE OpenArchiveFile(CStringUTF8 name, DWORD* size, DWORD* offset);
    virtual void OnError(CStringUTF8 message);
    virtual void SetName(CStringUTF8 name);

    // The sound object, for tests and the owner's diagnostics; null before initialisation.
    CWaveSoundThread* GetSound() const { return m_sound.get(); }

protected:
    // Runs action(sound object) under the lock when there is one.
    template <class Action>
    void WithSound(Action action);
    // Pause and Resume of the classes that have them.
    void PauseSound();
    void ResumeSound();
    // Stops, destroys and deletes the sound object.
    void DestroySound();
    // What PlayFile and PrepareFile share: stop, open the entry, hand it to the sound object
    // (file, offset, size), then start it or only prime it.
    void PlayEntry(const CStringUTF8& name, const std::function<void(HANDLE, DWORD, DWORD)>& attach,
                   bool start);

    CCriticalSection m_lock{LOCK_LEVEL_SOUND_CHANNEL}; // this channel's name, state and sound object
    uint8_t m_loaded = 0;
    CStringUTF8 m_name;
    std::unique_ptr<CArchiveManager> m_archive;
    std::unique_ptr<CWaveSoundThread> m_sound;
    int32_t m_state = 0;                 // 1 after Pause stopped a playing sound
};
