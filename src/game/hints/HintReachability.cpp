#include "game/hints/HintReachability.h"

#include <algorithm>

#include "foundation/CLangTextTable.h"
#include "game/hints/HintContext.h"
#include "script/ScriptWork.h"

namespace {

constexpr uint32_t LOCATION_DISTRICT_ITSELF = 15;
// No trip in the model takes more steps than this (district 4 to district 10 takes six); a
// position outside the model ends its trip once the bound is reached.
constexpr int MAX_TRAVEL_STEPS = 16;
constexpr int MAX_LOCATION_STEPS = 8;

bool IsAcrossRailway(uint32_t district)
{
    return district >= 3 && district <= 5;
}

bool IsHillChain(uint32_t district)
{
    return district >= 7 && district <= 10;
}

void NextMorning(HintContext& context)
{
    context.Date = static_cast<uint16_t>(NextHintDate(context.Date));
    context.Time = 800;
}

// In the chain of districts 7 to 10 the day ends at 18:00.
void EndOfDayInHills(HintContext& context)
{
    if (context.Time > 1800)
        NextMorning(context);
}

// Waiting for the first train never turns the clock back.
void WaitForFirstTrain(HintContext& context)
{
    if (context.Time < 500)
        context.Time = 500;
}

void WaitForFirstTrainHome(HintContext& context)
{
    if (context.Time >= 1 && context.Time <= 499)
        context.Time = 500;
}

// Location 9 of district 1 opens at 11:00 and stays shut from 1 to 3 January.
void EnterLocation9(HintContext& context)
{
    if (context.Time > 1700) {
        context.Time = 1100;
        context.Date = static_cast<uint16_t>(NextHintDate(context.Date));
    }
    if (context.Date >= 1301 && context.Date <= 1303)
        context.Date = 1304;
}

void LegAtThePlace(HintContext& context)
{
    const uint32_t location = context.Location;
    if (IsAcrossRailway(context.District)) {
        if (location == 2)
            AdvanceClock(context, 15);
        else if (location >= 11 && location <= 13)
            AdvanceClock(context, 25);
        return;
    }
    if (location == 1) {
        AdvanceClock(context, 15);
    } else if (location >= 3 && location <= 7) {
        AdvanceClock(context, 20);
    } else if (location == 8 || location == 10) {
        AdvanceClock(context, 10);
    } else if (location == 9) {
        AdvanceClock(context, 20);
        EnterLocation9(context);
    } else if (location == 14) {
        AdvanceClock(context, 25);
    }
}

// One step from districts 0 to 2 (d = 1 and 2 always walk to the station).
void StepFromTownSide(HintContext& context, uint32_t target, uint32_t location, bool walk_to_station)
{
    if (!IsAcrossRailway(target)) {
        if (target < 6) {
            if (location != LOCATION_DISTRICT_ITSELF)
                AdvanceClock(context, 15);
            context.District = target;
        } else {
            AdvanceClock(context, 15);
            context.District = 6;
        }
        context.Location = 0;
        return;
    }
    if (walk_to_station)
        AdvanceClock(context, 15);
    WaitForFirstTrain(context);
    AdvanceClock(context, 30);
    context.District = 3;
    context.Location = 2;
}

void StepFromAcrossRailway(HintContext& context, uint32_t target, uint32_t location)
{
    if (!IsAcrossRailway(target)) {
        if (context.District != 3 || context.Location != 2)
            AdvanceClock(context, 15);
        WaitForFirstTrainHome(context);
        AdvanceClock(context, 30);
        context.District = 0;
        context.Location = 1;
        return;
    }
    if (location != LOCATION_DISTRICT_ITSELF)
        AdvanceClock(context, 15);
    context.District = target;
    context.Location = 0;
}

void TravelStep(HintContext& context, uint32_t target, uint32_t location)
{
    switch (context.District) {
    case 0:
        StepFromTownSide(context, target, location, context.Location != 1);
        break;
    case 1:
    case 2:
        if (context.District == 1 && context.Location == 8)
            AdvanceClock(context, 10);
        context.Location = 0;
        StepFromTownSide(context, target, location, true);
        break;
    case 3:
    case 4:
    case 5:
        StepFromAcrossRailway(context, target, location);
        break;
    case 6:
        if (target < 3) {
            AdvanceClock(context, 15);
            context.District = target;
            context.Location = location == 1 ? 1 : 0;
        } else if (IsAcrossRailway(target)) {
            AdvanceClock(context, 15);
            WaitForFirstTrain(context);
            AdvanceClock(context, 30);
            context.District = 3;
            context.Location = 2;
        } else {
            AdvanceClock(context, 10);
            if (context.Time < 800)
                context.Time = 800;
            else
                EndOfDayInHills(context);
            context.District = 7;
            context.Location = 0;
        }
        break;
    case 7:
        AdvanceClock(context, 10);
        EndOfDayInHills(context);
        if (target >= 7) {
            context.District = 8;
            context.Location = 0;
        } else {
            context.District = 6;
            context.Location = 3;
        }
        break;
    case 8:
    case 9:
    case 10: {
        context.Location = 0;
        AdvanceClock(context, 10);
        EndOfDayInHills(context);
        const uint32_t here = context.District;
        context.District = here < 10 && target >= here ? here + 1 : here - 1;
        break;
    }
    default:
        // A district outside the town: the trip finishes at no cost.
        context.District = target;
        context.Location = 0;
        break;
    }
}

bool LocationStepDistrict1(HintContext& context, uint32_t target)
{
    switch (context.Location) {
    case 0:
        AdvanceClock(context, 10);
        if (target == 9) {
            EnterLocation9(context);
            context.Location = 9;
        } else {
            context.Location = 10;
        }
        return true;
    case 8:
        AdvanceClock(context, 10);
        context.Location = 10;
        return true;
    case 9:
        if (target == 0) {
            AdvanceClock(context, 15);
            context.Location = 0;
        } else {
            AdvanceClock(context, 10);
            context.Location = 10;
        }
        return true;
    case 10:
        if (target == 9) {
            AdvanceClock(context, 10);
            EnterLocation9(context);
            context.Location = 9;
            return true;
        }
        if (target == 8) {
            context.Location = 8;
            return true;
        }
        if (target == 0) {
            AdvanceClock(context, 15);
            context.Location = 0;
            return true;
        }
        return false;
    default:
        return false;
    }
}

// One step towards the target location; false where the town has no way, which the caller ends
// at no cost.
bool LocationStep(HintContext& context, uint32_t target)
{
    switch (context.District) {
    case 0:
    case 3:
        if (target == 0)
            AdvanceClock(context, 15);
        context.Location = target;
        return true;
    case 2:
        if (target != 0)
            AdvanceClock(context, 10);
        context.Location = target;
        return true;
    case 5:
        if (target != 0) {
            AdvanceClock(context, 10);
            if (context.Time < 600)
                context.Time = 600;
        }
        context.Location = target;
        return true;
    case 4:
        if (target == 11 || target == 12) {
            AdvanceClock(context, 10);
            if (context.Time < 1000)
                context.Time = 1000;
            if (context.Time >= 2230) {
                context.Date = static_cast<uint16_t>(NextHintDate(context.Date));
                context.Time = 1000;
            }
        }
        context.Location = target;
        return true;
    case 1:
        return LocationStepDistrict1(context, target);
    case 6:
        AdvanceClock(context, 10);
        if (context.Location == 0)
            context.Location = 3;
        else if (context.Location == 7 || (target == 7 && context.Location != 6))
            context.Location = 6;
        else
            context.Location = target;
        return true;
    default:
        return false;
    }
}

CStringUTF8 NoFareNote(const HintContext& context)
{
    const CLangTextTable* texts = context.Texts;
    if (const ScriptWork* work = GetScriptWork(); texts == nullptr && work != nullptr)
        texts = work->m_system_language.get();
    return texts != nullptr ? texts->GetText(HINT_TEXT_NO_FARE) : CStringUTF8();
}

uint32_t SortInto(std::vector<FlagHintRecord>& list, std::vector<FlagHintRecord>& out, bool by_time)
{
    std::stable_sort(list.begin(), list.end(), [by_time](const FlagHintRecord& a, const FlagHintRecord& b) {
        const bool a_seen = a.Status == HINT_SEEN;
        const bool b_seen = b.Status == HINT_SEEN;
        if (a_seen != b_seen)
            return a_seen;
        if (a.FirstDate != b.FirstDate)
            return a.FirstDate < b.FirstDate;
        return by_time && a.EarliestTime < b.EarliestTime;
    });
    out.insert(out.end(), list.begin(), list.end());
    return static_cast<uint32_t>(list.size());
}

} // namespace

