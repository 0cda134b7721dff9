#include "app/CGameWork.h"

#include <algorithm>
#include <new>

#include "app/AppMessageBox.h"
#include "app/CMouse.h"
#include "app/CVeskDoc.h"
#include "app/CVeskView.h"
#include "app/CWinApp.h"
#include "app/CWindowModeDLG.h"
#include "app/ShellScriptScreens.h"
#include "foundation/CExecException.h"
#include "foundation/CInputView.h"
#include "foundation/CLangTextFile.h"
#include "foundation/CLangTextTable.h"
#include "foundation/ConfigAccess.h"
#include "foundation/CreationFault.h"
#include "foundation/IMouse.h"
#include "foundation/ScopedLock.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/SpriteLayerRegistry.h"
#include "movie/MovieVolumeRecord.h"
#include "platform/user/MenuApi.h"
#include "platform/user/MessageApi.h"
#include "screens/base/CBacklogScreen.h"
#include "screens/base/CDialog.h"
#include "screens/base/CFaceVoice.h"
#include "screens/base/CMesWnd.h"
#include "screens/base/CNormalSelect2.h"
#include "screens/extras/CCGFlag.h"
#include "screens/flags/CFlagManager.h"
#include "screens/map/CAreaBase.h"
#include "screens/map/CAreaSelect.h"
#include "screens/map/CCps.h"
#include "screens/map/CStatusPlate.h"
#include "screens/map/CSubMap.h"
#include "screens/system/CConfig.h"
#include "screens/system/CLoadDialog.h"
#include "screens/system/CSaveDialog.h"
#include "screens/system/CSoundConfig.h"
#include "script/FlagBuffer.h"
#include "script/ScriptScreenTable.h"
#include "script/commands/CFuncFlag.h"
#include "script/commands/CFuncOneMes.h"
#include "script/exec/IBGVPlay.h"
#include "script/exec/StandingCharacterSet.h"

namespace {

CGameWork* g_game_work = nullptr; // never freed: screens reach it up to process exit

struct ReturnTarget
{
    int32_t DialogKind;
    const char* Script;
    const char* Name;
};

constexpr ReturnTarget RETURN_TARGETS[] = {
    {3, "main.mes", "タイトル"},
    {8, "omake.mes", "シーン回想選択"},
};

void Require(int32_t built, const char* failure)
{
    if (built == 0 || IsCreationFaultInjected(failure))
        throw CExecException(failure);
}

FlagBuffer* GameState()
{
    return GetDocument()->GetScript().m_current_state.get();
}

bool EngineBit(uint32_t bit)
{
    return (GetDocument()->GetEngineStateWord() & bit) != 0;
}

HWND ViewWindow()
{
    return GetView()->GetHandle();
}

void DrawViewMenuBar()
{
    if (HWND window = ViewWindow())
        DrawMenuBar(window);
}

void EnableClose(bool enable)
{
    if (HWND window = ViewWindow()) {
        if (HMENU menu = GetSystemMenu(window, FALSE))
            EnableMenuItem(menu, SC_CLOSE, enable ? MF_ENABLED : MF_GRAYED);
        DrawMenuBar(window);
    }
}

void ResetWheel()
{
    if (CInputView* input = GetInputView())
        if (IMouse* mouse = input->GetMouse())
            mouse->ResetWheel();
}

// The game cursor off while a system screen runs; on again afterwards only if it was on. The
// freeze leaves the mode at -1, and turning the cursor on from -1 turns it straight off again,
// so the thaw sets the remembered mode, which brings the cursor back with its own picture row.
class FrozenInput
{
public:
    FrozenInput()
        : m_was_on(GetMouse()->IsOn() != 0)
        , m_mode(GetMouse()->GetMode())
    {
        GetMouse()->SetCursorMode(0);
    }
    void TurnCursorBackOn() const
    {
        if (m_was_on && m_mode > 0)
            GetMouse()->SetCursorMode(m_mode);
        else if (m_was_on)
            GetMouse()->ShowGameCursor();
    }
    void Thaw() const
    {
        TurnCursorBackOn();
        ResetWheel();
    }

private:
    bool m_was_on;
    int32_t m_mode;
};

// The already-read bits and the system flags written before the game is left.
void SaveSystemData()
{
    CFuncOneMes one_mes;
    // A failed write has told the player; the system flags are still worth writing.
    (void)one_mes.SaveReadBuffer();
    CFuncFlag flags;
    if (FlagBuffer* state = GameState(); state != nullptr && state->SpMode() == 1) {
        flags.MergeIntoFlagFile(0);
        state->SetSpMode(0);
    }
    flags.MergeIntoFlagFile(0);
}

} // namespace

