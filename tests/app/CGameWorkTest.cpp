// The game work's flows over a started game: each sets and clears its lock bits, the menu lock,
// the engine state bits and the cursor freeze, also when a screen unwinds with a document code;
// the event tick serves requests in order and leaves locked ones pending.

#include "DocumentFixture.h"

#include <gtest/gtest.h>

#include <functional>

#include "app/CGameWork.h"
#include "app/CMouse.h"
#include "app/CVeskDoc.h"
#include "app/CVeskView.h"
#include "flagwrite/SaveDataWriter.h"
#include "screens/base/CBacklogScreen.h"
#include "screens/flags/CFlagManager.h"
#include "screens/map/CSubMap.h"
#include "screens/system/CConfig.h"
#include "screens/system/CLoadDialog.h"
#include "screens/system/CSaveDialog.h"
#include "screens/system/CSoundConfig.h"
#include "script/FlagBuffer.h"
#include "script/vm/CScript.h"
#include "script/vm/ScriptContext.h"

namespace {

// What a screen sees of the game while it runs.
struct Seen
{
    uint32_t lock = 0;
    int32_t menu_lock = 0;
    uint32_t engine = 0;
    int32_t cursor_on = 0;
    uint32_t request = 0;
    size_t active = 0;
};

Seen Observe()
{
    Seen seen;
    seen.lock = GetGameWork()->GetLockStatus();
    seen.menu_lock = GetGameWork()->GetMenuLock();
    seen.engine = GetDocument()->GetEngineStateWord();
    seen.cursor_on = GetMouse()->IsOn();
    seen.request = GetDocument()->GetRequestWord();
    seen.active = GetGameWork()->GetActiveScreens().size();
    return seen;
}

// A screen of class Base whose run records what it sees and then does what the test says.
template <typename Base>
class Probe final : public Base
{
public:
    template <typename... Args>
    explicit Probe(std::function<int32_t()> action, Args... args)
        : Base(args...)
        , m_action(std::move(action))
    {}
    std::vector<Seen> runs;

protected:
    void ModalLoop() override
    {
        runs.push_back(Observe());
        this->Result = ScriptValue::FromInteger(m_action());
    }

private:
    std::function<int32_t()> m_action;
};

int32_t Page(int32_t page)
{
    return page;
}

class CGameWorkThreadTest : public DocumentFixture
{
protected:
    CGameWorkThreadTest()
    {
        StartDocument();
        Work().AddMenuLock(0); // menu items enabled, as when the game runs
        GetMouse()->SetCursorMode(1);
        GetView()->SetStatusBits(VIEW_STATUS_ACTIVE);
        m_before = Observe();
    }
    ~CGameWorkThreadTest() override { GetView()->ClearStatusBits(0xF); }

    static CGameWork& Work() { return *GetGameWork(); }
    // Stands a probe in for the screen held where current is; current only names the kind.
    template <typename Base, typename... Args>
    Probe<Base>* Install(Base* /*current*/, std::function<int32_t()> action, Args... args)
    {
        auto* probe = new Probe<Base>(std::move(action), args...);
        Work().ExchangeScreen(std::unique_ptr<Base>(probe));
        return probe;
    }
    // Everything a flow touches is as it was before it.
    void ExpectRestored()
    {
        const Seen after = Observe();
        EXPECT_EQ(after.lock, 0u);
        EXPECT_EQ(after.menu_lock, 0);
        EXPECT_EQ(after.engine, m_before.engine);
        EXPECT_EQ(after.cursor_on, 1);
        EXPECT_EQ(GetMouse()->GetMode(), 1) << "the cursor is back with its own picture row";
        EXPECT_EQ(after.active, m_before.active);
        EXPECT_EQ(Work().GetStatus() & STATUS_SNAPSHOT_TAKEN, 0u);
    }

