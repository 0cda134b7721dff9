#include "screens/system/SlotFileMoves.h"

#include "app/AppMessageBox.h"
#include "platform/kernel/FileApi.h"
#include "script/SaveFileNames.h"

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
    return {MakeFlagFileName(slot), MakeSaveDataFileName(slot), MakeThumbnailFileName(slot),
            MakeSelectionFileName(slot)};
}

bool RenameSaveFile(const CStringUTF8& old_name, const CStringUTF8& new_name)
{
    if (MoveFileExW(old_name.ToWide().c_str(), new_name.ToWide().c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    CStringUTF8 text;
    AppMessageBox(0, text.Format("%s\nold:%s\nnew:%s", "Failed to rename the file.", old_name.GetText(),
                                 new_name.GetText()));
    return false;
}

bool SaveFileExists(const CStringUTF8& name)
{
    return PathFileExistsW(name.ToWide().c_str()) != FALSE;
}

bool SlotFileMoves::Rename(const CStringUTF8& from, const CStringUTF8& to)
{
    if (!RenameSaveFile(from, to))
        return false;
    m_done.emplace_back(from, to);
    RunSaveStepHook();
    return true;
}

bool SlotFileMoves::SetAside(const CStringUTF8& name)
{
    if (!SaveFileExists(name))
        return true;
    const CStringUTF8 aside = SetAsideName(name);
    if (!Rename(name, aside))
        return false;
    m_set_aside.push_back(aside);
    return true;
}

bool SlotFileMoves::MoveSlotFiles(uint32_t from, uint32_t to)
{
    const auto sources = MakeSlotFileNames(from);
    const auto targets = MakeSlotFileNames(to);
    for (size_t kind = 0; kind < SLOT_FILE_KINDS; ++kind) {
        if (to != m_emptied && !SetAside(targets[kind]))
            return false;
        if (KindPresent(kind) && SaveFileExists(sources[kind]) && !Rename(sources[kind], targets[kind]))
            return false;
    }
    m_emptied = from;
    return true;
}

bool SlotFileMoves::SetAsideSlot(uint32_t slot)
{
    for (const CStringUTF8& name : MakeSlotFileNames(slot)) {
        if (!SetAside(name))
            return false;
    }
    m_emptied = slot;
    return true;
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
    // A rename back that fails too has been reported; the others still go back.
    for (auto it = m_done.rbegin(); it != m_done.rend(); ++it)
        RenameSaveFile(it->second, it->first);
    m_done.clear();
    m_set_aside.clear();
}

void SlotFileMoves::Finish()
{
    // A set-aside file that cannot be deleted is only clutter; the next move replaces it.
    for (const CStringUTF8& name : m_set_aside)
        DeleteFileW(name.ToWide().c_str());
    m_done.clear();
    m_set_aside.clear();
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
