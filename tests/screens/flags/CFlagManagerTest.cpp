#include "screens/flags/CFlagManager.h"

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "game/hints/HintReachability.h"
#include "screens/flags/CFlagDetails.h"
#include "screens/flags/FlagScreenFixture.h"
#include "screens/flags/JumpToEvent.h"
#include "script/ScriptState.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;

POINT ButtonCentre(int32_t n)
{
    return {168 + 320 * (n % 5) + 160, 224 * (n / 5 + 1) + 112};
}

class CFlagManagerThreadTest : public FlagScreenFixture
{
protected:
    explicit CFlagManagerThreadTest(
        std::vector<tools::ArchiveEntry> pictures = FlagEntries(tools::FlagPictureFiles()),
        bool dialog_sheet = true)
        : FlagScreenFixture(std::move(pictures), dialog_sheet)
    {}

    CFlagManager& Manager() { return *GetGameWork()->GetFlagManager(); }

    // Runs the menu through the game work, from the side menu's call or as page 10 of the system
    // menu; Esc ends it at the given pump. Answers the document code that left it, or -1.
    int64_t RunMenu(std::function<void(int)> step, int escape_at, bool system_menu = false)
    {
        PointAt(900, 1060);
        Step([&, step](int pump) {
            step(pump);
            PressAt(pump, escape_at, 1);
        });
        int64_t code = -1;
        try {
            if (system_menu)
                GetGameWork()->RunSystemMenu(SYSTEM_PAGE_FLAG_MANAGER);
            else
                GetGameWork()->RunFlagManager();
        } catch (CVeskDoc::tagDOCUMENT_CODE thrown) {
            code = thrown;
        }
        OnPump(nullptr);
        m_keyboard.down.clear();
        m_mouse.left_down = 0;
        return code;
    }

    // Heroine 0's next event in the seeded state: its cell and record.
    std::pair<int32_t, FlagHintRecord> NextEventOfHeroine0()
    {
        CFlagDetails probe;
        probe.BuildLists();
        probe.PlaceLists();
        for (int32_t d = 0; d < FLAG_DAYS; ++d)
            if (FlagHintRecord* record = probe.Slot(0, d); record != nullptr && record->IsNext == 1)
                return {d, *record};
        ADD_FAILURE() << "heroine 0 has no next event";
        return {-1, {}};
    }
};

