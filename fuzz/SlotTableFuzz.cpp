// The system flag file as the save and load operations read it: the flag file, then the slot
// table in its byte array (grown when short), every header decoded and the groups counted; and a
// slot's flag file as a rebuild of the list reads it, for the header its save stored.
#include "FuzzTargets.h"
#include "foundation/ByteCursor.h"
#include "script/FlagBuffer.h"
#include "script/save/SaveSlotTable.h"

int FuzzSlotTable(const uint8_t* data, size_t size)
{
    FlagBuffer system;
    ByteCursor cursor(std::span<const uint8_t>(data, size));
    if (!system.ReadFrom(cursor))
        return 0;
    for (const uint32_t slot : {1u, 2u, 101u, 150u, 201u, 300u})
        SaveSlotHeader::OfStoredState(slot, system).GetComment();
    GrowToSlotTable(system.Bytes);
    SaveSlotTable table(system.Bytes);
    for (uint32_t slot = 0; slot < SLOT_HEADER_COUNT; ++slot) {
        if (table.IsUsed(slot))
            table.Get(slot).GetComment();
    }
    for (int32_t group = 0; group < 3; ++group)
        table.CountUsed(group);
    return table.GetContinue() + table.GetLastSaved() > 0 ? 0 : 0;
}
