#pragma once
// The game's menu handler. Most commands only set a bit of the document's request word, and the
// document's event tick serves it at a safe point of the frame; the window commands go to the
// display control; three settings are toggled in place.

#include "app/CDisplay.h"
#include "app/CMenuEvent.h"

// Menu and accelerator commands.
inline constexpr UINT COMMAND_QUIT = 40001;
inline constexpr UINT COMMAND_RETURN_TO_TITLE = 40002;
inline constexpr UINT COMMAND_MINIMISE = 40003;
inline constexpr UINT COMMAND_WINDOWED = 40005;
inline constexpr UINT COMMAND_WINDOW_SETTINGS = 40006;
inline constexpr UINT COMMAND_ONE_MES = 40007;
inline constexpr UINT COMMAND_AUTO_READ = 40008;
inline constexpr UINT COMMAND_SYSTEM_SETTINGS = 40009;
inline constexpr UINT COMMAND_TOGGLE_FULL_SCREEN = 40011;
inline constexpr UINT COMMAND_MESSAGE_WINDOW_FIXED = 40026;
inline constexpr UINT COMMAND_VERSION = 40029;
inline constexpr UINT COMMAND_MANUAL = 40035;
inline constexpr UINT COMMAND_SOUND_SETTINGS = 40049;

class CVeskMenuEvent : public CMenuEvent
{
public:
    const MenuStateRecord* GetMenuStateTable() override;
    void OnCommand(HWND window, UINT command, LPARAM l_param, UINT notification) override;

    // State handlers of the table.
    void StateReturnToTitle(const MenuItemRef& item);
    void StateQuit(const MenuItemRef& item);
    void StateMinimised(const MenuItemRef& item);
    void StateFullScreen(const MenuItemRef& item);
    void StateWindowed(const MenuItemRef& item);
    void StateOneMes(const MenuItemRef& item);
    void StateAutoRead(const MenuItemRef& item);
    void StateSettings(const MenuItemRef& item);
    void StateWindowSettings(const MenuItemRef& item);
    void StateMessageWindowFixed(const MenuItemRef& item);
};
