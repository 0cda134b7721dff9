// A hit-area file: parsed, then hit-tested and searched as a screen would.
#include "FuzzTargets.h"
#include "screens/base/CHitAreaTable.h"

int FuzzHitAreaTable(const uint8_t* data, size_t size)
{
    CHitAreaTable table;
    if (!table.Parse(data, size))
        return 0;
    for (const HitArea& area : table.Records()) {
        table.HitTest(area.Left, area.Top);
        table.Find(area.Id);
    }
    return 0;
}
