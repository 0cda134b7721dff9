#pragma once
// The voice-timed face animation task: a table of moments after the voice began, each starting an
// animation slot. The exec command loads a table into it and clears it on the script thread; the
// step reads it on the app-task thread, so both go through the object's lock. Emptying the table
// waits for a step in progress, so no face starts from a table already stopped.

#include <atomic>
#include <cstdint>
#include <vector>

#include "foundation/CCriticalSection.h"
#include "foundation/CStringUTF8.h"
#include "foundation/IAppTask.h"
#include "foundation/LockOrder.h"

inline constexpr size_t FACE_VOICE_HEADER_BYTES = 4;
inline constexpr size_t FACE_VOICE_RECORD_BYTES = 16;

struct FaceVoiceRecord
{
    uint32_t Time = 0;  // milliseconds after the base time
    int32_t Group = -1; // -1: no animation
    int32_t Slot = 0;
};

class CFaceVoice : public IAppTask
{
public:
    struct Item
    {
        size_t Offset = 0; // of its record in the table
        int32_t Flag = 0;
    };

    CFaceVoice()
        : IAppTask(15)
    {}
    // Leaves the runner and waits for a step in progress.
    ~CFaceVoice() override;
    // Every 15 ms: starts the face of each record whose moment has come (again on every run).
    void Execute() override;
    // Starts the item's face now and records it in the game state and the saved values.
    void ApplyFaceItem(size_t index);
    // Applies every item at once (a click that ends the line).
    void ApplyAllItems();

    // Reads the named entry of the data archive into the table; false, with the table
    // unchanged, when it cannot be read.
    bool LoadTable(const CStringUTF8& name);
    // Items for the records that lie wholly in the table (the count may claim more), the first one
    // flagged, active when there is any; earlier items are dropped first. Answers the item count.
    size_t StartItems();
    // Empties the table and the items after any step in progress; inactive.
    void Clear();

    // Copies for the callers' checks.
    std::vector<Item> GetItems();
    FaceVoiceRecord GetRecord(size_t index);
    size_t GetTableSize();
    int32_t IsActive();
    std::atomic<uint32_t> m_base_time{0}; // the voice start (StartTime)

private:
    // The face's animation slot, when it has a program.
    static bool StartFace(const FaceVoiceRecord& record);
    std::vector<FaceVoiceRecord> Records();

    CCriticalSection m_run_lock{LOCK_LEVEL_FACE_VOICE_RUN}; // held for one step
    CCriticalSection m_lock{LOCK_LEVEL_FACE_VOICE_TABLE};    // guards the table, the items and the active flag
    std::vector<uint8_t> m_table;
    std::vector<Item> m_items;
    int32_t m_active = 0;
};
