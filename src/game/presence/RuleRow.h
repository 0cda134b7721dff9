#pragma once
// The data form of a presence rule list: one RuleRow per rule, tested in order, first match
// wins. A row tests the date, up to two time windows and a conjunction of conditions, and then
// answers a character, -1 (nobody, no later row is tried) or the paired choice; an Advance row
// moves the question's clock on for the rows after it, and a Call row ends the list with another.
// Lists are constexpr tables built with the small notation at the end of this file;
// CPresence::RunRules walks them without allocating.
//
// Dates (MMDD, January as month 13) and times (HHMM) compare as raw numbers: a bound that no
// valid time equals, such as 760, admits what the nearest valid time inside the window admits.
// Write times without a leading zero (760, not 0760): C++ reads a leading zero as octal.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace presence {

inline constexpr uint16_t OPEN_LOW = 0;
inline constexpr uint16_t OPEN_HIGH = 0xFFFF;

// A stored date compared with the question's date.
enum class StoredKind : uint8_t
{
    None,
    Word,  // W[n], 16 bits
    Value, // Val[n], the integer of a Values record
};

enum class Compare : uint8_t
{
    Equal,
    NotEqual,
    Less,
    LessEqual,
    Greater,
    GreaterEqual,
};

struct DateTest
{
    uint16_t Low = OPEN_LOW;
    uint16_t High = OPEN_HIGH;
    uint16_t Exceptions[2] = {};
    uint8_t ExceptionCount = 0;
    StoredKind Stored = StoredKind::None;
    Compare Op = Compare::Equal;
    uint16_t StoredIndex = 0;
};

struct TimeWindow
{
    uint16_t Low = OPEN_LOW;
    uint16_t High = OPEN_HIGH;
};

// No window: any time; two windows: either one.
struct TimeTest
{
    TimeWindow Windows[2] = {};
    uint8_t Count = 0;

    constexpr TimeTest() = default;
    constexpr TimeTest(TimeWindow window)
        : Windows{window, {}}
        , Count(1)
    {}
    constexpr TimeTest(TimeWindow first, TimeWindow second)
        : Windows{first, second}
        , Count(2)
    {}
};

// The few computed tests, each named after what it asks.
enum class Predicate : uint8_t
{
    // The HHMM number Time minus Val[20] is below 60; a negative difference counts.
    WithinAnHourOfStoredTime,
    // Time is not after W[440] plus 95 minutes (HHMM numbers; the addition's day carry is dropped).
    NotAfterFirstAppointmentEnd,
    // Time is after W[440] plus 95 minutes.
    AfterFirstAppointmentEnd,
    // W[446] is the date of W[447] plus 60 minutes from the question's date, and Time is before
    // that moment's time.
    BeforeSecondAppointmentEnd,
};

enum class Test : uint8_t
{
    FlagEqual,    // F[Index] == A
    FlagNotEqual, // F[Index] != A
    FlagAtLeast,  // F[Index] >= A
    FlagAtMost,   // F[Index] <= A
    FlagIn,       // F[Index] is A or B
    FlagNotIn,    // F[Index] is neither A nor B
    Sp,           // SpMode is 1
    NotSp,
    WeekdayEqual, // WD == A
    WeekdayNotEqual,
    Computed, // the Predicate in A
};

struct Condition
{
    Test Kind = Test::FlagEqual;
    uint16_t Index = 0;
    uint8_t A = 0;
    uint8_t B = 0;
    // Joined to the next condition by "or"; runs of such conditions form one alternative group.
    bool OrNext = false;
};

inline constexpr size_t MAX_ALTERNATIVES = 7;
inline constexpr size_t MAX_CONDITIONS = 10;

// One "and" term of a row: a condition, or several joined by "or".
struct Clause
{
    Condition Alternatives[MAX_ALTERNATIVES] = {};
    uint8_t Count = 0;

    constexpr Clause() = default;
    constexpr Clause(Condition condition)
        : Alternatives{condition}
        , Count(1)
    {}
};

constexpr Clause operator||(Clause left, Clause right)
{
    if (left.Count + right.Count > MAX_ALTERNATIVES)
        throw "too many alternatives in one clause";
    for (uint8_t i = 0; i < right.Count; ++i)
        left.Alternatives[left.Count++] = right.Alternatives[i];
    return left;
}
constexpr Clause operator||(Condition left, Condition right)
{
    return Clause(left) || Clause(right);
}
constexpr Clause operator||(Clause left, Condition right)
{
    return left || Clause(right);
}

struct Answer
{
    int8_t Character = -1;
    bool Paired = false;

    constexpr Answer(int character)
        : Character(static_cast<int8_t>(character))
    {}
    constexpr Answer(int character, bool paired)
        : Character(static_cast<int8_t>(character))
        , Paired(paired)
    {}
};

inline constexpr Answer PAIRED{1, true};

enum class RowKind : uint8_t
{
    Rule,
    Advance,
    Call, // runs the Routine's list and answers what it answers; no later row is tried
};

