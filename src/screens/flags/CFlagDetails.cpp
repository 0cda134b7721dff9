#include "screens/flags/CFlagDetails.h"

#include <algorithm>

#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/IMouse.h"
#include "game/hints/CastNames.h"
#include "game/hints/HintContext.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/ILayer.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/base/ScreenWork.h"
#include "script/FlagBuffer.h"

namespace {

inline constexpr int32_t CANVAS_WIDTH = 1702;
inline constexpr int32_t CANVAS_HEIGHT = 2400;
inline constexpr int32_t HELP_WIDTH = 1000;
inline constexpr int32_t HELP_HEIGHT = 40;
inline constexpr int32_t HELP_FONT_SIZE = 25;
inline constexpr POINT HELP_AT{109, 1004};

int32_t CellId(int32_t row, int32_t day)
{
    return (row + FLAG_CELL_GROUP) * 256 + day;
}

bool IsCell(int32_t id)
{
    return id >= FLAG_CELL_GROUP * 256 && id < (FLAG_CELL_GROUP + FLAG_ROWS) * 256 && id % 256 < FLAG_DAYS;
}

int32_t CellLeft(int32_t day)
{
    return 211 + 87 * day;
}

int32_t CellTop(int32_t row)
{
    return 10 + 160 * row;
}

ILayer* LayerOf(const std::unique_ptr<CSprite>& sprite)
{
    return sprite ? SpriteLayerOf(sprite.get()) : nullptr;
}

// A sheet that failed to load, or a target that is gone, draws nothing.
void Copy(ILayer* target, int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
          int32_t mode)
{
    if (target != nullptr && source != nullptr)
        target->Blt(x, y, w, h, source, sx, sy, mode);
}

void Blend(ILayer* target, int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy)
{
    if (target != nullptr && source != nullptr)
        target->BltAlpha(x, y, w, h, source, sx, sy);
}

void ClearLayer(ILayer* layer, int32_t w, int32_t h)
{
    if (layer != nullptr)
        layer->SetAlphaRect(0, 0, w, h, 0);
}

CStringUTF8 HeroineFullName(int32_t heroine)
{
    const CastNames& names = GetCastNames();
    return CStringUTF8("『") + names.HeroineFamily(static_cast<uint32_t>(heroine)) + CStringUTF8("　") +
           names.HeroineGiven(static_cast<uint32_t>(heroine)) + CStringUTF8("』");
}

} // namespace

int32_t FlagDayIndex(int32_t date)
{
    return date <= 1300 ? date - 1222 : date - 1291;
}

CFlagDetails::CFlagDetails()
{
    DaySlots.fill(nullptr);
}

CFlagDetails::~CFlagDetails()
{
    CFlagDetails::ReleaseParts();
    GridAreas.clear();
    HintLists.clear();
    ISystemParts::ReleaseParts();
}

int32_t CFlagDetails::CreateParts()
{
    if (ISystemParts::CreateParts() == 0)
        return 0;
    PartsSheet.reset(LoadPictureIfPresent(MakeLanguageFileName("flagschedule_p.akb").GetText()));
    if (!PartsSheet)
        return 0;
    BackgroundSheet.reset(LoadPictureIfPresent("flagschedule_bg.akb"));
    if (!BackgroundSheet)
        return 0;
    PlateCanvas.reset(LoadPictureIfPresent("flagschedule_plate.akb"));
    if (!PlateCanvas)
        return 0;
    HelpTextLayer.reset(CreateSprite(0, 0, HELP_WIDTH, HELP_HEIGHT, -1, LAYER_KIND_MEMORY, 0));
    if (!HelpTextLayer)
        return 0;
    PanelFrame.reset(CreateSprite(0, 0, FLAG_PANEL_WIDTH, FLAG_PANEL_HEIGHT, 113, LAYER_KIND_TEXTURE, 0));
    if (!PanelFrame)
        return 0;
    PanelTextSprite.reset(CreateSprite(0, 0, FLAG_PANEL_WIDTH, FLAG_PANEL_HEIGHT, 114, LAYER_KIND_TEXTURE, 0));
    if (!PanelTextSprite)
        return 0;
    HitAreas.Load("FlagDetails.area");
    GridAreas.clear();
    for (int32_t r = 0; r < FLAG_ROWS; ++r)
        for (int32_t d = 0; d < FLAG_DAYS; ++d)
            GridAreas.push_back(HitArea{static_cast<uint32_t>(CellId(r, d)), 212 + 87 * d, 146 + 160 * r,
                                        212 + 87 * d + 86, 146 + 160 * r + 84});
    return 1;
}

