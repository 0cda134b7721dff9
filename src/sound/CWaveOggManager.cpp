#include "sound/CWaveOggManager.h"

#include "foundation/CExecException.h"
#include "foundation/ScopedLock.h"
#include "foundation/ScreenSettings.h"
#include "sound/COggSoundNotify.h"
#include "sound/COggSoundThread.h"

void CWaveOggManager::Initialize(CStringUTF8 archive_name, bool raise)
{
    {
        ScopedLock lock(m_lock);
        // The sound objects come from the private heap, whose allocation answers null rather
        // than throwing.
        if (GetDirectSoundNotify()) {
            auto owned = std::make_unique<COggSoundNotify>();
            auto* sound = owned.get();
            m_sound = std::move(owned);
            m_open_ogg = [sound](HANDLE file, DWORD offset, DWORD size) {
                sound->OpenOggData(file, offset, size);
            };
        } else {
            auto owned = std::make_unique<COggSoundThread>();
            auto* sound = owned.get();
            m_sound = std::move(owned);
            m_open_ogg = [sound](HANDLE file, DWORD offset, DWORD size) {
                sound->OpenOggData(file, offset, size);
            };
        }
        if (!m_sound)
            throw CExecException("Failed to create the Wave Object");
    }
    OpenArchive(archive_name, raise);
}

void CWaveOggManager::PlayFile(CStringUTF8 name)
{
    PlayEntry(name, m_open_ogg, true);
}

void CWaveOggManager::Pause()
{
    PauseSound();
}

void CWaveOggManager::Resume()
{
    ResumeSound();
}
