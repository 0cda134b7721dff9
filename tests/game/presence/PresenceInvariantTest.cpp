// Invariants of every place's list over generated game states: the answers its family table
// allows, the entries it reads, and answers that depend on nothing else.

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <random>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "game/presence/CPresence.h"
#include "game/presence/GameStateBuilder.h"
#include "game/presence/PlaceFacts.h"
#include "game/presence/PresenceRules.h"

using namespace presence;

namespace {

constexpr uint32_t SCHOOL_FLOORS[] = {2, 2, 4, 4, 4, 4, 5};

struct ReadSet
{
    std::set<uint16_t> Flags;
    std::set<uint16_t> Words;
    std::set<uint16_t> Values;
    bool Sp = false;
    bool Weekday = false;
};

// The rows a list runs, with the lists its Call rows run in their place.
std::vector<RuleRow> Flatten(RuleList rows)
{
    std::vector<RuleRow> flat;
    for (const RuleRow& row : rows) {
        if (row.Kind != RowKind::Call) {
            flat.push_back(row);
            continue;
        }
        const std::vector<RuleRow> called = Flatten(RoutineRules(row.Callee));
        flat.insert(flat.end(), called.begin(), called.end());
    }
    return flat;
}

void AddReads(RuleList rows, ReadSet& reads)
{
    for (const RuleRow& row : Flatten(rows)) {
        if (row.Date.Stored == StoredKind::Word)
            reads.Words.insert(row.Date.StoredIndex);
        if (row.Date.Stored == StoredKind::Value)
            reads.Values.insert(row.Date.StoredIndex);
        for (uint8_t i = 0; i < row.ConditionCount; ++i) {
            const Condition& condition = row.Conditions[i];
            switch (condition.Kind) {
            case Test::Sp:
            case Test::NotSp:
                reads.Sp = true;
                break;
            case Test::WeekdayEqual:
            case Test::WeekdayNotEqual:
                reads.Weekday = true;
                break;
            case Test::Computed: {
                const PredicateReads computed = ReadsOf(static_cast<Predicate>(condition.A));
                reads.Words.insert(computed.Words, computed.Words + computed.WordCount);
                reads.Values.insert(computed.Values, computed.Values + computed.ValueCount);
                break;
            }
            default:
                reads.Flags.insert(condition.Index);
                break;
            }
        }
        if (row.Paired)
            AddReads(PairedCharacterRules(), reads);
    }
}

bool HasSpList(const PlaceFacts& facts)
{
    return !facts.SpCharacters.empty();
}

// Everything the place reads, in and out of the SP scenario.
ReadSet ReadsOfPlace(const PlaceFacts& facts)
{
    ReadSet reads;
    AddReads(RulesOf(facts.Map, facts.Place), reads);
    if (HasSpList(facts)) {
        AddReads(RulesOf(facts.Map, facts.Place, true), reads);
        reads.Sp = true;
    }
    return reads;
}

std::vector<uint32_t> FloorsFor(const PlaceFacts& facts)
{
    if (facts.Map != PresenceMap::School)
        return {0};
    return {2, 4, 5};
}

uint32_t TravelMinutes(const PlaceFacts& facts, uint32_t floor)
{
    if (facts.Map != PresenceMap::School)
        return 15;
    const uint32_t place_floor = SCHOOL_FLOORS[facts.Place];
    return 10 + 10 * (floor > place_floor ? floor - place_floor : place_floor - floor);
}

CharacterIndex AskDispatcher(const PlaceFacts& facts, uint32_t floor)
{
    CPresence presence;
    switch (facts.Map) {
    case PresenceMap::Town:
        return presence.WhoIsAtTownPlace(facts.Place);
    case PresenceMap::Submap:
        return presence.WhoIsAtSubmapPlace(facts.Place);
    case PresenceMap::School:
        return presence.WhoIsAtSchoolPlace(floor, facts.Place);
    }
    return -2;
}

bool Allowed(const PlaceFacts& facts, CharacterIndex answer, bool sp = false)
{
    const std::vector<CharacterIndex>& characters =
        sp && HasSpList(facts) ? facts.SpCharacters : facts.Characters;
    return answer == -1 || std::find(characters.begin(), characters.end(), answer) != characters.end();
}

bool InSpRange(const PlaceFacts& facts, uint16_t byte)
{
    return (byte >= 128 && byte <= 171) || byte == facts.Gate ||
           std::find(facts.SpExtraBytes.begin(), facts.SpExtraBytes.end(), byte) != facts.SpExtraBytes.end();
}

std::vector<FlagBuffer> GeneratedStates(uint32_t count)
{
    std::vector<FlagBuffer> states;
    for (uint32_t seed = 1; seed <= count; ++seed)
        states.push_back(GenerateState(seed));
    return states;
}

int32_t PreviousDay(int32_t date)
{
    return date == 1301 ? 1231 : date - 1;
}

} // namespace

