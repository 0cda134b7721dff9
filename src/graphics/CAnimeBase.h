#pragma once
// Plays small byte-code programs in 10 groups of 32 slots, each slot running its own code from
// one loaded program file; the commands it meets are carried out by the subclass. The script
// arms, starts, pauses and stops slots on the main thread; the app-task thread ticks them every
// task period. One lock guards the slot table and the program; it is never held while a command
// draws, so the two threads cannot deadlock over the draw lock.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "foundation/CCriticalSection.h"
#include "foundation/CStringUTF8.h"
#include "foundation/IAppTask.h"

inline constexpr int32_t ANIME_GROUP_COUNT = 10;
inline constexpr int32_t ANIME_SLOTS_PER_GROUP = 32;
inline constexpr int32_t ANIME_SLOT_COUNT = ANIME_GROUP_COUNT * ANIME_SLOTS_PER_GROUP;
// The command table starts after the offset table.
inline constexpr uint32_t ANIME_COMMAND_TABLE_OFFSET = 1280;
inline constexpr uint32_t ANIME_COMMAND_RECORD_BYTES = 28;

// Slot states.
inline constexpr uint32_t ANIME_RUNNING = 0;
inline constexpr uint32_t ANIME_PAUSING = 1;
inline constexpr uint32_t ANIME_FINISHING = 3;
inline constexpr uint32_t ANIME_FINISHED = 4;
inline constexpr uint32_t ANIME_STOPPED = 255;

// Engine state bit that lets the task tick the slots.
inline constexpr uint32_t ENGINE_ANIME_TICKS = 0x10;

struct AnimeSlot
{
    uint32_t state = ANIME_STOPPED;
    bool armed = false; // has a program: the byte code starts at `start` in the program data
    uint32_t start = 0;
    uint32_t pc = 0; // relative to start
    uint32_t wait = 0;
    uint32_t hold = 0;
    uint32_t loop_a_start = 0;
    uint32_t loop_a_counter = 0;
    uint32_t loop_a_count = 0;
    uint32_t loop_b_start = 0;
    uint32_t loop_b_counter = 0;
    uint32_t loop_b_count = 0;
};

struct AnimeCommandRecord
{
    uint32_t kind = 0;
    uint32_t source_x = 0;
    uint32_t source_y = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t dest_x = 0;
    uint32_t dest_y = 0;
};

// One decoded opcode: 1, 2, 5, 7 and 9..254 carry a little-endian u32 operand.
struct AnimeInstruction
{
    uint8_t opcode = 0;
    uint32_t operand = 0;
    uint32_t length = 1;
};

// Decodes the opcode at pc of code of the given size; nothing when pc or its operand lies outside.
std::optional<AnimeInstruction> DecodeAnimeInstruction(const uint8_t* code, size_t size, uint32_t pc);

class CAnimeBase : public IAppTask
{
public:
    explicit CAnimeBase(uint32_t period = 15);
    // Leaves the application task list, then frees an owned program.
    ~CAnimeBase() override;

    // Ticks every slot not stopped or finished, while a program is loaded and the engine state
    // allows it.
    void Execute() override;
    // Without a slot to tick the task rests until a slot is started, paused or set finishing;
    // that change wakes the runner, and the first tick after the rest comes a period later, as
    // every slot a script starts in the same frame sees it.
    uint32_t GetQuietTime(uint32_t now) override;

    // Uses a caller's block (not owned) of size bytes; slots armed on the old one are disarmed.
    virtual void SetProgramData(const uint8_t* data, size_t size);
    // Reads the named entry of the data archive; its errors pass on as the archive raises them.
    virtual void LoadProgram(const CStringUTF8& name);
    virtual void UnloadProgram();
    // Points a slot at its code and stops it; a slot whose code lies outside the program stays
    // unarmed.
    virtual void ArmSlot(int32_t group, int32_t slot);
    virtual void StartSlot(int32_t group, int32_t slot);
    virtual void PauseSlot(int32_t group, int32_t slot);
    virtual void StopSlot(int32_t group, int32_t slot);
    virtual void StopGroup(int32_t group);
    virtual void PauseAll();
    virtual void StopAll();
    // Moves a slot from one state to another; false when it was in another state or is no slot.
    bool ChangeSlotState(int32_t group, int32_t slot, uint32_t from, uint32_t to);
    // Moves every slot in the one state to the other.
    void ChangeAllSlotStates(uint32_t from, uint32_t to);
    // One tick: a frame of wait or hold, or one opcode.
    virtual void TickSlot(int32_t group, int32_t slot);

    AnimeSlot GetSlot(int32_t group, int32_t slot);
    // Whether (group, slot) names one of the 10 x 32 slots.
    static bool IsSlot(int32_t group, int32_t slot);
    bool HasProgram();
    // Whether the loaded program has code for the slot.
    bool HasSlotProgram(int32_t group, int32_t slot);
    CStringUTF8 GetProgramName();

protected:
    // Carries out a command met by a tick, outside the slot lock.
    virtual void RunCommand(int32_t group, int32_t slot, const AnimeCommandRecord& command);

    AnimeSlot& SlotAt(int32_t group, int32_t slot);
    // The command record at index, when the table entry lies inside the program.
    std::optional<AnimeCommandRecord> ReadCommand(uint32_t index);
    // The slot's code from its start to the end of the program.
    bool SlotCode(const AnimeSlot& slot, const uint8_t*& code, size_t& size);
    std::optional<AnimeCommandRecord> TickLocked(AnimeSlot& slot);
    // Whether a slot is in a state the task ticks (under m_lock).
    bool AnyTickableLocked() const;
    // After a change that may have made a slot tickable (under m_lock): ends the runner's rest.
    void ResumeLocked();

    CCriticalSection m_lock{LOCK_LEVEL_ANIME_SLOTS}; // guards the slots and the program.
    CStringUTF8 m_program_name;
    std::vector<uint8_t> m_owned_program;
    const uint8_t* m_program = nullptr;
    size_t m_program_size = 0;
    std::array<AnimeSlot, ANIME_SLOT_COUNT> m_slots{};
    bool m_resting = false; // the runner was told there is nothing to tick (under m_lock)
    bool m_resumed = false; // a slot became tickable after a rest: the next run only restarts the period
};
