#include "screens/map/CCharSelect.h"

#include "foundation/ConfigSettings.h"
#include "foundation/ScreenSettings.h"
#include "foundation/WrappedTextLayout.h"
#include "graphics/CFontDIB.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/ILayer.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/base/ScreenWork.h"
#include "screens/map/CAreaSelect.h"
#include "screens/map/ModalScreenSprites.h"
#include "screens/system/CLoadDialog.h"
#include "screens/system/CSaveDialog.h"
#include "script/FlagBuffer.h"
#include "script/commands/CFuncEffect.h"

namespace {

constexpr int32_t DIM_PRIORITY = 91;
constexpr int32_t CANVAS_PRIORITY = 92;
constexpr int32_t HELP_TEXT_PRIORITY = 93;
constexpr uint32_t DIM_COLOUR = 0x7F000000;
constexpr int32_t FADE_STEPS = 12;

constexpr int32_t CELL_LEFT = 160;
constexpr int32_t CELL_TOP = 20;
constexpr int32_t CELL_WIDTH = 320;
constexpr int32_t CELL_HEIGHT = 224;
constexpr int32_t NAME_TOP = 160;
constexpr int32_t NAME_HEIGHT = 48;
constexpr int32_t CHARACTER_BLOCK_HEIGHT = 896;
constexpr int32_t PLACEHOLDER_X = 960;
constexpr int32_t PLACEHOLDER_Y = 2688;

constexpr int32_t SIDE_LEFT = 160;
constexpr int32_t SIDE_TOP = 933;
constexpr int32_t SIDE_WIDTH = 122;
constexpr int32_t SIDE_HEIGHT = 125;
constexpr std::array<int32_t, 4> SIDE_SHEET_X{854, 610, 976, 732};
constexpr std::array<int32_t, 4> SIDE_HELP{45, 35, 46, 36};
constexpr int32_t DISABLED_ROW = 3;

constexpr int32_t BACK_LEFT = 1440;
constexpr int32_t BACK_TOP = 742;
constexpr int32_t BACK_SHEET_X = 1600;
constexpr int32_t BACK_WIDE_WIDTH = 320;
constexpr int32_t BACK_WIDE_HEIGHT = 124;
constexpr int32_t BACK_SQUARE = 158;
constexpr int32_t BACK_SQUARE_SHEET_Y = 1116;

constexpr int32_t HELP_LEFT = 654;
constexpr int32_t HELP_TOP = 956;
constexpr int32_t HELP_WIDTH = 1102;
constexpr int32_t HELP_HEIGHT = 80;
constexpr int32_t HELP_SHEET_Y = 500;
constexpr int32_t HELP_SIZE = 40;
constexpr int32_t HELP_TEXT_LEFT = 90;
constexpr int32_t HELP_LINE_HEIGHT = 40;

constexpr int32_t TEXT_GENERAL = 311; // + list kind
constexpr int32_t TEXT_CHARACTER = 318;
constexpr int32_t TEXT_CHARACTER_KIND1 = 336;
constexpr int32_t TEXT_BACK = 252;

constexpr size_t VARIABLE_AUTO_SAVED = 53;
constexpr size_t VARIABLE_QUICK_SAVED = 57;
constexpr size_t VARIABLE_REPLAY = 69;
constexpr size_t VARIABLE_NO_SAVE = 70;
constexpr uint32_t ENGINE_STATE_SAVE_ALLOWED = 0x4;
constexpr size_t TEXT_STYLE_VALUE = 29;

constexpr std::array<int32_t, CHAR_SELECT_CELLS> PAIRED_ORDER{1, 10, 0,  3,  8, 4, 5,  11, 12,
                                                              2, 15, 14, 13, 7, 6, 16, 16, 17};

int32_t CellX(int32_t cell)
{
    return CELL_LEFT + cell % 5 * CELL_WIDTH;
}

int32_t CellY(int32_t cell)
{
    return CELL_TOP + cell / 5 * CELL_HEIGHT;
}

} // namespace

CCharSelect::CCharSelect() = default;

CCharSelect::~CCharSelect()
{
    Release();
}

