#include "screens/base/CMesButton.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "foundation/CInputView.h"
#include "foundation/CLangTextTable.h"
#include "foundation/ConfigAccess.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CDIB.h"
#include "graphics/CDirect3D.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CFontDIB.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "graphics/SpriteLayerRegistry.h"
#include "screens/base/CHitAreaTable.h"
#include "screens/base/ScreenParts.h"
#include "screens/base/ScreenWork.h"
#include "screens/map/CStatusPlate.h"
#include "screens/system/CLoadDialog.h"
#include "screens/system/CSaveDialog.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/commands/CFuncEffect.h"
#include "script/save/SaveStore.h"
#include "script/vm/BacklogStore.h"

namespace {

struct WindowButton
{
    int32_t x, y, width, height, cell_x, cell_y;
};

constexpr std::array<WindowButton, MESBUTTON_COUNT> BUTTONS{{
    {678, 1006, 200, 56, 200, 560},
    {882, 1006, 200, 56, 0, 560},
    {1086, 1006, 200, 56, 0, 784},
    {1290, 1006, 200, 56, 200, 784},
    {1494, 1006, 92, 54, 400, 784},
    {1590, 1006, 92, 54, 492, 784},
    {1624, 0, 58, 58, 782, 624},
}};

// Help texts of the window buttons and of side-menu buttons 0 to 8.
constexpr std::array<int32_t, MESBUTTON_COUNT> BUTTON_HELP{52, 50, 51, 53, 54, 55, 56};
constexpr std::array<int32_t, SIDE_MENU_SLOTS> MENU_HELP{43, 45, 46, 44, 47, 49, 48, 84, 85};

inline constexpr int32_t BUTTON_DEPTH = 42;
inline constexpr int32_t BALLOON_DEPTH = 44;
inline constexpr int32_t FADE_STEPS = 12;
inline constexpr int32_t HELP_FULL_ADVANCE = 26;
inline constexpr int32_t HELP_HALF_ADVANCE = 13;
inline constexpr int32_t HELP_LINE = 26;
inline constexpr int32_t HELP_STRIP_WIDTH = 1280;
inline constexpr int32_t HELP_STRIP_HEIGHT = 84;
inline constexpr int32_t HELP_TEXT_TOP = 24;   // the text's top inside the strip
inline constexpr int32_t HELP_STRIP_TOP = 996; // the strip's top in the text layer
inline constexpr size_t VALUE_TEXT_LAYER = 53;
inline constexpr int32_t BALLOON_EDGE = 30;
inline constexpr int32_t BALLOON_COLUMNS[3] = {840, 870, 900};
inline constexpr int32_t BALLOON_ROWS[3] = {624, 654, 684};
inline constexpr int32_t POINTER_ROW = 714;
inline constexpr int32_t DEFAULT_WINDOW_Y = 768;
inline constexpr RECT PLATE_BUTTON{642, 23, 965, 73};
inline constexpr size_t VARIABLE_QUICK_SAVE = 57;

struct Shared
{
    int32_t count = 0;
    int32_t window_open = 0;
    std::unique_ptr<CSprite> picture;
    std::array<std::unique_ptr<CSpriteLayer>, MESBUTTON_COUNT> buttons;
    std::unique_ptr<CSpriteLayer> balloon;
    std::unique_ptr<CFontDIB> font;
    // The help strip's stand-in for a text layer too small to hold the strip.
    std::unique_ptr<CDIB> strip;
    bool balloon_blank = false;          // the balloon and the strip are cleared and nothing drawn since
    const ILayer* blank_strip = nullptr; // the layer whose strip that was
    std::array<int32_t, MESBUTTON_COUNT> drawn{}; // the state each button sprite shows, -1 unknown
    std::vector<HitArea> areas;
};

Shared g_parts;

CSpriteLayer* Picture()
{
    return dynamic_cast<CSpriteLayer*>(g_parts.picture.get());
}

void DestroyParts()
{
    g_parts.font.reset();
    g_parts.picture.reset();
    g_parts.balloon.reset();
    g_parts.strip.reset();
    g_parts.balloon_blank = false;
    g_parts.blank_strip = nullptr;
    g_parts.drawn.fill(-1);
    for (auto& button : g_parts.buttons)
        button.reset();
    g_parts.areas.clear();
}

bool IsFullWidthUnit(const CStringUTF8& character)
{
    return IsFullWidthChar(character) != 0;
}

// The characters of a UTF-8 text, one string each.
std::vector<CStringUTF8> Characters(const CStringUTF8& text)
{
    std::vector<CStringUTF8> out;
    const std::string bytes = text.GetText();
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<uint8_t>(bytes[i]);
        size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        length = std::min(length, bytes.size() - i);
        out.emplace_back(bytes.substr(i, length).c_str());
        i += length;
    }
    return out;
}

} // namespace