CGameWork* GetGameWork()
{
    if (g_game_work == nullptr) {
        g_game_work = new (std::nothrow) CGameWork;
        if (g_game_work == nullptr)
            throw CExecException("Failed to create the Document Object");
    }
    return g_game_work;
}

CGameWork::CGameWork()
{
    RegisterShellScriptScreens(*this);
}

namespace {

// The script, game and screen areas reach the game work through these, made on first call.
[[maybe_unused]] const bool g_finders_installed = [] {
    SetScriptWorkFinder([]() -> ScriptWork* { return GetGameWork(); });
    SetScreenWorkFinder([]() -> ScreenWork* { return GetGameWork(); });
    return true;
}();

} // namespace

CGameWork::~CGameWork()
{
    DestroyObjects();
    UnregisterShellScriptScreens();
}

// The message window, the town map and the sub map make their parts here and keep them, so that
// data that cannot make them stops the start-up. The system-menu pages make their pictures and
// layers when a visit of the menu opens them (see PageVisit), and the choice window at its first
// run; here they only look their indispensable pictures up, and a page or a choice window that
// cannot be made later stops the game with its text.
void CGameWork::CreateObjects()
{
    m_status = Make<uint32_t>("Status Object Create Failed", 0u);
    m_lock_status = Make<uint32_t>("Lock Status Object Create Failed", 0u);
    m_system_language = Make<CLangTextTable>("Sytem Language Object Create Failed");
    m_message_window = Make<CMesWnd>("Message Frame Object Create Failed");
    Require(m_message_window->CreateParts(), "Message Frame Object Create Failed");
    m_choice_window = Make<CNormalSelect2>("Select Object Create Failed");
    Require(CNormalSelect2::HasRequiredParts(), "Select Object Create Failed");
    RegisterScriptScreen(ScriptScreen::Choice, [this](const ScriptScreenCall&, ScriptValue* out) {
        if (m_choice_window)
            m_choice_window->Run(out);
    });
    m_save_screen = Make<CSaveDialog>("Save Object Create Failed", SYSTEM_PAGE_SAVE);
    Require(m_save_screen->HasRequiredParts(), "Save Object Create Failed");
    m_load_screen = Make<CLoadDialog>("Load Object Create Failed", SYSTEM_PAGE_LOAD);
    Require(m_load_screen->HasRequiredParts(), "Load Object Create Failed");
    m_backlog = Make<CBacklogScreen>("Log Object Create Failed");
    Require(m_backlog->HasRequiredParts(), "Log Object Create Failed");
    m_config = Make<CConfig>("Config Object Create Failed");
    Require(m_config->HasRequiredParts(), "Config Object Create Failed");
    m_town_map = Make<CCps>("Map Object Create Failed");
    Require(m_town_map->CreateMenu(), "Map Object Create Failed");
    m_area_base = Make<CAreaBase>("Search Base Object Create Failed");
    Require(m_area_base->CreateParts(), "Search Base Object Create Failed");
    m_area_select = Make<CAreaSelect>("Search Object Create Failed");
    m_area_select->HitSource = "";
    Require(m_area_select->CreateParts(), "Search Object Create Failed");
    m_sound_config = Make<CSoundConfig>("Sound Config Object Create Failed");
    Require(m_sound_config->HasRequiredParts(), "Sound Config Object Create Failed");
    m_characters = Make<StandingCharacterSet>("Character Object Create Failed");
    m_bgv_players = Make<std::vector<std::unique_ptr<IBGVPlay>>>("BGV Object Create Failed");
    m_bgv_players->push_back(Make<IBGVPlay>("BGV Object Create Failed", 2));
    m_bgv_players->push_back(Make<IBGVPlay>("BGV Object Create Failed", 3));
    m_movie_volume = Make<MovieVolumeRecord>("Failed to create movie volume object.");
    m_status_plate = Make<CStatusPlate>("Failed to create Infomation plate.");
    Require(m_status_plate->Setup(), "Failed to create Infomation plate.");
    m_flag_manager = Make<CFlagManager>("Failed to create Flag Manager.");
    Require(m_flag_manager->HasRequiredParts(), "Failed to create Flag Manager.");
    m_sub_map = Make<CSubMap>("Failed to create SubMap.");
    Require(m_sub_map->LoadIcons(), "Failed to create SubMap.");
    m_face_voice = Make<CFaceVoice>("Failed to create the expression object.");
    m_cg_flags = Make<CCGFlag>("Failed to create CGFlag object.");
    m_cg_flags->BuildIndex();
    GetMouse()->Setup();
}

