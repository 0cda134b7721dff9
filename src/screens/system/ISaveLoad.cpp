#include "screens/system/ISaveLoad.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/PlayerMessage.h"
#include "graphics/CDIBDC.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/PictureSlot.h"
#include "graphics/SpriteLayerRegistry.h"
#include "platform/kernel/FileApi.h"
#include "screens/base/CDialog.h"
#include "screens/base/ScreenWork.h"
#include "screens/extras/StaticNameTables.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/save/SaveSlotTable.h"
#include "script/save/SaveStore.h"
#include "script/save/SaveThumbnail.h"

namespace {

constexpr size_t SAVE_VARIABLES[] = {VARIABLE_SAVE_MADE, VARIABLE_SLOT_SAVE_MADE, VARIABLE_QUICK_SAVE_MADE};
constexpr int32_t LIST_ROWS = 7;
constexpr float SCROLL_TRACK = 890.0f;

// Shared by both screens, as their other parts are.
std::unique_ptr<CDIBDC> g_capture_layer;
std::unique_ptr<CDIBDC> g_display_layer;

ILayer* ThumbnailLayer(std::unique_ptr<CDIBDC>& layer)
{
    if (!layer) {
        auto made = std::make_unique<CDIBDC>();
        try {
            made->Create(THUMBNAIL_WIDTH, THUMBNAIL_HEIGHT);
        } catch (const CStringUTF8&) {
            return nullptr;
        }
        layer = std::move(made);
    }
    return layer.get();
}

FlagBuffer* LiveState()
{
    return GetScriptState().m_current_state.get();
}

void SetVariable(FlagBuffer& state, size_t index, int32_t value)
{
    if (state.Variables.size() <= index)
        state.Variables.resize(index + 1);
    state.Variables[index] = ScriptValue::FromInteger(value);
}

// What the player asked for, for the notice that tells of its refusal.
enum class Asked
{
    Save,
    Load,
    Delete,
};

// A refusal of what the player asked for, with its reason, in the player's language. Every refusal
// is told: one that said nothing would leave the player pressing again to no effect.
void TellRefusal(Asked asked, const CStringUTF8& reason)
{
    static constexpr std::array<std::array<const char*, 4>, 3> TEXTS = {{
        {"The game was not saved.", "游戏未能保存。", "遊戲未能儲存。", "セーブできませんでした。"},
        {"The save was not loaded.", "存档未能读取。", "存檔未能讀取。", "ロードできませんでした。"},
        {"The save was not deleted.", "存档未能删除。", "存檔未能刪除。",
         "セーブデータを削除できませんでした。"},
    }};
    ShowPlayerMessage(0, CStringUTF8(SaveStore::InPlayerLanguage(TEXTS[static_cast<size_t>(asked)])) + "\n" +
                             reason);
}

// The system file for an operation: one the player asked for tells each refusal the store leaves
// to its caller (those it reports itself are told already); others (an auto save) leave it to the
// store, which tells it once.
bool ReadSystemFileFor(std::optional<Asked> asked, FlagBuffer& system)
{
    CStringUTF8 fault;
    if (SaveStore::ReadSystemFile(system, asked ? &fault : nullptr))
        return true;
    if (asked && !fault.IsEmpty())
        TellRefusal(*asked, fault);
    return false;
}

// The system file and a copy of its slot table to change.
bool ReadSystemTable(std::optional<Asked> asked, FlagBuffer& system, std::vector<uint8_t>& table)
{
    if (!ReadSystemFileFor(asked, system))
        return false;
    table.assign(system.Bytes.begin(), system.Bytes.begin() + SLOT_TABLE_SIZE);
    return true;
}

std::span<uint8_t> TableOf(FlagBuffer& state)
{
    GrowToSlotTable(state.Bytes);
    return std::span<uint8_t>(state.Bytes.data(), SLOT_TABLE_SIZE);
}

// A refused load names the row the player chose, not the script that runs under the screen, in
// the player's language: by the row's label in Japanese, else by its group's name and number.
CStringUTF8 RowRefusal(uint32_t slot, size_t kind)
{
    static constexpr const char* ROWS[][3] = {
        {"Save %02u", "Auto save %02u", "Quick save %02u"},
        {"存档%02u", "自动存档%02u", "快速存档%02u"},
        {"存檔%02u", "自動存檔%02u", "快速存檔%02u"},
    };
    static constexpr const char* TEXTS[][2] = {
        {"%s is empty.", "%s cannot be loaded."},
        {"%s没有存档。", "无法读取%s。"},
        {"%s沒有存檔。", "無法讀取%s。"},
        {"%sのセーブデータはありません。", "%sのセーブデータは読み込めません。"},
    };
    const LanguageIndex language = std::clamp(GetConfigLanguage(), LANGUAGE_ENGLISH, LANGUAGE_JAPANESE);
    CStringUTF8 row = SlotRowName(slot);
    if (language != LANGUAGE_JAPANESE) {
        const bool listed = slot >= SLOT_FIRST && slot <= SLOT_LAST;
        const int32_t group = listed ? SlotGroupOf(slot) : 0;
        row.Format(ROWS[language][group], listed ? slot - SlotGroupFirst(group) + 1 : slot);
    }
    CStringUTF8 text;
    return text.Format(TEXTS[language][kind], row.GetText());
}

void ReportNoSave(uint32_t slot)
{
    ShowPlayerMessage(0, RowRefusal(slot, 0));
}

void ReportUnloadable(uint32_t slot, const CStringUTF8& reason)
{
    ShowPlayerMessage(0, RowRefusal(slot, 1) + "\n" + reason);
}

SaveSlotHeader MakeHeader(const FlagBuffer& state, const CStringUTF8& comment)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    SaveSlotHeader header = SaveSlotHeader::OfState(state);
    header.Year = now.wYear;
    header.Month = now.wMonth;
    header.Day = now.wDay;
    header.Hour = now.wHour;
    header.Minute = now.wMinute;
    header.Second = now.wSecond;
    header.SetComment(comment);
    return header;
}

