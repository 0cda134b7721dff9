#include "graphics/CAnimeBase.h"

#include "foundation/DocumentLink.h"
#include "foundation/ScopedLock.h"
#include "graphics/CAppTask.h"
#include "graphics/DataArchiveRead.h"
#include "platform/kernel/IdleWait.h"
#include "platform/kernel/WinTypes.h"

#include <algorithm>

namespace {

uint32_t ReadWord(const uint8_t* p)
{
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

bool HasOperand(uint8_t opcode)
{
    return opcode == 1 || opcode == 2 || opcode == 5 || opcode == 7 || (opcode >= 9 && opcode <= 254);
}

// Loop ends: an endless loop (count 0) or one with turns left jumps back to its start.
bool LoopAgain(uint32_t& counter, uint32_t count)
{
    if (count == 0)
        return true;
    if (counter > 0)
        --counter;
    return counter != 0;
}

} // namespace

std::optional<AnimeInstruction> DecodeAnimeInstruction(const uint8_t* code, size_t size, uint32_t pc)
{
    if (code == nullptr || pc >= size)
        return std::nullopt;
    AnimeInstruction instruction;
    instruction.opcode = code[pc];
    if (HasOperand(instruction.opcode)) {
        if (size - pc < 5)
            return std::nullopt;
        instruction.operand = ReadWord(code + pc + 1);
        instruction.length = 5;
    }
    return instruction;
}

CAnimeBase::CAnimeBase(uint32_t period)
    : IAppTask(period)
{}

CAnimeBase::~CAnimeBase()
{
    if (CAppTask* tasks = GetAppTask())
        tasks->RemoveTask(this);
}

bool CAnimeBase::IsSlot(int32_t group, int32_t slot)
{
    return group >= 0 && group < ANIME_GROUP_COUNT && slot >= 0 && slot < ANIME_SLOTS_PER_GROUP;
}

AnimeSlot& CAnimeBase::SlotAt(int32_t group, int32_t slot)
{
    return m_slots[static_cast<size_t>(group * ANIME_SLOTS_PER_GROUP + slot)];
}

AnimeSlot CAnimeBase::GetSlot(int32_t group, int32_t slot)
{
    ScopedLock lock(m_lock);
    return IsSlot(group, slot) ? SlotAt(group, slot) : AnimeSlot{};
}

bool CAnimeBase::HasProgram()
{
    ScopedLock lock(m_lock);
    return m_program != nullptr;
}

CStringUTF8 CAnimeBase::GetProgramName()
{
    ScopedLock lock(m_lock);
    return m_program_name;
}

void CAnimeBase::Execute()
{
    {
        ScopedLock lock(m_lock);
        if (m_resumed) {
            m_resumed = false;
            return;
        }
    }
    if (!HasProgram())
        return;
    DocumentLink* document = GetDocumentLink();
    if (document == nullptr || (document->GetEngineStateWord() & ENGINE_ANIME_TICKS) == 0)
        return;
    bool ended = false;
    for (int32_t group = 0; group < ANIME_GROUP_COUNT; ++group) {
        for (int32_t slot = 0; slot < ANIME_SLOTS_PER_GROUP; ++slot) {
            const uint32_t state = GetSlot(group, slot).state;
            if (state != ANIME_STOPPED && state != ANIME_FINISHED) {
                TickSlot(group, slot);
                const uint32_t after = GetSlot(group, slot).state;
                ended = ended || after == ANIME_STOPPED || after == ANIME_FINISHED;
            }
        }
    }
    // The main thread's waits for a slot poll its state, and rest until something wakes them.
    if (ended)
        platform::WakeIdleOwner();
}

bool CAnimeBase::AnyTickableLocked() const
{
    if (m_program == nullptr)
        return false;
    return std::any_of(m_slots.begin(), m_slots.end(), [](const AnimeSlot& slot) {
        return slot.state != ANIME_STOPPED && slot.state != ANIME_FINISHED;
    });
}

uint32_t CAnimeBase::GetQuietTime(uint32_t)
{
    ScopedLock lock(m_lock);
    m_resting = !AnyTickableLocked();
    return m_resting ? INFINITE : 0;
}

void CAnimeBase::ResumeLocked()
{
    if (!m_resting || !AnyTickableLocked())
        return;
    m_resting = false;
    m_resumed = true;
    if (CAppTask* tasks = GetAppTask())
        tasks->Wake();
}

void CAnimeBase::SetProgramData(const uint8_t* data, size_t size)
{
    ScopedLock lock(m_lock);
    UnloadProgram();
    m_program = size > 0 ? data : nullptr;
    m_program_size = m_program != nullptr ? size : 0;
}

void CAnimeBase::LoadProgram(const CStringUTF8& name)
{
    ScopedLock lock(m_lock);
    m_program_name = CStringUTF8();
    UnloadProgram();
    std::vector<uint8_t> bytes = ReadDataArchiveEntry(name.CStr());
    if (bytes.empty())
        return;
    m_owned_program = std::move(bytes);
    m_program = m_owned_program.data();
    m_program_size = m_owned_program.size();
    m_program_name = name;
}

void CAnimeBase::UnloadProgram()
{
    ScopedLock lock(m_lock);
    m_owned_program.clear();
    m_owned_program.shrink_to_fit();
    m_program = nullptr;
    m_program_size = 0;
    // Armed slots pointed into the old program; they stop rather than run on freed bytes.
    for (AnimeSlot& slot : m_slots) {
        slot.armed = false;
        slot.state = ANIME_STOPPED;
    }
}

void CAnimeBase::ArmSlot(int32_t group, int32_t slot)
{
    ScopedLock lock(m_lock);
    if (m_program == nullptr || !IsSlot(group, slot) || m_program_size < ANIME_COMMAND_TABLE_OFFSET)
        return;
    AnimeSlot& target = SlotAt(group, slot);
    target = AnimeSlot{};
    const uint32_t offset =
        ReadWord(m_program + static_cast<size_t>(group * ANIME_SLOTS_PER_GROUP + slot) * 4);
    // Code lives after the offset table; an offset outside the program arms nothing.
    if (offset < ANIME_COMMAND_TABLE_OFFSET || offset >= m_program_size)
        return;
    target.armed = true;
    target.start = offset;
}

bool CAnimeBase::HasSlotProgram(int32_t group, int32_t slot)
{
    ScopedLock lock(m_lock);
    if (m_program == nullptr || !IsSlot(group, slot) || m_program_size < ANIME_COMMAND_TABLE_OFFSET)
        return false;
    const uint32_t offset =
        ReadWord(m_program + static_cast<size_t>(group * ANIME_SLOTS_PER_GROUP + slot) * 4);
    return offset >= ANIME_COMMAND_TABLE_OFFSET && offset < m_program_size;
}

void CAnimeBase::StartSlot(int32_t group, int32_t slot)
{
    ScopedLock lock(m_lock);
    if (m_program != nullptr && IsSlot(group, slot) && SlotAt(group, slot).armed)
        SlotAt(group, slot).state = ANIME_RUNNING;
    ResumeLocked();
}

void CAnimeBase::PauseSlot(int32_t group, int32_t slot)
{
    ScopedLock lock(m_lock);
    if (IsSlot(group, slot))
        SlotAt(group, slot).state = ANIME_PAUSING;
    ResumeLocked();
}

void CAnimeBase::StopSlot(int32_t group, int32_t slot)
{
    ScopedLock lock(m_lock);
    if (IsSlot(group, slot))
        SlotAt(group, slot).state = ANIME_STOPPED;
}

bool CAnimeBase::ChangeSlotState(int32_t group, int32_t slot, uint32_t from, uint32_t to)
{
    ScopedLock lock(m_lock);
    if (!IsSlot(group, slot) || SlotAt(group, slot).state != from)
        return false;
    SlotAt(group, slot).state = to;
    ResumeLocked();
    return true;
}

void CAnimeBase::ChangeAllSlotStates(uint32_t from, uint32_t to)
{
    ScopedLock lock(m_lock);
    for (AnimeSlot& slot : m_slots) {
        if (slot.state == from)
            slot.state = to;
    }
    ResumeLocked();
}

void CAnimeBase::StopGroup(int32_t group)
{
    for (int32_t slot = 0; slot < ANIME_SLOTS_PER_GROUP; ++slot)
        StopSlot(group, slot);
}

void CAnimeBase::PauseAll()
{
    ScopedLock lock(m_lock);
    for (AnimeSlot& slot : m_slots) {
        if (slot.state != ANIME_STOPPED)
            slot.state = ANIME_PAUSING;
    }
    ResumeLocked();
}

void CAnimeBase::StopAll()
{
    ScopedLock lock(m_lock);
    for (AnimeSlot& slot : m_slots)
        slot.state = ANIME_STOPPED;
}

bool CAnimeBase::SlotCode(const AnimeSlot& slot, const uint8_t*& code, size_t& size)
{
    if (m_program == nullptr || !slot.armed || slot.start >= m_program_size)
        return false;
    code = m_program + slot.start;
    size = m_program_size - slot.start;
    return true;
}

std::optional<AnimeCommandRecord> CAnimeBase::ReadCommand(uint32_t index)
{
    const uint64_t at = ANIME_COMMAND_TABLE_OFFSET + uint64_t{index} * ANIME_COMMAND_RECORD_BYTES;
    if (m_program == nullptr || at + ANIME_COMMAND_RECORD_BYTES > m_program_size)
        return std::nullopt;
    const uint8_t* p = m_program + at;
    return AnimeCommandRecord{ReadWord(p),      ReadWord(p + 4),  ReadWord(p + 8), ReadWord(p + 12),
                              ReadWord(p + 16), ReadWord(p + 20), ReadWord(p + 24)};
}

void CAnimeBase::TickSlot(int32_t group, int32_t slot)
{
    std::optional<AnimeCommandRecord> command;
    {
        ScopedLock lock(m_lock);
        if (!IsSlot(group, slot))
            return;
        command = TickLocked(SlotAt(group, slot));
    }
    if (command)
        RunCommand(group, slot, *command);
}

std::optional<AnimeCommandRecord> CAnimeBase::TickLocked(AnimeSlot& slot)
{
    const uint8_t* code = nullptr;
    size_t size = 0;
    if (!SlotCode(slot, code, size))
        return std::nullopt;
    if (slot.wait > 0) {
        --slot.wait;
        return std::nullopt;
    }
    auto hold_transition = [&slot]() {
        if (slot.state == ANIME_PAUSING)
            slot.state = ANIME_STOPPED;
        else if (slot.state == ANIME_FINISHING)
            slot.state = ANIME_FINISHED;
    };
    if (slot.hold > 0) {
        hold_transition();
        --slot.hold;
        return std::nullopt;
    }
    const std::optional<AnimeInstruction> instruction = DecodeAnimeInstruction(code, size, slot.pc);
    if (!instruction) {
        // The code ran off the end of the program.
        slot.state = ANIME_STOPPED;
        return std::nullopt;
    }
    slot.pc += instruction->length;
    switch (instruction->opcode) {
    case 0:
        break;
    case 1:
        slot.hold = instruction->operand;
        hold_transition();
        break;
    case 2:
        slot.wait = instruction->operand;
        break;
    case 3:
        slot.pc = 0;
        break;
    case 4:
    case 255:
        slot.state = ANIME_STOPPED;
        break;
    case 5:
        slot.loop_a_start = slot.pc;
        slot.loop_a_counter = slot.loop_a_count = instruction->operand;
        break;
    case 6:
        if (LoopAgain(slot.loop_a_counter, slot.loop_a_count))
            slot.pc = slot.loop_a_start;
        break;
    case 7:
        slot.loop_b_start = slot.pc;
        slot.loop_b_counter = slot.loop_b_count = instruction->operand;
        break;
    case 8:
        if (LoopAgain(slot.loop_b_counter, slot.loop_b_count))
            slot.pc = slot.loop_b_start;
        break;
    default: {
        std::optional<AnimeCommandRecord> command = ReadCommand(instruction->operand);
        if (!command)
            slot.state = ANIME_STOPPED; // an index past the command table
        return command;
    }
    }
    return std::nullopt;
}

void CAnimeBase::RunCommand(int32_t, int32_t, const AnimeCommandRecord&) {}
