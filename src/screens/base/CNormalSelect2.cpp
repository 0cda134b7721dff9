#include "screens/base/CNormalSelect2.h"

#include <algorithm>

#include "foundation/CString.h"
#include "foundation/CInputView.h"
#include "foundation/CLangTextFile.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CDirect3D.h"
#include "graphics/CFontDIB.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "graphics/SpriteLayerRegistry.h"
#include "screens/base/CMesWnd.h"
#include "screens/base/ScreenParts.h"
#include "screens/base/ScreenWork.h"
#include "screens/map/CStatusPlate.h"
#include "screens/system/CSaveDialog.h"
#include "script/ScriptState.h"
#include "script/save/SaveStore.h"
#include "script/vm/BacklogStore.h"
#include "script/vm/CScript.h"
#include "script/vm/ScriptContext.h"

namespace {

inline constexpr int32_t WINDOW_DEPTH = 20;
inline constexpr int32_t TEXT_SIZE = 36;
inline constexpr int32_t MESSAGE_TEXT_SIZE = 40;
inline constexpr int32_t MESSAGE_LINE_HEIGHT = 52;
inline constexpr int32_t PLATE_ROWS = 3;
inline constexpr int32_t PLATE_BASE_WIDTH = 294;
inline constexpr int32_t PLATE_CAP = 70;
inline constexpr int32_t PLATE_MIDDLE = 109;
inline constexpr int32_t PLATE_RIGHT_CAP_X = 719;
inline constexpr int32_t PLATE_FIRST_TILE_X = 169;
inline constexpr int32_t ICON_INSET_RIGHT = 151;
inline constexpr int32_t ICON_INSET_TOP = 9;
inline constexpr int32_t COLUMN_GAP = 128;
inline constexpr int32_t TWO_COLUMN_RIGHT = 896;
inline constexpr int32_t BOTTOM_MARGIN = 300;
inline constexpr int32_t MULTI_PAGE_HEIGHT = 572;
inline constexpr int32_t MULTI_PAGE_OFFSET = 60;
inline constexpr int32_t OPEN_STEPS = 12;
inline constexpr uint32_t TEXT_WHITE = 0xFFFFFF;
inline constexpr uint32_t TEXT_GREY = 0x808080;
inline constexpr int32_t READ_SKIP_WORD = 1;

inline constexpr size_t VALUE_TEXT_WIDTH = 30;
inline constexpr size_t VALUE_TEXT_HEIGHT = 31;
inline constexpr size_t VALUE_TEXT_SHADOW = 32;
inline constexpr size_t VALUE_TEXT_COLOUR = 33;
inline constexpr size_t VALUE_PEN_X = 50;
inline constexpr size_t VALUE_PEN_Y = 51;
inline constexpr size_t VARIABLE_TEXT_ID_BASE = 30;
inline constexpr size_t VARIABLE_NO_AUTO_SAVE = 51;
inline constexpr size_t VARIABLE_AUTO_SAVING = 54;
inline constexpr size_t VARIABLE_KEEP_MESSAGE_WINDOW = 68;
inline constexpr size_t VARIABLE_RESTRICTED = 69;

// Scene skip is off while the choice texts run and comes back on every way out.
class SceneSkipOff
{
public:
    SceneSkipOff()
        : m_saved(GetConfigSceneSkip())
    {
        SetConfigSceneSkip(0);
    }
    ~SceneSkipOff() { SetConfigSceneSkip(m_saved ? 1 : 0); }
    SceneSkipOff(const SceneSkipOff&) = delete;
    SceneSkipOff& operator=(const SceneSkipOff&) = delete;

private:
    bool m_saved;
};

void SetInteger(FlagBuffer* state, size_t index, int32_t value)
{
    if (state != nullptr && index < state->Values.size())
        state->Values[index] = ScriptValue::FromInteger(value);
}

// The choice texts are laid out in cells of 36 on every page; the opening hands the script's
// own text size back before a later page is drawn, so each drawing sets it for itself and puts
// the script's back on every way out.
class ChoiceTextSize
{
public:
    ChoiceTextSize()
    {
        if (FlagBuffer* state = GetScriptState().m_current_state.get();
            state != nullptr && state->Values.size() > VALUE_TEXT_HEIGHT) {
            m_width = state->Values[VALUE_TEXT_WIDTH];
            m_height = state->Values[VALUE_TEXT_HEIGHT];
            m_held = true;
            SetInteger(state, VALUE_TEXT_WIDTH, TEXT_SIZE);
            SetInteger(state, VALUE_TEXT_HEIGHT, TEXT_SIZE);
        }
    }
    ~ChoiceTextSize()
    {
        FlagBuffer* state = GetScriptState().m_current_state.get();
        if (m_held && state != nullptr && state->Values.size() > VALUE_TEXT_HEIGHT) {
            state->Values[VALUE_TEXT_WIDTH] = m_width;
            state->Values[VALUE_TEXT_HEIGHT] = m_height;
        }
    }
    ChoiceTextSize(const ChoiceTextSize&) = delete;
    ChoiceTextSize& operator=(const ChoiceTextSize&) = delete;

private:
    ScriptValue m_width;
    ScriptValue m_height;
    bool m_held = false;
};

void CopyValue(FlagBuffer* state, const FlagBuffer& saved, size_t index)
{
    if (state != nullptr && index < state->Values.size() && index < saved.Values.size())
        state->Values[index] = saved.Values[index];
}

void SetVariable(FlagBuffer* state, size_t index, int32_t value)
{
    if (state != nullptr && index < state->Variables.size())
        state->Variables[index] = ScriptValue::FromInteger(value);
}

void ResetWheel()
{
    if (IMouse* mouse = GetInputView()->GetMouse())
        mouse->SetWheel(0);
}

} // namespace

