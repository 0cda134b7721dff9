#include "script/save/SlotFileMoves.h"

#include <algorithm>
#include <utility>

#include "foundation/ByteCursor.h"
#include "foundation/CFile.h"
#include "foundation/PlayerMessage.h"
#include "platform/kernel/FileApi.h"
#include "script/save/SaveStore.h"
#include "script/save/SlotMoveJournal.h"

namespace {

std::function<void()>& StepHook()
{
    static std::function<void()> hook;
    return hook;
}

CStringUTF8 SetAsideName(const CStringUTF8& name)
{
    return name + CStringUTF8(".drop");
}

} // namespace

std::array<CStringUTF8, SLOT_FILE_KINDS> MakeSlotFileNames(uint32_t slot)
{
    return {SaveStore::FlagFileName(slot), SaveStore::SaveDataFileName(slot),
            SaveStore::ThumbnailFileName(slot), SaveStore::SelectionFileName(slot)};
}

bool RenameSaveFile(const CStringUTF8& old_name, const CStringUTF8& new_name)
{
    if (MoveFileExW(old_name.ToWide().c_str(), new_name.ToWide().c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    CStringUTF8 text;
    ShowPlayerMessage(0, text.Format("%s\nold:%s\nnew:%s", "Failed to rename the file.", old_name.GetText(),
                                     new_name.GetText()));
    return false;
}

// The number of a slot's file (or the system file, 0) named as the store names them, either
// scenario's.
std::optional<uint32_t> SlotNumberOfFileName(std::string_view name)
{
    const auto digits = [](std::string_view text) -> std::optional<uint32_t> {
        if (text.size() != 3 || !std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        return static_cast<uint32_t>((text[0] - '0') * 100 + (text[1] - '0') * 10 + (text[2] - '0'));
    };
    if (name.starts_with("sel"))
        return digits(name.substr(3));
    if (name.starts_with("SP_"))
        name.remove_prefix(3);
    for (const auto& [head, tail] :
         {std::pair<std::string_view, std::string_view>{"FLAG", ""}, {"SaveData", ".dat"}, {"thm", ""}}) {
        if (name.size() == head.size() + 3 + tail.size() && name.starts_with(head) && name.ends_with(tail))
            return digits(name.substr(head.size(), 3));
    }
    return std::nullopt;
}

bool SaveFileExists(const CStringUTF8& name)
{
    return PathFileExistsW(name.ToWide().c_str()) != FALSE;
}

bool SlotFileMoves::Exists(const CStringUTF8& name)
{
    auto found = m_present.find(name);
    if (found == m_present.end())
        found = m_present.emplace(name, SaveFileExists(name)).first;
    return found->second;
}

void SlotFileMoves::Plan(const CStringUTF8& from, const CStringUTF8& to)
{
    m_plan.emplace_back(from, to);
    m_present[from] = false;
    m_present[to] = true;
}

bool SlotFileMoves::SetAside(const CStringUTF8& name)
{
    if (!Exists(name))
        return false;
    Plan(name, SetAsideName(name));
    return true;
}

void SlotFileMoves::MoveSlotFiles(uint32_t from, uint32_t to)
{
    const auto sources = MakeSlotFileNames(from);
    const auto targets = MakeSlotFileNames(to);
    for (size_t kind = 0; kind < SLOT_FILE_KINDS; ++kind) {
        // A file of the kind found spares the search for one.
        if (to != m_emptied && SetAside(targets[kind]))
            m_kind_present[kind] = 1;
        if (KindPresent(kind) && Exists(sources[kind]))
            Plan(sources[kind], targets[kind]);
    }
    m_emptied = from;
}

void SlotFileMoves::SetAsideSlot(uint32_t slot)
{
    const auto names = MakeSlotFileNames(slot);
    for (size_t kind = 0; kind < SLOT_FILE_KINDS; ++kind)
        if (SetAside(names[kind]))
            m_kind_present[kind] = 1;
    m_emptied = slot;
}

bool SlotFileMoves::Run(const CStringUTF8& system_file, std::span<const uint8_t> new_system_file,
                        const std::vector<CStringUTF8>& new_files)
{
    if (m_plan.empty() && new_files.empty())
        return true;
    SlotMoveJournal& journal = m_record;
    journal = SlotMoveJournal();
    journal.SystemHash = HashSaveBytes(new_system_file);
    // The system file this one replaces: found again after a stop, it says the operation was not
    // done. One that cannot be read now says nothing then.
    {
        CFile file;
        std::vector<uint8_t> previous;
        if (file.OpenRead(system_file) && ReadRestOfFile(file.GetHandle(), previous)) {
            journal.HasPrevious = true;
            journal.PreviousHash = HashSaveBytes(previous);
        }
    }
    journal.SystemFile = SaveFolderRelativeName(system_file);
    for (const CStringUTF8& name : new_files)
        journal.NewFiles.push_back(SaveFolderRelativeName(name));
    for (const auto& [from, to] : m_plan)
        journal.Renames.emplace_back(SaveFolderRelativeName(from), SaveFolderRelativeName(to));
    // Even a save that moves nothing is journalled: a stop before its table is written must not
    // leave its files for a rebuilt table to list.
    if (!WriteSlotMoveJournal(journal, m_plan.empty())) {
        (void)RemoveSlotMoveJournal(false); // written but not flushed: nothing has moved under it
        return false;
    }
    m_journal = true;
    if (m_plan.empty()) {
        m_moved = true;
        return true;
    }
    for (; m_done < m_plan.size(); ++m_done) {
        if (!RenameSaveFile(m_plan[m_done].first, m_plan[m_done].second))
            return false;
        RunSaveStepHook();
    }
    // A mark whose flush failed is undone all the same: Undo takes it back first.
    return MarkSlotMovesMade(m_moved);
}

bool SlotFileMoves::ForgetNewFile(const CStringUTF8& name)
{
    std::erase(m_record.NewFiles, SaveFolderRelativeName(name));
    return !m_journal || WriteSlotMoveJournal(m_record, m_moved);
}

bool SlotFileMoves::KindPresent(size_t kind)
{
    if (m_kind_present[kind] < 0) {
        // One search for "sel*" and the like spares a look at every slot's missing file.
        CStringUTF8 pattern = MakeSlotFileNames(0)[kind];
        const int digits = pattern.ReverseFind("000");
        if (digits < 0) {
            m_kind_present[kind] = 1;
        } else {
            pattern.Replace(digits, 3, "*");
            WIN32_FIND_DATAW found{};
            HANDLE search = FindFirstFileW(pattern.ToWide().c_str(), &found);
            m_kind_present[kind] = search != INVALID_HANDLE_VALUE ? 1 : 0;
            if (search != INVALID_HANDLE_VALUE)
                FindClose(search);
        }
    }
    return m_kind_present[kind] != 0;
}

void SlotFileMoves::Undo()
{
    // A rename back that fails too has been reported; the others still go back, and the journal
    // stays for the next start to try again.
    if (m_moved && !m_plan.empty() && !UnmarkSlotMovesMade())
        return; // the next start removes the new files first, then undoes
    bool back = true;
    for (; m_done > 0; --m_done)
        back = RenameSaveFile(m_plan[m_done - 1].second, m_plan[m_done - 1].first) && back;
    if (m_journal && back)
        (void)RemoveSlotMoveJournal(true); // kept when it fails: the next start finds nothing to undo
    m_plan.clear();
    m_journal = m_moved = false;
}

void SlotFileMoves::Finish()
{
    // A set-aside file that cannot be deleted is only clutter; the next move replaces it.
    for (const auto& [from, to] : m_plan) {
        if (to == SetAsideName(from))
            DeleteFileW(to.ToWide().c_str());
    }
    if (m_journal)
        (void)RemoveSlotMoveJournal(false); // flushes nothing, so cannot fail
    m_plan.clear();
    m_done = 0;
    m_journal = m_moved = false;
}

void SetSaveStepHook(std::function<void()> hook)
{
    StepHook() = std::move(hook);
}

void RunSaveStepHook()
{
    if (StepHook())
        StepHook()();
}
