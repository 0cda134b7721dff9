// The save and load screen over the slot operations: seven rows of one slot group in a list that
// scrolls by arrows, wheel and knob, the page tabs, the group tabs of the load screen, delete and
// delete all, and the help line.

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "foundation/CInputView.h"
#include "foundation/CLangTextTable.h"
#include "foundation/ConfigSettings.h"
#include "foundation/IMouse.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerOf.h"
#include "platform/imm/ImmApi.h"
#include "screens/base/ScreenWork.h"
#include "screens/system/ISaveLoad.h"
#include "screens/system/SaveLoadLayout.h"
#include "script/save/SaveSlotTable.h"
#include "script/save/SaveStore.h"
#include "script/save/SaveThumbnail.h"

using namespace saveload_layout;

namespace {

constexpr uint32_t ROW_TEXT_COLOUR = 0xFFFF8400;
constexpr int32_t ROW_TEXT_SIZE = 36;
constexpr uint32_t SHADE_COLOUR = 0x80000000;
constexpr int32_t STATE_PRESSED = 2;
constexpr int32_t STATE_DISABLED = 3;
// Help lines by their language text number.
constexpr int32_t HELP_SAVE_TAB = 180;
constexpr int32_t HELP_LOAD_TAB = 181;
constexpr int32_t HELP_DELETE_ALL = 154;
constexpr int32_t HELP_CLOSE = 260;
constexpr int32_t HELP_SCROLL[3] = {169, 170, 307};
constexpr int32_t HELP_AUTO_DELETE = 133;

// The pictures both screens share, made by the first that builds its parts.
struct ScreenParts
{
    int32_t holds = 0;
    std::unique_ptr<CSprite> parts;
    std::unique_ptr<CSprite> background;
    std::unique_ptr<CSprite> list;
    std::unique_ptr<CSprite> row_text;
    std::unique_ptr<CSprite> shade;
    std::unique_ptr<CSprite> help;

