#pragma once
// A background-voice player: a periodic task that plays its list of voice files one after another
// on a voice channel of its own, each faded in to its character's voice volume and skipped when
// that character's voice is off. The script thread fills, starts and stops it; the app-task thread
// runs the step. The list and the flags are shared between the two under the player's lock, which
// is taken after the task list's lock and before the channel's, and never held while the player
// joins or leaves the task list.

#include <cstdint>
#include <vector>

#include "foundation/CCriticalSection.h"
#include "foundation/CStringUTF8.h"
#include "foundation/IAppTask.h"

class IWaveManager;

inline constexpr int32_t BGV_START_VOLUME = -5000;
inline constexpr uint32_t BGV_FADE_IN_TIME = 70;
inline constexpr uint32_t BGV_FADE_OUT_TIME = 60;

class IBGVPlay : public IAppTask
{
public:
    // Plays on the voice channel of that number.
    explicit IBGVPlay(int32_t channel);
    // Leaves the task list first, so that no step runs on a freed player.
    ~IBGVPlay() override;
    IBGVPlay(const IBGVPlay&) = delete;
    IBGVPlay& operator=(const IBGVPlay&) = delete;

    // Appends the file (the list is kept), starts the list again from its first file once the
    // channel is silent, and joins the task list.
    void Start(const CStringUTF8& name);
    void AddFile(const CStringUTF8& name);
    // Stops the channel at once, leaves the task list and empties the list.
    void Stop();
    // From the first file again, joining the task list.
    void Restart();
    // Fades the channel out and stops it, leaves the task list and empties the list.
    void FadeOut();

    void Execute() override;
    // The next file to play, or empty: a single file when its voice is on; in a longer list the
    // first file after the last one played whose voice is on.
    CStringUTF8 NextFile();

    int32_t GetChannel() const { return m_channel; }
    int32_t GetIndex();
    int32_t IsStarted();
    std::vector<CStringUTF8> GetFiles();

private:
    // The voice channel, or null while the voice group lacks it.
    IWaveManager* GetManager() const;
    CStringUTF8 NextFileLocked();
    void LeaveTasks();
    void JoinTasks();

    CCriticalSection m_lock{LOCK_LEVEL_BACKGROUND_VOICE}; // guards m_index, m_started and m_files
    const int32_t m_channel;
    int32_t m_index = -1;
    int32_t m_started = 0;
    std::vector<CStringUTF8> m_files;
};
