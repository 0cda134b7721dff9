#pragma once
// A secondary buffer of the facade: the COM face of one MixerVoice. Its notification interface
// is the same object, obtained by QueryInterface when the buffer was created with
// DSBCAPS_CTRLPOSITIONNOTIFY.

#include "platform/dsound/DSoundApi.h"

#include <memory>

namespace platform {

class Mixer;
class MixerVoice;

class SecondarySoundBuffer final : public IDirectSoundBuffer8, public IDirectSoundNotify
{
public:
    SecondarySoundBuffer(std::shared_ptr<Mixer> mixer, std::shared_ptr<MixerVoice> voice);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetCaps(LPDSBCAPS caps) override;
    HRESULT GetCurrentPosition(LPDWORD play_cursor, LPDWORD write_cursor) override;
    HRESULT GetFormat(LPWAVEFORMATEX format, DWORD size_allocated, LPDWORD size_written) override;
    HRESULT GetVolume(LPLONG volume) override;
    HRESULT GetPan(LPLONG pan) override;
    HRESULT GetFrequency(LPDWORD frequency) override;
    HRESULT GetStatus(LPDWORD status) override;
    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2, LPDWORD bytes2,
                 DWORD flags) override;
    HRESULT Play(DWORD reserved1, DWORD priority, DWORD flags) override;
    HRESULT SetCurrentPosition(DWORD position) override;
    HRESULT SetFormat(LPCWAVEFORMATEX format) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT SetPan(LONG pan) override;
    HRESULT SetFrequency(DWORD frequency) override;
    HRESULT Stop() override;
    HRESULT Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) override;
    HRESULT Restore() override;
    HRESULT SetFX(DWORD effect_count, LPDSEFFECTDESC effects, LPDWORD result_codes) override;
    HRESULT GetObjectInPath(REFGUID object, DWORD index, REFGUID interface_id, LPVOID* result) override;

    HRESULT SetNotificationPositions(DWORD count, LPCDSBPOSITIONNOTIFY positions) override;

    // The layer's own writers' way into the ring, for one that may fall behind the play cursor:
    // the bytes (zeros for null) land under the voice lock, so the mixer never reads them
    // half-written, as it could between Lock and Unlock.
    HRESULT WriteRing(DWORD offset, const void* bytes, DWORD count);

private:
    ~SecondarySoundBuffer();

    RefCount m_references;
    std::shared_ptr<Mixer> m_mixer;
    std::shared_ptr<MixerVoice> m_voice;
};

} // namespace platform
