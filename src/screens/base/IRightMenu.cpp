#include "screens/base/IRightMenu.h"

#include <memory>

#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "screens/base/CHitAreaTable.h"
#include "screens/base/ISelect.h"
#include "screens/base/ScreenParts.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/vm/BacklogStore.h"

namespace {

struct MenuButton
{
    int32_t x, y, width, height, source_x, source_y;
};

constexpr std::array<MenuButton, SIDE_MENU_SLOTS> BUTTONS{{
    {1846, 24, 66, 68, 800, 704},
    {1520, 152, 400, 88, 0, 0},
    {1520, 250, 400, 88, 400, 0},
    {1520, 348, 400, 88, 800, 0},
    {1520, 446, 400, 88, 0, 352},
    {1520, 544, 400, 88, 400, 352},
    {1520, 642, 400, 88, 400, 704},
    {1520, 740, 400, 88, 800, 352},
    {1520, 838, 400, 88, 0, 704},
}};

inline constexpr int32_t PANEL_X = 1520;
inline constexpr int32_t PANEL_WIDTH = 400;
inline constexpr int32_t SCREEN_WIDTH = 1920;
inline constexpr int32_t SCREEN_HEIGHT = 1080;
inline constexpr int32_t PANEL_DEPTH = 43;
inline constexpr int32_t BUTTON_DEPTH = 44;
inline constexpr int32_t SLIDE_STEPS = 12;
inline constexpr int32_t POINTER_EDGE_X = 1847;
inline constexpr uint32_t FLAG_FLAG_MANAGER_OPEN = 7090;
inline constexpr uint32_t FLAG_FLAG_MANAGER_LOCKED = 8007;
inline constexpr int32_t DATE_NO_FLAG_MANAGER = 1307;
inline constexpr size_t VARIABLE_NO_SAVE = 70;
inline constexpr size_t VARIABLE_SAVE_EXISTS = 53;

struct Shared
{
    int32_t count = 0;
    int32_t open = 0;
    int32_t manual = 0;
    std::unique_ptr<CSpriteAnime> anime;
    std::unique_ptr<CSprite> picture;
    std::unique_ptr<CSpriteLayer> panel;
    std::array<std::unique_ptr<CSpriteLayer>, SIDE_MENU_SLOTS> buttons;
    // What each slot sprite shows (DrawnKey), so that a redraw of the same picture is skipped.
    std::array<int32_t, SIDE_MENU_SLOTS> drawn{-1, -1, -1, -1, -1, -1, -1, -1, -1};
    CHitAreaTable areas;
};

inline constexpr int32_t DRAWN_UNKNOWN = -1;
inline constexpr int32_t DRAWN_BLANK = -2;

int32_t DrawnKey(int32_t button, int32_t row)
{
    return button << 8 | row;
}

Shared g_menu;

FlagBuffer* State()
{
    return GetScriptState().m_current_state.get();
}

uint8_t Flag(uint32_t index)
{
    const FlagBuffer* state = State();
    return state != nullptr && index < state->Flags.size() ? state->Flags[index] : 0;
}

bool HasValues()
{
    const FlagBuffer* state = State();
    return state != nullptr && !state->Values.empty();
}

bool GameInputAllowed()
{
    const FlagBuffer* state = State();
    return state != nullptr && (state->EngineStateWord() & 0x4) != 0;
}

void Destroy()
{
    if (g_menu.anime)
        g_menu.anime->Stop();
    g_menu.anime.reset();
    g_menu.picture.reset();
    g_menu.panel.reset();
    for (auto& button : g_menu.buttons)
        button.reset();
    g_menu.drawn.fill(DRAWN_UNKNOWN);
    g_menu.open = 0;
    g_menu.manual = 0;
}

// A slide may still be playing: finish it so the sprites stand at its targets, and start afresh.
CSpriteAnime& FreshAnime()
{
    if (g_menu.anime)
        g_menu.anime->Stop();
    g_menu.anime = std::make_unique<CSpriteAnime>();
    return *g_menu.anime;
}

} // namespace

IRightMenu::IRightMenu()
{
    ButtonMap.fill(-1);
}

IRightMenu::~IRightMenu()
{
    while (m_holds > 0)
        ReleaseSideMenu();
}

