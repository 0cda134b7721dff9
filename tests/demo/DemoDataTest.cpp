// The built demo's archives hold what its screens offer: every heroine the gallery's and the scene
// replay's heroine page lets a player pick opens a page whose sheet is in the picture archive,
// every CG of the gallery's list has its row's sheet and its pictures there for the viewer, and its
// settings name the game as its title screen does.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "demopics/DemoPictures.h"
#include "foundation/CArchiveFile.h"
#include "foundation/CXMLDocument.h"
#include "screens/base/CHitAreaTable.h"
#include "screens/extras/CGTables.h"
#include "screens/system/ConfigLayout.h"
#include "screens/system/SoundConfigLayout.h"

namespace {

namespace fs = std::filesystem;

std::string Upper(std::string name)
{
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return name;
}

TEST(DemoData, EveryHeroineOfTheExtrasHasHerSheets)
{
    const HeadlessDemoHome home;
    const fs::path demo = home.Build() / "demo";
    ASSERT_TRUE(fs::exists(demo / "layer.arc")) << "build the demo target first";

    CArchiveFile data;
    ASSERT_EQ(data.OpenArchive(CStringUTF8((demo / "data.arc").string()), true, false), 1);
    ASSERT_TRUE(data.OpenRead(CStringUTF8("cgmode.area")));
    std::vector<uint8_t> image(data.GetSize());
    ASSERT_NE(data.ReadAll(image.data()), 0);
    CHitAreaTable heroines;
    ASSERT_TRUE(heroines.Parse(image.data(), image.size()));

    CArchiveFile layer;
    ASSERT_EQ(layer.OpenArchive(CStringUTF8((demo / "layer.arc").string()), false, false), 1);
    constexpr std::string_view LETTERS = "ROFJKPSEQBDIHANCU";
    int offered = 0;
    for (const HitArea& area : heroines.Records()) {
        if (area.Id >= LETTERS.size())
            continue;
        ++offered;
        const char letter = LETTERS[area.Id];
        for (const std::string& sheet :
             {std::string("cgmode_thm") + letter + "00.akb", std::string("sc_") + letter + ".akb"})
            EXPECT_TRUE(layer.Exists(CStringUTF8(Upper(sheet)))) << "heroine " << area.Id << ": " << sheet;
    }
    EXPECT_EQ(offered, static_cast<int>(LETTERS.size()));
}

std::vector<uint8_t> ReadEntry(CArchiveFile& archive, const char* name)
{
    if (!archive.OpenRead(CStringUTF8(name)))
        return {};
    std::vector<uint8_t> bytes(archive.GetSize());
    if (!bytes.empty() && archive.ReadAll(bytes.data()) == 0)
        bytes.clear();
    return bytes;
}

TEST(DemoData, EveryCGOfTheGalleryHasItsRowSheetAndPictures)
{
    const HeadlessDemoHome home;
    const fs::path demo = home.Build() / "demo";
    ASSERT_TRUE(fs::exists(demo / "layer.arc")) << "build the demo target first";
    CArchiveFile data;
    ASSERT_EQ(data.OpenArchive(CStringUTF8((demo / "data.arc").string()), true, false), 1);
    const std::vector<uint8_t> list = ReadEntry(data, "cglist.txt");
    const std::vector<uint8_t> compose = ReadEntry(data, "cgcompose.txt");
    const std::optional<CGTables> tables = CGTables::Parse(list, compose);
    ASSERT_TRUE(tables.has_value());
    CArchiveFile layer;
    ASSERT_EQ(layer.OpenArchive(CStringUTF8((demo / "layer.arc").string()), false, false), 1);
    for (const CGListRow& row : tables->ListRows()) {
        if (row.SheetName.empty()) // the terminator's
            continue;
        EXPECT_TRUE(layer.Exists(CStringUTF8(Upper(row.SheetName)))) << row.SheetName;
    }
    for (const CGCompositionRow& row : tables->Compositions()) {
        EXPECT_TRUE(layer.Exists(CStringUTF8(Upper(row.BaseName)))) << row.BaseName;
        for (const std::string& overlay : row.Overlays)
            EXPECT_TRUE(layer.Exists(CStringUTF8(Upper(overlay)))) << overlay;
    }
    EXPECT_GE(tables->ListRows().size(), 17u) << "a CG for every heroine";
}

// The system texts by id, as the demo's listing of a language gives them.
std::map<int, std::string> SystemTexts(const char* listing)
{
    const char* source = std::getenv("VESK_SOURCE_DIR");
    std::ifstream file(fs::path(source != nullptr ? source : ".") / "demo/text" / listing);
    std::map<int, std::string> texts;
    std::string line;
    while (std::getline(file, line))
        if (const size_t tab = line.find('\t'); tab != std::string::npos)
            texts[std::stoi(line.substr(0, tab))] = line.substr(tab + 1);
    return texts;
}

// Kana or kanji: three-byte UTF-8 sequences from U+3040 to U+9FFF.
bool HasJapanese(const std::string& text)
{
    for (size_t i = 0; i + 2 < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if ((lead == 0xE3 && next >= 0x81) || (lead >= 0xE4 && lead <= 0xE9))
            return true;
    }
    return false;
}

// Kana: three-byte UTF-8 sequences from U+3040 to U+30FF.
bool HasKana(const std::string& text)
{
    for (size_t i = 0; i + 2 < text.size(); ++i)
        if (static_cast<unsigned char>(text[i]) == 0xE3 && static_cast<unsigned char>(text[i + 1]) >= 0x81 &&
            static_cast<unsigned char>(text[i + 1]) <= 0x83)
            return true;
    return false;
}

// A word of three Latin letters or more.
bool HasLatinWord(const std::string& text)
{
    int run = 0;
    for (const char c : text) {
        run = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ? run + 1 : 0;
        if (run >= 3)
            return true;
    }
    return false;
}

// Every text a table of the Japanese game holds reads in each of the other languages on their
// screens: its line is there, not empty, and in that language's script (English without Chinese
// characters or kana, Chinese without kana or English words).
TEST(DemoData, EveryTextHasItsLineInEveryLanguage)
{
    for (const char* table : {"system", "story", "trip"}) {
        const std::map<int, std::string> japanese = SystemTexts((std::string(table) + ".txt").c_str());
        ASSERT_GT(japanese.size(), 5u) << table;
        for (const char* suffix : {"_en", "_cn", "_tw"}) {
            const std::string listing = std::string(table) + suffix + ".txt";
            const std::map<int, std::string> texts = SystemTexts(listing.c_str());
            const bool english = std::string(suffix) == "_en";
            for (const auto& [id, text] : japanese) {
                const auto words = texts.find(id);
                if (words == texts.end()) {
                    ADD_FAILURE() << listing << ": text " << id << " only in Japanese: " << text;
                    continue;
                }
                EXPECT_FALSE(words->second.empty()) << listing << ": text " << id;
                EXPECT_FALSE(english ? HasJapanese(words->second)
                                     : HasKana(words->second) || HasLatinWord(words->second))
                    << listing << ": text " << id << ": " << words->second;
            }
        }
    }
}

// The message window breaks an English line where it reaches the window's edge, whatever the
// word: each line of the English story is at most the window's 42 half-width cells.
TEST(DemoData, EveryEnglishStoryLineFitsTheMessageWindow)
{
    for (const char* listing : {"story_en.txt", "trip_en.txt"})
        for (const auto& [id, text] : SystemTexts(listing)) {
            size_t start = 0;
            for (size_t end = text.find("\\n"); start <= text.size();
                 start = end + 2, end = text.find("\\n", start)) {
                const std::string line = text.substr(start, end == std::string::npos ? end : end - start);
                EXPECT_LE(line.size(), 42u) << listing << ": text " << id << ": " << line;
                if (end == std::string::npos)
                    break;
            }
        }
}

// Every picture with words shows the player's language. A picture a screen or script asks for by
// its language form has every language's form, and a Chinese form never repeats the English one;
// a picture the game reads by its plain name in every language has no forms, which nothing would
// show: it carries marks alone.
TEST(DemoData, EveryWordedPictureHasEachLanguagesFormOrNone)
{
    const HeadlessDemoHome home;
    CArchiveFile layer;
    ASSERT_EQ(layer.OpenArchive(CStringUTF8((home.Build() / "demo/layer.arc").string()), false, false), 1)
        << "build the demo target first";
    const auto read = [&](const std::string& name) { return ReadEntry(layer, Upper(name).c_str()); };
    const std::vector<std::string> by_form = {
        "dialog_p",    "title_p",    "modelist_p", "cgscenemode_p", "music_p",    "time_p",
        "callender_p", "charlist_p", "diary00",    "flaglist_p",    "omake_bg",   "bg_demo",
        "bg_evening",  "st_bg",      "r01_0",      "dusk_pan",      "area_spots", "m_quosla_p"};
    for (const std::string& stem : by_form) {
        SCOPED_TRACE(stem);
        const std::vector<uint8_t> english = read(stem + "_en.akb");
        ASSERT_FALSE(english.empty()) << "no English form";
        EXPECT_FALSE(read(stem + ".akb").empty()) << "no plain picture";
        for (const char* chinese : {"_ch", "_tw"}) {
            const std::vector<uint8_t> form = read(stem + chinese + ".akb");
            EXPECT_FALSE(form.empty()) << chinese << ": none";
            EXPECT_NE(form, english) << chinese << ": the English words";
        }
    }
    const std::vector<std::string> plain = {
        "message_p", "sidemenu_p", "dialog_p2", "systemcover",     "system_bg",          "sound_bg",
        "log_p",     "log_cover",  "keybord_p", "sel_p",           "select_p",           "icon_p",
        "cg_r01",    "a000",       "sc_R",      "flagschedule_bg", "flagschedule_plate", "cgmode_thmR00"};
    for (const std::string& stem : plain) {
        SCOPED_TRACE(stem);
        EXPECT_FALSE(read(stem + ".akb").empty()) << "no picture";
        for (const char* suffix : {"_en", "_ch", "_tw"})
            EXPECT_TRUE(read(stem + suffix + ".akb").empty()) << suffix << ": a form nothing shows";
    }
    // The settings read the plain sheet in every language, the traditional Chinese sound settings
    // their own.
    EXPECT_FALSE(read("systemsound_p_tw.akb").empty());
    EXPECT_TRUE(read("systemsound_p_en.akb").empty());
}

// A help line the Japanese table has reads in English on an English screen, not as an empty line.
TEST(DemoData, EveryJapaneseSystemTextHasItsEnglishWords)
{
    const std::map<int, std::string> japanese = SystemTexts("system.txt");
    const std::map<int, std::string> english = SystemTexts("system_en.txt");
    ASSERT_GT(japanese.size(), 50u);
    for (const auto& [id, text] : japanese) {
        const auto words = english.find(id);
        if (words == english.end())
            ADD_FAILURE() << "text " << id << " only in Japanese: " << text;
        else
            EXPECT_FALSE(words->second.empty() || HasJapanese(words->second))
                << "text " << id << ": " << words->second;
    }
}

// Every control of a page of the settings (its hit areas in the demo's data) shows a help line in
// each of the demo's languages, not an empty line.
void ExpectAHelpLineForEveryControl(const char* area, int32_t (*help_text_id)(int32_t, int32_t),
                                    size_t controls_at_least)
{
    const HeadlessDemoHome home;
    CArchiveFile data;
    ASSERT_EQ(data.OpenArchive(CStringUTF8((home.Build() / "demo/data.arc").string()), true, false), 1)
        << "build the demo target first";
    const std::vector<uint8_t> image = ReadEntry(data, area);
    CHitAreaTable controls;
    ASSERT_TRUE(controls.Parse(image.data(), image.size()));
    ASSERT_GE(controls.Records().size(), controls_at_least);
    for (const char* listing : {"system.txt", "system_en.txt", "system_cn.txt", "system_tw.txt"}) {
        const std::map<int, std::string> texts = SystemTexts(listing);
        for (const HitArea& control : controls.Records()) {
            const int id = help_text_id(static_cast<int32_t>(control.Id) >> 8, control.Id & 0xFF);
            if (id == 0)
                continue;
            const auto text = texts.find(id);
            EXPECT_TRUE(text != texts.end() && !text->second.empty())
                << listing << ": no help line " << id << " for control 0x" << std::hex << control.Id
                << std::dec;
        }
    }
}

TEST(DemoData, EverySettingsControlHasItsHelpLineInEveryLanguage)
{
    ExpectAHelpLineForEveryControl("config00.area", config_layout::HelpTextId, 41);
}

// Four levels and sixteen voices, each with its switch and slider, the click-end switch, the scroll
// bar's three parts, both tabs, the defaults and the back button.
TEST(DemoData, EverySoundSettingsControlHasItsHelpLineInEveryLanguage)
{
    ExpectAHelpLineForEveryControl("config01.area", sound_config_layout::HelpTextId, 48);
}

// The area screens' help line names the place under the pointer as its spot is drawn and as the
// story records the choice (places 1300 + group of the story's table).
TEST(DemoData, AnAreasHelpLineNamesItAsTheStoryDoes)
{
    for (const auto& [system, words] :
         {std::pair{"system_en.txt", "story_en.txt"}, std::pair{"system.txt", "story.txt"}}) {
        const std::map<int, std::string> help = SystemTexts(system);
        const std::map<int, std::string> story = SystemTexts(words);
        for (int group = 1; group <= 13; ++group)
            EXPECT_EQ(help.at(238 + group), story.at(1300 + group)) << system << ", group " << group;
    }
}

// The message boxes and the version box name the game by the title the settings give it: the
// Japanese title screen's.
TEST(DemoData, TheGameTitleIsTheTitleScreensName)
{
    const HeadlessDemoHome home;
    CXMLDocument system(CStringUTF8((home.Build() / "demo" / "SystemInfo.xml").string()));
    ASSERT_EQ(system.Load(), 1u);
    EXPECT_STREQ(system.GetString("/GameTitle", "").GetText(), tools::GAME_NAME_JAPANESE);
}

} // namespace

