// The town map's data: the walk map, the mover block and the event areas, the visible cells and
// the event check.

#include <algorithm>

#include "foundation/CString.h"
#include "foundation/GameDocument.h"
#include "foundation/PlayerMessage.h"
#include "screens/map/CCps.h"

namespace {

constexpr uint32_t MOVER_FLAG_BASE = 7091;
constexpr uint8_t STATE_INACTIVE = 255;
constexpr uint8_t STATE_DRAWN = 0x01;
constexpr uint8_t STATE_OVERLAY = 0x04;
constexpr uint8_t STATE_LEADER = 0x40;
constexpr uint16_t OVERLAY_MARK = 0x8000;
constexpr uint8_t EVENT_MODE_ONCE = 2;
constexpr uint8_t EVENT_MODE_ON_ENTRY = 3;

} // namespace

bool CCps::ReadDataFile(const CStringUTF8& name, std::vector<uint8_t>& out)
{
    out.clear();
    try {
        ReadFile(name, out);
        return true;
    } catch (const CString& message) {
        out.clear();
        ShowPlayerMessage(0, Document->FormatScriptError(CStringUTF8(message.GetText())));
        return false;
    }
}

void CCps::RefuseDataFile(const CStringUTF8& name, std::vector<uint8_t>& buffer)
{
    buffer.clear();
    CStringUTF8 text;
    text.Format("%s : データが壊れています", name.GetText());
    ShowPlayerMessage(0, Document->FormatScriptError(text));
}

uint32_t CCps::ReadMapFile(const CStringUTF8& name)
{
    if (!ReadDataFile(name, WalkMapBuffer))
        return 0;
    int32_t width = 0;
    int32_t height = 0;
    if (!townmap::AcceptWalkMap(WalkMapBuffer, width, height)) {
        RefuseDataFile(name, WalkMapBuffer);
        return 0;
    }
    return 1;
}

uint32_t CCps::ReadMoverFile(const CStringUTF8& name)
{
    if (!ReadDataFile(name, MoveProgramData.Bytes))
        return 0;
    if (MoveProgramData.Bytes.size() < 8 || MoveProgramData.Bytes.size() > 0xFFFF) {
        RefuseDataFile(name, MoveProgramData.Bytes);
        return 0;
    }
    return 1;
}

uint32_t CCps::ReadEventAreaFile(const CStringUTF8& name)
{
    return ReadDataFile(name, EventAreaBuffer) ? 1 : 0;
}

uint32_t CCps::LoadWalkMap(const CStringUTF8& name)
{
    WalkMapBuffer.clear();
    if (ReadMapFile(name) == 0)
        return 0;
    const int32_t width = townmap::Read16(WalkMapBuffer.data());
    const int32_t height = townmap::Read16(WalkMapBuffer.data() + 2);
    Camera = MapCamera{};
    Camera.MapWidth = width;
    Camera.MapHeight = height;
    ClearDrawCache();
    EventCheckPending = 0;
    EventCheckMode = 0;
    LastEventId = MAP_EVENT_END;
    townmap::CopyWalkMap(WalkMapBuffer, CollisionGrid);
    WalkMapBuffer.clear();
    return 1;
}

uint8_t* CCps::CellAtOffset(int32_t x, int32_t y)
{
    return CollisionGrid.data() +
           MAP_CELL_SIZE * (static_cast<size_t>(x) * MAP_MAX_ROWS + static_cast<size_t>(y));
}

MapCell CCps::CellAt(int32_t x, int32_t y)
{
    return MapCell(CellAtOffset(x, y));
}

uint8_t CCps::BlockAt(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= MAP_MAX_COLUMNS || y >= MAP_MAX_ROWS)
        return 0xFF;
    return CollisionGrid[MAP_CELL_SIZE * (static_cast<size_t>(x) * MAP_MAX_ROWS + static_cast<size_t>(y)) +
                         4];
}

uint32_t CCps::LoadMovers(const CStringUTF8& name)
{
    MoveProgramData.Bytes.clear();
    Movers.fill(nullptr);
    MoverCount = 0;
    m_message_shown.fill(false);
    if (ReadMoverFile(name) == 0)
        return 0;
    std::vector<uint8_t>& block = MoveProgramData.Bytes;
    const size_t count = townmap::CountMovers(MoveProgramData);
    for (size_t i = 0; i < count; ++i) {
        Movers[i] = block.data() + MoveProgramData.MoverTable() + MAP_MOVER_RECORD_SIZE * i;
        MapMover mover(Movers[i]);
        const auto flag = static_cast<uint32_t>(MOVER_FLAG_BASE + 3 * i);
        mover.SetX(GetFlag(flag));
        mover.SetY(GetFlag(flag + 1));
        mover.SetFacing(GetFlag(flag + 2));
        townmap::PrimeMover(MoveProgramData, mover);
    }
    MoverCount = static_cast<uint32_t>(count);
    return 1;
}

