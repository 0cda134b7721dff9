#pragma once
// Writes "castnames.txt": UTF-8, one key<TAB>text line per name, each ended by LF. Also holds the
// demo game's set: neutral placeholders that say each name's role, for every key the game reads.

#include <string>
#include <utility>
#include <vector>

namespace tools {

using CastNameEntry = std::pair<std::string, std::string>;

// Throws std::invalid_argument for a key that is empty or holds a tab or line break, or a text
// that holds a line break.
std::string WriteCastNames(const std::vector<CastNameEntry>& entries);
std::vector<CastNameEntry> DemoCastNames();

// The demo's people and places by number, in the game's four languages: neutral names, but names.
struct DemoName
{
    const char* japanese;
    const char* english;
    const char* simplified;  // simplified Chinese
    const char* traditional; // traditional Chinese
};
inline constexpr int DEMO_HEROINES = 15;
// Heroine 0 to 14 by given name; beyond them the other people of the town; a number past the list
// wraps round it.
DemoName DemoPersonName(int person);
DemoName DemoFamilyName(int heroine);
DemoName DemoPlaceName(int place);

} // namespace tools