// Puts the table and the save variables into a state (the live one, or the system image).
void CopyTableAndVariables(FlagBuffer& target, const std::vector<uint8_t>& table, const FlagBuffer& variables)
{
    std::ranges::copy(table, TableOf(target).begin());
    for (size_t index : SAVE_VARIABLES) {
        if (index < variables.Variables.size())
            SetVariable(target, index, variables.Variables[index].Integer);
    }
}

} // namespace

CStringUTF8 SlotRowName(uint32_t slot)
{
    CStringUTF8 name;
    if (slot >= SLOT_QUICK_FIRST && slot <= SLOT_LAST)
        return name.Format("クイックセーブ%02u番", slot - (SLOT_QUICK_FIRST - 1));
    if (slot >= SLOT_AUTO_FIRST && slot < SLOT_QUICK_FIRST)
        return name.Format("オートセーブ%02u番", slot - (SLOT_AUTO_FIRST - 1));
    return name.Format("%02u番", slot);
}

ISaveLoad::ISaveLoad(int32_t page)
{
    CurrentPage = page;
}

ISaveLoad::~ISaveLoad()
{
    ISaveLoad::ReleaseParts();
}

ILayer* ISaveLoad::GetThumbnailLayer()
{
    return ThumbnailLayer(g_display_layer);
}

void ISaveLoad::PointAtTable()
{
    FlagBuffer* state = LiveState();
    if (state == nullptr) {
        m_table = m_pointers = nullptr;
        return;
    }
    m_table = TableOf(*state).data();
    m_pointers = m_table + SLOT_LAST_SAVED_OFFSET;
}

void ISaveLoad::LoadSlotTable()
{
    FlagBuffer system;
    if (FlagBuffer* state = LiveState(); state != nullptr && SaveStore::ReadSystemFile(system))
        std::ranges::copy(std::span(system.Bytes).first(SLOT_TABLE_SIZE), TableOf(*state).begin());
    PointAtTable();
    RecountSlots();
}

