#pragma once
// The game-wide registry of screen objects and of the two bit words that say which system screen
// is open, with the flow operations that the menu and the document's event tick run: exit and
// return confirmations, the system menu, save and load, the flag manager, the sub map and the
// window-mode dialog. Each flow freezes the game's own input, runs its screen modally and puts
// everything back, also when the screen unwinds with a document code. Main thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/CStringUTF8.h"

class CAreaBase;
class CAreaSelect;
class CBacklogScreen;
class CCGFlag;
class CCps;
class CConfig;
class CFaceVoice;
class CFlagManager;
class CLangTextFile;
class CLangTextTable;
class CLoadDialog;
class CMesWnd;
class CNormalSelect2;
class CSaveDialog;
class CSoundConfig;
class CStatusPlate;
class CSubMap;
class IBGVPlay;
class ISelect;
class ISystemParts;
class StandingCharacterSet;
struct MovieVolumeRecord;

// Bits of the lock-status word; each blocks the request bit of the same value.
inline constexpr uint32_t LOCK_EXIT = 0x1;
inline constexpr uint32_t LOCK_SYSTEM_MENU = 0x2;
inline constexpr uint32_t LOCK_RETURN_TO = 0x4;
inline constexpr uint32_t LOCK_WINDOW_MODE = 0x8;
inline constexpr uint32_t LOCK_SYSTEM_MENU_SOUND = 0x10;

// Bits of the status word.
inline constexpr uint32_t STATUS_SNAPSHOT_WANTED = 0x1;
inline constexpr uint32_t STATUS_SNAPSHOT_TAKEN = 0x2;

// Bits of the game state's engine state word that the flows read and change.
inline constexpr uint32_t ENGINE_STATE_MENU_POPUP = 0x1;
inline constexpr uint32_t ENGINE_STATE_GAME_INPUT = 0x4;
inline constexpr uint32_t ENGINE_STATE_MENU_ENABLED = 0x8;

// Targets of ConfirmReturnTo.
inline constexpr int32_t RETURN_TO_TITLE = 0;
inline constexpr int32_t RETURN_TO_SCENE_SELECT = 1;

// Pages of the system menu.
inline constexpr int32_t SYSTEM_PAGE_END = -1;
inline constexpr int32_t SYSTEM_PAGE_SETTINGS = 0;
inline constexpr int32_t SYSTEM_PAGE_SOUND = 1;
inline constexpr int32_t SYSTEM_PAGE_SAVE = 2;
inline constexpr int32_t SYSTEM_PAGE_LOAD = 3;
inline constexpr int32_t SYSTEM_PAGE_BACKLOG = 4;
inline constexpr int32_t SYSTEM_PAGE_TITLE = 5;
inline constexpr int32_t SYSTEM_PAGE_EXIT = 6;
inline constexpr int32_t SYSTEM_PAGE_CLOSE = 7;
inline constexpr int32_t SYSTEM_PAGE_FLAG_MANAGER = 10;

// Confirmation dialog kinds and their depth.
inline constexpr int32_t DIALOG_KIND_EXIT = 2;
inline constexpr int32_t DIALOG_DEPTH = 200;

// Results of the backlog that ask for another run from its kept index.
inline constexpr int32_t BACKLOG_RUN_AGAIN_FIRST = 100;
inline constexpr int32_t BACKLOG_RUN_AGAIN_LAST = 101;

class CGameWork
{
public:
    CGameWork();
    ~CGameWork();
    CGameWork(const CGameWork&) = delete;
    CGameWork& operator=(const CGameWork&) = delete;

    // Builds every object in its fixed order; throws CExecException with the failing step's text.
    void CreateObjects();
    // Frees what exists, in its fixed order, and clears the pointers.
    void DestroyObjects();

