#pragma once
// A sound channel that records what it is asked to do instead of playing. Tests put it into the
// document's sound channel list; calls may come from the app-task thread.

#include <mutex>
#include <string>
#include <vector>

#include "sound/IWaveManager.h"

class FakeWaveManager final : public IWaveManager
{
public:
    void SetVolume(int32_t volume) override
    {
        std::lock_guard lock(m_lock);
        m_calls.push_back("volume " + std::to_string(volume));
    }
    void PlayNamed(CStringUTF8 name) override
    {
        std::lock_guard lock(m_lock);
        m_calls.push_back(std::string("play ") + name.GetText());
    }
    std::vector<std::string> Calls()
    {
        std::lock_guard lock(m_lock);
        return m_calls;
    }

private:
    std::mutex m_lock; // guards m_calls
    std::vector<std::string> m_calls;
};
