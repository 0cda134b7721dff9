#include "screens/map/SubMapLayout.h"

namespace {

// Rows 0, 18 and 19 of the first table, row 1 of the second and rows 0 and 6 of the school's are
// fixed by the game; the others are laid out on a grid clear of them, on screen and sheet alike.
constexpr SubMapSpot FIRST_SPOTS[] = {
    {1302, 0, 837, 0, 370, 187, 0},      {450, 200, 0, 0, 150, 100, 1},
    {620, 200, 160, 0, 150, 100, 2},     {790, 200, 320, 0, 150, 100, 3},
    {960, 200, 480, 0, 150, 100, 4},     {1130, 200, 640, 0, 150, 100, 5},
    {450, 330, 0, 300, 150, 100, 6},     {620, 330, 160, 300, 150, 100, 7},
    {790, 330, 320, 300, 150, 100, 8},   {960, 330, 480, 300, 150, 100, 9},
    {1130, 330, 640, 300, 150, 100, 10}, {450, 460, 0, 600, 150, 100, 11},
    {620, 460, 160, 600, 150, 100, 12},  {790, 460, 320, 600, 150, 100, 13},
    {960, 460, 480, 600, 150, 100, 14},  {1130, 460, 640, 600, 150, 100, 15},
    {450, 590, 0, 900, 150, 100, 16},    {620, 590, 160, 900, 150, 100, 17},
    {37, 161, 1441, 0, 386, 328, 18},    {1551, 712, 1462, 2008, 186, 154, 19},
    {790, 590, 320, 900, 150, 100, 20},  {960, 590, 480, 900, 150, 100, 21},
};
constexpr SubMapSpot SECOND_SPOTS[] = {
    {100, 400, 0, 0, 200, 120, 0},     {1377, 0, 1396, 0, 428, 317, 1},   {360, 400, 210, 0, 200, 120, 2},
    {620, 400, 420, 0, 200, 120, 3},   {880, 400, 630, 0, 200, 120, 4},   {100, 600, 0, 360, 200, 120, 5},
    {360, 600, 210, 360, 200, 120, 6}, {620, 600, 420, 360, 200, 120, 7}, {880, 600, 630, 360, 200, 120, 8},
};
constexpr SubMapSpot SCHOOL_SPOTS[] = {
    {892, 998, 1648, 1208, 144, 76, -1},  {100, 100, 0, 0, 120, 80, -1},
    {300, 100, 130, 0, 120, 80, -1},      {500, 100, 260, 0, 120, 80, -1},
    {700, 100, 390, 0, 120, 80, -1},      {900, 100, 520, 0, 120, 80, -1},
    {1461, 836, 1232, 1721, 412, 144, 0}, {1100, 100, 650, 0, 120, 80, -1},
    {1300, 100, 780, 0, 120, 80, -1},     {1500, 100, 910, 0, 120, 80, -1},
    {100, 250, 0, 240, 120, 80, -1},      {300, 250, 130, 240, 120, 80, -1},
    {500, 250, 260, 240, 120, 80, -1},    {700, 250, 390, 240, 120, 80, -1},
    {900, 250, 520, 240, 120, 80, -1},    {1100, 250, 650, 240, 120, 80, -1},
    {1300, 250, 780, 240, 120, 80, 1},    {1500, 250, 910, 240, 120, 80, 2},
    {100, 400, 0, 480, 120, 80, 3},       {300, 400, 130, 480, 120, 80, 4},
    {500, 400, 260, 480, 120, 80, -1},    {700, 400, 390, 480, 120, 80, 5},
    {900, 400, 520, 480, 120, 80, -1},    {1100, 400, 650, 480, 120, 80, -1},
    {1300, 400, 780, 480, 120, 80, -1},   {1500, 400, 910, 480, 120, 80, -1},
};
// Each face stands in its spot's lower part, under the spot's name: a spot of several places
// shows their faces side by side, the large spots (0, 18, 19) in rows under their names.
constexpr SubMapPoint FIRST_FACES[] = {
    {1371, 9},  {453, 210}, {623, 210}, {793, 210}, {963, 210}, {1133, 210}, {453, 340}, {623, 340},
    {793, 340}, {922, 340}, {1133, 340}, {412, 470}, {623, 470}, {793, 470}, {963, 470}, {1133, 470},
    {453, 600}, {623, 600}, {30, 218},  {1572, 728}, {793, 600}, {912, 600}, {963, 600}, {1014, 600},
    {494, 470}, {130, 218}, {230, 218}, {230, 330}, {30, 330},  {1004, 340}, {130, 330},
};
constexpr SubMapPoint SECOND_FACES[] = {
    {901, 385},  {148, 700},  {294, 700},  {440, 700},  {586, 700},  {732, 700},  {878, 700},
    {1024, 700}, {1170, 700}, {1316, 700}, {1462, 700}, {1608, 700}, {1754, 700},
};
constexpr SubMapPoint SCHOOL_FACES[] = {
    {1608, 780}, {350, 560}, {600, 560}, {850, 560}, {1100, 560}, {1350, 560}, {854, 165},
};

constexpr int32_t FIRST_SPOT9[] = {9, 29};
constexpr int32_t FIRST_SPOT11[] = {11, 24};
constexpr int32_t FIRST_SPOT18[] = {18, 25, 26, 27, 28, 30};
constexpr int32_t FIRST_SPOT21[] = {21, 22, 23};
constexpr int32_t SECOND_SPOT2[] = {2, 9, 10};
constexpr int32_t SECOND_SPOT3[] = {3, 11};
constexpr int32_t SECOND_SPOT4[] = {12, 4};

const SubMapKindLayout FIRST{"quosla_sub.area",
                             "m_quosla_bg.akb",
                             "m_quosla_p.akb",
                             FIRST_SPOTS,
                             FIRST_FACES,
                             {{1747, 902}, {1441, 1312}, false},
                             1827,
                             3086};
const SubMapKindLayout SECOND{"tavrelin_sub.area",
                              "m_tavrelin_bg.akb",
                              "m_tavrelin_p.akb",
                              SECOND_SPOTS,
                              SECOND_FACES,
                              {{1747, 902}, {1107, 964}, false},
                              1824,
                              1438};
const SubMapKindLayout SCHOOL{"school_sub.area",
                              "m_school_bg.akb",
                              "m_school_p.akb",
                              SCHOOL_SPOTS,
                              SCHOOL_FACES,
                              {{1749, 922}, {1652, 576}, true},
                              1810,
                              2153};

} // namespace

const SubMapKindLayout& GetSubMapLayout(int32_t kind)
{
    if (kind == SUBMAP_KIND_FIRST)
        return FIRST;
    if (kind == SUBMAP_KIND_SECOND)
        return SECOND;
    return SCHOOL;
}

std::span<const int32_t> GetSubMapSpotPlaces(int32_t kind, int32_t spot)
{
    const std::span<const SubMapSpot> spots = GetSubMapLayout(kind).Spots;
    if (spot < 0 || static_cast<size_t>(spot) >= spots.size() || spots[static_cast<size_t>(spot)].Place < 0)
        return {};
    if (kind == SUBMAP_KIND_FIRST) {
        switch (spot) {
        case 9:
            return FIRST_SPOT9;
        case 11:
            return FIRST_SPOT11;
        case 18:
            return FIRST_SPOT18;
        case 21:
            return FIRST_SPOT21;
        }
    } else if (kind == SUBMAP_KIND_SECOND) {
        switch (spot) {
        case 2:
            return SECOND_SPOT2;
        case 3:
            return SECOND_SPOT3;
        case 4:
            return SECOND_SPOT4;
        }
    }
    return {&spots[static_cast<size_t>(spot)].Place, 1};
}