// Lists too long for one routine end by calling the rest of themselves.
enum class Routine : uint8_t
{
    TownPlace21Tail,
};

struct RuleRow
{
    RowKind Kind = RowKind::Rule;
    uint8_t Minutes = 0;                       // Advance rows only
    Routine Callee = Routine::TownPlace21Tail; // Call rows only
    DateTest Date = {};
    TimeTest Time = {};
    Condition Conditions[MAX_CONDITIONS] = {};
    uint8_t ConditionCount = 0;
    int8_t Character = -1;
    bool Paired = false;
};

using RuleList = std::span<const RuleRow>;

// The notation.

inline constexpr DateTest ANY_DATE{};
constexpr DateTest Day(uint16_t day)
{
    return DateTest{.Low = day, .High = day};
}
constexpr DateTest Days(uint16_t first, uint16_t last)
{
    return DateTest{.Low = first, .High = last};
}
constexpr DateTest DaysFrom(uint16_t first)
{
    return DateTest{.Low = first};
}
constexpr DateTest DaysUntil(uint16_t last)
{
    return DateTest{.High = last};
}
constexpr DateTest Except(DateTest window, uint16_t day)
{
    if (window.ExceptionCount == 2)
        throw "too many exceptions in one date test";
    window.Exceptions[window.ExceptionCount++] = day;
    return window;
}
constexpr DateTest Except(DateTest window, uint16_t day, uint16_t other_day)
{
    return Except(Except(window, day), other_day);
}
constexpr DateTest NotDay(uint16_t day)
{
    return Except(ANY_DATE, day);
}
constexpr DateTest DateIsWord(uint16_t index, Compare op = Compare::Equal)
{
    return DateTest{.Stored = StoredKind::Word, .Op = op, .StoredIndex = index};
}
constexpr DateTest DateIsValue(uint16_t index, Compare op = Compare::Equal)
{
    return DateTest{.Stored = StoredKind::Value, .Op = op, .StoredIndex = index};
}

inline constexpr TimeTest ANY_TIME{};
constexpr TimeWindow Hours(uint16_t low, uint16_t high)
{
    return TimeWindow{low, high};
}
constexpr TimeWindow HoursFrom(uint16_t low)
{
    return TimeWindow{low, OPEN_HIGH};
}
constexpr TimeWindow HoursUntil(uint16_t high)
{
    return TimeWindow{OPEN_LOW, high};
}

struct FlagRef
{
    uint16_t Index;

    constexpr Condition In(uint8_t a, uint8_t b) const { return {Test::FlagIn, Index, a, b}; }
    constexpr Condition NotIn(uint8_t a, uint8_t b) const { return {Test::FlagNotIn, Index, a, b}; }
};
constexpr FlagRef F(uint16_t index)
{
    return FlagRef{index};
}
constexpr Condition operator==(FlagRef flag, uint8_t value)
{
    return {Test::FlagEqual, flag.Index, value};
}
constexpr Condition operator!=(FlagRef flag, uint8_t value)
{
    return {Test::FlagNotEqual, flag.Index, value};
}
constexpr Condition operator>=(FlagRef flag, uint8_t value)
{
    return {Test::FlagAtLeast, flag.Index, value};
}
constexpr Condition operator<=(FlagRef flag, uint8_t value)
{
    return {Test::FlagAtMost, flag.Index, value};
}

struct WeekdayRef
{};
inline constexpr WeekdayRef WD{};
constexpr Condition operator==(WeekdayRef, uint8_t day)
{
    return {Test::WeekdayEqual, 0, day};
}
constexpr Condition operator!=(WeekdayRef, uint8_t day)
{
    return {Test::WeekdayNotEqual, 0, day};
}

inline constexpr Condition SP{Test::Sp};
inline constexpr Condition NOT_SP{Test::NotSp};
constexpr Condition Computed(Predicate predicate)
{
    return {Test::Computed, 0, static_cast<uint8_t>(predicate)};
}

constexpr RuleRow Row(DateTest date, TimeTest time, std::initializer_list<Clause> clauses, Answer answer)
{
    RuleRow row;
    row.Date = date;
    row.Time = time;
    for (const Clause& clause : clauses) {
        for (uint8_t i = 0; i < clause.Count; ++i) {
            if (row.ConditionCount == MAX_CONDITIONS)
                throw "too many conditions in one row";
            Condition condition = clause.Alternatives[i];
            condition.OrNext = i + 1 < clause.Count;
            row.Conditions[row.ConditionCount++] = condition;
        }
    }
    row.Character = answer.Character;
    row.Paired = answer.Paired;
    return row;
}

// The closing row of a list: nobody.
inline constexpr RuleRow OTHERWISE_NOBODY = Row(ANY_DATE, ANY_TIME, {}, -1);

constexpr RuleRow Advance(uint8_t minutes)
{
    RuleRow row;
    row.Kind = RowKind::Advance;
    row.Minutes = minutes;
    return row;
}

constexpr RuleRow Call(Routine routine)
{
    RuleRow row;
    row.Kind = RowKind::Call;
    row.Callee = routine;
    return row;
}

} // namespace presence