void CFlagDetails::ReleaseParts()
{
    GameWork->RemoveActiveScreen(this);
    PartsSheet.reset();
    PlateCanvas.reset();
    BackgroundSheet.reset();
    HelpTextLayer.reset();
    PanelFrame.reset();
    PanelTextSprite.reset();
}

ScriptValue* CFlagDetails::RunForHeroine(ScriptValue* out, int32_t heroine)
{
    ScrollPos = std::clamp(heroine - 2, 0, 10) * 160 / FLAG_PIXELS_PER_UNIT;
    return ISelect::Run(out);
}

void CFlagDetails::Show()
{
    OpenTransition(nullptr);
}

void CFlagDetails::Hide()
{
    CloseTransition(nullptr);
}

void CFlagDetails::BuildParts(int32_t)
{
    PartsSheet.reset(LoadPictureIfPresent(MakeLanguageFileName("flagschedule_p.akb").GetText()));
    if (PartsSheet)
        DrawPage();
}

void CFlagDetails::OnClose()
{
    if (PanelFrame)
        PanelFrame->SetVisibleFlag(0);
    if (PanelTextSprite)
        PanelTextSprite->SetVisibleFlag(0);
}

void CFlagDetails::BuildLists()
{
    HintLists.clear();
    HintLists.reserve(FLAG_ROWS);
    HintContext context;
    for (int32_t k = 0; k < FLAG_ROWS; ++k)
        HintLists.push_back(BuildHeroineHints(context, static_cast<uint32_t>(k)));
}

void CFlagDetails::PlaceLists()
{
    DaySlots.fill(nullptr);
    HintLists.resize(FLAG_ROWS);
    for (int32_t k = 0; k < FLAG_ROWS; ++k) {
        FlagHintRecord** slots = &DaySlots[static_cast<size_t>(k * FLAG_DAYS)];
        for (FlagHintRecord& record : HintLists[static_cast<size_t>(k)]) {
            const int32_t d = FlagDayIndex(record.FirstDate);
            const bool on_grid = d >= 0 && d < FLAG_DAYS;
            if (on_grid && (slots[d] == nullptr || slots[d]->Status == HINT_SEEN)) {
                slots[d] = &record;
                record.IsNext = 0;
            }
            if (record.Status == HINT_MISSED) {
                for (int32_t later = std::max(d + 1, 0); later < FLAG_DAYS; ++later)
                    slots[later] = nullptr;
                break;
            }
        }
        for (int32_t d = 0; d < FLAG_DAYS; ++d) {
            if (slots[d] != nullptr && slots[d]->Status == HINT_POSSIBLE) {
                slots[d]->IsNext = 1;
                break;
            }
        }
    }
}

void CFlagDetails::OnOpen()
{
    Running = 1;
    CurrentId = -1;
    KeepView = 0;
    CurrentPage = FLAG_PAGE;
    BuildLists();
    PlaceLists();
    DrawToImage = 1;
    DrawPage();
    if (ViewImageLayer() != nullptr)
        ViewImageLayer()->SetVisibleFlag(1);
    Show();
    DrawToImage = 0;
}

int32_t CFlagDetails::ScrollPixels() const
{
    return static_cast<int32_t>(ScrollPos * FLAG_PIXELS_PER_UNIT);
}

void CFlagDetails::DrawClock()
{
    const FlagBuffer* state = CurrentFlagBuffer();
    const int32_t t = state != nullptr ? state->GameTime() : 0;
    int32_t h = t / 100;
    const int32_t m = t % 100;
    ILayer* upper = MaskTarget();
    ILayer* sheet = LayerOf(PartsSheet);
    if (t < 1200) {
        Copy(upper, 9, 19, 32, 52, sheet, 370, 0, 1);
    } else {
        Copy(upper, 9, 19, 32, 52, sheet, 402, 0, 1);
        h -= 12;
        if (h == 0)
            h = 12;
    }
    const int32_t digits[4] = {h / 10, h % 10, m / 10, m % 10};
    const int32_t places[4] = {41, 76, 131, 166};
    for (int i = 0; i < 4; ++i)
        Copy(upper, places[i], 23, 35, 48, sheet, 35 * digits[i], 0, 1);
    Copy(upper, 111, 23, 20, 52, sheet, 350, 0, 1);
}

