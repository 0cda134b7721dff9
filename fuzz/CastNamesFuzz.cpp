// The cast names file: parsed, then a heroine's names looked up.
#include "FuzzTargets.h"
#include "game/hints/CastNames.h"

int FuzzCastNames(const uint8_t* data, size_t size)
{
    size_t line = 0;
    const std::optional<CastNames> names = CastNames::Parse(std::span<const uint8_t>(data, size), &line);
    if (names) {
        names->HeroineGiven(0);
        names->HeroineFamily(14);
    }
    return 0;
}