void ISaveLoad::RecountSlots()
{
    PointAtTable();
    if (m_table == nullptr)
        return;
    const SaveSlotTable table(std::span<uint8_t>(m_table, SLOT_TABLE_SIZE));
    for (int32_t group = 0; group < 3; ++group)
        m_counts[group] = table.CountUsed(group);
    // The save screen lists a new-save row above the slots.
    const int32_t rows = m_counts[std::clamp(m_group, 0, 2)] + (IsSaveScreen() ? 1 : 0);
    const int32_t maximum = std::max(rows - LIST_ROWS, 0);
    m_has_scroll_bar = maximum > 0 ? 1 : 0;
    m_scroll_step = SCROLL_TRACK / static_cast<float>(maximum + 1);
    m_first_row = std::min(m_first_row, maximum);
}

bool ISaveLoad::SaveToSlot(uint32_t slot, const CStringUTF8& comment)
{
    return Save(slot, comment, Push::None, 0);
}

bool ISaveLoad::QuickSave()
{
    return Save(SLOT_QUICK_FIRST, CStringUTF8(), Push::Group, 0);
}

bool ISaveLoad::AutoSave()
{
    return Save(SLOT_AUTO_FIRST, CStringUTF8(), Push::Group, 0);
}

bool ISaveLoad::SaveNew(const CStringUTF8& comment)
{
    return Save(SLOT_FIRST, comment, Push::Group, 0);
}

bool ISaveLoad::SaveOver(uint32_t slot, const CStringUTF8& comment)
{
    if (slot < SLOT_FIRST || slot >= SLOT_AUTO_FIRST)
        return false;
    return Save(SLOT_FIRST, comment, Push::Before, slot);
}

bool ISaveLoad::Save(uint32_t slot, const CStringUTF8& comment, Push push, uint32_t over)
{
    FlagBuffer* live = LiveState();
    if (live == nullptr || slot < SLOT_FIRST || slot > SLOT_LAST || !GetScriptState().SaveDataSnapshot)
        return false;

    // Everything is made in memory first; until the system file is written nothing live changes.
    FlagBuffer system;
    std::vector<uint8_t> table;
    // Only the auto save is not the player's own.
    const bool auto_save = slot == SLOT_AUTO_FIRST && push == Push::Group;
    if (!ReadSystemTable(auto_save ? std::nullopt : std::optional(Asked::Save), system, table))
        return false;
    SaveSlotTable headers(table);
    const uint32_t first = SlotGroupFirst(SlotGroupOf(slot));
    const uint32_t dropped = push == Push::Group    ? PushSlotGroup(first)
                             : push == Push::Before ? PushSlotsBefore(over)
                                                    : slot;
    for (uint32_t n = dropped; n > slot; --n)
        headers.Copy(n - 1, n);
    headers.Put(slot, MakeHeader(*live, comment));
    if (slot <= SLOT_AUTO_FIRST + SLOT_GROUP_SIZE - 1)
        headers.SetLastSaved(static_cast<uint16_t>(slot));
    if (slot != SLOT_AUTO_FIRST)
        headers.SetContinue(static_cast<uint16_t>(slot));

    FlagBuffer stored;
    stored.Assign(*live);
    if (slot == SLOT_QUICK_FIRST && push == Push::Group)
        SetVariable(stored, VARIABLE_QUICK_SAVE_MADE, 1);
    stored.ClearEngineStateBits(ENGINE_STATE_ENTRY_OPEN);
    SetVariable(stored, VARIABLE_SAVE_MADE, 1);
    if (slot != SLOT_AUTO_FIRST)
        SetVariable(stored, VARIABLE_SLOT_SAVE_MADE, 1);
    stored.SetEngineStateBits(ENGINE_STATE_SNAPSHOT);
    std::ranges::copy(table, TableOf(stored).begin());

    ScriptValueTable data;
    data.Assign(*GetScriptState().SaveDataSnapshot);
    GetScriptState().SaveScriptStack(data);

    CopyTableAndVariables(system, table, stored);
    SaveStore::MergeFlagsIntoImage(system, *live);
    if (!SaveStore::CommitSave(slot, dropped, stored, data, MakeThumbnail(), system))
        return false;

    CopyTableAndVariables(*live, table, stored);
    live->ClearEngineStateBits(ENGINE_STATE_SNAPSHOT);
    GetScriptState().SaveDataSnapshot->Assign(data);
    RecountSlots();
    return true;
}

