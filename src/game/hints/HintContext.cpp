#include "game/hints/HintContext.h"

#include <algorithm>

#include "foundation/GameDocument.h"
#include "game/hints/CastNames.h"
#include "game/hints/HeroineHints.h"
#include "script/ScriptState.h"

namespace {

template <typename T>
void GrowTo(std::vector<T>& array, size_t count)
{
    if (array.size() < count)
        array.resize(count);
}

} // namespace

void HintContext::Load(const FlagBuffer& state)
{
    if (&state != &State) {
        State.Flags = state.Flags;
        State.Words = state.Words;
        State.Values = state.Values;
        State.Variables = state.Variables;
    }
    GrowTo(State.Flags, HINT_FLAG_COUNT);
    GrowTo(State.Words, HINT_WORD_COUNT);
    GrowTo(State.Values, FLAG_BUFFER_VALUE_COUNT);
    GrowTo(State.Variables, HINT_VARIABLE_COUNT);
    ReloadPosition();
    // Clamped rather than cut to 16 bits: a large or negative amount must not wrap into a small
    // positive one and make an unaffordable trip look affordable.
    Money = static_cast<uint16_t>(std::clamp(State.Money(), 0, 0xFFFF));
}

void HintContext::ReloadPosition()
{
    District = State.District();
    Location = State.Location();
    Time = static_cast<uint16_t>(State.GameTime());
    Date = static_cast<uint16_t>(State.GameDate());
}

const CastNames& HintContext::GetNames() const
{
    return Names != nullptr ? *Names : GetCastNames();
}

std::vector<FlagHintRecord> BuildHeroineHints(HintContext& context, uint32_t heroine)
{
    std::vector<FlagHintRecord> list;
    const FlagBuffer* state = GetScriptState().m_current_state.get();
    context.Load(state != nullptr ? *state : FlagBuffer());
    switch (heroine) {
    case 0:
        BuildHeroineHints00(context, list);
        break;
    case 1:
        BuildHeroineHints01(context, list);
        break;
    case 2:
        BuildHeroineHints02(context, list);
        break;
    case 3:
        BuildHeroineHints03(context, list);
        break;
    case 4:
        BuildHeroineHints04(context, list);
        break;
    case 5:
        BuildHeroineHints05(context, list);
        break;
    case 6:
        BuildHeroineHints06(context, list);
        break;
    case 7:
        BuildHeroineHints07(context, list);
        break;
    case 8:
        BuildHeroineHints08(context, list);
        break;
    case 9:
        BuildHeroineHints09(context, list);
        break;
    case 10:
        BuildHeroineHints10(context, list);
        break;
    case 11:
        BuildHeroineHints11(context, list);
        break;
    case 12:
        BuildHeroineHints12(context, list);
        break;
    case 13:
        BuildHeroineHints13(context, list);
        break;
    case 14:
        BuildHeroineHints14(context, list);
        break;
    default:
        break;
    }
    return list;
}

CStringUTF8 PlaceNameOfRecord(const HintContext& context, size_t slot)
{
    if (slot >= context.State.Variables.size())
        return CStringUTF8();
    return CStringUTF8(WideToUtf8(AnsiToWideLenient(context.State.Variables[slot].Text.GetStdString())));
}
