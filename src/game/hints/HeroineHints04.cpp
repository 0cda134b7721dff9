#include "game/hints/HeroineHints.h"

#include <algorithm>

#include "game/hints/HintBuilder.h"
#include "game/hints/HintReachability.h"

namespace {

using enum NoteLegend;

// The tables, one row a line as their columns stand.
// clang-format off
constexpr std::array<NoteStep, 3> TRIP_THEN_STORY{NOTE_T, NOTE_A1};
constexpr NoteStep NOTE_DATE4{NoteWhen::Free, {Named, 4, "をデートに誘う", "よかったと言う→"}};

// Id, Seen, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr HintEventRow R1{"1", 632, 8036, {1222, 1228, 700, 1600}, 6, 0, "01.mes", SCHOOL, 380, TRIP_THEN_STORY};
constexpr HintEventRow R2{"2", 635, 8036, {0, 1228, 900, 1600}, 9, 15, "gakko3.mes", PlaceText("３－Ｂ"), 273, {IfFreeText("※花瓶の破片を「取る」"), NOTE_T, NOTE_A1}};
constexpr HintEventRow R3{"3", 208, 8036, {0, 1228, 950, 1800}, 2, 14, "28.mes", PlaceText("コンビニ店内"), 274, TRIP_THEN_STORY};
constexpr HintEventRow R4{"4", 658, 8061, {0, 1228, 1500, 1800}, 6, 0, "01.mes", SCHOOL, 381, TRIP_THEN_STORY};
constexpr HintEventRow R5{"5", 681, 8036, {1229, -1, 1035, 1130}, 6, 3, "05.mes", PlaceText("校庭"), 382, {IfFreeText("※ネット裏に行ってみる"), NOTE_T, NOTE_A1}};
constexpr HintEventRow R6{"6", 686, 8036, {1229, -1, 1300, 1630}, 0, 0, "15.mes", POND_PARK, 275, {NOTE_DATE4, NOTE_T, NOTE_A1}};
constexpr HintEventRow R7{"7", 699, 8036, {1304, -1, 0, 0}, 0, 0, "", PlaceText(""), 276, TRIP_THEN_STORY};
constexpr HintEventRow R8{"8", 763, 8036, {1305, -1, 1000, 1200}, 3, 2, "17.mes", SECOND_STATION, 277, {IfFreeText("※絶対に許さない"), NOTE_T, NOTE_A1}};
constexpr HintEventRow R9{"9", 2056, 8036, {1305, 1306, 800, 1600}, 9, 0, "02.mes", PlaceText("３－Ｂ"), 278, {IfFreeText("※まだ怒ってるぞ→もっとＨな事をする"), NOTE_T, NOTE_A1}};
constexpr HintEventRow R10{"10", 0, 8060, {0, -1, 0, 2355}, 1, 8, "40.mes", MY_ROOM, NO_SLOT, {}};

// Record 4 falls back to the evening at home; record 7 tries three places in turn.
constexpr HintEventRow R4_HOME{"4", 658, 8061, {0, 1228, 1800, 2200}, 1, 0, "39.mes", MY_HOUSE, 381, TRIP_THEN_STORY};
struct Alternative
{
    uint32_t District, Location;
    int32_t EarliestTime, LatestTime;
    HintPlace Place;
    const char* Scene;
};
constexpr Alternative R7_ALTERNATIVES[] = {
    {0, 0, 700, 930, MY_HOUSE, "39.mes"},
    {2, 14, 950, 1800, PlaceText("コンビニ店内"), "28b.mes"},
    {0, 0, 1805, 2258, MY_HOUSE, "39.mes"},
};
// clang-format on

constexpr size_t MOOD_HEROINE4 = 960;

// Lists an unseen record as its rule left it: status from the latch, place, notes, scene.
void Append(HintBuilder& builder, FlagHintRecord& record, const HintEventRow& row,
            std::vector<FlagHintRecord>& out, bool set_seen = true)
{
    record.Status = builder.StatusOfLatch();
    builder.Finish(record, row);
    out.push_back(record);
    if (set_seen)
        builder.Context.SetFlag(row.Seen, 1);
}

bool IsSeen(const HintBuilder& builder, const HintEventRow& row)
{
    return builder.Flag(row.Seen) == 1;
}

// Records 2 and 3 try each day from the present date on until the weekday suits them.
void TryDays(HintBuilder& builder, const HintEventRow& row, bool want_first_weekday,
             std::vector<FlagHintRecord>& out)
{
    FlagHintRecord record;
    for (int32_t day = builder.Context.Date;; day = NextHintDate(day)) {
        record =
            builder.Prepare(row, {day, row.Window.LastDate, row.Window.EarliestTime, row.Window.LatestTime});
        if (CheckEventWindow(builder.Context, record) != 0 || day >= 1229)
            builder.Latch = 1;
        if (builder.IsMissed() || (DayOfWeek(record.FirstDate) == 0) == want_first_weekday)
            break;
    }
    if (!want_first_weekday && CheckEventWindow(builder.Context, record) != 0)
        builder.Latch = 1;
    Append(builder, record, row, out);
}

} // namespace

