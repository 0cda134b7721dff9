#include "game/hints/HeroineHints.h"

#include <span>

#include "game/hints/HintBuilder.h"
#include "game/hints/HintReachability.h"

namespace {

using enum NoteLegend;

// How a row's first day follows the present date: Fixed as written; Star (1222*): 1222, but 1225
// on 1224 and 1302 on 1301; Plus: as written, but 1302 on 1301.
enum class FirstRule : uint8_t
{
    Fixed,
    Star,
    Plus,
};

struct Heroine5Row
{
    FirstRule Rule;
    HintEventRow Row;
};

// The tables, one row a line as their columns stand.
// clang-format off
constexpr std::array<NoteStep, 3> STORY_THEN_TRIP{NOTE_A1, NOTE_T};
constexpr std::array<NoteStep, 3> STORY{NOTE_A1};
constexpr NoteStep NOTE_PUNISH{NoteWhen::Free, {Named, 5, "をこらしめる"}};
constexpr HintWindow ANY_DAY{1222, 1305, 800, 1800};
constexpr HintWindow NEW_YEAR{1302, 1305, 800, 1800};
constexpr HintWindow LATE_NEW_YEAR{1303, 1305, 800, 1800};

// Rule, then Id, Seen, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr Heroine5Row PART2_ROWS[] = {
    {FirstRule::Star, {"A1", 1377, 8022, {1222, 1305, 1000, 1600}, 0, 0, "38.mes", HouseOf(5), 200, STORY_THEN_TRIP}},
    {FirstRule::Star, {"A2", 1376, 8022, ANY_DAY, 6, 6, "07.mes", PlaceText("体育館裏"), 201, STORY_THEN_TRIP}},
};

