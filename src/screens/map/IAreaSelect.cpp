#include "screens/map/IAreaSelect.h"

#include <vector>

#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "foundation/ScreenSettings.h"
#include "foundation/WrappedTextLayout.h"
#include "graphics/CDirect3D.h"
#include "graphics/CFontDIB.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/HitMap.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/base/IRightMenu.h"
#include "screens/base/ScreenWork.h"
#include "screens/map/CStatusPlate.h"
#include "script/FlagBuffer.h"
#include "script/exec/StandingCharacterSet.h"

namespace {

constexpr int32_t PART_PRIORITY = 30;
constexpr int32_t HELP_LINE_PRIORITY = 31;
constexpr int32_t HELP_BAR_SHEET_Y = 500;
constexpr int32_t HELP_HIDDEN_Y = 1160;
constexpr int32_t BUTTON_ROW_Y = 803;
constexpr int32_t CORNER_ROW_Y = 942;
constexpr int32_t BUTTON_HIDDEN_Y = 1080;
constexpr int32_t SLIDE_STEPS = 12;
constexpr int32_t HELP_FONT_SIZE = 40;
constexpr uint32_t PLATE_LIVE_FLAG = 8003;
constexpr RECT PLATE_BUTTON_RECT{642, 23, 965, 73};

constexpr int32_t BACK = 0;
constexpr int32_t AREASELECT = 1;
constexpr int32_t DECIDE = 2;
constexpr int32_t QUICKSAVE = 3;
constexpr int32_t QUICKLOAD = 4;
constexpr int32_t CORNER_BACK = 5;

constexpr std::array<POINT, AREA_BUTTON_COUNT> BUTTON_HOMES{
    {{1389, BUTTON_ROW_Y}, {1259, BUTTON_ROW_Y}, {1129, BUTTON_ROW_Y}, {409, BUTTON_ROW_Y}, {531, BUTTON_ROW_Y},
     {1780, CORNER_ROW_Y}}};

// Sheet columns of the button pictures.
constexpr int32_t COLUMN_DECIDE = 0;
constexpr int32_t COLUMN_AREASELECT = 122;
constexpr int32_t COLUMN_BACK = 244;
constexpr int32_t COLUMN_DECIDE_MODE2 = 366;
constexpr int32_t COLUMN_CORNER_BACK = 488;
constexpr int32_t COLUMN_QUICKSAVE = 610;
constexpr int32_t COLUMN_QUICKLOAD = 732;

// Takes the sprite CreateSprite made: a texture sprite whose texture really exists, or null.
std::unique_ptr<CSprite> Checked(CSprite* made)
{
    std::unique_ptr<CSprite> sprite(made);
    if (sprite != nullptr && SpriteLayerOf(sprite.get()) == nullptr)
        sprite.reset();
    return sprite;
}

// The buttons that slide with the help bar in a mode.
std::vector<int32_t> ModeButtons(int32_t mode)
{
    switch (mode) {
    case 0:
    case 2:
        return {BACK, AREASELECT, DECIDE};
    case 1:
        return {BACK, AREASELECT};
    case 3:
        return {BACK};
    case 4:
        return {CORNER_BACK};
    default:
        return {};
    }
}

void Clear(CSprite* sprite, int32_t width, int32_t height)
{
    if (ILayer* layer = SpriteLayerOf(sprite))
        layer->SetAlphaRect(0, 0, width, height, 0);
}

} // namespace

void AreaSelectPartSet::Free()
{
    if (Font)
        Font->Release();
    Font.reset();
    Sheet.reset();
    HelpBar.reset();
    HelpLine.reset();
    for (std::unique_ptr<CSprite>& button : Buttons)
        button.reset();
    Menu.reset();
    References = 0;
}

AreaSelectPartSet& AreaSelectParts()
{
    static AreaSelectPartSet parts;
    return parts;
}

CHitAreaTable& AreaSelectHitAreas()
{
    static CHitAreaTable table;
    return table;
}

HitMap& AreaSelectIdPicture()
{
    static HitMap picture;
    return picture;
}

void LoadAreaSelectAreas(int32_t mode)
{
    AreaSelectHitAreas().Load(mode == 4 ? "areasel_04.area" : "areasel_00.area");
}

IAreaSelect::~IAreaSelect()
{
    while (m_references > 0)
        ReleaseParts();
}