void CGameWork::DestroyObjects()
{
    // The screens may read the lock and status words while they go; those words go last.
    m_characters.reset();
    m_backlog.reset();
    m_sub_map.reset();
    m_status_plate.reset();
    m_area_base.reset();
    m_area_select.reset();
    m_town_map.reset();
    m_save_screen.reset();
    m_load_screen.reset();
    m_config.reset();
    m_sound_config.reset();
    m_message_window.reset();
    if (m_choice_window)
        RegisterScriptScreen(ScriptScreen::Choice, nullptr);
    m_choice_window.reset();
    m_bgv_players.reset();
    m_movie_volume.reset();
    m_flag_manager.reset();
    m_cg_flags.reset();
    m_system_language.reset();
    m_face_voice.reset();
    DeleteMouse();
    m_lock_status.reset();
    m_status.reset();
}

bool CGameWork::TestBits(uint32_t bits) const
{
    return (GetLockStatus() & bits) != 0;
}

void CGameWork::SetLockBits(uint32_t bits)
{
    if (m_lock_status)
        *m_lock_status |= bits;
}

void CGameWork::ClearLockBits(uint32_t bits)
{
    if (m_lock_status)
        *m_lock_status &= ~bits;
}

void CGameWork::AddMenuLock(int32_t delta)
{
    m_menu_lock += delta;
    if (m_menu_lock < 0)
        GetDocument()->ClearEngineStateBits(ENGINE_STATE_MENU_ENABLED);
    else
        GetDocument()->SetEngineStateBits(ENGINE_STATE_MENU_ENABLED);
    DrawViewMenuBar();
}

int32_t CGameWork::RunScreen(ISelect* screen)
{
    if (screen == nullptr)
        return SYSTEM_PAGE_END;
    ScriptValue result;
    screen->Run(&result);
    return result.Integer;
}

void CGameWork::PresentFrame()
{
    RedrawFrameNow();
}