constexpr Heroine5Row ROWS[] = {
    {FirstRule::Star, {"1", 1378, 8022, {1222, 1305, 800, 2200}, 6, 0, "01.mes", SCHOOL, 202, STORY_THEN_TRIP}},
    {FirstRule::Star, {"2", 1379, 8022, {1222, 1305, 800, 2355}, 0, 0, "14.mes", TOWN_PARK, 203, STORY_THEN_TRIP}},
    {FirstRule::Star, {"3", 1380, 8022, {1222, 1305, 800, 2355}, 0, 0, "36.mes", HOUSE_A, 204, STORY_THEN_TRIP}},
    {FirstRule::Star, {"4", 1382, 8022, {1222, 1305, 800, 2355}, 0, 0, "21.mes", PlaceText("旅行代理店"), 205, STORY_THEN_TRIP}},
    {FirstRule::Star, {"5", 1383, 8023, {1222, 1305, 800, 2355}, 0, 0, "14.mes", TOWN_PARK, 206, STORY_THEN_TRIP}},
    {FirstRule::Star, {"6", 1384, 8022, {1222, 1305, 800, 2400}, 0, 0, "31.mes", APARTMENT_B, 207, STORY_THEN_TRIP}},
    {FirstRule::Star, {"7", 1385, 8022, {1222, 1305, 800, 2400}, 0, 0, "15.mes", POND_PARK, 208, STORY_THEN_TRIP}},
    {FirstRule::Star, {"8", 1390, 8023, {1222, 1305, 1000, 1700}, 0, 0, "38.mes", HouseOf(5), 209, STORY_THEN_TRIP}},
    {FirstRule::Star, {"9", 1391, 8022, ANY_DAY, 0, 0, "61.mes", HouseOf(4), 210, STORY_THEN_TRIP}},
    {FirstRule::Star, {"10", 1392, 8023, ANY_DAY, 6, 6, "07.mes", PlaceText("体育館裏"), 211, STORY_THEN_TRIP}},
    {FirstRule::Star, {"11", 1393, 8022, ANY_DAY, 0, 0, "43.mes", HOUSE_D, 212, STORY_THEN_TRIP}},
    {FirstRule::Star, {"12", 1394, 8024, {1222, 1305, 800, 2400}, 0, 0, "38.mes", HouseOf(5), 213, STORY_THEN_TRIP}},
    {FirstRule::Star, {"13", 1395, 8022, {1222, 1305, 800, 2400}, 4, 0, "22.mes", STUDIO, 214, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"14", 1398, 8022, {1225, 1305, 1100, 2200}, 3, 0, "18.mes", PlaceText("ゲームセンター"), 215, {IfFreeText("※ゲーセンで遊ぶ"), NOTE_A1, NOTE_T}}},
    {FirstRule::Plus, {"15", 1400, 8022, {1226, 1305, 800, 1800}, 0, 0, "34.mes", HouseOf(7), 216, {IfFreeText("※教えてあげない"), NOTE_A1, NOTE_T}}},
    {FirstRule::Plus, {"16", 1401, 8022, {1226, 1305, 800, 1800}, 0, 0, "35.mes", HouseOf(2), 217, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"17", 1402, 8024, {1226, 1305, 800, 1800}, 0, 0, "14.mes", TOWN_PARK, 218, STORY}},
    {FirstRule::Plus, {"18", 1403, 8022, {1226, 1305, 800, 1800}, 0, 0, "51.mes", BEACH, 219, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"19", 1404, 8023, {1226, 1305, 800, 1800}, 0, 0, "35.mes", HouseOf(2), 220, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"20", 1406, 8022, {1227, 1305, 800, 1800}, 0, 0, "27.mes", PlaceText("コンビニ"), 221, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"21", 1407, 8023, {1227, 1305, 800, 1800}, 0, 0, "15.mes", POND_PARK, 222, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"22", 1408, 8022, {1227, 1305, 800, 1800}, 0, 0, "33.mes", HouseOf(3), 223, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"23", 1409, 8025, {1227, 1305, 1000, 1800}, 0, 0, "38.mes", HouseOf(5), 224, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"24", 1410, 8022, {1227, 1305, 800, 1800}, 0, 0, "37.mes", HOUSE_B, 225, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"25", 1411, 8022, {1227, 1305, 800, 1800}, 0, 0, "26.mes", PlaceText("マンション"), 226, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"26", 1412, 8022, {1227, 1305, 800, 1800}, 0, 0, "42.mes", HouseOf(1), 227, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"27", 1441, 8023, {1229, 1305, 800, 1800}, 0, 0, "31.mes", APARTMENT_B, 228, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"28", 1442, 8022, {1229, 1305, 800, 1800}, 0, 0, "29.mes", PlaceText("テニスコート"), 229, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"29", 1443, 8023, {1229, 1305, 800, 1800}, 0, 0, "43.mes", HOUSE_D, 230, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"30", 1444, 8023, {1229, 1305, 800, 1800}, 0, 0, "37.mes", HOUSE_B, 231, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"31", 1445, 8023, {1230, 1305, 800, 1800}, 0, 0, "33.mes", HouseOf(3), 232, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"32", 1446, 8023, {1230, 1305, 800, 1800}, 0, 0, "51.mes", BEACH, 233, STORY_THEN_TRIP}},
    {FirstRule::Plus, {"33", 1447, 8024, {1230, 1305, 800, 1800}, 0, 0, "35.mes", HouseOf(2), 234, STORY_THEN_TRIP}},
    {FirstRule::Fixed, {"34", 1458, 8023, NEW_YEAR, 0, 0, "26.mes", PlaceText("マンション"), 235, STORY}},
    {FirstRule::Fixed, {"35", 1460, 8024, NEW_YEAR, 0, 0, "37.mes", HOUSE_B, 236, STORY}},
    {FirstRule::Fixed, {"36", 1461, 8024, NEW_YEAR, 0, 0, "33.mes", HouseOf(3), 237, STORY}},
    {FirstRule::Fixed, {"37", 1462, 8023, LATE_NEW_YEAR, 0, 0, "36.mes", HOUSE_A, 238, STORY}},
    {FirstRule::Fixed, {"38", 1463, 8026, LATE_NEW_YEAR, 0, 0, "38.mes", HouseOf(5), 239, STORY}},
    {FirstRule::Fixed, {"39", 1464, 8023, LATE_NEW_YEAR, 0, 0, "61.mes", HouseOf(4), 240, STORY}},
    {FirstRule::Fixed, {"40", 1465, 8023, LATE_NEW_YEAR, 0, 0, "34.mes", HouseOf(7), 241, STORY}},
    {FirstRule::Fixed, {"41", 1466, 8025, LATE_NEW_YEAR, 0, 0, "33.mes", HouseOf(3), 242, STORY}},
};
constexpr HintEventRow R42{"42", 1467, 8024, LATE_NEW_YEAR, 0, 0, "31.mes", APARTMENT_B, 243, STORY};
constexpr HintEventRow R43{"43", 1470, 8022, {1303, 1305, 1800, 2100}, 0, 0, "40.mes", MY_ROOM, 244, {IfFreeText("※相談に乗るぞ"), NOTE_A1}};
constexpr HintEventRow R44{"44", 1481, 8027, {0, -1, 1800, 2355}, 0, 0, "38.mes", HouseOf(5), 245, {NOTE_PUNISH, NOTE_A1}};
constexpr HintEventRow R45{"45", 0, 8060, {0, -1, 0, 2355}, 1, 8, "40.mes", MY_ROOM, NO_SLOT, {}};
// clang-format on

