// A town map's event-area file: its records read up to the end record or the file's end.
#include <vector>

#include "FuzzTargets.h"
#include "screens/map/TownMapData.h"

int FuzzEventAreas(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> file(data, data + size);
    const std::vector<MapEventArea> areas = townmap::ReadEventAreas(file);
    return areas.size() > size / MAP_EVENT_AREA_SIZE ? 1 : 0;
}