void CFlagDetails::DrawMark(const FlagHintRecord& record, int32_t row, int32_t day, int32_t state)
{
    ILayer* canvas = LayerOf(PlateCanvas);
    ILayer* sheet = LayerOf(PartsSheet);
    const int32_t x = CellLeft(day);
    const int32_t y = CellTop(row);
    switch (record.Status) {
    case HINT_POSSIBLE:
        Blend(canvas, x, y, 86, 84, sheet, 1276, 84 * state);
        break;
    case HINT_MISSED:
        Blend(canvas, x, y, 86, 84, sheet, 1190, 84 * state);
        break;
    case HINT_SEEN:
        Blend(canvas, x, y + 12, 86, 59, sheet, 1104, 59 * state);
        break;
    default:
        break;
    }
}

void CFlagDetails::DrawRow(int32_t row)
{
    ILayer* canvas = LayerOf(PlateCanvas);
    ILayer* sheet = LayerOf(PartsSheet);
    const int32_t y = CellTop(row);
    Blend(canvas, 210, y - 2, 1480, 147, sheet, 0, 888);
    for (int32_t d = 0; d < FLAG_DAYS; ++d)
        if (const FlagHintRecord* record = Slot(row, d))
            DrawMark(*record, row, d, 0);

    const auto& list = HintLists[static_cast<size_t>(row)];
    if (list.size() < 2)
        return;
    const auto seen = std::count_if(list.begin(), list.end(),
                                    [](const FlagHintRecord& r) { return r.Status == HINT_SEEN; });
    // Single precision, as the bar has always been measured: 3 of 8 gives 42, not 43.
    const auto p = static_cast<int32_t>(static_cast<float>(seen) / static_cast<float>(list.size() - 1) * 100.0f);
    for (int32_t i = 0; i < p / 10; ++i)
        Blend(canvas, 559 + 87 * i, y + 88, 86, 59, sheet, 1104, 0);
    if (p % 10 != 0) {
        const auto w = static_cast<int32_t>(static_cast<float>(p % 10) / 10.0f * 52.0f);
        Blend(canvas, 576 + 87 * (p / 10), y + 88, w, 59, sheet, 1121, 0);
    }
}

void CFlagDetails::DrawPage()
{
    ClearLayer(MaskTarget(), 1920, 1080);
    Copy(ViewTarget(), 0, 0, 1920, 1080, LayerOf(BackgroundSheet), 0, 0, 1);
    DrawClock();
    for (int32_t r = 0; r < FLAG_ROWS; ++r)
        DrawRow(r);
    const FlagBuffer* state = CurrentFlagBuffer();
    const int32_t date = state != nullptr ? state->GameDate() : 0;
    const int32_t d = date < 1300 ? date % 100 - 22 : date % 100 + 9;
    Copy(MaskTarget(), 205 + 87 * d, 92, 102, 888, LayerOf(PartsSheet), 1362, 0, 1);
    ScrollGrid(0, 0);
    DrawControl(FLAG_ID_BACK, 0, 0);
}

void CFlagDetails::MoveGridAreas()
{
    const int32_t p = ScrollPixels();
    for (int32_t r = 0; r < FLAG_ROWS; ++r) {
        for (int32_t d = 0; d < FLAG_DAYS; ++d) {
            HitArea& area = GridAreas[static_cast<size_t>(r * FLAG_DAYS + d)];
            area.Left = 212 + 87 * d;
            area.Top = 146 + 160 * r - p;
            area.Right = area.Left + 86;
            area.Bottom = area.Top + 84;
        }
    }
}

void CFlagDetails::ScrollGrid(int32_t thumb_state, int32_t redraw)
{
    DrawControl(FLAG_ID_UP, 0, 0);
    DrawControl(FLAG_ID_DOWN, 0, 0);
    DrawControl(FLAG_ID_THUMB, thumb_state, 0);
    const RECT& w = FLAG_GRID_WINDOW;
    Copy(ViewTarget(), w.left, w.top, CANVAS_WIDTH, 800, LayerOf(BackgroundSheet), w.left, w.top, 0);
    Blend(ViewTarget(), w.left, w.top, CANVAS_WIDTH, 800, LayerOf(PlateCanvas), 0, ScrollPixels());
    MoveGridAreas();
    Update();
    if (redraw != 0)
        RedrawFrameNow();
}

