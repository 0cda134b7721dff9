#include "screens/map/CCps.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr uint16_t WALL = 65535;
constexpr uint16_t FREE = 65534;
constexpr uint16_t FOOT = 65533;
constexpr uint32_t PREFER_RIGHT_UP_FLAG = 1691;
constexpr uint32_t PREFER_RIGHT_DOWN_FLAG = 4068;
constexpr uint32_t PREFER_DOWN_LEFT_FLAG = 1694;
constexpr uint32_t PREFER_DOWN_RIGHT_FLAG = 1693;

enum Move : uint8_t
{
    U,
    D,
    L,
    R
};
struct Order
{
    Move Plain[4];
    uint32_t Flag; // 0: no alternative
    Move Flagged[4];
};
// By preference index: bit 1 the figure lies right, bit 2 below, bit 4 the way is mostly sideways.
constexpr Order ORDERS[8] = {
    {{U, L, R, D}, PREFER_RIGHT_UP_FLAG, {U, R, L, D}},   {{U, R, L, D}, 0, {}},
    {{D, L, R, U}, PREFER_RIGHT_DOWN_FLAG, {D, R, L, U}}, {{D, R, L, U}, 0, {}},
    {{L, U, D, R}, 0, {}},                                {{R, U, D, L}, 0, {}},
    {{L, D, U, R}, PREFER_DOWN_LEFT_FLAG, {D, L, U, R}},  {{R, D, U, L}, PREFER_DOWN_RIGHT_FLAG, {D, R, U, L}},
};

struct Ray
{
    uint16_t Code;
    int32_t Dx, Dy;
    int32_t Beside; // the cells right of a ray cell that must not be walls
};
constexpr Ray RAYS[8] = {{1, 0, -1, 1},  {2, -1, 0, 0}, {4, 1, 0, 1},  {8, 0, 1, 1},
                         {3, -1, -1, 2}, {5, 1, -1, 2}, {10, -1, 1, 2}, {12, 1, 1, 2}};

} // namespace

uint16_t CCps::DistanceAt(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= Camera.MapWidth || y >= Camera.MapHeight || x >= MAP_MAX_COLUMNS ||
        y >= MAP_MAX_ROWS)
        return WALL;
    return DistanceGrid[static_cast<size_t>(y) * MAP_MAX_COLUMNS + static_cast<size_t>(x)];
}

void CCps::SetDistance(int32_t x, int32_t y, uint16_t value)
{
    if (x < 0 || y < 0 || x >= Camera.MapWidth || y >= Camera.MapHeight || x >= MAP_MAX_COLUMNS ||
        y >= MAP_MAX_ROWS)
        return;
    DistanceGrid[static_cast<size_t>(y) * MAP_MAX_COLUMNS + static_cast<size_t>(x)] = value;
}

void CCps::PrepareDistanceGrid()
{
    for (int32_t y = 0; y < MAP_MAX_ROWS; ++y)
        for (int32_t x = 0; x < MAP_MAX_COLUMNS; ++x)
            DistanceGrid[static_cast<size_t>(y) * MAP_MAX_COLUMNS + static_cast<size_t>(x)] =
                x < Camera.MapWidth && y < Camera.MapHeight && BlockAt(x, y) == 0 ? FREE : WALL;
    std::fill(DirectionGrid.begin(), DirectionGrid.end(), uint8_t{0});
}

bool CCps::FitsAbove(uint16_t mark) const
{
    const int32_t tx = PathTarget.TargetX, ty = PathTarget.TargetY;
    return DistanceAt(tx, ty - 1) == mark && DistanceAt(tx + 1, ty - 1) < WALL;
}

bool CCps::FitsBelow(uint16_t mark) const
{
    const int32_t tx = PathTarget.TargetX, ty = PathTarget.TargetY;
    return DistanceAt(tx, ty + 1) == mark && DistanceAt(tx + 1, ty + 1) < WALL && DistanceAt(tx, ty + 2) < WALL &&
           DistanceAt(tx + 1, ty + 2) < WALL;
}

bool CCps::FitsRight(uint16_t mark) const
{
    const int32_t tx = PathTarget.TargetX, ty = PathTarget.TargetY;
    return DistanceAt(tx + 1, ty) == mark && DistanceAt(tx + 2, ty) < WALL;
}

void CCps::BacktrackPath(uint16_t step)
{
    SetDistance(PathTarget.TargetX, PathTarget.TargetY, WALL);
    const uint16_t back = static_cast<uint16_t>(step - 1);
    if (DistanceAt(PathTarget.TargetX, PathTarget.TargetY - 1) == back)
        --PathTarget.TargetY;
    if (DistanceAt(PathTarget.TargetX - 1, PathTarget.TargetY) == back)
        --PathTarget.TargetX;
    if (DistanceAt(PathTarget.TargetX + 1, PathTarget.TargetY) == back)
        ++PathTarget.TargetX;
    if (DistanceAt(PathTarget.TargetX, PathTarget.TargetY + 1) == back)
        ++PathTarget.TargetY;
}

