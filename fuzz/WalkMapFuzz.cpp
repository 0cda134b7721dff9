// A town walk map: checked as the town map checks it, then copied into the cell grid.
#include <vector>

#include "FuzzTargets.h"
#include "screens/map/TownMapData.h"

int FuzzWalkMap(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> file(data, data + size);
    int32_t width = 0;
    int32_t height = 0;
    if (!townmap::AcceptWalkMap(file, width, height))
        return 0;
    std::vector<uint8_t> grid(MAP_MAX_COLUMNS * MAP_MAX_ROWS * MAP_CELL_SIZE, 0);
    townmap::CopyWalkMap(file, grid);
    return 0;
}