TEST_F(CFlagManagerThreadTest, CursorKeysWalkTheGrid)
{
    struct Case
    {
        int32_t current;
        uint32_t key;
        int32_t target;
    } cases[] = {
        {-1, SCAN_UP, 0},     {-1, SCAN_RIGHT, 0}, {12, SCAN_DOWN, 256}, {10, SCAN_DOWN, 256},
        {9, SCAN_DOWN, 14},   {256, SCAN_UP, 14},  {256, SCAN_LEFT, -1}, {300, SCAN_UP, 14},
        {2, SCAN_UP, -1},     {4, SCAN_RIGHT, -1}, {5, SCAN_LEFT, -1},   {6, SCAN_LEFT, 5},
        {0xF03, SCAN_UP, -1}, {7, SCAN_UP, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CFlagManager::KeyTarget(c.current, c.key), c.target) << c.current << " " << c.key;
}

TEST_F(CFlagManagerThreadTest, HoverKeysDecideAndTheDetailsRoundTrip)
{
    const POINT three = ButtonCentre(3);
    const POINT zero = ButtonCentre(0);
    Cell hovered, after_map, after_back;
    int help_hovered = 0, help_on_map = 0;
    int32_t id_on_map = 0, id_after_back = 0;
    int sounds_map = -1, sounds_nothing = -1;
    bool details_listed = false;
    const size_t listed = GetGameWork()->GetActiveScreens().size();
    auto help_pixels = [&] {
        int count = 0;
        for (int y = 1004; y < 1044; y += 2)
            for (int x = 109; x < 1109; x += 2)
                count += ShownCell(x, y) != Cell{tools::FLAG_LIST_BACKGROUND + 3, 0} ? 1 : 0;
        return count;
    };
    const int64_t code = RunMenu(
        [&](int pump) {
            if (pump == 3)
                PointAt(three.x, three.y);
            if (pump == 5) {
                Capture("flag_manager_hover.png");
                hovered = ShownCell(three.x, three.y);
                help_hovered = help_pixels();
                PointAt(50, 40); // the system-menu map's tab block
            }
            if (pump == 7) {
                Capture();
                after_map = ShownCell(three.x, three.y);
                help_on_map = help_pixels();
                id_on_map = Manager().CurrentId;
                TakeOkCancelSounds();
            }
            PressAt(pump, 8, 28);
            if (pump == 14) {
                sounds_map = TakeSounds(true);
                PointAt(900, 1060);
            }
            PressAt(pump, 16, 28);
            if (pump == 22)
                sounds_nothing = TakeSounds(true);
            PressAt(pump, 24, SCAN_DOWN); // from nothing to heroine 0
            ClickAt(pump, 30);            // opens her schedule
            if (pump == 60) {
                details_listed = GetGameWork()->GetActiveScreens().size() == listed + 1;
                PointAt(900, 1060);
            }
            PressAt(pump, 62, 1); // backs out of the schedule
            if (pump == 90) {
                Capture("flag_manager_back.png");
                after_back = ShownCell(zero.x, zero.y);
                id_after_back = Manager().CurrentId;
            }
        },
        100);
    EXPECT_EQ(code, -1);
    EXPECT_EQ(hovered, Cell(3, 1));
    EXPECT_GT(help_hovered, 0);
    EXPECT_EQ(id_on_map, FLAG_MANAGER_MENU_MAP + tools::FLAG_MENU_MAP_TAB);
    EXPECT_EQ(after_map, Cell(3, 0));
    EXPECT_EQ(help_on_map, help_hovered); // the old line stays
    EXPECT_EQ(sounds_map, 1);
    EXPECT_EQ(sounds_nothing, 0);
    ASSERT_FALSE(m_mouse.warps.empty());
    EXPECT_EQ(m_mouse.warps[0].x, zero.x);
    EXPECT_EQ(m_mouse.warps[0].y, zero.y);
    EXPECT_TRUE(details_listed);
    EXPECT_EQ(after_back, Cell(0, 0));
    EXPECT_EQ(id_after_back, -1);
    EXPECT_EQ(GetGameWork()->GetActiveScreens().size(), listed);
    EXPECT_FALSE(GetGameWork()->TestBits(LOCK_SYSTEM_MENU));
}

TEST_F(CFlagManagerThreadTest, BackButtonAndCancelEndTheSystemMenu)
{
    ScriptValue out;
    for (bool back : {true, false}) {
        Step([&](int pump) {
            if (pump == 3)
                PointAt(1712 + 79, 913 + 79);
            if (back)
                ClickAt(pump, 5);
            else
                PressAt(pump, 5, 1);
        });
        out = ScriptValue::FromInteger(7);
        Manager().Run(&out);
        EXPECT_EQ(out.Integer, -1) << back;
        EXPECT_EQ(Manager().KeepView, 0);
    }
    OnPump(nullptr);
}

TEST_F(CFlagManagerThreadTest, TheLanguageNamesTheSheets)
{
    for (int language : {0, 3}) {
        m_app.Config().SetInt("/Config/Language", language);
        Cell background;
        RunMenu(
            [&](int pump) {
                if (pump == 3) {
                    Capture();
                    background = ShownCell(20, 1075);
                }
            },
            5);
        EXPECT_EQ(background, Cell(tools::FLAG_LIST_BACKGROUND + static_cast<uint32_t>(language), 0))
            << language;
    }
}

TEST_F(CFlagManagerThreadTest, JumpSetsTheEventsStateOnlyWhereTheArraysHoldIt)
{
    FlagHintRecord record;
    record.SceneFile = "main.mes";
    record.FirstDate = 1222;
    record.EarliestTime = 1815;
    record.Fare = 3;
    record.District = 0x102;
    record.Location = 5;
    record.Code = 500;
    struct Case
    {
        int32_t date;
        uint32_t code;
        size_t flags;
        uint8_t new_day;
    } cases[] = {{1222, 500, 8066, 0}, {1301, HINT_CODE_NONE, 8066, 1}, {1301, 50, 100, 0}};
    for (const Case& c : cases) {
        State() = MakeHintState();
        State().Flags.resize(c.flags);
        const std::vector<uint8_t> before = State().Flags;
        record.FirstDate = c.date;
        record.Code = c.code;
        int64_t thrown = -1;
        try {
            JumpToEvent(record);
        } catch (CVeskDoc::tagDOCUMENT_CODE code) {
            thrown = code;
        }
        EXPECT_EQ(thrown, CVeskDoc::DOCUMENT_RETURN_TO_TITLE);
        const FlagBuffer& state = State();
        EXPECT_EQ(state.GameDate(), c.date);
        EXPECT_EQ(state.Weekday(), DayOfWeek(c.date));
        EXPECT_EQ(state.GameTime(), 1815);
        EXPECT_EQ(state.Money(), 10000 - 300);
        EXPECT_NE(state.EngineStateWord() & ENGINE_STATE_JUMPED, 0u);
        ASSERT_EQ(state.Flags.size(), c.flags);
        std::vector<uint8_t> expected = before;
        if (c.flags > 8008) {
            expected[FLAG_JUMP_NEW_DAY] = c.new_day;
            expected[FLAG_JUMP_TAKEN] = expected[FLAG_JUMP_TRIP] = 1;
            expected[FLAG_DISTRICT] = 2;
            expected[FLAG_LOCATION] = 5;
        }
        if (c.code != HINT_CODE_NONE)
            expected[c.code] = 1;
        EXPECT_EQ(state.Flags, expected) << c.date;
        EXPECT_EQ(std::string(GetScriptState().m_current_script->GetName().GetText()), "main.mes");
    }
    // A scene the archive lacks changes nothing and is reported.
    State() = MakeHintState();
    const FlagBuffer before = State();
    const auto script = GetScriptState().m_current_script;
    record.SceneFile = "absent.mes";
    m_messages.clear();
    EXPECT_NO_THROW(JumpToEvent(record));
    EXPECT_EQ(State().Flags, before.Flags);
    EXPECT_EQ(State().Money(), before.Money());
    EXPECT_EQ(State().GameDate(), before.GameDate());
    EXPECT_EQ(GetScriptState().m_current_script, script);
    EXPECT_EQ(m_messages.size(), 1u);
}

TEST_F(CFlagManagerThreadTest, ADeclinedQuestionKeepsThePlayAndASwitchedOffOneJumps)
{
    const auto [day, record] = NextEventOfHeroine0();
    ASSERT_GE(day, 0);
    AddScenes({std::string(record.SceneFile.GetText())});
    const POINT cell{212 + 87 * day + 43, 146 + 42};
    const size_t listed = GetGameWork()->GetActiveScreens().size();
    const POINT start = ButtonCentre(0);
    const FlagBuffer before = State();
    Cell after_decline;
    int sounds = -1;
    auto choose = [&](int pump) {
        if (pump == 1)
            PointAt(start.x, start.y);
        ClickAt(pump, 3); // heroine 0
        if (pump == 30)
            PointAt(cell.x, cell.y);
        ClickAt(pump, 33); // her next event
    };
    // Declined: the play stays as it was and the cell is drawn normal, then hovered again.
    const int64_t declined = RunMenu(
        [&](int pump) {
            choose(pump);
            PressAt(pump, 55, 1); // no to the question
            if (pump == 70) {
                Capture("flag_details_declined.png");
                after_decline = ShownCell(cell.x, 146 + 20); // above the panel's pointer
                sounds = TakeSounds(true);
            }
            PressAt(pump, 75, 1); // leaves the schedule
        },
        100);
    EXPECT_EQ(declined, -1);
    EXPECT_EQ(after_decline, Cell(tools::FLAG_SHEET_POSSIBLE, 1));
    EXPECT_EQ(sounds, 2); // the heroine and her event; the question's own no is the dialog's
    EXPECT_EQ(State().Flags, before.Flags);
    EXPECT_EQ(State().GameDate(), before.GameDate());
    EXPECT_EQ(State().Money(), before.Money());

    // Switched off: the jump goes ahead from page 10 of the system menu, and every screen closes
    // unlocked on the way out; the next frame steps the scene.
    m_app.Config().SetInt("/Config/Dialog/09/Enable", 0);
    const int64_t code = RunMenu(choose, 100, true);
    EXPECT_EQ(code, CVeskDoc::DOCUMENT_RETURN_TO_TITLE);
    EXPECT_EQ(State().GameDate(), record.FirstDate);
    EXPECT_EQ(State().GameTime(), record.EarliestTime);
    EXPECT_EQ(State().Money(), before.Money() - static_cast<int32_t>(record.Fare) * 100);
    EXPECT_EQ(std::string(GetScriptState().m_current_script->GetName().GetText()),
              record.SceneFile.GetText());
    EXPECT_EQ(GetGameWork()->GetActiveScreens().size(), listed);
    EXPECT_EQ(GetGameWork()->GetLockStatus(), 0u);
    EXPECT_EQ(GetGameWork()->GetMenuLock(), 0);
    const auto scene = GetScriptState().m_current_script;
    ASSERT_EQ(scene->GetPosition(), 0u);
    GetDocument()->OnFrame();
    EXPECT_GT(scene->GetPosition(), 0u);
}

// Without the dialog's sheet the question cannot be asked: the jump does not happen.
class CFlagManagerNoDialogThreadTest : public CFlagManagerThreadTest
{
protected:
    CFlagManagerNoDialogThreadTest()
        : CFlagManagerThreadTest(FlagEntries(tools::FlagPictureFiles()), false)
    {}
};

TEST_F(CFlagManagerNoDialogThreadTest, AQuestionThatCannotBeBuiltDeclinesTheJump)
{
    const auto [day, record] = NextEventOfHeroine0();
    ASSERT_GE(day, 0);
    AddScenes({std::string(record.SceneFile.GetText())});
    const FlagBuffer before = State();
    m_messages.clear();
    const int64_t code = RunMenu(
        [&, day = day](int pump) {
            if (pump == 1)
                PointAt(ButtonCentre(0).x, ButtonCentre(0).y);
            ClickAt(pump, 3);
            if (pump == 30)
                PointAt(212 + 87 * day + 43, 146 + 42);
            ClickAt(pump, 33);
            PressAt(pump, 50, 1); // leaves the schedule; the Esc at the end leaves the menu
        },
        80);
    EXPECT_EQ(code, -1);
    ASSERT_FALSE(m_messages.empty());
    EXPECT_NE(m_messages.back().find("確認ダイアログ"), std::string::npos) << m_messages.front();
    EXPECT_EQ(State().Flags, before.Flags);
    EXPECT_EQ(State().GameDate(), before.GameDate());
}

// A schedule whose pictures are missing is not run: the menu reports it and stays.
class CFlagManagerNoScheduleThreadTest : public CFlagManagerThreadTest
{
protected:
    static std::vector<tools::ArchiveEntry> ListOnly()
    {
        std::vector<tools::NamedFile> files;
        for (const tools::NamedFile& file : tools::FlagPictureFiles())
            if (file.name.starts_with("flaglist"))
                files.push_back(file);
        return FlagEntries(files);
    }
    CFlagManagerNoScheduleThreadTest()
        : CFlagManagerThreadTest(ListOnly())
    {}
};

TEST_F(CFlagManagerNoScheduleThreadTest, TheMenuReportsAndRedrawsItsList)
{
    m_messages.clear();
    Cell shown;
    bool running = false;
    const int64_t code = RunMenu(
        [&](int pump) {
            if (pump == 1)
                PointAt(ButtonCentre(0).x, ButtonCentre(0).y);
            ClickAt(pump, 3);
            if (pump == 30) {
                PointAt(900, 1060);
                running = Manager().Running == 1;
            }
            if (pump == 40) {
                Capture();
                shown = ShownCell(ButtonCentre(0).x, ButtonCentre(0).y);
            }
        },
        50);
    EXPECT_EQ(code, -1);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find("フラグ詳細画面"), std::string::npos) << m_messages[0];
    EXPECT_TRUE(running);
    EXPECT_EQ(shown, Cell(0, 0));
}

} // namespace
