// The exec group (library 29) driven by assembled scripts: what every code pops and pushes, the
// game-state commands worked out by hand (calendar, hero name and its backlog text, flag copy,
// stash, thumbnails, auto save and its guard, heroine pictures), the message window's face, the
// extras music, the game cursor and the face-voice tables.

#include "script/exec/CFuncExec.h"

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "../commands/GameFileFixture.h"
#include "app/AppMessageBox.h"
#include "app/CGameWork.h"
#include "app/CMouse.h"
#include "app/CVeskView.h"
#include "arcpack/ArchiveWriter.h"
#include "facevoice/FaceVoiceWriter.h"
#include "foundation/ByteCursor.h"
#include "foundation/CArchiveManager.h"
#include "foundation/CLangTextFile.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/ILayer.h"
#include "graphics/SpriteLayerOf.h"
#include "mapwrite/MapTableWriter.h"
#include "screens/base/CFaceVoice.h"
#include "screens/base/CMesWnd.h"
#include "screens/extras/IOmakeParts.h"
#include "screens/system/CSaveDialog.h"
#include "script/exec/IBGVPlay.h"
#include "sound/SoundChannels.h"
#include "support/FakeDocumentLink.h"
#include "support/FakeWaveManager.h"
#include "support/ScopedCGTables.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

constexpr int32_t SENTINEL = 777;

class CFuncExecTest : public GameFileTest
{
protected:
    CFuncExecTest()
    {
        m_app.UseConfigFile(m_dir.Path().string() + "/config.xml");
        Context().SetExecGroup(std::make_unique<CFuncExec>());
        State().Flags.resize(3400);
        State().Bytes.resize(HERO_NAME_BYTE + HERO_NAME_MAX_BYTES + 8);
        State().Variables.resize(100);
        CGameWork* work = GetGameWork();
        work->ExchangeScreen(std::make_unique<CFaceVoice>());
        work->ExchangeScreen(std::make_unique<CSaveDialog>(SYSTEM_PAGE_SAVE));
        work->m_bgv_players = std::make_unique<std::vector<std::unique_ptr<IBGVPlay>>>();
        work->m_bgv_players->push_back(std::make_unique<IBGVPlay>(2));
        work->m_bgv_players->push_back(std::make_unique<IBGVPlay>(3));
    }
    ~CFuncExecTest() override
    {
        CGameWork* work = GetGameWork();
        work->ExchangeScreen(std::unique_ptr<CFaceVoice>());
        work->ExchangeScreen(std::unique_ptr<CSaveDialog>());
        work->m_bgv_players.reset();
        work->ExchangeScreen(std::unique_ptr<CMesWnd>());
        work->m_text_file.reset();
        for (auto& group : GetGameSoundChannels())
            group.clear();
    }

    CFuncExec& Exec() { return *static_cast<CFuncExec*>(Context().GetExecGroup()); }
    void SetHeroName(const char* name)
    {
        std::memcpy(State().Bytes.data() + HERO_NAME_BYTE, name, std::strlen(name) + 1);
    }
    std::vector<uint8_t> HeroNameBytes()
    {
        auto begin = State().Bytes.begin() + HERO_NAME_BYTE;
        return std::vector<uint8_t>(begin, State().Bytes.end());
    }
    // One backlog record holding a message and one free record after it.
    LogBuffer& PrepareBacklog()
    {
        Context().Backlog.Allocate(2);
        Context().Backlog.Entries[0]->Code = {1, 0};
        return *Context().Backlog.Entries[0];
    }
};

struct CodeCase
{
    int32_t code;
    const char* arguments; // after the code, as the group pops them
    std::vector<int32_t> pushed;
};

} // namespace

