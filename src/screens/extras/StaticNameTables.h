#pragma once
// The name tables of the extras built once: the gallery's page thumbnail sheets (17 groups x 3
// pages) and the mosaic pictures that the save thumbnail lays over a picture with a mosaic
// counterpart. Main thread only.

#include <cstdint>
#include <string_view>
#include <vector>

#include "foundation/CStringUTF8.h"

class CastNames;

inline constexpr size_t MOSAIC_STORY_COUNT = 99;
inline constexpr size_t MOSAIC_EXTRA_COUNT = 124;

// The heroine group letters, group 0 to 16.
inline constexpr std::string_view CG_GROUP_LETTERS = "ROFJKPSEQBDIHANCU";

// "cgmode_thm" + letter + page + ".akb"; empty for a page the group does not have or out of range.
CStringUTF8 GetPageThumbnailName(int32_t group, int32_t page);

// The names file's key of a group letter's romanised given name, as in "cgextra.r".
std::string CGExtraNameKey(char letter);

// The 223 mosaic names: the story stems and, for each group letter with extra pictures, the
// parts after its given name from the names file. A letter whose name the file lacks gives no
// entries.
std::vector<CStringUTF8> BuildMosaicTable(const CastNames& names);
// The table built from the game's names file on first use.
const std::vector<CStringUTF8>& GetMosaicTable();
// The mosaic picture of a picture name: its stem after the last "/" or "\", without extension,
// + "_moz.akb", when the table holds exactly those bytes; empty otherwise.
CStringUTF8 FindMosaicName(std::string_view picture, const std::vector<CStringUTF8>& table);
CStringUTF8 FindMosaicName(std::string_view picture);
