#pragma once
// The settings page of the system menu: message speed and modes, window colour, auto save,
// help, confirmations, effect and map speeds, the system choice and the game mode, on a page
// taller than the screen that scrolls inside a fixed window, with a typing message sample that
// shows the chosen speed. It edits its own copy of the settings and writes it back on every way
// out, so a page left by any road leaves the stored settings matching what was shown.

#include <cstdint>
#include <memory>

#include "foundation/CONFIG_STATE.h"
#include "screens/system/ISystemParts.h"

class CSprite;
class CSpriteLayer;
class ILayer;

// The page's scroll range and the part of it the window shows.
inline constexpr int32_t CONFIG_SCROLL_RANGE = 715;
inline constexpr int32_t CONFIG_PAGE_WIDTH = 1600;
inline constexpr int32_t CONFIG_PAGE_HEIGHT = 1443;

class CConfig : public ISystemParts, public CONFIG_STATE
{
public:
    CConfig();
    ~CConfig() override;

    // Loads the settings, then runs the page; its result is 1 (the sound page) or -1 (leave).
    ScriptValue* Run(ScriptValue* out) override;
    void Show() override;
    void Hide() override;
    // Shuts the page and reloads the settings, so that an unsaved way out leaves nothing behind.
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    // Moves the pointer by the key's table, shows the new hover and waits for the key to go up.
    int32_t OnArrowKey(uint32_t scan_code) override;
    void OnDrag() override;
    void OnMouseWheel(int32_t count) override;
    void OnDecide() override;
    void OnCancel() override;
    int32_t CreateParts() override;
    void ReleaseParts() override;

    // Drawing: page controls go to the page image, fixed ones to the mask.
    void BuildPage();
    void RedrawPage();
    // State 0 normal, 1 hover, 2 pressed; writes the control's help line and shows the view.
    void DrawControl(int32_t id, int32_t state);
    void DrawHelp(int32_t id);
    // `page_part`: the only part of the page image drawn since the last refresh; null for any.
    void RefreshView(bool present, const RECT* page_part = nullptr);
    void DrawScrollBar();
    void DrawScrollThumb(int32_t state, bool present);
    void TickMessageSample();

    // Drags, each until the button is let go; the speed drag answers the value and stores nothing.
    float DragSpeedSlider(int32_t group);
    void DragColorSlider(int32_t item);
    void DragScrollThumb();

    void MoveCursorToControl(int32_t group, int32_t item);
    void MoveCursorToKnob(int32_t group, int32_t item);
    void MoveCursorToNearest(int32_t from);

    int32_t GetHovered() const { return m_hovered; }
    float GetScrollPosition() const { return m_scroll_position; }
    int32_t GetScrollOffset() const { return m_scroll_offset; }
    // The sample box's hole in the view, empty when scrolled out.
    const RECT& GetSampleHole() const { return m_sample_hole; }
    CSpriteLayer* PageImage() const;

private:
    // A switch's field by its control, or null for ids that are no switches.
    int32_t* SwitchField(int32_t group, int32_t item);
    float* SpeedField(int32_t group);
    float* ColourField(int32_t item);
    bool SliderOn(int32_t group);
    void Press(int32_t id);
    void Decide(int32_t id);
    // The control under the pointer: fixed controls first, then the scrolled page.
    int32_t HoverTest();
    void SetScroll(float position);
    void Present();

    void DrawToggle(int32_t group, int32_t item, int32_t state);
    // The confirmation-dialog switches (group 11).
    void DrawDialogToggle(int32_t item, int32_t state) { DrawToggle(11, item, state); }
    void DrawSpeedSlider(int32_t group, float value, int32_t state);
    void DrawColorSlider(int32_t item, int32_t state);
    void DrawRadio(int32_t group, int32_t item, int32_t state);
    // The effect-speed radios (group 10) and the map-speed radios (group 18).
    void DrawEffectSpeedRadio(int32_t item, int32_t state) { DrawRadio(10, item, state); }
    void DrawMapSpeedRadio(int32_t item, int32_t state) { DrawRadio(18, item, state); }
    void DrawSystemCell(int32_t item, int32_t state);
    void DrawFixed(int32_t id, int32_t state);
    void DrawSwatch();
    void DrawSampleLabel();
    void ClearSampleBox();
    void DrawPageControls();
    // Marks the view and the mask drawn so the next frame shows them.
    void Touch();
    // Ends the run with a page result.
    void Leave(int32_t result, int32_t keep_view);

    int32_t m_hovered = -1;
    float m_scroll_position = 0;
    int32_t m_scroll_offset = 0;
    CStringUTF8 m_sample_text;
    int32_t m_sample_index = 0;
    int32_t m_sample_cell = 0;
    uint32_t m_sample_next = 0;
    RECT m_sample_rect{};
    RECT m_sample_hole{};
    // What the view was last built from. The sample types many times a second at rest; a
    // refresh that rebuilt the unchanged view each time redrew the whole window with it.
    struct ViewSources
    {
        const ILayer* view = nullptr;
        const ILayer* work = nullptr;
        const ILayer* cover = nullptr;
        uint64_t view_writes = 0;
        uint64_t work_writes = 0;
        uint64_t cover_writes = 0;
        int32_t offset = 0;
        RECT hole{};
        bool operator==(const ViewSources& other) const;
    };
    ViewSources m_view_sources;
    std::shared_ptr<CSprite> m_parts; // shared with the sound settings
    std::unique_ptr<CSprite> m_cover;
    std::unique_ptr<CSprite> m_help;
    std::unique_ptr<CSprite> m_page;
};
