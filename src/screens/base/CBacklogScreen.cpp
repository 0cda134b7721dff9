#include "screens/base/CBacklogScreen.h"

#include <algorithm>

#include "foundation/CInputView.h"
#include "foundation/CLangTextFile.h"
#include "foundation/CLangTextTable.h"
#include "foundation/CString.h"
#include "foundation/ConfigAccess.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/PlayerMessage.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/ILayer.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerOf.h"
#include "platform/kernel/SyncApi.h"
#include "screens/base/CDialog.h"
#include "screens/base/CMesWnd.h"
#include "screens/base/ScreenWork.h"
#include "script/ScriptState.h"
#include "script/commands/CFuncString.h"
#include "script/commands/CFuncVoice.h"
#include "script/exec/CFuncExec.h"
#include "script/save/SaveStore.h"
#include "script/vm/BacklogStore.h"
#include "script/vm/ScriptContext.h"
#include "sound/IWaveManager.h"

namespace {

inline constexpr int32_t ROWS = 3;
inline constexpr int32_t ROW_HEIGHT = 300;

// Control ids; a row's control is the id + row.
inline constexpr int32_t ID_VOICE = 0x6400;
inline constexpr int32_t ID_CHECK = 0x200;
inline constexpr int32_t ID_JUMP = 0x300;
inline constexpr int32_t ID_ARROW_UP = 0x400;
inline constexpr int32_t ID_ARROW_DOWN = 0x401;
inline constexpr int32_t ID_THUMB = 0x402;
inline constexpr int32_t ID_PAGE_UP = 0x500;
inline constexpr int32_t ID_PAGE_DOWN = 0x501;
inline constexpr int32_t ID_PLAY = 0x600;
inline constexpr int32_t ID_CLOSE = 0xF00;
inline constexpr int32_t ID_CLOSE_BELOW = 0xF07; // the close button as the arrow down reaches it
inline constexpr int32_t ID_VOICE_HELP = 0xA00;
inline constexpr int32_t GROUP_CLOSE = 15;

// The scroll track and the thumb's pieces in "log_p.akb".
inline constexpr int32_t TRACK_X = 1667;
inline constexpr int32_t TRACK_Y = 82;
inline constexpr int32_t TRACK_WIDTH = 32;
inline constexpr int32_t TRACK_HEIGHT = 888;
inline constexpr int32_t THUMB_MIN_HEIGHT = 40;
inline constexpr int32_t THUMB_SOURCE_X = 1642;
inline constexpr int32_t THUMB_TOP_Y = 592;
inline constexpr int32_t THUMB_MIDDLE_Y = 612;
inline constexpr int32_t THUMB_BOTTOM_Y = 822;
inline constexpr int32_t THUMB_END = 20;
inline constexpr int32_t THUMB_MIDDLE_MAX = 210;
inline constexpr int32_t THUMB_LAYER_WIDTH = 96;

// A row's window of the text area: its head and body rows, the columns 184 to 1352, and before
// them the full-width step in which an opening mark that starts a body line hangs: the window
// holds all the text drawn.
inline constexpr int32_t TEXT_STEP = 40;
inline constexpr int32_t BODY_LEFT = 184;
inline constexpr int32_t BODY_RIGHT = 1352;
inline constexpr int32_t TEXT_X = BODY_LEFT - TEXT_STEP;
inline constexpr int32_t TEXT_WIDTH = BODY_RIGHT - TEXT_X;
inline constexpr int32_t WINDOW_TOP = 109;
inline constexpr int32_t WINDOW_HEIGHT = 240;

inline constexpr uint32_t TEXT_WHITE = 0xFFFFFFFF;
inline constexpr uint32_t TEXT_CHOSEN = 0xADD8E6;
inline constexpr int32_t JUMP_DIALOG_KIND = 7;
inline constexpr int32_t JUMP_DIALOG_DEPTH = 112;
inline constexpr int32_t VOLUME_SILENT = -10000;
inline constexpr int32_t KEY_POINTER_STEP = 30;
inline constexpr uint32_t KEY_LONG_PRESS_MS = 50;

bool InRows(int32_t id, int32_t first)
{
    return id >= first && id < first + ROWS;
}

// The help text of a control's group; 0 for none.
int32_t HelpNumber(int32_t id)
{
    if (id == ID_VOICE_HELP || InRows(id, ID_VOICE))
        return 222;
    if (InRows(id, ID_CHECK))
        return 217;
    if (InRows(id, ID_JUMP))
        return 218;
    switch (id) {
    case ID_ARROW_UP:
        return 214;
    case ID_ARROW_DOWN:
        return 215;
    case ID_THUMB:
        return 216;
    case ID_PAGE_UP:
        return 220;
    case ID_PAGE_DOWN:
        return 221;
    case ID_PLAY:
        return 219;
    default:
        return id >> 8 == GROUP_CLOSE ? 223 : 0;
    }
}

} // namespace

CBacklogScreen::~CBacklogScreen()
{
    CBacklogScreen::ReleaseParts();
}

int32_t CBacklogScreen::CreateParts()
{
    if (ISystemParts::CreateParts() == 0)
        return 0;
    // A missing picture leaves its part undrawn, as on the other pages; only a damaged one
    // makes the screen unusable. The loader refuses a damaged picture without a word, so one that
    // is there and does not load is that.
    bool damaged = false;
    auto load = [&](const char* name) -> CSprite* {
        CLayerFile* file = LayerFile();
        CStringUTF8 entry(name);
        entry.MakeUpper();
        if (file == nullptr || file->Exists(entry) == 0)
            return nullptr;
        CSprite* sprite = LoadSprite(name, nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0);
        damaged = damaged || sprite == nullptr;
        return sprite;
    };
    try {
        PartsImage.reset(load("log_p.akb"));
        CoverImage.reset(load("log_cover.akb"));
    } catch (...) {
        ShowPlayerMessage(0, "Failed to create the history part.");
        CBacklogScreen::ReleaseParts();
        return 0;
    }
    if (damaged) {
        CBacklogScreen::ReleaseParts();
        return 0;
    }
    HelpLayer.reset(CreateSprite(0, 0, 1000, 40, -1, LAYER_KIND_MEMORY, 0));
    ThumbLayer.reset(CreateSprite(0, 0, THUMB_LAYER_WIDTH, TRACK_HEIGHT, -1, LAYER_KIND_MEMORY, 0));
    for (PageShown& page : m_pages)
        page.RowBase.reset(CreateSprite(0, 0, TEXT_WIDTH, WINDOW_HEIGHT * ROWS, -1, LAYER_KIND_MEMORY, 0));
    PageBaseImage.reset(CreateSprite(0, 0, 1920, 1080, -1, LAYER_KIND_MEMORY, 0));
    m_base_rows = -1;
    for (PageShown& page : m_pages)
        ForgetPage(page);
    return 1;
}

