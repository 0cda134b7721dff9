#pragma once
// The common base of the message window, the full-screen text screen and the choice window: the
// row of seven window buttons with their shared sprites and hit areas, the rule of which button
// is usable when, what a click on each does, the help balloon naming the button under the
// pointer, the channel-taking voice operations and the restart that ends a scene skip. Main
// thread only.

#include <array>
#include <cstdint>
#include <vector>

#include "screens/base/IMesWnd.h"
#include "screens/base/IRightMenu.h"

class CSpriteAnime;
class CSpriteLayer;
struct HitArea;

// Window buttons (group 0) and the window body.
inline constexpr int32_t MESBUTTON_AUTO_READ = 0;
inline constexpr int32_t MESBUTTON_READ_SKIP = 1;
inline constexpr int32_t MESBUTTON_SKIP = 2;
inline constexpr int32_t MESBUTTON_VOICE_REPEAT = 3;
inline constexpr int32_t MESBUTTON_QUICK_SAVE = 4;
inline constexpr int32_t MESBUTTON_QUICK_LOAD = 5;
inline constexpr int32_t MESBUTTON_EDGE = 6;
inline constexpr int32_t MESBUTTON_COUNT = 7;
inline constexpr int32_t MESWND_BODY = 0x200;
inline constexpr int32_t STATUS_PLATE_BUTTON = 0xE00;
// The id of a click on a disabled button: ignored by the caller.
inline constexpr int32_t MESBUTTON_IGNORED = 100;
inline constexpr uint32_t QUICK_SAVE_SLOT = 201;
// Where ending a scene skip saves and reloads: outside every slot, so no save of the player's is
// overwritten.
inline constexpr uint32_t SCENE_SKIP_SCRATCH_SLOT = 999;
inline constexpr uint32_t FLAG_STATUS_PLATE_ACTIVE = 8003;
inline constexpr int32_t BALLOON_WIDTH = 600;
inline constexpr int32_t BALLOON_HEIGHT = 168;

inline constexpr uint32_t MESSAGE_TEXT_NO_ID = 0xFFFFFFFFu;

// The text of one message: UTF-8, or a language text as display pieces.
struct MessageText
{
    CStringUTF8 Text;
    uint32_t TextId = MESSAGE_TEXT_NO_ID;
    std::vector<char16_t> Pieces;
    int32_t Count = 0; // characters of the text, or units of the pieces
};

struct BalloonPlacement
{
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t PointerX = 0; // in the balloon
    int32_t PointerY = 0;
    int32_t PointerCellX = 0; // in "message_p.akb"
    int32_t PointerCellY = 0;
};

class CMesButton : public IMesWnd, public IRightMenu
{
public:
    CMesButton();
    ~CMesButton() override;

    int32_t CreateMenu() override { return CreateParts(); }
    void ReleaseMenu() override { ReleaseParts(); }
    int32_t CreateParts() override;
    void ReleaseParts() override;
    bool IsMessageRead(uint32_t number) override;
    void UpdateVoiceState() override { UpdateChannelVoiceState(0); }
    void StopVoiceOnClick() override { StopChannelVoice(0, 0); }
    // 82, 83.
    virtual void UpdateChannelVoiceState(int32_t channel) { UpdateVoiceStateOn(channel); }
    virtual void StopChannelVoice(int32_t channel, int32_t force) { StopVoiceOn(channel, force); }

    int32_t GetWindowButtonState(int32_t id, int32_t keep_enabled);
    void DrawWindowButton(int32_t id, int32_t state, int32_t redraw);
    void RefreshWindowButtons(int32_t keep_enabled);
    void SyncReadSkip(int32_t keep_enabled);
    int32_t UpdateHover(int32_t previous_id, int32_t keep_enabled);
    // id in: the clicked area; out: 100 ignore, -2 advance now, else the button's id.
    void OnWindowButton(int32_t& id, int32_t keep_enabled);
    void ShowHoverHelp(int32_t id, int32_t show_now);
    void ShowWindowButtons(CSpriteAnime& animation, int32_t flag);
    void HideWindowButtons(CSpriteAnime& animation);
    // A click on side-menu slot k (group 15): acted on only while its button is usable.
    void OnSideMenuButton(int32_t slot);
    // The screen-specific side-menu button (5); nothing by default.
    virtual void OnScreenMenuButton() {}
    // Shows the window again after a screen run from the side menu; nothing by default.
    virtual void RestoreWindow(int32_t flag) { (void)flag; }
    // Restarts the script from a scratch save at the message where the scene skip ends.
    void EndSceneSkip();
    // Told when a scene skip ends at the running message, just before the restart.
    virtual void OnSceneSkipEnded() {}
    static void ShiftWindowAreas(int32_t dy);

    // Where the balloon for a help text of the size stands, for an id (window button or side menu).
    static BalloonPlacement PlaceBalloon(int32_t id, int32_t text_width, int32_t text_height);
    // The text's width and height at the help advances (26 full width, 13 half, lines of 26).
    static void MeasureHelpText(const CStringUTF8& text, int32_t& width, int32_t& height);
    // The help text number for an id, or -1 for none.
    int32_t HelpTextNumber(int32_t id);

    static int32_t GetPartsHolders();
    static int32_t& WindowOpen();
    static CSpriteLayer* GetButtonSprite(int32_t id);
    static CSpriteLayer* GetBalloonSprite();
    // "message_p.akb" as loaded, or null.
    static CSpriteLayer* GetPartsPicture();
    static const HitArea* FindWindowArea(int32_t id);
    static int32_t HitTestWindowAreas(int32_t x, int32_t y);
    // Warps the pointer to the centre of the window's area with the id.
    static void MoveCursorToWindowArea(int32_t id);

    uint8_t AutoReadOn = 0;

private:
    // Where the help text is drawn before it joins the balloon: a layer and the strip's top in it.
    struct HelpStrip
    {
        ILayer* layer = nullptr;
        int32_t top = 0;
    };
    HelpStrip HelpStripLayer();
    void PresentFrame();
    void DrawHelpText(const CStringUTF8& text, const HelpStrip& strip);
    // Draws the balloon for the id and places it, or hides it; presents nothing.
    void BuildBalloon(int32_t id);
    int32_t m_parts_holds = 0;
};