CMesButton::CMesButton()
{
    SkipAllowed = 1;
    MenuIndex = -1;
}

CMesButton::~CMesButton()
{
    while (m_parts_holds > 0)
        CMesButton::ReleaseParts();
}

int32_t CMesButton::GetPartsHolders()
{
    return g_parts.count;
}

int32_t& CMesButton::WindowOpen()
{
    return g_parts.window_open;
}

CSpriteLayer* CMesButton::GetButtonSprite(int32_t id)
{
    return id >= 0 && id < MESBUTTON_COUNT ? g_parts.buttons[static_cast<size_t>(id)].get() : nullptr;
}

CSpriteLayer* CMesButton::GetBalloonSprite()
{
    return g_parts.balloon.get();
}

CSpriteLayer* CMesButton::GetPartsPicture()
{
    return Picture();
}

const HitArea* CMesButton::FindWindowArea(int32_t id)
{
    for (const HitArea& area : g_parts.areas)
        if (area.Id == static_cast<uint32_t>(id))
            return &area;
    return nullptr;
}

int32_t CMesButton::HitTestWindowAreas(int32_t x, int32_t y)
{
    for (const HitArea& area : g_parts.areas)
        if (area.Contains(x, y))
            return static_cast<int32_t>(area.Id);
    return -1;
}

void CMesButton::MoveCursorToWindowArea(int32_t id)
{
    const HitArea* area = FindWindowArea(id);
    if (area == nullptr)
        return;
    const POINT window = CDirect3D::GetInstance()->LogicalToWindow(
        POINT{(area->Left + area->Right) / 2, (area->Top + area->Bottom) / 2});
    if (IMouse* mouse = GetInputView()->GetMouse())
        mouse->SetPosition(window.x, window.y);
}

int32_t CMesButton::CreateParts()
{
    if (CreateSideMenu() == 0)
        return 0;
    if (g_parts.count == 0) {
        CLayerFile* file = GetDocumentLayerFile();
        g_parts.picture.reset(file != nullptr ? file->LoadSprite("message_p.akb", nullptr, LAYER_KIND_MEMORY,
                                                                 0, -1, nullptr, -1, -1, 0)
                                              : nullptr);
        CSpriteLayer* picture = Picture();
        if (picture != nullptr) {
            for (int32_t n = 0; n < MESBUTTON_COUNT; ++n) {
                const WindowButton& b = BUTTONS[static_cast<size_t>(n)];
                auto sprite = MakeTextureSprite(b.x, b.y, b.width, b.height, BUTTON_DEPTH);
                if (sprite) {
                    sprite->Blt(0, 0, b.width, b.height, picture, 0, n * b.height, 1);
                    MarkLayerDrawn(*sprite);
                }
                g_parts.buttons[static_cast<size_t>(n)] = std::move(sprite);
                g_parts.drawn[static_cast<size_t>(n)] = -1;
            }
            // Over the side menu's panel, which its pointer reaches into.
            g_parts.balloon = MakeTextureSprite(0, 0, BALLOON_WIDTH, BALLOON_HEIGHT, BALLOON_DEPTH);
            g_parts.strip = std::make_unique<CDIB>();
            g_parts.strip->Create(HELP_STRIP_WIDTH, HELP_STRIP_HEIGHT);
            g_parts.balloon_blank = false;
            g_parts.font = std::make_unique<CFontDIB>();
            try {
                g_parts.font->Create(GetLanguageFontName());
                g_parts.font->SetFontSize(24, 24);
            } catch (...) {
                g_parts.font.reset();
            }
        }
        if (picture == nullptr || !g_parts.balloon || !g_parts.font) {
            DestroyParts();
            ReleaseSideMenu();
            return 0;
        }
        g_parts.window_open = 1;
        CHitAreaTable table;
        table.Load("mes_o.area");
        g_parts.areas = table.Records();
        ShiftWindowAreas(GetConfigMesWndPosY());
    }
    ++g_parts.count;
    ++m_parts_holds;
    return 1;
}