ScriptValue* CBacklogScreen::Run(ScriptValue* out)
{
    EnsureParts();
    try {
        IBackLog::Run(out);
    } catch (...) {
        GiveBackPages();
        throw;
    }
    GiveBackPages();
    return out;
}

ILayer* CBacklogScreen::GetPageBaseLayer() const
{
    return SpriteLayerOf(PageBaseImage.get());
}

void CBacklogScreen::GiveBackPages()
{
    // The page's background and its rows are drawn again on the next open, as after the parts
    // were made: closed, their pixels go back to the system.
    ClearSpriteLayers({PageBaseImage.get(), m_pages[0].RowBase.get(), m_pages[1].RowBase.get()});
    m_base_rows = -1;
    for (PageShown& page : m_pages)
        ForgetPage(page);
}

void CBacklogScreen::ReleaseParts()
{
    ISystemParts::ReleaseParts();
    PartsImage.reset();
    CoverImage.reset();
    HelpLayer.reset();
    ThumbLayer.reset();
    for (PageShown& page : m_pages)
        page.RowBase.reset();
    PageBaseImage.reset();
    m_base_rows = -1;
    for (PageShown& page : m_pages)
        ForgetPage(page);
}

int32_t CBacklogScreen::ThumbHeightFor(int32_t count)
{
    if (count - ROWS <= 0)
        return 0;
    // Past 427 records two pixels a record would leave no thumb to hold.
    return std::max(THUMB_MIN_HEIGHT, TRACK_HEIGHT - 2 * (count - ROWS));
}

int32_t CBacklogScreen::ThumbTopFor(int32_t top, int32_t max_top, int32_t thumb_height)
{
    const int32_t travel = TRACK_HEIGHT - thumb_height;
    if (max_top <= 0)
        return TRACK_Y + travel;
    // With the two-pixel thumb travel is 2 x max_top, so this is (485 - top) x 2 - height.
    return TRACK_Y + static_cast<int32_t>(int64_t{travel} * (max_top - top) / max_top);
}

int32_t CBacklogScreen::RowRecord(int32_t row) const
{
    const int32_t index = EntryCount - Top - (ROWS - row);
    return row >= 0 && row < ROWS && index >= 0 && index < EntryCount ? index : -1;
}

bool CBacklogScreen::RowHasRecord(int32_t row)
{
    return RowRecord(row) != -1 && Record(RowRecord(row)) != nullptr;
}

bool CBacklogScreen::RowHasVoice(int32_t row)
{
    const LogBuffer* record = RowHasRecord(row) ? Record(RowRecord(row)) : nullptr;
    return record != nullptr && record->HasVoice != 0;
}

void CBacklogScreen::OnOpen()
{
    OpenCommon();
    HitAreas.Load("backlog00.area");
    DrawToImage = 1;
    DrawFirstPage();
    // Both pictures wait in the image layers, so a page left for this one cross-fades.
    if (CSpriteLayer* mask = MaskImageLayer())
        mask->SetVisibleFlag(1);
    if (CSpriteLayer* view = ViewImageLayer())
        view->SetVisibleFlag(1);
    OpenTransition(nullptr);
    DrawToImage = 0;
    foundation::WriteConfigInt(foundation::KEY_BACKLOG_MODE, 100);
}

void CBacklogScreen::ResetPage()
{
    IBackLog::ResetPage();
    // The text layer is clear now; the page layers hold what this screen drew last only while
    // nothing else has written there.
    if (!PageIntact())
        ForgetPage();
    m_ink_layer = SpriteLayerOf(FindSpriteLayer(BACKLOG_TEXT_LAYER));
    for (std::vector<InkRect>& ink : m_ink)
        ink.clear();
    Ink.clear();
}

void CBacklogScreen::DrawFirstPage()
{
    const ScriptContext* context = GetScriptContext();
    Marks.assign(context != nullptr ? context->Backlog.Entries.size() : 0, 0);
    SetValue(30, TEXT_STEP);
    SetValue(31, 48);
    SetValue(34, 40);
    SetValue(35, 40);
    SetValue(46, 245);
    SetValue(47, 0);
    SetValue(48, 1245);
    SetValue(49, 1080);
    BuildThumb();
    // The shown layers are to show what the image layers do.
    ForgetPage(m_pages[1]);
    CSpriteLayer* mask = MaskImageLayer();
    const bool on_images = mask != nullptr && static_cast<ILayer*>(mask) == MaskTarget();
    if (on_images && PageIntact()) {
        // The image layers hold the page this screen left there: the first page goes over it
        // as a scroll's does, with the thumb just built drawn anew.
        Page().ThumbColumn = -1;
    } else {
        if (mask != nullptr)
            mask->SetAlphaRect(0, 0, 1920, 1080, 0);
        ForgetPage();
        m_mask_clear = on_images;
    }
    RedrawPage(0, 0);
    m_mask_clear = false;
    if (on_images) {
        m_seen_view.See(ViewTarget());
        m_seen_mask.See(MaskTarget());
    }
}

bool CBacklogScreen::LayerSeen::Holds(ILayer* layer) const
{
    return layer != nullptr && layer == Layer && layer->GetWriteCount() == Writes;
}

void CBacklogScreen::LayerSeen::See(ILayer* layer)
{
    Layer = layer;
    Writes = layer != nullptr ? layer->GetWriteCount() : 0;
}