RECT CFlagDetails::VisiblePart(int32_t row, int32_t day) const
{
    const HitArea& area = GridAreas[static_cast<size_t>(row * FLAG_DAYS + day)];
    const RECT& w = FLAG_GRID_WINDOW;
    return RECT{std::max(area.Left, w.left), std::max(area.Top, w.top), std::min(area.Right, w.right),
                std::min(area.Bottom, w.bottom)};
}

void CFlagDetails::DrawControl(int32_t id, int32_t state, int32_t redraw)
{
    if (id == -1)
        return;
    const int32_t group = id / 256;
    const int32_t item = id % 256;
    ILayer* sheet = LayerOf(PartsSheet);
    if (group == 0 && (item == FLAG_ID_UP || item == FLAG_ID_DOWN)) {
        const bool at_end = item == FLAG_ID_UP ? ScrollPos == 0.0 : ScrollPos == FLAG_SCROLL_MAX;
        const int32_t drawn = at_end ? 3 : state;
        const int32_t row = item == FLAG_ID_UP ? drawn : drawn + 4;
        Copy(MaskTarget(), 1709, item == FLAG_ID_UP ? 102 : 929, 48, 43, sheet, 1056, 43 * row, 1);
        if (drawn == 3)
            ShowHelpText(-1, 1);
        else
            ShowHelpText(id, redraw);
    } else if (group == 0 && item == FLAG_ID_THUMB) {
        if (ILayer* upper = MaskTarget())
            upper->SetAlphaRect(1717, 145, 32, 784, 0);
        Copy(MaskTarget(), 1717, 145 + static_cast<int32_t>(ScrollPos), 32, 250, sheet, 960 + 32 * state, 0, 1);
        ShowHelpText(id, redraw);
    } else if (group == 1) {
        Copy(MaskTarget(), 1760, 913, 158, 158, sheet, 1464, 158 * state, 1);
        ShowHelpText(id, redraw);
    } else if (IsCell(id)) {
        const int32_t row = group - FLAG_CELL_GROUP;
        FlagHintRecord* record = Slot(row, item);
        if (record == nullptr) {
            ShowEventPanel(-1, 0);
            ShowHelpText(-1, 1);
        } else {
            ShowEventPanel(id, state != 0 ? 1 : 0);
            const int32_t cell_state = record->IsNext == 1 ? state : 0;
            Copy(LayerOf(PlateCanvas), CellLeft(item), CellTop(row), 86, 84, sheet, 87 * item + 1, 890, 1);
            DrawMark(*record, row, item, cell_state);
            const RECT v = VisiblePart(row, item);
            const HitArea& area = GridAreas[static_cast<size_t>(row * FLAG_DAYS + item)];
            const int32_t sx = CellLeft(item);
            const int32_t sy = CellTop(row) + (v.top - area.Top);
            const int32_t w = std::min<int32_t>(v.right - v.left, CANVAS_WIDTH - sx);
            const int32_t h = std::min<int32_t>(v.bottom - v.top, CANVAS_HEIGHT - sy);
            Copy(ViewTarget(), v.left, v.top, w, h, LayerOf(PlateCanvas), sx, sy, 1);
            ShowHelpText(id, redraw);
        }
    }
    if (redraw != 0)
        RedrawFrameNow();
}

void CFlagDetails::ShowHelpText(int32_t id, int32_t show)
{
    ILayer* help = LayerOf(HelpTextLayer);
    ClearLayer(help, HELP_WIDTH, HELP_HEIGHT);
    if (id != -1 && show == 0)
        return;
    if (id != -1 && help != nullptr) {
        CStringUTF8 text;
        if (IsCell(id))
            text = HeroineFullName(id / 256 - FLAG_CELL_GROUP) + CStringUTF8("のイベントへジャンプ");
        else if (id == FLAG_ID_UP)
            text = "１つ上にスクロールします";
        else if (id == FLAG_ID_DOWN)
            text = "１つ下にスクロールします";
        else if (id == FLAG_ID_THUMB)
            text = "キャラクターをスクロールします";
        else if (id / 256 == 1)
            text = "前の画面に戻ります";
        if (!text.IsEmpty())
            DrawTextInRect(text, help, 0xFFFFFF, HELP_FONT_SIZE, 0, 0, HELP_WIDTH, HELP_HEIGHT);
    }
    Copy(MaskTarget(), HELP_AT.x, HELP_AT.y, HELP_WIDTH, HELP_HEIGHT, help, 0, 0, 1);
}

