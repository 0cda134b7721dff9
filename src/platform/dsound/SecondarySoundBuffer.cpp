#include "platform/dsound/SecondarySoundBuffer.h"

#include "platform/dsound/Mixer.h"
#include "platform/dsound/MixerVoice.h"
#include "platform/dsound/SoundEffectObjects.h"

#include <algorithm>
#include <cstring>

namespace platform {

SecondarySoundBuffer::SecondarySoundBuffer(std::shared_ptr<Mixer> mixer, std::shared_ptr<MixerVoice> voice)
    : m_mixer(std::move(mixer))
    , m_voice(std::move(voice))
{
    m_mixer->AddVoice(m_voice);
}

SecondarySoundBuffer::~SecondarySoundBuffer()
{
    m_voice->Stop();
    m_mixer->RemoveVoice(m_voice.get());
}

HRESULT SecondarySoundBuffer::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectSoundBuffer || riid == IID_IDirectSoundBuffer8) {
        AddRef();
        *object = static_cast<IDirectSoundBuffer8*>(this);
        return S_OK;
    }
    if (riid == IID_IDirectSoundNotify && (m_voice->Flags() & DSBCAPS_CTRLPOSITIONNOTIFY)) {
        AddRef();
        *object = static_cast<IDirectSoundNotify*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG SecondarySoundBuffer::AddRef()
{
    return m_references.Increment();
}

ULONG SecondarySoundBuffer::Release()
{
    const ULONG left = m_references.Decrement();
    if (left == 0)
        delete this;
    return left;
}

HRESULT SecondarySoundBuffer::GetCaps(LPDSBCAPS caps)
{
    if (!caps)
        return DSERR_INVALIDPARAM;
    caps->dwFlags = m_voice->Flags() | DSBCAPS_LOCSOFTWARE;
    caps->dwBufferBytes = m_voice->Size();
    caps->dwUnlockTransferRate = 0;
    caps->dwPlayCpuOverhead = 0;
    return DS_OK;
}

HRESULT SecondarySoundBuffer::GetCurrentPosition(LPDWORD play_cursor, LPDWORD write_cursor)
{
    m_mixer->NotifyVoiceChanging();
    if (!play_cursor && !write_cursor)
        return DSERR_INVALIDPARAM;
    m_voice->GetCursors(m_mixer->LeadFrames(), play_cursor, write_cursor);
    return DS_OK;
}

HRESULT SecondarySoundBuffer::GetFormat(LPWAVEFORMATEX format, DWORD size_allocated, LPDWORD size_written)
{
    if (!format) {
        if (!size_written)
            return DSERR_INVALIDPARAM;
        *size_written = sizeof(WAVEFORMATEX);
        return DS_OK;
    }
    const DWORD size = std::min<DWORD>(size_allocated, sizeof(WAVEFORMATEX));
    std::memcpy(format, &m_voice->Format(), size);
    if (size_written)
        *size_written = size;
    return DS_OK;
}

HRESULT SecondarySoundBuffer::GetVolume(LPLONG volume)
{
    if (!volume)
        return DSERR_INVALIDPARAM;
    if (!(m_voice->Flags() & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    *volume = m_voice->Volume();
    return DS_OK;
}

HRESULT SecondarySoundBuffer::GetPan(LPLONG pan)
{
    if (!pan)
        return DSERR_INVALIDPARAM;
    if (!(m_voice->Flags() & DSBCAPS_CTRLPAN))
        return DSERR_CONTROLUNAVAIL;
    *pan = m_voice->Pan();
    return DS_OK;
}

HRESULT SecondarySoundBuffer::GetFrequency(LPDWORD frequency)
{
    if (!frequency)
        return DSERR_INVALIDPARAM;
    if (!(m_voice->Flags() & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    *frequency = m_voice->Frequency();
    return DS_OK;
}

HRESULT SecondarySoundBuffer::GetStatus(LPDWORD status)
{
    m_mixer->NotifyVoiceChanging();
    if (!status)
        return DSERR_INVALIDPARAM;
    *status = m_voice->Status();
    return DS_OK;
}

HRESULT SecondarySoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2,
                                   LPDWORD bytes2, DWORD flags)
{
    m_mixer->NotifyVoiceChanging();
    const DWORD size = m_voice->Size();
    if (!part1 || !bytes1)
        return DSERR_INVALIDPARAM;
    if (flags & DSBLOCK_FROMWRITECURSOR)
        m_voice->GetCursors(m_mixer->LeadFrames(), nullptr, &offset);
    if (flags & DSBLOCK_ENTIREBUFFER)
        bytes = size;
    if (offset >= size || bytes == 0 || bytes > size)
        return DSERR_INVALIDPARAM;
    uint8_t* data = m_voice->Data();
    const DWORD first = std::min(bytes, size - offset);
    *part1 = data + offset;
    *bytes1 = first;
    // Without a second pointer the lock ends at the end of the ring.
    if (part2)
        *part2 = bytes > first ? data : nullptr;
    if (bytes2)
        *bytes2 = part2 ? bytes - first : 0;
    return DS_OK;
}

HRESULT SecondarySoundBuffer::WriteRing(DWORD offset, const void* bytes, DWORD count)
{
    m_mixer->NotifyVoiceChanging();
    const DWORD size = m_voice->Size();
    if (offset >= size || count == 0 || count > size)
        return DSERR_INVALIDPARAM;
    m_voice->WriteRing(offset, static_cast<const uint8_t*>(bytes), count);
    return DS_OK;
}

HRESULT SecondarySoundBuffer::Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2)
{
    const uint8_t* begin = m_voice->Data();
    const uint8_t* end = begin + m_voice->Size();
    auto inside = [&](LPVOID p, DWORD n) {
        const auto* q = static_cast<const uint8_t*>(p);
        return !p || (q >= begin && q + n <= end);
    };
    if (!part1 || !inside(part1, bytes1) || !inside(part2, bytes2))
        return DSERR_INVALIDPARAM;
    m_voice->PublishRingWrites();
    return DS_OK;
}

HRESULT SecondarySoundBuffer::Play(DWORD reserved1, DWORD, DWORD flags)
{
    if (reserved1 != 0)
        return DSERR_INVALIDPARAM;
    m_mixer->NotifyVoiceChanging();
    m_mixer->NotifyVoiceStarting();
    // Play takes the voice lock, which also publishes the bytes written before it.
    m_voice->Play((flags & DSBPLAY_LOOPING) != 0);
    m_mixer->NotifyVoiceChanging(); // its events are ahead now
    return DS_OK;
}

HRESULT SecondarySoundBuffer::SetCurrentPosition(DWORD position)
{
    m_mixer->NotifyVoiceChanging();
    if (position >= m_voice->Size())
        return DSERR_INVALIDPARAM;
    m_voice->SetCurrentPosition(position);
    m_mixer->NotifyVoiceChanging();
    return DS_OK;
}

HRESULT SecondarySoundBuffer::SetFormat(LPCWAVEFORMATEX)
{
    return DSERR_INVALIDCALL;
}

HRESULT SecondarySoundBuffer::SetVolume(LONG volume)
{
    m_mixer->NotifyVoiceChanging();
    if (!(m_voice->Flags() & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    m_voice->SetVolume(volume);
    return DS_OK;
}

HRESULT SecondarySoundBuffer::SetPan(LONG pan)
{
    m_mixer->NotifyVoiceChanging();
    if (!(m_voice->Flags() & DSBCAPS_CTRLPAN))
        return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT)
        return DSERR_INVALIDPARAM;
    m_voice->SetPan(pan);
    return DS_OK;
}

HRESULT SecondarySoundBuffer::SetFrequency(DWORD frequency)
{
    m_mixer->NotifyVoiceChanging();
    if (!(m_voice->Flags() & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    if (frequency != DSBFREQUENCY_ORIGINAL && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
        return DSERR_INVALIDPARAM;
    m_voice->SetFrequency(frequency);
    m_mixer->NotifyVoiceChanging();
    return DS_OK;
}

HRESULT SecondarySoundBuffer::Stop()
{
    m_mixer->NotifyVoiceChanging();
    m_voice->Stop();
    return DS_OK;
}

HRESULT SecondarySoundBuffer::Restore()
{
    return DS_OK; // a software ring is never lost
}

HRESULT SecondarySoundBuffer::SetFX(DWORD effect_count, LPDSEFFECTDESC effects, LPDWORD result_codes)
{
    if (!(m_voice->Flags() & DSBCAPS_CTRLFX))
        return DSERR_CONTROLUNAVAIL;
    if (effect_count > 0 && !effects)
        return DSERR_INVALIDPARAM;
    if (m_voice->IsPlaying())
        return DSERR_INVALIDCALL;
    std::vector<EffectKind> kinds;
    bool all_known = true;
    for (DWORD i = 0; i < effect_count; ++i) {
        const GUID& id = effects[i].guidDSFXClass;
        DWORD code = DSFXR_LOCSOFTWARE;
        if (id == GUID_DSFX_STANDARD_ECHO) {
            kinds.push_back(EffectKind::Echo);
        } else if (id == GUID_DSFX_STANDARD_COMPRESSOR) {
            kinds.push_back(EffectKind::Compressor);
        } else if (id == GUID_DSFX_STANDARD_PARAMEQ) {
            kinds.push_back(EffectKind::ParamEq);
        } else {
            code = DSFXR_UNKNOWN;
            all_known = false;
        }
        if (result_codes)
            result_codes[i] = code;
    }
    // A chain with an unknown effect is not set at all.
    if (!all_known)
        return DSERR_FXUNAVAILABLE;
    return m_voice->SetEffects(kinds);
}

HRESULT SecondarySoundBuffer::GetObjectInPath(REFGUID object, DWORD index, REFGUID interface_id,
                                              LPVOID* result)
{
    if (!result)
        return DSERR_INVALIDPARAM;
    *result = nullptr;
    const bool all = object == GUID_All_Objects;
    size_t found = 0;
    EffectKind kind{};
    const HRESULT located = m_voice->WithEffects([&](EffectChain& chain) -> HRESULT {
        DWORD seen = 0;
        for (size_t i = 0; i < chain.Count(); ++i) {
            const EffectKind k = chain.KindAt(i);
            const bool matches = all || (k == EffectKind::Echo && object == GUID_DSFX_STANDARD_ECHO) ||
                                 (k == EffectKind::Compressor && object == GUID_DSFX_STANDARD_COMPRESSOR) ||
                                 (k == EffectKind::ParamEq && object == GUID_DSFX_STANDARD_PARAMEQ);
            if (matches && seen++ == index) {
                found = i;
                kind = k;
                return DS_OK;
            }
        }
        return DSERR_OBJECTNOTFOUND;
    });
    if (FAILED(located))
        return located;
    return CreateEffectObject(m_voice, found, kind, interface_id, result);
}

HRESULT SecondarySoundBuffer::SetNotificationPositions(DWORD count, LPCDSBPOSITIONNOTIFY positions)
{
    if (count > 0 && !positions)
        return DSERR_INVALIDPARAM;
    return m_voice->SetNotifications(positions, count);
}

} // namespace platform