uint32_t CCps::FindPath(MapMover figure)
{
    const int32_t x = figure.X();
    const int32_t y = figure.Y();
    const int32_t foot_y = y + 1;
    if (x >= Camera.MapWidth || foot_y >= Camera.MapHeight || PathTarget.TargetX >= Camera.MapWidth ||
        PathTarget.TargetY >= Camera.MapHeight)
        return 0;
    SetDistance(x, foot_y, FOOT);
    SetDistance(PathTarget.TargetX, PathTarget.TargetY, 0);
    // The goal's mark covers the foot's, so from the goal the search would only close the whole
    // map and fail: a figure already there has no way to walk.
    if (PathTarget.TargetX == x && PathTarget.TargetY == foot_y)
        return 0;

    uint16_t step = 0;
    uint32_t prefer = 0;
    bool first = true;
    for (;;) {
        const int32_t tx = PathTarget.TargetX, ty = PathTarget.TargetY;
        if (first) {
            prefer = (tx <= x ? 1u : 0u) | (ty <= foot_y ? 2u : 0u);
            first = false;
        } else {
            if (tx == x)
                prefer = 0;
            else
                prefer = (prefer & ~1u) | (tx < x ? 1u : 0u);
            if (ty != foot_y)
                prefer = (prefer & ~2u) | (ty < foot_y ? 2u : 0u);
        }
        // |ty - y + 1| as the sideways test has always been written; paths and saves rely on it.
        prefer = (prefer & ~4u) | (std::abs(tx - x) >= std::abs(ty - y + 1) ? 4u : 0u);

        SetDistance(tx, ty, step);
        if (FitsAbove(FOOT) || FitsBelow(FOOT) || DistanceAt(tx - 1, ty) == FOOT || FitsRight(FOOT))
            return TracePath(x, foot_y);

        const Order& order = ORDERS[prefer];
        const Move* moves = order.Flag != 0 && GetFlag(order.Flag) != 0 ? order.Flagged : order.Plain;
        bool moved = false;
        for (int i = 0; i < 4 && !moved; ++i) {
            switch (moves[i]) {
            case U:
                moved = FitsAbove(FREE);
                if (moved)
                    --PathTarget.TargetY;
                break;
            case D:
                moved = FitsBelow(FREE);
                if (moved)
                    ++PathTarget.TargetY;
                break;
            case L:
                moved = DistanceAt(tx - 1, ty) == FREE;
                if (moved)
                    --PathTarget.TargetX;
                break;
            case R:
                moved = FitsRight(FREE);
                if (moved)
                    ++PathTarget.TargetX;
                break;
            }
        }
        if (!moved) {
            BacktrackPath(step);
            step = static_cast<uint16_t>(step - 2);
        }
        step = static_cast<uint16_t>(step + 1);
        if (step == WALL)
            return 0;
    }
}

uint32_t CCps::TracePath(int32_t start_x, int32_t start_y)
{
    for (int32_t y = 0; y < Camera.MapHeight && y < MAP_MAX_ROWS; ++y)
        for (int32_t x = 0; x < Camera.MapWidth && x < MAP_MAX_COLUMNS; ++x)
            if (DistanceAt(x, y) == WALL && BlockAt(x, y) == 0)
                SetDistance(x, y, FREE);

    PathLength = 0;
    int32_t cx = start_x, cy = start_y;
    uint16_t value = DistanceAt(cx, cy);
    if (value == 0)
        return 1;
    if (value == WALL)
        return 0;
    for (;;) {
        uint16_t best = value;
        uint16_t code = 0;
        const int32_t width = std::min(Camera.MapWidth, MAP_MAX_COLUMNS);
        const int32_t height = std::min(Camera.MapHeight, MAP_MAX_ROWS);
        for (const Ray& ray : RAYS) {
            // The ray's cells and the ones beside them stay inside the map up to `last`; the cell
            // past the right edge is a wall, which ends rays with cells beside them one early.
            int32_t last = MAP_MAX_COLUMNS * MAP_MAX_ROWS;
            if (ray.Dx < 0)
                last = std::min(last, cx);
            if (ray.Dx > 0)
                last = std::min(last, width - 1 - cx - ray.Beside);
            if (ray.Dx == 0 && cx + ray.Beside >= width)
                last = 0;
            if (ray.Dx < 0 && cx - 1 + ray.Beside >= width)
                last = 0;
            if (ray.Dy < 0)
                last = std::min(last, cy);
            if (ray.Dy > 0)
                last = std::min(last, height - 1 - cy);
            const ptrdiff_t stride = ray.Dy * ptrdiff_t{MAP_MAX_COLUMNS} + ray.Dx;
            const uint16_t* cell = DistanceGrid.data() + static_cast<ptrdiff_t>(cy) * MAP_MAX_COLUMNS + cx;
            for (int32_t k = 1; k <= last; ++k) {
                cell += stride;
                const uint16_t here = cell[0];
                if (here == WALL || (ray.Beside >= 1 && cell[1] == WALL) || (ray.Beside >= 2 && cell[2] == WALL))
                    break;
                if (here < best) {
                    best = here;
                    code = ray.Code;
                }
            }
        }
        if (code == 0)
            return 0;
        const uint8_t bits = static_cast<uint8_t>((code & 7) | (code >= 8 ? 8 : 0));
        DirectionGrid[static_cast<size_t>(cy) * MAP_MAX_COLUMNS + static_cast<size_t>(cx)] |= bits;
        ++PathLength;
        if (code & 1)
            --cy;
        if (code >= 8)
            ++cy;
        if (code & 2)
            --cx;
        if (code & 4)
            ++cx;
        value = DistanceAt(cx, cy);
        if (value == 0)
            return 1;
        // A grid not numbered by FindPath may hold equal values that a trace circles between.
        if (PathLength >= MAP_MAX_COLUMNS * MAP_MAX_ROWS)
            return 0;
    }
}
