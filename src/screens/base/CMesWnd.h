#pragma once
// The message window: story text with its typewriter, auto and skip modes.
// A message runs modally: the start picks its path (scene skip, read-skip, skip or typing) and its
// timing, each frame reveals a character and tests auto mode, and a click first completes the
// page, then ends it. The window owns its plate, text, prompt and face icon sprites; the row of
// buttons and the parts picture are the family's.
// The class's code lies in one file per seam: CMesWnd.cpp (parts, showing, the message's run and
// the actions that open the game's other screens), CMesWndTypewriter.cpp (timing, reveal, page
// copy, prompt), CMesWndModes.cpp (skip and auto), CMesWndInput.cpp (backspace, wheel, drag,
// cursor keys), CMesWndNamePlate.cpp with the helper MesWndNamePlates, and CMesWndCommands.cpp
// (the exec commands' operations).

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/IAppTask.h"
#include "graphics/CFontDIB.h"
#include "graphics/CPronptAnm.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/EffectClock.h"
#include "screens/base/CMesButton.h"
#include "screens/base/MesWndNamePlates.h"
#include "script/IScriptMessageWindow.h"

struct TextBox;

inline constexpr size_t MESWND_SHARED_SPRITES = 7;
// The window's top is kept where the window and its handle stay on screen.
inline constexpr int32_t MESWND_MIN_Y = 10;
inline constexpr int32_t MESWND_MAX_Y = 768;
// The window's own sprites, relative to the window's top.
inline constexpr int32_t MESWND_PLATE_X = 95;
inline constexpr int32_t MESWND_PLATE_WIDTH = 1730;
inline constexpr int32_t MESWND_HEIGHT = 280;
inline constexpr int32_t MESWND_PROMPT_X = 1663;
inline constexpr int32_t MESWND_PROMPT_Y = 166;
inline constexpr int32_t MESWND_FACE_X = 260;
inline constexpr int32_t MESWND_FACE_Y = 67;
// A name plate pushes the text box and the pen start down by this.
inline constexpr int32_t MESWND_NAME_SHIFT = 64;
// The extra input word that holds read-skip, and the prompt's frames.
inline constexpr int32_t MESWND_READ_SKIP_WORD = 1;
inline constexpr int32_t MESWND_PROMPT_FRAMES = 3;
// Flag bytes: keep the window's own sprites out of a restoring fade; keep the status plate hidden.
inline constexpr uint32_t FLAG_KEEP_WINDOW_HIDDEN = 7099;
inline constexpr uint32_t FLAG_KEEP_STATUS_PLATE_HIDDEN = 4084;

class CMesWnd : public CMesButton, public IAppTask, public IScriptMessageWindow
{
public:
    CMesWnd()
        : IAppTask(15)
    {}
    ~CMesWnd() override;
    // The task twin of the reveal step reads a second text nothing ever fills: it has no work.
    void Execute() override {}
    // The family's parts, then the window's own sprites and the prompt; 0 when any is missing.
    // The plate is painted but nothing is presented: the window is not shown yet. The start-up
    // makes them once, and a failure stops it: they live until the window goes.
    int32_t CreateParts() override;
    // The game's input and the script's window commands show the window alike.
    void Show() override { CMesButton::Show(); }
    // Safe to call twice.
    void ReleaseParts() override;
    // Draws the newest message's page again, whole, after a system screen took the screen.
    void BuildParts(int32_t mode) override;
    void RunMessage(ScriptValue& out, int32_t mode, int32_t number) override;
    // The message start.
    void OnOpen() override;
    void Update() override;
    void OnDecide() override;
    void OnLButton() override;
    void OnEnterKey() override;
    void OnCtrlKey() override;
    // The right button, Esc and Delete: a mode switched off first, else the configured action.
    void OnCancel() override;
    void OnBackspaceKey() override;
    void OnMouseWheel(int32_t count) override;
    void OnDrag() override;
    // The cursor keys move the pointer between the window's areas.
    int32_t OnUpKey() override { return OnCursorKey(SCAN_UP); }
    int32_t OnDownKey() override { return OnCursorKey(SCAN_DOWN); }
    int32_t OnLeftKey() override { return OnCursorKey(SCAN_LEFT); }
    int32_t OnRightKey() override { return OnCursorKey(SCAN_RIGHT); }
    int32_t IsDragging() const { return m_dragging; }
    uint32_t GetAutoModeDeadline() const { return m_auto_deadline; }
    // Brings the window back after a system screen, the backlog or a hide: a fade-in of sprites
    // a system screen hid, then ShowWindow. Flag 1 leaves the window's own sprites out of the fade
    // while flag byte FLAG_KEEP_WINDOW_HIDDEN is set.
    void RestoreWindow(int32_t flag) override;
    // Makes a hidden window visible, fading in through the animation (flag 0) or at once (flag 1).
    void ShowWindow(CSpriteAnime& animation, int32_t flag);
    // Fades the window out, completing a typed page first.
    void Hide() override;
    void ApplyWindowColor() override { PaintWindowColor(true); }
    // The plate in the configured colour, shaped by the parts picture, its frame on top; a frame
    // is presented when asked.
    void PaintWindowColor(bool present);
    // Stores the flag in the text and plate sprites while the window is shown.
    void SetWindowVisible(int32_t flag) override;
    // The speaker's name of the newest message on the plate strip; the box and pen start move
    // MESWND_NAME_SHIFT lower.
    void DrawNamePlate() override;
    // Hidden by its sprites alone: IsShown answers 0 afterwards.
    void ClearShown() { Shown = 0; }
    // The exec commands' operations, in CMesWndCommands.cpp.
    void ClearTextArea() override;
    void HideSprites() override;
    void ShowFace(int32_t face) override;
    void HideFace() override;

