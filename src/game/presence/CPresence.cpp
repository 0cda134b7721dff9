#include "game/presence/CPresence.h"

#include "foundation/GameDocument.h"
#include "game/presence/PresenceRules.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"

using namespace presence;

namespace {

constexpr uint32_t SCHOOL_BASE_TRAVEL = 10;
constexpr uint32_t SCHOOL_TRAVEL_PER_FLOOR = 10;
constexpr uint32_t SCHOOL_PLACE_6 = 6;
constexpr uint32_t SCHOOL_PLACE_WITHOUT_RULE = 3;

// Floors of the school's places; any other place counts as floor 0.
uint32_t SchoolFloor(uint32_t place)
{
    if (place <= 1)
        return 2;
    if (place <= 5)
        return 4;
    if (place == 6)
        return 5;
    return 0;
}

template <typename T>
bool CompareWith(T left, Compare op, T right)
{
    switch (op) {
    case Compare::Equal:
        return left == right;
    case Compare::NotEqual:
        return left != right;
    case Compare::Less:
        return left < right;
    case Compare::LessEqual:
        return left <= right;
    case Compare::Greater:
        return left > right;
    case Compare::GreaterEqual:
        return left >= right;
    }
    return false;
}

} // namespace

void AdvanceTimeAndDate(int32_t* date, int32_t* time, uint32_t minutes)
{
    // 64-bit intermediates keep extreme stored words from overflowing; the words are truncated
    // back to 32 bits as the sums would have been.
    const int64_t h = *time / 100;
    const int64_t total = static_cast<int64_t>(minutes) + *time % 100;
    const int64_t carry = total / 60;
    const int64_t new_time = h * 100 + total + 40 * carry;
    const int64_t hours = new_time / 100;
    if (hours <= 23) {
        *time = static_cast<int32_t>(new_time);
        return;
    }
    const int64_t days = hours / 24;
    const int64_t month = *date / 100;
    const int64_t day = *date % 100 + days;
    const int64_t limit = month == 11 ? 31 : 32;
    int64_t new_date = (month + day / limit) * 100 + day % limit;
    if (new_date == 1300)
        new_date = 1301;
    *time = static_cast<int32_t>((hours - 24 * days) * 100 + new_time % 100);
    *date = static_cast<int32_t>(new_date);
}

void CPresence::Fill(const FlagBuffer* state)
{
    State = state;
    const GameStateReader reader(state);
    Time = static_cast<uint16_t>(reader.Value(VALUE_GAME_TIME));
    Date = static_cast<uint16_t>(reader.Value(VALUE_GAME_DATE));
    Weekday = static_cast<uint16_t>(reader.Value(VALUE_WEEKDAY));
}

void CPresence::AdvanceClock(uint32_t minutes)
{
    const uint32_t h = Time / 100u;
    const uint32_t total = minutes + Time % 100u;
    const uint32_t carry = total / 60u;
    Time = static_cast<uint16_t>(h * 100u + total + 40u * carry);
    const uint32_t hours = Time / 100u;
    if (hours <= 23)
        return;
    const uint32_t days = hours / 24u;
    Weekday = static_cast<uint16_t>(Weekday + days);
    if (Weekday > 6)
        Weekday = static_cast<uint16_t>(Weekday % 7u);
    const uint32_t month = Date / 100u;
    const uint32_t day = Date % 100u + days;
    const uint32_t limit = month == 11 ? 31u : 32u;
    Date = static_cast<uint16_t>((month + day / limit) * 100u + day % limit);
    Time = static_cast<uint16_t>((hours - 24u * days) * 100u + Time % 100u);
    if (Date == 1300)
        Date = 1301;
}

CharacterIndex CPresence::WhoIsAtTownPlace(uint32_t place)
{
    Fill(GetScriptState().m_current_state.get());
    AdvanceClock(TOWN_TRAVEL_MINUTES);
    if (place >= TOWN_PLACE_COUNT)
        return PRESENCE_NOBODY;
    if (place == 24)
        return RunRules(TownPlace24Rules());
    return TownPlaceRule(place);
}

CharacterIndex CPresence::WhoIsAtSubmapPlace(uint32_t place)
{
    Fill(GetScriptState().m_current_state.get());
    AdvanceClock(SUBMAP_TRAVEL_MINUTES);
    if (place >= SUBMAP_PLACE_COUNT)
        return PRESENCE_NOBODY;
    if (place == 12)
        return RunRules(SubmapPlace12Rules());
    return SubmapPlaceRule(place);
}

CharacterIndex CPresence::WhoIsAtSchoolPlace(uint32_t currentFloor, uint32_t place)
{
    Fill(GetScriptState().m_current_state.get());
    const uint32_t floor = SchoolFloor(place);
    const uint32_t distance = currentFloor > floor ? currentFloor - floor : floor - currentFloor;
    AdvanceClock(SCHOOL_BASE_TRAVEL + SCHOOL_TRAVEL_PER_FLOOR * distance);
    if (place == SCHOOL_PLACE_WITHOUT_RULE || place >= SCHOOL_PLACE_COUNT)
        return PRESENCE_NOBODY;
    if (place == SCHOOL_PLACE_6)
        return WhoIsAtSchoolPlace6();
    return SchoolPlaceRule(place);
}

