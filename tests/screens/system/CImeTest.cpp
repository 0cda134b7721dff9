// Text entry through the input method: what is composed is drawn into the screen's layer with
// the converted clause inverted, and what is committed reaches the screen's buffer, cut to fit.
#include "screens/system/CIme.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>

#include "app/CApiKeyboard.h"
#include "app/DialogTestFixture.h"
#include "foundation/CInputView.h"
#include "graphics/CDIB.h"
#include "graphics/CFontDIB.h"
#include "platform/imm/ImmApi.h"
#include "support/FakeDocumentLink.h"

namespace {

constexpr int32_t CELL = 20;     // a full-width cell; half-width characters take 10
constexpr int32_t BAND_TOP = 10; // the band the composition is drawn on
constexpr int32_t BAND_BOTTOM = 40;
constexpr int32_t GLYPH_TOP = 15; // the glyphs sit 5 pixels below the band's top
constexpr int32_t LEFT = 30;

class CImeTest : public DialogTestFixture
{
protected:
    CImeTest()
    {
        m_layer.Create(640, 60);
        m_buffer.fill(u'#');
        m_area = ImeEntryArea{.font_width = CELL,
                              .font_height = CELL,
                              .cell_width = CELL,
                              .cell_height = CELL,
                              .text_flags = FONT_BLEND,
                              .text_colour = 0xFFFFFF,
                              .background_colour = 0x000000,
                              .reserved = 0,
                              .second_colour = 0x88CCFF,
                              .band_left = LEFT,
                              .band_top = BAND_TOP,
                              .right_limit = 600,
                              .band_bottom = BAND_BOTTOM,
                              .max_length = 48,
                              .buffer = m_buffer.data(),
                              .buffer_size = 32,
                              .target = &m_layer};
        m_app.before_pump = [this] {
            if (!m_steps.empty()) {
                auto step = std::move(m_steps.front());
                m_steps.pop_front();
                step();
            }
        };
        EXPECT_EQ(m_ime.CreateCompositionFont(), 1);
    }
    ~CImeTest() override { m_app.before_pump = nullptr; }

    // One step per turn of whatever loop pumps next.
    void Then(std::function<void()> step) { m_steps.push_back(std::move(step)); }

    std::u16string Buffer() const { return std::u16string(m_buffer.data()); }

    uint32_t Pixel(int32_t x, int32_t y)
    {
        uint32_t value = 0;
        std::memcpy(&value, m_layer.GetPixelPtr(x, y), 4);
        return value;
    }