void CMesButton::ReleaseParts()
{
    if (m_parts_holds <= 0)
        return;
    --m_parts_holds;
    if (--g_parts.count == 0)
        DestroyParts();
    ReleaseSideMenu();
}

void CMesButton::ShiftWindowAreas(int32_t dy)
{
    for (HitArea& area : g_parts.areas) {
        if (area.Id == static_cast<uint32_t>(MESWND_BODY) ||
            area.Id == static_cast<uint32_t>(MESBUTTON_EDGE)) {
            area.Top += dy;
            area.Bottom += dy;
        }
    }
}

bool CMesButton::IsMessageRead(uint32_t number)
{
    if (GetConfigAllSkip())
        return true;
    return IMesWnd::IsMessageRead(number);
}

int32_t CMesButton::GetWindowButtonState(int32_t id, int32_t keep_enabled)
{
    const bool skip = InputView->GetExtraInput(0) != 0 && !TestEngineState(ENGINE_STATE_SKIP_MODE);
    const bool read = ReadSkipOn != 0 && IsMessageRead(CurrentMessageNumber);
    const bool replay = IsReplayState() != 0;
    switch (id) {
    case MESBUTTON_AUTO_READ:
        return skip ? 3 : 0;
    case MESBUTTON_READ_SKIP:
        return skip ? 3 : (GetConfigOneMes() ? 2 : 0);
    case MESBUTTON_SKIP:
        return skip ? 2 : (read ? 3 : 0);
    case MESBUTTON_VOICE_REPEAT:
        if (skip || (read && keep_enabled == 0))
            return 3;
        return GetConfigVoiceLoop() ? 2 : 0;
    case MESBUTTON_QUICK_SAVE:
    case MESBUTTON_QUICK_LOAD:
        if ((skip && keep_enabled == 0) || replay || (read && keep_enabled == 0))
            return 3;
        if (id == MESBUTTON_QUICK_LOAD && CurrentVariable(VARIABLE_QUICK_SAVE) == 0)
            return 3;
        return 0;
    default:
        return 0;
    }
}

void CMesButton::PresentFrame()
{
    RedrawFrameNow();
}

void CMesButton::DrawWindowButton(int32_t id, int32_t state, int32_t redraw)
{
    if (id < 0 || (id & 0xFF) >= MESBUTTON_IGNORED)
        return;
    switch (id >> 8) {
    case 0: {
        CSpriteLayer* sprite = GetButtonSprite(id);
        CSpriteLayer* picture = Picture();
        if (sprite == nullptr || picture == nullptr)
            return;
        if (id == MESBUTTON_AUTO_READ && GetConfigAutoRead())
            state = 2;
        const WindowButton& b = BUTTONS[static_cast<size_t>(id)];
        // Every message start refreshes the row: a button already showing its state stays.
        int32_t& drawn = g_parts.drawn[static_cast<size_t>(id)];
        if (drawn != state) {
            LiveDrawLock lock;
            sprite->Blt(0, 0, b.width, b.height, picture, b.cell_x, b.cell_y + state * b.height, 1);
            MarkLayerDrawn(*sprite);
            drawn = state;
        }
        if (sprite->IsVisible() == 0)
            return;
        break;
    }
    case 14:
        if (CStatusPlate* plate = GameWork->GetStatusPlate())
            plate->DrawButton(state, redraw);
        return;
    case 15:
        IRightMenu::DrawButton(id & 0xFF, state, 0);
        break;
    default:
        break;
    }
    if (redraw != 0) {
        ShowHoverHelp(id, 0);
        PresentFrame();
    }
}

void CMesButton::RefreshWindowButtons(int32_t keep_enabled)
{
    for (int32_t id = 0; id < MESBUTTON_COUNT; ++id)
        DrawWindowButton(id, GetWindowButtonState(id, keep_enabled), 0);
    RefreshButtons();
}

void CMesButton::SyncReadSkip(int32_t keep_enabled)
{
    ReadSkipOn = GetConfigOneMes() ? 1 : 0;
    RefreshWindowButtons(keep_enabled);
    PresentFrame();
}

