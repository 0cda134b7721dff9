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

namespace {

// Given names first (the heroines' fifteen, then the town's other people), family names, places.
constexpr DemoName PEOPLE[] = {
    {"アキ", "Aki"},  {"ユキ", "Yuki"}, {"ミオ", "Mio"},   {"リン", "Rin"},   {"ソラ", "Sora"},
    {"ハナ", "Hana"}, {"エミ", "Emi"},  {"ナオ", "Nao"},   {"カナ", "Kana"},  {"サキ", "Saki"},
    {"ミカ", "Mika"}, {"ネネ", "Nene"}, {"リカ", "Rika"},  {"トモ", "Tomo"},  {"ユイ", "Yui"},
    {"ケン", "Ken"},  {"タク", "Taku"}, {"ジュン", "Jun"}, {"ショウ", "Sho"}, {"マリ", "Mari"},
    {"ノリ", "Nori"}, {"ヒロ", "Hiro"}, {"レイ", "Rei"},   {"カイ", "Kai"},   {"ルミ", "Rumi"},
    {"サエ", "Sae"}, // the 26 characters of the presence rules each have a name of their own
};
constexpr DemoName FAMILIES[] = {
    {"青木", "Aoki"},     {"石田", "Ishida"},   {"上野", "Ueno"},   {"大川", "Okawa"},
    {"川村", "Kawamura"}, {"北島", "Kitajima"}, {"小森", "Komori"}, {"坂本", "Sakamoto"},
    {"白井", "Shirai"},   {"高野", "Takano"},   {"千葉", "Chiba"},  {"中村", "Nakamura"},
    {"野口", "Noguchi"},  {"原田", "Harada"},   {"松井", "Matsui"},
};
constexpr DemoName PLACES[] = {
    {"パン屋", "Bakery"},
    {"本屋", "Bookshop"},
    {"喫茶店", "Café"},
    {"花屋", "Flower shop"},
    {"ゲームセンター", "Arcade"},
    {"バス停", "Bus stop"},
    {"時計塔", "Clock tower"},
    {"噴水", "Fountain"},
    {"橋", "Bridge"},
    {"川原", "Riverbank"},
    {"体育館", "Gym"},
    {"教室", "Classroom"},
    {"図書室", "Reading room"},
    {"屋上", "Rooftop"},
    {"音楽室", "Music room"},
    {"プール", "Pool"},
    {"中庭", "Courtyard"},
    {"温室", "Greenhouse"},
    {"グラウンド", "Sports ground"},
    {"郵便局", "Post office"},
    {"公民館", "Town hall"},
    {"商店街", "Shopping street"},
    {"公園", "Park"},
    {"駅前", "Station square"},
    {"神社", "Shrine"},
    {"海辺", "Seaside"},
    {"病院", "Hospital"},
    {"教会", "Church"},
    {"広場", "Square"},
    {"港", "Harbour"},
    {"丘の上", "Hilltop"},
};

template <size_t N>
DemoName Pick(const DemoName (&names)[N], int index)
{
    return names[static_cast<size_t>(((index % static_cast<int>(N)) + static_cast<int>(N)) %
                                     static_cast<int>(N))];
}

} // namespace

DemoName DemoPersonName(int person)
{
    return Pick(PEOPLE, person);
}

DemoName DemoFamilyName(int heroine)
{
    return Pick(FAMILIES, heroine);
}

DemoName DemoPlaceName(int place)
{
    return Pick(PLACES, place);
}

std::vector<CastNameEntry> DemoCastNames()
{
    std::vector<CastNameEntry> entries;
    for (unsigned heroine = 0; heroine < 15; ++heroine) {
        char key[32];
        std::snprintf(key, sizeof(key), "heroine%02u.family", heroine);
        entries.emplace_back(key, DemoFamilyName(static_cast<int>(heroine)).japanese);
        std::snprintf(key, sizeof(key), "heroine%02u.given", heroine);
        entries.emplace_back(key, DemoPersonName(static_cast<int>(heroine)).japanese);
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