    // Replay mode: every message counts as read.
    int32_t IsReplayMode() override;
    bool IsCurrentMessageRead();
    // Marks the message read (unless a scene skip ended at it), hides the help and the prompt
    // and stops the face task.
    void OnClose() override;
    void OnSceneSkipEnded() override { m_scene_skip_ended = 1; }
    // The message text of backlog entry index; an index out of range gives an empty text.
    static void LoadMessageText(MessageText& text, int32_t index);

    // The timing rules, settings clamped to 0.0 .. 1.0 so an edited value never turns into a
    // huge deadline. Milliseconds between two revealed characters (single precision):
    static uint32_t CharacterWait(float speed);
    // When auto mode may advance a message of count characters started at now.
    static uint32_t AutoModeDeadline(uint32_t now, int32_t count, float auto_speed);
    // When read-skip may pass an already-read message started at now.
    static uint32_t ReadSkipDeadline(uint32_t now, float one_mes_speed);
    // "/Config/MesWnd/00/PosY", kept to MESWND_MIN_Y .. MESWND_MAX_Y.
    static int32_t ConfiguredWindowY();

    // The text box into the game state, the reveal back to the page start, an empty text layer.
    void ResetTextArea() override;
    // Starts revealing the message at the pen start from now, a character every wait ms.
    void StartReveal(const MessageText& text, uint32_t now, uint32_t wait);
    // One reveal step when a character is due: 1 when it revealed one or completed the page.
    int32_t StepTypewriter() { return StepTypewriterAt(GetEffectTime()); }
    int32_t StepTypewriterAt(uint32_t now);
    // The whole page at once; the prompt follows when asked and not shown yet.
    void CompletePage(bool prompt);
    // The click-wait prompt of a complete page.
    void ShowPagePrompt();
    int32_t IsTyping() const { return m_typing; }
    int32_t IsPromptShown() const { return m_prompt_shown; }
    int32_t GetPromptMode() const { return m_prompt_anime.m_mode; }
    uint32_t GetNextCharacterTime() const { return m_next_char_time; }
    POINT GetPen() const { return POINT{m_pen_x, m_pen_y}; }
    int32_t GetRevealIndex() const { return m_reveal_index; }