// Asks through a confirmation dialog while game input, the menu and closing are held off.
// Answers true when the player confirmed or the dialog could not be made. Game input comes back
// afterwards if it was on before, or always when input_back_always is set.
bool CGameWork::RunConfirmation(uint32_t lock, uint32_t request, int32_t dialog_kind,
                                const CStringUTF8& failure_text, bool input_back_always)
{
    CVeskDoc* document = GetDocument();
    SetLockBits(lock);
    document->EventFlagOp(EVENT_FLAG_CLEAR, request);
    GetView()->HidePopupMenu();
    const bool input_bit = input_back_always || EngineBit(ENGINE_STATE_GAME_INPUT);
    document->ClearEngineStateBits(ENGINE_STATE_GAME_INPUT);
    FrozenInput frozen;
    const bool menu_bit = EngineBit(ENGINE_STATE_MENU_ENABLED);
    AddMenuLock(-1);
    EnableClose(false);

    bool confirmed = false;
    auto restore = [&] {
        EnableClose(true);
        if (input_bit)
            document->SetEngineStateBits(ENGINE_STATE_GAME_INPUT);
        AddMenuLock(+1);
        if (!menu_bit) {
            document->ClearEngineStateBits(ENGINE_STATE_MENU_ENABLED);
            DrawViewMenuBar();
        }
        frozen.Thaw();
        ClearLockBits(lock);
    };
    try {
        CDialog dialog;
        const int32_t setup = dialog.Setup(dialog_kind, DIALOG_DEPTH);
        if (setup == -1) {
            AppMessageBox(0, failure_text);
            confirmed = true;
        } else if (setup == 0) {
            confirmed = true;
        } else {
            confirmed = RunScreen(&dialog) == 0;
        }
    } catch (CVeskDoc::tagDOCUMENT_CODE) {
        restore();
        throw;
    }
    restore();
    return confirmed;
}

void CGameWork::ConfirmExit()
{
    if (!RunConfirmation(LOCK_EXIT, REQUEST_EXIT, DIALOG_KIND_EXIT,
                         "終了ダイアログの作成に失敗しました。\n強制的に終了します。", false))
        return;
    SaveSystemData();
    throw CVeskDoc::DOCUMENT_QUIT;
}

void CGameWork::QuitWithoutAsking()
{
    // Before the start script has made the read buffer there is no play to keep, and its save
    // would only report the missing buffer in a box that nobody asked for and nobody answers.
    if (CFuncOneMes().HasReadBuffer())
        SaveSystemData();
    throw CVeskDoc::DOCUMENT_QUIT;
}

void CGameWork::ConfirmReturnTo(int32_t target, int32_t replace)
{
    if (target < 0 || target > 1)
        target = RETURN_TO_TITLE;
    const ReturnTarget& entry = RETURN_TARGETS[target];
    CVeskDoc* document = GetDocument();
    CStringUTF8 failure_text;
    failure_text.Format("ダイアログの作成に失敗しました。\n強制的に%sに戻ります。", entry.Name);
    if (!RunConfirmation(LOCK_RETURN_TO, REQUEST_RETURN_TO_TITLE, entry.DialogKind, failure_text, true))
        return;
    if (replace != 0) {
        document->SetEngineStateBits(ENGINE_STATE_MENU_ENABLED);
        SaveSystemData();
        if (FlagBuffer* state = GameState()) {
            const auto variable = [state](size_t index) {
                return index < state->Variables.size() ? state->Variables[index].Integer : 0;
            };
            if (variable(59) != 0) {
                CFuncFlag flags;
                flags.StoreFlagsToFile(0, variable(58), variable(59));
            }
            if (state->Values.size() > 2)
                state->Values[2] = ScriptValue::FromInteger(0);
        }
        document->GetScript().ReplaceScript(document->GetScript().AttachScript(entry.Script));
    }
    throw CVeskDoc::DOCUMENT_RETURN_TO_TITLE;
}

void CGameWork::TakeScreenSnapshot()
{
    if ((GetStatus() & (STATUS_SNAPSHOT_WANTED | STATUS_SNAPSHOT_TAKEN)) != STATUS_SNAPSHOT_WANTED)
        return;
    if (CSpriteLayer* stack = GetSpriteLayerRegistry().GetStackLayer())
        CDirect3D::GetInstance()->CaptureScreen(stack);
    SetStatusBits(STATUS_SNAPSHOT_TAKEN);
}

// One visit of the system pages: the pages it opens keep their parts until the outermost visit
// ends, so that moving from page to page cross-fades over the shared layers, and then give them
// back, also when a page leaves with a document code.
class CGameWork::PageVisit
{
public:
    explicit PageVisit(CGameWork& work)
        : m_work(work)
    {
        ++m_work.m_page_visits;
    }
    ~PageVisit()
    {
        if (--m_work.m_page_visits == 0)
            m_work.ReleasePages();
    }
    PageVisit(const PageVisit&) = delete;
    PageVisit& operator=(const PageVisit&) = delete;

private:
    CGameWork& m_work;
};