TEST_F(CFuncExecTest, EveryCodePopsItsArgumentsAndPushesItsResult)
{
    const std::vector<CodeCase> cases = {
        {-1, "0, 2, 3", {}},
        {0, "", {}},
        {1, "", {}},
        {2, "", {}},
        {3, "", {}},
        {4, "", {}},
        {6, "", {}},
        {7, "", {}},
        {8, "", {}},
        {9, "", {}},
        {11, "", {}},
        {57, "", {}},
        {80, "", {}},
        {107, "", {}},
        {109, "", {}},
        {110, "", {}},
        {100000, "", {}},
        {-2, "", {}},
        {-100, "", {}},
        {INT_MIN, "", {}},
        {5, "", {}},
        {10, "10", {}},
        {10, "15, 3", {}},
        {10, "99", {}},
        {12, "0, \"bg.akb\"", {}},
        {12, "1, \"o.akb\", 0, 1", {}},
        {12, "2", {}},
        {12, "3, 5", {}},
        {12, "4, 1, 5", {}},
        {12, "5", {}},
        {12, "6", {}},
        {12, "7", {}},
        {12, "10, \"b.akb\"", {}},
        {12, "11", {}},
        {12, "12, \"o.akb\", 0, 1", {}},
        {12, "13, 3", {}},
        {12, "14, \"o.akb\", 0, 1, 5, 6", {}},
        {12, "15, 1, 2", {}},
        {12, "16, 9", {}},
        {12, "17", {}},
        {13, "0, 0, \"a.akb\", 100, 2", {}},
        {13, "13, \"a.akb\", 0, 2", {}},
        {13, "15, 100, 0, 1, 2", {}},
        {13, "16", {}},
        {33, "0, 0, 10, 0, 1, 0", {}},
        {39, "1", {}},
        {39, "4", {}},
        {39, "9", {}},
        {43, "1", {}},
        {44, "2", {}},
        {45, "1", {}},
        {55, "1", {}},
        {56, "1", {}},
        {14, "", {}},
        {15, "0, \"r01.ogg\", 0", {}},
        {15, "1, 1", {}},
        {15, "2, \"r01.ogg\", 1", {}},
        {15, "3, 0", {}},
        {15, "4, 1", {}},
        {15, "5", {}},
        // 16, 17 with 1 and 40 run the area screens modally: their tests drive them with input.
        {17, "0, \"a.txt\"", {}},
        {17, "2", {}},
        {17, "3", {}},
        {18, "", {}},
        {19, "", {}},
        {20, "", {}},
        {21, "\"x\"", {}},
        {22, "\"\"", {}},
        {23, "\"pics/title.akb\"", {0}},
        {24, "1, 5", {}},
        {24, "3", {}},
        {25, "", {}},
        {26, "0", {}},
        {26, "2, 1, 2", {}},
        {27, "5", {}},
        // 28, the title, waits for the player: the title screens' tests check its stack.
        {29, "1", {0}}, // no time sheet in this game data: not built, the back answer
        {30, "3", {}},
        {31, "", {}},
        {32, "0, 0", {}},
        {34, "\"t\", 0, 0", {}},
        {35, "1", {}},
        {35, "7", {}},
        {36, "2", {-1}},
        {37, "1", {}},
        {37, "6", {}}, // past the sheets: nothing shown, nothing pushed
        {37, "-1", {}},
        {38, "0", {}},
        {46, "0", {}},
        {46, "1", {}},
        {46, "2", {}},
        {46, "3, 1, \"text\"", {0}}, // shown and ended by its deadline
        {46, "4", {}},
        {46, "3, 1, \"text\"", {0}},
        {46, "5", {}},
        {47, "", {-1}},
        {48, "2", {}},
        {49, "3", {}},
        {50, "", {-1}},
        {51, "", {-1}},
        {52, "", {-1}},
        {53, "", {-1}},
        {54, "", {-1}}, // no dialog picture in this game data: cannot be built
        {108, "0, 1, 2, 3, 4", {}},
        {108, "1, 1, 2, 3, 1", {}},
        {108, "2, 5, 6", {}},
        {108, "9", {}},
    };
    for (const CodeCase& row : cases) {
        SCOPED_TRACE(testing::Message() << "code " << row.code << " with " << row.arguments);
        Stack().clear();
        std::string source = "push " + std::to_string(SENTINEL) + "\nlib 29, " + std::to_string(row.code);
        if (*row.arguments != '\0')
            source += std::string(", ") + row.arguments;
        RunSource(source + "\nend\n");
        std::vector<int32_t> expected = {SENTINEL};
        expected.insert(expected.end(), row.pushed.begin(), row.pushed.end());
        EXPECT_EQ(StackIntegers(), expected) << m_listing;
    }
}

