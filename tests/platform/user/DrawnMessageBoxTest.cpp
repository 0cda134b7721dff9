// The layer's own message box: buttons, keys, and its picture over the window.
#include "platform/user/DrawnMessageBox.h"

#include <gtest/gtest.h>

#include "platform/user/InputInjection.h"
#include "platform/user/MessageApi.h"
#include "platform/user/MessageBoxApi.h"
#include "platform/user/MessageBoxPolicy.h"
#include "platform/user/RecordingWindow.h"
#include "platform/user/UiFont.h"

namespace {

using namespace platform;
using test::RecordingWindow;

constexpr UINT MB_OK_ = 0x0;
constexpr UINT MB_YESNO_ = 0x4;
constexpr UINT MB_OKCANCEL_ = 0x1;
constexpr UINT MB_DEFBUTTON2_ = 0x100;

class DrawnMessageBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_view = m_window.Create(WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 800, 600);
        RecordingWindow::PumpAll();
        m_window.handler = [this](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message == WM_ENTERIDLE) {
                if (m_step < m_script.size())
                    m_script[m_step++]();
                else
                    PushKey(m_view, VK_ESCAPE, true);
            }
            return std::nullopt;
        };
    }

    RecordingWindow m_window;
    HWND m_view = nullptr;
    std::vector<std::function<void()>> m_script;
    size_t m_step = 0;
};

TEST_F(DrawnMessageBoxTest, EnterPicksTheDefaultButton)
{
    m_script = {[&] { PushKey(m_view, VK_RETURN, true); }};
    EXPECT_EQ(ShowDrawnMessageBox(m_view, u"続けますか？", u"asmr_system", MB_YESNO_), 6); // IDYES
    m_step = 0;
    EXPECT_EQ(ShowDrawnMessageBox(m_view, u"続けますか？", u"asmr_system", MB_YESNO_ | MB_DEFBUTTON2_),
              7); // IDNO
}

TEST_F(DrawnMessageBoxTest, EscapeIsCancelOrTheLoneOk)
{
    m_script = {[&] { PushKey(m_view, VK_ESCAPE, true); }};
    EXPECT_EQ(ShowDrawnMessageBox(m_view, u"text", u"caption", MB_OKCANCEL_), 2); // IDCANCEL
    m_step = 0;
    EXPECT_EQ(ShowDrawnMessageBox(m_view, u"text", u"caption", MB_OK_), 1); // IDOK
    // Yes/No has no Cancel: Escape does nothing, the next key answers.
    m_step = 0;
    m_script = {[&] { PushKey(m_view, VK_ESCAPE, true); }, [&] { PushKey(m_view, VK_RETURN, true); }};
    EXPECT_EQ(ShowDrawnMessageBox(m_view, u"text", u"caption", MB_YESNO_), 6);
    EXPECT_EQ(m_step, 2u);
}

TEST_F(DrawnMessageBoxTest, ClickingAButtonAnswersWithItAndTheBoxIsDrawnOverTheWindow)
{
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    m_script = {[&] {
        ASSERT_TRUE(CaptureWindow(m_view, pixels, width, height));
        // Find the "いいえ" button: the right one of two 88 x 26 buttons, 18 pixels from the
        // box's lower right corner. The box is centred, so look for its frame along the middle row.
        const int middle_y = height / 2;
        int right = width - 1;
        while (right > 0 && (pixels[static_cast<size_t>(middle_y * width + right)] & 0xFFFFFF) != 0x6E6E6E)
            --right;
        int bottom = middle_y;
        while (bottom < height - 1 &&
               (pixels[static_cast<size_t>(bottom * width + right)] & 0xFFFFFF) == 0x6E6E6E)
            ++bottom;
        const int button_x = right - 18 - 44;
        const int button_y = bottom - 1 - 18 - 13;
        PushMouseButton(m_view, 1, true, button_x, button_y);
        PushMouseButton(m_view, 1, false, button_x, button_y);
    }};
    EXPECT_EQ(ShowDrawnMessageBox(m_view, u"セーブデータが壊れています。\n初期化しますか？", u"asmr_system",
                                  MB_YESNO_),
              7); // IDNO
    ASSERT_EQ(pixels.size(), static_cast<size_t>(800 * 600));
    // The window behind is shaded; the caption band is the box's blue.
    EXPECT_EQ(pixels[5 * 800 + 5] & 0xFFFFFF, 0x000000u);
    bool caption = false;
    for (uint32_t pixel : pixels)
        caption = caption || (pixel & 0xFFFFFF) == 0x2B579Au;
    EXPECT_TRUE(caption);
    // With the font installed, the Japanese text leaves dark pixels inside the box.
    if (UiFont::GetInstance().HasFace()) {
        int dark = 0;
        for (int y = 250; y < 350; ++y) {
            for (int x = 250; x < 550; ++x)
                dark += (pixels[static_cast<size_t>(y * 800 + x)] & 0xFF) < 0x40;
        }
        EXPECT_GT(dark, 50);
    }
}