CharacterIndex CPresence::WhoIsAtSchoolPlace6()
{
    return RunRules(SchoolPlaceRules(SCHOOL_PLACE_6));
}

CharacterIndex CPresence::PickPairedCharacter()
{
    return RunRules(PairedCharacterRules());
}

CharacterIndex CPresence::TownPlaceRule(uint32_t place)
{
    const TownPlaceLists lists = TownPlaceRules(place);
    return RunRules(Reader().Variable(VARIABLE_SP_MODE) == 1 ? lists.Sp : lists.Ordinary);
}

CharacterIndex CPresence::SubmapPlaceRule(uint32_t place)
{
    return RunRules(SubmapPlaceRules(place));
}

CharacterIndex CPresence::SchoolPlaceRule(uint32_t place)
{
    return RunRules(SchoolPlaceRules(place));
}

CharacterIndex CPresence::RunRules(RuleList rows)
{
    for (const RuleRow& row : rows) {
        if (row.Kind == RowKind::Advance) {
            AdvanceClock(row.Minutes);
            continue;
        }
        if (row.Kind == RowKind::Call)
            return RunRules(RoutineRules(row.Callee));
        if (!Matches(row))
            continue;
        return row.Paired ? PickPairedCharacter() : row.Character;
    }
    return PRESENCE_NOBODY;
}

bool CPresence::Matches(const RuleRow& row) const
{
    if (!TestDate(row.Date) || !TestTime(row.Time))
        return false;
    // Conditions joined by "or" form one group; the groups are joined by "and".
    bool group = false;
    for (uint8_t i = 0; i < row.ConditionCount; ++i) {
        const Condition& condition = row.Conditions[i];
        group = group || TestCondition(condition);
        if (condition.OrNext)
            continue;
        if (!group)
            return false;
        group = false;
    }
    return true;
}

bool CPresence::TestDate(const DateTest& test) const
{
    if (Date < test.Low || Date > test.High)
        return false;
    for (uint8_t i = 0; i < test.ExceptionCount; ++i) {
        if (Date == test.Exceptions[i])
            return false;
    }
    switch (test.Stored) {
    case StoredKind::None:
        return true;
    case StoredKind::Word:
        return CompareWith<int32_t>(Date, test.Op, Reader().Word(test.StoredIndex));
    case StoredKind::Value:
        return CompareWith<int64_t>(Date, test.Op, Reader().Value(test.StoredIndex));
    }
    return false;
}

bool CPresence::TestTime(const TimeTest& test) const
{
    if (test.Count == 0)
        return true;
    for (uint8_t i = 0; i < test.Count; ++i) {
        if (Time >= test.Windows[i].Low && Time <= test.Windows[i].High)
            return true;
    }
    return false;
}

bool CPresence::TestCondition(const Condition& condition) const
{
    const GameStateReader reader = Reader();
    switch (condition.Kind) {
    case Test::FlagEqual:
        return reader.Flag(condition.Index) == condition.A;
    case Test::FlagNotEqual:
        return reader.Flag(condition.Index) != condition.A;
    case Test::FlagAtLeast:
        return reader.Flag(condition.Index) >= condition.A;
    case Test::FlagAtMost:
        return reader.Flag(condition.Index) <= condition.A;
    case Test::FlagIn:
    case Test::FlagNotIn: {
        const uint8_t flag = reader.Flag(condition.Index);
        const bool in = flag == condition.A || flag == condition.B;
        return condition.Kind == Test::FlagIn ? in : !in;
    }
    case Test::Sp:
        return reader.Variable(VARIABLE_SP_MODE) == 1;
    case Test::NotSp:
        return reader.Variable(VARIABLE_SP_MODE) != 1;
    case Test::WeekdayEqual:
        return Weekday == condition.A;
    case Test::WeekdayNotEqual:
        return Weekday != condition.A;
    case Test::Computed:
        return TestPredicate(static_cast<Predicate>(condition.A));
    }
    return false;
}

bool CPresence::TestPredicate(Predicate predicate) const
{
    const GameStateReader reader = Reader();
    switch (predicate) {
    case Predicate::WithinAnHourOfStoredTime:
        // In 64 bits: the stored word is any integer and the difference must not wrap.
        return static_cast<int64_t>(Time) - reader.Value(20) < 60;
    case Predicate::NotAfterFirstAppointmentEnd:
    case Predicate::AfterFirstAppointmentEnd: {
        int32_t date = Date;
        int32_t end = reader.Word(440);
        AdvanceTimeAndDate(&date, &end, 95);
        return predicate == Predicate::NotAfterFirstAppointmentEnd ? Time <= end : Time > end;
    }
    case Predicate::BeforeSecondAppointmentEnd: {
        int32_t date = Date;
        int32_t end = reader.Word(447);
        AdvanceTimeAndDate(&date, &end, 60);
        return reader.Word(446) == date && Time < end;
    }
    }
    return false;
}

namespace presence {

PredicateReads ReadsOf(Predicate predicate)
{
    switch (predicate) {
    case Predicate::WithinAnHourOfStoredTime:
        return {{}, 0, {20}, 1};
    case Predicate::NotAfterFirstAppointmentEnd:
    case Predicate::AfterFirstAppointmentEnd:
        return {{440}, 1, {}, 0};
    case Predicate::BeforeSecondAppointmentEnd:
        return {{446, 447}, 2, {}, 0};
    }
    return {};
}

} // namespace presence
