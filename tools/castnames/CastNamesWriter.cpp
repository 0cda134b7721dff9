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
    {"アキ", "Aki", "亚纪", "亞紀"},   {"ユキ", "Yuki", "由希", "由希"}, {"ミオ", "Mio", "美绪", "美緒"},
    {"リン", "Rin", "凛", "凜"},       {"ソラ", "Sora", "小空", "小空"}, {"ハナ", "Hana", "小花", "小花"},
    {"エミ", "Emi", "惠美", "惠美"},   {"ナオ", "Nao", "奈绪", "奈緒"},  {"カナ", "Kana", "加奈", "加奈"},
    {"サキ", "Saki", "早纪", "早紀"},  {"ミカ", "Mika", "美佳", "美佳"}, {"ネネ", "Nene", "宁宁", "寧寧"},
    {"リカ", "Rika", "里香", "里香"},  {"トモ", "Tomo", "知世", "知世"}, {"ユイ", "Yui", "结衣", "結衣"},
    {"ケン", "Ken", "阿健", "阿健"},   {"タク", "Taku", "阿拓", "阿拓"}, {"ジュン", "Jun", "阿纯", "阿純"},
    {"ショウ", "Sho", "阿翔", "阿翔"}, {"マリ", "Mari", "真理", "真理"}, {"ノリ", "Nori", "典子", "典子"},
    {"ヒロ", "Hiro", "阿浩", "阿浩"},  {"レイ", "Rei", "小玲", "小玲"},  {"カイ", "Kai", "阿海", "阿海"},
    {"ルミ", "Rumi", "留美", "留美"},  {"サエ", "Sae", "纱英", "紗英"}, // the 26 characters of the presence
                                                                        // rules each have a name of their own
};
constexpr DemoName FAMILIES[] = {
    {"青木", "Aoki", "青木", "青木"},     {"石田", "Ishida", "石田", "石田"},
    {"上野", "Ueno", "上野", "上野"},     {"大川", "Okawa", "大川", "大川"},
    {"川村", "Kawamura", "川村", "川村"}, {"北島", "Kitajima", "北岛", "北島"},
    {"小森", "Komori", "小森", "小森"},   {"坂本", "Sakamoto", "坂本", "坂本"},
    {"白井", "Shirai", "白井", "白井"},   {"高野", "Takano", "高野", "高野"},
    {"千葉", "Chiba", "千叶", "千葉"},    {"中村", "Nakamura", "中村", "中村"},
    {"野口", "Noguchi", "野口", "野口"},  {"原田", "Harada", "原田", "原田"},
    {"松井", "Matsui", "松井", "松井"},
};
constexpr DemoName PLACES[] = {
    {"パン屋", "Bakery", "面包店", "麵包店"},
    {"本屋", "Bookshop", "书店", "書店"},
    {"喫茶店", "Café", "咖啡馆", "咖啡館"},
    {"花屋", "Flower shop", "花店", "花店"},
    {"ゲームセンター", "Arcade", "游戏厅", "遊戲廳"},
    {"バス停", "Bus stop", "公交站", "公車站"},
    {"時計塔", "Clock tower", "钟楼", "鐘樓"},
    {"噴水", "Fountain", "喷泉", "噴泉"},
    {"橋", "Bridge", "桥", "橋"},
    {"川原", "Riverbank", "河滩", "河灘"},
    {"体育館", "Gym", "体育馆", "體育館"},
    {"教室", "Classroom", "教室", "教室"},
    {"図書室", "Reading room", "阅览室", "閱覽室"},
    {"屋上", "Rooftop", "屋顶", "屋頂"},
    {"音楽室", "Music room", "音乐教室", "音樂教室"},
    {"プール", "Pool", "游泳池", "游泳池"},
    {"中庭", "Courtyard", "中庭", "中庭"},
    {"温室", "Greenhouse", "温室", "溫室"},
    {"グラウンド", "Sports ground", "操场", "操場"},
    {"郵便局", "Post office", "邮局", "郵局"},
    {"公民館", "Town hall", "市民会馆", "市民會館"},
    {"商店街", "Shopping street", "商业街", "商業街"},
    {"公園", "Park", "公园", "公園"},
    {"駅前", "Station square", "车站前", "車站前"},
    {"神社", "Shrine", "神社", "神社"},
    {"海辺", "Seaside", "海边", "海邊"},
    {"病院", "Hospital", "医院", "醫院"},
    {"教会", "Church", "教堂", "教堂"},
    {"広場", "Square", "广场", "廣場"},
    {"港", "Harbour", "港口", "港口"},
    {"丘の上", "Hilltop", "山丘上", "山丘上"},
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
    entries.emplace_back("town", "雪見");
    entries.emplace_back("neighbour_town", "川辺");
    entries.emplace_back("pond_park", "白鳥池");
    entries.emplace_back("nursery", "ひまわり");
    entries.emplace_back("tv_station", "雪見テレビ");
    entries.emplace_back("studio", "スタジオ・ミナト");
    entries.emplace_back("side_a.given", "ミドリ");
    entries.emplace_back("side_b.given", "アオイ");
    entries.emplace_back("side_c.family", "佐伯");
    entries.emplace_back("side_d.family", "森川");
    entries.emplace_back("video_title", "冬の星座");
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