bool ISaveLoad::Confirm(int32_t kind)
{
    CDialog dialog;
    const int32_t built = dialog.Setup(kind, DIALOG_DEPTH);
    if (built == 0)
        return true;
    if (built < 0) {
        // Without the question the action, which cannot be undone, does not happen.
        ShowPlayerMessage(0, "確認ダイアログの作成に失敗しました。\n処理を中止します。");
        return false;
    }
    ScriptValue answer;
    dialog.Run(&answer);
    return answer.Integer == DIALOG_ANSWER_YES;
}

bool ISaveLoad::ConfirmAndDeleteSlot(uint32_t slot)
{
    return Confirm(DIALOG_KIND_DELETE) && DeleteSlot(slot);
}

bool ISaveLoad::DeleteSlot(uint32_t slot)
{
    FlagBuffer* live = LiveState();
    if (live == nullptr || slot < SLOT_FIRST || slot > SLOT_LAST)
        return false;
    FlagBuffer system;
    std::vector<uint8_t> table;
    if (!ReadSystemTable(Asked::Delete, system, table))
        return false;
    SaveSlotTable headers(table);
    const uint32_t last = SlotGroupLast(SlotGroupOf(slot));
    for (uint32_t n = slot + 1; n <= last; ++n)
        headers.Copy(n, n - 1);
    headers.Clear(last);
    std::ranges::copy(table, system.Bytes.begin());

    if (!SaveStore::CommitDelete(slot, last, system))
        return false;
    std::ranges::copy(table, TableOf(*live).begin());
    RecountSlots();
    return true;
}

bool ISaveLoad::ConfirmAndDeleteAll()
{
    if (m_counts[0] == 0 && m_counts[1] == 0 && m_counts[2] == 0)
        return false;
    return Confirm(DIALOG_KIND_DELETE_ALL) && DeleteAll();
}

bool ISaveLoad::DeleteAll()
{
    FlagBuffer* live = LiveState();
    if (live == nullptr)
        return false;
    FlagBuffer system;
    std::vector<uint8_t> table;
    if (!ReadSystemTable(Asked::Delete, system, table))
        return false;
    SaveSlotTable headers(table);
    // The listed saves' files go too: a system file rebuilt from the slot files would list them again.
    std::vector<uint32_t> deleted;
    for (uint32_t slot = SLOT_FIRST; slot <= SLOT_LAST; ++slot) {
        if (headers.IsUsed(slot))
            deleted.push_back(slot);
    }
    headers.SetLastSaved(0);
    for (uint32_t slot = 0; slot < SLOT_HEADER_COUNT; ++slot)
        headers.Clear(slot);
    FlagBuffer cleared;
    for (size_t index : SAVE_VARIABLES)
        SetVariable(cleared, index, 0);
    CopyTableAndVariables(system, table, cleared);
    if (!SaveStore::CommitDeleteAll(deleted, system))
        return false;
    CopyTableAndVariables(*live, table, cleared);
    m_first_row = 0;
    RecountSlots();
    return true;
}

void ISaveLoad::QuickLoad()
{
    ISelect::OnDecide();
    LoadSlot(SLOT_QUICK_FIRST);
}

void ISaveLoad::ContinueGame()
{
    FlagBuffer system;
    if (!ReadSystemFileFor(Asked::Load, system))
        return;
    m_scratch_slot = SaveSlotTable(system.Bytes).GetContinue();
    ISelect::OnDecide();
    LoadSlot(m_scratch_slot);
}