TEST(PresenceInvariants, ListsReadOnlyWhatTheirFamilyTablesName)
{
    for (const PlaceFacts& facts : AllPlaceFacts()) {
        SCOPED_TRACE(std::string(MapName(facts.Map)) + " place " + std::to_string(facts.Place));
        ReadSet reads;
        AddReads(RulesOf(facts.Map, facts.Place), reads);
        ASSERT_FALSE(reads.Flags.empty());
        EXPECT_GE(*reads.Flags.begin(), facts.FirstByte);
        EXPECT_LE(*reads.Flags.rbegin(), facts.LastByte);
        EXPECT_EQ(reads.Sp || HasSpList(facts), facts.Sp);
        EXPECT_EQ(reads.Weekday, facts.Weekday);
        const std::set<uint16_t> words(facts.Words.begin(), facts.Words.end());
        const std::set<uint16_t> values(facts.Values.begin(), facts.Values.end());
        EXPECT_TRUE(std::includes(words.begin(), words.end(), reads.Words.begin(), reads.Words.end()));
        EXPECT_TRUE(std::includes(values.begin(), values.end(), reads.Values.begin(), reads.Values.end()));
        for (const RuleRow& row : Flatten(RulesOf(facts.Map, facts.Place))) {
            if (row.Kind == RowKind::Rule && !row.Paired) {
                EXPECT_TRUE(Allowed(facts, row.Character)) << static_cast<int>(row.Character);
            }
        }
        if (!HasSpList(facts))
            continue;
        ReadSet sp_reads;
        AddReads(RulesOf(facts.Map, facts.Place, true), sp_reads);
        for (uint16_t byte : sp_reads.Flags)
            EXPECT_TRUE(InSpRange(facts, byte)) << "SP list reads F[" << byte << "]";
        EXPECT_FALSE(sp_reads.Weekday);
        EXPECT_TRUE(sp_reads.Words.empty() && sp_reads.Values.empty());
        for (const RuleRow& row : Flatten(RulesOf(facts.Map, facts.Place, true))) {
            if (row.Kind == RowKind::Rule && !row.Paired) {
                EXPECT_TRUE(Allowed(facts, row.Character, true)) << "SP " << static_cast<int>(row.Character);
            }
        }
    }
}

TEST(PresenceInvariants, AnswersStayAmongTheFamilyTablesCharacters)
{
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        CurrentStateScope scope(GenerateState(seed));
        const bool sp = scope.Current().SpMode() == 1;
        for (const PlaceFacts& facts : AllPlaceFacts()) {
            for (uint32_t floor : FloorsFor(facts)) {
                const CharacterIndex answer = AskDispatcher(facts, floor);
                EXPECT_TRUE(answer >= -1 && answer <= 26 && answer != 17) << answer;
                EXPECT_TRUE(Allowed(facts, answer, sp))
                    << MapName(facts.Map) << " place " << facts.Place << " seed " << seed << ": " << answer;
            }
        }
    }
}

TEST(PresenceInvariants, FactsCoverEveryPlaceWithRules)
{
    std::set<std::pair<PresenceMap, uint32_t>> covered;
    std::set<std::pair<PresenceMap, uint32_t>> weekday;
    for (const PlaceFacts& facts : AllPlaceFacts()) {
        EXPECT_TRUE(covered.insert({facts.Map, facts.Place}).second);
        if (facts.Weekday)
            weekday.insert({facts.Map, facts.Place});
    }
    // School place 3 and second-sub-map place 6 have no rules and answer -1.
    EXPECT_EQ(covered.size(), TOWN_PLACE_COUNT + SUBMAP_PLACE_COUNT + SCHOOL_PLACE_COUNT - 2);
    const std::set<std::pair<PresenceMap, uint32_t>> expected_weekday = {
        {PresenceMap::Town, 9},  {PresenceMap::Town, 13}, {PresenceMap::Town, 15}, {PresenceMap::Town, 19},
        {PresenceMap::Town, 25}, {PresenceMap::Town, 28}, {PresenceMap::Town, 29}, {PresenceMap::School, 2},
    };
    EXPECT_EQ(weekday, expected_weekday);
}