void CBacklogScreen::ClearTextLayer(ILayer* text)
{
    if (m_seen_text.Holds(text)) {
        // Only this screen wrote there since the last clear, and only within its ink.
        for (const InkRect& r : m_text_touched)
            text->FillRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, 0, 1);
    } else {
        IBackLog::ClearTextLayer(text);
    }
    m_text_touched.clear();
    m_seen_text.See(text);
}

void CBacklogScreen::BuildThumb()
{
    ThumbWidth = 0;
    ThumbHeight = 0;
    ILayer* thumb = SpriteLayerOf(ThumbLayer.get());
    if (thumb == nullptr)
        return;
    thumb->SetAlphaRect(0, 0, THUMB_LAYER_WIDTH, TRACK_HEIGHT, 0);
    ThumbHeight = ThumbHeightFor(EntryCount); // counted as the page was reset
    if (ThumbHeight == 0)
        return;
    if (ILayer* parts = SpriteLayerOf(PartsImage.get())) {
        thumb->Blt(0, 0, THUMB_LAYER_WIDTH, THUMB_END, parts, THUMB_SOURCE_X, THUMB_TOP_Y, 1);
        for (int32_t y = THUMB_END; y < ThumbHeight - THUMB_END;) {
            const int32_t piece = std::min(THUMB_MIDDLE_MAX, ThumbHeight - THUMB_END - y);
            thumb->Blt(0, y, THUMB_LAYER_WIDTH, piece, parts, THUMB_SOURCE_X, THUMB_MIDDLE_Y, 1);
            y += piece;
        }
        thumb->Blt(0, ThumbHeight - THUMB_END, THUMB_LAYER_WIDTH, THUMB_END, parts, THUMB_SOURCE_X,
                   THUMB_BOTTOM_Y, 1);
    }
    ThumbWidth = TRACK_WIDTH;
}

void CBacklogScreen::Present()
{
    RedrawFrameNow();
}

void CBacklogScreen::RedrawPage(int32_t thumb_state, int32_t present)
{
    HoverId = -1;
    SetValue(33, static_cast<int32_t>(TEXT_WHITE));
    SetValue(32, 0);
    // A scroll leaves the background and the row frames as they are: only the texts change.
    const bool kept = PageKept();
    if (!kept) {
        ForgetPage();
        if (ILayer* view = ViewTarget())
            DrawBackground(view);
    }
    for (int32_t row = 0; row < ROWS; ++row)
        DrawRow(row, BACKLOG_NORMAL, kept ? RowDraw::KEPT_PAGE : RowDraw::NEW_PAGE);
    if (!kept && ViewTarget() != nullptr && MaskTarget() != nullptr) {
        Page().View = ViewTarget();
        Page().Mask = MaskTarget();
    }
    for (int32_t row = 0; row < ROWS; ++row)
        DrawButton(ID_VOICE + row, BACKLOG_NORMAL, 0);
    for (int32_t row = 0; row < ROWS; ++row)
        DrawButton(ID_JUMP + row, BACKLOG_NORMAL, 0);
    for (int32_t id : {ID_PAGE_UP, ID_PAGE_DOWN, ID_PLAY, ID_CLOSE, ID_ARROW_UP, ID_ARROW_DOWN})
        DrawButton(id, BACKLOG_NORMAL, 0);
    DrawScrollBar(thumb_state);
    if (present != 0)
        Present();
}

void CBacklogScreen::DrawBackground(ILayer* view)
{
    // The half-transparent black and the cover overwrite the whole page, so what they and the
    // frames make is the same every time.
    auto draw = [this](ILayer* target, int32_t framed) {
        target->FillRect(0, 0, 1920, 1080, 0x80000000, 1);
        if (ILayer* cover = SpriteLayerOf(CoverImage.get()))
            target->BltOver(0, 0, 1920, 1080, cover, 0, 0);
        if (ILayer* parts = SpriteLayerOf(PartsImage.get()))
            for (int32_t row = 0; row < ROWS; ++row)
                if ((framed & (1 << row)) != 0)
                    target->BltOver(5, ROW_HEIGHT * row + 87, 1642, 284, parts, 0, 0);
    };
    int32_t framed = 0;
    for (int32_t row = 0; row < ROWS; ++row)
        framed |= RowHasRecord(row) ? 1 << row : 0;
    ILayer* base = SpriteLayerOf(PageBaseImage.get());
    LiveDrawLock lock;
    m_frames_drawn = base != nullptr;
    if (base == nullptr) {
        draw(view, 0);
        return;
    }
    if (framed != m_base_rows || CoverImage.get() != m_base_cover || PartsImage.get() != m_base_parts) {
        draw(base, framed);
        m_base_rows = framed;
        m_base_cover = CoverImage.get();
        m_base_parts = PartsImage.get();
    }
    view->Blt(0, 0, 1920, 1080, base, 0, 0, 1);
}

bool CBacklogScreen::PageIntact()
{
    return m_seen_view.Holds(ViewTarget()) && m_seen_mask.Holds(MaskTarget()) && PageKept();
}

bool CBacklogScreen::PageKept()
{
    PageShown& page = Page();
    if (page.View == nullptr || page.View != ViewTarget() || page.Mask != MaskTarget() ||
        SpriteLayerOf(page.RowBase.get()) == nullptr)
        return false;
    for (int32_t row = 0; row < ROWS; ++row)
        if (page.Rows[row].Framed != RowHasRecord(row))
            return false;
    return true;
}

void CBacklogScreen::ForgetPage()
{
    ForgetPage(Page());
}

void CBacklogScreen::ForgetPage(PageShown& page)
{
    page.View = nullptr;
    page.Mask = nullptr;
    page.MaskShown.clear();
    page.HelpKnown = false;
    page.ThumbColumn = -1;
    for (RowShown& shown : page.Rows) {
        shown.Framed = false;
        shown.Composed = {};
        shown.Base = {};
    }
}

namespace {

using InkRect = IBackLog::InkRect;

bool IsEmpty(const InkRect& r)
{
    return r.Left >= r.Right || r.Top >= r.Bottom;
}

InkRect Intersect(const InkRect& a, const InkRect& b)
{
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
}

InkRect Hull(const InkRect& a, const InkRect& b)
{
    if (IsEmpty(a))
        return b;
    if (IsEmpty(b))
        return a;
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
            std::max(a.Bottom, b.Bottom)};
}