CNormalSelect2::CNormalSelect2() = default;

CNormalSelect2::~CNormalSelect2()
{
    GameWork->RemoveActiveScreen(this);
}

CSpriteLayer* CNormalSelect2::Picture()
{
    return dynamic_cast<CSpriteLayer*>(m_picture.get());
}

const std::vector<ChoiceBranch>* CNormalSelect2::CurrentList()
{
    ScriptContext* context = GetScriptContext();
    if (context == nullptr)
        return nullptr;
    auto found = context->ChoiceBranches.find(context->CurrentChoiceKey);
    return found == context->ChoiceBranches.end() ? nullptr : &found->second;
}

const ChoiceBranch* CNormalSelect2::ItemOnPage(int32_t i)
{
    const std::vector<ChoiceBranch>* list = CurrentList();
    const int64_t index = int64_t{m_page} * CHOICES_PER_PAGE + i;
    if (list == nullptr || i < 0 || i >= CHOICES_PER_PAGE || index < 0 ||
        index >= static_cast<int64_t>(list->size()))
        return nullptr;
    return &(*list)[static_cast<size_t>(index)];
}

int32_t CNormalSelect2::ChoiceTextId(int32_t value)
{
    const FlagBuffer* state = CurrentFlagBuffer();
    const int64_t index = int64_t{value} + static_cast<int64_t>(VARIABLE_TEXT_ID_BASE);
    if (state == nullptr || index < 0 || index >= static_cast<int64_t>(state->Variables.size()))
        return -1;
    return state->Variables[static_cast<size_t>(index)].Integer;
}

uint8_t CNormalSelect2::ChoiceFlag(int32_t value)
{
    const int64_t index = int64_t{value} + CHOICE_FLAG_BASE;
    if (index < 0 || index > static_cast<int64_t>(UINT32_MAX))
        return 0;
    return GetFlag(static_cast<uint32_t>(index));
}

CSpriteLayer* CNormalSelect2::TextLayer()
{
    const FlagBuffer* state = CurrentFlagBuffer();
    if (state == nullptr || state->Values.size() <= VALUE_TEXT_SPRITE)
        return nullptr;
    return FindSpriteLayer(state->Values[VALUE_TEXT_SPRITE].Integer);
}

bool CNormalSelect2::IsSelectable(int32_t i)
{
    const ChoiceBranch* item = ItemOnPage(i);
    if (item == nullptr)
        return false;
    return CurrentVariable(VARIABLE_RESTRICTED) == 0 || ChoiceFlag(item->Value) == 1;
}

int32_t CNormalSelect2::RunChoiceText(const ChoiceBranch& item, bool measure)
{
    const CScript* script = item.BodyAddress.Script.get();
    if (script == nullptr)
        return 0;
    const std::span<const uint8_t> code = script->GetCode();
    if (item.BodyAddress.Offset >= code.size())
        return 0;
    const uint8_t* start = code.data() + item.BodyAddress.Offset;
    const auto size = static_cast<uint32_t>(code.size() - item.BodyAddress.Offset);
    if (measure)
        return RunCodeForValue(start, size);
    RunCode(start, size);
    return 0;
}

void CNormalSelect2::SetFontSize(int32_t size)
{
    const int language = Document->GetLanguage();
    const int index = language == 1   ? DOCUMENT_FONT_SECOND
                      : language == 2 ? DOCUMENT_FONT_THIRD
                                      : DOCUMENT_FONT_MAIN;
    if (CFontDIB* font = GetSpriteLayerRegistry().GetFont(index))
        font->SetFontSize(size, size);
}