int32_t CMesButton::UpdateHover(int32_t previous_id, int32_t keep_enabled)
{
    POINT position{};
    if (IMouse* mouse = InputView->GetMouse())
        mouse->GetPosition(&position);
    const POINT screen = CDirect3D::GetInstance()->WindowToLogical(position);
    int32_t id = -1;
    CStatusPlate* plate = GameWork->GetStatusPlate();
    if (IsMenuOpen())
        id = IRightMenu::HitTest(screen.x, screen.y);
    else if (plate != nullptr && plate->IsShown() != 0 && GetFlag(FLAG_STATUS_PLATE_ACTIVE) != 0 &&
             screen.x >= PLATE_BUTTON.left && screen.x < PLATE_BUTTON.right && screen.y >= PLATE_BUTTON.top &&
             screen.y < PLATE_BUTTON.bottom)
        id = STATUS_PLATE_BUTTON;
    else
        id = HitTestWindowAreas(screen.x, screen.y);
    // Shut by its tab, the menu stays shut while the pointer is at the edge: its tab must still
    // take a click there, which would otherwise end the message.
    if (id == -1 && !IsMenuOpen() && GetManualFlag() != 0)
        id = IRightMenu::HitTest(screen.x, screen.y);
    if (id == previous_id)
        return id;
    if (previous_id != -1)
        DrawWindowButton(previous_id, GetWindowButtonState(previous_id, keep_enabled), 0);
    const int32_t state = GetWindowButtonState(id, keep_enabled);
    DrawWindowButton(id, state == 0 ? 1 : state, 1);
    if (id == -1 || id == MESWND_BODY) {
        ShowHoverHelp(-1, 1);
        PresentFrame();
    }
    return id;
}

void CMesButton::OnWindowButton(int32_t& id, int32_t keep_enabled)
{
    if (id < 0 || id > 0xFF)
        return;
    const int32_t state = GetWindowButtonState(id, keep_enabled);
    if (state == 3 || state == 4) {
        id = MESBUTTON_IGNORED;
        return;
    }
    const bool skip = InputView->GetExtraInput(0) != 0 && !TestEngineState(ENGINE_STATE_SKIP_MODE);
    auto wait_release = [this] { ISelect::OnDecide(); };
    auto press = [&](int32_t button) {
        DrawWindowButton(button, 2, 1);
        wait_release();
        DrawWindowButton(button, 0, 1);
    };
    switch (id) {
    case MESBUTTON_AUTO_READ: {
        if (skip)
            return;
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        const bool on = !GetConfigAutoRead();
        SetConfigAutoRead(on ? 1 : 0);
        AutoReadOn = on ? 1 : 0;
        DrawWindowButton(MESBUTTON_AUTO_READ, on ? 2 : 0, 1);
        id = MESWND_ADVANCE;
        return;
    }
    case MESBUTTON_READ_SKIP:
        if (skip)
            return;
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        if (GetConfigOneMes()) {
            DrawWindowButton(MESBUTTON_READ_SKIP, 0, 1);
            SetConfigOneMes(0);
            ReadSkipOn = 0;
            RefreshWindowButtons(keep_enabled);
            PresentFrame();
        } else {
            DrawWindowButton(MESBUTTON_READ_SKIP, 2, 1);
            SetConfigOneMes(1);
            ReadSkipOn = 1;
            RefreshWindowButtons(keep_enabled);
            PresentFrame();
            id = MESWND_ADVANCE;
        }
        return;
    case MESBUTTON_SKIP:
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        if (skip) {
            InputView->SetExtraInput(0, 0);
            wait_release();
            DrawWindowButton(MESBUTTON_SKIP, 0, 1);
            RefreshWindowButtons(keep_enabled);
            PresentFrame();
        } else {
            DrawWindowButton(MESBUTTON_SKIP, 2, 1);
            wait_release();
            InputView->SetExtraInput(0, 1);
            RefreshWindowButtons(keep_enabled);
            PresentFrame();
            id = MESWND_ADVANCE;
        }
        return;
    case MESBUTTON_VOICE_REPEAT: {
        CSpriteLayer* sprite = GetButtonSprite(MESBUTTON_VOICE_REPEAT);
        if (skip || sprite == nullptr || sprite->IsVisible() == 0)
            return;
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        if (GetConfigVoiceLoop()) {
            DrawWindowButton(MESBUTTON_VOICE_REPEAT, 0, 1);
            wait_release();
            SetConfigVoiceLoop(0);
        } else {
            DrawWindowButton(MESBUTTON_VOICE_REPEAT, 2, 1);
            wait_release();
            SetConfigVoiceLoop(1);
            SetConfigAutoRead(0);
            AutoReadOn = 0;
            DrawWindowButton(MESBUTTON_AUTO_READ, 0, 1);
        }
        return;
    }
    case MESBUTTON_QUICK_SAVE: {
        press(MESBUTTON_QUICK_SAVE);
        ShowHoverHelp(-1, 1);
        GameWork->ClearSnapshotTaken();
        GameWork->TakeScreenSnapshot();
        // The sound says a save was made: a refused one has told why and stays silent.
        if (CSaveDialog* save = GameWork->GetSaveDialog(); save != nullptr && save->QuickSave()) {
            CFuncEffect effect;
            effect.Play("ses_003.wav", SCREEN_SOUND_CHANNEL, 1);
        }
        RefreshWindowButtons(keep_enabled);
        PresentFrame();
        return;
    }
    case MESBUTTON_QUICK_LOAD: {
        CFuncEffect effect;
        effect.Play("ses_004.wav", SCREEN_SOUND_CHANNEL, 1);
        press(MESBUTTON_QUICK_LOAD);
        ShowHoverHelp(-1, 1);
        GameWork->ClearSnapshotTaken();
        GameWork->TakeScreenSnapshot();
        if (CLoadDialog* load = GameWork->GetLoadDialog())
            load->QuickLoad();
        return;
    }
    case MESBUTTON_EDGE: {
        CSpriteLayer* sprite = GetButtonSprite(MESBUTTON_EDGE);
        if (sprite == nullptr || sprite->IsVisible() == 0)
            return;
        PlayCancelSound(SCREEN_SOUND_CHANNEL);
        press(MESBUTTON_EDGE);
        return;
    }
    default:
        return;
    }
}

