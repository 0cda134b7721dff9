#include "game/hints/HintReachability.h"

#include "HintTestFixture.h"

namespace {

class HintReachabilityTest : public HintTest
{
protected:
    // A context standing at the place and moment.
    HintContext At(int32_t date, int32_t time, uint8_t district, uint8_t location, int32_t money = 10'000)
    {
        SetHintMoment(m_state, date, time, district, location);
        m_state.SetMoney(money);
        return LoadedContext();
    }
};

FlagHintRecord Event(int32_t first, int32_t last, int32_t earliest, int32_t latest, uint32_t district,
                     uint32_t location)
{
    FlagHintRecord record;
    record.Reset(8010);
    record.FirstDate = first;
    record.LastDate = last;
    record.EarliestTime = earliest;
    record.LatestTime = latest;
    record.District = district;
    record.Location = location;
    return record;
}

TEST_F(HintReachabilityTest, ClockCarriesIntoTheNextDayAndYear)
{
    HintContext context = At(1231, 2345, 0, 0);
    AdvanceClock(context, 30);
    EXPECT_EQ(context.Date, 1301);
    EXPECT_EQ(context.Time, 15);

    int32_t date = 1227;
    int32_t time = 2330;
    AdvanceClockOf(date, time, 24 * 60 + 95); // a day and 95 minutes
    EXPECT_EQ(date, 1229);
    EXPECT_EQ(time, 105);
    EXPECT_EQ(NextHintDate(1299), 1301);
    EXPECT_EQ(NextHintDate(1306), 1307);
}

TEST_F(HintReachabilityTest, DayOfWeekCountsFromTheFirstDay)
{
    EXPECT_EQ(DayOfWeek(1222), 0);
    EXPECT_EQ(DayOfWeek(1231), 2);
    EXPECT_EQ(DayOfWeek(1301), 3);
    EXPECT_EQ(DayOfWeek(1306), 1);
    EXPECT_EQ(DayOfWeek(1201), 0); // before play: still a weekday index
    EXPECT_EQ(DayOfWeek(1220), 5);
}

struct Trip
{
    const char* name;
    int32_t date, time;
    uint8_t district, location;
    uint32_t to_district, to_location;
    int32_t arrival_date, arrival_time;
    uint32_t after_last_day;
};

TEST_F(HintReachabilityTest, TripsTakeTheTownsTimes)
{
    const Trip trips[] = {
        {"first train from the street", 1225, 400, 0, 0, 4, 0, 1225, 545, 0},
        {"first train from the station", 1225, 400, 0, 1, 4, 0, 1225, 545, 0},
        {"waiting never turns the clock back", 1225, 510, 0, 0, 4, 0, 1225, 610, 0},
        {"hills close at six", 1225, 1830, 6, 0, 7, 0, 1226, 810, 0},
        {"house opens at eleven", 1225, 1655, 1, 0, 1, 9, 1226, 1100, 0},
        {"house shut on new year", 1231, 1730, 1, 0, 1, 9, 1304, 1100, 0},
        {"train home, then to the street", 1225, 1000, 3, 2, 0, 0, 1225, 1045, 0},
        {"hills and back", 1225, 1000, 10, 0, 2, 0, 1225, 1055, 0},
        {"past the last day, first train", 1306, 2350, 4, 0, 0, 0, 1307, 545, 1},
        {"staying at the place", 1305, 1000, 1, 8, 1, 8, 1305, 1010, 0},
        {"staying on the last day", 1306, 1000, 1, 8, 1, 8, 1306, 1010, 1},
        // Positions no rule of the town knows end their trip at no cost, and every trip ends.
        {"district 1 at location 3", 1225, 1000, 1, 3, 1, 0, 1225, 1000, 0},
        {"district 1 location 10 to 3", 1225, 1000, 1, 10, 1, 3, 1225, 1000, 0},
        {"between places of the hills", 1225, 1000, 8, 2, 8, 5, 1225, 1000, 0},
        {"a district above 10", 1225, 1000, 200, 7, 0, 0, 1225, 1000, 0},
        {"towards a district above 10", 1225, 1000, 7, 0, 11, 0, 1225, -1, 0},
    };
    for (const Trip& trip : trips) {
        SCOPED_TRACE(trip.name);
        HintContext context = At(trip.date, trip.time, trip.district, trip.location);
        EXPECT_EQ(SimulateTravel(context, trip.to_district, trip.to_location), trip.after_last_day);
        EXPECT_EQ(context.Date, trip.arrival_date);
        if (trip.arrival_time != -1) {
            EXPECT_EQ(context.Time, trip.arrival_time);
        }
        EXPECT_EQ(context.District, trip.to_district);
        EXPECT_EQ(context.Location, trip.to_location);
    }
}

TEST_F(HintReachabilityTest, FareNeedsThreeHundredMoney)
{
    for (const int32_t money : {299, 300, -5, 65'536 + 100}) {
        SCOPED_TRACE(money);
        HintContext context = At(1225, 800, 0, 0, money);
        FlagHintRecord record = Event(1225, 1226, 1000, 1800, 4, 0);
        const uint32_t missed = CheckEventWindow(context, record);
        EXPECT_EQ(record.Fare, 3u);
        // A larger or negative amount is clamped, never cut to a small one.
        const bool affordable = money >= 300;
        EXPECT_EQ(missed, affordable ? 0u : 1u);
        EXPECT_EQ(record.Note == NO_FARE_TEXT, !affordable);
    }
    HintContext context = At(1225, 800, 3, 0, 0);
    FlagHintRecord record = Event(1225, 1226, 1000, 1800, 4, 0);
    EXPECT_EQ(CheckEventWindow(context, record), 0u);
    EXPECT_EQ(record.Fare, 0u);
}

struct Window
{
    const char* name;
    int32_t time; // the player starts at district 0, location 0, on 1225
    FlagHintRecord record;
    uint32_t missed;
    int32_t first_date, earliest_time;
};

TEST_F(HintReachabilityTest, WindowsOnBothSidesOfTheirEdges)
{
    // From district 0 location 0 to location 1 costs nothing; to location 0 costs 15 minutes.
    const Window windows[] = {
        {"single day, arrival before", 1144, Event(1225, -1, 1200, -1, 0, 0), 0, 1225, 1200},
        {"single day, arrival at the start", 1145, Event(1225, -1, 1200, -1, 0, 0), 1, 1225, 1200},
        {"single day window, arrival at start", 1145, Event(1225, -1, 1200, 1300, 0, 0), 0, 1225, 1200},
        {"single day window, inside", 1200, Event(1225, -1, 1200, 1300, 0, 0), 0, 1225, 1215},
        {"single day window, at its end", 1245, Event(1225, -1, 1200, 1300, 0, 0), 0, 1225, 1300},
        {"single day window, after", 1246, Event(1225, -1, 1200, 1300, 0, 0), 1, 1225, 1200},
        {"single day already gone", 800, Event(1224, -1, 1200, 1300, 0, 0), 1, 1224, 1200},
        {"not begun", 800, Event(1226, -1, 1200, 1300, 0, 0), 0, 1226, 1200},
        {"several days, today", 900, Event(1224, 1226, 1000, 1800, 0, 0), 0, 1225, 1000},
        {"several days, inside today", 1100, Event(1224, 1226, 1000, 1800, 0, 0), 0, 1225, 1115},
        {"several days, to tomorrow", 1800, Event(1224, 1226, 1000, 1800, 0, 0), 0, 1226, 1000},
        {"several days, last day passed", 1800, Event(1224, 1225, 1000, 1800, 0, 0), 1, 1225, 1000},
        {"undated", 800, Event(0, -1, 0, 2359, 1, 8), 0, 1307, 800},
        {"beyond the last day", 800, Event(1310, -1, 1000, 1200, 0, 0), 1, 1306, 1000},
        {"last before first", 800, Event(1224, 1223, 1000, 1200, 0, 0), 1, 1224, 1000},
        {"last before first, on its first day", 800, Event(1225, 1224, 1000, 1200, 0, 0), 1, 1225, 1000},
        {"last before first, ahead", 800, Event(1230, 1229, 1000, 1200, 0, 0), 0, 1230, 1000},
    };
    for (const Window& window : windows) {
        SCOPED_TRACE(window.name);
        HintContext context = At(1225, window.time, 0, 0);
        FlagHintRecord record = window.record;
        EXPECT_EQ(CheckEventWindow(context, record), window.missed);
        EXPECT_EQ(record.FirstDate, window.first_date);
        EXPECT_EQ(record.EarliestTime, window.earliest_time);
    }
}

TEST_F(HintReachabilityTest, EachEventIsTriedFromThePresent)
{
    HintContext context = At(1225, 800, 0, 0);
    context.District = 10;
    context.Time = 2300;
    FlagHintRecord record = Event(1225, -1, 900, 1000, 0, 0);
    EXPECT_EQ(CheckEventWindow(context, record), 0u);
    EXPECT_EQ(context.Time, 815);
    EXPECT_EQ(record.Location, 0u);
    FlagHintRecord district = Event(1225, -1, 900, 1000, 1, 15);
    EXPECT_EQ(CheckEventWindow(context, district), 0u);
    EXPECT_EQ(district.Location, 0u); // 15: the district itself
}

TEST_F(HintReachabilityTest, SortsKeepEqualRecordsInOrder)
{
    auto record = [](int32_t date, int32_t time, uint32_t status, uint32_t code) {
        FlagHintRecord r;
        r.FirstDate = date;
        r.EarliestTime = time;
        r.Status = status;
        r.Code = code;
        return r;
    };
    std::vector<FlagHintRecord> list = {record(1230, 900, HINT_POSSIBLE, 1), record(1302, 900, HINT_SEEN, 2),
                                        record(1228, 900, HINT_MISSED, 3)};
    std::vector<FlagHintRecord> out = {record(1, 1, HINT_SEEN, 0)};
    EXPECT_EQ(SortHintsByDate(list, out), 3u);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[1].Code, 2u);
    EXPECT_EQ(out[2].Code, 3u);
    EXPECT_EQ(out[3].Code, 1u);

    std::vector<FlagHintRecord> equal = {
        record(1225, 1400, HINT_POSSIBLE, 1), record(1225, 1200, HINT_POSSIBLE, 2),
        record(1225, 1400, HINT_POSSIBLE, 3), record(1225, 1200, HINT_POSSIBLE, 4)};
    std::vector<FlagHintRecord> copy = equal;
    std::vector<FlagHintRecord> by_date;
    SortHintsByDate(copy, by_date);
    for (size_t k = 0; k < 4; ++k)
        EXPECT_EQ(by_date[k].Code, k + 1);
    std::vector<FlagHintRecord> by_time;
    SortHintsByDateTime(equal, by_time);
    const uint32_t expected[] = {2, 4, 1, 3};
    for (size_t k = 0; k < 4; ++k)
        EXPECT_EQ(by_time[k].Code, expected[k]);
}

} // namespace
