#include "game/presence/GameStateBuilder.h"

#include "app/CVeskDoc.h"
#include "script/ScriptState.h"

GameStateBuilder::GameStateBuilder()
{
    m_state.Flags.assign(STATE_FLAG_COUNT, 0);
    m_state.Words.assign(STATE_WORD_COUNT, 0);
    m_state.Values.assign(STATE_VALUE_COUNT, ScriptValue());
    m_state.Variables.assign(STATE_VARIABLE_COUNT, ScriptValue());
}

GameStateBuilder& GameStateBuilder::Date(int32_t date)
{
    m_state.SetGameDate(date);
    return *this;
}

GameStateBuilder& GameStateBuilder::Time(int32_t time)
{
    m_state.SetGameTime(time);
    return *this;
}

GameStateBuilder& GameStateBuilder::Weekday(int32_t weekday)
{
    m_state.SetWeekday(weekday);
    return *this;
}

GameStateBuilder& GameStateBuilder::SpMode(int32_t mode)
{
    m_state.SetSpMode(mode);
    return *this;
}

GameStateBuilder& GameStateBuilder::F(size_t index, uint8_t value)
{
    m_state.Flags.at(index) = value;
    return *this;
}

GameStateBuilder& GameStateBuilder::W(size_t index, uint16_t value)
{
    m_state.Words.at(index) = value;
    return *this;
}

GameStateBuilder& GameStateBuilder::Val(size_t index, int32_t value)
{
    m_state.Values.at(index) = ScriptValue::FromInteger(value);
    return *this;
}

int32_t RandomScenarioDate(std::mt19937& random)
{
    // 1221..1231 and 1301..1307: eighteen days.
    const int32_t n = std::uniform_int_distribution<int32_t>(0, 17)(random);
    return n < 11 ? 1221 + n : 1301 + (n - 11);
}

int32_t RandomTime(std::mt19937& random)
{
    const int32_t minutes = std::uniform_int_distribution<int32_t>(0, 24 * 60 - 1)(random);
    return minutes / 60 * 100 + minutes % 60;
}

FlagBuffer GenerateState(uint32_t seed)
{
    std::mt19937 random(seed);
    GameStateBuilder builder;
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> small(0, 3);
    for (uint8_t& flag : builder.State().Flags) {
        const int roll = percent(random);
        flag = roll < 55 ? 0 : roll < 95 ? static_cast<uint8_t>(small(random)) : 15;
    }
    std::uniform_int_distribution<int> word(0, 0xFFFF);
    for (uint16_t& entry : builder.State().Words)
        entry = static_cast<uint16_t>(word(random));
    for (size_t index : {433, 435, 439, 446})
        builder.W(index, static_cast<uint16_t>(RandomScenarioDate(random)));
    for (size_t index : {440, 447})
        builder.W(index, static_cast<uint16_t>(RandomTime(random)));
    std::uniform_int_distribution<int32_t> any(-100000, 100000);
    for (size_t index = 0; index < STATE_VALUE_COUNT; ++index)
        builder.Val(index, any(random));
    builder.Val(15, RandomScenarioDate(random)).Val(20, RandomTime(random)).Val(VALUE_MONEY, any(random));
    for (ScriptValue& variable : builder.State().Variables)
        variable = ScriptValue::FromInteger(small(random));
    builder.SpMode(percent(random) < 20 ? 1 : 0);
    builder.Date(RandomScenarioDate(random))
        .Time(RandomTime(random))
        .Weekday(std::uniform_int_distribution<int32_t>(0, 6)(random));
    return builder.State();
}

CPresence PresenceAt(const FlagBuffer& state, int32_t date, int32_t time, int32_t weekday)
{
    CPresence presence;
    presence.Fill(&state);
    presence.Date = static_cast<uint16_t>(date);
    presence.Time = static_cast<uint16_t>(time);
    presence.Weekday = static_cast<uint16_t>(weekday);
    return presence;
}

CurrentStateScope::CurrentStateScope(const FlagBuffer& state)
    : m_saved(std::move(GetScriptState().m_current_state))
{
    Set(state);
}

CurrentStateScope::~CurrentStateScope()
{
    GetScriptState().m_current_state = std::move(m_saved);
}

void CurrentStateScope::Set(const FlagBuffer& state)
{
    GetScriptState().m_current_state = std::make_unique<FlagBuffer>(state);
}

FlagBuffer& CurrentStateScope::Current()
{
    return *GetScriptState().m_current_state;
}