void CNormalSelect2::PresentFrame()
{
    RedrawFrameNow();
}

int32_t CNormalSelect2::CreateParts()
{
    if (m_parts != 0)
        return 1;
    if (CMesButton::CreateParts() == 0)
        return 0;
    try {
        m_picture.reset(LoadSprite("sel_p.akb", nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    } catch (const CString&) {
        m_picture.reset();
    }
    if (Picture() != nullptr) {
        m_window = MakeTextureSprite(0, 0, 1920, 1080, WINDOW_DEPTH);
        m_plate_layer = MakeMemorySprite(0, 0, PLATE_BASE_WIDTH, CHOICE_PLATE_HEIGHT * PLATE_ROWS, -1);
    }
    if (!m_window || !m_plate_layer) {
        ReleaseParts();
        return 0;
    }
    m_parts = 1;
    return 1;
}

void CNormalSelect2::ReleaseParts()
{
    m_plate_layer.reset();
    if (m_window) {
        LiveDrawLock lock;
        m_window->FillRect(0, 0, 1920, 1080, 0, 1);
    }
    m_window.reset();
    m_picture.reset();
    m_parts = 0;
    CMesButton::ReleaseParts();
}

ScriptValue* CNormalSelect2::Run(ScriptValue* out)
{
    const auto& active = GameWork->GetActiveScreens();
    if (std::find(active.begin(), active.end(), this) == active.end())
        GameWork->AddActiveScreen(this);
    if (CurrentVariable(VARIABLE_RESTRICTED) == 0)
        GameWork->SetStatusBits(STATUS_SNAPSHOT_WANTED);
    else
        GameWork->ClearStatusBits(STATUS_SNAPSHOT_WANTED);
    FlagBuffer* state = CurrentFlagBuffer();
    if (state != nullptr)
        m_saved.Assign(*state);
    m_button_hover = -1;
    if (CMesWnd* message = GameWork->GetMessageWindow())
        message->HoverId = -1;

    if (!GetConfigSkipContinueEnable()) {
        SetConfigOneMes(0);
        InputView->SetExtraInput(READ_SKIP_WORD, 0);
    }
    if (!GetConfigAutoContinueEnable())
        SetConfigAutoRead(0);
    ReadSkipOn = GetConfigOneMes() ? 1 : 0;
    AutoReadOn = GetConfigAutoRead() ? 1 : 0;
    WindowOpen() = GetConfigMesWndWndOpen();

    SetFontSize(TEXT_SIZE);
    SetInteger(state, VALUE_TEXT_WIDTH, TEXT_SIZE);
    SetInteger(state, VALUE_TEXT_HEIGHT, TEXT_SIZE);
    RefreshWindowButtons(0);

    ISelect::Run(nullptr);
    if (CMesWnd* message = GameWork->GetMessageWindow())
        message->ResetTextArea();
    if (out != nullptr)
        *out = Result;
    return out;
}

void CNormalSelect2::OnOpen()
{
    Running = 1;
    HoverId = -1;
    m_button_hover = -1;
    if (CMesWnd* message = GameWork->GetMessageWindow())
        message->HoverId = -1;
    ReadSkipOn = GetConfigOneMes() ? 1 : 0;
    AutoReadOn = GetConfigAutoRead() ? 1 : 0;

    const std::vector<ChoiceBranch>* list = CurrentList();
    const auto count =
        static_cast<int32_t>(list != nullptr ? std::min<size_t>(list->size(), INT32_MAX - 8) : 0);
    // An empty list still makes one (empty) page.
    m_last_page = std::max(0, (count + CHOICES_PER_PAGE - 1) / CHOICES_PER_PAGE - 1);
    m_page = 0;
    WindowOpen() = GetConfigMesWndWndOpen();

    if (FlagBuffer* state = CurrentFlagBuffer())
        SaveStore::LoadRangeFromFile(FlagArray::Bytes, 0, *state, 0, CHOICE_SLOT_TABLE_BYTES);

    BuildChoicePlates();
    DrawPage(0);

    FlagBuffer* state = CurrentFlagBuffer();
    SetFontSize(TEXT_SIZE);
    CopyValue(state, m_saved, VALUE_TEXT_WIDTH);
    CopyValue(state, m_saved, VALUE_TEXT_HEIGHT);
    PlayOpenAnimation();

    if (GetFlag(FLAG_NO_CHOICE_AUTO_SAVE) != 0)
        return;
    const bool suppressed =
        CurrentVariable(VARIABLE_KEEP_MESSAGE_WINDOW) != 0 || CurrentVariable(VARIABLE_RESTRICTED) != 0 ||
        CurrentVariable(VARIABLE_AUTO_SAVING) != 0 || CurrentVariable(VARIABLE_NO_AUTO_SAVE) != 0;
    if (!suppressed && GetConfigAutoSaveEnable() && TestEngineState(ENGINE_STATE_GAME_INPUT)) {
        SetVariable(state, VARIABLE_AUTO_SAVING, 1);
        GameWork->TakeScreenSnapshot();
        if (CSaveDialog* save = GameWork->GetSaveDialog())
            save->AutoSave();
        GameWork->ClearSnapshotTaken();
    }
    SetVariable(CurrentFlagBuffer(), VARIABLE_AUTO_SAVING, 0);
}

void CNormalSelect2::BuildChoicePlates()
{
    int32_t widest = 0;
    if (const std::vector<ChoiceBranch>* list = CurrentList()) {
        // A copy: the texts run script code, which may change the lists.
        const std::vector<ChoiceBranch> items = *list;
        for (const ChoiceBranch& item : items) {
            const int32_t id = ChoiceTextId(item.Value);
            int32_t width = 0;
            if (id == -1) {
                width = RunChoiceText(item, true) / 2;
            } else {
                RunChoiceText(item, false);
                width = GameWork->m_text_file ? GameWork->m_text_file->GetTextWidth(id) / 2 : 0;
            }
            widest = std::max(widest, width);
        }
    }
    // Wider than the screen shows nothing more.
    widest = std::min(widest, (1920 - PLATE_BASE_WIDTH) / CHOICE_TILE);
    m_plate_width = CHOICE_TILE * widest + PLATE_BASE_WIDTH;
    m_plate_layer = MakeMemorySprite(0, 0, m_plate_width, CHOICE_PLATE_HEIGHT * PLATE_ROWS, -1);
    CSpriteLayer* picture = Picture();
    if (!m_plate_layer || picture == nullptr)
        return;
    LiveDrawLock lock;
    for (int32_t row = 0; row < PLATE_ROWS; ++row) {
        const int32_t y = row * CHOICE_PLATE_HEIGHT;
        CSpriteLayer& plate = *m_plate_layer;
        plate.Blt(0, y, PLATE_CAP, CHOICE_PLATE_HEIGHT, picture, 0, y, 1);
        plate.Blt(PLATE_CAP, y, PLATE_MIDDLE, CHOICE_PLATE_HEIGHT, picture, PLATE_CAP, y, 1);
        for (int32_t k = 0; k < widest; ++k)
            plate.Blt(PLATE_FIRST_TILE_X + CHOICE_TILE * k, y, CHOICE_TILE, CHOICE_PLATE_HEIGHT, picture,
                      PLATE_CAP, y, 1);
        plate.Blt(m_plate_width - PLATE_CAP - PLATE_MIDDLE, y, PLATE_MIDDLE, CHOICE_PLATE_HEIGHT, picture,
                  PLATE_CAP, y, 1);
        plate.Blt(m_plate_width - PLATE_CAP, y, PLATE_CAP, CHOICE_PLATE_HEIGHT, picture, PLATE_RIGHT_CAP_X, y,
                  1);
    }
}

void CNormalSelect2::DrawPage(int32_t page)
{
    SceneSkipOff scene_skip;
    ChoiceTextSize text_size;
    m_page = page;
    m_areas.clear();
    if (m_window) {
        LiveDrawLock lock;
        m_window->FillRect(0, 0, 1920, 1080, 0, 1);
        MarkLayerDrawn(*m_window);
    }
    const std::vector<ChoiceBranch>* list = CurrentList();
    const int64_t left =
        (list != nullptr ? static_cast<int64_t>(list->size()) : 0) - int64_t{page} * CHOICES_PER_PAGE;
    const int32_t n = static_cast<int32_t>(std::clamp<int64_t>(left, 0, CHOICES_PER_PAGE));
    m_plates = n;

    const SIZE screen = GetScreenOriginalSize(0);
    const int32_t base = screen.cy - BOTTOM_MARGIN;
    FlagBuffer* state = CurrentFlagBuffer();
    if (CSpriteLayer* text = TextLayer()) {
        LiveDrawLock lock;
        text->FillRect(0, 0, text->GetWidth(), text->GetHeight(), 0, 1);
    }

    const bool multi_page = m_last_page != 0;
    const bool one_column = n <= 4;
    const int32_t rows = one_column ? n : n / 2;
    const int32_t y0 = (base - (multi_page ? MULTI_PAGE_HEIGHT : CHOICE_PLATE_STEP * rows)) / 2;
    const int32_t top = y0 + (multi_page ? MULTI_PAGE_OFFSET : 0);
    m_origin_x = one_column ? (screen.cx - m_plate_width) / 2 : TWO_COLUMN_RIGHT - m_plate_width;
    m_origin_y = top;

    const int32_t restricted = CurrentVariable(VARIABLE_RESTRICTED);
    for (int32_t i = 0; i < n; ++i) {
        const ChoiceBranch* found = ItemOnPage(i);
        if (found == nullptr)
            break;
        const ChoiceBranch item = *found; // the texts run script code
        const int32_t id = ChoiceTextId(item.Value);
        int32_t width = 0;
        if (id == -1) {
            width = RunChoiceText(item, true) / 2 * CHOICE_TILE;
        } else {
            RunChoiceText(item, false);
            width = GameWork->m_text_file ? GameWork->m_text_file->GetTextWidth(id) * (CHOICE_TILE / 2) : 0;
        }
        state = CurrentFlagBuffer();
        SetInteger(state, VALUE_PEN_X, static_cast<uint16_t>((m_plate_width - width) / 2));
        SetInteger(state, VALUE_PEN_Y, static_cast<uint16_t>(CHOICE_PLATE_HEIGHT * i + TEXT_SIZE));
        SetInteger(state, VALUE_TEXT_SHADOW, 0);
        SetInteger(state, VALUE_TEXT_COLOUR, static_cast<int32_t>(TEXT_WHITE));
        const uint8_t flag = ChoiceFlag(item.Value);
        if (restricted == 1 && flag == 0)
            SetInteger(state, VALUE_TEXT_COLOUR, static_cast<int32_t>(TEXT_GREY));
        RunChoiceText(item, false);
        if (id != -1 && GameWork->m_text_file)
            GameWork->m_text_file->ShowMessage(static_cast<uint16_t>(id));

        RECT rect{};
        rect.left = one_column ? m_origin_x : m_origin_x + (m_plate_width + COLUMN_GAP) * (i % 2);
        rect.top = top + CHOICE_PLATE_STEP * (one_column ? i : i / 2);
        rect.right = rect.left + m_plate_width;
        rect.bottom = rect.top + CHOICE_PLATE_HEIGHT;
        m_areas.push_back(HitArea{static_cast<uint32_t>(i), rect.left, rect.top, rect.right, rect.bottom});
        if (DrawChoicePlate(i, 0, flag, rect) == 0)
            break;
    }
    const int32_t arrow_x = (screen.cx - CHOICE_ARROW_WIDTH) / 2;
    if (page > 0) {
        m_areas.push_back(
            HitArea{CHOICE_PREV_ARROW, arrow_x, y0, arrow_x + CHOICE_ARROW_WIDTH, y0 + CHOICE_ARROW_HEIGHT});
        DrawPrevArrow(0);
    }
    if (page < m_last_page) {
        const int32_t y = top + CHOICE_PLATE_STEP * rows;
        m_areas.push_back(HitArea{CHOICE_NEXT_ARROW, arrow_x, y + 8, arrow_x + CHOICE_ARROW_WIDTH, y + 60});
        DrawNextArrow(0);
    }
}

int32_t CNormalSelect2::DrawChoicePlate(int32_t i, int32_t state, uint8_t flag, const RECT& rect)
{
    if (!m_window || !m_plate_layer)
        return 0;
    CSpriteLayer* text = TextLayer();
    CSpriteLayer* picture = Picture();
    LiveDrawLock lock;
    m_window->Blt(rect.left, rect.top, m_plate_width, CHOICE_PLATE_HEIGHT, m_plate_layer.get(), 0,
                  CHOICE_PLATE_HEIGHT * state, 1);
    if (text != nullptr)
        m_window->BltAlpha(rect.left, rect.top, std::min<int32_t>(m_plate_width, rect.right - rect.left),
                           CHOICE_PLATE_HEIGHT, text, 0, CHOICE_PLATE_HEIGHT * i);
    if (picture != nullptr && GetConfigGameMode() == 1 && (flag == 2 || flag == 3))
        m_window->Blt(rect.left + m_plate_width - ICON_INSET_RIGHT, rect.top + ICON_INSET_TOP,
                      CHOICE_ICON_WIDTH, CHOICE_ICON_HEIGHT, picture, CHOICE_ICON_X,
                      flag == 2 ? CHOICE_ICON_Y2 : CHOICE_ICON_Y3, 1);
    MarkLayerDrawn(*m_window);
    return 1;
}

void CNormalSelect2::DrawArrow(int32_t id, int32_t source_y, int32_t state)
{
    const auto found = std::find_if(m_areas.begin(), m_areas.end(), [id](const HitArea& area) {
        return area.Id == static_cast<uint32_t>(id);
    });
    CSpriteLayer* picture = Picture();
    if (found == m_areas.end() || picture == nullptr || !m_window)
        return;
    LiveDrawLock lock;
    m_window->Blt(found->Left, found->Top, CHOICE_ARROW_WIDTH, CHOICE_ARROW_HEIGHT, picture, 0,
                  source_y + CHOICE_ARROW_HEIGHT * state, 1);
    MarkLayerDrawn(*m_window);
}

void CNormalSelect2::DrawPrevArrow(int32_t state)
{
    DrawArrow(CHOICE_PREV_ARROW, CHOICE_PREV_ARROW_Y, state);
}

void CNormalSelect2::DrawNextArrow(int32_t state)
{
    DrawArrow(CHOICE_NEXT_ARROW, CHOICE_NEXT_ARROW_Y, state);
}

void CNormalSelect2::DrawChoiceState(int32_t id, int32_t state)
{
    if (id == CHOICE_PREV_ARROW) {
        DrawPrevArrow(state);
    } else if (id == CHOICE_NEXT_ARROW) {
        DrawNextArrow(state);
    } else if (id >= 0 && id < m_plates && IsSelectable(id)) {
        for (const HitArea& area : m_areas) {
            if (area.Id == static_cast<uint32_t>(id)) {
                const RECT rect{area.Left, area.Top, area.Right, area.Bottom};
                DrawChoicePlate(id, state, ChoiceFlag(ItemOnPage(id)->Value), rect);
                break;
            }
        }
    }
    PresentFrame();
}

void CNormalSelect2::PlayOpenAnimation()
{
    if (!m_window)
        return;
    CSpriteAnime anime;
    SpriteAnimRecord record(OPEN_STEPS);
    record.SetVisible(1);
    record.SetAlpha(0x00, 0xFF);
    m_window->AddAnimation(record);
    anime.AddSprite(m_window.get());
    // One fade: the message window's show joins the choices' and, when it shows, plays both;
    // the play below then has nothing left but what the window alone adds.
    if (CurrentVariable(VARIABLE_KEEP_MESSAGE_WINDOW) == 0)
        if (CMesWnd* message = GameWork->GetMessageWindow())
            message->ShowWindow(anime, 0);
    m_shown = 1;
    anime.PlayAndWait();
}

void CNormalSelect2::Show()
{
    if (m_window)
        m_window->SetVisibleFlag(1);
    if (CurrentVariable(VARIABLE_KEEP_MESSAGE_WINDOW) == 0)
        if (CMesWnd* message = GameWork->GetMessageWindow())
            message->RestoreWindow(1);
    PresentFrame();
    m_shown = 1;
}

void CNormalSelect2::HideAll()
{
    if (m_window)
        m_window->SetVisibleFlag(0);
    if (CMesWnd* message = GameWork->GetMessageWindow())
        message->Hide();
    PresentFrame();
    m_shown = 0;
}

void CNormalSelect2::BuildParts(int32_t mode)
{
    if (CMesWnd* message = GameWork->GetMessageWindow())
        message->BuildParts(mode);
    DrawPage(m_page);
    HoverId = -1;
}

void CNormalSelect2::Update()
{
    POINT position{};
    if (IMouse* mouse = InputView->GetMouse())
        mouse->GetPosition(&position);
    const POINT screen = CDirect3D::GetInstance()->WindowToLogical(position);
    if (GetFlag(FLAG_SIDE_MENU_FROZEN) == 0)
        FollowPointer(screen.x, screen.y);
    m_button_hover = UpdateHover(m_button_hover, 0);
    if (GetConfigAutoRead() != (AutoReadOn != 0)) {
        AutoReadOn = GetConfigAutoRead() ? 1 : 0;
        RefreshWindowButtons(0);
        PresentFrame();
    }
    if (GetConfigOneMes() != (ReadSkipOn != 0)) {
        SyncReadSkip(0);
        WindowOpen() = GetConfigMesWndWndOpen();
    }
    int32_t id = -1;
    for (const HitArea& area : m_areas) {
        if (area.Contains(screen.x, screen.y)) {
            id = static_cast<int32_t>(area.Id);
            break;
        }
    }
    if (id != HoverId) {
        if (HoverId >= 0)
            DrawChoiceState(HoverId, 0);
        if (id >= 0)
            DrawChoiceState(id, 1);
        HoverId = id;
    }
}

void CNormalSelect2::OnDecide()
{
    if (m_shown == 0) {
        ISelect::OnDecide();
        Show();
        HoverId = -1;
        return;
    }
    if (HoverId >= 0 && HoverId <= CHOICE_NEXT_ARROW) {
        const int32_t id = HoverId;
        if (id < CHOICES_PER_PAGE && !IsSelectable(id)) {
            ISelect::OnDecide();
            return;
        }
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        DrawChoiceState(id, 2);
        ISelect::OnDecide();
        if (id == CHOICE_PREV_ARROW || id == CHOICE_NEXT_ARROW) {
            const int32_t page = std::clamp(m_page + (id == CHOICE_NEXT_ARROW ? 1 : -1), 0, m_last_page);
            DrawPage(page);
            Show();
            HoverId = -1;
        } else if (const ChoiceBranch* item = ItemOnPage(id)) {
            Result = ScriptValue::FromInteger(item->Value + 1);
            Running = 0;
        }
        return;
    }
    const int32_t group = m_button_hover >= 0 ? m_button_hover >> 8 : -1;
    if (group == 15) {
        OnSideMenuCode(m_button_hover & 0xFF);
    } else if (group == 14) {
        if (GameWork->GetStatusPlate())
            PressGameModeButton();
    } else if (group == 0) {
        OnWindowButton(m_button_hover, 0);
        if (m_button_hover == MESBUTTON_EDGE) {
            ShowHoverHelp(-1, 0);
            HideAll();
            m_button_hover = MESWND_ADVANCE;
            return;
        }
    }
    ISelect::OnDecide();
}

void CNormalSelect2::OnSideMenuCode(int32_t slot)
{
    const int32_t code = GetKindAt(slot);
    if (code < 0 || GetButtonState(code) != 0 || code == SIDE_MENU_SCREEN)
        return;
    if (code == SIDE_MENU_BACKLOG && CountBacklogEntries() == 0)
        return;
    PlayOkSound(SCREEN_SOUND_CHANNEL);
    IRightMenu::DrawButton(slot, 2, 1);
    ISelect::OnDecide();
    IRightMenu::DrawButton(slot, 0, 1);
    switch (code) {
    case SIDE_MENU_TAB:
        ToggleMenu();
        SetManualFlag(1);
        m_button_hover = -1;
        break;
    case SIDE_MENU_SAVE:
    case SIDE_MENU_LOAD:
        ShowHoverHelp(-1, 0);
        HideAll();
        GameWork->ClearSnapshotTaken();
        GameWork->TakeScreenSnapshot();
        if (code == SIDE_MENU_LOAD)
            GameWork->ClearSnapshotTaken();
        GameWork->RunSaveLoad(code == SIDE_MENU_SAVE ? SYSTEM_PAGE_SAVE : SYSTEM_PAGE_LOAD);
        Show();
        break;
    case SIDE_MENU_SETTINGS:
        ShowHoverHelp(-1, 0);
        HideAll();
        GameWork->RunTopPage();
        Show();
        break;
    case SIDE_MENU_BACKLOG:
        ResetWheel();
        ShowHoverHelp(-1, 0);
        HideAll();
        OpenBacklog();
        break;
    case SIDE_MENU_FLAGS:
        ShowHoverHelp(-1, 0);
        HideAll();
        GameWork->RunFlagManager();
        Show();
        break;
    case SIDE_MENU_TITLE:
        ShowHoverHelp(-1, 0);
        ResetWheel();
        GameWork->ConfirmReturnTo(RETURN_TO_TITLE, 1);
        break;
    case SIDE_MENU_EXIT:
        ShowHoverHelp(-1, 0);
        ResetWheel();
        GameWork->ConfirmExit();
        break;
    default:
        break;
    }
}

void CNormalSelect2::OpenBacklog()
{
    GameWork->TakeScreenSnapshot();
    GameWork->RunSystemMenu(SYSTEM_PAGE_BACKLOG);
    GameWork->ClearSnapshotTaken();
    Show();
}

void CNormalSelect2::OnCancel()
{
    if (GetFlag(FLAG_CHOICE_CANCEL_ENDS) != 0) {
        Result = ScriptValue::FromInteger(0);
        Running = 0;
        return;
    }
    if (m_shown == 0) {
        Show();
        ISelect::OnCancel();
        return;
    }
    ISelect::OnCancel();
    const int32_t restricted = CurrentVariable(VARIABLE_RESTRICTED);
    if (restricted == 1) {
        GameWork->ConfirmReturnTo(RETURN_TO_SCENE_SELECT, 0);
    } else if (restricted == 0) {
        int32_t action = GetConfigSystem();
        if (action == 4 && CurrentVariable(VARIABLE_SAVE_MADE) != 1)
            action = 2;
        if (action == 5 && (GameWork->GetStatus() & STATUS_SNAPSHOT_WANTED) == 0)
            action = 2;
        switch (action) {
        case 0:
            PlayCancelSound(SCREEN_SOUND_CHANNEL);
            ShowHoverHelp(-1, 0);
            HideAll();
            break;
        case 1:
            SetConfigAutoRead(GetConfigAutoRead() ? 0 : 1);
            AutoReadOn = GetConfigAutoRead() ? 1 : 0;
            RefreshWindowButtons(0);
            PresentFrame();
            break;
        case 2:
            GameWork->RunTopPage();
            Show();
            break;
        case 3:
            SetConfigOneMes(GetConfigOneMes() ? 0 : 1);
            ReadSkipOn = GetConfigOneMes() ? 1 : 0;
            RefreshWindowButtons(0);
            PresentFrame();
            break;
        case 4:
            GameWork->ClearSnapshotTaken();
            GameWork->RunSaveLoad(SYSTEM_PAGE_LOAD);
            Show();
            break;
        case 5:
            GameWork->RunSaveLoad(SYSTEM_PAGE_SAVE);
            Show();
            break;
        default:
            break;
        }
    }
    ISelect::OnCancel();
}

void CNormalSelect2::OnBackspaceKey()
{
    if (m_shown != 0) {
        ResetWheel();
        if (CountBacklogEntries() != 0)
            OpenBacklog();
    }
    ResetWheel();
    WaitInputRelease(SCAN_BACKSPACE);
}

void CNormalSelect2::OnMouseWheel(int32_t count)
{
    if (m_shown != 0) {
        ResetWheel();
        if (count > 0 && CountBacklogEntries() != 0)
            OpenBacklog();
    }
    ResetWheel();
}

int32_t CNormalSelect2::KeyTarget(uint32_t scan_code, int32_t from, int32_t n, int32_t page,
                                  int32_t last_page)
{
    const bool two_columns = n >= 5;
    if (from == -1)
        return 0;
    switch (scan_code) {
    case SCAN_UP:
        if (from == CHOICE_NEXT_ARROW)
            return n - 1;
        if (from == CHOICE_PREV_ARROW)
            return -1;
        if (from == 0 || (from == 1 && two_columns))
            return page > 0 ? CHOICE_PREV_ARROW : -1;
        if (from == 1)
            return 0;
        return two_columns ? from - 2 : from - 1;
    case SCAN_DOWN:
        if (from == CHOICE_PREV_ARROW)
            return 0;
        if (from == CHOICE_NEXT_ARROW)
            return 1;
        if ((!two_columns && from == n - 1) || (two_columns && from >= n - 2))
            return page < last_page ? CHOICE_NEXT_ARROW : 1;
        return two_columns ? from + 2 : from + 1;
    case SCAN_LEFT:
        return two_columns && from % 2 == 1 ? from - 1 : -1;
    case SCAN_RIGHT:
        return two_columns && from % 2 == 0 && from + 1 < n ? from + 1 : -1;
    default:
        return -1;
    }
}

int32_t CNormalSelect2::OnCursorKey(uint32_t scan_code)
{
    // A key with the pointer on the button row or the side menu moves nothing.
    if (HoverId != -1 || m_button_hover == -1) {
        const int32_t target = KeyTarget(scan_code, HoverId, m_plates, m_page, m_last_page);
        for (const HitArea& area : m_areas) {
            if (target >= 0 && area.Id == static_cast<uint32_t>(target)) {
                const POINT window = CDirect3D::GetInstance()->LogicalToWindow(
                    POINT{(area.Left + area.Right) / 2, (area.Top + area.Bottom) / 2});
                if (IMouse* mouse = InputView->GetMouse())
                    mouse->SetPosition(window.x, window.y);
                break;
            }
        }
    }
    Update();
    WaitInputRelease(scan_code);
    return 0;
}

void CNormalSelect2::OnClose()
{
    ISelect::OnClose();
    GameWork->ClearSnapshotTaken();
    ShowHoverHelp(-1, 0);
    HideAll();
    GameWork->ClearStatusBits(STATUS_SNAPSHOT_WANTED);
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetCursorShape(-1);
    FlagBuffer* state = CurrentFlagBuffer();
    SetInteger(state, VALUE_TEXT_SHADOW, 0);
    SetInteger(state, VALUE_TEXT_COLOUR, static_cast<int32_t>(TEXT_WHITE));
    SetFontSize(MESSAGE_TEXT_SIZE);
    CopyValue(state, m_saved, VALUE_PEN_X);
    CopyValue(state, m_saved, VALUE_PEN_Y);
    CopyValue(state, m_saved, VALUE_TEXT_WIDTH);
    SetInteger(state, VALUE_TEXT_HEIGHT, MESSAGE_LINE_HEIGHT);
    if (m_window) {
        LiveDrawLock lock;
        m_window->FillRect(0, 0, 1920, 1080, 0, 1);
        MarkLayerDrawn(*m_window);
    }
}