HintWindow FirstDay(const HintContext& context, const Heroine5Row& row)
{
    HintWindow window = row.Row.Window;
    if (row.Rule == FirstRule::Star && context.Date == 1224)
        window.FirstDate = 1225;
    if (row.Rule != FirstRule::Fixed && context.Date == 1301)
        window.FirstDate = 1302;
    return window;
}

void ListRows(HintBuilder& builder, std::span<const Heroine5Row> rows, std::vector<FlagHintRecord>& out)
{
    for (const Heroine5Row& row : rows) {
        const HintWindow window = FirstDay(builder.Context, row);
        builder.List(row.Row, out, {.Window = &window});
    }
}

} // namespace

uint32_t BuildHeroineHints05Part2(HintContext& context, std::vector<FlagHintRecord>& out)
{
    HintBuilder builder(context);
    for (const size_t flag : {size_t{2053}, size_t{1477}, size_t{1482}, size_t{1082}, FLAG_HOT_SPRING_TRIP,
                              FLAG_HEROINE1_STORY}) {
        if (builder.IsSet(flag))
            builder.Latch = 1;
    }
    if (context.Date == 1305 && context.Time >= 1800 && builder.Flag(1467) == 0)
        builder.Latch = 1;
    if (context.Date >= 1306 && builder.Flag(1470) == 0)
        builder.Latch = 1;
    ListRows(builder, PART2_ROWS, out);
    return builder.Latch;
}

void BuildHeroineHints05(HintContext& context, std::vector<FlagHintRecord>& out)
{
    std::vector<FlagHintRecord> first;
    HintBuilder builder(context, BuildHeroineHints05Part2(context, first));
    SortHintsByDate(first, out);
    ListRows(builder, ROWS, out);

    builder.List(R42, out, {.SetSeen = false});
    if (builder.IsSet(1467) && builder.Flag(964) < 11)
        builder.Latch = 1;
    const int32_t day = builder.List(R43, out).Record.FirstDate;
    const HintWindow window{day, -1, R44.Window.EarliestTime, R44.Window.LatestTime};
    builder.List(R44, out, {.Window = &window, .SetSeen = false});

    FlagHintRecord& last = builder.List(R45, out).Record;
    if (!builder.IsMissed()) {
        last.Note = builder.NoteText({C, 5});
        if (builder.Flag(1481) == 0) {
            last.Status = HINT_MISSED;
            last.Note = builder.NoteText({M, 5});
        }
    }
}