    // Parts the exec commands reach; null until the window builds them. The face sheet holds
    // the faces as 144 x 144 cells, five to a row.
    std::unique_ptr<CSprite> m_text_area_sprite;
    std::unique_ptr<CSprite> m_window_sprite;
    std::unique_ptr<CSprite> m_face_sprite;
    std::shared_ptr<CSprite> m_face_sheet; // shared with the town map and the sub map
    std::unique_ptr<CSprite> m_prompt_sprite;
    std::array<CSprite*, MESWND_SHARED_SPRITES> m_shared_sprites{}; // not owned
    int32_t m_window_y = 0;
    int32_t m_face_shown = 0;
    // Set when a scene skip ends at the running message: its close must not mark it read.
    int32_t m_scene_skip_ended = 0;

private:
    struct Box
    {
        int32_t cell, line, left, top, right, bottom;
    };
    Box ReadBox();
    // The text layer of Values[53], the page the script typeset.
    CSpriteLayer* PageLayer();
    // Copies one cell of the text layer into the text sprite at the same place.
    void CopyCell(int32_t x, int32_t y, int32_t w, int32_t h);
    // The whole page into the text sprite (its top 1920 x 280).
    void CopyPage();
    // The text sprite made blank.
    void ClearTextSprite();
    // The text sprite's ink: a rectangle outside which it is blank, as the window drew it.
    RECT& TextSpriteInk(ILayer& target);
    void AddTextSpriteInk(ILayer& target, int32_t x, int32_t y, int32_t w, int32_t h);
    // Answers the extra wait in ms.
    uint32_t RevealUtf8Char(const CStringUTF8& text, const Box& box);
    void RevealPieceChar(const std::vector<char16_t>& pieces, const Box& box);
    // "\n" (a new line) and "\i" (nothing) take the unit after a "\"; true when one did.
    bool TakeEscape(char16_t c, const std::vector<char16_t>& pieces, const Box& box);
    void RevealFixedCell(const std::vector<char16_t>& pieces, const Box& box);

    // A setting kept to 0.0 .. 1.0, NaN taken as 0.
    static float Unit(float value);
    static bool ChannelPlays(int32_t channel);
    // Skip modes are off while the script sets the fast-mode bit.
    bool SkipHonoured();
    bool AutoModeStep();
    void AdvanceNow();
    void PageEnd();
    void StopFaceTask(bool apply);

    // A click while typing only completes the page; one on a hidden window brings it back.
    // True when the click was spent so.
    bool CompleteOrRestore(bool read_skip_off);
    int32_t OnCursorKey(uint32_t scan_code);
    // Where a cursor key sends the pointer from the hovered id.
    void MoveByCursorKey(uint32_t scan_code);
    void StartDrag();
    // One frame of a drag; false once it has ended.
    bool DragStep();
    void OpenBacklog();
    // Update's voice step: stops a voice the player switched off, or repeats the voice.
    void VoiceStep();
    // Update's prompt step: the prompt's column follows whether the voice still plays.
    bool PromptModeStep();
    // Stops the prompt's loop and hides it; true when it was shown.
    bool StopPrompt();
    // The plate, text, prompt and edge button at the window's top; the face icon when it is part
    // of the window.
    void PlaceSprites();
    // The fade record given to the sprites the window shows (visible 1, alpha 0 to 255) or hides.
    void AddFade(CSpriteAnime& animation, CSprite* sprite, bool in);
    std::vector<CSprite*> OwnSprites(bool face);

    CPronptAnm m_prompt_anime;
    std::unique_ptr<CSpriteAnime> m_prompt_animation;

    MessageText m_message;
    std::vector<int32_t> m_result_list;
    int32_t m_dragging = 0;
    int32_t m_last_pointer_y = 0;
    int32_t m_drag_start_y = 0;
    uint32_t m_auto_deadline = 0;
    int32_t m_voice_present = 0;
    int32_t m_page_reset = 1;
    int32_t m_buttons_hidden = 0;
    int32_t m_saved_pen_x = 0;
    int32_t m_saved_pen_y = 0;
    int32_t m_present = 0;
    int32_t m_typing = 0;
    int32_t m_prompt_shown = 0;
    uint32_t m_char_wait = 0;
    uint32_t m_next_char_time = 0;
    int32_t m_pen_start_x = 440;
    int32_t m_pen_start_y = 70;
    int32_t m_pen_x = 0;
    int32_t m_pen_y = 0;
    int32_t m_reveal_index = -1;
    int32_t m_reveal_end = 0;
    int32_t m_hang_flag = 0;
    bool m_hanging = false;
    std::unique_ptr<MesWndNamePlates> m_name_plates = std::make_unique<MesWndNamePlates>();
    RECT m_text_sprite_ink{};
    const CSprite* m_ink_sprite = nullptr; // the sprite m_text_sprite_ink describes
};
