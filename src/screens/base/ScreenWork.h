#pragma once
// The part of the game work that the screens reach of one another: the screens held for the whole
// game, the list of the screens running, and the flows a screen starts (the system menu, save and
// load, the backlog, the sub map, the flag manager, the exit and return confirmations). The
// shell's game work derives from it, fills the screens and runs the flows; it installs its
// finder, so that the first look-up makes the game work as the shell's own first call does.
// Without a shell there is none. Main thread only.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "script/ScriptWork.h"

class CAreaBase;
class CAreaSelect;
class CBacklogScreen;
class CCGFlag;
class CCps;
class CConfig;
class CFaceVoice;
class CFlagManager;
class CLoadDialog;
class CMesWnd;
class CNormalSelect2;
class CSaveDialog;
class CSoundConfig;
class CStatusPlate;
class CSubMap;
class ISelect;

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

class ScreenWork : public ScriptWork
{
    // First, so that it outlives the screens below, which leave it as they go.
    // The screens that are running; each adds itself once and leaves as it closes. Not owned.
    std::vector<ISelect*> ActiveScreens;

public:
    ScreenWork();
    ~ScreenWork() override;

    virtual void ConfirmExit() = 0;
    virtual void ConfirmReturnTo(int32_t target, int32_t replace) = 0;
    virtual void TakeScreenSnapshot() = 0;
    virtual void RunSystemMenu(int32_t page) = 0;
    // Opens the system menu on the configured top page (0 or 1); other values open nothing.
    virtual void RunTopPage() = 0;
    virtual void RunSaveLoad(int32_t page) = 0;
    virtual int32_t RunBacklog() = 0;
    // Runs the sub map with the game cursor and the popup menu out of its way; its answer, -1
    // for none.
    virtual int32_t RunSubMap() = 0;
    // The same run, by the name the map screens and their script commands call it.
    int32_t SuspendGameCursor() { return RunSubMap(); }
    virtual void RunFlagManager() = 0;
    virtual void RunWindowModeDialog() = 0;

    void AddActiveScreen(ISelect* screen);
    void RemoveActiveScreen(ISelect* screen);
    const std::vector<ISelect*>& GetActiveScreens() const { return ActiveScreens; }

    // The screens held for the whole game; null before the game work makes them or after it frees
    // them.
    CMesWnd* GetMessageWindow() const { return m_message_window.get(); }
    CNormalSelect2* GetChoiceWindow() const { return m_choice_window.get(); }
    CSaveDialog* GetSaveDialog() const { return m_save_screen.get(); }
    CLoadDialog* GetLoadDialog() const { return m_load_screen.get(); }
    CSoundConfig* GetSoundConfig() const { return m_sound_config.get(); }
    CConfig* GetConfig() const { return m_config.get(); }
    CBacklogScreen* GetBacklog() const { return m_backlog.get(); }
    CFaceVoice* GetFaceVoice() const { return m_face_voice.get(); }
    CCps* GetTownMap() const { return m_town_map.get(); }
    CAreaBase* GetAreaBase() const { return m_area_base.get(); }
    CAreaSelect* GetAreaSelect() const { return m_area_select.get(); }
    CStatusPlate* GetStatusPlate() const { return m_status_plate.get(); }
    CFlagManager* GetFlagManager() const { return m_flag_manager.get(); }
    CSubMap* GetSubMap() const { return m_sub_map.get(); }
    CCGFlag* GetCGFlags() const { return m_cg_flags.get(); }

    // Puts screen in the place of its kind and hands back the one held there, so that a test can
    // stand a probe in for a screen. The caller's unit must see the screen's class.
    template <class Screen>
    auto ExchangeScreen(std::unique_ptr<Screen> screen)
    {
        return std::exchange(Place(static_cast<Screen*>(nullptr)), std::move(screen));
    }

protected:
    // The game work makes the screens and frees them in its fixed order through these.
    template <class Screen>
    void Install(std::unique_ptr<Screen> screen)
    {
        Place(static_cast<Screen*>(nullptr)) = std::move(screen);
    }
    template <class Screen>
    void Free()
    {
        Place(static_cast<Screen*>(nullptr)).reset();
    }

private:
    // Owned.
    std::unique_ptr<CMesWnd> m_message_window;
    std::unique_ptr<CNormalSelect2> m_choice_window;
    std::unique_ptr<CSaveDialog> m_save_screen;
    std::unique_ptr<CLoadDialog> m_load_screen;
    std::unique_ptr<CSoundConfig> m_sound_config;
    std::unique_ptr<CConfig> m_config;
    std::unique_ptr<CBacklogScreen> m_backlog;
    std::unique_ptr<CFaceVoice> m_face_voice;
    std::unique_ptr<CCps> m_town_map;
    std::unique_ptr<CAreaBase> m_area_base;
    std::unique_ptr<CAreaSelect> m_area_select;
    std::unique_ptr<CStatusPlate> m_status_plate;
    std::unique_ptr<CFlagManager> m_flag_manager;
    std::unique_ptr<CSubMap> m_sub_map;
    std::unique_ptr<CCGFlag> m_cg_flags;

    std::unique_ptr<CMesWnd>& Place(CMesWnd*) { return m_message_window; }
    std::unique_ptr<CNormalSelect2>& Place(CNormalSelect2*) { return m_choice_window; }
    std::unique_ptr<CSaveDialog>& Place(CSaveDialog*) { return m_save_screen; }
    std::unique_ptr<CLoadDialog>& Place(CLoadDialog*) { return m_load_screen; }
    std::unique_ptr<CSoundConfig>& Place(CSoundConfig*) { return m_sound_config; }
    std::unique_ptr<CConfig>& Place(CConfig*) { return m_config; }
    std::unique_ptr<CBacklogScreen>& Place(CBacklogScreen*) { return m_backlog; }
    std::unique_ptr<CFaceVoice>& Place(CFaceVoice*) { return m_face_voice; }
    std::unique_ptr<CCps>& Place(CCps*) { return m_town_map; }
    std::unique_ptr<CAreaBase>& Place(CAreaBase*) { return m_area_base; }
    std::unique_ptr<CAreaSelect>& Place(CAreaSelect*) { return m_area_select; }
    std::unique_ptr<CStatusPlate>& Place(CStatusPlate*) { return m_status_plate; }
    std::unique_ptr<CFlagManager>& Place(CFlagManager*) { return m_flag_manager; }
    std::unique_ptr<CSubMap>& Place(CSubMap*) { return m_sub_map; }
    std::unique_ptr<CCGFlag>& Place(CCGFlag*) { return m_cg_flags; }
};

// Answers the game work, made on first call; an empty finder removes it.
using ScreenWorkFinder = ScreenWork* (*)();
void SetScreenWorkFinder(ScreenWorkFinder find);
// Null when no finder is installed.
ScreenWork* GetScreenWork();
