#pragma once
// The ring of backlog records that the script context holds: one record per message read while
// recording is on, each with the code that drew the message (replayed to draw it again), its
// texts and a snapshot of the game state to jump back to. The scripts size the ring; once full,
// the oldest record is recycled. Main thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "script/FlagBuffer.h"
#include "script/ScriptValueTable.h"

inline constexpr uint32_t ENGINE_STATE_RECORDING = 0x80;
inline constexpr uint32_t ENGINE_STATE_ENTRY_OPEN = 0x100;
inline constexpr uint32_t ENGINE_STATE_RECORD_CODE = 0x200;
inline constexpr uint32_t ENGINE_STATE_SNAPSHOT = 0x1000;

// The most entries a backlog holds (each is a flag buffer and more, some kilobytes).
inline constexpr size_t MAX_BACKLOG_ENTRIES = 4096;

struct LogBuffer
{
    std::vector<uint8_t> Code; // recorded code, always ending in one zero byte while it grows
    CStringUTF8 BodyText;
    CStringUTF8 HeadText;
    CStringUTF8 VoiceFile;
    uint8_t HasVoice = 0;
    CStringUTF8 TextTable;
    int32_t HeadTextId = -1;
    int32_t MessageId = -1;
    ScriptValueTable JumpState;
    FlagBuffer StateSnapshot;
};

class BacklogStore
{
public:
    // Appends count new, empty records (none for count <= 0); throws CExecException when one
    // cannot be made, keeping those made before.
    void Allocate(int32_t count);
    // Forgets every record's content; the records themselves stay.
    void Reset();
    // The records that hold a message: those whose code is not empty.
    int32_t CountEntries() const;
    // Opens the record for a new message and snapshots the game state into it; false when the
    // ring has no records at all.
    bool NextEntry();
    // The record at the current index, or null before the first one is opened.
    LogBuffer* GetCurrentEntry();

    // Recorded code keeps one trailing zero, so that it always ends with the END instruction.
    void AppendCode(uint8_t byte);
    void AppendText(const CStringUTF8& text);

    // A handle that names the record at an index (below CountEntries) and fits a 32-bit script
    // value: a record's address would not. 0 names nothing.
    static int32_t MakeHandle(int32_t index);
    // The recorded code a handle names, or null when it names no record with code.
    const std::vector<uint8_t>* FindCode(int32_t handle) const;

    std::vector<std::unique_ptr<LogBuffer>> Entries; // index 0 is the oldest
    int32_t CurrentIndex = -1;
};

// The number of records with a message in the script context's store; 0 without a context.
int32_t CountBacklogEntries();
