#pragma once
// The base of the system-menu pages (settings, sound settings, save and load, backlog, flag
// check). The pages share one set of full-screen layers and a font, made by the first page that
// builds its parts and kept while any page holds them, so that moving from one page to the next
// cross-fades inside one view instead of fading out to the game and in again. Main thread only.

#include <cstdint>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "screens/base/ISelect.h"

class CFontDIB;
class CSpriteAnime;
class CSpriteLayer;
class ILayer;

// The size of the shared font and the steps of the page transitions.
inline constexpr int32_t SYSTEM_FONT_SIZE = 30;
inline constexpr int32_t SYSTEM_FADE_STEPS = 12;
// The effect channel of the pages' own sounds.
inline constexpr int32_t SYSTEM_SOUND_CHANNEL = 2;

// States of a page tab.
inline constexpr int32_t TAB_NORMAL = 0;
inline constexpr int32_t TAB_CURRENT = 2;
inline constexpr int32_t TAB_DISABLED = 3;

// The pages of the system menu.
inline constexpr int32_t MENU_PAGE_CONFIG = 0;
inline constexpr int32_t MENU_PAGE_SOUND = 1;
inline constexpr int32_t MENU_PAGE_SAVE = 2;
inline constexpr int32_t MENU_PAGE_LOAD = 3;
inline constexpr int32_t MENU_PAGE_BACKLOG = 4;
inline constexpr int32_t MENU_PAGE_TITLE = 5;

class ISystemParts : public ISelect
{
public:
    ISystemParts() = default;
    ~ISystemParts() override;

    // Takes a hold on the shared parts, making them when no page holds them; 1 on success, 0
    // when they cannot be made (then nothing is held and nothing is left half made).
    virtual int32_t CreateParts();
    // Drops this page's hold; the last hold frees the parts.
    virtual void ReleaseParts();
    // The page's parts for an opening: made unless this page holds them already; 1 when held.
    int32_t EnsureParts() { return m_holds_parts ? 1 : CreateParts(); }
    // Shows what waits in the image layers: cross-fades when a page is showing, fades in when
    // the view is hidden, nothing when no new picture waits. Both image layers end hidden.
    virtual void OpenTransition(CSpriteAnime* anime);
    // Fades the view out unless KeepView; plays what the caller put in its animation either way.
    virtual void CloseTransition(CSpriteAnime* anime);
    virtual void PlaySound(CStringUTF8 name);

    // 0 normal, 2 the current page, 3 disabled, for a tab's id (its page is id % 256).
    int32_t GetMenuTabState(int32_t id);
    // Wraps the text to the rectangle in the shared font and centres the lines vertically.
    void DrawTextInRect(CStringUTF8 text, ILayer* layer, uint32_t colour, int32_t size, int32_t left, int32_t top,
                        int32_t right, int32_t bottom);
    // Draws from (x, y), breaking at "\n", "\\" and the layer's right edge, the text cut to
    // max_width half-width units; answers the height of the lines begun by breaks in the text.
    int32_t DrawTextFlow(int32_t x, int32_t y, CStringUTF8 text, ILayer* layer, int32_t max_width, int32_t size,
                         uint32_t colour, uint32_t second_colour);

    // The settings pages' help line: the help layer cleared, the text (none when empty) written
    // in white, and the line copied into the mask. False, drawing nothing, without either layer.
    bool DrawHelpLine(ILayer* help, const CStringUTF8& text);
    // The settings pages' hover moved to the control id under the pointer (-1 none): the old
    // control drawn normal, then the new one hovered, or with none the help line cleared.
    template <typename DrawControl, typename ClearHelp>
    static void TrackControlHover(int32_t& hovered, int32_t id, DrawControl draw, ClearHelp clear_help)
    {
        if (id == hovered)
            return;
        if (hovered != -1)
            draw(hovered, 0);
        hovered = id;
        if (id != -1)
            draw(id, 1);
        else
            clear_help();
    }

    // Whether this page holds the shared parts.
    bool HoldsParts() const { return m_holds_parts; }
    // The pixels of the shared view and mask layers; null while no page holds them.
    static ILayer* GetViewPixels();
    static ILayer* GetMaskPixels();
    // The pixels of the image layers and the work layer, never shown themselves; nulls while no
    // page holds them.
    static std::vector<ILayer*> GetUnshownPixels();

    int32_t KeepView = 0;
    int32_t CurrentPage = -1;
    int32_t DrawToImage = 0;

protected:
    // The shared parts; null while no page holds them.
    static CSpriteLayer* ViewLayer();
    static CSpriteLayer* ViewImageLayer();
    static CSpriteLayer* MaskLayer();
    static CSpriteLayer* MaskImageLayer();
    static CSpriteLayer* WorkLayer();
    static CFontDIB* SharedFont();
    // Where the view and the mask are drawn now: their image layers while DrawToImage.
    ILayer* ViewTarget();
    ILayer* MaskTarget();

    // A new memory sprite of the picture, or null without a word when the archive lacks it: the
    // pages ask for pictures a language may not have.
    CSprite* LoadPictureIfPresent(const char* name);
    // As LoadPictureIfPresent, a sheet shared with the other screens that hold it.
    std::shared_ptr<CSprite> LoadSheetIfPresent(const char* name);
    // Whether the archive holds the picture.
    bool PicturePresent(const char* name);

    // The pointer in screen pixels, and a warp of it to a screen point.
    POINT PointerOnScreen();
    void WarpCursorTo(POINT screen);
    // Warps to the centre of what the window shows of a scrolled control's area, moved up by the
    // offset; the pointer stays when none of it shows.
    void WarpToVisiblePart(const HitArea& area, int32_t offset, const RECT& window);
    // The control of the groups and items up to the given ones whose area's centre, moved up by
    // the offset, lies nearest to the point (the first of equals); -1 when none has an area.
    int32_t NearestControl(POINT from, int32_t offset, int32_t last_group, int32_t last_item);

private:
    bool m_holds_parts = false;
};