int32_t IRightMenu::CreateSideMenu()
{
    if (g_menu.count == 0) {
        CLayerFile* file = GetDocumentLayerFile();
        g_menu.picture.reset(file != nullptr ? file->LoadSprite("sidemenu_p.akb", nullptr, LAYER_KIND_MEMORY,
                                                                0, -1, nullptr, -1, -1, 0)
                                             : nullptr);
        if (dynamic_cast<CSpriteLayer*>(g_menu.picture.get()) == nullptr) {
            Destroy();
            return 0;
        }
        g_menu.anime = std::make_unique<CSpriteAnime>();
        g_menu.panel = MakeTextureSprite(PANEL_X, 0, PANEL_WIDTH, SCREEN_HEIGHT, PANEL_DEPTH);
        for (int32_t k = 0; k < SIDE_MENU_SLOTS; ++k) {
            const MenuButton& b = BUTTONS[static_cast<size_t>(k)];
            g_menu.buttons[static_cast<size_t>(k)] =
                MakeTextureSprite(b.x, b.y, b.width, b.height, BUTTON_DEPTH);
        }
        g_menu.drawn.fill(DRAWN_UNKNOWN);
        if (!g_menu.panel) {
            Destroy();
            return 0;
        }
        for (int32_t k = 1; k < SIDE_MENU_SLOTS; ++k) {
            if (CSpriteLayer* slot = g_menu.buttons[static_cast<size_t>(k)].get()) {
                const MenuButton& b = BUTTONS[static_cast<size_t>(k)];
                slot->SetPosition(b.x + PANEL_WIDTH, b.y);
                slot->SetVisibleFlag(1);
            }
        }
        // The panel waits off screen until the menu opens.
        g_menu.panel->SetPosition(SCREEN_WIDTH, 0);
        g_menu.panel->Blt(0, 0, PANEL_WIDTH, SCREEN_HEIGHT, static_cast<CSpriteLayer*>(g_menu.picture.get()),
                          PANEL_X, 0, 1);
        MarkLayerDrawn(*g_menu.panel);
        g_menu.areas.Load("mesmenu.area");
    }
    ++g_menu.count;
    ++m_holds;
    return 1;
}

void IRightMenu::ReleaseSideMenu()
{
    if (m_holds <= 0)
        return;
    --m_holds;
    if (--g_menu.count == 0)
        Destroy();
}

bool IRightMenu::MoveCursorToMenuArea(int32_t id)
{
    const int32_t slot = id & 0xFF;
    const auto record = slot == 0 ? static_cast<uint32_t>(SIDE_MENU_GROUP) : static_cast<uint32_t>(slot);
    if (g_menu.areas.Find(record) == nullptr)
        return false;
    g_menu.areas.MoveCursorToArea(record);
    return true;
}

bool IRightMenu::IsMenuOpen()
{
    return g_menu.open != 0;
}

void IRightMenu::FinishSlide()
{
    if (g_menu.anime)
        g_menu.anime->Stop();
}

int32_t IRightMenu::GetManualFlag()
{
    return g_menu.manual;
}

void IRightMenu::SetManualFlag(int32_t flag)
{
    g_menu.manual = flag;
}

int32_t IRightMenu::GetMenuHolders()
{
    return g_menu.count;
}

CSpriteLayer* IRightMenu::GetSlotSprite(int32_t slot)
{
    return slot >= 0 && slot < SIDE_MENU_SLOTS ? g_menu.buttons[static_cast<size_t>(slot)].get() : nullptr;
}

CSpriteLayer* IRightMenu::GetPanelSprite()
{
    return g_menu.panel.get();
}