int32_t CGameWork::RunPage(ISystemParts* page, const char* failure)
{
    if (page == nullptr)
        return SYSTEM_PAGE_END;
    Require(page->EnsureParts(), failure);
    return RunScreen(page);
}

void CGameWork::ReleasePages()
{
    for (ISystemParts* page :
         std::initializer_list<ISystemParts*>{m_save_screen.get(), m_load_screen.get(), m_backlog.get(),
                                              m_config.get(), m_sound_config.get(), m_flag_manager.get()})
        if (page != nullptr)
            page->ReleaseParts();
}

int32_t CGameWork::RunPages(int32_t page, bool save_load_only)
{
    const PageVisit visit(*this);
    // A page value the menu does not know ends it, as -1 does.
    while (page != SYSTEM_PAGE_END) {
        if (save_load_only) {
            if (page == SYSTEM_PAGE_SAVE)
                page = RunPage(m_save_screen.get(), "Save Object Create Failed");
            else if (page == SYSTEM_PAGE_LOAD)
                page = RunPage(m_load_screen.get(), "Load Object Create Failed");
            else
                break;
            continue;
        }
        switch (page) {
        case SYSTEM_PAGE_SETTINGS:
            page = RunPage(m_config.get(), "Config Object Create Failed");
            if (m_message_window)
                m_message_window->ApplyWindowColor();
            if (m_status_plate)
                m_status_plate->DrawCalendar();
            break;
        case SYSTEM_PAGE_SOUND:
            page = RunPage(m_sound_config.get(), "Sound Config Object Create Failed");
            break;
        case SYSTEM_PAGE_SAVE:
            page = RunPage(m_save_screen.get(), "Save Object Create Failed");
            break;
        case SYSTEM_PAGE_LOAD:
            page = RunPage(m_load_screen.get(), "Load Object Create Failed");
            break;
        case SYSTEM_PAGE_BACKLOG:
            page = RunBacklog();
            break;
        case SYSTEM_PAGE_TITLE:
        case SYSTEM_PAGE_EXIT:
            return page;
        case SYSTEM_PAGE_FLAG_MANAGER:
            page = RunPage(m_flag_manager.get(), "Failed to create Flag Manager.");
            break;
        default:
            return SYSTEM_PAGE_END;
        }
    }
    return SYSTEM_PAGE_END;
}

void CGameWork::RunSystemMenu(int32_t page)
{
    CVeskDoc* document = GetDocument();
    TakeScreenSnapshot();
    SetLockBits(LOCK_SYSTEM_MENU | LOCK_SYSTEM_MENU_SOUND);
    document->EventFlagOp(EVENT_FLAG_CLEAR, REQUEST_SYSTEM_SETTINGS | REQUEST_SOUND_SETTINGS);

    const bool message_shown = m_message_window && m_message_window->IsShown();
    const bool choice_shown = m_choice_window && m_choice_window->IsShown();
    if (choice_shown)
        m_choice_window->HideAll();
    else if (message_shown)
        m_message_window->Hide();

    GetView()->HidePopupMenu();
    AddMenuLock(-1);
    FrozenInput frozen;
    auto clean_up = [&] {
        AddMenuLock(+1);
        ResetWheel();
        ClearLockBits(LOCK_SYSTEM_MENU | LOCK_SYSTEM_MENU_SOUND);
    };
    try {
        const int32_t remembered = RunPages(page, false);
        clean_up();
        if (remembered == SYSTEM_PAGE_TITLE)
            ConfirmReturnTo(RETURN_TO_TITLE, 1);
        else if (remembered == SYSTEM_PAGE_EXIT)
            ConfirmExit();
    } catch (CVeskDoc::tagDOCUMENT_CODE) {
        // The confirmations clean up after themselves; the clean-up runs once either way.
        if (TestBits(LOCK_SYSTEM_MENU))
            clean_up();
        ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
        throw;
    }
    PresentFrame();
    if (choice_shown)
        m_choice_window->Show();
    else if (message_shown) {
        const FlagBuffer* state = GameState();
        const bool option =
            state != nullptr && state->Variables.size() > 73 && state->Variables[73].Integer == 1;
        m_message_window->RestoreWindow(option ? 1 : 0);
    }
    frozen.TurnCursorBackOn();
    ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
}