// The script's lines without their comments, as the assembler reads them.
std::vector<std::string> ScriptLines(const char* name)
{
    const char* source = std::getenv("VESK_SOURCE_DIR");
    std::ifstream file(fs::path(source != nullptr ? source : ".") / "demo/script" / name);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line)) {
        line = line.substr(0, line.find(';'));
        const size_t first = line.find_first_not_of(" \t");
        const size_t last = line.find_last_not_of(" \t\r");
        lines.push_back(first == std::string::npos ? std::string() : line.substr(first, last - first + 1));
    }
    return lines;
}

// The layers the scenes draw into are made once by the start script and hold the memory of every
// page written into them: a scene clears whole those it owns, and those it leaves hidden for the
// next to draw whole again, after its last picture in them, so their memory goes back when the
// scene ends, and no later picture is loaded before the scene ends.
TEST(DemoData, AScenesOwnLayersAreClearedWholeAsItEnds)
{
    const std::vector<std::string> start = ScriptLines("start.mes");
    const std::pair<const char*, int> owned[] = {{"scene_choice.mes", 101},   {"scene_areas.mes", 102},
                                                 {"scene_effects.mes", 1},    {"scene_pictures.mes", 5},
                                                 {"scene_characters.mes", 2}, {"scene_characters.mes", 5},
                                                 {"scene_characters.mes", 6}, {"scene_town.mes", 1}};
    for (const auto& [scene, number] : owned) {
        const std::string made_prefix = "lib 19, 0, " + std::to_string(number) + ", ";
        std::string size;
        for (const std::string& line : start)
            if (line.rfind(made_prefix, 0) == 0)
                size =
                    line.substr(made_prefix.size(),
                                line.find(',', line.find(',', made_prefix.size()) + 1) - made_prefix.size());
        ASSERT_FALSE(size.empty()) << "the start script makes layer " << number;
        const std::string clear = "lib 19, 6, 0, 0, " + size + ", " + std::to_string(number) + ", 0, 1";
        const std::string load_suffix = ", " + std::to_string(number);
        const std::vector<std::string> lines = ScriptLines(scene);
        size_t cleared = lines.size();
        size_t last_load = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] == clear)
                cleared = i;
            const std::string& line = lines[i];
            if (line.rfind("lib 19, 1, ", 0) == 0 && line.size() > load_suffix.size() &&
                line.compare(line.size() - load_suffix.size(), load_suffix.size(), load_suffix) == 0)
                last_load = i;
        }
        ASSERT_LT(cleared, lines.size()) << scene << " clears layer " << number << " whole: " << clear;
        EXPECT_GT(cleared, last_load) << scene;
        size_t ends = cleared;
        while (ends < lines.size() && lines[ends] != "end")
            ++ends;
        EXPECT_LT(ends, lines.size()) << scene << " ends after the clear";
    }
}
