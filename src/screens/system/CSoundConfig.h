#pragma once
// The sound settings page of the system menu: switches and volume sliders for the master sound,
// music, effects and voices and for each character's voice, and the click-end switch, on a
// panel that scrolls inside a window. Dragging a slider sets the live channels at once and plays
// that group's test sound, so the player hears the level being chosen. Every way out writes the
// settings back; closing reloads them and puts the master level on the channels again.

#include <cstdint>
#include <initializer_list>
#include <memory>

#include "foundation/CONFIG_STATE.h"
#include "screens/system/ISystemParts.h"

class CSprite;
class IWaveManager;

// The panel's scroll range and size.
inline constexpr int32_t SOUND_SCROLL_RANGE = 528;
inline constexpr int32_t SOUND_PANEL_WIDTH = 1632;
inline constexpr int32_t SOUND_PANEL_HEIGHT = 1449;

class CSoundConfig : public ISystemParts, public CONFIG_STATE
{
public:
    CSoundConfig();
    ~CSoundConfig() override;

    // Settles fading channels and stops the voices before the page opens.
    ScriptValue* Run(ScriptValue* out) override;
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    int32_t OnArrowKey(uint32_t scan_code) override;
    void OnDrag() override;
    void OnMouseWheel(int32_t count) override;
    void OnDecide() override;
    void OnCancel() override;
    int32_t CreateParts() override;
    void ReleaseParts() override;

    // Group 0 master, 1 music, 2 effects, 3 voice, 4 + k character k's voice.
    void ApplyVolume(int32_t enabled, int32_t group, float volume);
    void PlaySample(int32_t group);
    // The value of a slider for a pointer x on the screen.
    static float SliderValue(int32_t pointer_x, int32_t slider_x);

    void DrawAll();
    void DrawControl(int32_t id, int32_t state);
    void DrawHelp(int32_t id);
    void RedrawPanel(bool present);
    void DrawScrollThumb(int32_t state, bool present);

    int32_t GetHovered() const { return m_hovered; }
    int32_t GetScrollOffset() const { return m_scroll_offset; }
    // The panel and the copy of its cover, drawn again on each open.
    ILayer* GetPanelLayer() const;
    ILayer* GetCoverCopyLayer() const;

private:
    // The first of the pictures the archive has.
    std::unique_ptr<CSprite> LoadFirst(std::initializer_list<const char*> names);
    std::shared_ptr<CSprite> LoadFirstSheet(std::initializer_list<const char*> names);
    // The on and volume fields of a group (0-3) or of a character (4 + k).
    int32_t* EnableField(int32_t group);
    float* VolumeField(int32_t group);
    // One routine each draws and drags the controls of the sound groups (0-3) and of the
    // characters (group 4 + k); the names below say which a caller means.
    void DrawSwitch(int32_t group, int32_t state);
    void DrawSlider(int32_t group, float value, int32_t state, bool present);
    void DrawGroupSwitch(int32_t g, int32_t state);
    void DrawCharSwitch(int32_t k, int32_t state);
    void DrawGroupSlider(int32_t g, float value, int32_t state, bool present);
    void DrawCharSlider(int32_t k, float value, int32_t state, bool present);
    void DragGroupSlider(int32_t g);
    void DragCharSlider(int32_t k);
    void DrawClickEnd(int32_t state);
    void DrawFixed(int32_t id, int32_t state);
    void DragSlider(int32_t group);
    void DragScrollBar();
    void Scrolled();
    void Press(int32_t id);
    int32_t HoverTest();
    void MoveToControl(int32_t group, int32_t item);
    void MoveToSlider(int32_t group);
    void MoveToNearestControl(int32_t id);
    void StopSample(int32_t group);

    int32_t m_hovered = -1;
    int32_t m_sample_played = 0;
    float m_scroll_ratio = 0;
    int32_t m_scroll_offset = 0;
    std::shared_ptr<CSprite> m_sheet; // shared with the settings
    std::unique_ptr<CSprite> m_help;
    std::unique_ptr<CSprite> m_cover;
    std::unique_ptr<CSprite> m_panel;
    std::unique_ptr<CSprite> m_cover_copy;
};
