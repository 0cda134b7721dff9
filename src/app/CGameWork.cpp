#include "app/CGameWork.h"

#include <algorithm>
#include <new>
#include <string>

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

// A screen made but whose parts were not stops the start-up with the screen's text. The fault
// switch names this step "<text> (parts)", apart from the object's own making.
void Require(int32_t built, const char* failure)
{
    if (built == 0 || IsCreationFaultInjected((std::string(failure) + " (parts)").c_str()))
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
            GetMouse()->TurnOn();
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

// Every screen makes its parts here and keeps them for the game, so that data that cannot make
// them stops the start-up with the screen's text rather than a later opening.
void CGameWork::CreateObjects()
{
    m_status = Make<uint32_t>("Status Object Create Failed", 0u);
    m_lock_status = Make<uint32_t>("Lock Status Object Create Failed", 0u);
    m_system_language = Make<CLangTextTable>("Sytem Language Object Create Failed");
    Install(Make<CMesWnd>("Message Frame Object Create Failed"));
    Require(GetMessageWindow()->CreateParts(), "Message Frame Object Create Failed");
    Install(Make<CNormalSelect2>("Select Object Create Failed"));
    Require(GetChoiceWindow()->CreateParts(), "Select Object Create Failed");
    RegisterScriptScreen(ScriptScreen::Choice, [this](const ScriptScreenCall&, ScriptValue* out) {
        if (GetChoiceWindow())
            GetChoiceWindow()->Run(out);
    });
    Install(Make<CSaveDialog>("Save Object Create Failed", SYSTEM_PAGE_SAVE));
    Require(GetSaveDialog()->CreateParts(), "Save Object Create Failed");
    Install(Make<CLoadDialog>("Load Object Create Failed", SYSTEM_PAGE_LOAD));
    Require(GetLoadDialog()->CreateParts(), "Load Object Create Failed");
    Install(Make<CBacklogScreen>("Log Object Create Failed"));
    Require(GetBacklog()->CreateParts(), "Log Object Create Failed");
    Install(Make<CConfig>("Config Object Create Failed"));
    Require(GetConfig()->CreateParts(), "Config Object Create Failed");
    Install(Make<CCps>("Map Object Create Failed"));
    Require(GetTownMap()->CreateMenu(), "Map Object Create Failed");
    Install(Make<CAreaBase>("Search Base Object Create Failed"));
    Require(GetAreaBase()->CreateParts(), "Search Base Object Create Failed");
    Install(Make<CAreaSelect>("Search Object Create Failed"));
    GetAreaSelect()->HitSource = "";
    Require(GetAreaSelect()->CreateParts(), "Search Object Create Failed");
    Install(Make<CSoundConfig>("Sound Config Object Create Failed"));
    Require(GetSoundConfig()->CreateParts(), "Sound Config Object Create Failed");
    m_characters = Make<StandingCharacterSet>("Character Object Create Failed");
    m_bgv_players = Make<std::vector<std::unique_ptr<IBGVPlay>>>("BGV Object Create Failed");
    m_bgv_players->push_back(Make<IBGVPlay>("BGV Object Create Failed", 2));
    m_bgv_players->push_back(Make<IBGVPlay>("BGV Object Create Failed", 3));
    m_movie_volume = Make<MovieVolumeRecord>("Failed to create movie volume object.");
    Install(Make<CStatusPlate>("Failed to create Infomation plate."));
    Require(GetStatusPlate()->Setup(), "Failed to create Infomation plate.");
    Install(Make<CFlagManager>("Failed to create Flag Manager."));
    Require(GetFlagManager()->CreateParts(), "Failed to create Flag Manager.");
    Install(Make<CSubMap>("Failed to create SubMap."));
    Require(GetSubMap()->LoadIcons(), "Failed to create SubMap.");
    Install(Make<CFaceVoice>("Failed to create the expression object."));
    Install(Make<CCGFlag>("Failed to create CGFlag object."));
    GetCGFlags()->BuildIndex();
    GetMouse()->Setup();
}

void CGameWork::DestroyObjects()
{
    // The screens may read the lock and status words while they go; those words go last.
    m_characters.reset();
    Free<CBacklogScreen>();
    Free<CSubMap>();
    Free<CStatusPlate>();
    Free<CAreaBase>();
    Free<CAreaSelect>();
    Free<CCps>();
    Free<CSaveDialog>();
    Free<CLoadDialog>();
    Free<CConfig>();
    Free<CSoundConfig>();
    Free<CMesWnd>();
    if (GetChoiceWindow())
        RegisterScriptScreen(ScriptScreen::Choice, nullptr);
    Free<CNormalSelect2>();
    m_bgv_players.reset();
    m_movie_volume.reset();
    Free<CFlagManager>();
    Free<CCGFlag>();
    m_system_language.reset();
    Free<CFaceVoice>();
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

int32_t CGameWork::RunPages(int32_t page, bool save_load_only)
{
    // A page value the menu does not know ends it, as -1 does.
    while (page != SYSTEM_PAGE_END) {
        if (save_load_only) {
            if (page == SYSTEM_PAGE_SAVE)
                page = RunScreen(GetSaveDialog());
            else if (page == SYSTEM_PAGE_LOAD)
                page = RunScreen(GetLoadDialog());
            else
                break;
            continue;
        }
        switch (page) {
        case SYSTEM_PAGE_SETTINGS:
            page = RunScreen(GetConfig());
            if (GetMessageWindow())
                GetMessageWindow()->ApplyWindowColor();
            if (GetStatusPlate())
                GetStatusPlate()->DrawCalendar();
            break;
        case SYSTEM_PAGE_SOUND:
            page = RunScreen(GetSoundConfig());
            break;
        case SYSTEM_PAGE_SAVE:
            page = RunScreen(GetSaveDialog());
            break;
        case SYSTEM_PAGE_LOAD:
            page = RunScreen(GetLoadDialog());
            break;
        case SYSTEM_PAGE_BACKLOG:
            page = RunBacklog();
            break;
        case SYSTEM_PAGE_TITLE:
        case SYSTEM_PAGE_EXIT:
            return page;
        case SYSTEM_PAGE_FLAG_MANAGER:
            page = RunScreen(GetFlagManager());
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

    const bool message_shown = GetMessageWindow() && GetMessageWindow()->IsShown();
    const bool choice_shown = GetChoiceWindow() && GetChoiceWindow()->IsShown();
    if (choice_shown)
        GetChoiceWindow()->HideAll();
    else if (message_shown)
        GetMessageWindow()->Hide();

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
        GetChoiceWindow()->Show();
    else if (message_shown) {
        const FlagBuffer* state = GameState();
        const bool option =
            state != nullptr && state->Variables.size() > 73 && state->Variables[73].Integer == 1;
        GetMessageWindow()->RestoreWindow(option ? 1 : 0);
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
    if (!GetBacklog())
        return SYSTEM_PAGE_END;
    ScriptValue value;
    int32_t result = GetBacklog()->RunBacklog(&value, 0);
    while (result == BACKLOG_RUN_AGAIN_FIRST || result == BACKLOG_RUN_AGAIN_LAST)
        result = GetBacklog()->RunBacklog(&value, GetBacklog()->GetKeptIndex());
    return result;
}

int32_t CGameWork::RunSubMap()
{
    TakeScreenSnapshot();
    GetView()->HidePopupMenu();
    FrozenInput frozen;
    const int32_t result = RunScreen(GetSubMap());
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
        RunScreen(GetFlagManager());
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
