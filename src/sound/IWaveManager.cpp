#include "sound/IWaveManager.h"

#include "foundation/CExecException.h"
#include "foundation/CString.h"
#include "foundation/ScopedLock.h"
#include "platform/kernel/FileApi.h"
#include "sound/CWaveSoundThread.h"

#include <new>

IWaveManager::IWaveManager() = default;

template <class Action>
void IWaveManager::WithSound(Action action)
{
    ScopedLock lock(m_lock);
    if (m_sound)
        action(*m_sound);
}

IWaveManager::~IWaveManager()
{
    DestroySound();
}

void IWaveManager::DestroySound()
{
    ScopedLock lock(m_lock);
    if (m_sound) {
        m_sound->Stop();
        m_sound->Destroy();
        m_sound.reset();
    }
    m_archive.reset();
}

bool IWaveManager::CreateBuffer(const WAVEFORMATEX& format, DWORD value)
{
    ScopedLock lock(m_lock);
    return m_sound && m_sound->Create(format, value);
}

void IWaveManager::Release()
{
    DestroySound();
}

void IWaveManager::OpenArchive(CStringUTF8 archive_name, bool raise)
{
    ScopedLock lock(m_lock);
    m_archive.reset(new (std::nothrow) CArchiveManager(archive_name, false, raise));
    if (!m_archive)
        throw CExecException("Failed to create the Sound Archive File");
}

bool IWaveManager::Stop(bool forget)
{
    ScopedLock lock(m_lock);
    const bool result = m_sound && m_sound->Stop();
    if (forget)
        ClearName();
    return result;
}

void IWaveManager::Fade(DWORD time, LONG target, BYTE stop_at_end)
{
    ScopedLock lock(m_lock);
    if (m_sound)
        m_sound->FadeTo(time, target, stop_at_end);
    ClearName();
}

void IWaveManager::SetVolume(int32_t volume)
{
    WithSound([&](CWaveSoundThread& sound) { sound.SetVolume(volume); });
}

void IWaveManager::SetPan(LONG pan)
{
    WithSound([&](CWaveSoundThread& sound) { sound.SetPan(pan); });
}

bool IWaveManager::IsPlaying()
{
    ScopedLock lock(m_lock);
    return m_sound && (m_sound->GetStatus() & DSBSTATUS_PLAYING) != 0;
}

DWORD IWaveManager::IsFading()
{
    ScopedLock lock(m_lock);
    return m_sound ? m_sound->IsFading() : 0;
}

bool IWaveManager::FileExists(CStringUTF8 name)
{
    ScopedLock lock(m_lock);
    return m_archive && m_archive->Exists(name) != 0;
}

void IWaveManager::SetFrequency(DWORD hertz)
{
    WithSound([&](CWaveSoundThread& sound) { sound.SetFrequency(hertz); });
}

void IWaveManager::GetFrequency(DWORD* hertz)
{
    WithSound([&](CWaveSoundThread& sound) { sound.GetFrequency(hertz); });
}

void IWaveManager::SetEchoMix(float mix)
{
    WithSound([&](CWaveSoundThread& sound) { sound.SetEchoMix(mix); });
}

void IWaveManager::SetEqualizerGain(DWORD band, float gain)
{
    WithSound([&](CWaveSoundThread& sound) { sound.SetEqualizerGain(band, gain); });
}

void IWaveManager::SetCompressorGain(float gain)
{
    WithSound([&](CWaveSoundThread& sound) { sound.SetCompressorGain(gain); });
}

void IWaveManager::SetSpeed(float rate)
{
    WithSound([&](CWaveSoundThread& sound) { sound.SetSpeed(rate); });
}

void IWaveManager::SetPitch(float value)
{
    WithSound([&](CWaveSoundThread& sound) { sound.SetPitch(value); });
}

void IWaveManager::EnableEffects(bool enabled)
{
    WithSound([&](CWaveSoundThread& sound) { sound.EnableEffects(enabled); });
}

uint8_t IWaveManager::IsLoaded()
{
    ScopedLock lock(m_lock);
    return m_loaded;
}

int32_t IWaveManager::GetState()
{
    ScopedLock lock(m_lock);
    return m_state;
}

CStringUTF8 IWaveManager::GetName()
{
    ScopedLock lock(m_lock);
    return m_name;
}

void IWaveManager::Play() {}

void IWaveManager::PlayNamed(CStringUTF8 name)
{
    PlayFile(name);
}

void IWaveManager::StoreName(CStringUTF8 name)
{
    SetName(name);
}

void IWaveManager::ClearName()
{
    ScopedLock lock(m_lock);
    m_name.Empty();
    m_loaded = 0;
}

void IWaveManager::Reload()
{
    ScopedLock lock(m_lock);
    if (!m_loaded)
        return;
    const CStringUTF8 name = m_name;
    PlayFile(name);
    ClearName();
}

void IWaveManager::PrepareFile(CStringUTF8) {}

void IWaveManager::Pause() {}

void IWaveManager::Resume() {}

void IWaveManager::PauseSound()
{
    ScopedLock lock(m_lock);
    if (m_sound && IsPlaying()) {
        m_sound->StopBuffer();
        m_state = 1;
    }
}

void IWaveManager::ResumeSound()
{
    ScopedLock lock(m_lock);
    if (m_sound && m_state != 0) {
        m_state = 0;
        m_sound->Continue();
    }
}

HANDLE IWaveManager::OpenArchiveFile(CStringUTF8 name, DWORD* size, DWORD* offset)
{
    ScopedLock lock(m_lock);
    *size = 0;
    *offset = 0;
    if (!m_archive)
        return nullptr;
    try {
        m_archive->OpenEntry(name);
    } catch (const CString& text) {
        OnError(text);
        return nullptr;
    }
    *size = m_archive->GetSize();
    *offset = m_archive->GetPosition();
    return m_archive->DuplicateEntryHandle();
}

void IWaveManager::OnError(CStringUTF8) {}

void IWaveManager::SetName(CStringUTF8 name)
{
    ScopedLock lock(m_lock);
    m_name = name;
    m_loaded = 1;
}

void IWaveManager::PlayEntry(const CStringUTF8& name, const std::function<void(HANDLE, DWORD, DWORD)>& attach,
                             bool start)
{
    ScopedLock lock(m_lock);
    if (!m_sound)
        return;
    m_sound->Stop();
    DWORD size = 0;
    DWORD offset = 0;
    HANDLE file = OpenArchiveFile(name, &size, &offset);
    if (!file)
        return;
    // What the hand-over answers is not consulted: a failed one leaves no data, so the start
    // fails with status 1 and nothing plays.
    attach(file, offset, size);
    if (start)
        m_sound->Start();
    else
        m_sound->PrimeBuffer();
    CloseHandle(file); // the sound object keeps a duplicate of its own
}
