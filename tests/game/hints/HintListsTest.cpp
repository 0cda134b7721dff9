// Writes the lists of heroines 0 to 3 as readable text into the build folder, for four game
// states, with the demo's names: hints/lists_<state>.txt.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "HintTestFixture.h"

namespace {

const char* StatusName(uint32_t status)
{
    switch (status) {
    case HINT_POSSIBLE:
        return "possible";
    case HINT_SEEN:
        return "seen";
    case HINT_MISSED:
        return "missed";
    }
    return "?";
}

std::string Describe(const FlagHintRecord& record)
{
    char line[160];
    std::snprintf(line, sizeof(line), "%04d", record.FirstDate);
    std::string text = line;
    if (record.LastDate != -1) {
        std::snprintf(line, sizeof(line), "-%04d", record.LastDate);
        text += line;
    }
    std::snprintf(line, sizeof(line), " %04d", record.EarliestTime);
    text += line;
    if (record.LatestTime != -1) {
        std::snprintf(line, sizeof(line), "-%04d", record.LatestTime);
        text += line;
    }
    std::snprintf(line, sizeof(line), "  %-8s code %d  %u/%u  fare %u  ", StatusName(record.Status),
                  static_cast<int32_t>(record.Code), record.District, record.Location, record.Fare);
    text += line;
    text += record.SceneFile.GetStdString() + "  " + record.PlaceName.GetStdString();
    if (!record.Note.IsEmpty()) {
        std::string note = record.Note.GetStdString();
        for (size_t at = note.find('\n'); at != std::string::npos; at = note.find('\n', at))
            note.replace(at, 1, "\\n");
        text += "  " + note;
    }
    return text;
}

class HintListsTest : public HintTest
{
protected:
    void Write(const char* name, const char* title)
    {
        const char* binary = std::getenv("VESK_BINARY_DIR");
        const std::filesystem::path folder = std::filesystem::path(binary ? binary : ".") / "hints";
        std::filesystem::create_directories(folder);
        std::ofstream file(folder / (std::string("lists_") + name + ".txt"), std::ios::trunc);
        file << "# " << title << "\n";
        for (const uint32_t heroine : BUILT_HEROINES) {
            const std::vector<FlagHintRecord> list = Build(heroine);
            ASSERT_FALSE(list.empty());
            EXPECT_EQ(list.back().Code, 8060u);
            file << "\n## heroine " << heroine << " (" << list.size() << " events)\n";
            for (const FlagHintRecord& record : list)
                file << Describe(record) << "\n";
        }
        ASSERT_TRUE(file.good());
    }
};

TEST_F(HintListsTest, StartOfPlay)
{
    Write("start", "the start of play: 1222 08:00 at home, 10,000 money, nothing seen");
}

TEST_F(HintListsTest, EveningOf1229WithSomeEventsSeen)
{
    SetHintMoment(m_state, 1229, 1900, 0, 0);
    for (size_t flag : {1586, 1587, 1588, 906, 2054, 1076, 1174, 1186, 1188, 1189, 1190, 327, 328, 320, 321})
        Seen(flag);
    m_state.Flags[317] = 7;
    m_state.Flags[958] = 13;
    Write("1229_evening", "1229 19:00 in the town, some events seen");
}

TEST_F(HintListsTest, HotSpringTrip)
{
    SetHintMoment(m_state, 1302, 1000, 1, 8);
    m_state.Flags[FLAG_HOT_SPRING_TRIP] = 1;
    Write("hot_spring", "1302 10:00, back from the hot-spring trip (Flags[8007] = 1)");
}

TEST_F(HintListsTest, DamagedPlaceText)
{
    Seen(1586);
    Seen(1174);
    Seen(906);
    Seen(329);
    for (size_t slot : {100, 141, 268, 252})
        m_state.Variables[slot].Text = CStringUTF8(std::string("\x89\xFC\x8E\x44\xFF\x82", 6));
    Write("bad_place_text", "seen events whose place text holds a bad CP932 byte");
}

} // namespace
