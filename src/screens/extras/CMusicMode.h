#pragma once
// The music room: the tracks of one of two pages in a scrolling column of 15 rows, the picture
// of the track that plays, play, stop, previous and next, a music-volume slider that edits and
// stores the setting, the extras tabs and the return button. A track is listed while its heard
// flag is exactly 1. Main thread only.

#include <array>
#include <cstdint>
#include <memory>

#include "foundation/CONFIG_STATE.h"
#include "foundation/CStringUTF8.h"
#include "platform/kernel/WinTypes.h"
#include "screens/extras/IOmakeParts.h"

class CSprite;
class IWaveManager;
class CSpriteLayer;

inline constexpr int32_t MUSIC_ROWS = 15;
inline constexpr int32_t MUSIC_PAGE_SLOTS = 23;
inline constexpr int32_t MUSIC_THEMES = 17;
// Area ids.
inline constexpr int32_t MUSIC_TAB_FIRST = 256;
inline constexpr int32_t MUSIC_TAB_LAST = 259;
inline constexpr int32_t MUSIC_RETURN = 512;
inline constexpr int32_t MUSIC_PAGE_TAB = 768;
inline constexpr int32_t MUSIC_SLIDER = 1024;
inline constexpr int32_t MUSIC_PLAY = 1280;
inline constexpr int32_t MUSIC_STOP = 1281;
inline constexpr int32_t MUSIC_PREVIOUS = 1282;
inline constexpr int32_t MUSIC_NEXT = 1283;
inline constexpr int32_t MUSIC_SCROLL_BAR = 1536;

struct MusicTrack
{
    const char* File;    // null for a character theme, named by the cast names file
    int32_t Theme;       // 1..17 for a theme, else 0
    const char* Picture; // "" for an empty slot
    uint32_t HeardFlag;  // 0 for an empty slot
};

// Slot = page x 23 + index.
const MusicTrack& GetMusicTrack(int32_t page, int32_t index);
// The track's music file: a theme's name comes from the cast names file under "themeNN"
// (NN = 01..17); empty for an empty slot or a theme the file does not name.
CStringUTF8 GetMusicFileName(int32_t page, int32_t index);
int32_t GetMusicTrackCount(int32_t page);

class CMusicMode : public IOmakeParts, public CONFIG_STATE
{
public:
    CMusicMode();
    ~CMusicMode() override;

    int32_t CreateParts() override;
    void ReleaseParts() override;
    void BuildParts(int32_t mode) override;
    void Show() override;
    void Hide() override;
    void OnOpen() override;
    void OnClose() override;
    void Update() override;
    int32_t OnUpKey() override;
    int32_t OnDownKey() override;
    int32_t OnLeftKey() override;
    int32_t OnRightKey() override;
    void OnDrag() override;
    void OnMouseWheel(int32_t steps) override;
    void OnDecide() override;
    void OnCancel() override;

    void DrawButton(int32_t id, int32_t state, int32_t present);
    void DrawAll();
    void SetUpPage();
    void RedrawRows();
    void PlayTrack(int32_t index);
    void StopTrack(int32_t present);
    void DrawVolumeSlider(float volume, int32_t state, int32_t enable, int32_t present);
    void DragVolume();
    void ApplyVolume(float volume);
    void DrawScrollBar(int32_t offset, int32_t state, int32_t present);
    void DragScrollBar();

    // The area a cursor key moves to from the hover; -2 for the slider's knob, -1 for none.
    int32_t CursorTarget(int32_t key_index) const;
    // The attenuation ApplyVolume gives the music channels for a slider value.
    int32_t VolumeLevel(float volume) const;
    static float PointerToVolume(int32_t x);
    int32_t PointerToOffset(int32_t y) const;

    int32_t GetHover() const { return HoverId; }
    int32_t GetPlayingIndex() const { return PlayingIndex; }
    int32_t GetSelectedIndex() const { return SelectedIndex; }
    int32_t GetPage() const { return Page; }
    int32_t GetScrollOffset() const { return ScrollOffset; }
    int32_t GetMaxOffset() const { return MaxOffset; }
    bool IsUnlocked(int32_t index) const
    {
        return index >= 0 && index < MUSIC_PAGE_SLOTS && Unlocked[static_cast<size_t>(index)] == 1;
    }
    float GetShownVolume() const { return ShownVolume; }
    CSpriteLayer* GetOverlay() const { return OverlaySprite.get(); }
    CSpriteLayer* GetBase() const { return BaseSprite.get(); }
    // For tests: the hover as a key table's starting point.
    void SetHover(int32_t id) { HoverId = id; }

private:
    bool LoadSheets();
    void Blt(CSpriteLayer* target, CSprite* sheet, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx,
             int32_t sy);
    void Present();
    void Pressed(int32_t id);
    void WaitOkRelease();
    void LeaveForTab(int32_t tab);
    void StepTrack(int32_t direction);
    POINT PointerPosition();
    IWaveManager* MusicChannel();
    int32_t MoveByKey(int32_t key_index);

    int32_t HoverId = -1;
    int32_t PlayingIndex = -1;
    int32_t SelectedIndex = -1;
    std::array<uint32_t, MUSIC_PAGE_SLOTS> Unlocked{};
    int32_t MaxOffset = 5;
    std::unique_ptr<CSprite> ControlSheet; // "musicmode_p.akb"
    std::unique_ptr<CSprite> RowSheet;     // "music_p.akb"
    std::unique_ptr<CSpriteLayer> OverlaySprite;
    std::unique_ptr<CSpriteLayer> BaseSprite;
    float ShownVolume = 0;
    int32_t ShownEnable = 0;
    int32_t Page = 0;
    int32_t ScrollOffset = 0;
};
