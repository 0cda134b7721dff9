#include "platform/dsound/PrimarySoundBuffer.h"

#include <algorithm>
#include <cstring>

namespace platform {

PrimarySoundBuffer::PrimarySoundBuffer()
    : m_format{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0}
{}

HRESULT PrimarySoundBuffer::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectSoundBuffer) {
        AddRef();
        *object = static_cast<IDirectSoundBuffer*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG PrimarySoundBuffer::AddRef()
{
    return m_references.Increment();
}

ULONG PrimarySoundBuffer::Release()
{
    const ULONG left = m_references.Decrement();
    if (left == 0)
        delete this;
    return left;
}

HRESULT PrimarySoundBuffer::GetCaps(LPDSBCAPS caps)
{
    if (!caps)
        return DSERR_INVALIDPARAM;
    caps->dwFlags = DSBCAPS_PRIMARYBUFFER;
    caps->dwBufferBytes = m_format.nAvgBytesPerSec; // nominal: the mixer has no real primary ring
    caps->dwUnlockTransferRate = 0;
    caps->dwPlayCpuOverhead = 0;
    return DS_OK;
}

HRESULT PrimarySoundBuffer::GetCurrentPosition(LPDWORD play_cursor, LPDWORD write_cursor)
{
    if (play_cursor)
        *play_cursor = 0;
    if (write_cursor)
        *write_cursor = 0;
    return DS_OK;
}

HRESULT PrimarySoundBuffer::GetFormat(LPWAVEFORMATEX format, DWORD size_allocated, LPDWORD size_written)
{
    if (!format) {
        if (!size_written)
            return DSERR_INVALIDPARAM;
        *size_written = sizeof(WAVEFORMATEX);
        return DS_OK;
    }
    const DWORD size = std::min<DWORD>(size_allocated, sizeof(WAVEFORMATEX));
    std::memcpy(format, &m_format, size);
    if (size_written)
        *size_written = size;
    return DS_OK;
}

HRESULT PrimarySoundBuffer::GetVolume(LPLONG volume)
{
    if (!volume)
        return DSERR_INVALIDPARAM;
    *volume = 0;
    return DS_OK;
}

HRESULT PrimarySoundBuffer::GetPan(LPLONG pan)
{
    if (!pan)
        return DSERR_INVALIDPARAM;
    *pan = 0;
    return DS_OK;
}

HRESULT PrimarySoundBuffer::GetFrequency(LPDWORD)
{
    return DSERR_CONTROLUNAVAIL;
}

HRESULT PrimarySoundBuffer::GetStatus(LPDWORD status)
{
    if (!status)
        return DSERR_INVALIDPARAM;
    *status = DSBSTATUS_PLAYING | DSBSTATUS_LOOPING; // the mix always runs
    return DS_OK;
}

HRESULT PrimarySoundBuffer::Lock(DWORD, DWORD, LPVOID*, LPDWORD, LPVOID*, LPDWORD, DWORD)
{
    return DSERR_PRIOLEVELNEEDED; // writing the primary buffer needs DSSCL_WRITEPRIMARY
}

HRESULT PrimarySoundBuffer::Play(DWORD reserved1, DWORD, DWORD flags)
{
    if (reserved1 != 0 || (flags & DSBPLAY_LOOPING) == 0)
        return DSERR_INVALIDPARAM;
    return DS_OK;
}

HRESULT PrimarySoundBuffer::SetCurrentPosition(DWORD)
{
    return DSERR_INVALIDCALL;
}

HRESULT PrimarySoundBuffer::SetFormat(LPCWAVEFORMATEX format)
{
    if (!format || format->wFormatTag != WAVE_FORMAT_PCM || format->nChannels < 1 || format->nChannels > 2 ||
        (format->wBitsPerSample != 8 && format->wBitsPerSample != 16) ||
        format->nSamplesPerSec < DSBFREQUENCY_MIN || format->nSamplesPerSec > DSBFREQUENCY_MAX ||
        format->nBlockAlign != format->nChannels * format->wBitsPerSample / 8 ||
        format->nAvgBytesPerSec != format->nSamplesPerSec * format->nBlockAlign)
        return DSERR_BADFORMAT;
    m_format = *format;
    m_format.cbSize = 0;
    return DS_OK;
}

HRESULT PrimarySoundBuffer::SetVolume(LONG)
{
    return DSERR_CONTROLUNAVAIL;
}

HRESULT PrimarySoundBuffer::SetPan(LONG)
{
    return DSERR_CONTROLUNAVAIL;
}

HRESULT PrimarySoundBuffer::SetFrequency(DWORD)
{
    return DSERR_CONTROLUNAVAIL;
}

HRESULT PrimarySoundBuffer::Stop()
{
    return DS_OK;
}

HRESULT PrimarySoundBuffer::Unlock(LPVOID, DWORD, LPVOID, DWORD)
{
    return DSERR_INVALIDCALL;
}

HRESULT PrimarySoundBuffer::Restore()
{
    return DS_OK;
}

} // namespace platform
