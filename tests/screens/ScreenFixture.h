#pragma once
// The stage of the screen tests, grown from the effect stage (virtual clock, live headless
// display, hand-stepped task runner): a started document over a game folder written by the tools
// ("data.arc" with the area files, "layer.arc" with the dialog's sheet and the test's pictures),
// scripted keyboard and mouse in the input view, a per-pump script of input changes, recording
// effect channels, and captures of the drawn screen as PNGs in the build folder. The view owns the
// display's window and has the keyboard focus, so the input method's steps, pushed as SDL events,
// reach the screens through the window layer as a player's would.
//
// One pump of any screen loop dispatches the waiting window messages, then is one pass of the
// runner and 16 ms of the clock.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/InputFakes.h"
#include "areawriter/AreaWriter.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/EffectFixture.h"
#include "platform/kernel/WinTypes.h"

class CVeskDoc;
class FakeWaveManager;
class IKeyboard;
class IMouse;
class PumpScript;

class ScreenFixture : public EffectFixture
{
protected:
    // How many pixels of a rectangle the last capture shows opaque black and opaque white.
    struct BlackAndWhite
    {
        int black = 0;
        int white = 0;
    };

    // Writes the game folder with the extra data and picture entries (and the dialog's sheet
    // unless told not to) and starts the document.
    explicit ScreenFixture(std::vector<tools::ArchiveEntry> data = {}, std::vector<tools::ArchiveEntry> pictures = {},
                           bool dialog_sheet = true);
    ~ScreenFixture() override;

    // Runs at each pump with the pump's number (from 1), before the screen looks at the input.
    void OnPump(std::function<void(int)> step);
    int Pumps() const;
    // Moves the pointer without recording a warp.
    void PointAt(int32_t x, int32_t y) { m_mouse.position = {x, y}; }
    void PointAtCentre(const tools::AreaRecord& area)
    {
        PointAt((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    }

    // What effect channel 4 was asked to do, then forgotten.
    std::vector<std::string> TakeOkCancelSounds();
    // Input-method steps for the view's window, pushed as SDL reports them: a composition whose
    // code points [start, start + length) are being converted, and a commit. They reach the
    // screens at the next pump.
    void ComposeText(const char* utf8, int start, int length);
    void CommitText(const char* utf8);
    // A composition over the band where a screen draws it: the text typed, then its first
    // `clause` code points converted, then the converted text committed. Called at every pump,
    // it takes its steps from pump `first` on, 37 pumps in all, and keeps a frame before it and
    // after each step ("<stem>_composing.png", "_converting", "_committed") with the band's count.
    struct Composition
    {
        const char* typed;
        const char* converted;
        int clause;
        RECT band;
        const char* stem;
        std::vector<BlackAndWhite> seen = {};
    };
    void StepComposition(int pump, int first, Composition& composition);
    // The band shown the composition: nothing before it, white glyphs on black while composing,
    // inverted while converting, and no black left after the commit.
    static void ExpectCompositionShown(const Composition& composition);
    // The game's screens let the icon sheet go (they share one while any holds it), so that a
    // screen of a test loads its own.
    static void ReleaseSharedIconSheet();

    // Draws and presents one frame and reads it back; writes it as a PNG when named.
    void Capture(const std::string& png = {});
    uint32_t Shown(int x, int y);
    BlackAndWhite CountBlackAndWhite(int left, int top, int width, int height);
    // The control id and state of the sheet cell shown at (x, y), or id 0xFFFFFFFF.
    std::pair<uint32_t, int32_t> ShownCell(int x, int y);

    ScriptedKeyboard m_keyboard;
    ScriptedMouse m_mouse;
    CSpriteLayer m_capture;

private:
    std::unique_ptr<PumpScript> m_script;
    std::vector<FakeWaveManager*> m_effects; // not owned: the document's
    IKeyboard* m_previous_keyboard = nullptr;
    IMouse* m_previous_mouse = nullptr;
    HWND m_view_window = nullptr; // the display's, lent to the view
};

// The data entries of the dialog's area files and the picture entry of its sheet.
std::vector<tools::ArchiveEntry> DialogDataEntries();
tools::ArchiveEntry DialogSheetEntry();
// The message window's area files and the picture entries of its and the side menu's sheets.
std::vector<tools::ArchiveEntry> MessageWindowDataEntries();
std::vector<tools::ArchiveEntry> MessageWindowPictureEntries();