int32_t IAreaSelect::CreateParts()
{
    AreaSelectPartSet& parts = AreaSelectParts();
    if (parts.References != 0) {
        ++parts.References;
        ++m_references;
        return 1;
    }
    // A failed build leaves no half-made parts for the next attempt to trip over.
    const auto fail = [&parts] {
        parts.Free();
        return 0;
    };
    // Like the sheet below, a side menu whose picture is missing is left out, not the screens;
    // asked first, so that a game folder without it reports nothing.
    parts.Menu = std::make_unique<IRightMenu>();
    if (CLayerFile* file = LayerFile(); file != nullptr && file->Exists("SIDEMENU_P.AKB") != 0)
        parts.Menu->CreateMenu();
    if (!parts.Font) {
        parts.Font = std::make_unique<CFontDIB>();
        try {
            parts.Font->Create(GetLanguageFontName());
        } catch (...) {
            return fail();
        }
        if (parts.Font->SetFontSize(HELP_FONT_SIZE, HELP_FONT_SIZE) == 0)
            return fail();
    }
    // A missing sheet leaves the pictures out, not the screens.
    // The one sheet of every language.
    const CStringUTF8 sheet_name("select_p.akb");
    // Asked first, so that a game folder without it reports nothing.
    CStringUTF8 entry_name = sheet_name;
    entry_name.MakeUpper();
    if (CLayerFile* file = LayerFile(); file != nullptr && file->Exists(entry_name) != 0)
        parts.Sheet.reset(LoadSprite(sheet_name, nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    const auto make = [this](POINT at, int32_t width, int32_t height, int32_t priority) {
        return Checked(CreateSprite(at.x, at.y, width, height, priority, LAYER_KIND_TEXTURE, 0));
    };
    parts.HelpBar = make({AREA_HELP_X, AREA_HELP_Y}, AREA_HELP_WIDTH, AREA_HELP_HEIGHT, PART_PRIORITY);
    parts.HelpLine = make({AREA_HELP_X, AREA_HELP_Y}, AREA_HELP_WIDTH, AREA_HELP_HEIGHT, HELP_LINE_PRIORITY);
    if (!parts.HelpBar || !parts.HelpLine)
        return fail();
    if (ILayer* sheet = SpriteLayerOf(parts.Sheet.get())) {
        LiveDrawLock lock;
        SpriteLayerOf(parts.HelpBar.get())
            ->Blt(0, 0, AREA_HELP_WIDTH, AREA_HELP_HEIGHT, sheet, 0, HELP_BAR_SHEET_Y, 1);
    }
    for (size_t k = 0; k < parts.Buttons.size(); ++k) {
        parts.Buttons[k] = make(BUTTON_HOMES[k], AREA_BUTTON_WIDTH, AREA_BUTTON_HEIGHT, PART_PRIORITY);
        if (!parts.Buttons[k])
            return fail();
    }
    parts.References = 1;
    m_references = 1;
    return 1;
}

void IAreaSelect::ReleaseParts()
{
    AreaSelectPartSet& parts = AreaSelectParts();
    // Only references this screen took go back, so the count never drops below 0.
    if (m_references == 0 || parts.References == 0)
        return;
    --m_references;
    if (--parts.References == 0)
        parts.Free();
}

void IAreaSelect::OpenTransition(int32_t with_menus)
{
    Slide(true, with_menus);
}

void IAreaSelect::CloseTransition(int32_t with_menus)
{
    Slide(false, with_menus);
}

void IAreaSelect::Slide(bool in, int32_t with_menus)
{
    AreaSelectPartSet& parts = AreaSelectParts();
    if (!parts.HelpBar)
        return;
    CSpriteAnime anime;
    std::vector<CSprite*> touched;
    const auto slide = [&](CSprite* sprite, int32_t home_y, int32_t away_y) {
        SpriteAnimRecord record(SLIDE_STEPS);
        record.SetVisible(in ? 1 : 0);
        const int32_t x = sprite->GetPosition().x;
        record.SetRect(x, in ? away_y : home_y, x, in ? home_y : away_y);
        record.SetAlpha(in ? 0x00 : 0xFF, in ? 0xFF : 0x00);
        sprite->AddAnimation(record);
        anime.AddSprite(sprite);
        touched.push_back(sprite);
    };
    // Open while the help bar shows: nothing to do when it already stands as asked.
    if ((parts.HelpBar->IsVisible() != 0) != in) {
        for (int32_t k : ModeButtons(AreaSelectMode))
            slide(parts.Buttons[static_cast<size_t>(k)].get(), BUTTON_HOMES[static_cast<size_t>(k)].y,
                  BUTTON_HIDDEN_Y);
        // Quick save and load leave whenever they stand, so a mode change cannot strand them.
        for (int32_t k : {QUICKSAVE, QUICKLOAD})
            if (in ? with_menus != 0 : parts.Buttons[static_cast<size_t>(k)]->IsVisible() != 0)
                slide(parts.Buttons[static_cast<size_t>(k)].get(), BUTTON_ROW_Y, BUTTON_HIDDEN_Y);
        slide(parts.HelpBar.get(), AREA_HELP_Y, HELP_HIDDEN_Y);
        slide(parts.HelpLine.get(), AREA_HELP_Y, HELP_HIDDEN_Y);
        if (with_menus != 0) {
            if (in)
                parts.Menu->AddShowAnimation(anime);
            else
                parts.Menu->AddHideAnimation(anime);
            CStatusPlate* plate = GameWork->m_status_plate.get();
            if (GetFlag(PLATE_HOLD_FLAG) == 0 && plate != nullptr) {
                if (in)
                    plate->ShowAnimated(&anime);
                else
                    plate->HideAnimated(&anime);
            }
        }
        anime.PlayAndWait();
    }
    for (CSprite* sprite : touched)
        sprite->FinishAnimations();
}

ScriptValue* IAreaSelect::RunWithMode(ScriptValue* out, int32_t mode)
{
    const FlagBuffer* state = CurrentFlagBuffer();
    const bool replay = state != nullptr && state->Variables.size() > AREA_REPLAY_VARIABLE &&
                        state->Variables[AREA_REPLAY_VARIABLE].Integer != 0;
    if (replay)
        GameWork->ClearStatusBits(STATUS_SNAPSHOT_WANTED);
    else
        GameWork->SetStatusBits(STATUS_SNAPSHOT_WANTED);
    if (IMouse* mouse = InputView->GetMouse())
        mouse->ResetWheel();
    AreaSelectMode = mode;
    return RunLoopAndClose(out);
}

void IAreaSelect::OnOpen()
{
    LoadAreaSelectAreas(AreaSelectMode);
    AreaSelectPartSet& parts = AreaSelectParts();
    if (parts.Menu)
        parts.Menu->RefreshButtons();
    Clear(parts.HelpLine.get(), AREA_HELP_WIDTH, AREA_HELP_HEIGHT);
    Running = 1;
}

int32_t IAreaSelect::HitTestCursor()
{
    IMouse* mouse = InputView->GetMouse();
    if (mouse == nullptr)
        return -1;
    POINT position{};
    mouse->GetPosition(&position);
    const POINT screen = CDirect3D::GetInstance()->WindowToLogical(position);
    return HitTestPoint(screen.x, screen.y);
}

int32_t IAreaSelect::HitTestPoint(int32_t x, int32_t y)
{
    if (const HitArea* area = AreaSelectHitAreas().HitTest(x, y); area != nullptr && area->Id != 0xFFFFFFFFu)
        return static_cast<int32_t>(area->Id);
    const CStatusPlate* plate = GameWork->m_status_plate.get();
    if (plate != nullptr && plate->GetCalendarSprite() != nullptr && plate->GetCalendarSprite()->IsVisible() != 0 &&
        GetFlag(PLATE_LIVE_FLAG) != 0 && PLATE_BUTTON_RECT.left <= x && x < PLATE_BUTTON_RECT.right &&
        PLATE_BUTTON_RECT.top <= y && y < PLATE_BUTTON_RECT.bottom)
        return AREA_ID_PLATE;
    AreaSelectPartSet& parts = AreaSelectParts();
    if (parts.Menu && parts.Menu->IsOpen() != 0)
        if (const int32_t id = parts.Menu->HitTest(x, y); id != -1)
            return id;
    if (const int32_t id = HitTestStandingCharacters(x, y); id != 0)
        return id;
    const int32_t id = AreaSelectIdPicture().GetIdAt(x, y);
    if (id == 0)
        return -1;
    if (id != -1)
        return id;
    const HitArea* own = HitAreas.HitTest(x, y);
    if (own == nullptr || own->Id == 0xFFFFFFFFu)
        return -1;
    const auto own_id = static_cast<int32_t>(own->Id);
    return (own_id / 256 + 1) * 256 + own_id % 256;
}

void IAreaSelect::DrawFixedButton(int32_t id, int32_t state, int32_t present)
{
    if (id == -1)
        return;
    AreaSelectPartSet& parts = AreaSelectParts();
    if (id >= AREA_ID_MENU_FIRST && id <= AREA_ID_MENU_LAST) {
        if (parts.Menu)
            parts.Menu->DrawButton(id, state, 1);
    } else if (id >= AREA_ID_FIXED_FIRST && id <= AREA_ID_FIXED_LAST) {
        LiveDrawLock lock;
        ILayer* sheet = SpriteLayerOf(parts.Sheet.get());
        const auto copy = [&](int32_t button, int32_t column, int32_t row_state) {
            ILayer* layer = SpriteLayerOf(parts.Buttons[static_cast<size_t>(button)].get());
            if (layer != nullptr && sheet != nullptr)
                layer->Blt(0, 0, AREA_BUTTON_WIDTH, AREA_BUTTON_HEIGHT, sheet, column,
                           row_state * AREA_BUTTON_HEIGHT, 1);
        };
        const auto clear = [&](int32_t button) {
            Clear(parts.Buttons[static_cast<size_t>(button)].get(), AREA_BUTTON_WIDTH, AREA_BUTTON_HEIGHT);
        };
        const FlagBuffer* flags = CurrentFlagBuffer();
        const auto variable = [flags](size_t n) {
            return flags != nullptr && n < flags->Variables.size() ? flags->Variables[n].Integer : 0;
        };
        switch (id % 256) {
        case BACK:
            clear(CORNER_BACK);
            clear(BACK);
            if (AreaSelectMode == 4)
                copy(CORNER_BACK, COLUMN_CORNER_BACK, state);
            else
                copy(BACK, COLUMN_BACK, state);
            break;
        case AREASELECT:
            copy(AREASELECT, COLUMN_AREASELECT, state);
            break;
        case DECIDE:
            if (AreaSelectMode == 0)
                copy(DECIDE, COLUMN_DECIDE, state);
            else if (AreaSelectMode == 2 && GetFlag(AREA_HIDE_DECIDE_FLAG) == 0)
                copy(DECIDE, COLUMN_DECIDE_MODE2, state);
            else
                clear(DECIDE);
            break;
        case QUICKSAVE:
            copy(QUICKSAVE, COLUMN_QUICKSAVE, state);
            break;
        case QUICKLOAD:
            if (variable(AREA_QUICK_SAVED_VARIABLE) == 0 || variable(AREA_REPLAY_VARIABLE) != 0)
                state = 3;
            copy(QUICKLOAD, COLUMN_QUICKLOAD, state);
            break;
        default:
            break;
        }
    }
    if (present != 0)
        RedrawFrameNow();
}

CFontDIB* IAreaSelect::HelpFont()
{
    return AreaSelectParts().Font.get();
}

void IAreaSelect::ShowHelpText(const CStringUTF8& text, int32_t size, int32_t show)
{
    CSprite* line = AreaSelectParts().HelpLine.get();
    Clear(line, AREA_HELP_WIDTH, AREA_HELP_HEIGHT);
    if (text.IsEmpty() || show == 0 || SpriteLayerOf(line) == nullptr)
        return;
    const int32_t top = (AREA_HELP_HEIGHT - size) / 2;
    DrawTextWrapped(text, SpriteLayerOf(line), 0xFFFFFF, size, RECT{90, top, AREA_HELP_WIDTH, top + 40});
}

void IAreaSelect::DrawTextWrapped(const CStringUTF8& text, ILayer* layer, uint32_t colour, int32_t size,
                                  const RECT& box)
{
    CFontDIB* font = HelpFont();
    if (font == nullptr || size <= 1)
        return;
    font->SetFontSize(size, size);
    const FlagBuffer* flags = CurrentFlagBuffer();
    const auto style = static_cast<uint32_t>(flags != nullptr && flags->Values.size() > AREA_TEXT_STYLE_VALUE
                                                 ? flags->Values[AREA_TEXT_STYLE_VALUE].Integer
                                                 : 0);
    // Measured first, then drawn from the centred start row.
    const int32_t end = LayOutWrappedText(text, box, size, box.top, nullptr);
    const int32_t start = box.top + (box.bottom - box.top - size - (end - end % size)) / 2;
    LiveDrawLock lock;
    LayOutWrappedText(text, box, size, start, [&](const CStringUTF8& c, int32_t x, int32_t y) {
        font->DrawText(c, x, y, colour, 0, layer, style);
    });
}