InkRect WindowOf(int32_t row)
{
    const int32_t top = ROW_HEIGHT * row + WINDOW_TOP;
    return {TEXT_X, top, TEXT_X + TEXT_WIDTH, top + WINDOW_HEIGHT};
}

// The part of an ink rectangle a cleared rectangle leaves, as one rectangle that holds it.
void CutBy(InkRect& ink, const InkRect& cleared)
{
    if (cleared.Left <= ink.Left && ink.Right <= cleared.Right) {
        if (cleared.Top <= ink.Top)
            ink.Top = std::max(ink.Top, cleared.Bottom);
        if (cleared.Bottom >= ink.Bottom)
            ink.Bottom = std::min(ink.Bottom, cleared.Top);
    }
    if (cleared.Top <= ink.Top && ink.Bottom <= cleared.Bottom) {
        if (cleared.Left <= ink.Left)
            ink.Left = std::max(ink.Left, cleared.Right);
        if (cleared.Right >= ink.Right)
            ink.Right = std::min(ink.Right, cleared.Left);
    }
}

} // namespace

void CBacklogScreen::FollowTextLayer(ILayer* text)
{
    constexpr size_t MAX_PIECES = 6;
    if (text != m_ink_layer) {
        // Whatever another layer holds may be ink anywhere.
        m_ink_layer = text;
        for (int32_t row = 0; row < ROWS; ++row)
            m_ink[row] = {WindowOf(row)};
    }
    constexpr size_t MAX_TOUCHED = 16;
    for (const InkRect& drawn : Ink) {
        if (m_text_touched.size() < MAX_TOUCHED) {
            m_text_touched.push_back(drawn);
        } else {
            InkRect all = drawn;
            for (const InkRect& other : m_text_touched)
                all = Hull(all, other);
            m_text_touched = {all};
        }
        for (int32_t row = 0; row < ROWS; ++row) {
            const InkRect piece = Intersect(drawn, WindowOf(row));
            if (IsEmpty(piece))
                continue;
            std::vector<InkRect>& pieces = m_ink[row];
            if (pieces.size() >= MAX_PIECES) {
                InkRect all = piece;
                for (const InkRect& other : pieces)
                    all = Hull(all, other);
                pieces = {all};
            } else {
                pieces.push_back(piece);
            }
        }
    }
    Ink.clear();
}

void CBacklogScreen::ClearText(ILayer* text, int32_t row, const InkRect& rect)
{
    // Outside its ink the window already has alpha 0.
    std::vector<InkRect>& pieces = m_ink[row];
    for (InkRect& piece : pieces) {
        const InkRect clear = Intersect(rect, piece);
        if (!IsEmpty(clear))
            text->SetAlphaRect(clear.Left, clear.Top, clear.Right - clear.Left, clear.Bottom - clear.Top, 0);
    }
    for (InkRect& piece : pieces)
        CutBy(piece, rect);
    pieces.erase(std::remove_if(pieces.begin(), pieces.end(), IsEmpty), pieces.end());
}