    void Free()
    {
        parts.reset();
        background.reset();
        list.reset();
        row_text.reset();
        shade.reset();
        help.reset();
    }
};

ScreenParts& Parts()
{
    static ScreenParts parts;
    return parts;
}

ILayer* LayerOf(const std::unique_ptr<CSprite>& sprite)
{
    return sprite ? SpriteLayerOf(sprite.get()) : nullptr;
}

void Touch(CSpriteLayer* layer)
{
    if (layer != nullptr)
        layer->Invalidate(1, *layer->GetRect());
}

int32_t Language()
{
    return static_cast<int32_t>(GetConfigLanguage());
}

// Where a cursor key sends the pointer from a control: up, down, left, right (-1 nowhere).
using KeyMoves = std::array<int32_t, 4>;

// Draws text through a glyph strip: digits at their index, then the extra characters given.
void DrawGlyphs(ILayer* target, ILayer* parts, int32_t x, int32_t y, const std::string& text, int32_t strip_y,
                int32_t width, int32_t height, const char* extras = "")
{
    for (char c : text) {
        int32_t index = -1;
        if (c >= '0' && c <= '9')
            index = c - '0';
        else if (const char* at = std::strchr(extras, c); at != nullptr && c != '\0')
            index = 10 + static_cast<int32_t>(at - extras);
        if (index >= 0)
            target->BltAlpha(x, y, width, height, parts, index * width, strip_y);
        x += width;
    }
}

std::string Printed(const char* format, unsigned a, unsigned b, unsigned c = 0)
{
    char text[64];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

// The amount grouped by thousands: the leading group bare, every further one with three digits.
std::string GroupedMoney(unsigned amount)
{
    const std::string digits = std::to_string(amount);
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

} // namespace

bool ISaveLoad::IsSaveScreen() const
{
    return CurrentPage == SYSTEM_PAGE_SAVE;
}

int32_t ISaveLoad::MaximumFirstRow() const
{
    const int32_t count = m_counts[std::clamp(m_group, 0, 2)];
    return std::max(IsSaveScreen() ? count + 1 - ROWS : count - ROWS, 0);
}

uint32_t ISaveLoad::SlotOfRow(int32_t row) const
{
    if (IsSaveScreen())
        return static_cast<uint32_t>(m_first_row + row);
    return static_cast<uint32_t>(m_first_row + row + 1 + 100 * m_group);
}

bool ISaveLoad::HasDeleteButton(int32_t row) const
{
    return IsRowUsed(row) && SlotOfRow(row) != 0;
}

ILayer* ISaveLoad::GetBackgroundLayer()
{
    return LayerOf(Parts().background);
}

ILayer* ISaveLoad::GetListLayer()
{
    return LayerOf(Parts().list);
}

int32_t ISaveLoad::CreateParts()
{
    if (ISystemParts::CreateParts() == 0)
        return 0;
    ScreenParts& parts = Parts();
    if (m_holds_screen)
        return 1;
    if (parts.holds == 0) {
        parts.background.reset(CreateSprite(0, 0, LOGICAL_WIDTH, LOGICAL_HEIGHT, -1, LAYER_KIND_MEMORY, 0));
        parts.list.reset(CreateSprite(0, 0, ROW_WIDTH, LIST_HEIGHT, -1, LAYER_KIND_MEMORY, 0));
        parts.row_text.reset(CreateSprite(0, 0, TEXT_WIDTH, TEXT_HEIGHT, -1, LAYER_KIND_MEMORY, 0));
        parts.shade.reset(CreateSprite(0, 0, ROW_WIDTH, ROW_HEIGHT, -1, LAYER_KIND_MEMORY, 0));
        parts.help.reset(CreateSprite(0, 0, HELP_WIDTH, HELP_HEIGHT, -1, LAYER_KIND_MEMORY, 0));
        BuildParts(0);
        if (!LayerOf(parts.parts) || !LayerOf(parts.background) || !LayerOf(parts.list) ||
            !LayerOf(parts.row_text) || !LayerOf(parts.shade) || !LayerOf(parts.help) ||
            GetThumbnailLayer() == nullptr) {
            parts.Free();
            ISystemParts::ReleaseParts();
            return 0;
        }
        LayerOf(parts.shade)->FillRect(0, 0, ROW_WIDTH, ROW_HEIGHT, SHADE_COLOUR, 1);
    }
    ++parts.holds;
    m_holds_screen = true;
    return 1;
}

void ISaveLoad::ReleaseParts()
{
    if (m_holds_screen) {
        m_holds_screen = false;
        if (--Parts().holds == 0)
            Parts().Free();
    }
    ISystemParts::ReleaseParts();
}

CStringUTF8 ISaveLoad::LanguagePicture(const char* stem)
{
    static constexpr const char* SUFFIXES[] = {"_en", "_ch", "_tw", ""};
    const int32_t language = std::clamp(Language(), 0, 3);
    const CStringUTF8 name = CStringUTF8(stem) + SUFFIXES[language] + ".akb";
    if (language != 2)
        return name;
    CStringUTF8 entry = name;
    entry.MakeUpper();
    CLayerFile* file = LayerFile();
    return file != nullptr && file->Exists(entry) != 0 ? name : CStringUTF8(stem) + ".akb";
}

void ISaveLoad::BuildParts(int32_t)
{
    Parts().parts.reset(LoadPictureIfPresent(LanguagePicture("saveload_p").GetText()));
}

ScriptValue* ISaveLoad::Run(ScriptValue* out)
{
    EnsureParts();
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
    return ISystemParts::Run(out);
}

void ISaveLoad::Show()
{
    OpenTransition(nullptr);
}

void ISaveLoad::Hide()
{
    CloseTransition(nullptr);
}

void ISaveLoad::OnClose()
{
    Hide();
    WINNLSEnableIME(nullptr, FALSE);
    // Each open copies the background in whole and draws every row of the list: closed, their
    // pixels go back to the system.
    ClearSpriteLayers({Parts().background.get(), Parts().list.get()});
    ISystemParts::OnClose();
}

void ISaveLoad::OnOpen()
{
    Running = 1;
    m_hovered = -1;
    KeepView = 0;
    m_group = 0;
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
    // The language's background, then its parts.
    if (std::unique_ptr<CSprite> picture{LoadPictureIfPresent(LanguagePicture("saveload_bg").GetText())})
        if (ILayer* source = SpriteLayerOf(picture.get()); source != nullptr && LayerOf(Parts().background))
            LayerOf(Parts().background)->Blt(0, 0, LOGICAL_WIDTH, LOGICAL_HEIGHT, source, 0, 0, 1);
    LoadSlotTable();
    if (FlagBuffer* state = CurrentFlagBuffer()) {
        for (const size_t variable : {VARIABLE_SAVE_MADE, VARIABLE_SLOT_SAVE_MADE})
            SaveStore::LoadRangeFromFile(FlagArray::Variables, 0, *state, static_cast<int32_t>(variable), 1);
    }
    m_first_row = 0;
    RecountSlots();
    HitAreas.Load("saveload.area");
    DrawToImage = 1;
    if (ILayer* view = ViewTarget(); view != nullptr && LayerOf(Parts().background) != nullptr)
        view->Blt(0, 0, LOGICAL_WIDTH, LOGICAL_HEIGHT, LayerOf(Parts().background), 0, 0, 1);
    BuildParts(0);
    DrawPage();
    // A new picture waits: over a page still showing (a tab was picked) it cross-fades in.
    for (CSpriteLayer* image : {ViewImageLayer(), MaskImageLayer()})
        if (image != nullptr)
            image->SetVisibleFlag(1);
    Show();
    DrawToImage = 0;
}

void ISaveLoad::Present()
{
    Touch(ViewLayer());
    Touch(MaskLayer());
    RedrawFrameNow();
}

void ISaveLoad::DrawPage()
{
    ILayer* mask = MaskTarget();
    ILayer* list = LayerOf(Parts().list);
    if (mask == nullptr || list == nullptr)
        return;
    {
        LiveDrawLock lock;
        mask->SetAlphaRect(0, 0, LOGICAL_WIDTH, LOGICAL_HEIGHT, 0);
        for (int32_t id : {ID_SAVE_TAB, ID_LOAD_TAB, ID_DELETE_ALL, ID_CLOSE})
            DrawControl(id, 0, false);
        for (int32_t group = 0; group < (IsSaveScreen() ? 1 : 3); ++group)
            DrawControl(ID_GROUP_TAB + group, 0, false);
    }
    DrawList();
}

void ISaveLoad::DrawList()
{
    ILayer* view = ViewTarget();
    ILayer* mask = MaskTarget();
    ILayer* list = LayerOf(Parts().list);
    ILayer* background = LayerOf(Parts().background);
    if (view == nullptr || mask == nullptr || list == nullptr || background == nullptr)
        return;
    LiveDrawLock lock;
    list->SetAlphaRect(0, 0, ROW_WIDTH, LIST_HEIGHT, 0);
    mask->SetAlphaRect(ARROW_X, ARROW_UP_Y, ARROW_WIDTH, ARROW_DOWN_Y + ARROW_HEIGHT - ARROW_UP_Y, 0);
    if (m_has_scroll_bar != 0)
        for (int32_t id : {ID_SCROLL_UP, ID_SCROLL_DOWN, ID_KNOB})
            DrawControl(id, 0, false);
    for (int32_t row = 0; row < ROWS; ++row) {
        mask->SetAlphaRect(DELETE_X, DELETE_Y + ROW_HEIGHT * row, DELETE_WIDTH, DELETE_HEIGHT, 0);
        DrawSlotRow(SlotOfRow(row), row, 0);
    }
    // The rows lie over the background's top-left region, not over what it shows at their place:
    // backgrounds are drawn plain there.
    view->Blt(LIST_X, LIST_Y, ROW_WIDTH, LIST_HEIGHT, background, 0, 0, 1);
    view->BltAlpha(LIST_X, LIST_Y, ROW_WIDTH, LIST_HEIGHT, list, 0, 0);
    DrawControl(ID_DELETE_ALL, 0, false);
    Touch(ViewLayer());
    Touch(MaskLayer());
}

void ISaveLoad::DrawSlotRow(uint32_t slot, int32_t row, int32_t state)
{
    ILayer* list = LayerOf(Parts().list);
    ILayer* parts = LayerOf(Parts().parts);
    ILayer* mask = MaskTarget();
    if (list == nullptr || row < 0 || row >= ROWS || m_table == nullptr)
        return;
    const int32_t y = ROW_HEIGHT * row;
    list->SetAlphaRect(0, y, ROW_WIDTH, ROW_HEIGHT, 0);
    const int32_t picture_state = std::clamp(state, 0, 2);
    if (IsSaveScreen() && slot == 0) {
        m_row_used[row] = 1;
        if (parts != nullptr)
            list->Blt(0, y, ROW_WIDTH, ROW_HEIGHT, parts, 0, ROW_HEIGHT * picture_state, 1);
        return;
    }
    const SaveSlotTable table(std::span<uint8_t>(m_table, SLOT_TABLE_SIZE));
    if (slot < SLOT_FIRST || slot > SLOT_LAST || !table.IsUsed(slot)) {
        m_row_used[row] = 0;
        return;
    }
    m_row_used[row] = 1;
    const SaveSlotHeader header = table.Get(slot);
    const bool newest = slot == SLOT_FIRST || slot == SLOT_AUTO_FIRST || slot == SLOT_QUICK_FIRST;
    const uint32_t number = slot > 200 ? slot - 200 : slot > 100 ? slot - 100 : slot;
    if (parts != nullptr) {
        list->Blt(0, y, ROW_WIDTH, ROW_HEIGHT, parts, 0, ROW_HEIGHT * ((newest ? 6 : 3) + picture_state), 1);
        const int32_t digits[3] = {static_cast<int32_t>(number / 100 % 10),
                                   static_cast<int32_t>(number / 10 % 10), static_cast<int32_t>(number % 10)};
        for (int32_t i = 0; i < 3; ++i)
            list->BltAlpha(NUMBER_X[i], y + NUMBER_Y, SLOT_DIGIT_WIDTH, SLOT_DIGIT_HEIGHT, parts,
                           digits[i] * SLOT_DIGIT_WIDTH, SHEET_SLOT_DIGIT_Y);
        if (mask != nullptr)
            DrawControl(ID_DELETE + row, 0, false);
        DrawGlyphs(list, parts, SAVED_DATE_X, y + SAVED_Y,
                   Printed("%02u/%02u/%02u", header.Year % 100u, header.Month, header.Day), SHEET_SMALL_Y,
                   SMALL_WIDTH, SMALL_HEIGHT, "/:");
        DrawGlyphs(list, parts, SAVED_TIME_X, y + SAVED_Y,
                   Printed("%02u:%02u:%02u", header.Hour, header.Minute, header.Second), SHEET_SMALL_Y,
                   SMALL_WIDTH, SMALL_HEIGHT, "/:");
        // The game date: month 13 is the January after the year's December.
        const unsigned month = header.GameDate / 100 == 13 ? 1 : header.GameDate / 100;
        const std::string date = Printed("%02u/%02u", month, header.GameDate % 100u);
        DrawGlyphs(list, parts, GAME_DATE_X, y + GAME_Y, date, SHEET_LARGE_Y, LARGE_WIDTH, LARGE_HEIGHT,
                   "/:");
        const int32_t weekday_x = GAME_DATE_X + LARGE_WIDTH * static_cast<int32_t>(date.size());
        if (header.Weekday < WEEKDAY_COUNT)
            list->BltAlpha(weekday_x, y + GAME_Y, WEEKDAY_WIDTH, LARGE_HEIGHT, parts,
                           WEEKDAY_WIDTH * header.Weekday, SHEET_WEEKDAY_Y);
        const unsigned hour = header.GameTime / 100;
        const std::string time =
            Printed("%u:%02u", hour >= 13 && hour <= 23 ? hour - 12 : hour, header.GameTime % 100u);
        DrawGlyphs(list, parts, GAME_TIME_X, y + GAME_Y, time, SHEET_LARGE_Y, LARGE_WIDTH, LARGE_HEIGHT,
                   "/:");
        list->BltAlpha(GAME_TIME_X + LARGE_WIDTH * static_cast<int32_t>(time.size()), y + GAME_Y, MARK_WIDTH,
                       LARGE_HEIGHT, parts, SHEET_MARK_X + (hour >= 13 ? MARK_WIDTH : 0), SHEET_WEEKDAY_Y);
        list->BltAlpha(MONEY_X, y + GAME_Y, CURRENCY_WIDTH, LARGE_HEIGHT, parts, SHEET_CURRENCY_X,
                       SHEET_WEEKDAY_Y);
        int32_t x = AMOUNT_X;
        for (char c : GroupedMoney(header.Money)) {
            if (c == ',') {
                list->BltAlpha(x, y + GAME_Y, COMMA_WIDTH, COMMA_HEIGHT, parts, SHEET_COMMA_X, SHEET_COMMA_Y);
                x += COMMA_WIDTH;
            } else {
                DrawGlyphs(list, parts, x, y + GAME_Y, std::string(1, c), SHEET_LARGE_Y, LARGE_WIDTH,
                           LARGE_HEIGHT);
                x += LARGE_WIDTH;
            }
        }
    }
    // The manual rows show their notes in the place of their names.
    const CStringUTF8 text = slot >= SLOT_AUTO_FIRST ? SlotRowName(slot) : header.GetComment();
    if (ILayer* row_text = LayerOf(Parts().row_text)) {
        row_text->SetAlphaRect(0, 0, TEXT_WIDTH, TEXT_HEIGHT, 0);
        DrawTextInRect(text, row_text, ROW_TEXT_COLOUR, ROW_TEXT_SIZE, 8, 2, 1208, 42);
        list->BltAlpha(TEXT_X, y + TEXT_Y, TEXT_WIDTH, TEXT_HEIGHT, row_text, 0, 0);
    }
    if (ReadThumbnail(slot) == 1)
        list->Blt(THUMB_X, y + THUMB_Y, THUMBNAIL_WIDTH, THUMBNAIL_HEIGHT, GetThumbnailLayer(), 0, 0, 1);
    if (state == STATE_DISABLED)
        if (ILayer* shade = LayerOf(Parts().shade))
            list->BltAlpha(0, y, ROW_WIDTH, ROW_HEIGHT, shade, 0, 0);
}

void ISaveLoad::DrawControl(int32_t id, int32_t state, bool present)
{
    ILayer* mask = MaskTarget();
    ILayer* parts = LayerOf(Parts().parts);
    const int32_t group = id >> 8;
    const int32_t item = id & 0xFF;
    if (mask != nullptr && id >= 0) {
        LiveDrawLock lock;
        auto put = [&](int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx, int32_t sy) {
            mask->SetAlphaRect(x, y, w, h, 0);
            if (parts != nullptr)
                mask->Blt(x, y, w, h, parts, sx, sy, 1);
        };
        switch (group) {
        case 0:
            if (item < ROWS && HasDeleteButton(item))
                put(DELETE_X, DELETE_Y + ROW_HEIGHT * item, DELETE_WIDTH, DELETE_HEIGHT, SHEET_DELETE_X,
                    DELETE_HEIGHT * state);
            break;
        case 1:
            if (item <= 1) {
                const int32_t tab = GetMenuTabState(item == 0 ? MENU_PAGE_SAVE : MENU_PAGE_LOAD);
                const int32_t shown = tab != TAB_NORMAL ? tab : state;
                put(TAB_X, item == 0 ? SAVE_TAB_Y : LOAD_TAB_Y, TAB_SIZE, TAB_SIZE,
                    item == 0 ? SHEET_SAVE_TAB_X : SHEET_LOAD_TAB_X, TAB_SIZE * shown);
            }
            break;
        case 2: {
            const bool none = m_counts[0] == 0 && m_counts[1] == 0 && m_counts[2] == 0;
            put(DELETE_ALL_X, DELETE_ALL_Y, DELETE_WIDTH, DELETE_HEIGHT, SHEET_DELETE_ALL_X,
                DELETE_HEIGHT * (none ? STATE_DISABLED : state));
            break;
        }
        case 3:
            put(CLOSE_X, CLOSE_Y, TAB_SIZE, TAB_SIZE, SHEET_CLOSE_X, TAB_SIZE * state);
            break;
        case 4:
            if (m_has_scroll_bar == 0)
                break;
            if (item == 0)
                put(ARROW_X, ARROW_UP_Y, ARROW_WIDTH, ARROW_HEIGHT, SHEET_ARROW_UP_X,
                    SHEET_ARROW_Y + ARROW_HEIGHT * (m_first_row == 0 ? STATE_DISABLED : state));
            else if (item == 1)
                put(ARROW_X, ARROW_DOWN_Y, ARROW_WIDTH, ARROW_HEIGHT, SHEET_ARROW_DOWN_X,
                    SHEET_ARROW_Y +
                        ARROW_HEIGHT * (m_first_row >= MaximumFirstRow() ? STATE_DISABLED : state));
            else if (item == 2) {
                mask->SetAlphaRect(TRACK_X, TRACK_TOP, TRACK_WIDTH, TRACK_LENGTH, 0);
                const auto top =
                    TRACK_TOP + static_cast<int32_t>(static_cast<float>(m_first_row) * m_scroll_step);
                if (parts != nullptr)
                    mask->Blt(TRACK_X, top, TRACK_WIDTH, static_cast<int32_t>(m_scroll_step), parts,
                              SHEET_KNOB_X + TRACK_WIDTH * std::min(state, 2), 0, 1);
            }
            break;
        case 5:
            if (item <= 2 && (!IsSaveScreen() || item == 0))
                put(GROUP_TAB_X + GROUP_TAB_STEP * item, GROUP_TAB_Y, GROUP_TAB_WIDTH, GROUP_TAB_HEIGHT,
                    SHEET_GROUP_TAB_X + GROUP_TAB_WIDTH * item,
                    SHEET_GROUP_TAB_Y + GROUP_TAB_HEIGHT * (item == m_group ? STATE_PRESSED : state));
            break;
        case 6:
            if (item < ROWS) {
                DrawSlotRow(SlotOfRow(item), item, state);
                ILayer* view = ViewTarget();
                ILayer* list = LayerOf(Parts().list);
                ILayer* background = LayerOf(Parts().background);
                if (view != nullptr && list != nullptr && background != nullptr) {
                    const int32_t y = LIST_Y + ROW_HEIGHT * item;
                    // Every row over the background's top band, as the page's first.
                    view->Blt(LIST_X, y, ROW_WIDTH, ROW_HEIGHT, background, 0, 0, 1);
                    view->BltAlpha(LIST_X, y, ROW_WIDTH, ROW_HEIGHT, list, 0, ROW_HEIGHT * item);
                }
            }
            break;
        default:
            break;
        }
    }
    if (state != 0 || present)
        DrawHelp(id);
    if (present)
        Present();
}

void ISaveLoad::DrawHelp(int32_t id)
{
    ILayer* help = LayerOf(Parts().help);
    ILayer* mask = MaskTarget();
    if (help == nullptr || mask == nullptr)
        return;
    const int32_t group = id >> 8;
    const int32_t item = id & 0xFF;
    const int32_t language = Language();
    auto text_of = [&](int32_t number) {
        return GameWork != nullptr && GameWork->m_system_language
                   ? GameWork->m_system_language->GetText(number)
                   : CStringUTF8();
    };
    CStringUTF8 text;
    if (id == -1) {
    } else if (group == 6 && item < ROWS && IsRowUsed(item)) {
        const uint32_t slot = SlotOfRow(item);
        const unsigned number = static_cast<unsigned>(m_first_row + item + 1);
        if (!IsSaveScreen()) {
            static constexpr const char* LOAD[] = {"%02u番のデータをロードします",
                                                   "オートセーブ%02u番のデータをロードします",
                                                   "クイックセーブ%02u番のデータをロードします"};
            text.Format(LOAD[std::clamp(m_group, 0, 2)], number);
        } else if (language == 2) {
            // no row help in traditional Chinese
        } else if (slot == 0) {
            text = language == 0   ? "Create new save data"
                   : language == 1 ? "創建新的保存數據"
                                   : "新規にセーブデータを作成します";
        } else {
            text.Format(language == 0   ? "Save data %02u"
                        : language == 1 ? "保存在存档%02u"
                                        : "%02u番に上書きセーブします",
                        slot);
        }
    } else if (group == 1 && item <= 1) {
        text = text_of(item == 0 ? HELP_SAVE_TAB : HELP_LOAD_TAB);
    } else if (group == 2) {
        text = text_of(HELP_DELETE_ALL);
    } else if (group == 3) {
        text = text_of(HELP_CLOSE);
    } else if (group == 4 && item <= 2) {
        text = text_of(HELP_SCROLL[item]);
    } else if (group == 0 && item < ROWS && HasDeleteButton(item)) {
        const unsigned number = static_cast<unsigned>(m_first_row + item + (IsSaveScreen() ? 0 : 1));
        if (m_group == 1)
            text = text_of(HELP_AUTO_DELETE);
        else
            text.Format(m_group == 2 ? "クイックセーブ%02u番のデータを削除します"
                                     : "%02u番のデータを削除します",
                        number);
    } else if (group == 5 && item <= 2) {
        static constexpr const char* GROUPS[] = {"セーブデータ", "オートセーブデータ",
                                                 "クイックセーブデータ"};
        text = GROUPS[item];
    }
    LiveDrawLock lock;
    help->SetAlphaRect(0, 0, HELP_WIDTH, HELP_HEIGHT, 0);
    if (!text.IsEmpty())
        DrawTextInRect(text, help, 0xFFFFFFFF, HELP_TEXT_SIZE, 0, 0, HELP_WIDTH, HELP_HEIGHT);
    mask->Blt(HELP_X, HELP_Y, HELP_WIDTH, HELP_HEIGHT, help, 0, 0, 1);
    Touch(MaskLayer());
}

void ISaveLoad::Update()
{
    const int32_t id = HitTestCursor();
    if (id == m_hovered)
        return;
    if (m_hovered != -1)
        DrawControl(m_hovered, 0, false);
    m_hovered = id;
    if (id != -1) {
        DrawControl(id, 1, true);
    } else {
        DrawHelp(-1);
        Present();
    }
}

void ISaveLoad::Press(int32_t id)
{
    PlayOkSound(SCREEN_SOUND_CHANNEL);
    DrawControl(id, STATE_PRESSED, true);
    ISelect::OnDecide();
}

void ISaveLoad::Scroll(int32_t delta)
{
    const int32_t row = std::clamp(m_first_row + delta, 0, MaximumFirstRow());
    if (m_has_scroll_bar == 0 || row == m_first_row)
        return;
    m_first_row = row;
    DrawList();
    Present();
}

void ISaveLoad::OnDecide()
{
    const int32_t id = m_hovered;
    const int32_t group = id >> 8;
    const int32_t item = id & 0xFF;
    switch (id < 0 ? -1 : group) {
    case 0:
        if (item < ROWS && HasDeleteButton(item)) {
            Press(id);
            if (ConfirmAndDeleteSlot(SlotOfRow(item))) {
                DrawPage();
                Present();
                // The rows moved under a pointer that may have stayed: what it points at now
                // lights up and names itself, as when the pointer comes to it.
                m_hovered = -1;
                Update();
            }
        }
        break;
    case 6:
        if (item < ROWS && IsRowUsed(item)) {
            Press(id);
            DecideRow(item);
        }
        break;
    case 1:
        if (item <= 1) {
            const int32_t page = item == 0 ? MENU_PAGE_SAVE : MENU_PAGE_LOAD;
            if (page == CurrentPage || GetMenuTabState(page) == TAB_DISABLED)
                break;
            Press(id);
            KeepView = 1;
            Result = ScriptValue::FromInteger(page);
        }
        Running = 0;
        break;
    case 2:
        if (m_counts[0] == 0 && m_counts[1] == 0 && m_counts[2] == 0)
            break;
        Press(id);
        if (ConfirmAndDeleteAll()) {
            m_has_scroll_bar = 0;
            DrawPage();
        }
        m_hovered = -1;
        Present();
        break;
    case 3:
        Press(id);
        KeepView = 0;
        Result = ScriptValue::FromInteger(-1);
        Running = 0;
        break;
    case 4:
        if (item == 2) {
            DragKnob();
            break;
        }
        if (item <= 1 && m_has_scroll_bar != 0 && m_first_row != (item == 0 ? 0 : MaximumFirstRow())) {
            Press(id);
            Scroll(item == 0 ? -1 : 1);
            DrawControl(id, 1, true);
        }
        break;
    case 5:
        if (!IsSaveScreen() && item <= 2 && item != m_group) {
            Press(id);
            m_group = item;
            m_first_row = 0;
            RecountSlots();
            DrawPage();
            Present();
        }
        break;
    default:
        break;
    }
    ISelect::OnDecide();
}

void ISaveLoad::OnCancel()
{
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
    PlayCancelSound(SCREEN_SOUND_CHANNEL);
    Result = ScriptValue::FromInteger(-1);
    Running = 0;
    KeepView = 0;
    ISelect::OnCancel();
}

void ISaveLoad::OnMouseWheel(int32_t count)
{
    ISelect::OnMouseWheel(count);
    DrawHelp(-1);
    if (m_has_scroll_bar != 0)
        Scroll(count > 0 ? -1 : count < 0 ? 1 : 0);
    ISelect::OnMouseWheel(count);
}

void ISaveLoad::OnDrag()
{
    if (m_hovered == ID_KNOB) {
        DragKnob();
        m_hovered = -1;
    }
}

void ISaveLoad::DragKnob()
{
    if (m_has_scroll_bar == 0 || m_scroll_step <= 0)
        return;
    auto row_at = [&](int32_t y) {
        const auto row = static_cast<int32_t>(static_cast<float>(std::clamp(y - TRACK_TOP, 0, TRACK_LENGTH)) /
                                              m_scroll_step);
        return std::min(row, MaximumFirstRow());
    };
    auto follow = [&](int32_t row) {
        if (row == m_first_row)
            return;
        m_first_row = row;
        DrawList();
        DrawControl(ID_KNOB, STATE_PRESSED, true);
    };
    const POINT at = PointerOnScreen();
    const int32_t top = TRACK_TOP + static_cast<int32_t>(static_cast<float>(m_first_row) * m_scroll_step);
    if (at.x < TRACK_X || at.x >= TRACK_X + TRACK_WIDTH || at.y < top || at.y >= top + KNOB_GRIP)
        follow(row_at(at.y));
    while ((IsInputTriggered(INPUT_OK) || IsInputTriggered(INPUT_DRAG)) && PumpFrame() != 0)
        follow(row_at(PointerOnScreen().y));
    DrawList();
    Present();
}

int32_t ISaveLoad::CursorKey(int32_t key, uint32_t scan_code)
{
    // key: 0 up, 1 down, 2 left, 3 right.
    const bool save = IsSaveScreen();
    const int32_t from = m_hovered;
    const int32_t group = from >> 8;
    const int32_t item = from & 0xFF;
    int32_t to = -1;
    if (from < 0) {
        to = 0;
    } else if (group == 6) {
        const KeyMoves moves{item == 0 ? (save ? ID_DELETE_ALL : ID_GROUP_TAB + 2) : ID_ROW + item - 1,
                             item < 6 ? ID_ROW + item + 1 : -1, -1, ID_DELETE + item};
        to = moves[static_cast<size_t>(key)];
    } else if (group == 0) {
        static constexpr int32_t RIGHT[7] = {ID_SCROLL_UP, ID_SCROLL_UP,  ID_SAVE_TAB,   ID_SAVE_TAB,
                                             ID_LOAD_TAB,  ID_DELETE_ALL, ID_SCROLL_DOWN};
        const KeyMoves moves{item == 0 ? ID_DELETE_ALL : ID_DELETE + item - 1,
                             item < 6 ? ID_DELETE + item + 1 : -1, ID_ROW + item, RIGHT[std::min(item, 6)]};
        to = moves[static_cast<size_t>(key)];
    } else {
        KeyMoves moves{-1, -1, -1, -1};
        switch (from) {
        case ID_SAVE_TAB:
            moves = {-1, ID_LOAD_TAB, ID_SCROLL_UP, -1};
            break;
        case ID_LOAD_TAB:
            moves = {ID_SAVE_TAB, ID_CLOSE, ID_SCROLL_DOWN, -1};
            break;
        case ID_DELETE_ALL:
            moves = {ID_LOAD_TAB, ID_DELETE, save ? -1 : ID_GROUP_TAB + 2, ID_SCROLL_UP};
            break;
        case ID_CLOSE:
            moves = {ID_LOAD_TAB, -1, ID_SCROLL_DOWN, -1};
            break;
        case ID_SCROLL_UP:
            moves = {-1, ID_SCROLL_DOWN, ID_DELETE_ALL, ID_SAVE_TAB};
            break;
        case ID_SCROLL_DOWN:
            moves = {ID_SCROLL_UP, -1, ID_DELETE + 6, ID_CLOSE};
            break;
        case ID_KNOB:
            moves = {ID_SCROLL_UP, ID_SCROLL_DOWN, ID_DELETE, ID_SAVE_TAB};
            break;
        default:
            if (group == 5 && !save)
                moves = {-1, ID_ROW, item > 0 ? ID_GROUP_TAB + item - 1 : -1,
                         item < 2 ? ID_GROUP_TAB + item + 1 : ID_DELETE_ALL};
            else if (group == 5)
                moves = {-1, ID_ROW, -1, -1};
            break;
        }
        to = moves[static_cast<size_t>(key)];
    }
    if (to != -1)
        HitAreas.MoveCursorToArea(static_cast<uint32_t>(to));
    Update();
    WaitInputRelease(scan_code);
    return 0;
}

int32_t ISaveLoad::OnUpKey()
{
    return CursorKey(0, SCAN_UP);
}

int32_t ISaveLoad::OnDownKey()
{
    return CursorKey(1, SCAN_DOWN);
}

int32_t ISaveLoad::OnLeftKey()
{
    return CursorKey(2, SCAN_LEFT);
}

int32_t ISaveLoad::OnRightKey()
{
    return CursorKey(3, SCAN_RIGHT);
}
