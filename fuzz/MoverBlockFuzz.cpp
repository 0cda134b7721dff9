// A town map's mover block: its movers listed and primed, then every mover's program fetched
// for a bounded number of instructions and its tile pattern read, as the map's ticks do.
#include "FuzzTargets.h"
#include "screens/map/TownMapData.h"

int FuzzMoverBlock(const uint8_t* data, size_t size)
{
    MoveProgramBlock block;
    block.Bytes.assign(data, data + size);
    if (block.Bytes.size() < 8 || block.Bytes.size() > 0xFFFF)
        return 0;
    const size_t count = townmap::CountMovers(block);
    volatile uint32_t sum = 0;
    for (size_t i = 0; i < count; ++i) {
        MapMover mover(block.Bytes.data() + block.MoverTable() + MAP_MOVER_RECORD_SIZE * i);
        townmap::PrimeMover(block, mover);
        for (int step = 0; step < 64; ++step) {
            mover.SetCount(0);
            if (!townmap::FetchInstruction(block, mover))
                break;
            // Opcode 0 sends the program to the block's start.
            if (mover.Opcode() == 0)
                mover.SetPc(0);
        }
        size_t pattern = 0;
        if (townmap::PatternOffset(block, mover, pattern))
            for (size_t w = 0; w < size_t{mover.Width()} * mover.Height(); ++w)
                sum = sum + townmap::Read16(block.Bytes.data() + pattern + 2 * w);
    }
    return 0;
}