void ISaveLoad::LoadSlot(uint32_t slot)
{
    FlagBuffer* live = LiveState();
    if (live == nullptr || !GetScriptState().SaveDataTable || !GetScriptState().SaveDataSnapshot)
        return;
    FlagBuffer system;
    if (!ReadSystemFileFor(Asked::Load, system))
        return;
    if (slot < SLOT_FIRST || slot > SLOT_LAST || !SaveSlotTable(system.Bytes).IsUsed(slot)) {
        ReportNoSave(slot);
        return;
    }
    FlagBuffer loaded;
    ScriptValueTable data;
    CStringUTF8 fault;
    if (SaveStore::ReadFlagFile(slot, loaded, &fault) != SaveFileRead::Loaded ||
        SaveStore::ReadSaveData(slot, data, MissingSaveData::Report, &fault) != SaveFileRead::Loaded) {
        ReportUnloadable(slot, fault);
        return;
    }
    // A save whose scripts the game no longer holds would end the game half loaded.
    if (const CStringUTF8 reason = GetScriptState().CheckScriptStack(data); !reason.IsEmpty()) {
        ReportUnloadable(slot, reason);
        return;
    }

    // What was seen in the game being left stays recorded in the system file.
    SaveStore::MergeFlagsIntoImage(system, *live);
    // A system file that cannot be written has been reported; the load still goes on.
    (void)SaveStore::WriteFlagFile(0, system);
    GetScriptState().SaveDataTable->Assign(data);
    GetScriptState().SaveDataSnapshot->Assign(data);
    live->Assign(loaded);
    if (VARIABLE_QUICK_SAVE_MADE < system.Variables.size() &&
        VARIABLE_QUICK_SAVE_MADE < live->Variables.size())
        live->Variables[VARIABLE_QUICK_SAVE_MADE] = system.Variables[VARIABLE_QUICK_SAVE_MADE];
    SetConfigOneMes(0);
    // The backlog is not part of a save and a load leaves it as it is: it keeps the lines read
    // in this session, each record with the state to jump back to.
    throw GameDocument::DOCUMENT_RESTORE_STACK;
}

ILayer* ISaveLoad::GetSnapshotLayer()
{
    return GetSpriteLayerRegistry().GetStackLayer();
}

std::vector<uint8_t> ISaveLoad::MakeThumbnail()
{
    ILayer* snapshot = GetSnapshotLayer();
    ILayer* capture = ThumbnailLayer(g_capture_layer);
    if (snapshot == nullptr || capture == nullptr)
        return {};
    // The full-screen picture first, then the slots' pictures over it.
    std::vector<CStringUTF8> names{GetShownBaseName()};
    for (int32_t index = 0; index < PICTURE_SLOT_COUNT; ++index)
        names.push_back(GetShownPictureName(index));
    for (const CStringUTF8& name : names) {
        if (name.IsEmpty())
            continue;
        const CStringUTF8 covered = FindMosaicName(name.GetStdString());
        if (covered.IsEmpty())
            continue;
        std::unique_ptr<CSprite> sprite(
            LoadSprite(covered, nullptr, LAYER_KIND_MEMORY, 0, 0, nullptr, 0, 0, 0));
        if (auto* layer = dynamic_cast<CSpriteLayer*>(sprite.get()))
            snapshot->BltAlpha(0, 0, SNAPSHOT_WIDTH, SNAPSHOT_HEIGHT, layer, 0, 0);
    }
    return ScaleThumbnail(*snapshot, *capture);
}

bool ISaveLoad::WriteThumbnail(uint32_t slot)
{
    const std::vector<uint8_t> bytes = MakeThumbnail();
    // A thumbnail that cannot be written is skipped silently.
    return !bytes.empty() && SaveStore::WriteThumbnail(slot, bytes, ThumbnailFailure::Skip);
}

int32_t ISaveLoad::ReadThumbnail(uint32_t slot)
{
    ILayer* display = GetThumbnailLayer();
    return display != nullptr ? SaveStore::ReadThumbnail(slot, *display) : 0;
}