int32_t IRightMenu::GetButtonState(int32_t button)
{
    const bool closed = g_menu.open == 0;
    switch (button & 0xFF) {
    case SIDE_MENU_TAB:
    case SIDE_MENU_TITLE:
    case SIDE_MENU_EXIT:
        return 0;
    case SIDE_MENU_SETTINGS:
        return closed ? SIDE_MENU_DISABLED : 0;
    case SIDE_MENU_SCREEN:
        if (MenuIndex != 1)
            return SIDE_MENU_HIDDEN;
        return closed ? SIDE_MENU_DISABLED : 0;
    case SIDE_MENU_SAVE:
        return closed || IsReplayState() != 0 || CurrentVariable(VARIABLE_NO_SAVE) != 0 || !HasValues() ||
                       !GameInputAllowed()
                   ? SIDE_MENU_DISABLED
                   : 0;
    case SIDE_MENU_LOAD:
        return closed || IsReplayState() != 0 || CurrentVariable(VARIABLE_NO_SAVE) != 0 ||
                       CurrentVariable(VARIABLE_SAVE_EXISTS) == 0
                   ? SIDE_MENU_DISABLED
                   : 0;
    case SIDE_MENU_BACKLOG:
        return closed || !HasValues() || !GameInputAllowed() || CountBacklogEntries() == 0
                   ? SIDE_MENU_DISABLED
                   : 0;
    case SIDE_MENU_FLAGS: {
        if (GetConfigGameMode() == 0)
            return SIDE_MENU_HIDDEN;
        const FlagBuffer* state = State();
        const bool no_flags = state == nullptr || state->Flags.empty();
        return IsReplayState() != 0 || no_flags || Flag(FLAG_FLAG_MANAGER_OPEN) == 0 ||
                       Flag(FLAG_FLAG_MANAGER_LOCKED) == 1 || closed ||
                       (state != nullptr && state->GameDate() == DATE_NO_FLAG_MANAGER)
                   ? SIDE_MENU_DISABLED
                   : 0;
    }
    default:
        return SIDE_MENU_HIDDEN;
    }
}

void IRightMenu::RefreshButtons()
{
    ButtonMap.fill(-1);
    // Without the picture DrawButton leaves the slots as they are.
    for (size_t k = 0; k < g_menu.buttons.size() && !g_menu.picture; ++k) {
        if (CSpriteLayer* slot = g_menu.buttons[k].get()) {
            slot->Clear();
            MarkLayerDrawn(*slot);
            g_menu.drawn[k] = DRAWN_BLANK;
        }
    }
    size_t next = 0;
    for (int32_t b = 0; b < SIDE_MENU_SLOTS; ++b) {
        if (GetButtonState(b) != SIDE_MENU_HIDDEN)
            ButtonMap[next++] = b;
    }
    for (int32_t k = 0; k < SIDE_MENU_SLOTS; ++k)
        DrawButton(k, 0, 0);
}

void IRightMenu::DrawButton(int32_t slot, int32_t state, int32_t present)
{
    if (slot < 0 || slot >= SIDE_MENU_SLOTS)
        return;
    CSpriteLayer* sprite = g_menu.buttons[static_cast<size_t>(slot)].get();
    auto* picture = dynamic_cast<CSpriteLayer*>(g_menu.picture.get());
    if (sprite == nullptr || picture == nullptr)
        return;
    {
        LiveDrawLock lock;
        const int32_t button = ButtonMap[static_cast<size_t>(slot)];
        const int32_t button_state = button < 0 ? SIDE_MENU_HIDDEN : GetButtonState(button);
        const int32_t row = button_state == SIDE_MENU_DISABLED ? SIDE_MENU_DISABLED : state;
        const int32_t key = button_state == SIDE_MENU_HIDDEN ? DRAWN_BLANK : DrawnKey(button, row);
        int32_t& drawn = g_menu.drawn[static_cast<size_t>(slot)];
        if (drawn != key) {
            sprite->Clear();
            if (button_state != SIDE_MENU_HIDDEN) {
                const MenuButton& b = BUTTONS[static_cast<size_t>(button)];
                sprite->Blt(0, 0, b.width, b.height, picture, b.source_x, b.source_y + b.height * row, 1);
            }
            MarkLayerDrawn(*sprite);
            drawn = key;
        }
    }
    if (present != 0)
        RedrawFrameNow();
}

int32_t IRightMenu::HitTest(int32_t x, int32_t y)
{
    const HitArea* area = g_menu.areas.HitTest(x, y);
    if (area == nullptr || area->Id == 0xFFFFFFFFu)
        return -1;
    if (g_menu.open != 0)
        return static_cast<int32_t>(area->Id | SIDE_MENU_GROUP);
    if (static_cast<int32_t>(area->Id) == SIDE_MENU_GROUP && Flag(FLAG_SIDE_MENU_FROZEN) != 1)
        return SIDE_MENU_GROUP;
    return -1;
}