TEST_F(CFuncExecTest, CalendarTableHoldsTheGivenDaysAndZerosElsewhere)
{
    std::fill(State().Bytes.begin() + CALENDAR_BYTE, State().Bytes.begin() + CALENDAR_BYTE + CALENDAR_BYTES,
              0xAA);
    RunSource("lib 29, 25\nend\n");
    const auto day = [&](int month, int d) {
        return State().Bytes[CALENDAR_BYTE + (month - 1) * 32 + (d - 1)];
    };
    // Worked from the table: holidays carry weekday + 8.
    EXPECT_EQ(day(1, 1), 12);
    EXPECT_EQ(day(1, 15), 12);
    EXPECT_EQ(day(2, 11), 11);
    EXPECT_EQ(day(3, 21), 14);
    EXPECT_EQ(day(4, 29), 10);
    EXPECT_THAT(std::vector<int>({day(5, 3), day(5, 4), day(5, 5)}), ElementsAre(14, 15, 9));
    EXPECT_EQ(day(9, 15), 9);
    EXPECT_EQ(day(10, 10), 13);
    EXPECT_EQ(day(11, 23), 15);
    EXPECT_EQ(day(12, 23), 10);
    EXPECT_EQ(day(12, 31), 3);
    // Past each month's end, and the 32nd byte of every row.
    EXPECT_EQ(day(2, 29), 0);
    EXPECT_EQ(day(4, 31), 0);
    EXPECT_EQ(day(11, 31), 0);
    for (int month = 1; month <= 12; ++month)
        EXPECT_EQ(day(month, 32), 0) << month;
    int total = 0;
    for (size_t i = 0; i < CALENDAR_BYTES; ++i)
        total += State().Bytes[CALENDAR_BYTE + i] != 0;
    EXPECT_EQ(total, 365); // November's row writes a 0 for its 31st
    // An array too short for the table is left alone.
    State().Bytes.resize(CALENDAR_BYTE + 10);
    State().Bytes[CALENDAR_BYTE] = 0xAA;
    RunSource("lib 29, 25\nend\n");
    EXPECT_EQ(State().Bytes[CALENDAR_BYTE], 0xAA);
}

TEST_F(CFuncExecTest, DefaultHeroNameAndItsBacklogTextWithSuffixes)
{
    struct Row
    {
        int language;
        const char* name;
        const char* suffix;
    };
    for (const Row& row : {Row{0, "Ryusuke", " Jr."}, Row{1, "龙介", "二世"}, Row{2, "龍介", "二世"},
                           Row{3, "りゅうのすけ", "二世"}}) {
        SCOPED_TRACE(row.language);
        m_app.Config().SetInt("/Config/Language", row.language);
        std::fill(State().Bytes.begin(), State().Bytes.end(), 0x55);
        RunSource("lib 29, 19\nend\n");
        EXPECT_EQ(Exec().GetHeroName(), CStringUTF8(row.name));
        EXPECT_EQ(State().Bytes[HERO_NAME_BYTE + std::strlen(row.name)], 0);
        const std::vector<uint8_t> stored = HeroNameBytes();

        LogBuffer& entry = PrepareBacklog();
        RunSource("lib 29, 22, \"\"\nend\n");
        EXPECT_STREQ(entry.HeadText.GetText(), row.name);
        RunSource("lib 29, 22, \"any\"\nend\n");
        EXPECT_EQ(std::string(entry.HeadText.GetText()), std::string(row.name) + row.suffix);
        // The suffix bytes are cleared again: zero where they stood, the name unchanged.
        std::vector<uint8_t> cleared = stored;
        std::fill_n(cleared.begin() + static_cast<long>(std::strlen(row.name)), std::strlen(row.suffix), 0);
        EXPECT_EQ(HeroNameBytes(), cleared);
    }
}

