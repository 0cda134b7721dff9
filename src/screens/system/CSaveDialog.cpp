#include "screens/system/CSaveDialog.h"

#include <span>

#include "screens/system/CSaveNote.h"
#include "screens/system/SaveLoadLayout.h"
#include "script/save/SaveSlotTable.h"

using namespace saveload_layout;

bool CSaveDialog::SaveAtRow(int32_t row)
{
    const uint32_t slot = SlotOfRow(row);
    if (m_table == nullptr || !IsRowUsed(row))
        return false;
    const SaveSlotHeader header = SaveSlotTable(std::span<uint8_t>(m_table, SLOT_TABLE_SIZE)).Get(slot);
    CStringUTF8 comment;
    {
        CSaveNote note;
        const int32_t built = note.Setup(header.GetComment(), slot == 0 ? header.Used : 1);
        if (built < 0)
            return false;
        if (built == 1) {
            ScriptValue answer;
            note.Run(&answer);
            if (answer.Integer != 0) {
                DrawControl(ID_ROW + row, 0, true);
                m_hovered = -1;
                return false;
            }
            comment = note.GetText();
        }
    }
    const bool saved = slot == 0 ? SaveNew(comment) : SaveOver(slot, comment);
    RecountSlots();
    DrawPage();
    Present();
    return saved;
}

void CSaveDialog::DecideRow(int32_t row)
{
    // A save that failed has told the player, and the page shows the slots as they are now.
    (void)SaveAtRow(row);
}
