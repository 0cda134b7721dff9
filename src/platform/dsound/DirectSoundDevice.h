#pragma once
// The DirectSound object: owns the mixer and the output device, creates the primary buffer (one
// per device) and secondary buffers. Buffers share the mixer, so a buffer released after the
// device is still safe to call; it simply is no longer heard.

#include "platform/dsound/DSoundApi.h"

#include <memory>
#include <mutex>

namespace platform {

class AudioDevice;
class Mixer;
class PrimarySoundBuffer;

class DirectSoundDevice final : public IDirectSound8
{
public:
    DirectSoundDevice(std::unique_ptr<AudioDevice> device);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC description, LPDIRECTSOUNDBUFFER* buffer,
                              LPUNKNOWN outer) override;
    HRESULT GetCaps(LPDSCAPS caps) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD level) override;
    // A reference unless the object is already being destroyed.
    bool TryAddRef() { return m_references.TryIncrement(); }

private:
    ~DirectSoundDevice();

    HRESULT CreatePrimary(LPDIRECTSOUNDBUFFER* buffer);

    RefCount m_references;
    std::shared_ptr<Mixer> m_mixer;
    std::unique_ptr<AudioDevice> m_device;
    std::mutex m_mutex;                      // guards the two fields below
    PrimarySoundBuffer* m_primary = nullptr; // one reference held here, another per caller
    DWORD m_level = 0;
};

// The newest DirectSound object still alive, with a reference the caller releases; null when
// there is none. The movie graph plays its sound through it.
IDirectSound8* AcquireLiveDirectSound();

} // namespace platform
