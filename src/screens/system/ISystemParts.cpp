#include "screens/system/ISystemParts.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "foundation/CExecException.h"
#include "foundation/CInputView.h"
#include "foundation/CString.h"
#include "foundation/IMouse.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CDirect3D.h"
#include "graphics/CFontDIB.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/GlobalDataBuffer.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/system/ConfigLayout.h"
#include "script/FlagBuffer.h"
#include "script/commands/CFuncEffect.h"
#include "script/vm/BacklogStore.h"

namespace {

// The variables that close the save and load pages, the one set once a game was saved, and the
// game-state word whose bit opens the pages that need a running story.
inline constexpr size_t VARIABLE_REPLAY = 69;
inline constexpr size_t VARIABLE_LOCKED = 70;
inline constexpr size_t VARIABLE_SAVED = 53;
inline constexpr size_t VALUE_ENGINE_STATE = 55;
inline constexpr uint32_t ENGINE_STATE_PAGES_USABLE = 0x4;
inline constexpr size_t VALUE_TEXT_FLAGS = 29;

inline constexpr int32_t VIEW_PRIORITY = 111;
inline constexpr int32_t MASK_PRIORITY = 112;

struct SharedParts
{
    int32_t holds = 0;
    std::unique_ptr<CFontDIB> font;
    std::unique_ptr<CSprite> view;
    std::unique_ptr<CSprite> view_image;
    std::unique_ptr<CSprite> mask;
    std::unique_ptr<CSprite> mask_image;
    std::unique_ptr<CSprite> work;

    void Free()
    {
        mask.reset();
        mask_image.reset();
        view.reset();
        view_image.reset();
        work.reset();
        if (font)
            font->Release();
        font.reset();
    }
};

SharedParts& Shared()
{
    static SharedParts parts;
    return parts;
}

CSpriteLayer* AsLayer(const std::unique_ptr<CSprite>& sprite)
{
    return dynamic_cast<CSpriteLayer*>(sprite.get());
}

int32_t VariableOf(const FlagBuffer* state, size_t index)
{
    return state != nullptr && index < state->Variables.size() ? state->Variables[index].Integer : 0;
}

// The game state counts only while it has its values.
bool Usable(const FlagBuffer* state)
{
    return state != nullptr && !state->Values.empty();
}

bool PagesUsable(const FlagBuffer* state)
{
    return Usable(state) && state->Values.size() > VALUE_ENGINE_STATE &&
           (static_cast<uint32_t>(state->Values[VALUE_ENGINE_STATE].Integer) & ENGINE_STATE_PAGES_USABLE) != 0;
}

uint32_t TextFlags(const FlagBuffer* state)
{
    return state != nullptr && state->Values.size() > VALUE_TEXT_FLAGS
               ? static_cast<uint32_t>(state->Values[VALUE_TEXT_FLAGS].Integer)
               : 0;
}

// Runs the records on the given animation, or on one made for the call.
void PlayOn(CSpriteAnime* anime, const std::function<void(CSpriteAnime&)>& fill)
{
    std::unique_ptr<CSpriteAnime> local;
    if (anime == nullptr) {
        local = std::make_unique<CSpriteAnime>();
        anime = local.get();
    }
    fill(*anime);
    anime->PlayAndWait();
}

} // namespace

ISystemParts::~ISystemParts()
{
    ISystemParts::ReleaseParts();
}

CSpriteLayer* ISystemParts::ViewLayer()
{
    return AsLayer(Shared().view);
}

CSpriteLayer* ISystemParts::ViewImageLayer()
{
    return AsLayer(Shared().view_image);
}

CSpriteLayer* ISystemParts::MaskLayer()
{
    return AsLayer(Shared().mask);
}

CSpriteLayer* ISystemParts::MaskImageLayer()
{
    return AsLayer(Shared().mask_image);
}

CSpriteLayer* ISystemParts::WorkLayer()
{
    return AsLayer(Shared().work);
}

CFontDIB* ISystemParts::SharedFont()
{
    return Shared().font.get();
}

ILayer* ISystemParts::ViewTarget()
{
    return DrawToImage != 0 ? static_cast<ILayer*>(ViewImageLayer()) : SpriteLayerOf(ViewLayer());
}

ILayer* ISystemParts::MaskTarget()
{
    return DrawToImage != 0 ? static_cast<ILayer*>(MaskImageLayer()) : SpriteLayerOf(MaskLayer());
}