int32_t NextHintDate(int32_t date)
{
    return static_cast<uint16_t>(date - 1231) <= 68 ? 1301 : date + 1;
}

void AdvanceClockOf(int32_t& date, int32_t& time, int32_t minutes)
{
    int32_t m = minutes + time % 100;
    int32_t h = time / 100;
    if (m >= 60) {
        h += m / 60;
        m %= 60;
    }
    if (h >= 24) {
        const int32_t days = h / 24;
        h %= 24;
        for (int32_t day = 0; day < days; ++day)
            date = NextHintDate(date);
    }
    time = h * 100 + m;
}

void AdvanceClock(HintContext& context, int32_t minutes)
{
    int32_t date = context.Date;
    int32_t time = context.Time;
    AdvanceClockOf(date, time, minutes);
    context.Date = static_cast<uint16_t>(date);
    context.Time = static_cast<uint16_t>(time);
}

int32_t DayOfWeek(int32_t date)
{
    const int32_t k = date < 1300 ? date % 100 - 22 : date % 100 + 9;
    return (k % 7 + 7) % 7;
}

void SimulateLocationMove(HintContext& context, uint32_t location)
{
    if (location == context.Location || (location == LOCATION_DISTRICT_ITSELF && context.Location == 0)) {
        if (IsHillChain(context.District)) {
            if (location != LOCATION_DISTRICT_ITSELF)
                AdvanceClock(context, 10);
            if (context.Time >= 1801)
                NextMorning(context);
        }
        return;
    }
    for (int step = 0; step < MAX_LOCATION_STEPS && context.Location != location; ++step) {
        if (!LocationStep(context, location))
            break;
    }
    // Positions the town has no way between (district 1 at location 3, two places of the hills)
    // are joined at no cost.
    context.Location = location;
}