int32_t CFlagDetails::CellAt(POINT point) const
{
    const RECT& w = FLAG_GRID_WINDOW;
    if (point.x < w.left || point.x >= w.right || point.y < w.top || point.y >= w.bottom)
        return -1;
    for (const HitArea& area : GridAreas)
        if (area.Contains(point.x, point.y))
            return static_cast<int32_t>(area.Id);
    return -1;
}

void CFlagDetails::Update()
{
    const POINT at = PointerOnScreen();
    const HitArea* control = HitAreas.HitTest(at.x, at.y);
    int32_t id = control != nullptr ? static_cast<int32_t>(control->Id) : -1;
    if (id == -1)
        id = CellAt(at);
    if (id == CurrentId)
        return;
    if (CurrentId != -1)
        DrawControl(CurrentId, 0, 1);
    CurrentId = id;
    if (id != -1) {
        DrawControl(id, 1, 1);
        return;
    }
    ShowHelpText(-1, 1);
    RedrawFrameNow();
}

int32_t CFlagDetails::FirstVisibleRow() const
{
    for (int32_t r = 0; r < FLAG_ROWS; ++r) {
        const RECT v = VisiblePart(r, 0);
        if (v.left < v.right && v.top < v.bottom)
            return r;
    }
    return 0;
}

int32_t CFlagDetails::LastVisibleRow() const
{
    for (int32_t r = FLAG_ROWS - 1; r >= 0; --r) {
        const RECT v = VisiblePart(r, 0);
        if (v.left < v.right && v.top < v.bottom)
            return r;
    }
    return FLAG_ROWS - 1;
}

int32_t CFlagDetails::KeyTarget(uint32_t scan_code) const
{
    const bool up = scan_code == SCAN_UP;
    const bool down = scan_code == SCAN_DOWN;
    const bool left = scan_code == SCAN_LEFT;
    const int32_t first = FirstVisibleRow();
    switch (CurrentId) {
    case -1:
        return CellId(first, 0);
    case FLAG_ID_UP:
        return up ? -1 : down ? FLAG_ID_DOWN : left ? CellId(first, 16) : FLAG_ID_BACK;
    case FLAG_ID_DOWN:
        return up ? FLAG_ID_UP : down ? -1 : left ? CellId(LastVisibleRow(), 16) : FLAG_ID_BACK;
    case FLAG_ID_THUMB:
        return up ? FLAG_ID_UP : down ? FLAG_ID_DOWN : left ? CellId(std::min(first + 2, FLAG_ROWS - 1), 16)
                                                            : FLAG_ID_BACK;
    default:
        break;
    }
    if (CurrentId / 256 == 1)
        return left ? FLAG_ID_DOWN : -1;
    if (!IsCell(CurrentId))
        return -1;
    const int32_t r = CurrentId / 256 - FLAG_CELL_GROUP;
    const int32_t d = CurrentId % 256;
    if (up)
        return r > 0 ? CellId(r - 1, d) : -1;
    if (down)
        return r < FLAG_ROWS - 1 ? CellId(r + 1, d) : -1;
    if (left)
        return d > 0 ? CellId(r, d - 1) : -1;
    if (d < FLAG_DAYS - 1)
        return CellId(r, d + 1);
    return r < first + 2 ? FLAG_ID_UP : r == first + 2 ? FLAG_ID_THUMB : FLAG_ID_DOWN;
}

void CFlagDetails::MoveToTarget(int32_t id, uint32_t scan_code)
{
    if (IsCell(id)) {
        const int32_t r = id / 256 - FLAG_CELL_GROUP;
        WarpToVisiblePart(GridAreas[static_cast<size_t>(r * FLAG_DAYS + id % 256)], 0, FLAG_GRID_WINDOW);
    } else if (id != -1) {
        HitAreas.MoveCursorToArea(static_cast<uint32_t>(id));
    }
    Update();
    WaitInputRelease(scan_code);
}

int32_t CFlagDetails::OnUpKey()
{
    MoveToTarget(KeyTarget(SCAN_UP), SCAN_UP);
    return 0;
}

