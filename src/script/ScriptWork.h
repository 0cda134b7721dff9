#pragma once
// The part of the game work that the script commands and the game rules reach: the status word
// whose snapshot bits the auto save raises, the standing characters, the movie volume record, the
// background-voice players, the system language table and the exec group's language messages.
// The shell's game work derives from it and fills it; it installs its finder, so that the first
// look-up makes the game work as the shell's own first call does. Without a shell there is none.
// Main thread only.

#include <cstdint>
#include <memory>
#include <vector>

class CLangTextFile;
class CLangTextTable;
class IBGVPlay;
class StandingCharacterSet;
struct MovieVolumeRecord;

// Bits of the status word.
inline constexpr uint32_t STATUS_SNAPSHOT_WANTED = 0x1;
inline constexpr uint32_t STATUS_SNAPSHOT_TAKEN = 0x2;

class ScriptWork
{
public:
    ScriptWork();
    virtual ~ScriptWork();
    ScriptWork(const ScriptWork&) = delete;
    ScriptWork& operator=(const ScriptWork&) = delete;

    uint32_t GetStatus() const { return m_status ? *m_status : 0; }
    void SetStatusBits(uint32_t bits);
    void ClearStatusBits(uint32_t bits);
    void ClearSnapshotTaken() { ClearStatusBits(STATUS_SNAPSHOT_TAKEN); }

    // Owned; made and freed by the game work in its fixed order.
    std::unique_ptr<uint32_t> m_status;
    std::unique_ptr<StandingCharacterSet> m_characters;
    std::unique_ptr<MovieVolumeRecord> m_movie_volume;
    std::unique_ptr<std::vector<std::unique_ptr<IBGVPlay>>> m_bgv_players;
    std::unique_ptr<CLangTextTable> m_system_language;
    std::unique_ptr<CLangTextFile> m_text_file; // the exec group's language messages, made on first use
};

// Answers the game work, made on first call; an empty finder removes it.
using ScriptWorkFinder = ScriptWork* (*)();
void SetScriptWorkFinder(ScriptWorkFinder find);
// Null when no finder is installed.
ScriptWork* GetScriptWork();
