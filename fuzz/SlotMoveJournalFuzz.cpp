// The slot move journal as the next start reads it: decoded, and when accepted written again
// byte for byte.
#include <algorithm>
#include <cstdlib>

#include "FuzzTargets.h"
#include "script/save/SlotMoveJournal.h"

int FuzzSlotMoveJournal(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    SlotMoveJournal journal;
    if (!journal.Decode(bytes))
        return 0;
    const std::vector<uint8_t> again = journal.Encode();
    if (!std::equal(again.begin(), again.end(), bytes.begin(), bytes.end()))
        std::abort();
    return 0;
}