    void AddMenuLock(int32_t delta);
    void ConfirmExit();
    // What the exit command does once confirmed, for an end nobody is asked about (a signal):
    // the system data is saved, once the game has any, and the game ends.
    [[noreturn]] void QuitWithoutAsking();
    void ConfirmReturnTo(int32_t target, int32_t replace);
    void TakeScreenSnapshot();
    void RunSystemMenu(int32_t page);
    // Opens the system menu on the configured top page (0 or 1); other values open nothing.
    void RunTopPage();
    void RunSaveLoad(int32_t page);
    int32_t RunBacklog();
    int32_t RunSubMap();
    void RunFlagManager();
    void RunWindowModeDialog();

    // True when the lock-status word holds any of the bits.
    bool TestBits(uint32_t bits) const;
    uint32_t GetLockStatus() const { return m_lock_status ? *m_lock_status : 0; }
    uint32_t GetStatus() const { return m_status ? *m_status : 0; }
    void SetStatusBits(uint32_t bits);
    void ClearStatusBits(uint32_t bits);
    int32_t GetMenuLock() const { return m_menu_lock; }
    void ClearSnapshotTaken() { ClearStatusBits(STATUS_SNAPSHOT_TAKEN); }
    CLoadDialog* GetLoadDialog() { return m_load_screen.get(); }

    void AddActiveScreen(ISelect* screen);
    void RemoveActiveScreen(ISelect* screen);
    const std::vector<ISelect*>& GetActiveScreens() const { return m_active_screens; }

    // The registry's objects; owned. Public so that the screens reach one another.
    std::unique_ptr<uint32_t> m_lock_status;
    std::unique_ptr<uint32_t> m_status;
    std::unique_ptr<CMesWnd> m_message_window;
    std::unique_ptr<CNormalSelect2> m_choice_window;
    std::unique_ptr<CSaveDialog> m_save_screen;
    std::unique_ptr<CLoadDialog> m_load_screen;
    std::unique_ptr<StandingCharacterSet> m_characters;
    std::unique_ptr<CSoundConfig> m_sound_config;
    std::unique_ptr<CConfig> m_config;
    std::unique_ptr<CBacklogScreen> m_backlog;
    std::unique_ptr<CFaceVoice> m_face_voice;
    std::unique_ptr<MovieVolumeRecord> m_movie_volume;
    std::unique_ptr<std::vector<std::unique_ptr<IBGVPlay>>> m_bgv_players;
    std::unique_ptr<CLangTextTable> m_system_language;
    std::unique_ptr<CCps> m_town_map;
    std::unique_ptr<CAreaBase> m_area_base;
    std::unique_ptr<CAreaSelect> m_area_select;
    std::unique_ptr<CStatusPlate> m_status_plate;
    std::unique_ptr<CFlagManager> m_flag_manager;
    std::unique_ptr<CSubMap> m_sub_map;
    std::unique_ptr<CCGFlag> m_cg_flags;
    std::unique_ptr<CLangTextFile> m_text_file; // the exec group's language messages, made on first use

private:
    void SetLockBits(uint32_t bits);
    void ClearLockBits(uint32_t bits);
    // Runs a screen and answers its result integer.
    static int32_t RunScreen(ISelect* screen);
    bool RunConfirmation(uint32_t lock, uint32_t request, int32_t dialog_kind,
                         const CStringUTF8& failure_text, bool input_back_always);
    // The page loop shared by the system menu and save/load; answers the remembered confirmation.
    int32_t RunPages(int32_t page, bool save_load_only);
    // A system page run with its parts, made for the visit when it holds none; a page that
    // cannot make them throws CExecException with its start-up failure text.
    int32_t RunPage(ISystemParts* page, const char* failure);
    // Frees every system page's parts.
    void ReleasePages();
    void PresentFrame();

    class PageVisit;
    int32_t m_menu_lock = 0;
    int32_t m_page_visits = 0; // visits of the system pages under way, nested ones counted
    std::vector<ISelect*> m_active_screens; // not owned
};

// The singleton, made on first call; throws CExecException when it cannot be made.
CGameWork* GetGameWork();