TEST_F(CFuncExecTest, ANameEntryThatCannotBeSetUpLeavesTheDefaultNameInAGrownArray)
{
    // No parts sheet here: the entry is not run, and the story still gets a name.
    m_app.Config().SetInt("/Config/Language", 0);
    State().Bytes.resize(HERO_NAME_BYTE - 10);
    RunSource("lib 29, 18\nend\n");
    ASSERT_EQ(State().Bytes.size(), HERO_NAME_BYTE + 8);
    EXPECT_EQ(Exec().GetHeroName(), CStringUTF8("Ryusuke"));
}

TEST_F(CFuncExecTest, BacklogTextsHonourTheEngineStateAndTheArrayEnd)
{
    LogBuffer& entry = PrepareBacklog();
    RunSource("lib 29, 21, sj\"あい\"\nend\n");
    EXPECT_STREQ(entry.HeadText.GetText(), "あい");
    EXPECT_EQ(entry.HeadTextId, -1);
    // The operand is a text: a number names no table text, and its text (none) is the name.
    Exec().SetLanguageFileName(CStringUTF8("story"));
    RunSource("lib 29, 21, 102\nend\n");
    EXPECT_STREQ(entry.HeadText.GetText(), "");
    EXPECT_EQ(entry.HeadTextId, -1);
    EXPECT_STREQ(entry.TextTable.GetText(), "");
    RunSource("lib 29, 21, sj\"あい\"\nend\n");
    State().SetEngineStateBits(0x400);
    RunSource("lib 29, 21, \"other\"\nlib 29, 22, \"\"\nend\n");
    EXPECT_STREQ(entry.HeadText.GetText(), "あい");
    State().ClearEngineStateBits(0x400);

    // A name that reaches the end of the array: the suffix is cut there, never written past it.
    State().Bytes.resize(HERO_NAME_BYTE + 6);
    std::memcpy(State().Bytes.data() + HERO_NAME_BYTE, "abcde", 5);
    State().Bytes[HERO_NAME_BYTE + 5] = 0;
    m_app.Config().SetInt("/Config/Language", 0);
    RunSource("lib 29, 22, \"x\"\nend\n");
    EXPECT_STREQ(entry.HeadText.GetText(), "abcde Jr.");
    EXPECT_EQ(State().Bytes.size(), HERO_NAME_BYTE + 6);
    EXPECT_EQ(Exec().GetHeroName(), CStringUTF8("abcde"));
    // Code 19 does not write a name that does not fit with its end byte.
    RunSource("lib 29, 19\nend\n");
    EXPECT_EQ(Exec().GetHeroName(), CStringUTF8("abcde"));
}

TEST_F(CFuncExecTest, FlagCopyChecksEveryIndex)
{
    for (size_t i = 0; i < 20; ++i)
        State().Flags[i] = static_cast<uint8_t>(100 + i);
    State().Values[FLAG_COPY_BASE_VALUE] = ScriptValue::FromInteger(10);
    // Flags[10] := Flags[5 + 2], Flags[11] := Flags[1 + 2]; an index past the array and one
    // below it copy nothing.
    RunSource("push 777\nlib 29, 26, 4, 5, 1, 5000, -9\nend\n");
    EXPECT_THAT(StackIntegers(), ElementsAre(SENTINEL));
    EXPECT_EQ(State().Flags[10], 107);
    EXPECT_EQ(State().Flags[11], 103);
    EXPECT_EQ(State().Flags[12], 112);
    EXPECT_EQ(State().Flags[13], 113);
    State().Values[FLAG_COPY_BASE_VALUE] = ScriptValue::FromInteger(3399);
    RunSource("lib 29, 26, 2, 0, 0\nend\n");
    EXPECT_EQ(State().Flags[3399], 102);
    EXPECT_EQ(State().Flags.size(), 3400u);
}