    Seen m_before;
};

TEST_F(CGameWorkThreadTest, SystemSettingsRequestRunsTheMenuFrozenAndPutsItBack)
{
    ASSERT_EQ(m_before.engine & ENGINE_STATE_MENU_ENABLED, ENGINE_STATE_MENU_ENABLED);
    auto* config = Install(Work().GetConfig(), [] { return Page(SYSTEM_PAGE_SOUND); });
    auto* sound = Install(Work().GetSoundConfig(), [] { return Page(SYSTEM_PAGE_CLOSE); });
    GetDocument()->EventFlagOp(EVENT_FLAG_SET, REQUEST_SYSTEM_SETTINGS);
    EXPECT_EQ(GetDocument()->OnFrame(), 1u);

    ASSERT_EQ(config->runs.size(), 1u);
    ASSERT_EQ(sound->runs.size(), 1u);
    const Seen& seen = config->runs[0];
    EXPECT_EQ(seen.lock, LOCK_SYSTEM_MENU | LOCK_SYSTEM_MENU_SOUND);
    EXPECT_EQ(seen.menu_lock, -1);
    EXPECT_EQ(seen.engine & ENGINE_STATE_MENU_ENABLED, 0u) << "menu items greyed";
    EXPECT_EQ(seen.cursor_on, 0) << "game cursor frozen";
    EXPECT_EQ(seen.request & REQUEST_SYSTEM_SETTINGS, 0u);
    EXPECT_EQ(seen.active, m_before.active + 1);
    ExpectRestored();
    EXPECT_EQ(GetDocument()->GetRequestWord(), 0u);
}

TEST_F(CGameWorkThreadTest, SoundSettingsRequestOpensOnItsPage)
{
    auto* config = Install(Work().GetConfig(), [] { return Page(SYSTEM_PAGE_END); });
    auto* sound = Install(Work().GetSoundConfig(), [] { return Page(SYSTEM_PAGE_END); });
    GetDocument()->EventFlagOp(EVENT_FLAG_SET, REQUEST_SOUND_SETTINGS);
    GetDocument()->OnFrame();
    EXPECT_TRUE(config->runs.empty());
    EXPECT_EQ(sound->runs.size(), 1u);
    ExpectRestored();
}

TEST_F(CGameWorkThreadTest, PageTheMenuDoesNotKnowEndsIt)
{
    auto* config = Install(Work().GetConfig(), [] { return 42; });
    Work().RunSystemMenu(SYSTEM_PAGE_SETTINGS);
    EXPECT_EQ(config->runs.size(), 1u);
    ExpectRestored();

    auto* save = Install(
        Work().GetSaveDialog(), [] { return 9; }, SYSTEM_PAGE_SAVE);
    Work().RunSaveLoad(SYSTEM_PAGE_SAVE);
    EXPECT_EQ(save->runs.size(), 1u);
    EXPECT_EQ(Work().GetLockStatus(), 0u);
    EXPECT_EQ(Work().GetMenuLock(), 0);
}

TEST_F(CGameWorkThreadTest, LoadFromTheMenuUnwindsWithCode3AfterCleaningUp)
{
    Work().SetStatusBits(STATUS_SNAPSHOT_WANTED);
    Install(
        Work().GetSaveDialog(), [] { return Page(SYSTEM_PAGE_LOAD); }, SYSTEM_PAGE_SAVE);
    auto* load = Install(
        Work().GetLoadDialog(), []() -> int32_t { throw CVeskDoc::DOCUMENT_RESTORE_STACK; },
        SYSTEM_PAGE_LOAD);
    try {
        Work().RunSystemMenu(SYSTEM_PAGE_SAVE);
        FAIL() << "the load did not unwind";
    } catch (CVeskDoc::tagDOCUMENT_CODE code) {
        EXPECT_EQ(code, CVeskDoc::DOCUMENT_RESTORE_STACK);
    }
    ASSERT_EQ(load->runs.size(), 1u);
    EXPECT_EQ(Work().GetStatus(), STATUS_SNAPSHOT_WANTED) << "snapshot taken during, cleared after";
    const Seen after = Observe();
    EXPECT_EQ(after.lock, 0u);
    EXPECT_EQ(after.menu_lock, 0);
    EXPECT_EQ(after.engine, m_before.engine);
    EXPECT_EQ(after.active, m_before.active);
}

TEST_F(CGameWorkThreadTest, SaveLoadLoopUnwindsTheSameWay)
{
    Install(
        Work().GetLoadDialog(), []() -> int32_t { throw CVeskDoc::DOCUMENT_RESTORE_STACK; },
        SYSTEM_PAGE_LOAD);
    EXPECT_THROW(Work().RunSaveLoad(SYSTEM_PAGE_LOAD), CVeskDoc::tagDOCUMENT_CODE);
    EXPECT_EQ(Work().GetLockStatus(), 0u);
    EXPECT_EQ(Work().GetMenuLock(), 0);
    EXPECT_EQ(GetDocument()->GetEngineStateWord(), m_before.engine);
}

// The pages make their parts at start-up and keep them: a visit of the menu, also one that
// unwinds with a document code, leaves every page holding them.
TEST_F(CGameWorkThreadTest, PagesKeepTheirPartsThroughEveryVisit)
{
    const auto all_held = [] {
        return Work().GetSaveDialog()->HoldsParts() && Work().GetLoadDialog()->HoldsParts() &&
               Work().GetBacklog()->HoldsParts() && Work().GetFlagManager()->HoldsParts();
    };
    EXPECT_TRUE(all_held());
    Install(Work().GetConfig(), [] { return Page(SYSTEM_PAGE_SOUND); });
    auto* sound = Install(Work().GetSoundConfig(), [] { return Page(SYSTEM_PAGE_END); });
    Work().RunSystemMenu(SYSTEM_PAGE_SETTINGS);
    EXPECT_EQ(sound->runs.size(), 1u);
    EXPECT_TRUE(all_held());
    Install(Work().GetConfig(), []() -> int32_t { throw CVeskDoc::DOCUMENT_RESTORE_STACK; });
    EXPECT_THROW(Work().RunSystemMenu(SYSTEM_PAGE_SETTINGS), CVeskDoc::tagDOCUMENT_CODE);
    EXPECT_TRUE(all_held());
}

TEST_F(CGameWorkThreadTest, FlagManagerClearsItsLockWhenACodeUnwindsThroughIt)
{
    auto* manager =
        Install(Work().GetFlagManager(), []() -> int32_t { throw CVeskDoc::DOCUMENT_RETURN_TO_TITLE; });
    EXPECT_THROW(Work().RunFlagManager(), CVeskDoc::tagDOCUMENT_CODE);
    ASSERT_EQ(manager->runs.size(), 1u);
    EXPECT_EQ(manager->runs[0].lock, LOCK_SYSTEM_MENU | LOCK_SYSTEM_MENU_SOUND);
    EXPECT_EQ(Work().GetLockStatus(), 0u);
    EXPECT_EQ(Work().GetMenuLock(), 0);

    // With the lock left set the settings request would wait for ever.
    auto* config = Install(Work().GetConfig(), [] { return Page(SYSTEM_PAGE_END); });
    GetDocument()->EventFlagOp(EVENT_FLAG_SET, REQUEST_SYSTEM_SETTINGS);
    GetDocument()->OnFrame();
    EXPECT_EQ(config->runs.size(), 1u);
}

TEST_F(CGameWorkThreadTest, NestedFlowsLeaveTheCounterAndMenuBitAsBefore)
{
    Install(Work().GetFlagManager(), [] { return Page(SYSTEM_PAGE_END); });
    auto* config = Install(Work().GetConfig(), [] {
        GetGameWork()->RunFlagManager();
        return Page(SYSTEM_PAGE_FLAG_MANAGER);
    });
    Work().RunSystemMenu(SYSTEM_PAGE_SETTINGS);
    EXPECT_EQ(config->runs.size(), 1u);
    ExpectRestored();
}

TEST_F(CGameWorkThreadTest, MenuPageExitAsksAndQuits)
{
    m_app.Config().SetInt("/Config/Dialog/02/Enable", 0);
    FlagBuffer& state = *GetDocument()->GetScript().m_current_state;
    state.Variables.resize(96);
    state.SetSpMode(1);
    state.Flags = {0x02, 0x10};
    GetDocument()->GetScript().m_script_context->ReadBuffer = {0x80, 0x01};
    m_dir.Write("FLAG000", tools::WriteGameFile(tools::GameFileKind::Flag, "name sys\nflags 1\nflag 0 1\n"));
    m_dir.Write("SP_FLAG000", tools::WriteGameFile(tools::GameFileKind::Flag, "flags 3\nflag 2 4\n"));
    Install(Work().GetConfig(), [] { return Page(SYSTEM_PAGE_EXIT); });
    try {
        Work().RunSystemMenu(SYSTEM_PAGE_SETTINGS);
        FAIL() << "no quit";
    } catch (CVeskDoc::tagDOCUMENT_CODE code) {
        EXPECT_EQ(code, CVeskDoc::DOCUMENT_QUIT);
    }
    EXPECT_EQ(GetDocument()->GetScript().m_current_state->SpMode(), 0);
    EXPECT_EQ(Work().GetLockStatus(), 0u);
    EXPECT_EQ(Work().GetMenuLock(), 0);
    EXPECT_EQ(GetDocument()->GetEngineStateWord(), m_before.engine);
    EXPECT_TRUE(TakeMessageBoxes().empty()) << "a disabled dialog shows nothing";
    // The flags merged into both system files, the already-read bits written.
    EXPECT_EQ(m_dir.Read("FLAG000"),
              tools::WriteGameFile(tools::GameFileKind::Flag, "name sys\nflags 2\nflag 0 3\nflag 1 16\n"))
        << tools::DumpFlagFile(m_dir.Read("FLAG000"));
    EXPECT_EQ(m_dir.Read("SP_FLAG000"),
              tools::WriteGameFile(tools::GameFileKind::Flag, "flags 3\nflag 0 2\nflag 1 16\nflag 2 4\n"));
    EXPECT_EQ(m_dir.Read("onemes.dat"), (std::vector<uint8_t>{0x80, 0x01}));
}

TEST_F(CGameWorkThreadTest, ExitRequestEndsTheMainLoop)
{
    GetDocument()->EventFlagOp(EVENT_FLAG_SET, REQUEST_EXIT | REQUEST_RETURN_TO_TITLE);
    EXPECT_EQ(GetDocument()->OnFrame(), 0u) << "exit comes before the return to the title";
    EXPECT_EQ(GetDocument()->GetRequestWord(), REQUEST_RETURN_TO_TITLE);
    ExpectRestored();
}

TEST_F(CGameWorkThreadTest, ReturnToUnknownTargetOnlyUnwinds)
{
    const std::shared_ptr<CScript> script = GetDocument()->GetScript().m_current_script;
    try {
        Work().ConfirmReturnTo(5, 0);
        FAIL();
    } catch (CVeskDoc::tagDOCUMENT_CODE code) {
        EXPECT_EQ(code, CVeskDoc::DOCUMENT_RETURN_TO_TITLE);
    }
    EXPECT_EQ(GetDocument()->GetScript().m_current_script, script);
    EXPECT_NE(GetDocument()->GetEngineStateWord() & ENGINE_STATE_GAME_INPUT, 0u)
        << "set again after the dialog";
    EXPECT_EQ(Work().GetLockStatus(), 0u);
    EXPECT_EQ(Work().GetMenuLock(), 0);
}

TEST_F(CGameWorkThreadTest, ReturnToTitleReplacesTheScript)
{
    GetDocument()->GetScript().m_current_state->Values[2] = ScriptValue::FromInteger(9);
    GetDocument()->EventFlagOp(EVENT_FLAG_SET, REQUEST_RETURN_TO_TITLE);
    EXPECT_EQ(GetDocument()->OnFrame(), 1u);
    EXPECT_STREQ(GetDocument()->GetScript().m_current_script->GetName().GetText(), "main.mes");
    EXPECT_EQ(GetDocument()->GetScript().m_script_stack.size(), 1u);
    EXPECT_EQ(GetDocument()->GetScript().m_current_state->Values[2].Integer, 0);
    EXPECT_EQ(GetDocument()->GetRequestWord(), 0u);
    EXPECT_EQ(Work().GetLockStatus(), 0u);
}

TEST_F(CGameWorkThreadTest, LockedRequestWaitsAndTheTickReturns)
{
    auto* config = Install(Work().GetConfig(), [] { return Page(SYSTEM_PAGE_END); });
    // The settings screen is up (its lock is held) when the menu asks for it again.
    Install(Work().GetFlagManager(), [] {
        GetDocument()->EventFlagOp(EVENT_FLAG_SET, REQUEST_SYSTEM_SETTINGS);
        GetDocument()->EventFlagOp(EVENT_FLAG_TICK, 0);
        return Page(SYSTEM_PAGE_END);
    });
    Work().RunFlagManager();
    EXPECT_TRUE(config->runs.empty());
    EXPECT_EQ(GetDocument()->GetRequestWord(), REQUEST_SYSTEM_SETTINGS) << "still pending";
    GetDocument()->EventFlagOp(EVENT_FLAG_TICK, 0);
    EXPECT_EQ(config->runs.size(), 1u);
}

class CountingPopup final : public CPopUpMenu
{
public:
    BOOL IsVisible() override { return m_visible; }
    void Open() override
    {
        ++opens;
        m_visible = TRUE;
    }
    BOOL Show(int command) override
    {
        m_visible = command != SW_HIDE;
        return TRUE;
    }
    int opens = 0;

private:
    BOOL m_visible = FALSE;
};

TEST_F(CGameWorkThreadTest, ExitRunsBeforeSettingsWhichRunAtTheNextTick)
{
    auto* config = Install(Work().GetConfig(), [] { return Page(SYSTEM_PAGE_END); });
    GetDocument()->EventFlagOp(EVENT_FLAG_SET, REQUEST_EXIT | REQUEST_SYSTEM_SETTINGS);
    try {
        GetDocument()->EventFlagOp(EVENT_FLAG_TICK, 0);
        FAIL() << "no quit";
    } catch (CVeskDoc::tagDOCUMENT_CODE code) {
        EXPECT_EQ(code, CVeskDoc::DOCUMENT_QUIT);
    }
    EXPECT_TRUE(config->runs.empty());
    EXPECT_EQ(GetDocument()->GetRequestWord(), REQUEST_SYSTEM_SETTINGS);
    GetDocument()->EventFlagOp(EVENT_FLAG_TICK, 0); // the game went on
    EXPECT_EQ(config->runs.size(), 1u);
    EXPECT_EQ(GetDocument()->GetRequestWord(), 0u);
}

TEST_F(CGameWorkThreadTest, AnIdleViewServesNothingWhateverIsPending)
{
    CountingPopup popup;
    GetView()->SetPopupMenu(&popup);
    GetDocument()->SetEngineStateBits(ENGINE_STATE_MENU_POPUP);
    auto* config = Install(Work().GetConfig(), [] { return Page(SYSTEM_PAGE_END); });
    const uint32_t all = REQUEST_EXIT | REQUEST_SYSTEM_SETTINGS | REQUEST_RETURN_TO_TITLE |
                         REQUEST_WINDOW_SETTINGS | REQUEST_SOUND_SETTINGS;
    GetDocument()->EventFlagOp(EVENT_FLAG_SET, all);
    GetView()->SetStatusBits(VIEW_STATUS_DESTROYED | VIEW_STATUS_OPEN_POPUP);
    GetDocument()->EventFlagOp(EVENT_FLAG_TICK, 0);
    EXPECT_EQ(GetDocument()->GetRequestWord(), all);
    EXPECT_TRUE(config->runs.empty());
    EXPECT_EQ(popup.opens, 0);
    EXPECT_NE(GetView()->GetStatus() & VIEW_STATUS_OPEN_POPUP, 0u);
    GetDocument()->EventFlagOp(EVENT_FLAG_CLEAR, all);
    GetView()->SetPopupMenu(nullptr);
}

TEST_F(CGameWorkThreadTest, PopupOpensOnlyWhenTheGameAllowsIt)
{
    CountingPopup popup;
    GetView()->SetPopupMenu(&popup);
    GetView()->SetStatusBits(VIEW_STATUS_OPEN_POPUP);
    GetDocument()->ClearEngineStateBits(ENGINE_STATE_MENU_POPUP);
    GetDocument()->EventFlagOp(EVENT_FLAG_TICK, 0);
    EXPECT_EQ(popup.opens, 0);
    EXPECT_NE(GetView()->GetStatus() & VIEW_STATUS_OPEN_POPUP, 0u) << "held back";

    GetDocument()->SetEngineStateBits(ENGINE_STATE_MENU_POPUP);
    GetDocument()->EventFlagOp(EVENT_FLAG_TICK, 0);
    EXPECT_EQ(popup.opens, 1);
    EXPECT_EQ(GetView()->GetStatus() & VIEW_STATUS_OPEN_POPUP, 0u);

    GetView()->SetStatusBits(VIEW_STATUS_HIDE_POPUP);
    GetDocument()->EventFlagOp(EVENT_FLAG_TICK, 0);
    EXPECT_FALSE(popup.IsVisible());
    EXPECT_EQ(GetView()->GetStatus() & VIEW_STATUS_HIDE_POPUP, 0u);
    GetView()->SetPopupMenu(nullptr);
}

TEST_F(CGameWorkThreadTest, PopupHeldByTheWindowDialogLeavesTheRequestPending)
{
    CountingPopup popup;
    GetView()->SetPopupMenu(&popup);
    GetDocument()->SetEngineStateBits(ENGINE_STATE_MENU_POPUP);
    *Work().m_lock_status = LOCK_WINDOW_MODE;
    GetView()->SetStatusBits(VIEW_STATUS_OPEN_POPUP);
    GetDocument()->EventFlagOp(EVENT_FLAG_TICK, 0); // returns instead of waiting for the lock
    EXPECT_EQ(popup.opens, 0);
    EXPECT_NE(GetView()->GetStatus() & VIEW_STATUS_OPEN_POPUP, 0u);
    *Work().m_lock_status = 0;
    GetView()->SetPopupMenu(nullptr);
}

TEST_F(CGameWorkThreadTest, NothingIsServedWhileTheWindowIsInactiveOrGone)
{
    auto* config = Install(Work().GetConfig(), [] { return Page(SYSTEM_PAGE_END); });
    GetDocument()->EventFlagOp(EVENT_FLAG_SET, REQUEST_SYSTEM_SETTINGS);
    GetView()->ClearStatusBits(VIEW_STATUS_ACTIVE);
    GetDocument()->EventFlagOp(EVENT_FLAG_TICK, 0);
    GetView()->SetStatusBits(VIEW_STATUS_ACTIVE | VIEW_STATUS_DESTROYED);
    GetDocument()->EventFlagOp(EVENT_FLAG_TICK, 0);
    EXPECT_TRUE(config->runs.empty());
}

TEST_F(CGameWorkThreadTest, WindowModeDialogTakesAndReleasesItsLock)
{
    GetDocument()->EventFlagOp(EVENT_FLAG_SET, REQUEST_WINDOW_SETTINGS);
    GetDocument()->OnFrame();
    EXPECT_EQ(GetDocument()->GetRequestWord(), 0u);
    EXPECT_EQ(Work().GetLockStatus(), 0u);
}

TEST_F(CGameWorkThreadTest, SubMapTakesASnapshotAndGivesItsResult)
{
    Work().SetStatusBits(STATUS_SNAPSHOT_WANTED);
    auto* sub_map = Install(Work().GetSubMap(), [] {
        EXPECT_EQ(GetGameWork()->GetStatus(), STATUS_SNAPSHOT_WANTED | STATUS_SNAPSHOT_TAKEN);
        return 17;
    });
    EXPECT_EQ(Work().RunSubMap(), 17);
    ASSERT_EQ(sub_map->runs.size(), 1u);
    EXPECT_EQ(sub_map->runs[0].cursor_on, 0);
    EXPECT_EQ(GetMouse()->IsOn(), 1);
    EXPECT_EQ(Work().GetStatus(), STATUS_SNAPSHOT_WANTED);
    // The map screens' name for the same run.
    EXPECT_EQ(Work().SuspendGameCursor(), 17);
    ASSERT_EQ(sub_map->runs.size(), 2u);
    EXPECT_EQ(sub_map->runs[1].cursor_on, 0);
    EXPECT_EQ(GetMouse()->IsOn(), 1);
}

class RepeatingBacklog final : public CBacklogScreen
{
public:
    int32_t RunBacklog(ScriptValue*, int32_t start_index) override
    {
        starts.push_back(start_index);
        return starts.size() < 3 ? BACKLOG_RUN_AGAIN_FIRST + static_cast<int32_t>(starts.size()) - 1 : 7;
    }
    int32_t GetKeptIndex() override { return 30; }
    std::vector<int32_t> starts;
};

TEST_F(CGameWorkThreadTest, BacklogRunsAgainFromItsKeptIndex)
{
    auto* backlog = new RepeatingBacklog;
    Work().ExchangeScreen(std::unique_ptr<CBacklogScreen>(backlog));
    EXPECT_EQ(Work().RunBacklog(), 7);
    EXPECT_EQ(backlog->starts, (std::vector<int32_t>{0, 30, 30}));
}

// A screen that looks at the game work's words while it is destroyed.
class WordReader final : public CSaveDialog
{
public:
    explicit WordReader(bool* saw_words)
        : CSaveDialog(SYSTEM_PAGE_SAVE)
        , m_saw_words(saw_words)
    {}
    ~WordReader() override { *m_saw_words = GetGameWork()->m_lock_status && GetGameWork()->m_status; }

private:
    bool* m_saw_words;
};

TEST_F(CGameWorkThreadTest, ScreensStillSeeTheWordsWhileTheyAreDestroyed)
{
    bool saw_words = false;
    Work().ExchangeScreen(std::make_unique<WordReader>(&saw_words));
    Work().DestroyObjects();
    EXPECT_TRUE(saw_words);
    EXPECT_EQ(Work().m_lock_status, nullptr);
    EXPECT_EQ(Work().m_status, nullptr);
}

// The script and the screens reach the game work through their own parts of it, and a flow a
// screen starts through its part is the shell's, with the shell's locks.
TEST_F(CGameWorkThreadTest, LowerAreasReachTheShellsWorkAndItsFlows)
{
    ASSERT_EQ(GetScriptWork(), static_cast<ScriptWork*>(&Work()));
    ScreenWork* work = GetScreenWork();
    ASSERT_EQ(work, static_cast<ScreenWork*>(&Work()));
    GetScriptWork()->SetStatusBits(STATUS_SNAPSHOT_WANTED);
    EXPECT_EQ(Work().GetStatus() & STATUS_SNAPSHOT_WANTED, STATUS_SNAPSHOT_WANTED);
    Work().ClearStatusBits(STATUS_SNAPSHOT_WANTED);

    auto* config = Install(Work().GetConfig(), [] { return Page(SYSTEM_PAGE_END); });
    EXPECT_EQ(config->GameWork, work);
    work->RunSystemMenu(SYSTEM_PAGE_SETTINGS);
    ASSERT_EQ(config->runs.size(), 1u);
    EXPECT_EQ(config->runs[0].lock, LOCK_SYSTEM_MENU | LOCK_SYSTEM_MENU_SOUND);
    EXPECT_EQ(config->runs[0].active, m_before.active + 1);
    ExpectRestored();
}

} // namespace
