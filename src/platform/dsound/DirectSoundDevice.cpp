#include "platform/dsound/DirectSoundDevice.h"

#include "platform/dsound/AudioDevice.h"
#include "platform/dsound/Mixer.h"
#include "platform/dsound/MixerVoice.h"
#include "platform/dsound/PrimarySoundBuffer.h"
#include "platform/dsound/SecondarySoundBuffer.h"

#include <vector>

namespace platform {

namespace {

std::mutex g_live_lock; // a leaf lock: guards g_live
std::vector<DirectSoundDevice*> g_live;

bool IsPlayableFormat(const WAVEFORMATEX& f)
{
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= DSBFREQUENCY_MIN &&
           f.nSamplesPerSec <= DSBFREQUENCY_MAX && f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8 &&
           f.nAvgBytesPerSec == f.nSamplesPerSec * f.nBlockAlign;
}

} // namespace

DirectSoundDevice::DirectSoundDevice(std::unique_ptr<AudioDevice> device)
    : m_mixer(std::make_shared<Mixer>())
    , m_device(std::move(device))
{
    m_device->Start(*m_mixer);
    std::lock_guard lock(g_live_lock);
    g_live.push_back(this);
}

DirectSoundDevice::~DirectSoundDevice()
{
    {
        std::lock_guard lock(g_live_lock);
        std::erase(g_live, this);
    }
    m_device->Stop();
    if (m_primary)
        m_primary->Release();
}

HRESULT DirectSoundDevice::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectSound || riid == IID_IDirectSound8) {
        AddRef();
        *object = static_cast<IDirectSound8*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG DirectSoundDevice::AddRef()
{
    return m_references.Increment();
}

ULONG DirectSoundDevice::Release()
{
    const ULONG left = m_references.Decrement();
    if (left == 0)
        delete this;
    return left;
}

HRESULT DirectSoundDevice::CreatePrimary(LPDIRECTSOUNDBUFFER* buffer)
{
    std::lock_guard lock(m_mutex);
    if (m_level < DSSCL_PRIORITY)
        return DSERR_PRIOLEVELNEEDED;
    if (!m_primary)
        m_primary = new PrimarySoundBuffer;
    m_primary->AddRef();
    *buffer = m_primary;
    return DS_OK;
}

HRESULT DirectSoundDevice::CreateSoundBuffer(LPCDSBUFFERDESC description, LPDIRECTSOUNDBUFFER* buffer,
                                             LPUNKNOWN outer)
{
    if (!buffer)
        return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (!description || description->dwSize < sizeof(DSBUFFERDESC))
        return DSERR_INVALIDPARAM;
    const DWORD flags = description->dwFlags;
    if (flags & DSBCAPS_PRIMARYBUFFER) {
        if (description->dwBufferBytes != 0 || description->lpwfxFormat)
            return DSERR_INVALIDPARAM;
        return CreatePrimary(buffer);
    }
    {
        std::lock_guard lock(m_mutex);
        if (m_level == 0)
            return DSERR_PRIOLEVELNEEDED;
    }
    if (!description->lpwfxFormat)
        return DSERR_INVALIDPARAM;
    const WAVEFORMATEX& format = *description->lpwfxFormat;
    if (!IsPlayableFormat(format))
        return DSERR_BADFORMAT;
    const DWORD bytes = description->dwBufferBytes - description->dwBufferBytes % format.nBlockAlign;
    if (bytes < DSBSIZE_MIN || bytes > DSBSIZE_MAX || bytes < format.nBlockAlign)
        return DSERR_INVALIDPARAM;
    if ((flags & DSBCAPS_CTRLFX) &&
        static_cast<uint64_t>(bytes) * 1000 < static_cast<uint64_t>(format.nAvgBytesPerSec) * DSBSIZE_FX_MIN)
        return DSERR_BUFFERTOOSMALL;
    WAVEFORMATEX stored = format;
    stored.cbSize = 0;
    auto voice = std::make_shared<MixerVoice>(stored, bytes, flags);
    *buffer = static_cast<IDirectSoundBuffer8*>(new SecondarySoundBuffer(m_mixer, std::move(voice)));
    return DS_OK;
}

HRESULT DirectSoundDevice::GetCaps(LPDSCAPS caps)
{
    if (!caps || caps->dwSize < sizeof(DSCAPS))
        return DSERR_INVALIDPARAM;
    *caps = DSCAPS{};
    caps->dwSize = sizeof(DSCAPS);
    caps->dwFlags = DSCAPS_PRIMARYMONO | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT | DSCAPS_PRIMARY16BIT |
                    DSCAPS_CONTINUOUSRATE | DSCAPS_SECONDARYMONO | DSCAPS_SECONDARYSTEREO |
                    DSCAPS_SECONDARY8BIT | DSCAPS_SECONDARY16BIT;
    caps->dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
    caps->dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
    caps->dwPrimaryBuffers = 1;
    return DS_OK;
}

HRESULT DirectSoundDevice::SetCooperativeLevel(HWND, DWORD level)
{
    if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY)
        return DSERR_INVALIDPARAM;
    std::lock_guard lock(m_mutex);
    m_level = level;
    return DS_OK;
}

IDirectSound8* AcquireLiveDirectSound()
{
    std::lock_guard lock(g_live_lock);
    for (auto it = g_live.rbegin(); it != g_live.rend(); ++it) {
        if ((*it)->TryAddRef())
            return *it;
    }
    return nullptr;
}

} // namespace platform

HRESULT DirectSoundCreate8(const GUID* device, LPDIRECTSOUND8* result, LPUNKNOWN outer)
{
    if (!result)
        return DSERR_INVALIDPARAM;
    *result = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (device && *device != GUID_NULL)
        return DSERR_NODRIVER;
    *result = new platform::DirectSoundDevice(platform::CreateAudioDevice());
    return DS_OK;
}