TEST_F(CFuncExecTest, StashCopiesThenBecomesTheCurrentState)
{
    State().Flags[1] = 9;
    RunSource("lib 29, 38, 0\nend\n");
    State().Flags[1] = 4;
    EXPECT_EQ(Exec().GetStash().Flags[1], 9);
    RunSource("lib 29, 38, 1\nlib 29, 25\nend\n");
    EXPECT_EQ(Exec().CurrentState, &Exec().GetStash());
    EXPECT_EQ(Exec().GetStash().Bytes[CALENDAR_BYTE], 12);
    EXPECT_EQ(State().Bytes[CALENDAR_BYTE], 0);
}

TEST_F(CFuncExecTest, ThumbnailPlaceholderRefusesImpossibleSizes)
{
    RunSource("lib 29, -1, 4, 2, 3\nend\n");
    EXPECT_EQ(Get("thm004"), std::vector<uint8_t>(24, 0));
    for (const char* arguments :
         {"5, -1, 3", "5, 3, -1", "5, 65536, 65536", "5, 2147483647, 2", "-1, 1, 1"}) {
        RunSource(std::string("lib 29, -1, ") + arguments + "\nend\n");
        EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "thm005")) << arguments;
    }
    // Larger than the screen: refused with a report before anything is allocated.
    TakeMessageBoxes();
    for (const char* arguments : {"5, 1921, 1", "5, 1, 1081", "5, 16384, 8192"}) {
        RunSource(std::string("lib 29, -1, ") + arguments + "\nend\n");
        EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "thm005")) << arguments;
        EXPECT_EQ(TakeMessageBoxes().size(), 1u) << arguments;
    }
    RunSource("lib 29, -1, 5, 1920, 1080\nend\n");
    EXPECT_EQ(Get("thm005").size(), 1920u * 1080u * 4u);
    // A file that cannot be written is reported, not passed over.
    std::filesystem::remove(m_dir.Path() / "thm006");
    std::filesystem::create_directories(m_dir.Path() / "thm006");
    RunSource("lib 29, -1, 6, 2, 2\nend\n");
    EXPECT_EQ(TakeMessageBoxes().size(), 1u);
    State().SetSpMode(1);
    RunSource("lib 29, -1, 7, 1, 0\nend\n");
    EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "SP_thm007"));
    EXPECT_EQ(Get("SP_thm007").size(), 0u);

    // A file that cannot be written is reported, not passed over.
    TakeMessageBoxes();
    std::filesystem::create_directory(m_dir.Path() / "SP_thm008");
    RunSource("lib 29, -1, 8, 1, 1\nend\n");
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("SP_thm008 が作成出来ません。"), std::string::npos) << boxes[0];
}

TEST_F(CFuncExecTest, AutoSaveRunsOnceUnderItsGuard)
{
    State().Variables[AUTO_SAVE_GUARD_VARIABLE] = ScriptValue::FromInteger(1);
    RunSource("lib 29, 14\nend\n");
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "FLAG101"));
    EXPECT_EQ(State().Variables[AUTO_SAVE_GUARD_VARIABLE].Integer, 0);

    RunSource("lib 29, 14\nend\n");
    EXPECT_EQ(State().Variables[AUTO_SAVE_GUARD_VARIABLE].Integer, 0);
    const std::vector<uint8_t> file = Get("FLAG101");
    ASSERT_FALSE(file.empty());
    FlagBuffer saved;
    ByteCursor cursor(file);
    ASSERT_TRUE(saved.ReadFrom(cursor));
    EXPECT_EQ(saved.Variables[AUTO_SAVE_GUARD_VARIABLE].Integer, 1); // loading it does not save again
    EXPECT_EQ(GetGameWork()->GetStatus() & STATUS_SNAPSHOT_WANTED, 0u);
}