TEST(PresenceInvariants, RareAnswersComeOnlyFromTheirPlaces)
{
    // 25 only from town place 9, 24 only from town place 17, the marker 26 only from a town
    // place in the SP scenario and never from places 2, 3, 16 and 23.
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        FlagBuffer state = GenerateState(seed);
        // Open the SP gates now and then, so that the marker can show.
        if (seed % 3 == 0) {
            for (uint16_t gate = 102; gate <= 123; ++gate)
                state.Flags[gate] = 0;
        }
        CurrentStateScope scope(state);
        const bool sp = state.SpMode() == 1;
        for (const PlaceFacts& facts : AllPlaceFacts()) {
            const bool town = facts.Map == PresenceMap::Town;
            for (uint32_t floor : FloorsFor(facts)) {
                const CharacterIndex answer = AskDispatcher(facts, floor);
                SCOPED_TRACE(std::string(MapName(facts.Map)) + " place " + std::to_string(facts.Place) +
                             " seed " + std::to_string(seed));
                if (answer == 25) {
                    EXPECT_TRUE(town && facts.Place == 9);
                }
                if (answer == 24) {
                    EXPECT_TRUE(town && facts.Place == 17);
                }
                if (answer == 26) {
                    EXPECT_TRUE(town && sp);
                    EXPECT_TRUE(facts.Place != 2 && facts.Place != 3 && facts.Place != 16 &&
                                facts.Place != 23);
                }
            }
        }
    }
}

TEST(PresenceInvariants, EntriesAPlaceDoesNotReadNeverChangeItsAnswer)
{
    std::mt19937 random(36);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
    const std::vector<FlagBuffer> states = GeneratedStates(100);
    for (const PlaceFacts& facts : AllPlaceFacts()) {
        const ReadSet reads = ReadsOfPlace(facts);
        std::vector<bool> flag_read(STATE_FLAG_COUNT, false);
        for (uint16_t index : reads.Flags)
            flag_read[index] = true;
        for (uint32_t seed = 1; seed <= states.size(); ++seed) {
            const FlagBuffer& state = states[seed - 1];
            FlagBuffer changed = state;
            for (size_t i = 0; i < changed.Flags.size(); ++i) {
                if (!flag_read[i])
                    changed.Flags[i] = static_cast<uint8_t>(random());
            }
            for (size_t i = 0; i < changed.Words.size(); ++i) {
                if (reads.Words.count(static_cast<uint16_t>(i)) == 0)
                    changed.Words[i] = static_cast<uint16_t>(any(random));
            }
            for (size_t i = 0; i < changed.Values.size(); ++i) {
                const bool clock =
                    i == VALUE_GAME_DATE || i == VALUE_GAME_TIME || (i == VALUE_WEEKDAY && reads.Weekday);
                if (!clock && reads.Values.count(static_cast<uint16_t>(i)) == 0)
                    changed.Values[i] = ScriptValue::FromInteger(any(random));
            }
            for (size_t i = 0; i < changed.Variables.size(); ++i) {
                if (i != VARIABLE_SP_MODE || !reads.Sp)
                    changed.Variables[i] = ScriptValue::FromInteger(any(random));
            }
            changed.Bytes.assign(64, static_cast<uint8_t>(random()));
            for (uint32_t floor : FloorsFor(facts)) {
                CurrentStateScope scope(state);
                const CharacterIndex before = AskDispatcher(facts, floor);
                scope.Set(changed);
                EXPECT_EQ(AskDispatcher(facts, floor), before)
                    << MapName(facts.Map) << " place " << facts.Place << " seed " << seed;
            }
        }
    }
}

