#pragma once
// The proper names of the game's world that the hint tables show: the heroines' family and
// given names, the towns, parks, nursery, TV station and studio, and four side characters. They
// are game data, read once from "castnames.txt" in the data archive: UTF-8, one key<TAB>text line
// per name, keyed by role. Main thread only.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "foundation/CStringUTF8.h"

inline constexpr const char* CAST_NAMES_FILE = "castnames.txt";
// Larger files are taken as damaged rather than read.
inline constexpr size_t CAST_NAMES_MAX_BYTES = 64 * 1024;

// The keys by role.
inline constexpr const char* CAST_TOWN = "town";
inline constexpr const char* CAST_NEIGHBOUR_TOWN = "neighbour_town";
inline constexpr const char* CAST_POND_PARK = "pond_park";
inline constexpr const char* CAST_NURSERY = "nursery";
inline constexpr const char* CAST_TV_STATION = "tv_station";
inline constexpr const char* CAST_STUDIO = "studio";
inline constexpr const char* CAST_SIDE_A_GIVEN = "side_a.given";
inline constexpr const char* CAST_SIDE_B_GIVEN = "side_b.given";
inline constexpr const char* CAST_SIDE_C_FAMILY = "side_c.family";
inline constexpr const char* CAST_SIDE_D_FAMILY = "side_d.family";
inline constexpr const char* CAST_VIDEO_TITLE = "video_title"; // a video on sale in the game
// "heroineNN.family" and "heroineNN.given", NN = 00 to 14.
std::string HeroineNameKey(uint32_t heroine, bool given);

class CastNames
{
public:
    // The names of a file's bytes; none when the file is damaged (not UTF-8, a NUL byte, a line
    // without a tab or with an empty key, too large). A BOM and CR LF line ends are accepted;
    // blank lines and unknown keys are passed over; of two lines with one key the first counts.
    // On failure line gets the number of the first damaged line (0: the file as a whole).
    static std::optional<CastNames> Parse(std::span<const uint8_t> file, size_t* line = nullptr);

    // The name under the key; empty when the file has none.
    CStringUTF8 Get(std::string_view key) const;
    CStringUTF8 HeroineGiven(uint32_t heroine) const { return Get(HeroineNameKey(heroine, true)); }
    CStringUTF8 HeroineFamily(uint32_t heroine) const { return Get(HeroineNameKey(heroine, false)); }

private:
    std::map<std::string, CStringUTF8, std::less<>> m_names;
};

// The game's names, loaded from the data archive on first use. A missing or damaged file is
// reported once, in a message box, and gives empty names: the hints still build.
const CastNames& GetCastNames();
// Forgets the loaded names; the next GetCastNames loads (and reports) again.
void ResetCastNames();