TEST_F(CFuncExecTest, HeroinePicturesAreMarkedSeenWithinTheGroupRange)
{
    // Group 0: variants 0 to 2; group 1: 3 to 7; group 4: 8 to 19.
    ScopedCGTables tables({{0, 3, "cg_r01.akb"}, {1, 5, "cg_o01.akb"}, {4, 12, "cg_k11.akb"}});
    RunSource("lib 29, 49, 0\nend\n");
    EXPECT_EQ(State().Flags[SEEN_PICTURE_FLAG], 0x07);
    EXPECT_EQ(State().Flags[PICTURES_SEEN_FLAG], 1);
    EXPECT_EQ(State().Flags[PICTURES_SEEN_FLAG_2], 1);
    std::vector<uint8_t> before = State().Flags;
    RunSource("lib 29, 49, 17\nlib 29, 49, -1\nlib 29, 49, 3\nend\n");
    // Heroine 3 has no pictures here but her scenes, flags 3126 to 3132, as the scene list has them.
    for (size_t flag = 3126; flag <= 3132; ++flag)
        before[flag] = 1;
    EXPECT_EQ(State().Flags, before);
    RunSource("lib 29, 49, 4\nend\n");
    EXPECT_EQ(State().Flags[SEEN_PICTURE_FLAG], 0x07);
    EXPECT_EQ(State().Flags[SEEN_PICTURE_FLAG + 1], 0xFF);
    EXPECT_EQ(State().Flags[SEEN_PICTURE_FLAG + 2], 0x0F);
}

TEST_F(CFuncExecTest, ExtrasMusicStartsOnlyWhenChannelZeroIsSilent)
{
    auto channel = std::make_unique<FakeWaveManager>();
    FakeWaveManager& music = *channel;
    GetGameSoundChannels()[SOUND_GROUP_MUSIC].push_back(std::move(channel));
    music.SetPlaying(true);
    RunSource("lib 29, 50\nlib 29, 52\nend\n");
    EXPECT_TRUE(music.Calls().empty());
    music.SetPlaying(false);
    RunSource("lib 29, 53\nend\n");
    ASSERT_EQ(music.Calls().size(), 2u);
    EXPECT_EQ(music.Calls()[1], "play SWEET_EN.wav");
}

TEST_F(CFuncExecTest, AnExtrasScreenThatCannotBeBuiltSaysSoWhileItCountsOneOpening)
{
    std::vector<std::pair<std::string, int32_t>> boxes;
    SetAppMessageBoxHook([&](UINT, const CStringUTF8& text) {
        boxes.emplace_back(text.GetText(), IOmakeParts::GetOpenCount());
        return 0;
    });
    RunSource("lib 29, 51\nlib 29, 52\nend\n"); // no sheets in the archive
    SetAppMessageBoxHook(nullptr);
    EXPECT_THAT(boxes, ElementsAre(std::pair<std::string, int32_t>("シーンモードの作成に失敗しました", 1),
                                   std::pair<std::string, int32_t>("Failed to create music mode.", 1)));
    EXPECT_EQ(IOmakeParts::GetOpenCount(), 0);
}

