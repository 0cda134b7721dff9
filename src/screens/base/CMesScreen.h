#pragma once
// The full-screen message screen that scripts build for long texts: the newest message, drawn
// by the script's text line into text layer 8, shown centred for a time that grows with its
// longest line; a click, Enter or the wheel down ends it earlier. No skip input while it runs.

#include <cstdint>
#include <memory>

#include "foundation/CStringUTF8.h"
#include "screens/base/CMesButton.h"
#include "script/IScriptMessageScreen.h"

class CSpriteLayer;

inline constexpr int32_t MESSAGE_SCREEN_TEXT_LAYER = 8;
inline constexpr int32_t MESSAGE_SCREEN_MAX_WIDTH = 1320;

class CMesScreen : public CMesButton, public IScriptMessageScreen
{
public:
    ~CMesScreen() override;

    // 1 built, 0 when the shared parts fail, -1 when the screen sprite cannot be made.
    int32_t CreateParts() override;
    void ReleaseParts() override;
    // The text box of the screen into the game state, and an empty text layer.
    void ResetTextArea() override;
    int32_t IsReplayMode() override;
    void Show() override;
    void Hide() override;
    void BuildParts(int32_t mode) override;
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    void OnMouseWheel(int32_t count) override;
    void OnDecide() override;

    // Shows the newest message for its time plus extra_ms; answers the result. Skip stays off
    // while it runs and is on again on every way out.
    int32_t RunText(int32_t extra_ms, const CStringUTF8& text) override;

    // The longest line in half-width units (a full-width character counts 2).
    static int32_t LongestLine(const CStringUTF8& text);
    // The text's left edge for the cell width: centred on 1980, at most 1320 wide.
    static int32_t TextLeft(int32_t cell_width, int32_t longest);
    CSpriteLayer* GetScreenSprite() const { return m_screen.get(); }
    uint32_t GetDeadline() const { return m_deadline; }
    int32_t GetTextLeft() const { return m_text_x; }

private:
    void DrawText();
    void Slide(bool show);

    std::unique_ptr<CSpriteLayer> m_screen;
    MessageText m_message;
    CStringUTF8 m_kept_text;
    uint32_t m_deadline = 0;
    int32_t m_extra_time = 0;
    int32_t m_text_x = 0;
};
