#pragma once
// A sound channel that records what it is asked to do instead of playing; its pending name and
// pause state behave as a real channel's. Tests put it into the document's sound channel list;
// calls may come from the app-task thread.

#include <mutex>
#include <string>
#include <vector>

#include "sound/IWaveManager.h"

class FakeWaveManager final : public IWaveManager
{
public:
    void SetVolume(int32_t volume) override { Record("volume " + std::to_string(volume)); }
    void PlayNamed(CStringUTF8 name) override { Record(std::string("play ") + name.GetText()); }
    void PlayFile(CStringUTF8 name) override { Record(std::string("file ") + name.GetText()); }
    void Play() override { Record("replay"); }
    void PrepareFile(CStringUTF8 name) override { Record(std::string("prepare ") + name.GetText()); }
    bool Stop(bool forget) override
    {
        Record(forget ? "stop forget" : "stop");
        m_playing = false;
        return IWaveManager::Stop(forget);
    }
    void Fade(DWORD time, LONG target, BYTE stop_at_end) override
    {
        Record("fade " + std::to_string(time) + " " + std::to_string(target) + " " +
               std::to_string(stop_at_end));
        IWaveManager::Fade(time, target, stop_at_end);
    }
    bool IsPlaying() override { return m_playing; }
    void SetPlaying(bool playing) { m_playing = playing; }

    std::vector<std::string> Calls()
    {
        std::lock_guard lock(m_calls_lock);
        return m_calls;
    }
    void ClearCalls()
    {
        std::lock_guard lock(m_calls_lock);
        m_calls.clear();
    }

private:
    void Record(std::string call)
    {
        std::lock_guard lock(m_calls_lock);
        m_calls.push_back(std::move(call));
    }

    std::mutex m_calls_lock; // guards m_calls
    std::vector<std::string> m_calls;
    bool m_playing = false;
};