void CMesButton::OnSideMenuButton(int32_t slot)
{
    if (slot < 0 || slot >= SIDE_MENU_SLOTS)
        return;
    const int32_t button = ButtonMap[static_cast<size_t>(slot)];
    if (button < 0 || GetButtonState(button) != 0)
        return;
    PlayOkSound(SCREEN_SOUND_CHANNEL);
    IRightMenu::DrawButton(slot, 2, 1);
    ISelect::OnDecide();
    IRightMenu::DrawButton(slot, 0, 1);
    ShowHoverHelp(-1, 0);
    // A wheel turn left over from the scene would open the backlog as soon as the game goes on.
    const auto reset_wheel = [this] {
        if (IMouse* mouse = InputView != nullptr ? InputView->GetMouse() : nullptr)
            mouse->SetWheel(0);
    };
    switch (button) {
    case SIDE_MENU_TAB:
        ToggleMenu();
        SetManualFlag(1);
        break;
    case SIDE_MENU_SAVE:
        // The save's thumbnail is the scene as the player left it, without the window and not
        // an older capture.
        Hide();
        GameWork->ClearSnapshotTaken();
        GameWork->TakeScreenSnapshot();
        GameWork->RunSaveLoad(SYSTEM_PAGE_SAVE);
        RestoreWindow(0);
        break;
    case SIDE_MENU_LOAD:
        Hide();
        GameWork->ClearSnapshotTaken();
        GameWork->TakeScreenSnapshot();
        GameWork->ClearSnapshotTaken();
        GameWork->RunSaveLoad(SYSTEM_PAGE_LOAD);
        RestoreWindow(0);
        break;
    case SIDE_MENU_SETTINGS:
        Hide();
        GameWork->RunTopPage();
        RestoreWindow(0);
        break;
    case SIDE_MENU_BACKLOG:
        if (CountBacklogEntries() == 0)
            break;
        reset_wheel();
        Hide();
        GameWork->TakeScreenSnapshot();
        GameWork->RunSystemMenu(SYSTEM_PAGE_BACKLOG);
        GameWork->ClearSnapshotTaken();
        RestoreWindow(0);
        break;
    case SIDE_MENU_SCREEN:
        OnScreenMenuButton();
        break;
    case SIDE_MENU_FLAGS:
        reset_wheel();
        Hide();
        GameWork->RunFlagManager();
        RestoreWindow(0);
        break;
    case SIDE_MENU_TITLE:
        reset_wheel();
        try {
            GameWork->ConfirmReturnTo(RETURN_TO_TITLE, 1);
        } catch (GameDocument::tagDOCUMENT_CODE) {
            // Confirmed: the window's run ends with 1 while the code unwinds the game.
            Result = ScriptValue::FromInteger(1);
            HoverId = -1;
            Running = 0;
            throw;
        }
        break;
    case SIDE_MENU_EXIT:
        reset_wheel();
        GameWork->ConfirmExit();
        break;
    default:
        break;
    }
}