namespace {

// Rectangles one under the other that hold every pixel of the pieces: within each stretch of
// rows between the pieces' edges, the columns from the leftmost to the rightmost piece there.
std::vector<InkRect> StackOf(const std::vector<InkRect>& pieces)
{
    std::vector<int32_t> edges;
    for (const InkRect& piece : pieces) {
        edges.push_back(piece.Top);
        edges.push_back(piece.Bottom);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    std::vector<InkRect> stack;
    for (size_t k = 0; k + 1 < edges.size(); ++k) {
        InkRect stretch;
        for (const InkRect& piece : pieces)
            if (piece.Top <= edges[k] && edges[k + 1] <= piece.Bottom)
                stretch = Hull(stretch, {piece.Left, edges[k], piece.Right, edges[k + 1]});
        if (IsEmpty(stretch))
            continue;
        if (!stack.empty() && stack.back().Left == stretch.Left && stack.back().Right == stretch.Right &&
            stack.back().Bottom == stretch.Top)
            stack.back().Bottom = stretch.Bottom;
        else
            stack.push_back(stretch);
    }
    return stack;
}

} // namespace

void CBacklogScreen::ComposeText(ILayer* view, ILayer* text, int32_t row, RowDraw how)
{
    RowShown& shown = Page().Rows[row];
    const std::vector<InkRect> ink = StackOf(m_ink[row]);
    InkRect ink_rows;
    for (const InkRect& piece : ink)
        ink_rows = Hull(ink_rows, piece);
    ILayer* base = how != RowDraw::ALONE ? SpriteLayerOf(Page().RowBase.get()) : nullptr;
    // The base layer holds the window of each row one under the other.
    const int32_t base_offset = WINDOW_HEIGHT * row - WindowOf(row).Top;
    const InkRect window = WindowOf(row);
    // On a kept page the view goes back to the frame beneath the last text first (beyond where
    // that was composed it shows the frame already), so the base layer can take what it lacks
    // of the rows the new text goes over (and of any gap to the rows it holds).
    const std::vector<InkRect> last =
        how == RowDraw::KEPT_PAGE && base != nullptr ? shown.Composed : std::vector<InkRect>{};
    InkRect lacking[2];
    if (base != nullptr && !IsEmpty(ink_rows)) {
        const InkRect wanted = Hull(shown.Base, {window.Left, ink_rows.Top, window.Right, ink_rows.Bottom});
        if (IsEmpty(shown.Base)) {
            lacking[0] = wanted;
        } else {
            lacking[0] = {wanted.Left, wanted.Top, wanted.Right, shown.Base.Top};
            lacking[1] = {wanted.Left, shown.Base.Bottom, wanted.Right, wanted.Bottom};
        }
        shown.Base = wanted;
    }
    shown.Composed = ink;
    // Band by band, so each stretch of the view is still at hand for the next step.
    constexpr int32_t BAND = 16;
    LiveDrawLock lock;
    for (int32_t top = window.Top; top < window.Bottom; top += BAND) {
        const InkRect band{window.Left, top, window.Right, std::min(top + BAND, window.Bottom)};
        for (const InkRect& piece : last) {
            const InkRect restore = Intersect(piece, band);
            if (!IsEmpty(restore))
                view->Blt(restore.Left, restore.Top, restore.Right - restore.Left,
                          restore.Bottom - restore.Top, base, restore.Left - TEXT_X,
                          restore.Top + base_offset, 1);
        }
        for (const InkRect& part : lacking) {
            const InkRect keep = Intersect(part, band);
            if (!IsEmpty(keep))
                base->Blt(0, keep.Top + base_offset, TEXT_WIDTH, keep.Bottom - keep.Top, view, TEXT_X,
                          keep.Top, 1);
        }
        // Beyond the ink the text layer is transparent: composing there would change nothing.
        // The pieces lie one under the other, so no pixel is composed twice.
        for (const InkRect& piece : ink) {
            const InkRect compose = Intersect(piece, band);
            if (!IsEmpty(compose))
                view->BltOver(compose.Left, compose.Top, compose.Right - compose.Left,
                              compose.Bottom - compose.Top, text, compose.Left, compose.Top);
        }
    }
}

void CBacklogScreen::DrawRow(int32_t row, int32_t state, RowDraw how)
{
    const int32_t y = ROW_HEIGHT * row;
    ILayer* mask = MaskTarget();
    ILayer* view = ViewTarget();
    if (mask == nullptr || view == nullptr)
        return;
    if (how == RowDraw::ALONE)
        ForgetPage(); // the frame goes over what the view shows: no page to keep
    if (how != RowDraw::KEPT_PAGE && !m_mask_clear) {
        // Nothing else draws there: a kept page has these rows clear still.
        LiveDrawLock lock;
        mask->SetAlphaRect(245, y + 109, 1000, 54, 0);
        mask->SetAlphaRect(184, y + 178, 1168, 166, 0);
    }
    const int32_t index = RowRecord(row);
    LogBuffer* record = index != -1 ? Record(index) : nullptr;
    if (record == nullptr)
        return;
    if (how == RowDraw::NEW_PAGE)
        Page().Rows[row].Framed = true;
    ILayer* text = SpriteLayerOf(FindSpriteLayer(GetValue(VALUE_TEXT_SPRITE)));
    const bool text_known = m_seen_text.Holds(text);
    if (text != nullptr)
        FollowTextLayer(text);
    {
        LiveDrawLock lock;
        if (how == RowDraw::ALONE || (how == RowDraw::NEW_PAGE && !m_frames_drawn))
            if (ILayer* parts = SpriteLayerOf(PartsImage.get()))
                view->BltOver(5, y + 87, 1642, 284, parts, 0, 284 * state);
        if (text != nullptr) {
            ClearText(text, row, {245, y + 109, 245 + 1000, y + 109 + 54});
            ClearText(text, row, {TEXT_X, y + 178, BODY_RIGHT, y + 178 + 166});
        }
    }
    CFuncVoice voice;
    if (IWaveManager* channel = voice.GetManager(0))
        channel->ClearName();
    ScriptContext* context = GetScriptContext();
    if (context != nullptr)
        context->CollectedVoiceNames.clear();
    SetValue(33, static_cast<int32_t>(state == BACKLOG_PRESSED ? TEXT_CHOSEN : TEXT_WHITE));

    SetValue(50, 245);
    SetValue(51, y + 109);
    SetValue(46, 245);
    SetValue(47, y + 109);
    DrawEntry(index);
    if (text != nullptr)
        FollowTextLayer(text); // the head's ink apart from the body's

    SetValue(50, BODY_LEFT);
    SetValue(51, y + 178);
    SetValue(47, y + 178);
    SetValue(46, BODY_LEFT);
    SetValue(48, 1184);
    SetValue(49, 1080);
    if (!record->TextTable.IsEmpty())
        if (CFuncExec* exec =
                context != nullptr ? dynamic_cast<CFuncExec*>(context->GetExecGroup()) : nullptr)
            exec->SetLanguageFileName(record->TextTable);
    if (record->HasVoice != 0)
        voice.Load(record->VoiceFile, 0);
    // The record's body text, as the backlog command group answers it for a recorded index.
    DrawLogText(index < EntryCount ? record->BodyText : CStringUTF8());

    if (text != nullptr) {
        FollowTextLayer(text);
        ComposeText(view, text, row, how);
    }
    if (text_known)
        m_seen_text.See(text); // what it holds now is this row's drawing too
    DrawButton(ID_CHECK + row, BACKLOG_NORMAL, 0);
}

bool CBacklogScreen::MaskKept()
{
    return Page().Mask != nullptr && Page().Mask == MaskTarget();
}

void CBacklogScreen::ShowOnMask(ILayer* mask, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx,
                                int32_t sy)
{
    ILayer* parts = SpriteLayerOf(PartsImage.get());
    if (sx != -1 && parts == nullptr)
        return;
    const std::array<int32_t, 4> look{w, h, sx, sy};
    if (MaskKept()) {
        auto [shown, added] = Page().MaskShown.try_emplace({x, y}, look);
        if (!added && shown->second == look)
            return;
        shown->second = look;
    }
    if (sx == -1)
        mask->SetAlphaRect(x, y, w, h, 0);
    else
        mask->Blt(x, y, w, h, parts, sx, sy, 1);
}

void CBacklogScreen::DrawScrollBar(int32_t state)
{
    ILayer* mask = MaskTarget();
    if (mask == nullptr)
        return;
    LiveDrawLock lock;
    ILayer* thumb = SpriteLayerOf(ThumbLayer.get());
    const bool shown = MaxTop != 0 && thumb != nullptr && ThumbHeight != 0;
    const int32_t top = shown ? ThumbTopFor(Top, MaxTop, ThumbHeight) : -1;
    const int32_t column = std::min(std::max(state, 0), BACKLOG_PRESSED);
    // Only the thumb draws on the track: on a kept page clearing the last thumb clears it.
    PageShown& page = Page();
    if (MaskKept() && page.ThumbColumn != -1) {
        if (top == page.ThumbTop && column == page.ThumbColumn)
            return;
        if (page.ThumbTop != -1)
            mask->SetAlphaRect(TRACK_X, page.ThumbTop, TRACK_WIDTH, ThumbHeight, 0);
    } else {
        mask->SetAlphaRect(TRACK_X, TRACK_Y, TRACK_WIDTH, TRACK_HEIGHT, 0);
    }
    page.ThumbTop = -1;
    page.ThumbColumn = MaskKept() ? column : -1;
    if (!shown)
        return;
    mask->Blt(TRACK_X, top, ThumbWidth, ThumbHeight, thumb, TRACK_WIDTH * column, 0, 1);
    page.ThumbTop = top;
}

void CBacklogScreen::DrawHelp(int32_t id)
{
    ILayer* help = SpriteLayerOf(HelpLayer.get());
    ILayer* mask = MaskTarget();
    if (help == nullptr || mask == nullptr)
        return;
    const int32_t number = id != -1 && GameWork->m_system_language ? HelpNumber(id) : 0;
    PageShown& page = Page();
    if (MaskKept() && page.HelpKnown && page.HelpShown == number)
        return;
    page.HelpKnown = MaskKept();
    page.HelpShown = number;
    LiveDrawLock lock;
    help->SetAlphaRect(0, 0, 1000, 40, 0);
    if (number != 0)
        DrawTextInRect(GameWork->m_system_language->GetText(number), help, 0xFFFFFF, 25, 0, 0, 1000, 40);
    mask->Blt(109, 1004, 1000, 40, help, 0, 0, 1);
}

void CBacklogScreen::DrawButton(int32_t id, int32_t state, int32_t present)
{
    ILayer* mask = MaskTarget();
    if (mask == nullptr || id == -1)
        return;
    int32_t help = id;
    {
        LiveDrawLock lock;
        auto copy = [&](int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx, int32_t sy) {
            ShowOnMask(mask, x, y, w, h, sx, sy);
        };
        auto clear = [&](int32_t x, int32_t y, int32_t w, int32_t h) { ShowOnMask(mask, x, y, w, h, -1, 0); };
        const bool at_oldest = Top == MaxTop;
        const bool at_newest = Top == 0;
        if (InRows(id, ID_VOICE)) {
            const int32_t row = id - ID_VOICE;
            const int32_t y = ROW_HEIGHT * row + 182;
            if (RowHasVoice(row)) {
                copy(1541, y, 87, 87, 1789, 652 + 87 * state);
                help = ID_VOICE_HELP;
            } else {
                clear(1541, y, 87, 87);
                help = -1;
            }
        } else if (InRows(id, ID_CHECK)) {
            const int32_t row = id - ID_CHECK;
            const int32_t y = ROW_HEIGHT * row + 310;
            const size_t mark = static_cast<size_t>(Top + ROWS - 1 - row);
            if (!RowHasVoice(row))
                clear(1589, y, 52, 52);
            else if (mark < Marks.size() && Marks[mark] == 1)
                copy(1589, y, 52, 52, 200, 1008);
            else
                copy(1589, y, 52, 52, 200, 852 + 52 * state);
        } else if (InRows(id, ID_JUMP)) {
            const int32_t row = id - ID_JUMP;
            const int32_t y = ROW_HEIGHT * row + 302;
            if (RowHasRecord(row))
                copy(1364, y, 200, 56, 0, 853 + 56 * state);
            else
                clear(1364, y, 200, 56);
        } else if (id == ID_ARROW_UP) {
            copy(1659, 39, 48, 43, 1738, 592 + 43 * (at_oldest ? BACKLOG_DISABLED : state));
        } else if (id == ID_ARROW_DOWN) {
            copy(1659, 972, 48, 43, 1738, 764 + 43 * (at_newest ? BACKLOG_DISABLED : state));
        } else if (id == ID_PAGE_UP) {
            copy(1740, 314, 156, 74, 1642, 74 * (at_oldest ? BACKLOG_DISABLED : state));
        } else if (id == ID_PAGE_DOWN) {
            copy(1740, 657, 156, 74, 1642, 74 * ((at_newest ? BACKLOG_DISABLED : state) + 4));
        } else if (id == ID_PLAY) {
            const bool any_mark = std::find(Marks.begin(), Marks.end(), 1) != Marks.end();
            copy(1739, 440, 156, 163, 1798, 163 * (any_mark ? state : BACKLOG_DISABLED));
        } else if (id >> 8 == GROUP_CLOSE) {
            copy(1735, 838, 158, 158, 1955, 158 * state);
        }
    }
    if (id == ID_THUMB)
        DrawScrollBar(state);
    if (id >> 8 == GROUP_CLOSE)
        DrawHelp(HoverId);
    if (present != 0) {
        DrawHelp(help);
        Present();
    }
}

void CBacklogScreen::Update()
{
    const int32_t id = HitTestCursor();
    if (id == HoverId)
        return;
    if (HoverId != -1) {
        DrawButton(HoverId, BACKLOG_NORMAL, 0);
        DrawHelp(-1);
    }
    HoverId = id;
    if (id == -1) {
        DrawHelp(-1);
        Present();
    } else {
        DrawButton(id, BACKLOG_HOVERED, 1);
    }
}

void CBacklogScreen::ScrollTo(int32_t top, int32_t thumb_state)
{
    Top = std::max(0, std::min(top, MaxTop));
    RedrawPage(thumb_state, 1);
}

void CBacklogScreen::StopVoice()
{
    CFuncVoice voice;
    IWaveManager* channel = voice.GetManager(0);
    if (channel == nullptr)
        return;
    if (channel->IsLoaded() != 0) {
        channel->SetVolume(VOLUME_SILENT);
        Sleep(10);
    }
    channel->Stop(true);
}

int32_t CBacklogScreen::PlayRowVoices()
{
    int32_t answer = 1;
    CFuncVoice voice;
    IWaveManager* channel = voice.GetManager(0);
    for (int32_t n = 0; ReplayVoice(n) != 0; ++n) {
        bool ended = false;
        while (channel != nullptr && channel->IsPlaying()) {
            if (PumpFrame() == 0 || IsInputTriggered(INPUT_OK)) {
                StopVoice();
                ended = true;
                break;
            }
            if (IsInputTriggered(INPUT_CANCEL)) {
                StopVoice();
                answer = 0;
                ended = true;
                break;
            }
            Sleep(1);
        }
        if (ended)
            break;
    }
    WaitInputRelease(INPUT_OK);
    WaitInputRelease(INPUT_CANCEL);
    ResetWheel();
    if (ScriptContext* context = GetScriptContext())
        context->CollectedVoiceNames.clear();
    return answer;
}

void CBacklogScreen::ReplayRow(int32_t row)
{
    StopVoice();
    DrawRow(row, BACKLOG_PRESSED);
    Present();
}

void CBacklogScreen::BatchReplay()
{
    DrawButton(ID_PLAY, BACKLOG_PRESSED, 1);
    ISelect::OnDecide();
    int32_t last = 1;
    for (auto k = static_cast<int32_t>(Marks.size()) - 1; k >= 0; --k) {
        if (IsInputTriggered(INPUT_CANCEL) || last == 0 || PumpFrame() == 0)
            break;
        Sleep(1);
        if (Marks[static_cast<size_t>(k)] != 1)
            continue;
        if (k < Top || k > Top + ROWS - 1)
            ScrollTo(std::min(std::max(k - (ROWS - 1), 0), MaxTop), 0);
        const int32_t row = Top - k + ROWS - 1;
        ReplayRow(row);
        last = PlayRowVoices();
        DrawRow(row, BACKLOG_NORMAL);
        Present();
    }
    DrawButton(ID_PLAY, BACKLOG_NORMAL, 1);
    HoverId = -1;
}

void CBacklogScreen::JumpBack(int32_t index)
{
    ForgetPage(); // the question draws over the page
    {
        CDialog dialog;
        const int32_t setup = dialog.Setup(JUMP_DIALOG_KIND, JUMP_DIALOG_DEPTH);
        if (setup == -1) {
            // Jumping back throws away the story since that message: never without asking.
            ShowPlayerMessage(0, "ダイアログの作成に失敗しました。\n履歴の画面に戻ります。");
            return;
        }
        if (setup == 1) {
            ScriptValue answer = ScriptValue::FromInteger(-1);
            dialog.Run(&answer);
            if (answer.Integer != 0)
                return;
        }
    }
    if (GameWork->GetMessageWindow())
        GameWork->GetMessageWindow()->ResetTextArea();
    const LogBuffer* record = Record(index);
    if (record == nullptr || index >= EntryCount)
        return;
    FlagBuffer* state = GetScriptState().m_current_state.get();
    if (state != nullptr)
        SaveStore::MergeIntoFlagFile(0, *state);
    if (GetScriptState().SaveDataTable)
        GetScriptState().SaveDataTable->Assign(record->JumpState);
    if (state != nullptr)
        state->Assign(record->StateSnapshot);
    SetConfigOneMes(0);
    throw GameDocument::DOCUMENT_RESTORE_STACK;
}

void CBacklogScreen::DragThumb()
{
    if (MaxTop == 0)
        return;
    const uint32_t long_press = LongPressTime;
    int32_t previous = PointerOnScreen().y;
    do {
        POINT pointer = PointerOnScreen();
        for (uint32_t key : {SCAN_DOWN, SCAN_UP}) {
            if (IsInputTriggered(key) == 0)
                continue;
            pointer.y += key == SCAN_DOWN ? KEY_POINTER_STEP : -KEY_POINTER_STEP;
            WarpCursorTo(pointer);
            LongPressTime = KEY_LONG_PRESS_MS;
            WaitInputRelease(key);
        }
        const int32_t thumb_top = ThumbTopFor(Top, MaxTop, ThumbHeight);
        if (pointer.y < thumb_top) {
            ScrollTo(Top + ROWS, BACKLOG_PRESSED);
        } else if (pointer.y > thumb_top + ThumbHeight) {
            ScrollTo(Top - ROWS, BACKLOG_PRESSED);
        } else if (pointer.y != previous) {
            // Records per pixel of travel: one per two pixels while the thumb keeps that pace.
            const auto d =
                static_cast<int32_t>(int64_t{previous - pointer.y} * MaxTop / (TRACK_HEIGHT - ThumbHeight));
            if (d != 0) {
                ScrollTo(Top + d, BACKLOG_PRESSED);
                previous = pointer.y;
            }
        }
        Sleep(1);
    } while (PumpFrame() != 0 && (IsInputTriggered(INPUT_OK) != 0 || IsInputTriggered(INPUT_DRAG) != 0));
    LongPressTime = long_press;
    DrawScrollBar(BACKLOG_NORMAL);
    Present();
}

void CBacklogScreen::OnDrag()
{
    if (HoverId == ID_THUMB)
        DragThumb();
}

void CBacklogScreen::OnDecide()
{
    const int32_t id = HoverId;
    if (id == -1)
        return;
    if (InRows(id, ID_VOICE)) {
        const int32_t row = id - ID_VOICE;
        if (GetConfigVoiceEnable() && RowHasVoice(row)) {
            PlayOkSound(SCREEN_SOUND_CHANNEL);
            ReplayRow(row);
            DrawButton(id, BACKLOG_PRESSED, 1);
            WaitInputRelease(INPUT_OK);
            PlayRowVoices();
            DrawRow(row, BACKLOG_NORMAL);
            DrawButton(id, BACKLOG_NORMAL, 1);
            HoverId = -1;
        }
    } else if (InRows(id, ID_CHECK)) {
        const int32_t row = id - ID_CHECK;
        const auto mark = static_cast<size_t>(Top + ROWS - 1 - row);
        if (RowHasVoice(row) && mark < Marks.size()) {
            Marks[mark] = Marks[mark] == 1 ? 0 : 1;
            DrawButton(id, BACKLOG_HOVERED, 1);
            DrawButton(ID_PLAY, BACKLOG_NORMAL, 1);
        }
    } else if (InRows(id, ID_JUMP)) {
        const int32_t row = id - ID_JUMP;
        if (RowHasRecord(row)) {
            PlayOkSound(SCREEN_SOUND_CHANNEL);
            DrawButton(id, BACKLOG_PRESSED, 1);
            ISelect::OnDecide();
            JumpBack(RowRecord(row));
            DrawButton(id, BACKLOG_NORMAL, 1);
        }
    } else if (id == ID_ARROW_UP || id == ID_ARROW_DOWN) {
        const bool older = id == ID_ARROW_UP;
        if (Top != (older ? MaxTop : 0)) {
            PlayOkSound(SCREEN_SOUND_CHANNEL);
            DrawButton(id, BACKLOG_PRESSED, 1);
            ScrollTo(Top + (older ? 1 : -1), BACKLOG_NORMAL);
            HoverId = -1;
        }
    } else if (id == ID_THUMB) {
        DragThumb();
        DrawButton(ID_ARROW_UP, BACKLOG_NORMAL, 0);
        DrawButton(ID_ARROW_DOWN, BACKLOG_NORMAL, 0);
        DrawScrollBar(BACKLOG_NORMAL);
        Present();
        HoverId = -1;
    } else if (id == ID_PAGE_UP || id == ID_PAGE_DOWN) {
        const bool older = id == ID_PAGE_UP;
        if (Top != (older ? MaxTop : 0)) {
            PlayOkSound(SCREEN_SOUND_CHANNEL);
            DrawButton(id, BACKLOG_PRESSED, 1);
            ISelect::OnDecide();
            ScrollTo(Top + (older ? ROWS : -ROWS), BACKLOG_NORMAL);
            HoverId = -1;
        }
    } else if (id == ID_PLAY) {
        if (std::find(Marks.begin(), Marks.end(), 1) != Marks.end()) {
            PlayOkSound(SCREEN_SOUND_CHANNEL);
            BatchReplay();
        }
    } else if (id >> 8 == GROUP_CLOSE) {
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        DrawButton(id, BACKLOG_PRESSED, 1);
        ISelect::OnDecide();
        Result = ScriptValue::FromInteger(-1);
        Running = 0;
        return;
    }
    ISelect::OnDecide();
}

int32_t CBacklogScreen::KeyTarget(int32_t from, uint32_t key)
{
    if (from == -1)
        return ID_VOICE;
    const bool up = key == SCAN_UP;
    const bool down = key == SCAN_DOWN;
    const bool left = key == SCAN_LEFT;
    const bool right = key == SCAN_RIGHT;
    // A check box where the row's record has a voice, else its jump button.
    auto check_or_jump = [&](int32_t row) { return RowHasVoice(row) ? ID_CHECK + row : ID_JUMP + row; };
    auto arrow_beside = [&](int32_t row) { return row < ROWS - 1 ? ID_ARROW_UP : ID_ARROW_DOWN; };
    if (InRows(from, ID_VOICE)) {
        const int32_t row = from - ID_VOICE;
        if (up)
            return row > 0 ? ID_VOICE + row - 1 : -1;
        if (down)
            return row < ROWS - 1 ? ID_VOICE + row + 1 : -1;
        return right ? ID_JUMP + row : -1;
    }
    if (InRows(from, ID_CHECK)) {
        const int32_t row = from - ID_CHECK;
        if (up) {
            if (row == 0)
                return -1;
            return RowHasVoice(row - 1) ? ID_CHECK + row - 1
                                        : (RowHasRecord(row - 1) ? ID_JUMP + row - 1 : -1);
        }
        if (down) {
            if (row == ROWS - 1)
                return -1;
            if (RowHasVoice(row + 1))
                return ID_CHECK + row + 1;
            return RowHasRecord(row + 1) ? ID_JUMP + row + 1 : ID_VOICE + row + 1;
        }
        return left ? ID_JUMP + row : arrow_beside(row);
    }
    if (InRows(from, ID_JUMP)) {
        const int32_t row = from - ID_JUMP;
        if (up)
            return row > 0 && RowHasRecord(row - 1) ? ID_JUMP + row - 1 : -1;
        if (down)
            return row < ROWS - 1 && RowHasRecord(row + 1) ? ID_JUMP + row + 1 : -1;
        if (left)
            return ID_VOICE + row;
        return RowHasVoice(row) ? ID_CHECK + row : arrow_beside(row);
    }
    if (from >> 8 == GROUP_CLOSE)
        return up ? ID_PAGE_DOWN : (left ? ID_ARROW_DOWN : -1);
    switch (from) {
    case ID_ARROW_UP:
        return down ? ID_ARROW_DOWN : left ? check_or_jump(0) : right ? ID_PAGE_UP : -1;
    case ID_ARROW_DOWN:
        return up ? ID_ARROW_UP : down ? ID_CLOSE_BELOW : left ? check_or_jump(2) : ID_PAGE_DOWN;
    case ID_THUMB:
        return up ? ID_ARROW_UP : down ? ID_ARROW_DOWN : left ? check_or_jump(1) : ID_PLAY;
    case ID_PAGE_UP:
        return down ? ID_PLAY : left ? ID_ARROW_UP : -1;
    case ID_PAGE_DOWN:
        return up ? ID_PLAY : down ? ID_CLOSE : left ? ID_ARROW_UP : -1;
    case ID_PLAY:
        return up ? ID_PAGE_UP : down ? ID_PAGE_DOWN : left ? ID_ARROW_DOWN : -1;
    default:
        return -1;
    }
}

int32_t CBacklogScreen::MoveByKey(uint32_t key)
{
    const int32_t target = KeyTarget(HoverId, key);
    if (target != -1) {
        HitAreas.MoveCursorToArea(static_cast<uint32_t>(target));
        Update();
    }
    WaitInputRelease(key);
    return 0;
}

int32_t CBacklogScreen::OnUpKey()
{
    return MoveByKey(SCAN_UP);
}

int32_t CBacklogScreen::OnDownKey()
{
    return MoveByKey(SCAN_DOWN);
}

int32_t CBacklogScreen::OnLeftKey()
{
    return MoveByKey(SCAN_LEFT);
}

int32_t CBacklogScreen::OnRightKey()
{
    return MoveByKey(SCAN_RIGHT);
}