uint32_t CCps::LoadEventAreas(const CStringUTF8& name, uint32_t mode)
{
    EventAreaBuffer.clear();
    EventAreas.clear();
    if (ReadEventAreaFile(name) == 0)
        return 0;
    EventAreas = townmap::ReadEventAreas(EventAreaBuffer);
    EventAreaBuffer.clear();
    EventCheckMode = static_cast<uint8_t>(mode);
    EventCheckPending = EventCheckMode != 0 ? 1 : 0;
    LastEventId = MAP_EVENT_END;
    return 1;
}

uint16_t CCps::CheckEventAreas()
{
    if (EventCheckPending == 0)
        return MAP_EVENT_END;
    MapMover leader(nullptr);
    for (uint32_t i = 0; i < MoverCount; ++i) {
        const MapMover mover = MoverAt(i);
        if (mover.Bytes() == nullptr || mover.State() == STATE_INACTIVE)
            return MAP_EVENT_END;
        if (mover.State() & STATE_LEADER) {
            leader = mover;
            break;
        }
    }
    if (leader.Bytes() == nullptr)
        return MAP_EVENT_END;
    const uint32_t direction = leader.Facing() >> 4;
    const uint32_t x = leader.X();
    const uint32_t y = leader.Y();
    uint16_t id = MAP_EVENT_END;
    for (const MapEventArea& area : EventAreas) {
        if (x <= area.Right && x + leader.Width() > area.Left && y + 1 <= area.Bottom &&
            y + leader.Height() > area.Top && direction < 8 && (area.Directions >> direction & 1)) {
            id = area.Id;
            break;
        }
    }
    if (EventCheckMode == EVENT_MODE_ONCE) {
        EventCheckPending = 0;
        return id;
    }
    if (EventCheckMode == EVENT_MODE_ON_ENTRY) {
        if (id == LastEventId)
            return MAP_EVENT_END;
        LastEventId = id;
    }
    return id;
}

void CCps::BuildViewCells()
{
    for (int32_t r = 0; r < std::min(Camera.ViewHeight, MAP_VIEW_ROWS); ++r)
        for (int32_t c = 0; c < std::min(Camera.ViewWidth, MAP_VIEW_COLUMNS); ++c) {
            const int32_t x = Camera.CamX + c;
            const int32_t y = Camera.CamY + r;
            ViewCell& cell = ViewCells[ViewIndex(c, r)];
            cell = ViewCell{};
            if (x >= 0 && y >= 0 && x < MAP_MAX_COLUMNS && y < MAP_MAX_ROWS) {
                const MapCell source = CellAt(x, y);
                cell.Tile0 = source.Tile0();
                cell.Tile1 = source.Tile1();
            }
        }
}

void CCps::ClearDrawCache()
{
    DrawnCells.fill(ViewCell{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF});
    m_view.Forget();
}

void CCps::ComposeMovers()
{
    const std::vector<uint8_t>& block = MoveProgramData.Bytes;
    const MapMover first = MoverAt(0);
    uint32_t ordinal = 0;
    for (uint32_t i = 0; i < MoverCount; ++i) {
        const MapMover mover = MoverAt(i);
        if (mover.Bytes() == nullptr || mover.State() == STATE_INACTIVE)
            continue;
        const uint32_t own = ordinal++;
        if ((mover.State() & STATE_DRAWN) == 0)
            continue;
        size_t pattern = 0;
        if (!townmap::PatternOffset(MoveProgramData, mover, pattern))
            continue;
        for (uint32_t j = 0; j < mover.Height(); ++j)
            for (uint32_t k = 0; k < mover.Width(); ++k) {
                const uint32_t column =
                    static_cast<uint32_t>(mover.X() - Camera.CamX + static_cast<int32_t>(k));
                const uint32_t row = static_cast<uint32_t>(mover.Y() - Camera.CamY + static_cast<int32_t>(j));
                if (column >= static_cast<uint32_t>(std::min(Camera.ViewWidth, MAP_VIEW_COLUMNS)) ||
                    row >= static_cast<uint32_t>(std::min(Camera.ViewHeight, MAP_VIEW_ROWS)))
                    continue;
                const uint16_t tile = townmap::Read16(block.data() + pattern + 2 * (j * mover.Width() + k));
                const auto word = static_cast<uint16_t>(own << 10 | tile);
                ViewCell& cell =
                    ViewCells[ViewIndex(static_cast<int32_t>(column), static_cast<int32_t>(row))];
                if (mover.State() & STATE_OVERLAY) {
                    cell.Tile1 = word | OVERLAY_MARK;
                } else if (cell.MoverA == MAP_NO_TILE) {
                    cell.MoverA = word;
                } else if (cell.MoverB == MAP_NO_TILE) {
                    if (first.Bytes() != nullptr && first.Y() < mover.Y()) {
                        cell.MoverB = cell.MoverA;
                        cell.MoverA = word;
                    } else {
                        cell.MoverB = word;
                    }
                }
            }
    }
}