bool ISystemParts::PicturePresent(const char* name)
{
    CLayerFile* file = LayerFile();
    CStringUTF8 entry(name);
    entry.MakeUpper(); // the archive's index holds upper-case names
    return file != nullptr && file->Exists(entry) != 0;
}

CSprite* ISystemParts::LoadPictureIfPresent(const char* name)
{
    if (!PicturePresent(name))
        return nullptr;
    try {
        return LoadSprite(name, nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0);
    } catch (const CString&) {
        return nullptr;
    }
}

std::shared_ptr<CSprite> ISystemParts::LoadSheetIfPresent(const char* name)
{
    if (!PicturePresent(name))
        return nullptr;
    try {
        return LoadSheet(name);
    } catch (const CString&) {
        return nullptr;
    }
}

POINT ISystemParts::PointerOnScreen()
{
    POINT position{};
    if (IMouse* mouse = InputView->GetMouse())
        mouse->GetPosition(&position);
    return CDirect3D::GetInstance()->WindowToLogical(position);
}

void ISystemParts::WarpCursorTo(POINT screen)
{
    const POINT window = CDirect3D::GetInstance()->LogicalToWindow(screen);
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetPosition(window.x, window.y);
}

void ISystemParts::WarpToVisiblePart(const HitArea& area, int32_t offset, const RECT& window)
{
    const int32_t left = std::max(area.Left, window.left);
    const int32_t right = std::min(area.Right, window.right);
    const int32_t top = std::max(area.Top - offset, window.top);
    const int32_t bottom = std::min(area.Bottom - offset, window.bottom);
    if (left < right && top < bottom)
        WarpCursorTo(POINT{(left + right) / 2, (top + bottom) / 2});
}

int32_t ISystemParts::NearestControl(POINT from, int32_t offset, int32_t last_group, int32_t last_item)
{
    int32_t best = -1;
    int32_t best_distance = 65535;
    for (int32_t group = 0; group <= last_group; ++group) {
        for (int32_t item = 0; item <= last_item; ++item) {
            const HitArea* area = HitAreas.Find(static_cast<uint32_t>(group * 256 + item));
            if (area == nullptr)
                continue;
            const double dx = (area->Left + area->Right) / 2 - from.x;
            const double dy = (area->Top + area->Bottom) / 2 - offset - from.y;
            const auto distance = static_cast<int32_t>(std::sqrt(dx * dx + dy * dy));
            if (distance < best_distance) {
                best_distance = distance;
                best = group * 256 + item;
            }
        }
    }
    return best;
}

int32_t ISystemParts::CreateParts()
{
    SharedParts& parts = Shared();
    if (m_holds_parts)
        return 1;
    if (parts.holds > 0) {
        ++parts.holds;
        m_holds_parts = true;
        return 1;
    }
    try {
        parts.font = std::make_unique<CFontDIB>();
        parts.font->Create(GetLanguageFontName());
        if (parts.font->SetFontSize(SYSTEM_FONT_SIZE, SYSTEM_FONT_SIZE) == 0)
            throw CExecException("font");
        const SIZE size = GetScreenOriginalSize(0);
        const auto w = static_cast<int32_t>(size.cx);
        const auto h = static_cast<int32_t>(size.cy);
        parts.view.reset(CreateSprite(0, 0, w, h, VIEW_PRIORITY, LAYER_KIND_TEXTURE, 0));
        parts.view_image.reset(CreateSprite(0, 0, w, h, -1, LAYER_KIND_MEMORY, 0));
        parts.mask.reset(CreateSprite(0, 0, w, h, MASK_PRIORITY, LAYER_KIND_TEXTURE, 0));
        parts.mask_image.reset(CreateSprite(0, 0, w, h, -1, LAYER_KIND_MEMORY, 0));
        parts.work.reset(CreateSprite(0, 0, LOGICAL_WIDTH, LOGICAL_HEIGHT, -1, LAYER_KIND_MEMORY, 0));
        if (!ViewLayer() || !ViewImageLayer() || !MaskLayer() || !MaskImageLayer() || !WorkLayer())
            throw CExecException("layer");
    } catch (const CExecException&) {
        parts.Free();
        return 0;
    } catch (const CString&) {
        parts.Free();
        return 0;
    }
    // The flag-check pages read this file from the buffer; a missing file leaves it empty.
    try {
        LoadFileToGlobalBuffer("sysmenu.carea");
    } catch (const CString&) {
    } catch (const CExecException&) {
    }
    parts.holds = 1;
    m_holds_parts = true;
    return 1;
}