    CDIB m_layer;
    std::array<char16_t, 64> m_buffer{};
    ImeEntryArea m_area{};
    CIme m_ime;
    std::deque<std::function<void()>> m_steps;
};

TEST_F(CImeTest, TheConversionModeFollowsTheDocumentsLanguage)
{
    FakeDocumentLink document;
    const HIMC context = ImmGetContext(m_view);
    DWORD conversion = 0;
    DWORD sentence = 0;

    document.m_language = 1;
    m_ime.Open(&m_area);
    EXPECT_TRUE(ImmGetOpenStatus(context));
    ImmGetConversionStatus(context, &conversion, &sentence);
    EXPECT_EQ(conversion, 272u); // no conversion, Roman input
    EXPECT_EQ(sentence, 0u);
    m_ime.Close();
    EXPECT_FALSE(ImmGetOpenStatus(context));

    document.m_language = 3;
    m_ime.Open(&m_area);
    ImmGetConversionStatus(context, &conversion, &sentence);
    EXPECT_EQ(conversion, IME_CMODE_NATIVE);
    EXPECT_EQ(sentence, 0u);
    m_ime.Close();

    // English keeps the conversion mode and predicts phrases.
    ImmSetConversionStatus(context, 0x19, 0);
    document.m_language = 0;
    m_ime.Open(&m_area);
    ImmGetConversionStatus(context, &conversion, &sentence);
    EXPECT_EQ(conversion, 0x19u);
    EXPECT_EQ(sentence, IME_SMODE_PHRASEPREDICT);
    m_ime.Close();
}

TEST_F(CImeTest, TheInputMethodSwitchedOffDuringEntryComesBackOn)
{
    m_ime.Open(&m_area);
    const HIMC context = ImmGetContext(m_view);
    ImmSetOpenStatus(context, FALSE);
    EXPECT_TRUE(ImmGetOpenStatus(context));
    m_ime.Close();
    EXPECT_FALSE(ImmGetOpenStatus(context));
}

TEST_F(CImeTest, ACompositionIsDrawnWithItsTargetClauseInvertedAndTheCommitIsCutToItsWidth)
{
    // The band ends where the caret's 160 pixels end, as the screens set it.
    m_area.right_limit = LEFT + 160;
    m_ime.Open(&m_area);
    // The loop starts on a composition under way.
    platform::ImeCompose(u"かんじへんかん", 7);
    Pump();
    ASSERT_TRUE(m_ime.IsComposing());
    Then([] {});
    Then([] { platform::ImeCompose(u"漢字変換", 2, {0, 2, 4}, 1); });
    Then([this] {
        // Drawn on the turn before: cells of 20 pixels from x = 30, clause 1 (cells 2 and 3)
        // inverted. A cell's top-left corner is above its glyph, so it shows the fill.
        EXPECT_EQ(Pixel(LEFT + 1, BAND_TOP + 1), 0xFF000000u);
        EXPECT_EQ(Pixel(LEFT + CELL + 1, BAND_TOP + 1), 0xFF000000u);
        EXPECT_EQ(Pixel(LEFT + 2 * CELL + 1, BAND_TOP + 1), 0xFFFFFFFFu);
        EXPECT_EQ(Pixel(LEFT + 3 * CELL + 1, BAND_TOP + 1), 0xFFFFFFFFu);
        // Behind the text the band is cleared to transparent.
        EXPECT_EQ(Pixel(LEFT + 4 * CELL + 1, BAND_TOP + 1) >> 24, 0u);
        EXPECT_EQ(m_ime.FindCursorClause(), 1);
        EXPECT_TRUE(m_ime.IsCaretInText());
        if (const char* folder = std::getenv("VESK_BINARY_DIR")) {
            platform::PngPicture picture{m_layer.GetWidth(), m_layer.GetHeight(), {}};
            for (int32_t y = 0; y < picture.height; ++y) {
                for (int32_t x = 0; x < picture.width; ++x) {
                    const uint32_t pixel = Pixel(x, y);
                    // Transparent parts shown grey, so the band stands out.
                    picture.pixels.push_back((pixel >> 24) == 0 ? 0xFF404040u : pixel);
                }
            }
            platform::WritePngFile(std::filesystem::path(folder) / "ime_composition.png", picture);
        }
    });
    Then([] { platform::ImeCommit(u"漢字変換をテストしています。長い文章です"); });
    // The band is 16 half cells wide: the committed text keeps its first 16 characters.
    m_ime.RunEntryLoop(LEFT, GLYPH_TOP, 16 * (CELL / 2), 20);
    EXPECT_EQ(m_ime.GetState(), IME_STATE_COMMITTED);
    EXPECT_FALSE(m_ime.IsComposing());
    EXPECT_EQ(Buffer(), u"漢字変換をテストしています。長い");
    EXPECT_TRUE(m_steps.empty());
    m_ime.Close();
}

TEST_F(CImeTest, WhileTheCaretStaysAtTheEndTheBufferFollowsTheComposition)
{
    m_ime.Open(&m_area);
    platform::ImeCompose(u"に", 1);
    Pump();
    Then([] {});
    Then([this] {
        EXPECT_EQ(Buffer(), u"に");
        EXPECT_FALSE(m_ime.IsCaretInText());
        platform::ImeCompose(u"にほ", 2);
    });
    Then([this] {
        EXPECT_EQ(Buffer(), u"にほ");
        platform::ImeCancel();
    });
    m_ime.RunEntryLoop(LEFT, GLYPH_TOP, 400, 20);
    EXPECT_EQ(m_ime.GetState(), IME_STATE_CANCELLED);
    // The end of a cancelled composition leaves the buffer empty.
    EXPECT_EQ(Buffer(), u"");
    m_ime.Close();
}

TEST_F(CImeTest, ACompositionIsCutToTheMaximumLengthAndWidth)
{
    // 8 bytes: four full-width characters, or four half-width ones (the byte count cuts first).
    m_area.max_length = 8;
    m_ime.Open(&m_area);
    platform::ImeCompose(u"あいうえおか", 6);
    Pump();
    std::array<char16_t, 16> copy{};
    m_ime.CopyText(copy.data(), 16, -1, nullptr);
    EXPECT_EQ(std::u16string(copy.data()), u"あいうえ");
    platform::ImeCompose(u"abcdefghij", 10);
    Pump();
    m_ime.CopyText(copy.data(), 16, -1, nullptr);
    EXPECT_EQ(std::u16string(copy.data()), u"abcd");
    // Mixed: "aあい" is 1 + 2 + 2 = 5 half cells and 6 bytes; with 4 bytes only "aあ" is read.
    m_area.max_length = 4;
    platform::ImeCompose(u"aあい", 3);
    Pump();
    m_ime.CopyText(copy.data(), 16, -1, nullptr);
    EXPECT_EQ(std::u16string(copy.data()), u"aあ");
    m_ime.Close();
}

TEST_F(CImeTest, CopiesNeverPassTheirBufferOrTheirDestination)
{
    // A maximum beyond the text buffer and a destination smaller than the text.
    m_area.max_length = 100'000;
    m_area.buffer_size = 5;
    m_ime.Open(&m_area);
    const std::u16string long_text(1500, u'あ');
    platform::ImeCompose(long_text, 1500);
    Pump();
    std::array<char16_t, 2048> copy{};
    EXPECT_EQ(m_ime.CopyText(copy.data(), 2048, -1, nullptr), IME_TEXT_UNITS - 1);
    // A surrogate pair that does not fit whole is left out.
    int32_t changed = 0;
    std::array<char16_t, 3> small{u'x', u'x', u'x'};
    platform::ImeCompose(u"a𠮷", 3);
    Pump();
    EXPECT_EQ(m_ime.CopyText(small.data(), 3, -1, &changed), 1);
    EXPECT_EQ(small[0], u'a');
    EXPECT_EQ(small[1], 0);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(m_ime.CopyText(small.data(), 3, -1, &changed), 1);
    EXPECT_EQ(changed, 0);
    // The committed text goes into the 5-unit destination: 4 units and the terminator; the
    // buffer's next unit keeps what it held.
    Then([] { platform::ImeCommit(std::u16string(1500, u'字')); });
    m_ime.RunEntryLoop(LEFT, GLYPH_TOP, 100'000, 20);
    EXPECT_EQ(Buffer(), u"字字字字");
    EXPECT_EQ(m_buffer[5], u'#');
    m_ime.Close();
}

TEST_F(CImeTest, CellsOfZeroOrOnePixelDivideNothingByZero)
{
    for (int32_t cell : {0, 1}) {
        m_area.cell_width = cell;
        m_ime.Open(&m_area);
        platform::ImeCompose(u"かな", 2);
        Pump();
        Then([] { platform::ImeCommit(u"仮名"); });
        m_ime.RunEntryLoop(LEFT, GLYPH_TOP, 100, 20);
        EXPECT_EQ(Buffer(), u"仮名");
        m_ime.DrawComposition(LEFT, GLYPH_TOP);
        m_ime.Close();
    }
}

TEST_F(CImeTest, AnAreaLargerThanTheLayerIsDrawnOnlyInsideIt)
{
    // Layer operations do not clip; a band reaching past the 640 x 60 layer must not write there.
    m_area.right_limit = 5000;
    m_area.band_bottom = 500;
    m_area.max_length = 200;
    m_ime.Open(&m_area);
    platform::ImeCompose(std::u16string(40, u'字'), 40);
    Pump();
    Then([] {});
    Then([] { platform::ImeCancel(); });
    m_ime.RunEntryLoop(LEFT, GLYPH_TOP, 10'000, 20);
    // Cells of 20 pixels from x = 30: the last whole one ends at 630, the next would pass 640.
    EXPECT_EQ(Pixel(LEFT + 29 * CELL + 1, BAND_TOP + 1), 0xFF000000u);
    EXPECT_EQ(Pixel(LEFT + 30 * CELL + 1, BAND_TOP + 1) >> 24, 0u);
    EXPECT_EQ(Pixel(LEFT + 1, 59), 0xFF000000u);
    m_ime.Close();
}

TEST_F(CImeTest, ClosingDuringACompositionCancelsItAndWaitsForItsEnd)
{
    m_ime.Open(&m_area);
    platform::ImeCompose(u"とちゅう", 4);
    Pump();
    ASSERT_TRUE(m_ime.IsComposing());
    m_ime.Close();
    EXPECT_FALSE(m_ime.IsComposing());
    EXPECT_EQ(m_ime.GetState(), IME_STATE_CANCELLED);
    EXPECT_FALSE(m_ime.IsActive());
    EXPECT_FALSE(ImmGetOpenStatus(ImmGetContext(m_view)));
    EXPECT_EQ(ImmGetCompositionStringW(ImmGetContext(m_view), GCS_COMPSTR, nullptr, 0), 0);
}

// A hook after the IME that notes whether the IME was still composing when Enter came up.
class KeyUpWitness : public IWinHook
{
public:
    explicit KeyUpWitness(const CIme& ime)
        : m_ime(ime)
    {}
    int32_t HookProc(HWND, UINT message, WPARAM w_param, LPARAM) override
    {
        if (message == WM_KEYUP && w_param == VK_RETURN)
            composing_at_release = m_ime.IsComposing() ? 1 : 0;
        return 0;
    }
    int composing_at_release = -1;

private:
    const CIme& m_ime;
};

TEST_F(CImeTest, TheEnterThatCommitsIsWaitedOutBeforeTheEntryGoesOn)
{
    CApiKeyboard keyboard;
    GetInputView()->SetKeyboard(&keyboard);
    GetView()->GetHookList().Add(&keyboard);
    keyboard.Enable();
    KeyUpWitness witness(m_ime);
    GetView()->GetHookList().Add(&witness);

    m_ime.Open(&m_area);
    platform::ImeCompose(u"かくてい", 4);
    platform::PushKey(m_view, VK_RETURN, true);
    Pump();
    ASSERT_TRUE(GetInputView()->IsActionTriggered(INPUT_OK, 0));
    platform::ImeCommit(u"確定");
    platform::PushKey(m_view, VK_RETURN, false);
    m_ime.RunEntryLoop(LEFT, GLYPH_TOP, 400, 20);
    // The release arrived while the end of the composition was still waiting for it.
    EXPECT_EQ(witness.composing_at_release, 1);
    EXPECT_FALSE(GetInputView()->IsActionTriggered(INPUT_OK, 0));
    EXPECT_EQ(Buffer(), u"確定");

    m_ime.Close();
    GetView()->GetHookList().Remove(&witness);
    GetView()->GetHookList().Remove(&keyboard);
    GetInputView()->SetKeyboard(nullptr);
}

} // namespace
