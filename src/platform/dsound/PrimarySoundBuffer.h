#pragma once
// The device's primary buffer: it only takes and reports a format. Mixing always runs at
// 44,100 Hz 16-bit stereo, and the output device converts when the hardware wants otherwise.

#include "platform/dsound/DSoundApi.h"

namespace platform {

class PrimarySoundBuffer final : public IDirectSoundBuffer
{
public:
    PrimarySoundBuffer();

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

private:
    ~PrimarySoundBuffer() = default;

    RefCount m_references;
    WAVEFORMATEX m_format; // written by SetFormat on the main thread only
};

} // namespace platform