void ISystemParts::ReleaseParts()
{
    if (!m_holds_parts)
        return;
    m_holds_parts = false;
    SharedParts& parts = Shared();
    if (--parts.holds == 0)
        parts.Free();
}

void ISystemParts::OpenTransition(CSpriteAnime* anime)
{
    CSpriteLayer* view = ViewLayer();
    CSpriteLayer* view_image = ViewImageLayer();
    CSpriteLayer* mask = MaskLayer();
    CSpriteLayer* mask_image = MaskImageLayer();
    if (!view || !view_image || !mask || !mask_image)
        return;
    const SIZE size = GetScreenOriginalSize(0);
    const auto w = static_cast<int32_t>(size.cx);
    const auto h = static_cast<int32_t>(size.cy);
    PlayOn(anime, [&](CSpriteAnime& play) {
        if (view_image->IsVisible() && view->IsVisible()) {
            SpriteAnimRecord mask_fade(SYSTEM_FADE_STEPS);
            mask_fade.SetCrossFade(mask_image, 0, 0, w, h);
            mask->AddAnimation(mask_fade);
            SpriteAnimRecord view_fade(SYSTEM_FADE_STEPS);
            view_fade.SetCrossFade(view_image, 0, 0, w, h);
            view->AddAnimation(view_fade);
        } else if (!view->IsVisible()) {
            SpriteLayerOf(view)->Blt(0, 0, w, h, view_image, 0, 0, 1);
            SpriteLayerOf(mask)->Blt(0, 0, w, h, mask_image, 0, 0, 1);
            for (CSpriteLayer* layer : {view, mask}) {
                layer->Invalidate(1, *layer->GetRect());
                SpriteAnimRecord fade_in(SYSTEM_FADE_STEPS);
                fade_in.SetAlpha(0, 255);
                fade_in.SetVisible(1);
                layer->AddAnimation(fade_in);
            }
        }
        play.AddSprite(view);
        play.AddSprite(mask);
    });
    mask_image->SetVisibleFlag(0);
    view_image->SetVisibleFlag(0);
}

ILayer* ISystemParts::GetViewPixels()
{
    return SpriteLayerOf(ViewLayer());
}

ILayer* ISystemParts::GetMaskPixels()
{
    return SpriteLayerOf(MaskLayer());
}

std::vector<ILayer*> ISystemParts::GetUnshownPixels()
{
    return {SpriteLayerOf(ViewImageLayer()), SpriteLayerOf(MaskImageLayer()), SpriteLayerOf(WorkLayer())};
}

void ISystemParts::CloseTransition(CSpriteAnime* anime)
{
    CSpriteLayer* view = ViewLayer();
    CSpriteLayer* mask = MaskLayer();
    PlayOn(anime, [&](CSpriteAnime& play) {
        if (KeepView != 0 || !view || !mask)
            return;
        for (CSpriteLayer* layer : {mask, view}) {
            SpriteAnimRecord fade_out(SYSTEM_FADE_STEPS);
            fade_out.SetAlpha(255, 0);
            fade_out.SetVisible(0);
            layer->AddAnimation(fade_out);
            play.AddSprite(layer);
        }
    });
    // Faded out, the view and the mask are copied in whole from their image layers on the next
    // entry, which draws its first picture into those whole and fills the work layer before it
    // reads it: all five give their pixels back to the system meanwhile.
    if (KeepView != 0 || !view || !mask || view->IsVisible() || mask->IsVisible())
        return;
    ClearSpriteLayers({mask, view, MaskImageLayer(), ViewImageLayer(), WorkLayer()});
}

void ISystemParts::PlaySound(CStringUTF8 name)
{
    CFuncEffect effect;
    effect.Play(name, SYSTEM_SOUND_CHANNEL, 1);
}