void BuildHeroineHints04(HintContext& context, std::vector<FlagHintRecord>& out)
{
    HintBuilder builder(context);
    builder.Latch = builder.IsSet(784) || builder.IsSet(701) || builder.IsSet(FLAG_HOT_SPRING_TRIP) ||
                    builder.IsSet(FLAG_HEROINE1_STORY) ||
                    (builder.IsSet(686) && !(builder.IsSet(208) && builder.IsSet(635)));

    // Record 1: the first school day, a weekday-0 morning from 9:00 or another morning up to 9:30.
    int32_t school_day = 0;
    if (IsSeen(builder, R1)) {
        school_day = builder.List(R1, out).Record.FirstDate;
    } else {
        FlagHintRecord record;
        for (int32_t day = 1222;;) {
            record = builder.Prepare(R1, {day, 1228, 700, 1600});
            if (CheckEventWindow(context, record) != 0)
                builder.Latch = 1;
            if (builder.IsMissed())
                break;
            if (DayOfWeek(record.FirstDate) == 0) {
                if (record.EarliestTime < 900)
                    record.EarliestTime = 900;
                break;
            }
            if (record.EarliestTime <= 930) {
                record.LatestTime = 930;
                break;
            }
            day = NextHintDate(day);
            if (day >= 1229) {
                builder.Latch = 1;
                break;
            }
        }
        school_day = record.FirstDate;
        Append(builder, record, R1, out);
    }

    if (IsSeen(builder, R2))
        builder.List(R2, out);
    else
        TryDays(builder, R2, true, out);
    if (IsSeen(builder, R3))
        builder.List(R3, out);
    else
        TryDays(builder, R3, false, out);

    // Record 4: the school afternoon of record 1's day, or else the evening at home.
    if (IsSeen(builder, R4)) {
        builder.List(R4, out, {.SceneWhenSeen = false});
    } else {
        if (school_day >= 1229)
            builder.Latch = 1;
        const int32_t first = std::max(school_day, 1225);
        FlagHintRecord record = builder.Prepare(R4, {first, 1228, 1500, 1800});
        const HintEventRow* row = &R4;
        if (CheckEventWindow(context, record) != 0) {
            row = &R4_HOME;
            record.EarliestTime = R4_HOME.Window.EarliestTime;
            record.LatestTime = R4_HOME.Window.LatestTime;
            record.District = R4_HOME.District;
            if (CheckEventWindow(context, record) != 0)
                builder.Latch = 1;
        }
        Append(builder, record, *row, out);
    }

    builder.List(R5, out);
    builder.List(R6, out);

    // Record 7: the first of three places that can still be reached.
    if (IsSeen(builder, R7)) {
        builder.List(R7, out, {.SceneWhenSeen = false});
    } else {
        FlagHintRecord record = builder.Prepare(R7, R7.Window);
        HintEventRow row = R7;
        bool passed = false;
        for (const Alternative& alternative : R7_ALTERNATIVES) {
            record.District = alternative.District;
            record.Location = alternative.Location;
            record.EarliestTime = alternative.EarliestTime;
            record.LatestTime = alternative.LatestTime;
            row.Place = alternative.Place;
            row.Scene = alternative.Scene;
            passed = CheckEventWindow(context, record) == 0 && !builder.IsMissed();
            if (passed)
                break;
        }
        if (!passed)
            builder.Latch = 1;
        Append(builder, record, row, out);
    }

    builder.List(R8, out);
    if (builder.Flag(795) == 0 && builder.Flag(786) == 1)
        builder.Latch = 1;
    builder.List(R9, out);

    builder.FinishConfession(builder.List(R10, out).Record, {K, 4}, 4,
                             builder.Flag(MOOD_HEROINE4) < HINT_MOOD_NEEDED);
}