void CGameWork::RunTopPage()
{
    CWinApp* app = GetApp();
    const int32_t page = app != nullptr ? app->GetConfigInt(foundation::KEY_TOP_PAGE, 0, 0) : 0;
    if (page == SYSTEM_PAGE_SETTINGS || page == SYSTEM_PAGE_SOUND)
        RunSystemMenu(page);
}

void CGameWork::RunSaveLoad(int32_t page)
{
    SetLockBits(LOCK_SYSTEM_MENU | LOCK_SYSTEM_MENU_SOUND);
    GetDocument()->EventFlagOp(EVENT_FLAG_CLEAR, REQUEST_SYSTEM_SETTINGS | REQUEST_SOUND_SETTINGS);
    GetView()->HidePopupMenu();
    AddMenuLock(-1);
    FrozenInput frozen;
    auto clean_up = [&] {
        AddMenuLock(+1);
        ClearLockBits(LOCK_SYSTEM_MENU | LOCK_SYSTEM_MENU_SOUND);
        ResetWheel();
        PresentFrame();
    };
    try {
        RunPages(page, true);
    } catch (CVeskDoc::tagDOCUMENT_CODE) {
        clean_up();
        ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
        throw;
    }
    clean_up();
}

int32_t CGameWork::RunBacklog()
{
    if (!m_backlog)
        return SYSTEM_PAGE_END;
    const PageVisit visit(*this);
    Require(m_backlog->EnsureParts(), "Log Object Create Failed");
    ScriptValue value;
    int32_t result = m_backlog->RunBacklog(&value, 0);
    while (result == BACKLOG_RUN_AGAIN_FIRST || result == BACKLOG_RUN_AGAIN_LAST)
        result = m_backlog->RunBacklog(&value, m_backlog->GetKeptIndex());
    return result;
}

int32_t CGameWork::SuspendGameCursor()
{
    TakeScreenSnapshot();
    GetView()->HidePopupMenu();
    FrozenInput frozen;
    const int32_t result = RunScreen(m_sub_map.get());
    ResetWheel();
    frozen.Thaw();
    ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
    return result;
}

void CGameWork::RunFlagManager()
{
    SetLockBits(LOCK_SYSTEM_MENU | LOCK_SYSTEM_MENU_SOUND);
    GetDocument()->EventFlagOp(EVENT_FLAG_CLEAR, REQUEST_SYSTEM_SETTINGS | REQUEST_SOUND_SETTINGS);
    GetView()->HidePopupMenu();
    AddMenuLock(-1);
    try {
        const PageVisit visit(*this);
        RunPage(m_flag_manager.get(), "Failed to create Flag Manager.");
    } catch (CVeskDoc::tagDOCUMENT_CODE) {
        AddMenuLock(+1);
        ClearLockBits(LOCK_SYSTEM_MENU | LOCK_SYSTEM_MENU_SOUND);
        throw;
    }
    AddMenuLock(+1);
    ClearLockBits(LOCK_SYSTEM_MENU | LOCK_SYSTEM_MENU_SOUND);
}

void CGameWork::RunWindowModeDialog()
{
    GetView()->HidePopupMenu();
    SetLockBits(LOCK_WINDOW_MODE);
    GetDocument()->EventFlagOp(EVENT_FLAG_CLEAR, REQUEST_WINDOW_SETTINGS);
    CWindowModeDLG dialog(m_system_language.get());
    dialog.DoModal(ViewWindow());
    ResetWheel();
    ClearLockBits(LOCK_WINDOW_MODE);
}
