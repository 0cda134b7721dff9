#include "screens/extras/CCGView.h"

#include <algorithm>

#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "screens/extras/CCGMode.h"
#include "screens/extras/CScrollView.h"
#include "script/FlagBuffer.h"
#include "script/vm/ScriptError.h"

namespace {

inline constexpr int32_t SCREEN_W = 1920;
inline constexpr int32_t SCREEN_H = 1080;
inline constexpr int32_t CELL_W = 490;
inline constexpr int32_t CELL_H = 275;
inline constexpr int32_t FADE_TICKS = 12;
inline constexpr int32_t VIEW_CHANNEL = 4;
inline constexpr size_t VALUE_PAGE = 17;
inline constexpr uint32_t OVERLAY_KEY = 0xFF00FF00u;
inline constexpr uint32_t DIM_COLOUR = 0xCB000000u;
inline constexpr uint32_t BUTTON_GROUND = 0xD0000000u;
inline constexpr int32_t LAYER_TYPE_TEXTURE = 2;

std::unique_ptr<CSpriteLayer> AsLayer(CSprite* sprite)
{
    std::unique_ptr<CSprite> owned(sprite);
    auto* layer = dynamic_cast<CSpriteLayer*>(owned.get());
    if (layer == nullptr)
        return nullptr;
    owned.release();
    return std::unique_ptr<CSpriteLayer>(layer);
}

bool IsShownLayer(CSpriteLayer* layer)
{
    return layer != nullptr && layer->IsVisible() != 0;
}

void Fade(CSprite& sprite, uint32_t kinds, uint8_t from, uint8_t to, uint8_t visible)
{
    SpriteAnimRecord record(FADE_TICKS);
    if ((kinds & ANIM_VISIBLE) != 0)
        record.SetVisible(visible);
    record.SetAlpha(from, to);
    sprite.AddAnimation(record);
    CSpriteAnime anime;
    anime.AddSprite(&sprite);
    anime.PlayAndWait();
}

} // namespace

CCGView::CCGView(std::vector<CGRow> rows, int32_t row, int32_t group, int32_t page, CStringUTF8 sheet,
                 CCGMode* gallery)
    : Row(row)
    , GalleryPage(page)
    , GalleryGroup(group)
    , PartsSheetName(std::move(sheet))
    , Gallery(gallery)
    , Rows(std::move(rows))
{}

CCGView::~CCGView() = default;

ScriptValue* CCGView::Run(ScriptValue* out)
{
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
    return RunLoopAndClose(out);
}

void CCGView::ModalLoop()
{
    Result = ScriptValue::FromInteger(Row * 256);
    // Without the layers the pictures are composed in, or its own sprites, the viewer has
    // nothing to show: it ends at once on the row it was given.
    if (FindSpriteLayer(1) == nullptr || FindSpriteLayer(2) == nullptr || FindSpriteLayer(3) == nullptr) {
        ReportScriptError(CStringUTF8("The CG viewer needs sprite layers 1, 2 and 3."));
        return;
    }
    if (!CreateSprites()) {
        ReportScriptError(CStringUTF8("The CG viewer's sprites cannot be made."));
        return;
    }
    ISelect::ModalLoop();
}

