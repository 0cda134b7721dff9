// Story text typeset by the script straight into a shown sprite reaches the screen while the script
// waits, with no other call to show it: the frames presented during the wait hold its glyphs.

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "../commands/GroupTestFixture.h"
#include "platform/d3d/null/NullPresenter.h"
#include "support/ThreadTest.h"

namespace {

// Fonts of 48; sprite 100 over the lower part of the screen, as the demo makes it, and sprite 8, a
// text layer that is never shown.
constexpr const char* SPRITES = R"(
        lib 10, 0, 48, 48
        lib 19, 0, 100, 1920, 280, 20, 0
        lib 19, 14, 100, 0, 780
        lib 19, 10, 100
        lib 19, 0, 8, 1920, 280, 0, 0
        end
)";

// The text and a number after it, each followed by a timed wait.
constexpr const char* LINE = R"(
        lib 28, 0, 200, 1
        text "冬休みの朝"
        lib 28, 0, 200, 1
        push 37
        lib 11, 0
        lib 28, 0, 200, 1
        end
)";

class ShownTextThreadTest : public ThreadTestOn<GroupTest>
{
protected:
    ShownTextThreadTest()
    {
        StartGame();
        State().Variables.resize(100);
        RunSource(SPRITES);
    }

    // White glyphs in full-width cells of 96 on lines 72 apart, from (160, 40) of the sprite.
    void TypeInto(int32_t sprite)
    {
        const std::pair<size_t, int32_t> layout[] = {{29, 0},   {30, 96},  {31, 72},  {33, -1},    {34, 48},
                                                     {35, 72},  {40, 0},   {46, 160}, {47, 40},    {48, 1760},
                                                     {49, 260}, {50, 160}, {51, 40},  {53, sprite}};
        for (const auto& [index, value] : layout)
            State().Values[index] = ScriptValue::FromInteger(value);
    }

    // Lit pixels of the newest presented frame inside the rectangle.
    static int LitIn(int left, int top, int right, int bottom)
    {
        const auto shown = platform::GetNullPresenter()->GetLastFrame();
        const platform::PresentedFrame& frame = *shown;
        if (frame.pixels.empty())
            return 0;
        int lit = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                const uint8_t* p = &frame.pixels[(static_cast<size_t>(y) * frame.width + x) * 4];
                lit += p[0] > 128 && p[1] > 128 && p[2] > 128;
            }
        }
        return lit;
    }
};

TEST_F(ShownTextThreadTest, TextAndNumbersTypedIntoAShownSpriteShowDuringTheWaitAfterThem)
{
    // On screen: the five cells of the text from (160, 820), then the two digits' half cells.
    constexpr int TOP = 780 + 40, BOTTOM = TOP + 72;
    constexpr int TEXT_LEFT = 160, TEXT_RIGHT = TEXT_LEFT + 5 * 96, NUMBER_RIGHT = TEXT_RIGHT + 2 * 48;
    int before_text = -1, text_during_wait = -1, number_before = -1, number_during_wait = -1;
    // The pen moves on as each is typed; the wait after it pumps on.
    m_app.on_pump = [&](int) {
        const int32_t pen = State().Values[50].Integer;
        if (pen == TEXT_LEFT) {
            before_text = LitIn(TEXT_LEFT, TOP, NUMBER_RIGHT, BOTTOM);
        } else if (pen == TEXT_RIGHT) {
            text_during_wait = LitIn(TEXT_LEFT, TOP, TEXT_RIGHT, BOTTOM);
            number_before = LitIn(TEXT_RIGHT, TOP, NUMBER_RIGHT, BOTTOM);
        } else {
            number_during_wait = LitIn(TEXT_RIGHT, TOP, NUMBER_RIGHT, BOTTOM);
        }
    };
    TypeInto(100);
    RunSource(LINE);
    EXPECT_EQ(before_text, 0) << "nothing lit before the text";
    EXPECT_GT(text_during_wait, 200) << "the text's glyphs are not on screen while the script waits";
    EXPECT_EQ(number_before, 0);
    EXPECT_GT(number_during_wait, 50) << "the number's digits are not on screen while the script waits";
    EXPECT_EQ(LitIn(0, 0, 1920, 780), 0) << "nothing lit above the text sprite";
    EXPECT_TRUE(TakeMessageBoxes().empty());
}

TEST_F(ShownTextThreadTest, TextIntoALayerNeverShownPresentsNoFrame)
{
    TypeInto(8);
    const uint64_t frames = platform::GetNullPresenter()->GetFrameCount();
    RunSource("text \"冬休みの朝\"\npush 37\nlib 11, 0\nend");
    EXPECT_NE(State().Values[50].Integer, 160) << "the pen moved: the text was typeset";
    EXPECT_EQ(platform::GetNullPresenter()->GetFrameCount(), frames);
}

} // namespace