uint32_t SimulateTravel(HintContext& context, uint32_t district, uint32_t location)
{
    if (context.District == district) {
        if (context.Location == location && location != 0) {
            LegAtThePlace(context);
            if (context.Date >= HINT_LAST_DAY)
                return 1;
        } else if (context.Location == 0 && (location == 0 || location == LOCATION_DISTRICT_ITSELF)) {
            if (IsHillChain(context.District)) {
                if (location != LOCATION_DISTRICT_ITSELF)
                    AdvanceClock(context, 10);
                EndOfDayInHills(context);
            } else if (location != LOCATION_DISTRICT_ITSELF) {
                AdvanceClock(context, 15);
            }
            location = 0;
        }
    }
    if (context.District != district) {
        for (int step = 0; step < MAX_TRAVEL_STEPS && context.District != district; ++step)
            TravelStep(context, district, location);
        if (context.District != district) {
            context.District = district;
            context.Location = 0;
        }
    }
    SimulateLocationMove(context, location);
    return context.Date > HINT_LAST_DAY ? 1 : 0;
}

uint32_t CheckEventWindow(HintContext& context, FlagHintRecord& record)
{
    context.ReloadPosition();
    if (record.FirstDate == 0) {
        record.FirstDate = HINT_DATE_AFTER_END;
        record.EarliestTime = 800;
        record.LatestTime = -1;
        return 0;
    }
    record.Fare = IsAcrossRailway(context.District) != IsAcrossRailway(record.District) ? 3 : 0;
    if (context.Money < record.Fare * 100) {
        record.Note = NoFareNote(context);
        return 1;
    }
    if (record.FirstDate > HINT_LAST_DAY) {
        record.FirstDate = HINT_LAST_DAY;
        return 1;
    }
    if (record.FirstDate > context.Date)
        return 0;
    if (record.LastDate == -1 && record.FirstDate < context.Date)
        return 1;
    if (record.LastDate != -1 && record.LastDate < record.FirstDate)
        return 1;
    const uint32_t location = record.Location;
    if (location == LOCATION_DISTRICT_ITSELF)
        record.Location = 0;
    if (SimulateTravel(context, record.District, location) == 1)
        return 1;
    const int32_t time = context.Time;
    if (record.LastDate == -1 && record.FirstDate == context.Date) {
        if (record.EarliestTime > time)
            return 0;
        if (record.LatestTime != -1 && record.EarliestTime == time)
            return 0;
        if (record.LatestTime < time)
            return 1;
        record.EarliestTime = time;
        return 0;
    }
    if (record.FirstDate > context.Date || record.LastDate < context.Date)
        return 1;
    record.FirstDate = context.Date;
    if (record.EarliestTime > time)
        return 0;
    if (record.LatestTime != -1 && record.LatestTime >= time) {
        record.EarliestTime = time;
        return 0;
    }
    const int32_t tomorrow = NextHintDate(context.Date);
    if (record.LastDate < tomorrow)
        return 1;
    record.FirstDate = tomorrow;
    return 0;
}

uint32_t SortHintsByDate(std::vector<FlagHintRecord>& list, std::vector<FlagHintRecord>& out)
{
    return SortInto(list, out, false);
}

uint32_t SortHintsByDateTime(std::vector<FlagHintRecord>& list, std::vector<FlagHintRecord>& out)
{
    return SortInto(list, out, true);
}
