#include "sound/CWavePcmManager.h"

#include "foundation/CExecException.h"
#include "foundation/ScopedLock.h"
#include "foundation/ScreenSettings.h"
#include "sound/CWaveSoundNotify.h"

void CWavePcmManager::Initialize(CStringUTF8 archive_name, bool raise)
{
    {
        ScopedLock lock(m_lock);
        // The sound objects come from the private heap, whose allocation answers null rather
        // than throwing.
        if (GetDirectSoundNotify())
            m_sound = std::make_unique<CWaveSoundNotify>();
        else
            m_sound = std::make_unique<CWaveSoundThread>();
        if (!m_sound)
            throw CExecException("Failed to create the Wave Object");
    }
    OpenArchive(archive_name, raise);
}

void CWavePcmManager::Play()
{
    ScopedLock lock(m_lock);
    if (m_sound)
        m_sound->PlayFromStart();
}

void CWavePcmManager::PlayFile(CStringUTF8 name)
{
    PlayEntry(
        name, [this](HANDLE file, DWORD, DWORD) { m_sound->ReadWaveHeader(file); }, true);
}

void CWavePcmManager::PrepareFile(CStringUTF8 name)
{
    PlayEntry(
        name, [this](HANDLE file, DWORD, DWORD) { m_sound->ReadWaveHeader(file); }, false);
}

void CWavePcmManager::Pause()
{
    PauseSound();
}

void CWavePcmManager::Resume()
{
    ResumeSound();
}
