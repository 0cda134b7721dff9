#include "platform/res/MenuResource.h"

namespace platform {

namespace {

constexpr uint32_t GRAYED = 0x0001;    // MF_GRAYED
constexpr uint32_t POPUP = 0x0010;     // MF_POPUP
constexpr uint32_t SEPARATOR = 0x0800; // MF_SEPARATOR
constexpr uint32_t RIGHT = 0x4000;     // MF_RIGHTJUSTIFY

constexpr uint8_t VIRTKEY = 0x01; // FVIRTKEY
constexpr uint8_t ALT = 0x10;     // FALT

// Menu 105, the main menu of the game window.
constexpr MenuTemplateItem MAIN_MENU_EXIT[] = {
    {40002, 0, u"タイトルへ戻る", {}},
    {40001, 0, u"ゲームの終了", {}},
};
constexpr MenuTemplateItem MAIN_MENU_WINDOW[] = {
    {40003, 0, u"最小化", {}}, {40004, 0, u"最大化", {}},         {40005, 0, u"元のサイズに戻す", {}},
    {0, SEPARATOR, u"", {}},   {40006, 0, u"ウィンドウ設定", {}},
};
// The controller item opens nothing, so it is greyed for good: no state rule enables it.
constexpr MenuTemplateItem MAIN_MENU_SETTINGS[] = {
    {40009, 0, u"システム設定", {}},
    {40049, 0, u"サウンド設定", {}},
    {40045, GRAYED, u"コントローラーセッティング", {}},
};
constexpr MenuTemplateItem MAIN_MENU_HELP[] = {
    {40035, 0, u"電子マニュアル", {}},
    {40029, 0, u"バージョン情報", {}},
};
constexpr MenuTemplateItem MAIN_MENU[] = {
    {0, POPUP, u"終了", MAIN_MENU_EXIT},
    {0, POPUP, u"ウィンドウ", MAIN_MENU_WINDOW},
    {0, POPUP, u"環境設定", MAIN_MENU_SETTINGS},
    {0, POPUP | RIGHT, u"ヘルプ", MAIN_MENU_HELP},
};

// Accelerators 108 of the game window.
constexpr AcceleratorTemplateEntry MAIN_ACCELERATORS[] = {
    {VIRTKEY | ALT, 0x73, 40001}, // Alt+F4: quit
    {VIRTKEY | ALT, 0x0D, 40011}, // Alt+Enter: toggle full screen
    {VIRTKEY, 0x70, 40008},       // F1: auto read
};

} // namespace

std::optional<std::span<const MenuTemplateItem>> FindMenuResource(uint16_t id)
{
    if (id == 105)
        return std::span<const MenuTemplateItem>(MAIN_MENU);
    return std::nullopt;
}

std::optional<std::span<const AcceleratorTemplateEntry>> FindAcceleratorResource(uint16_t id)
{
    if (id == 108)
        return std::span<const AcceleratorTemplateEntry>(MAIN_ACCELERATORS);
    return std::nullopt;
}

} // namespace platform