int32_t CFlagDetails::OnDownKey()
{
    MoveToTarget(KeyTarget(SCAN_DOWN), SCAN_DOWN);
    return 0;
}

int32_t CFlagDetails::OnLeftKey()
{
    MoveToTarget(KeyTarget(SCAN_LEFT), SCAN_LEFT);
    return 0;
}

int32_t CFlagDetails::OnRightKey()
{
    MoveToTarget(KeyTarget(SCAN_RIGHT), SCAN_RIGHT);
    return 0;
}

void CFlagDetails::ScrollBy(double units)
{
    ScrollPos = std::clamp(ScrollPos + units, 0.0, FLAG_SCROLL_MAX);
}

void CFlagDetails::OnMouseWheel(int32_t count)
{
    IMouse* mouse = InputView->GetMouse();
    if (mouse != nullptr)
        mouse->SetWheel(0);
    const bool down = count < 1;
    if (down ? ScrollPos != FLAG_SCROLL_MAX : ScrollPos != 0.0) {
        ScrollBy(down ? FLAG_SCROLL_STEP : -FLAG_SCROLL_STEP);
        if (CurrentId != -1 && CurrentId < FLAG_CELL_GROUP * 256)
            CurrentId = -1;
        ScrollGrid(0, 1);
        RedrawFrameNow();
    }
    if (mouse != nullptr)
        mouse->SetWheel(0);
}

void CFlagDetails::DragThumb()
{
    POINT previous = PointerOnScreen();
    do {
        const int32_t top = 145 + static_cast<int32_t>(ScrollPos);
        const int32_t bottom = top + 250;
        const POINT at = PointerOnScreen();
        bool changed = false;
        if (at.x >= 0 && at.x < 1920 && at.y >= top && at.y < bottom) {
            const int32_t k = at.y - previous.y;
            if (k != 0) {
                ScrollBy(k);
                changed = true;
            } else {
                Sleep(1);
            }
        } else if (at.y <= top) {
            ScrollBy(-FLAG_SCROLL_STEP);
            changed = true;
        } else if (at.y >= bottom) {
            ScrollBy(FLAG_SCROLL_STEP);
            changed = true;
        }
        if (changed)
            ScrollGrid(2, 1);
        previous = at;
    } while (PumpFrame() != 0 && (IsInputTriggered(INPUT_OK) || IsInputTriggered(INPUT_DRAG)));
    ScrollGrid(0, 1);
}

void CFlagDetails::OnDrag()
{
    if (CurrentId != FLAG_ID_THUMB)
        return;
    DragThumb();
    RedrawFrameNow();
    CurrentId = -1;
}

void CFlagDetails::WaitOkRelease()
{
    for (const int32_t input : OkInputs)
        WaitInputRelease(static_cast<uint32_t>(input));
}

void CFlagDetails::OnDecide()
{
    if (CurrentId == -1)
        return;
    const int32_t id = CurrentId;
    const int32_t group = id / 256;
    if (id == FLAG_ID_UP || id == FLAG_ID_DOWN) {
        if (id == FLAG_ID_UP ? ScrollPos == 0.0 : ScrollPos == FLAG_SCROLL_MAX)
            return;
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        DrawControl(id, 2, 1);
        WaitOkRelease();
        CurrentId = -1;
        ScrollBy(id == FLAG_ID_UP ? -FLAG_SCROLL_STEP : FLAG_SCROLL_STEP);
        ScrollGrid(0, 1);
    } else if (id == FLAG_ID_THUMB) {
        DrawControl(id, 2, 1);
        DragThumb();
        CurrentId = -1;
    } else if (group == 1) {
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        DrawControl(id, 2, 1);
        WaitOkRelease();
        Result = ScriptValue::FromInteger(-1);
        Running = 0;
        KeepView = 1;
        Hide();
    } else if (IsCell(id)) {
        if (FlagHintRecord* record = Slot(group - FLAG_CELL_GROUP, id % 256); record != nullptr && record->IsNext == 1)
            ChooseNextEvent(id, *record);
        return;
    }
    WaitOkRelease();
}

void CFlagDetails::OnCancel()
{
    PlayCancelSound(SCREEN_SOUND_CHANNEL);
    for (const int32_t input : CancelInputs)
        WaitInputRelease(static_cast<uint32_t>(input));
    Result = ScriptValue::FromInteger(-1);
    Running = 0;
    KeepView = 1;
    Hide();
}
