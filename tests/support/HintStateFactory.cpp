#include "support/HintStateFactory.h"

#include <cstdio>

#include "foundation/CStringBase.h"

namespace {

// The days of play.
constexpr int32_t DATES[] = {1222, 1223, 1224, 1225, 1226, 1227, 1228, 1229,
                             1230, 1231, 1301, 1302, 1303, 1304, 1305, 1306};

} // namespace

int32_t SeededDate(size_t slot)
{
    return DATES[slot % std::size(DATES)];
}

int32_t SeededTime(size_t slot)
{
    // Three minutes apart: 391 slots stay inside one day, so the time alone is unique.
    const size_t minutes = 3 * slot;
    return static_cast<int32_t>(minutes / 60 * 100 + minutes % 60);
}

std::string SeededPlace(size_t slot)
{
    char number[16];
    std::snprintf(number, sizeof(number), "%03zu", slot);
    return std::string("場所") + number;
}

void SetHintMoment(FlagBuffer& state, int32_t date, int32_t time, uint8_t district, uint8_t location)
{
    state.SetGameDate(date);
    state.SetGameTime(time);
    state.SetDistrict(district);
    state.SetLocation(location);
}

FlagBuffer MakeHintState()
{
    FlagBuffer state;
    state.Flags.resize(8200);
    state.Words.resize(1400);
    state.Variables.resize(400);
    SetHintMoment(state, 1222, 800, 1, 8);
    state.SetMoney(10'000);
    for (size_t slot = 0; slot < HINT_STATE_SLOTS; ++slot) {
        state.Words[602 + 2 * slot] = static_cast<uint16_t>(SeededDate(slot));
        state.Words[603 + 2 * slot] = static_cast<uint16_t>(SeededTime(slot));
        state.Variables[slot] = ScriptValue::FromText(CStringUTF8(WideToAnsi(Utf8ToWide(SeededPlace(slot)))));
    }
    return state;
}
