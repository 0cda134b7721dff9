// The clock of a presence question against a model that counts minutes since December 1.

#include <gtest/gtest.h>

#include "game/presence/CPresence.h"

namespace {

struct Moment
{
    int32_t Date;
    int32_t Time;
    int32_t Weekday;
};

// Day 0 is 1201; day 31 is 1301. Past 1331 the clock runs on into month 14 from day 0.
int32_t DayIndex(int32_t date)
{
    return date / 100 == 12 ? date % 100 - 1 : 31 + date % 100 - 1;
}

int32_t DateOf(int32_t index)
{
    if (index < 31)
        return 1201 + index;
    if (index < 62)
        return 1301 + index - 31;
    return 1400 + index - 62;
}

Moment ModelAdvance(Moment start, int32_t minutes)
{
    const int64_t total = static_cast<int64_t>(DayIndex(start.Date)) * 1440 + start.Time / 100 * 60 +
                          start.Time % 100 + minutes;
    const int32_t days = static_cast<int32_t>(total / 1440) - DayIndex(start.Date);
    const int32_t minute_of_day = static_cast<int32_t>(total % 1440);
    return Moment{DateOf(static_cast<int32_t>(total / 1440)), minute_of_day / 60 * 100 + minute_of_day % 60,
                  (start.Weekday + days) % 7};
}

Moment Advance(Moment start, uint32_t minutes)
{
    CPresence presence;
    presence.Date = static_cast<uint16_t>(start.Date);
    presence.Time = static_cast<uint16_t>(start.Time);
    presence.Weekday = static_cast<uint16_t>(start.Weekday);
    presence.AdvanceClock(minutes);
    return Moment{presence.Date, presence.Time, presence.Weekday};
}

std::vector<int32_t> CalendarDates()
{
    std::vector<int32_t> dates;
    for (int32_t day = 1; day <= 31; ++day) {
        dates.push_back(1200 + day);
        dates.push_back(1300 + day);
    }
    return dates;
}

} // namespace

TEST(CPresenceClock, AgreesWithTheMinuteModelOverTheCalendar)
{
    for (int32_t date : CalendarDates()) {
        // Every 7th minute of the day, so both the hour and the day boundaries are crossed.
        for (int32_t minute_of_day = 0; minute_of_day < 1440; minute_of_day += 7) {
            const Moment start{date, minute_of_day / 60 * 100 + minute_of_day % 60, date % 7};
            for (int32_t minutes = 0; minutes <= 120; ++minutes) {
                const Moment got = Advance(start, static_cast<uint32_t>(minutes));
                const Moment want = ModelAdvance(start, minutes);
                ASSERT_EQ(got.Date, want.Date) << date << " " << start.Time << " +" << minutes;
                ASSERT_EQ(got.Time, want.Time) << date << " " << start.Time << " +" << minutes;
                ASSERT_EQ(got.Weekday, want.Weekday) << date << " " << start.Time << " +" << minutes;
            }
        }
    }
}

TEST(CPresenceClock, CarriesAtTheEdges)
{
    struct Case
    {
        Moment Start;
        uint32_t Minutes;
        Moment Want;
    };
    const Case cases[] = {
        {{1224, 2350, 3}, 15, {1225, 5, 4}},    // midnight: next day and weekday
        {{1231, 2350, 6}, 15, {1301, 5, 0}},    // the year's end; weekday 6 wraps to 0
        {{1230, 2359, 2}, 1, {1231, 0, 3}},     //
        {{1301, 2355, 0}, 10, {1302, 5, 1}},    //
        {{1226, 1145, 5}, 15, {1226, 1200, 5}}, // the hour carries, the date does not
        {{1226, 1159, 5}, 1, {1226, 1200, 5}},  //
        {{1226, 1159, 5}, 0, {1226, 1159, 5}},  //
        // Outside the scenario's months the arithmetic runs on as it is.
        {{1130, 2350, 1}, 15, {1200, 5, 2}},
        {{1331, 2350, 1}, 15, {1400, 5, 2}},
    };
    for (const Case& c : cases) {
        const Moment got = Advance(c.Start, c.Minutes);
        EXPECT_EQ(got.Date, c.Want.Date) << c.Start.Date << " " << c.Start.Time;
        EXPECT_EQ(got.Time, c.Want.Time) << c.Start.Date << " " << c.Start.Time;
        EXPECT_EQ(got.Weekday, c.Want.Weekday) << c.Start.Date << " " << c.Start.Time;
    }
}

TEST(CPresenceClock, TimeAndDateWordsAgreeWithTheClock)
{
    for (int32_t date : CalendarDates()) {
        for (int32_t minute_of_day = 0; minute_of_day < 1440; minute_of_day += 13) {
            const int32_t time = minute_of_day / 60 * 100 + minute_of_day % 60;
            for (uint32_t minutes : {0u, 1u, 15u, 59u, 60u, 95u, 120u}) {
                const Moment want = Advance(Moment{date, time, 0}, minutes);
                int32_t date_word = date;
                int32_t time_word = time;
                AdvanceTimeAndDate(&date_word, &time_word, minutes);
                ASSERT_EQ(time_word, want.Time) << date << " " << time << " +" << minutes;
                ASSERT_EQ(date_word, want.Date) << date << " " << time << " +" << minutes;
            }
        }
    }
}

TEST(CPresenceClock, TimeAndDateWritesTheDateOnlyOnACarry)
{
    // A word that the day arithmetic would rewrite (99 mod 32 is 3) stays as it is without a carry.
    int32_t date = 9999;
    int32_t time = 1000;
    AdvanceTimeAndDate(&date, &time, 95);
    EXPECT_EQ(time, 1135);
    EXPECT_EQ(date, 9999);

    date = 1231;
    time = 2330;
    AdvanceTimeAndDate(&date, &time, 95);
    EXPECT_EQ(time, 105);
    EXPECT_EQ(date, 1301);
}