TEST_F(CFuncExecTest, FaceCellsAreCopiedBelowTheWindow)
{
    auto window = std::make_unique<CMesWnd>();
    window->m_face_sprite = CreateSpriteOfType(0, 0, 144, 144, 0, LAYER_KIND_MEMORY);
    window->m_face_sheet = CreateSpriteOfType(0, 0, 720, 144 * 9, 0, LAYER_KIND_MEMORY);
    window->m_window_y = 700;
    ILayer* sheet = SpriteLayerOf(window->m_face_sheet.get());
    ILayer* face = SpriteLayerOf(window->m_face_sprite.get());
    ASSERT_NE(sheet, nullptr);
    ASSERT_NE(face, nullptr);
    for (int k = 0; k < 45; ++k)
        sheet->FillRect((k % 5) * 144, (k / 5) * 144, 144, 144, 0xFF000000u | static_cast<uint32_t>(k + 1),
                        1);
    CMesWnd& shown = *window;
    GetGameWork()->ExchangeScreen(std::move(window));
    const auto cell = [&] {
        uint32_t pixel = 0;
        std::memcpy(&pixel, face->GetPixelPtr(70, 70), 4);
        return pixel & 0xFF;
    };
    RunSource("lib 29, 10, 15, 7\nend\n");
    EXPECT_EQ(cell(), 7u); // face 7 is cell 6
    EXPECT_EQ(shown.m_face_sprite->GetPosition().x, 260);
    EXPECT_EQ(shown.m_face_sprite->GetPosition().y, 767);
    EXPECT_EQ(shown.m_face_shown, 1);
    for (int f : {0, 1}) {
        RunSource("lib 29, 10, 15, 7\nlib 29, 10, 15, " + std::to_string(f) + "\nend\n");
        EXPECT_EQ(cell(), 1u) << f;
    }
    RunSource("lib 29, 10, 15, 7\nlib 29, 10, 15, 44\nend\n");
    EXPECT_EQ(cell(), 7u);
    RunSource("lib 29, 10, 16\nend\n");
    EXPECT_EQ(cell(), 0u);
    EXPECT_EQ(shown.m_face_shown, 0);
}

TEST_F(CFuncExecTest, GameCursorAttachesAndDetachesOnce)
{
    CWinHookList& hooks = GetView()->GetHookList();
    CMouse* mouse = GetMouse();
    mouse->SetCursorMode(2);
    const size_t attached = hooks.GetCount();
    RunSource("lib 29, 27, 0\nlib 29, 27, 0\nend\n");
    EXPECT_EQ(hooks.GetCount(), attached);
    EXPECT_EQ(mouse->IsOn(), 1);
    RunSource("lib 29, 27, 1\nlib 29, 27, 1\nend\n");
    EXPECT_FALSE(hooks.Contains(mouse));
    EXPECT_EQ(mouse->IsOn(), 0);
    EXPECT_EQ(mouse->GetMode(), -1);
    DeleteMouse();
}