int32_t CMesButton::HelpTextNumber(int32_t id)
{
    if (id >= 0 && id < MESBUTTON_COUNT) {
        if (id == MESBUTTON_EDGE && (GetButtonSprite(id) == nullptr || GetButtonSprite(id)->IsVisible() == 0))
            return -1;
        return BUTTON_HELP[static_cast<size_t>(id)];
    }
    if ((id & ~0xFF) == SIDE_MENU_GROUP) {
        const int32_t slot = id & 0xFF;
        if (slot >= SIDE_MENU_SLOTS)
            return -1;
        const int32_t button = ButtonMap[static_cast<size_t>(slot)];
        if (button < 0 || GetButtonState(button) != 0)
            return -2;
        return MENU_HELP[static_cast<size_t>(button)];
    }
    return -1;
}

void CMesButton::MeasureHelpText(const CStringUTF8& text, int32_t& width, int32_t& height)
{
    int32_t x = 0;
    width = 0;
    height = HELP_LINE;
    for (const CStringUTF8& c : Characters(text)) {
        if (c == "\n") {
            x = 0;
            height += HELP_LINE;
            continue;
        }
        x += IsFullWidthUnit(c) ? HELP_FULL_ADVANCE : HELP_HALF_ADVANCE;
        width = std::max(width, x);
    }
}

BalloonPlacement CMesButton::PlaceBalloon(int32_t id, int32_t text_width, int32_t text_height)
{
    BalloonPlacement p;
    p.Width = text_width + 2 * BALLOON_EDGE;
    p.Height = text_height + 2 * BALLOON_EDGE;
    const int32_t lines_height = (text_height + HELP_LINE - 1) / HELP_LINE * HELP_LINE;
    if ((id & ~0xFF) == SIDE_MENU_GROUP) {
        const int32_t item = id & 0xFF;
        const int32_t anchor_x = item == 0 ? 1846 : 1620;
        const int32_t anchor_y = item == 0 ? 24 : 152 + 98 * (item - 1);
        p.X = anchor_x - p.Width;
        p.Y = anchor_y;
        p.PointerX = text_width + BALLOON_EDGE;
        p.PointerY = BALLOON_EDGE;
        p.PointerCellX = BALLOON_COLUMNS[1];
        p.PointerCellY = POINTER_ROW;
        return p;
    }
    const HitArea* area = FindWindowArea(id);
    const HitArea r = area != nullptr ? *area : HitArea{};
    p.X = r.Left + (r.Right - r.Left) / 2 - text_width - 15;
    p.Y = r.Top - lines_height - 45;
    p.PointerX = text_width;
    if (p.Y >= 0) {
        p.PointerY = lines_height + BALLOON_EDGE;
        p.PointerCellX = BALLOON_COLUMNS[0];
    } else {
        p.Y = r.Bottom;
        p.PointerY = 0;
        p.PointerCellX = BALLOON_COLUMNS[2];
    }
    p.PointerCellY = POINTER_ROW;
    return p;
}

CMesButton::HelpStrip CMesButton::HelpStripLayer()
{
    // The text layer's strip below the screen's picture; the pixel operations clip nothing, so a
    // text layer that does not reach it leaves the text to the parts' own strip.
    const FlagBuffer* state = GetScriptState().m_current_state.get();
    if (state != nullptr && state->Values.size() > VALUE_TEXT_LAYER)
        if (CSpriteLayer* text = FindSpriteLayer(state->Values[VALUE_TEXT_LAYER].Integer))
            if (ILayer* layer = text->GetLayer(); layer != nullptr && layer->GetBits() != nullptr &&
                                                  layer->GetWidth() >= HELP_STRIP_WIDTH &&
                                                  layer->GetHeight() >= HELP_STRIP_TOP + HELP_STRIP_HEIGHT)
                return {layer, HELP_STRIP_TOP};
    return {g_parts.strip.get(), 0};
}