int32_t ISystemParts::GetMenuTabState(int32_t id)
{
    const int32_t page = id % 256;
    const FlagBuffer* state = CurrentFlagBuffer();
    bool disabled = false;
    switch (page) {
    case MENU_PAGE_SAVE:
        disabled = VariableOf(state, VARIABLE_REPLAY) != 0 || VariableOf(state, VARIABLE_LOCKED) != 0 ||
                   !PagesUsable(state);
        break;
    case MENU_PAGE_LOAD:
        disabled = VariableOf(state, VARIABLE_REPLAY) != 0 || VariableOf(state, VARIABLE_LOCKED) != 0 ||
                   VariableOf(state, VARIABLE_SAVED) == 0;
        break;
    case MENU_PAGE_BACKLOG:
        disabled = !PagesUsable(state) || CountBacklogEntries() == 0;
        break;
    case MENU_PAGE_TITLE:
        return PagesUsable(state) ? TAB_NORMAL : TAB_DISABLED;
    default:
        break;
    }
    if (disabled)
        return TAB_DISABLED;
    return CurrentPage == page ? TAB_CURRENT : TAB_NORMAL;
}

void ISystemParts::DrawTextInRect(CStringUTF8 text, ILayer* layer, uint32_t colour, int32_t size, int32_t left,
                                  int32_t top, int32_t right, int32_t bottom)
{
    CFontDIB* font = SharedFont();
    if (font == nullptr || size <= 1)
        return;
    font->SetFontSize(size, size);
    const int32_t half = size / 2;
    const int32_t limit = half * ((right - left) / half);
    const uint32_t flags = TextFlags(CurrentFlagBuffer());
    const int count = text.GetCharCount();
    auto advance = [&](const std::string& c) {
        if (c == "\n")
            return 0;
        return IsFullWidthChar(c) ? size : half;
    };

    int32_t x = left;
    int32_t y = top;
    for (int i = 0; i < count; ++i) {
        const std::string c = text.GetCharAt(i);
        if ((x - left) + advance(c) > limit) {
            x = left;
            y += size;
        }
        if (c == "\n") {
            y += size;
            x = left;
            ++i; // measured as if the line break took the character after it along
        } else {
            x += advance(c);
        }
    }
    const int32_t lines = (y - top) / size + 1;
    y = top + ((bottom - top) - lines * size) / 2;
    x = left;
    for (int i = 0; i < count; ++i) {
        const std::string c = text.GetCharAt(i);
        if ((x - left) + advance(c) > limit) {
            x = left;
            y += size;
        }
        if (c == "\n") {
            x = left;
            y += size;
            continue;
        }
        font->DrawText(c, x, y, colour, 0, layer, flags);
        x += advance(c);
    }
}

int32_t ISystemParts::DrawTextFlow(int32_t x, int32_t y, CStringUTF8 text, ILayer* layer, int32_t max_width,
                                   int32_t size, uint32_t colour, uint32_t second_colour)
{
    CFontDIB* font = SharedFont();
    if (font == nullptr || layer == nullptr)
        return size;
    font->Create(GetLanguageFontName());
    font->SetFontSize(size, size);
    text.TruncateToWidth(max_width);
    const uint32_t flags = TextFlags(CurrentFlagBuffer());
    const int32_t x0 = x;
    int32_t bottom = y + size;
    int32_t height = size;
    const int count = text.GetCharCount();
    for (int i = 0; i < count; ++i) {
        const std::string c = text.GetCharAt(i);
        if (c == "\n" || c == "\\") {
            if (x == x0)
                continue; // no empty line
            x = x0;
            y += size;
            bottom += size;
            height += size;
        } else {
            font->DrawText(c, x, y, colour, second_colour, layer, flags);
            x += IsFullWidthChar(c) ? size : size / 2;
        }
        if (x + size > layer->GetWidth()) {
            x = x0;
            y += size;
            bottom += size;
        }
        if (bottom > layer->GetHeight())
            break;
    }
    return height;
}

bool ISystemParts::DrawHelpLine(ILayer* help, const CStringUTF8& text)
{
    using namespace config_layout;
    ILayer* mask = MaskTarget();
    if (help == nullptr || mask == nullptr)
        return false;
    LiveDrawLock lock;
    help->SetAlphaRect(0, 0, HELP_WIDTH, HELP_HEIGHT, 0);
    if (!text.IsEmpty())
        DrawTextInRect(text, help, 0xFFFFFFFF, HELP_TEXT_SIZE, 0, 0, HELP_WIDTH, HELP_HEIGHT);
    mask->Blt(HELP_X, HELP_Y, HELP_WIDTH, HELP_HEIGHT, help, 0, 0, 1);
    return true;
}
