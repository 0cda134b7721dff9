#include "castnames/CastNamesWriter.h"

#include <cstdio>
#include <stdexcept>

namespace tools {

std::string WriteCastNames(const std::vector<CastNameEntry>& entries)
{
    std::string file;
    for (const auto& [key, text] : entries) {
        if (key.empty() || key.find_first_of("\t\r\n") != std::string::npos)
            throw std::invalid_argument("castnames: bad key \"" + key + "\"");
        if (text.find_first_of("\r\n") != std::string::npos)
            throw std::invalid_argument("castnames: line break in the text of " + key);
        file += key + "\t" + text + "\n";
    }
    return file;
}

std::vector<CastNameEntry> DemoCastNames()
{
    std::vector<CastNameEntry> entries;
    for (unsigned heroine = 0; heroine < 15; ++heroine) {
        char key[32];
        char text[64];
        std::snprintf(key, sizeof(key), "heroine%02u.family", heroine);
        std::snprintf(text, sizeof(text), "姓%02u", heroine);
        entries.emplace_back(key, text);
        std::snprintf(key, sizeof(key), "heroine%02u.given", heroine);
        std::snprintf(text, sizeof(text), "ヒロイン%02u", heroine);
        entries.emplace_back(key, text);
    }
    entries.emplace_back("town", "町名");
    entries.emplace_back("neighbour_town", "隣町名");
    entries.emplace_back("pond_park", "池の");
    entries.emplace_back("nursery", "園名");
    entries.emplace_back("tv_station", "テレビキョクメイ");
    entries.emplace_back("studio", "ＳＴＵＤＩＯ");
    entries.emplace_back("side_a.given", "脇役Ａ");
    entries.emplace_back("side_b.given", "脇役Ｂ");
    entries.emplace_back("side_c.family", "脇役Ｃ");
    entries.emplace_back("side_d.family", "脇役Ｄ");
    entries.emplace_back("video_title", "ビデオ題名");
    // The romanised given names in the extra CGs' file names, one per group letter.
    for (const char letter : std::string("rofjkpseqbdihanc"))
        entries.emplace_back(std::string("cgextra.") + letter, std::string("name") + letter);
    // The music room's character themes: placeholder file names, the demo ships the first.
    for (unsigned theme = 1; theme <= 17; ++theme) {
        char key[32];
        char text[32];
        std::snprintf(key, sizeof(key), "theme%02u", theme);
        std::snprintf(text, sizeof(text), "THEME%02u.WAV", theme);
        entries.emplace_back(key, text);
    }
    return entries;
}

} // namespace tools