void CMesButton::DrawHelpText(const CStringUTF8& text, const HelpStrip& strip)
{
    if (strip.layer == nullptr || !g_parts.font)
        return;
    int32_t x = 0;
    int32_t y = strip.top + HELP_TEXT_TOP;
    for (const CStringUTF8& c : Characters(text)) {
        if (c == "\n") {
            x = 0;
            y += HELP_LINE;
            continue;
        }
        g_parts.font->DrawText(c, x, y, 0xFFFFFF, 0, strip.layer, 0);
        x += IsFullWidthUnit(c) ? HELP_FULL_ADVANCE : HELP_HALF_ADVANCE;
    }
}

void CMesButton::ShowHoverHelp(int32_t id, int32_t show_now)
{
    BuildBalloon(id);
    if (show_now != 0)
        PresentFrame();
}

void CMesButton::BuildBalloon(int32_t id)
{
    CSpriteLayer* balloon = g_parts.balloon.get();
    CSpriteLayer* picture = Picture();
    if (balloon == nullptr || picture == nullptr)
        return;
    LiveDrawLock lock;
    const HelpStrip strip = HelpStripLayer();
    // Every message closes by hiding the balloon: clearing a blank one again is wasted.
    if (!g_parts.balloon_blank || g_parts.blank_strip != strip.layer) {
        if (strip.layer != nullptr)
            strip.layer->SetAlphaRect(0, strip.top, HELP_STRIP_WIDTH, HELP_STRIP_HEIGHT, 0);
        balloon->Clear();
        MarkLayerDrawn(*balloon);
        g_parts.balloon_blank = true;
        g_parts.blank_strip = strip.layer;
    }
    CSpriteLayer* first = GetButtonSprite(MESBUTTON_AUTO_READ);
    const bool enabled =
        first != nullptr && first->IsVisible() != 0 && GetConfigMesHelpEnable() && g_parts.window_open != 0;
    const int32_t number = enabled ? HelpTextNumber(id) : -2;
    if (!enabled || id == -1 || id == MESWND_BODY || id == MESBUTTON_IGNORED || number == -2) {
        balloon->SetVisibleFlag(0);
        return;
    }
    const CLangTextTable* table = GameWork->m_system_language.get();
    const CStringUTF8 text = number >= 0 && table != nullptr ? table->GetText(number) : CStringUTF8("");
    g_parts.balloon_blank = false;
    DrawHelpText(text, strip);

    int32_t width = 0;
    int32_t height = 0;
    MeasureHelpText(text, width, height);
    const BalloonPlacement p = PlaceBalloon(id, width, height);
    // Nine slices: corners once, edges tiled in 26-pixel steps along their length and whole
    // across their 30-pixel band (a second step across would repeat the piece's inner rows at the
    // balloon's outer edge), the middle in 26-pixel steps both ways.
    const int32_t w = std::min(p.Width, BALLOON_WIDTH);
    const int32_t h = std::min(p.Height, BALLOON_HEIGHT);
    auto tile = [&](int32_t column, int32_t row, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        const int32_t step_x = column == 1 ? HELP_LINE : BALLOON_EDGE;
        const int32_t step_y = row == 1 ? HELP_LINE : BALLOON_EDGE;
        for (int32_t y = y0; y < y1; y += step_y)
            for (int32_t x = x0; x < x1; x += step_x)
                balloon->Blt(x, y, std::min(step_x, x1 - x), std::min(step_y, y1 - y), picture,
                             BALLOON_COLUMNS[column], BALLOON_ROWS[row], 1);
    };
    const int32_t right = w - BALLOON_EDGE;
    const int32_t bottom = h - BALLOON_EDGE;
    tile(1, 1, BALLOON_EDGE, BALLOON_EDGE, right, bottom);
    tile(1, 0, BALLOON_EDGE, 0, right, BALLOON_EDGE);
    tile(1, 2, BALLOON_EDGE, bottom, right, h);
    tile(0, 1, 0, BALLOON_EDGE, BALLOON_EDGE, bottom);
    tile(2, 1, right, BALLOON_EDGE, w, bottom);
    balloon->Blt(0, 0, BALLOON_EDGE, BALLOON_EDGE, picture, BALLOON_COLUMNS[0], BALLOON_ROWS[0], 1);
    balloon->Blt(right, 0, BALLOON_EDGE, BALLOON_EDGE, picture, BALLOON_COLUMNS[2], BALLOON_ROWS[0], 1);
    balloon->Blt(0, bottom, BALLOON_EDGE, BALLOON_EDGE, picture, BALLOON_COLUMNS[0], BALLOON_ROWS[2], 1);
    balloon->Blt(right, bottom, BALLOON_EDGE, BALLOON_EDGE, picture, BALLOON_COLUMNS[2], BALLOON_ROWS[2], 1);
    // An id without a text of its own shows the empty frame where the balloon last stood.
    const bool placed = number >= 0;
    if (placed)
        balloon->Blt(p.PointerX, p.PointerY, BALLOON_EDGE, BALLOON_EDGE, picture, p.PointerCellX,
                     p.PointerCellY, 1);
    if (strip.layer != nullptr)
        balloon->BltAlpha(BALLOON_EDGE, BALLOON_EDGE, std::min(width, HELP_STRIP_WIDTH),
                          std::min(height, HELP_STRIP_HEIGHT - HELP_TEXT_TOP), strip.layer, 0,
                          strip.top + HELP_TEXT_TOP);
    MarkLayerDrawn(*balloon);
    if (placed)
        balloon->SetPosition(p.X, p.Y);
    balloon->SetAlpha(255);
    balloon->SetVisibleFlag(1);
}

