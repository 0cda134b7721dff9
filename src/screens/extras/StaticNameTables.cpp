#include "screens/extras/StaticNameTables.h"

#include <array>
#include <cstdio>
#include <memory>

#include "game/hints/CastNames.h"

namespace {

// The pages of each group's thumbnail sheets.
constexpr std::array<int32_t, 17> THUMBNAIL_PAGES{3, 3, 2, 2, 3, 2, 3, 2, 3, 3, 2, 2, 2, 2, 2, 1, 2};

// Stems before the extra pictures (a to e) and after them (f to u), in table order.
constexpr const char* STORY_BEFORE[] = {
    "a08_1", "a08_2", "a08",  "a09a", "a09_1", "a09",  "b10e",  "b11a",  "b11b",  "b11c",  "b11_1", "b11_2",
    "b11_3", "b11",   "d08d", "d09a", "d09b",  "d09c", "d09_1", "d09",   "e11a",  "e11b",  "e11_1", "e11_2",
    "e11"};
constexpr const char* STORY_AFTER[] = {
    "f10a",   "f10_1",  "f10",    "h11c",   "h11d",  "h11e",  "h11f",  "i06a",  "i06b",  "i07a",  "i07b",
    "i07_1",  "i07_2",  "i07_3",  "i07",    "j10a",  "j10b",  "j10c",  "j10_1", "j10_2", "j10_3", "j10_4",
    "j10",    "k10e",   "k11a",   "k11b",   "k11c",  "k11d",  "k11e",  "k11_1", "k11_2", "k11",   "n07",
    "n_end3", "o05_1",  "o05",    "o08a",   "o08b",  "o08",   "o15d",  "o15e",  "p10b",  "p10c",  "p10d",
    "p11a",   "p11",    "q10f",   "r01",    "r04_1", "r04",   "r14d",  "r15a_1", "r15a_2", "r15a_3", "r15a",
    "r15_1",  "r15_2",  "r15_3",  "r15",    "r16a",  "r16_1", "r16_2", "r16_3", "r16",   "s11e",  "s11f",
    "s11g",   "s11h",   "s11i",   "s12_1",  "s12_2", "s12",   "u01",   "u07"};

struct ExtraParts
{
    char Letter;
    std::vector<const char*> Parts;
};

const std::vector<ExtraParts>& ExtraTable()
{
    static const std::vector<ExtraParts> table{
        {'b', {"01a_1", "01a_2", "01a", "01b", "01c", "01_1", "01", "02a", "02b", "02c", "02_1", "02_2", "02_3", "02"}},
        {'c', {"01a", "01", "02a", "02b", "02_1", "02_2", "02_3", "02"}},
        {'d', {"01a", "01b", "01_1", "01_2", "01_3", "01_4", "01", "02a", "02b", "02_1", "02_2", "02_3", "02_4", "02"}},
        {'e', {"01a", "01b_1", "01b_2", "01b", "01_1", "01_2", "01", "02a", "02b", "02_1", "02_2", "02_3", "02_4", "02"}},
        {'f', {"02_1", "02_2", "02_3", "02_4", "02"}},
        {'h', {"02a", "02b", "02_1", "02_2", "02_3", "02"}},
        {'i', {"02a", "02b", "02"}},
        {'j', {"01a", "01_1", "01_2", "01_3", "01", "02a_1", "02a", "02b_1", "02b"}},
        {'k', {"02a", "02b", "02_1", "02_2", "02_3", "02"}},
        {'n', {"01_1", "01_2", "01_3", "01"}},
        {'o', {"01a_1", "01a_2", "01a_3", "01a", "01_1", "01_2", "01_3", "01", "02_1", "02_2", "02_3", "02"}},
        {'p', {"02a", "02b", "02_1", "02_2", "02_3", "02"}},
        {'q', {"01a", "01_1", "01_2", "01_3", "01", "02a", "02b", "02_1", "02_2", "02_3", "02"}},
        {'r', {"02a", "02b", "02_1", "02_2", "02_3", "02"}},
        {'s', {"02a", "02_1", "02_2", "02_3", "02_4", "02"}}};
    return table;
}

constexpr const char* MOSAIC_SUFFIX = "_moz.akb";

// Built on first use rather than before start-up: the extra pictures' names carry the heroines'
// given names from the names file, which is read from the data archive once the game runs.
std::unique_ptr<std::vector<CStringUTF8>> g_mosaic;

} // namespace

CStringUTF8 GetPageThumbnailName(int32_t group, int32_t page)
{
    if (group < 0 || group >= static_cast<int32_t>(THUMBNAIL_PAGES.size()) || page < 0 ||
        page >= THUMBNAIL_PAGES[static_cast<size_t>(group)])
        return CStringUTF8();
    char name[32];
    std::snprintf(name, sizeof(name), "cgmode_thm%c%02d.akb", CG_GROUP_LETTERS[static_cast<size_t>(group)], page);
    return CStringUTF8(name);
}

std::string CGExtraNameKey(char letter)
{
    return std::string("cgextra.") + letter;
}

std::vector<CStringUTF8> BuildMosaicTable(const CastNames& names)
{
    std::vector<CStringUTF8> table;
    for (const char* stem : STORY_BEFORE)
        table.emplace_back(std::string(stem) + MOSAIC_SUFFIX);
    for (const ExtraParts& extra : ExtraTable()) {
        const std::string given = names.Get(CGExtraNameKey(extra.Letter)).GetStdString();
        if (given.empty())
            continue;
        for (const char* part : extra.Parts)
            table.emplace_back(std::string("ex_") + extra.Letter + "_" + given + part + MOSAIC_SUFFIX);
    }
    for (const char* stem : STORY_AFTER)
        table.emplace_back(std::string(stem) + MOSAIC_SUFFIX);
    return table;
}

const std::vector<CStringUTF8>& GetMosaicTable()
{
    if (g_mosaic == nullptr)
        g_mosaic = std::make_unique<std::vector<CStringUTF8>>(BuildMosaicTable(GetCastNames()));
    return *g_mosaic;
}

CStringUTF8 FindMosaicName(std::string_view picture, const std::vector<CStringUTF8>& table)
{
    const size_t folder = picture.find_last_of("/\\:");
    if (folder != std::string_view::npos)
        picture.remove_prefix(folder + 1);
    if (const size_t dot = picture.rfind('.'); dot != std::string_view::npos)
        picture = picture.substr(0, dot);
    if (picture.empty())
        return CStringUTF8();
    const std::string wanted = std::string(picture) + MOSAIC_SUFFIX;
    for (const CStringUTF8& entry : table)
        if (entry == wanted)
            return entry;
    return CStringUTF8();
}

CStringUTF8 FindMosaicName(std::string_view picture)
{
    return FindMosaicName(picture, GetMosaicTable());
}