TEST(PresenceInvariants, TheWalkReachesEveryWindowEdge)
{
    // For each time bound of a list, ask from the moment that the walk turns into that bound (and
    // a minute either side), across midnight where the bound is early, and across the year's end
    // on 1301; the dispatcher must answer what the list answers at the target moment.
    const int32_t target_dates[] = {1223, 1225, 1226, 1227, 1230, 1231, 1301, 1303, 1305, 1306};
    const std::vector<FlagBuffer> states = GeneratedStates(8);
    for (const PlaceFacts& facts : AllPlaceFacts()) {
        std::set<int32_t> targets;
        std::vector<RuleRow> rows = Flatten(RulesOf(facts.Map, facts.Place));
        if (HasSpList(facts)) {
            const std::vector<RuleRow> sp_rows = Flatten(RulesOf(facts.Map, facts.Place, true));
            rows.insert(rows.end(), sp_rows.begin(), sp_rows.end());
        }
        for (const RuleRow& row : rows) {
            for (uint8_t i = 0; i < row.Time.Count; ++i) {
                for (uint16_t bound : {row.Time.Windows[i].Low, row.Time.Windows[i].High}) {
                    if (bound == OPEN_HIGH)
                        continue;
                    // A bound such as 760 is reached at its nearest valid time.
                    const int32_t minute = std::min(bound / 100 * 60 + std::min(bound % 100, 60), 1439);
                    for (int32_t near : {minute - 1, minute, minute + 1})
                        if (near >= 0 && near < 1440)
                            targets.insert(near);
                }
            }
        }
        for (uint32_t floor : FloorsFor(facts)) {
            const int32_t travel = static_cast<int32_t>(TravelMinutes(facts, floor));
            for (int32_t date : target_dates) {
                for (int32_t minute : targets) {
                    const FlagBuffer& generated =
                        states[static_cast<size_t>(minute * 7 + date) % states.size()];
                    const int32_t weekday = (date + minute) % 7;
                    int32_t start = minute - travel;
                    int32_t start_date = date;
                    int32_t start_weekday = weekday;
                    if (start < 0) {
                        start += 1440;
                        start_date = PreviousDay(date);
                        start_weekday = (weekday + 6) % 7;
                    }
                    GameStateBuilder builder;
                    builder.State() = generated;
                    builder.Date(start_date).Time(start / 60 * 100 + start % 60).Weekday(start_weekday);
                    CurrentStateScope scope(builder.State());
                    CPresence direct =
                        PresenceAt(builder.State(), date, minute / 60 * 100 + minute % 60, weekday);
                    const bool sp = builder.State().SpMode() == 1;
                    EXPECT_EQ(AskDispatcher(facts, floor),
                              direct.RunRules(RulesOf(facts.Map, facts.Place, sp)))
                        << MapName(facts.Map) << " place " << facts.Place << " target " << date << " "
                        << direct.Time;
                }
            }
        }
    }
}

TEST(PresenceInvariants, PrintsWhoIsWhereForThreeGeneratedStates)
{
    for (uint32_t seed : {11u, 44u, 66u}) {
        const FlagBuffer state = GenerateState(seed);
        CurrentStateScope scope(state);
        std::ostringstream out;
        out << "state " << seed << ": date " << state.GameDate() << " time " << std::setw(4)
            << std::setfill('0') << state.GameTime() << std::setfill(' ') << " weekday " << state.Weekday()
            << " SP " << state.SpMode() << "\n  town:";
        CPresence presence;
        for (uint32_t place = 0; place < TOWN_PLACE_COUNT; ++place)
            out << " " << place << ":" << presence.WhoIsAtTownPlace(place);
        out << "\n  second sub map:";
        for (uint32_t place = 0; place < SUBMAP_PLACE_COUNT; ++place)
            out << " " << place << ":" << presence.WhoIsAtSubmapPlace(place);
        for (uint32_t floor : {2u, 4u, 5u}) {
            out << "\n  school from floor " << floor << ":";
            for (uint32_t place = 0; place < SCHOOL_PLACE_COUNT; ++place)
                out << " " << place << ":" << presence.WhoIsAtSchoolPlace(floor, place);
        }
        std::cout << out.str() << "\n";
    }
}

TEST(PresenceInvariants, RandomAndTruncatedStatesStayInsideTheirArrays)
{
    // Arrays cut anywhere, any byte values, any clock: every read stays inside the state (the
    // sanitizer build checks) and every answer is a character, the marker or nobody.
    std::mt19937 random(38);
    for (uint32_t round = 0; round < 300; ++round) {
        FlagBuffer state = GenerateState(round + 1000);
        state.Flags.resize(std::uniform_int_distribution<size_t>(0, STATE_FLAG_COUNT)(random));
        for (uint8_t& flag : state.Flags) {
            if (random() % 8 == 0)
                flag = static_cast<uint8_t>(random());
        }
        state.Words.resize(std::uniform_int_distribution<size_t>(0, STATE_WORD_COUNT)(random));
        state.Variables.resize(std::uniform_int_distribution<size_t>(0, STATE_VARIABLE_COUNT)(random));
        state.Values.resize(std::uniform_int_distribution<size_t>(0, STATE_VALUE_COUNT)(random));
        if (round % 2 == 0 && state.Values.size() > VALUE_GAME_TIME &&
            state.Values.size() > VALUE_GAME_DATE) {
            state.Values[VALUE_GAME_TIME] = ScriptValue::FromInteger(static_cast<int32_t>(random()));
            state.Values[VALUE_GAME_DATE] = ScriptValue::FromInteger(static_cast<int32_t>(random()));
        }
        CurrentStateScope scope(state);
        for (const PlaceFacts& facts : AllPlaceFacts()) {
            for (uint32_t floor : FloorsFor(facts)) {
                const CharacterIndex answer = AskDispatcher(facts, floor);
                EXPECT_TRUE(answer >= -1 && answer <= 26) << MapName(facts.Map) << " place " << facts.Place;
            }
        }
    }
}