void CMesButton::ShowWindowButtons(CSpriteAnime& animation, int32_t flag)
{
    RefreshWindowButtons(flag);
    CSpriteLayer* first = GetButtonSprite(MESBUTTON_AUTO_READ);
    if (first == nullptr || first->IsVisible() != 0)
        return;
    if (GetFlag(FLAG_SIDE_MENU_FROZEN) == 0) {
        for (int32_t id = 0; id < MESBUTTON_COUNT; ++id) {
            CSpriteLayer* sprite = GetButtonSprite(id);
            if (sprite == nullptr || (id == MESBUTTON_EDGE && flag == 1))
                continue;
            SpriteAnimRecord record(FADE_STEPS);
            record.SetVisible(1);
            record.SetAlpha(0x00, 0xFF);
            sprite->AddAnimation(record);
            animation.AddSprite(sprite);
        }
    }
    AddShowAnimation(animation);
}

void CMesButton::HideWindowButtons(CSpriteAnime& animation)
{
    for (int32_t id = 0; id < MESBUTTON_COUNT; ++id) {
        CSpriteLayer* sprite = GetButtonSprite(id);
        if (sprite == nullptr)
            continue;
        SpriteAnimRecord record(FADE_STEPS);
        record.SetAlpha(0xFF, 0x00);
        record.SetVisible(0);
        sprite->AddAnimation(record);
        animation.AddSprite(sprite);
    }
    AddHideAnimation(animation);
}

void CMesButton::EndSceneSkip()
{
    if (CSpriteLayer* base = FindSpriteLayer(0)) {
        LiveDrawLock lock;
        base->FillRect(0, 0, 1920, 1080, 0, 0);
        MarkLayerDrawn(*base);
    }
    SetConfigSceneSkip(0);
    InputView->SetExtraInput(0, 0);
    if (CFadeSprite* fade = GetSpriteLayerRegistry().GetFadeSprite())
        fade->FadeToColor(0, 0);
    SetEngineState(ENGINE_STATE_SNAPSHOT);

    FlagBuffer* state = GetScriptState().m_current_state.get();
    ScriptValueTable* table = GetScriptState().SaveDataTable.get();
    ScriptValueTable* snapshot = GetScriptState().SaveDataSnapshot.get();
    if (state != nullptr)
        SaveStore::MergeIntoFlagFile(0, *state);
    if (state == nullptr || table == nullptr || snapshot == nullptr)
        return;
    bool saved = SaveStore::WriteFlagFile(SCENE_SKIP_SCRATCH_SLOT, *state);
    if (saved) {
        GetScriptState().SaveScriptStack(*snapshot);
        saved = SaveStore::WriteSaveData(SCENE_SKIP_SCRATCH_SLOT, *snapshot);
    }
    if (!saved) {
        // The writer has told the player; reloading would restart from whatever an earlier
        // scratch save held, so the skip just ends here.
        return;
    }
    ScriptValueTable read;
    if (SaveStore::ReadSaveData(SCENE_SKIP_SCRATCH_SLOT, read, MissingSaveData::Empty) !=
        SaveFileRead::Damaged) {
        table->Assign(read);
        snapshot->Assign(read);
    }
    SaveStore::ReadFlagFile(SCENE_SKIP_SCRATCH_SLOT, *state);
    g_parts.window_open = GetConfigMesWndWndOpen();
    OnSceneSkipEnded();
    throw GameDocument::DOCUMENT_RESTORE_STACK;
}
