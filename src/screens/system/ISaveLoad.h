#pragma once
// What the save and the load screen share: the system slot table (mirrored into the current
// game state's byte array) and the operations on save slots. A save is prepared whole in memory
// first (the slot's flag file, its save data, its thumbnail and the new system flag file), then
// the older saves of the group move one slot up as sets, the slot's files are written, and the
// system flag file, whose table lists the slots, goes last, written once. A failed step undoes
// the ones before it, so a failed save changes nothing. Loads check the slot's files before
// they touch the game. The screen objects live in the game work; main thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "screens/base/ISelect.h"
#include "script/save/SaveSlotTable.h"
#include "script/vm/BacklogStore.h"

class ILayer;
class ScriptValueTable;

// The dialog kinds the operations ask.
inline constexpr int32_t DIALOG_KIND_LOAD = 1;
inline constexpr int32_t DIALOG_KIND_DELETE = 5;
inline constexpr int32_t DIALOG_KIND_DELETE_ALL = 6;

// A slot as the save and load screens name its row: "%02u番" in the manual group,
// "オートセーブ%02u番" and "クイックセーブ%02u番" with the number in the auto and quick groups.
CStringUTF8 SlotRowName(uint32_t slot);

class ISaveLoad : public ISystemParts
{
public:
    explicit ISaveLoad(int32_t page);
    ~ISaveLoad() override;

    int32_t GetPage() const { return CurrentPage; }

    // The screen: the result of a run is the next page (2 save, 3 load) or -1 (close).
    ScriptValue* Run(ScriptValue* out) override;
    void Show() override;
    void Hide() override;
    void BuildParts(int32_t mode) override;
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    int32_t OnUpKey() override;
    int32_t OnDownKey() override;
    int32_t OnLeftKey() override;
    int32_t OnRightKey() override;
    void OnDrag() override;
    void OnMouseWheel(int32_t count) override;
    void OnDecide() override;
    void OnCancel() override;
    int32_t CreateParts() override;
    void ReleaseParts() override;

    // Drawing: the buttons into the mask, the rows through the list sprite into the view.
    void DrawPage();
    void DrawList();
    void DrawSlotRow(uint32_t slot, int32_t row, int32_t state);
    // A control in a state (rows redraw and compose their band); writes the control's help line.
    void DrawControl(int32_t id, int32_t state, bool present);
    void DrawHelp(int32_t id);
    void DragKnob();

    // The slot a row shows now: 0 the save screen's new-save row.
    uint32_t SlotOfRow(int32_t row) const;
    int32_t MaximumFirstRow() const;
    int32_t GetFirstRow() const { return m_first_row; }
    void SetFirstRow(int32_t row) { m_first_row = row; }
    int32_t HasScrollBar() const { return m_has_scroll_bar; }
    int32_t GetHovered() const { return m_hovered; }
    bool IsRowUsed(int32_t row) const { return row >= 0 && row < 7 && m_row_used[row] != 0; }
    bool IsSaveScreen() const;

    // Saves the game into the slot (1 to 300) with the comment; the group is not pushed. True
    // when the slot and the system flag file were written.
    [[nodiscard]] virtual bool SaveToSlot(uint32_t slot, const CStringUTF8& comment);
    // Into slot 201 (201) after the quick (auto) group moved one slot up.
    [[nodiscard]] virtual bool QuickSave();
    [[nodiscard]] virtual bool AutoSave();
    // The save screen's new save and its overwrite of used slot k: both go into slot 1, the
    // first after the whole manual group, the second after slots 1 to k - 1 moved up.
    [[nodiscard]] virtual bool SaveNew(const CStringUTF8& comment);
    [[nodiscard]] virtual bool SaveOver(uint32_t slot, const CStringUTF8& comment);
    // After the delete confirmation (a dialog that cannot be built counts as no): closes the
    // slot's gap in its group. True when deleted.
    virtual bool ConfirmAndDeleteSlot(uint32_t slot);
    virtual bool DeleteSlot(uint32_t slot);
    // After its confirmation: every header empty, the save variables 0; the files stay.
    virtual bool ConfirmAndDeleteAll();
    virtual bool DeleteAll();

    // The loads: when the slot's files are sound they replace the game and throw document code
    // 3; otherwise a message names the problem and they return with nothing changed.
    virtual void QuickLoad();
    virtual void ContinueGame();
    virtual void LoadSlot(uint32_t slot);

    // The thumbnail file of a slot from the snapshot layer, and into the display layer (1 when
    // read).
    [[nodiscard]] virtual bool WriteThumbnail(uint32_t slot);
    virtual int32_t ReadThumbnail(uint32_t slot);

    // The table copied in from the system flag file, and the slot counts taken again.
    virtual void LoadSlotTable();
    virtual void RecountSlots();

    uint8_t* GetTable() { return m_table; }
    uint8_t* GetPointers() { return m_pointers; }
    int32_t GetCount(int32_t group) const { return group >= 0 && group < 3 ? m_counts[group] : 0; }
    int32_t GetGroup() const { return m_group; }
    void SetGroup(int32_t group) { m_group = group; }
    ILayer* GetThumbnailLayer();
    // The pictures both screens share: the background and the list of rows.
    static ILayer* GetBackgroundLayer();
    static ILayer* GetListLayer();

protected:
    // Which push a save makes before it writes its slot.
    enum class Push
    {
        None,
        Group,  // the whole group of the slot
        Before, // slots 1 to k - 1 over slot k
    };
    [[nodiscard]] bool Save(uint32_t slot, const CStringUTF8& comment, Push push, uint32_t over);
    // The pushes carried out with the save itself (the save store moves the slot files as sets
    // and the headers go with them); each answers the slot it drops. PushSlotGroup moves the
    // group from its first slot one up, its last slot dropped; PushSlotsBefore moves slots 1 to
    // k - 1 one up over slot k.
    static uint32_t PushSlotGroup(uint32_t first) { return first + SLOT_GROUP_SIZE - 1; }
    static uint32_t PushSlotsBefore(uint32_t k) { return k; }
    // The snapshot with the covered pictures drawn over it, averaged down; empty without the
    // snapshot or the capture layer.
    std::vector<uint8_t> MakeThumbnail();
    // The copy of the screen the thumbnail is made from: the document's stack layer.
    virtual ILayer* GetSnapshotLayer();
    bool Confirm(int32_t kind);
    void PointAtTable();
    // A used row chosen (after its press): the screens' own action.
    virtual void DecideRow(int32_t row) { (void)row; }
    // OK sound, the control pressed, and the wait for the OK inputs to go up.
    void Press(int32_t id);
    void Present();
    // The delete button of a row the player may delete.
    bool HasDeleteButton(int32_t row) const;
    // Moves the pointer by the key's table and shows the new hover.
    int32_t CursorKey(int32_t key, uint32_t scan_code);
    void Scroll(int32_t delta);
    // The picture of the language ("_en", "_ch", "_tw" or none); the traditional Chinese one
    // falls back to the unsuffixed picture when the archive lacks it.
    CStringUTF8 LanguagePicture(const char* stem);

    int32_t m_hovered = -1;
    int32_t m_first_row = 0;
    float m_scroll_step = 0;
    int32_t m_counts[3] = {0, 0, 0};
    int32_t m_group = 0;
    int32_t m_row_used[7] = {};
    int32_t m_has_scroll_bar = 0;
    uint8_t* m_table = nullptr;    // the slot table in the current game state's Bytes
    uint8_t* m_pointers = nullptr; // offset 31003 of it
    uint32_t m_scratch_slot = 0;
    bool m_holds_screen = false;
};