bool CCharSelect::Setup()
{
    const auto load = [this](const CStringUTF8& name) {
        return std::unique_ptr<CSprite>(
            LoadSprite(name, nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    };
    m_name_sheet = load(MakeLanguageFileName("name_list.akb"));
    if (!m_name_sheet)
        return false;
    m_character_sheet = load(MakeLanguageFileName("charlist_p.akb"));
    if (!m_character_sheet)
        return false;
    m_select_sheet = load("select_p.akb");
    if (!m_select_sheet)
        return false;
    const SIZE screen = GetScreenOriginalSize(0);
    m_dim = OwnedTexture(CreateSprite(0, 0, screen.cx, screen.cy, DIM_PRIORITY, LAYER_KIND_TEXTURE, 0));
    if (!m_dim)
        return false;
    m_help_background = OwnedTexture(
        CreateSprite(HELP_LEFT, HELP_TOP, HELP_WIDTH, HELP_HEIGHT, CANVAS_PRIORITY, LAYER_KIND_TEXTURE, 0));
    if (!m_help_background)
        return false;
    m_help_text = OwnedTexture(CreateSprite(HELP_LEFT, HELP_TOP, HELP_WIDTH, HELP_HEIGHT, HELP_TEXT_PRIORITY,
                                            LAYER_KIND_TEXTURE, 0));
    if (!m_help_text)
        return false;
    {
        LiveDrawLock lock;
        SpriteLayerOf(m_help_background.get())
            ->Blt(0, 0, HELP_WIDTH, HELP_HEIGHT, SpriteLayerOf(m_select_sheet.get()), 0, HELP_SHEET_Y, 1);
        SpriteLayerOf(m_dim.get())->FillRect(0, 0, screen.cx, screen.cy, DIM_COLOUR, 1);
    }
    m_canvas = OwnedTexture(CreateSprite(0, 0, screen.cx, screen.cy, CANVAS_PRIORITY, LAYER_KIND_TEXTURE, 0));
    if (!m_canvas)
        return false;
    if (!m_help_font) {
        try {
            m_help_font = std::make_unique<CFontDIB>();
            m_help_font->Create(GetLanguageFontName());
        } catch (...) {
            m_help_font.reset();
            return false;
        }
        if (m_help_font->SetFontSize(HELP_SIZE, HELP_SIZE) == 0)
            return false;
    }
    return true;
}

bool CCharSelect::IsComplete() const
{
    return m_select_sheet && m_character_sheet && m_dim && m_canvas && m_name_sheet && m_help_background &&
           m_help_text;
}

void CCharSelect::Release()
{
    GameWork->RemoveActiveScreen(this);
    m_select_sheet.reset();
    m_character_sheet.reset();
    m_dim.reset();
    m_canvas.reset();
    m_name_sheet.reset();
    m_help_background.reset();
    m_help_text.reset();
    if (m_help_font)
        m_help_font->Release();
    m_help_font.reset();
}

int32_t CCharSelect::ButtonKindOf(int32_t list_kind)
{
    switch (list_kind) {
    case 0:
        return 1;
    case 3:
        return 2;
    case 4:
        return 3;
    case 6:
        return 4;
    default:
        return 0;
    }
}

ScriptValue CCharSelect::RunWithMode(int32_t kind)
{
    GameWork->SetStatusBits(STATUS_SNAPSHOT_WANTED);
    ListKind = kind;
    ButtonKind = ButtonKindOf(kind);
    ScriptValue out;
    Run(&out);
    return out;
}

void CCharSelect::OnOpen()
{
    Running = 1;
    HoverId = -1;
    if (ILayer* help = SpriteLayerOf(m_help_text.get())) {
        LiveDrawLock lock;
        help->SetAlphaRect(0, 0, HELP_WIDTH, HELP_HEIGHT, 0);
    }
    HitAreas.Load(ListKind == 6 ? "charselect2.area" : "charselect.area");
    RefreshAll();
    Show();
}

void CCharSelect::OnClose()
{
    GameWork->ClearStatusBits(STATUS_SNAPSHOT_WANTED);
    Hide();
}

void CCharSelect::BuildParts(int32_t)
{
    m_character_sheet.reset();
    m_character_sheet.reset(LoadSprite(MakeLanguageFileName("charlist.akb"), nullptr, LAYER_KIND_MEMORY, 0,
                                       -1, nullptr, -1, -1, 0));
    if (m_character_sheet)
        RefreshAll();
}

void CCharSelect::Fade(bool appear)
{
    if (IsComplete())
        FadeSprites({m_canvas.get(), m_dim.get(), m_help_background.get(), m_help_text.get()}, FADE_STEPS,
                    appear);
}

void CCharSelect::Show()
{
    Fade(true);
}

void CCharSelect::Hide()
{
    Fade(false);
}

void CCharSelect::RefreshAll()
{
    if (ILayer* dim = SpriteLayerOf(m_dim.get())) {
        LiveDrawLock lock;
        dim->FillRect(0, 0, 1920, 1080, DIM_COLOUR, 1);
    }
    // Built afresh, so a second refresh neither grows the order nor changes it.
    CellOrder.clear();
    for (int32_t i = 0; i < CHAR_SELECT_CELLS; ++i)
        CellOrder.push_back(ListKind == 1 || ListKind == 6 ? PAIRED_ORDER[static_cast<size_t>(i)] : i);
    for (int32_t i = 0; i < CHAR_SELECT_CELLS; ++i) {
        CellState[static_cast<size_t>(i)] = GetFlag(static_cast<uint32_t>(i));
        DrawItem(i, 0, 0);
    }
    for (int32_t k = 0; k < 4; ++k)
        DrawItem(CHAR_SELECT_SIDE_FIRST + k, 0, 0);
    DrawItem(CHAR_SELECT_BACK, 0, 0);
}

bool CCharSelect::IsSideButtonEnabled(int32_t k)
{
    const FlagBuffer* flags = CurrentFlagBuffer();
    const auto variable = [flags](size_t n) {
        return flags != nullptr && n < flags->Variables.size() ? flags->Variables[n].Integer : 0;
    };
    if (variable(VARIABLE_REPLAY) != 0)
        return false;
    switch (k) {
    case 0:
        return variable(VARIABLE_NO_SAVE) == 0 && flags != nullptr && !flags->Values.empty() &&
               TestEngineState(ENGINE_STATE_SAVE_ALLOWED);
    case 1:
        return variable(VARIABLE_AUTO_SAVED) != 0;
    case 2:
        return variable(VARIABLE_NO_SAVE) == 0 && variable(VARIABLE_AUTO_SAVED) != 0;
    case 3:
        return variable(VARIABLE_QUICK_SAVED) != 0;
    default:
        return false;
    }
}

CStringUTF8 CCharSelect::HelpText(int32_t id)
{
    return AreaLanguageText(id);
}

void CCharSelect::DrawItem(int32_t id, int32_t visual, int32_t present)
{
    // Nothing is drawn from parts that could not be made.
    if (!IsComplete() || id < 0)
        return;
    const int32_t group = id / 256;
    const int32_t item = id % 256;
    int32_t text = -1;
    {
        LiveDrawLock lock;
        ILayer* canvas = SpriteLayerOf(m_canvas.get());
        ILayer* characters = SpriteLayerOf(m_character_sheet.get());
        if (group == 0 && IsCell(item) && static_cast<size_t>(item) < CellOrder.size()) {
            const int32_t c = CellOrder[static_cast<size_t>(item)];
            const int32_t state = CellState[static_cast<size_t>(item)];
            const int32_t x = CellX(item);
            const int32_t y = CellY(item);
            if (state == 3) {
                canvas->FillRect(x, y, CELL_WIDTH, CELL_HEIGHT, 0, 1);
                text = TEXT_GENERAL + ListKind;
            } else if (state == 2) {
                canvas->Blt(x, y, CELL_WIDTH, CELL_HEIGHT, characters, PLACEHOLDER_X, PLACEHOLDER_Y, 1);
                text = TEXT_GENERAL + ListKind;
            } else {
                const int32_t row = state == 0 ? DISABLED_ROW : visual;
                canvas->Blt(x, y, CELL_WIDTH, CELL_HEIGHT, characters, c % 5 * CELL_WIDTH,
                            c / 5 * CHARACTER_BLOCK_HEIGHT + row * CELL_HEIGHT, 1);
                canvas->BltAlpha(x, y + NAME_TOP, CELL_WIDTH, NAME_HEIGHT, SpriteLayerOf(m_name_sheet.get()),
                                 ListKind == 1 ? CELL_WIDTH : 0, c * NAME_HEIGHT);
                text = (ListKind == 1 ? TEXT_CHARACTER_KIND1 : TEXT_CHARACTER) + c;
            }
        } else if (group == 1 && item < 4) {
            const int32_t row = IsSideButtonEnabled(item) ? visual : DISABLED_ROW;
            canvas->Blt(SIDE_LEFT + item * SIDE_WIDTH, SIDE_TOP, SIDE_WIDTH, SIDE_HEIGHT,
                        SpriteLayerOf(m_select_sheet.get()), SIDE_SHEET_X[static_cast<size_t>(item)],
                        row * SIDE_HEIGHT, 1);
            text = SIDE_HELP[static_cast<size_t>(item)];
        } else if (group == 2 && ButtonKind != 0) {
            if (ButtonKind == 4)
                canvas->Blt(BACK_LEFT, BACK_TOP, BACK_SQUARE, BACK_SQUARE, characters, BACK_SHEET_X,
                            BACK_SQUARE_SHEET_Y + visual * BACK_SQUARE, 1);
            else
                canvas->Blt(BACK_LEFT, BACK_TOP, BACK_WIDE_WIDTH, BACK_WIDE_HEIGHT, characters, BACK_SHEET_X,
                            (3 * ButtonKind - 3 + visual) * BACK_WIDE_HEIGHT, 1);
            text = TEXT_BACK;
        }
    }
    if (text != -1)
        DrawHelpText(HelpText(text), HELP_SIZE, present);
    if (present != 0)
        RedrawFrameNow();
}

void CCharSelect::DrawHelpText(const CStringUTF8& text, int32_t size, int32_t draw)
{
    ILayer* layer = SpriteLayerOf(m_help_text.get());
    if (layer == nullptr)
        return;
    {
        LiveDrawLock lock;
        layer->SetAlphaRect(0, 0, HELP_WIDTH, HELP_HEIGHT, 0);
    }
    if (text.IsEmpty() || draw == 0)
        return;
    const int32_t top = (HELP_HEIGHT - size) / 2;
    DrawTextWrapped(text, layer, 0xFFFFFF, size,
                    RECT{HELP_TEXT_LEFT, top, HELP_WIDTH, top + HELP_LINE_HEIGHT});
}

void CCharSelect::DrawTextWrapped(const CStringUTF8& text, ILayer* layer, uint32_t colour, int32_t size,
                                  const RECT& box)
{
    CFontDIB* font = HelpFont();
    if (font == nullptr || size <= 1)
        return;
    font->SetFontSize(size, size);
    const FlagBuffer* flags = CurrentFlagBuffer();
    const auto style = static_cast<uint32_t>(flags != nullptr && flags->Values.size() > TEXT_STYLE_VALUE
                                                 ? flags->Values[TEXT_STYLE_VALUE].Integer
                                                 : 0);
    // The lines are centred on the box: L lines of size pixels.
    const int32_t lines = (LayOutWrappedText(text, box, size, box.top, nullptr) - box.top) / size + 1;
    const int32_t start = box.top + (box.bottom - box.top - lines * size) / 2;
    LiveDrawLock lock;
    LayOutWrappedText(text, box, size, start, [&](const CStringUTF8& c, int32_t x, int32_t y) {
        font->DrawText(c, x, y, colour, 0, layer, style);
    });
}

void CCharSelect::Update()
{
    const int32_t id = HitTestCursor();
    if (id == HoverId)
        return;
    if (HoverId != -1)
        DrawItem(HoverId, 0, 1);
    HoverId = id;
    if (HoverId != -1) {
        DrawItem(HoverId, 1, 1);
    } else {
        DrawHelpText(HelpText(TEXT_GENERAL + ListKind), HELP_SIZE, 1);
        RedrawFrameNow();
    }
}

void CCharSelect::Press(int32_t id)
{
    DrawItem(id, 2, 1);
    ISelect::OnDecide();
    DrawItem(id, 0, 1);
}

void CCharSelect::TakeSnapshot()
{
    GameWork->ClearSnapshotTaken();
    GameWork->TakeScreenSnapshot();
}

void CCharSelect::OnDecide()
{
    const int32_t id = HoverId;
    if (id == -1)
        return;
    const int32_t group = id / 256;
    const int32_t item = id % 256;
    // A cell id past the grid is not one of ours: ignored, never looked up.
    if (group == 0 && IsCell(item)) {
        if (CellState[static_cast<size_t>(item)] != 1)
            return;
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        Press(id);
        Result = ScriptValue::FromInteger(item + 1);
        Running = 0;
    } else if (group == 2) {
        if (ButtonKind == 0)
            return;
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        Press(id);
        Result = ScriptValue::FromInteger(-1);
        Running = 0;
    } else if (group == 1 && item < 4) {
        // A button drawn disabled does not act.
        if (!IsSideButtonEnabled(item))
            return;
        switch (item) {
        case 0:
            PlayOkSound(SCREEN_SOUND_CHANNEL);
            Press(id);
            TakeSnapshot();
            GameWork->RunSaveLoad(SYSTEM_PAGE_SAVE);
            break;
        case 1: {
            Press(id);
            TakeSnapshot();
            // The sound says a save was made: a refused one has told why and stays silent.
            if (GameWork->GetSaveDialog() != nullptr && GameWork->GetSaveDialog()->QuickSave()) {
                CFuncEffect effect;
                effect.Play("ses_003.wav", SCREEN_SOUND_CHANNEL, 1);
            }
            DrawItem(CHAR_SELECT_SIDE_FIRST + 3, 0, 1);
            break;
        }
        case 2:
            PlayOkSound(SCREEN_SOUND_CHANNEL);
            Press(id);
            TakeSnapshot();
            GameWork->ClearSnapshotTaken();
            GameWork->RunSaveLoad(SYSTEM_PAGE_LOAD);
            break;
        default: {
            CFuncEffect effect;
            effect.Play("ses_004.wav", SCREEN_SOUND_CHANNEL, 1);
            Press(id);
            TakeSnapshot();
            if (CLoadDialog* load = GameWork->GetLoadDialog())
                load->QuickLoad();
            break;
        }
        }
    }
}

void CCharSelect::OnCancel()
{
    if (ButtonKind != 0) {
        PlayCancelSound(SCREEN_SOUND_CHANNEL);
        Running = 0;
        Result = ScriptValue::FromInteger(-1);
    }
    ISelect::OnCancel();
}

int32_t CCharSelect::KeyTarget(int32_t from, uint32_t scan_code)
{
    if (from == -1)
        return 0;
    const int32_t group = from / 256;
    const int32_t i = from % 256;
    if (group == 0) {
        switch (scan_code) {
        case SCAN_UP:
            return i >= 5 ? i - 5 : from;
        case SCAN_DOWN:
            return i <= 9 ? i + 5 : from;
        case SCAN_LEFT:
            return i == 0 || i == 5 || i == 10 ? from : i - 1;
        default:
            if (i == 4)
                return CHAR_SELECT_SIDE_FIRST;
            if (i == 9)
                return CHAR_SELECT_SIDE_FIRST + 2;
            if (i == 13)
                return CHAR_SELECT_SIDE_FIRST + 4;
            return i + 1;
        }
    }
    if (group == 1) {
        switch (scan_code) {
        case SCAN_UP:
            return CHAR_SELECT_SIDE_FIRST + 3;
        case SCAN_DOWN:
            return i <= 3 ? from + 1 : from;
        case SCAN_LEFT:
            if (i <= 1)
                return 4;
            if (i == 2)
                return 9;
            if (i <= 4)
                return 13;
            return i == 5 ? CHAR_SELECT_SIDE_FIRST + 4 : from;
        default:
            return i == 4 ? CHAR_SELECT_SIDE_FIRST + 5 : from;
        }
    }
    return from;
}

int32_t CCharSelect::OnArrowKey(uint32_t scan_code)
{
    const int32_t target = KeyTarget(HoverId, scan_code);
    return StepCursorTo(target != HoverId || HoverId == -1 ? target : -1, scan_code);
}