TEST_F(CFuncExecTest, FaceVoiceTablesLoadClearAndStayInsideTheFile)
{
    using tools::WriteFaceVoiceTable;
    const std::vector<tools::FaceVoiceRecord> three = {{100, 1, 2, 0}, {250, -1, 0, 0}, {400, 3, 4, 0}};
    const std::vector<tools::ArchiveEntry> entries = {
        {"THREE.FV", WriteFaceVoiceTable(three)},
        {"ONE.FV", WriteFaceVoiceTable({{5, 0, 1, 0}})},
        {"CLAIMS.FV", WriteFaceVoiceTable(three, 9)},
        {"CUT.FV", WriteFaceVoiceTable(three, std::nullopt, 4 + 16 * 2 + 7)},
        {"NONE.FV", WriteFaceVoiceTable({})},
    };
    m_dir.Write("data.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Plain));
    CArchiveManager archive("data.arc", false, true);
    FakeDocumentLink link;
    link.m_data_archive = &archive;
    CFaceVoice& face = *GetGameWork()->GetFaceVoice();
    const auto flags = [&] {
        std::vector<int32_t> out;
        for (const CFaceVoice::Item& item : face.GetItems())
            out.push_back(item.Flag);
        return out;
    };

    RunSource("lib 29, 35, 0, \"three.fv\"\nend\n");
    EXPECT_THAT(flags(), ElementsAre(1, 0, 0));
    EXPECT_EQ(face.IsActive(), 1);
    face.ClearRedraw();
    face.Execute();
    EXPECT_TRUE(face.IsRedrawRequested());
    EXPECT_EQ(face.GetRecord(2).Time, 400u);
    EXPECT_EQ(face.GetRecord(2).Slot, 4);
    EXPECT_EQ(face.GetRecord(1).Group, -1);

    RunSource("lib 29, 35, 0, \"one.fv\"\nend\n"); // a second load replaces the items
    EXPECT_THAT(flags(), ElementsAre(1));
    EXPECT_EQ(face.GetRecord(0).Time, 5u);

    for (const char* name : {"claims.fv", "cut.fv"}) {
        RunSource(std::string("lib 29, 35, 0, \"") + name + "\"\nend\n");
        EXPECT_EQ(face.GetItems().size(), std::string(name) == "claims.fv" ? 3u : 2u) << name;
    }
    RunSource("lib 29, 35, 0, \"missing.fv\"\nend\n");
    EXPECT_EQ(face.GetItems().size(), 2u);

    CAppTask runner;
    CAppTask* previous = SetAppTask(&runner);
    runner.AddTask(&face);
    RunSource("lib 29, 35, 1\nend\n");
    EXPECT_FALSE(runner.Contains(&face));
    EXPECT_TRUE(face.GetItems().empty());
    EXPECT_EQ(face.GetTableSize(), 0u);
    EXPECT_EQ(face.IsActive(), 0);
    SetAppTask(previous);

    RunSource("lib 29, 35, 0, \"none.fv\"\nend\n");
    EXPECT_TRUE(face.GetItems().empty());
    EXPECT_EQ(face.IsActive(), 0);
    face.ClearRedraw();
    face.Execute(); // no table: nothing starts and no frame is asked for
    EXPECT_FALSE(face.IsRedrawRequested());

    m_app.Config().SetInt("/Config/SceneSkip", 1);
    Stack().clear();
    RunSource("lib 29, 35, 0, \"three.fv\"\nend\n");
    ASSERT_EQ(Stack().size(), 2u);
    EXPECT_STREQ(Stack()[0].Text.GetText(), "three.fv");
    EXPECT_EQ(Stack()[1].Integer, 0);
    EXPECT_TRUE(face.GetItems().empty());
}

TEST_F(CFuncExecTest, LanguageMessagesShowThroughTheTextFileWithTheirNumberForTheBacklog)
{
    std::vector<tools::ArchiveEntry> entries;
    for (const char* name : {"MSG_EN.MAP", "MSG_CN.MAP", "MSG_TW.MAP", "MSG.MAP"})
        entries.push_back(
            {name, tools::BuildMapTable(std::vector<tools::MapText>{
                       {0, u"zero"}, {1, u"one"}, {2, u"a line\\nthe next\\i\\r not shown\\r."}})});
    m_dir.Write("data.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Plain));
    CArchiveManager archive("data.arc", false, true);
    {
        FakeDocumentLink link; // lends the table its archive
        link.m_data_archive = &archive;
        GetGameWork()->m_text_file = std::make_unique<CLangTextFile>();
        GetGameWork()->m_text_file->Open(CStringUTF8("msg"));
    }
    SetDocumentLink(&Document());
    m_app.Config().SetInt("/Config/Language", 3);

    LogBuffer& entry = PrepareBacklog();
    State().SetEngineStateBits(ENGINE_STATE_RECORDING);
    Context().PrepareBacklogEntry(); // the message's record, opened as its first text opens it
    RunSource("lib 29, 24, 2, \"msg\"\nlib 29, 24, 0, 1\nend\n");
    LogBuffer* shown = Context().Backlog.GetCurrentEntry();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->MessageId, 1);
    EXPECT_EQ(shown->BodyText.GetStdString(), "one");
    EXPECT_STREQ(entry.TextTable.GetText(), "msg");

    // Written as the window shows it: the markup's line break as a line feed, the rest of the
    // markup left out.
    shown->BodyText = CStringUTF8("");
    RunSource("lib 29, 24, 0, 2\nend\n");
    EXPECT_EQ(shown->BodyText.GetStdString(), "a line\nthe next.");

    // Under scene skip the message is neither shown nor noted.
    shown->MessageId = -1;
    shown->BodyText = CStringUTF8("");
    m_app.Config().SetInt("/Config/SceneSkip", 1);
    RunSource("lib 29, 24, 0, 0\nend\n");
    EXPECT_EQ(shown->MessageId, -1);
    EXPECT_EQ(shown->BodyText.GetStdString(), "");
}
