#include "script/exec/IBGVPlay.h"

#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/ScopedLock.h"
#include "graphics/CAppTask.h"
#include "sound/IWaveManager.h"
#include "sound/SoundChannels.h"

IBGVPlay::IBGVPlay(int32_t channel)
    : IAppTask(15)
    , m_channel(channel)
{}

IBGVPlay::~IBGVPlay()
{
    LeaveTasks();
}

void IBGVPlay::JoinTasks()
{
    if (CAppTask* runner = GetAppTask())
        runner->AddTask(this);
}

void IBGVPlay::LeaveTasks()
{
    if (CAppTask* runner = GetAppTask())
        runner->RemoveTask(this);
}

IWaveManager* IBGVPlay::GetManager() const
{
    // Scripts create the voice channels before they start a player; the list only grows.
    auto& voices = GetGameSoundChannels()[SOUND_GROUP_VOICE];
    if (m_channel < 0 || static_cast<size_t>(m_channel) >= voices.size())
        return nullptr;
    return voices[static_cast<size_t>(m_channel)].get();
}

void IBGVPlay::Start(const CStringUTF8& name)
{
    {
        ScopedLock lock(m_lock);
        m_index = -1;
        m_started = 0;
        m_files.push_back(name);
    }
    JoinTasks();
}

void IBGVPlay::AddFile(const CStringUTF8& name)
{
    ScopedLock lock(m_lock);
    m_files.push_back(name);
}

void IBGVPlay::Stop()
{
    LeaveTasks();
    ScopedLock lock(m_lock);
    if (IWaveManager* channel = GetManager())
        channel->Stop(true);
    m_started = 0;
    m_files.clear();
}

void IBGVPlay::Restart()
{
    {
        ScopedLock lock(m_lock);
        m_index = -1;
        m_started = 0;
    }
    JoinTasks();
}

void IBGVPlay::FadeOut()
{
    LeaveTasks();
    ScopedLock lock(m_lock);
    if (IWaveManager* channel = GetManager())
        channel->Fade(BGV_FADE_OUT_TIME, BGV_START_VOLUME, 1);
    m_started = 0;
    m_files.clear();
}

void IBGVPlay::Execute()
{
    ScopedLock lock(m_lock);
    IWaveManager* channel = GetManager();
    if (m_files.size() > 1) {
        if (channel != nullptr && channel->IsPlaying())
            return;
        m_started = 0;
    } else if (m_started) {
        return;
    }
    const CStringUTF8 file = NextFileLocked();
    if (!file.IsEmpty() && channel != nullptr) {
        channel->SetVolume(BGV_START_VOLUME);
        channel->PlayNamed(file);
        channel->Fade(BGV_FADE_IN_TIME, GetVoiceAttenuation(file), 0);
    }
    m_started = 1;
}

CStringUTF8 IBGVPlay::NextFile()
{
    ScopedLock lock(m_lock);
    return NextFileLocked();
}

CStringUTF8 IBGVPlay::NextFileLocked()
{
    const int32_t count = static_cast<int32_t>(m_files.size());
    if (count == 0)
        return {};
    if (count == 1)
        return GetEnabledVoiceName(m_files.front());
    for (int32_t i = m_index + 1; i < count; ++i) {
        CStringUTF8 name = GetEnabledVoiceName(m_files[static_cast<size_t>(i)]);
        if (!name.IsEmpty()) {
            m_index = i;
            return name;
        }
    }
    return {};
}

int32_t IBGVPlay::GetIndex()
{
    ScopedLock lock(m_lock);
    return m_index;
}

int32_t IBGVPlay::IsStarted()
{
    ScopedLock lock(m_lock);
    return m_started;
}

std::vector<CStringUTF8> IBGVPlay::GetFiles()
{
    ScopedLock lock(m_lock);
    return m_files;
}