void IRightMenu::Slide(bool open)
{
    CSpriteAnime& anime = FreshAnime();
    for (int32_t k = 1; k < SIDE_MENU_SLOTS; ++k) {
        CSpriteLayer* sprite = g_menu.buttons[static_cast<size_t>(k)].get();
        if (sprite == nullptr)
            continue;
        const MenuButton& b = BUTTONS[static_cast<size_t>(k)];
        const POINT from = sprite->GetPosition();
        SpriteAnimRecord record(SLIDE_STEPS);
        record.SetRect(from.x, from.y, open ? b.x : b.x + PANEL_WIDTH, b.y);
        sprite->AddAnimation(record);
        anime.AddSprite(sprite);
    }
    if (g_menu.panel) {
        const POINT from = g_menu.panel->GetPosition();
        SpriteAnimRecord record(SLIDE_STEPS);
        record.SetRect(from.x, from.y, open ? PANEL_X : SCREEN_WIDTH, 0);
        g_menu.panel->SetVisibleFlag(1);
        g_menu.panel->AddAnimation(record);
        anime.AddSprite(g_menu.panel.get());
    }
    anime.Play(ANIME_NO_WAIT, 0, 0, 0);
}

void IRightMenu::OpenMenu()
{
    g_menu.open = 1;
    RefreshButtons();
    Slide(true);
}

void IRightMenu::CloseMenu()
{
    g_menu.open = 0;
    Slide(false);
    RefreshButtons();
}

void IRightMenu::ToggleMenu()
{
    if (g_menu.open != 0)
        CloseMenu();
    else
        OpenMenu();
}

void IRightMenu::AddShowAnimation(CSpriteAnime& animation)
{
    if (Flag(FLAG_SIDE_MENU_FROZEN) == 1)
        return;
    g_menu.open = 0;
    RefreshButtons();
    auto fade_in = [&animation](CSprite* sprite, bool only_hidden) {
        if (sprite == nullptr || (only_hidden && sprite->IsVisible() != 0))
            return;
        SpriteAnimRecord record(SLIDE_STEPS);
        record.SetVisible(1);
        record.SetAlpha(0x00, 0xFF);
        sprite->AddAnimation(record);
        animation.AddSprite(sprite);
    };
    for (auto& slot : g_menu.buttons)
        fade_in(slot.get(), true);
    fade_in(g_menu.panel.get(), false);
}

void IRightMenu::AddHideAnimation(CSpriteAnime& animation)
{
    g_menu.open = 0;
    for (int32_t k = 0; k < SIDE_MENU_SLOTS; ++k) {
        CSpriteLayer* sprite = g_menu.buttons[static_cast<size_t>(k)].get();
        if (sprite == nullptr || sprite->IsVisible() == 0)
            continue;
        const MenuButton& b = BUTTONS[static_cast<size_t>(k)];
        SpriteAnimRecord record(SLIDE_STEPS);
        record.SetAlpha(0xFF, 0x00);
        // Hidden at the end: the show animation fades in only what is hidden, and a faded-out
        // sprite left shown would stay clear for good.
        record.SetVisible(0);
        if (k != SIDE_MENU_TAB) {
            const POINT from = sprite->GetPosition();
            record.SetRect(from.x, from.y, b.x + PANEL_WIDTH, b.y);
        }
        sprite->AddAnimation(record);
        animation.AddSprite(sprite);
    }
    if (g_menu.panel) {
        const POINT from = g_menu.panel->GetPosition();
        SpriteAnimRecord record(SLIDE_STEPS);
        record.SetRect(from.x, from.y, SCREEN_WIDTH, 0);
        g_menu.panel->AddAnimation(record);
        animation.AddSprite(g_menu.panel.get());
    }
}

void IRightMenu::FollowPointer(int32_t x, int32_t y)
{
    if (g_menu.open == 0 && g_menu.manual == 0) {
        if (x >= POINTER_EDGE_X && x <= SCREEN_WIDTH - 1 && y >= 1 && y <= SCREEN_HEIGHT - 1)
            OpenMenu();
        return;
    }
    if (x < PANEL_X || x > SCREEN_WIDTH || y < 0 || y > SCREEN_HEIGHT) {
        if (g_menu.open != 0)
            CloseMenu();
        g_menu.manual = 0;
    }
}