TEST_F(DrawnMessageBoxTest, TheProgramsPolicyDrawsTheBoxOnTheMainThread)
{
    auto policy = CreateSdlMessageBoxPolicy();
    m_script = {[&] { PushKey(m_view, VK_RIGHT, true); }, [&] { PushKey(m_view, VK_RETURN, true); }};
    const MessageBoxRequest request{m_view, u"保存しますか？", u"asmr_system",
                                    MB_YESNOCANCEL | MB_ICONQUESTION};
    EXPECT_EQ(policy->Show(request), IDNO); // Right moves from Yes to No
    EXPECT_EQ(m_step, 2u);
}

TEST(DrawnMessageBoxOwnWindow, WithoutAWindowTheBoxOpensOneOfItsOwn)
{
    RecordingWindow window; // no visible window: the box needs its own
    HWND hidden = window.Create(WS_POPUP, 0, 0, 100, 100);
    ASSERT_NE(hidden, nullptr);
    // The box's own window is the newest top-level window; press Enter into it once it waits.
    window.handler = [&](HWND, UINT message, WPARAM, LPARAM l_param) -> std::optional<LRESULT> {
        if (message == WM_ENTERIDLE)
            PushKey(reinterpret_cast<HWND>(l_param), VK_RETURN, true);
        return std::nullopt;
    };
    EXPECT_EQ(ShowDrawnMessageBox(hidden, u"Load Error:\nSystemInfo.xml", u"asmr_system", 0), 1);
    EXPECT_TRUE(IsWindow(hidden));
}

TEST(UiFont, DrawsJapaneseGlyphs)
{
    UiFont& font = UiFont::GetInstance();
    if (!font.HasFace())
        GTEST_SKIP() << "fonts-noto-cjk is not installed";
    const UiGlyph& glyph = font.Glyph(U'終', 12);
    EXPECT_GT(glyph.width, 6);
    EXPECT_GT(glyph.height, 6);
    EXPECT_EQ(glyph.advance, 12); // a full-width ideograph is one em wide
    EXPECT_EQ(font.MeasureText(u"ab", 12), font.Glyph(U'a', 12).advance + font.Glyph(U'b', 12).advance);
}

} // namespace

// A player who closes the window while an error box is up (its close box, or Alt+F4 typed into
// it) closes the box and then the game: the window hears its close once the box is gone. A box
// without Cancel or a lone OK cannot be closed so; it waits for its answer.
TEST_F(DrawnMessageBoxTest, ClosingTheWindowAnswersTheBoxAndThenClosesTheWindow)
{
    // The close would destroy the test's window: it is only recorded.
    m_window.handler = [keep_open = m_window.handler](HWND window, UINT message, WPARAM w_param,
                                                      LPARAM l_param) -> std::optional<LRESULT> {
        if (message == WM_SYSCOMMAND)
            return 0;
        return keep_open(window, message, w_param, l_param);
    };
    const std::vector<std::function<void()>> closes = {
        [&] { PushWindowEvent(m_view, InjectedWindowEvent::Close); },
        [&] {
            PushKey(m_view, VK_MENU, true);
            PushKey(m_view, VK_F4, true);
        }};
    for (const auto& close : closes) {
        m_window.Clear();
        m_step = 0;
        m_script = {close};
        EXPECT_EQ(ShowDrawnMessageBox(m_view, u"スクリプトエラー", u"asmr_system", MB_OK_), IDOK);
        EXPECT_EQ(m_step, 1u); // the close ended it, not the fixture's Escape
        PushKey(m_view, VK_MENU, false);
        RecordingWindow::PumpAll();
        const std::vector<test::Received> commands = m_window.Of(WM_SYSCOMMAND);
        ASSERT_EQ(commands.size(), 1u);
        EXPECT_EQ(commands[0].w_param & 0xFFF0, static_cast<WPARAM>(SC_CLOSE));
    }
    // Yes/No: the close does nothing, the box waits for Return.
    m_window.Clear();
    m_step = 0;
    m_script = {closes[0], [&] { PushKey(m_view, VK_RETURN, true); }};
    EXPECT_EQ(ShowDrawnMessageBox(m_view, u"続けますか？", u"asmr_system", MB_YESNO_), IDYES);
    RecordingWindow::PumpAll();
    EXPECT_TRUE(m_window.Of(WM_SYSCOMMAND).empty());
}