bool CCGView::CreateSprites()
{
    PageSprite = AsLayer(CreateSprite(0, 0, SCREEN_W, SCREEN_H, 5, LAYER_TYPE_TEXTURE, 0));
    if (PageSprite == nullptr)
        return false;
    PictureSprite = AsLayer(CreateSprite(0, 0, SCREEN_W, SCREEN_H, 6, LAYER_TYPE_TEXTURE, 0));
    if (PictureSprite == nullptr)
        return false;
    HighlightSprite = AsLayer(CreateSprite(0, 0, CELL_W, CELL_H, 6, LAYER_TYPE_TEXTURE, 0));
    if (HighlightSprite == nullptr)
        return false;
    PartsSheet.reset(
        LoadSprite(MakeLanguageFileName(PartsSheetName), nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    return true;
}

CSpriteLayer* CCGView::Parts() const
{
    return dynamic_cast<CSpriteLayer*>(PartsSheet.get());
}

int32_t CCGView::VariantCount(int32_t row) const
{
    return row >= 0 && static_cast<size_t>(row) < Rows.size() ? Rows[static_cast<size_t>(row)].VariantCount : 0;
}

int32_t CCGView::VariantId(int32_t row, int32_t j) const
{
    if (row < 0 || static_cast<size_t>(row) >= Rows.size() || j < 0)
        return -1;
    const CGRow& r = Rows[static_cast<size_t>(row)];
    if (static_cast<size_t>(j) < r.Variants.size())
        return r.Variants[static_cast<size_t>(j)];
    return r.Composition == nullptr && j == 0 ? r.FirstVariant : -1;
}

bool CCGView::IsSeen(int32_t row, int32_t j) const
{
    return IsVariantSeen(VariantId(row, j));
}

void CCGView::OnOpen()
{
    Running = 1;
    HoverId = -1;
    const FlagBuffer* state = CurrentFlagBuffer();
    const int32_t value = state != nullptr && VALUE_PAGE < state->Values.size() ? state->Values[VALUE_PAGE].Integer : 0;
    // A negative saved page opens the first.
    BuildPage(Row, std::max(0, value / 15));
    PageSprite->Show();
    CSpriteLayer* fade = FindSpriteLayer(6);
    if (IsShownLayer(fade))
        Fade(*fade, ANIM_VISIBLE | ANIM_ALPHA, 255, 0, 0);
    RedrawFrameNow();
}

void CCGView::BuildPage(int32_t row, int32_t page)
{
    if (PageSprite == nullptr)
        return;
    HighlightSprite->SetVisibleFlag(0);
    SeenCell.fill(0);
    for (auto& line : PresentCell)
        line.fill(0);
    const int32_t count = VariantCount(row);
    const int32_t n = std::clamp(count - VIEW_CELLS * page, 0, VIEW_CELLS);
    const int32_t columns = std::min(n, 3);
    const int32_t lines = n <= 3 ? 1 : (n + 2) / 3;
    const int32_t x0 = (SCREEN_W - 520 * columns) / 2 + 4;
    const int32_t y0 = (950 - 313 * lines) / 2 + 16;
    VariantSheet.reset();
    HitAreas = CHitAreaTable();
    std::vector<HitArea> areas;
    {
        LiveDrawLock lock;
        PageSprite->FillRect(0, 0, SCREEN_W, SCREEN_H, DIM_COLOUR, 1);
        PictureSprite->SetAlphaRect(0, 0, SCREEN_W, SCREEN_H, 0);
        PictureSprite->SetPosition(0, 0);
    }
    if (row >= 0 && static_cast<size_t>(row) < Rows.size())
        VariantSheet.reset(LoadSprite(Rows[static_cast<size_t>(row)].SheetName, nullptr, LAYER_KIND_MEMORY, 0, -1,
                                      nullptr, -1, -1, 0));
    auto* thumbnails = dynamic_cast<CSpriteLayer*>(VariantSheet.get());
    CSpriteLayer* parts = Parts();
    {
        LiveDrawLock lock;
        for (int32_t k = 0; k < n; ++k) {
            const int32_t r = k / 3;
            const int32_t c = k % 3;
            PresentCell[static_cast<size_t>(r)][static_cast<size_t>(c)] = 1;
            const int32_t x = x0 + 520 * c;
            const int32_t y = y0 + 313 * r;
            const int32_t j = VIEW_CELLS * page + k;
            if (!IsSeen(row, j)) {
                if (parts != nullptr)
                    PageSprite->BltOver(x, y, CELL_W, CELL_H, parts, 1107, 825);
            } else {
                if (parts != nullptr)
                    PageSprite->BltOver(x, y, CELL_W, CELL_H, parts, 1107, 0);
                if (thumbnails != nullptr)
                    PageSprite->BltOver(x, y, CELL_W, CELL_H, thumbnails, CELL_W * (j % 3), CELL_H * (j / 3));
                SeenCell[static_cast<size_t>(k)] = 1;
            }
            areas.push_back({static_cast<uint32_t>(k), x, y, x + CELL_W, y + CELL_H});
        }
        PageSprite->Invalidate(1, *PageSprite->GetRect());
    }
    PageCount = (count + 8) / 9;
    const CGTables& tables = GetCGTables();
    const int32_t group = tables.GroupOfRow(row);
    const int32_t gallery_page = (row - tables.GroupFirstRow(group)) / CG_CELLS_PER_PAGE;
    if (group != GalleryGroup || gallery_page != GalleryPage) {
        if (Gallery != nullptr)
            Gallery->DrawPage(group, gallery_page, 1);
        GalleryGroup = group;
        GalleryPage = gallery_page;
    }
    Page = page;
    if (PageCount != 1) {
        areas.push_back({VIEW_PREVIOUS_PAGE, 613, 951, 815, 1068});
        areas.push_back({VIEW_NEXT_PAGE, 1076, 951, 1278, 1068});
    }
    areas.push_back({VIEW_BACK, 27, 928, 245, 1054});
    HitAreas.Assign(areas);
    // The buttons are drawn without presenting: BuildPage's callers present or fade.
    auto draw = [&](int32_t id) {
        LiveDrawLock lock;
        if (parts == nullptr)
            return;
        if (id == VIEW_BACK) {
            PageSprite->FillRect(27, 928, 218, 126, BUTTON_GROUND, 1);
            PageSprite->BltOver(27, 928, 218, 126, parts, 888, 0);
        } else {
            const bool previous = id == VIEW_PREVIOUS_PAGE;
            const bool disabled = previous ? Page == 0 : Page == PageCount - 1;
            const int32_t x = previous ? 613 : 1076;
            PageSprite->FillRect(x, 951, 200, 117, BUTTON_GROUND, 1);
            PageSprite->BltOver(x, 951, 200, 117, parts, 2087, 117 * ((disabled ? 3 : 0) + (previous ? 4 : 0)));
        }
        PageSprite->Invalidate(1, *PageSprite->GetRect());
    };
    if (PageCount != 1) {
        draw(VIEW_PREVIOUS_PAGE);
        draw(VIEW_NEXT_PAGE);
    }
    draw(VIEW_BACK);
}

void CCGView::DrawButtonState(int32_t id, int32_t state)
{
    CSpriteLayer* parts = Parts();
    {
        LiveDrawLock lock;
        if (id >= 0 && id < VIEW_CELLS) {
            const HitArea* area = HitAreas.Find(static_cast<uint32_t>(id));
            if (state == 0) {
                HighlightSprite->SetVisibleFlag(0);
            } else if (SeenCell[static_cast<size_t>(id)] != 0 && area != nullptr && parts != nullptr) {
                HighlightSprite->SetPosition(area->Left, area->Top);
                HighlightSprite->Blt(0, 0, CELL_W, CELL_H, parts, 1107, state == 1 ? 275 : 550, 1);
                HighlightSprite->Invalidate(1, *HighlightSprite->GetRect());
                if (state == 1)
                    HighlightSprite->SetVisibleFlag(1);
                else
                    HighlightSprite->Refresh();
            }
        } else if (parts != nullptr && (id == VIEW_PREVIOUS_PAGE || id == VIEW_NEXT_PAGE)) {
            const bool previous = id == VIEW_PREVIOUS_PAGE;
            const bool disabled = previous ? Page == 0 : Page == PageCount - 1;
            const int32_t x = previous ? 613 : 1076;
            PageSprite->FillRect(x, 951, 200, 117, BUTTON_GROUND, 1);
            PageSprite->BltOver(x, 951, 200, 117, parts, 2087, 117 * ((disabled ? 3 : state) + (previous ? 4 : 0)));
            PageSprite->Invalidate(1, *PageSprite->GetRect());
        } else if (parts != nullptr && id == VIEW_BACK) {
            PageSprite->FillRect(27, 928, 218, 126, BUTTON_GROUND, 1);
            PageSprite->BltOver(27, 928, 218, 126, parts, 888, 126 * state);
            PageSprite->Invalidate(1, *PageSprite->GetRect());
        }
    }
    RedrawFrameNow();
}

void CCGView::Update()
{
    if (Mode != 0)
        return;
    const int32_t id = HitTestCursor();
    if (id == HoverId)
        return;
    if (HoverId != -1)
        DrawButtonState(HoverId, 0);
    HoverId = id;
    if (id != -1)
        DrawButtonState(id, 1);
}

void CCGView::WaitOkRelease()
{
    for (const int32_t input : OkInputs)
        WaitInputRelease(static_cast<uint32_t>(input));
}

void CCGView::WaitCancelRelease()
{
    for (const int32_t input : CancelInputs)
        WaitInputRelease(static_cast<uint32_t>(input));
}

void CCGView::OnDecide()
{
    if (Mode == 1) {
        NextVariant();
        WaitOkRelease();
        return;
    }
    const int32_t id = HoverId;
    if (id == -1)
        return;
    if (id >= 0 && id < VIEW_CELLS) {
        if (SeenCell[static_cast<size_t>(id)] == 0)
            return;
        PlayOkSound(VIEW_CHANNEL);
        DrawButtonState(id, 2);
        WaitOkRelease();
        HighlightSprite->SetVisibleFlag(0);
        Mode = 1;
        Variant = VIEW_CELLS * Page + id;
        if (IMouse* mouse = InputView->GetMouse())
            mouse->SetCursorShape(-1);
        ShowVariant(Variant);
        return;
    }
    if (id == VIEW_PREVIOUS_PAGE || id == VIEW_NEXT_PAGE) {
        const int32_t page = id == VIEW_NEXT_PAGE ? Page + 1 : Page - 1;
        if (page >= 0 && page < PageCount) {
            PlayOkSound(VIEW_CHANNEL);
            DrawButtonState(id, 2);
            WaitOkRelease();
            BuildPage(Row, page);
            RedrawFrameNow();
            HoverId = -1;
            return;
        }
    } else if (id == VIEW_BACK) {
        PlayOkSound(VIEW_CHANNEL);
        DrawButtonState(id, 2);
        Result = ScriptValue::FromInteger(Row * 256);
        Running = 0;
    }
    WaitOkRelease();
}

void CCGView::OnCancel()
{
    WaitCancelRelease();
    if (Mode == 1) {
        BuildPage(Row, Page);
        Hide();
        HoverId = -1;
        Mode = 0;
        return;
    }
    Result = ScriptValue::FromInteger(Row * 256);
    Running = 0;
}

void CCGView::ShowVariant(int32_t j)
{
    CSpriteLayer* l1 = FindSpriteLayer(1);
    CSpriteLayer* l2 = FindSpriteLayer(2);
    CSpriteLayer* l3 = FindSpriteLayer(3);
    RECT picture{0, 0, 0, 0};
    const CGRow* row = Row >= 0 && static_cast<size_t>(Row) < Rows.size() ? &Rows[static_cast<size_t>(Row)] : nullptr;
    const CGCompositionRow* composition =
        row != nullptr && row->Composition != nullptr && j >= 0 && j < row->VariantCount ? row->Composition + j
                                                                                          : nullptr;
    if (l1 == nullptr || l2 == nullptr || l3 == nullptr || composition == nullptr)
        return;
    if (CLayerFile* file = LayerFile())
        file->LoadPicture(CStringUTF8(composition->BaseName), l1->GetLayer(), LAYER_KIND_MEMORY, 0, &picture, -1, -1,
                          0);
    const int32_t width = picture.right - picture.left;
    const int32_t height = picture.bottom - picture.top;
    if (width > 0 && height > 0) {
        LiveDrawLock lock;
        l2->SetAlphaRect(0, 0, SCREEN_W, SCREEN_H, 255);
        l2->FillRect(0, 0, SCREEN_W, SCREEN_H, 0xFF000000u, 1);
        l2->Blt(0, 0, width, std::min(height, SCREEN_H), l1, 0, 0, 0);
        l2->SetAlphaRect(0, 0, SCREEN_W, SCREEN_H, 255);
    }
    for (size_t k = 0; k < composition->Overlays.size() && k < 4 && width > 0; ++k) {
        const std::string& name = composition->Overlays[k];
        if (name.empty())
            break;
        RECT overlay{0, 0, 0, 0};
        LoadSprite(CStringUTF8(name), l3, LAYER_KIND_MEMORY, 0, -1, &overlay, -1, -1, 0);
        const int32_t w = overlay.right - overlay.left;
        const int32_t h = overlay.bottom - overlay.top;
        // An overlay that does not load is left out.
        if (w <= 0 || h <= 0)
            continue;
        LiveDrawLock lock;
        l2->BltColorKeyAlpha(overlay.left, overlay.top, w, h, l3, overlay.left, overlay.top, OVERLAY_KEY);
        l1->BltColorKeyAlpha(overlay.left, overlay.top, w, h, l3, overlay.left, overlay.top, OVERLAY_KEY);
    }
    ShowPicture(picture);
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
}

void CCGView::ShowPicture(const RECT& picture)
{
    const int32_t width = picture.right - picture.left;
    const int32_t height = picture.bottom - picture.top;
    CSpriteLayer* source = FindSpriteLayer(width == SCREEN_W && height == SCREEN_H ? 2 : 1);
    if (source != nullptr) {
        LiveDrawLock lock;
        PictureSprite->Blt(0, 0, SCREEN_W, SCREEN_H, source, 0, 0, 1);
        PictureSprite->Invalidate(1, *PictureSprite->GetRect());
    }
    Show();
    if (height <= SCREEN_H)
        return;
    RedrawFrameNow();
    WaitCancelRelease();
    if (IsInputTriggered(INPUT_CTRL))
        return;
    CScrollView view(PictureSprite.get(), picture);
    view.Run(nullptr);
}

void CCGView::Show()
{
    if (PictureSprite == nullptr)
        return;
    PictureSprite->SetVisibleFlag(1);
    if (!IsShownLayer(FindSpriteLayer(6))) {
        Fade(*PictureSprite, ANIM_ALPHA, 0, 255, 1);
        HighlightSprite->SetVisibleFlag(0);
        PageSprite->Hide();
        return;
    }
    PageSprite->SetVisibleFlag(0);
}

void CCGView::Hide()
{
    if (PictureSprite == nullptr || PictureSprite->IsVisible() == 0)
        return;
    PageSprite->SetVisibleFlag(1);
    Fade(*PictureSprite, ANIM_ALPHA, 255, 0, 0);
    PictureSprite->SetVisibleFlag(0);
}

void CCGView::OnClose()
{
    if (PageSprite == nullptr || PageSprite->IsVisible() == 0)
        return;
    PageSprite->SetVisibleFlag(0);
    HighlightSprite->SetVisibleFlag(0);
    PictureSprite->SetVisibleFlag(0);
    RedrawFrameNow();
}

void CCGView::ChangePicture()
{
    LiveDrawLock lock;
    PageSprite->Blt(0, 0, SCREEN_W, SCREEN_H, PictureSprite.get(), 0, 0, 1);
    PageSprite->Invalidate(1, *PageSprite->GetRect());
    PageSprite->SetVisibleFlag(1);
}

void CCGView::BackToPages(int32_t page)
{
    PageCount = (VariantCount(Row) + 8) / 9;
    Page = page;
    BuildPage(Row, Page);
    Hide();
    HoverId = -1;
    Mode = 0;
}

void CCGView::NextVariant()
{
    const int32_t row0 = Row;
    const int32_t variant0 = Variant;
    for (;;) {
        ++Variant;
        while (Variant < VariantCount(Row) && !IsSeen(Row, Variant))
            ++Variant;
        if (Variant >= VariantCount(Row)) {
            ++Row;
            Variant = 0;
            Page = 0;
        }
        if (static_cast<size_t>(Row) >= Rows.size() || Rows[static_cast<size_t>(Row)].FirstVariant == -1)
            break;
        if (IsSeen(Row, Variant)) {
            ChangePicture();
            ShowVariant(Variant);
            return;
        }
    }
    Row = row0;
    BackToPages(variant0 / 9);
}

void CCGView::PreviousVariant()
{
    const int32_t row0 = Row;
    for (;;) {
        --Variant;
        while (Variant >= 0 && !IsSeen(Row, Variant))
            --Variant;
        if (Variant < 0) {
            if (Row == 0) {
                Row = row0;
                BackToPages(0);
                return;
            }
            --Row;
            Variant = VariantCount(Row);
            Page = 0;
            continue;
        }
        if (IsSeen(Row, Variant)) {
            ChangePicture();
            ShowVariant(Variant);
            return;
        }
    }
}

int32_t CCGView::CursorTarget(uint32_t scan_code) const
{
    const int32_t h = HoverId;
    if (h == -1)
        return 0;
    auto present = [this](int32_t r, int32_t c) {
        // A line below the third is not present.
        return r >= 0 && r < 3 && c >= 0 && c < 5 && PresentCell[static_cast<size_t>(r)][static_cast<size_t>(c)] != 0;
    };
    auto last_present = [&]() {
        for (int32_t k = VIEW_CELLS - 1; k >= 0; --k)
            if (present(k / 3, k % 3))
                return k;
        return -1;
    };
    if (h >= 0 && h < VIEW_CELLS) {
        const int32_t r = h / 3;
        const int32_t c = h % 3;
        switch (scan_code) {
        case SCAN_UP:
            return r == 0 ? -1 : h - 3;
        case SCAN_DOWN:
            return present(r + 1, c) ? h + 3 : (PageCount == 1 ? VIEW_BACK : VIEW_PREVIOUS_PAGE);
        case SCAN_LEFT:
            return c == 0 ? -1 : h - 1;
        default:
            return present(r, c + 1) ? h + 1 : -1;
        }
    }
    if (h == VIEW_PREVIOUS_PAGE) {
        switch (scan_code) {
        case SCAN_UP:
            return last_present();
        case SCAN_DOWN:
            return VIEW_NEXT_PAGE;
        case SCAN_LEFT:
            return -1;
        default:
            return VIEW_BACK;
        }
    }
    if (h == VIEW_NEXT_PAGE)
        return scan_code == SCAN_UP ? VIEW_PREVIOUS_PAGE : (scan_code == SCAN_RIGHT ? VIEW_BACK : -1);
    if (h == VIEW_BACK)
        return scan_code == SCAN_UP ? last_present() : (scan_code == SCAN_LEFT ? VIEW_PREVIOUS_PAGE : -1);
    return -1;
}

int32_t CCGView::MoveByKey(uint32_t scan_code)
{
    return StepCursorTo(CursorTarget(scan_code), scan_code);
}

int32_t CCGView::OnUpKey()
{
    return Mode == 1 ? 0 : MoveByKey(SCAN_UP);
}

int32_t CCGView::OnDownKey()
{
    return Mode == 1 ? 0 : MoveByKey(SCAN_DOWN);
}

int32_t CCGView::OnLeftKey()
{
    if (Mode != 1)
        return MoveByKey(SCAN_LEFT);
    PreviousVariant();
    return 0;
}

int32_t CCGView::OnRightKey()
{
    if (Mode != 1)
        return MoveByKey(SCAN_RIGHT);
    NextVariant();
    return 0;
}

void CCGView::OnCtrlKey()
{
    if (Mode == 1)
        NextVariant();
}

void CCGView::OnBackspaceKey()
{
    if (Mode != 1)
        return;
    PreviousVariant();
    IsInputHeld(SCAN_BACKSPACE);
}

void CCGView::OnMouseWheel(int32_t count)
{
    if (count != 0) {
        if (Mode == 1) {
            if (count > 0)
                PreviousVariant();
            else
                NextVariant();
        } else {
            const int32_t page = count > 0 ? Page - 1 : Page + 1;
            if (page >= 0 && page < PageCount) {
                BuildPage(Row, page);
                HoverId = -1;
                RedrawFrameNow();
            }
        }
    }
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
}
