// The sprite group driven by assembled scripts over a started game with a live display: the
// animation records the step sub-functions build, the reports for numbers that are not
// registered, the animation numbers, a sprite listed once, scene skip, the pixels and rectangle
// of a loaded picture, a click cutting a grouped play short, and which calls present a frame.

#include <functional>
#include <string>
#include <vector>

#include "GroupTestFixture.h"
#include "akbwriter/AkbWriter.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/SpriteLayerRegistry.h"
#include "platform/d3d/null/NullPresenter.h"
#include "support/ThreadTest.h"

namespace {

constexpr uint32_t RED = 0xFFFF0000;
constexpr uint32_t GREEN = 0xFF00FF00;

// A sprite whose committed records the test reads.
class RecordingSprite final : public CSpriteLayer
{
public:
    const std::vector<SpriteAnimRecord>& Records() const { return m_records; }
};

class CFuncSpriteThreadTest : public ThreadTestOn<GroupTest>
{
protected:
    CFuncSpriteThreadTest()
    {
        GameFiles files;
        files.pictures = {{"P.AKB", tools::EncodeAkb(tools::MakePicture(4, 4, RED), {})}};
        StartGame(std::move(files));
    }

    uint32_t Pixel(int32_t number, int x, int y)
    {
        ILayer* layer = GetSpriteLayerRegistry().GetSpriteLayer(number)->GetLayer();
        const uint8_t* bits = layer->GetBits() + layer->GetPixelOffset(x, y);
        return uint32_t(bits[0]) | uint32_t(bits[1]) << 8 | uint32_t(bits[2]) << 16 | uint32_t(bits[3]) << 24;
    }
    RecordingSprite* AddRecordingSprite(int32_t number)
    {
        auto* sprite = new RecordingSprite;
        sprite->Create(0, 0, 4, 4, -1);
        GetSpriteLayerRegistry().RegisterSpriteLayer(number, sprite);
        return sprite;
    }
    uint64_t Frames() { return platform::GetNullPresenter()->GetFrameCount(); }
};

TEST_F(CFuncSpriteThreadTest, StepSubFunctionsFillOneRecordEach)
{
    struct Case
    {
        const char* steps; // between "lib 19, 16, 1" and the commit
        int32_t duration;
        std::function<void(const SpriteAnimRecord&)> check;
    };
    const Case cases[] = {
        {"lib 19, 18, 1, 2", 0,
         [](const SpriteAnimRecord& r) {
             EXPECT_EQ(r.m_kinds, ANIM_VISIBLE);
             EXPECT_EQ(r.m_visible, 0) << "only exactly 1 counts as visible";
             EXPECT_EQ(r.m_duration, 1);
         }},
        {"lib 19, 18, 1, 1", -5,
         [](const SpriteAnimRecord& r) {
             EXPECT_EQ(r.m_visible, 1);
             EXPECT_EQ(r.m_duration, 1);
         }},
        {"lib 19, 20, 1, 10, 20, 30, 40\nlib 19, 21, 1, 0x1FF, 0x80", 7,
         [](const SpriteAnimRecord& r) {
             EXPECT_EQ(r.m_kinds, ANIM_MOVE | ANIM_ALPHA);
             EXPECT_EQ(r.m_move_from_x, 10);
             EXPECT_EQ(r.m_move_from_y, 20);
             EXPECT_EQ(r.m_move_to_x, 30);
             EXPECT_EQ(r.m_move_to_y, 40);
             EXPECT_EQ(r.m_alpha_from, 0xFF);
             EXPECT_EQ(r.m_alpha_to, 0x80);
             EXPECT_EQ(r.m_duration, 7);
         }},
        {"lib 19, 23, 1, 5, 6, 150, 100, 50, 200", 3,
         [](const SpriteAnimRecord& r) {
             EXPECT_EQ(r.m_kinds, ANIM_ZOOM);
             EXPECT_FLOAT_EQ(r.m_zoom_centre_x, 5.0f);
             EXPECT_FLOAT_EQ(r.m_zoom_centre_y, 6.0f);
             EXPECT_FLOAT_EQ(r.m_zoom_from_x, 1.5f);
             EXPECT_FLOAT_EQ(r.m_zoom_from_y, 1.0f);
             EXPECT_FLOAT_EQ(r.m_zoom_to_x, 0.5f);
             EXPECT_FLOAT_EQ(r.m_zoom_to_y, 2.0f);
         }},
        {"lib 19, 22, 1, 3, 4, 10, 90", 3,
         [](const SpriteAnimRecord& r) {
             EXPECT_EQ(r.m_kinds, ANIM_ROTATE);
             EXPECT_EQ(r.m_angle_from, 10);
             EXPECT_EQ(r.m_angle_to, 90);
             EXPECT_FLOAT_EQ(r.m_rotation_origin_x, 3.0f);
             EXPECT_FLOAT_EQ(r.m_rotation_origin_y, 4.0f);
         }},
        {"lib 19, 24, 1, 7, 1, 0", 3,
         [](const SpriteAnimRecord& r) {
             EXPECT_EQ(r.m_kinds, ANIM_TRANSITION);
             EXPECT_EQ(r.m_transition_appear, 1);
             EXPECT_EQ(r.m_transition_hard_edge, 0);
             EXPECT_EQ(r.m_transition_rule, 7u);
         }},
        {"lib 19, 19, 1, 12", 2,
         [](const SpriteAnimRecord& r) {
             EXPECT_EQ(r.m_kinds, ANIM_DELAY);
             EXPECT_EQ(r.m_delay_count, 12);
         }},
    };
    RecordingSprite* sprite = AddRecordingSprite(1);
    for (const Case& c : cases) {
        RunSource(std::string("lib 19, 16, 1\n") + c.steps + "\nlib 19, 17, 1, " +
                  std::to_string(c.duration) + "\nend");
        ASSERT_EQ(sprite->Records().size(), 1u) << c.steps;
        EXPECT_EQ(sprite->GetPendingRecord(), nullptr) << "the commit closes the record";
        c.check(sprite->Records().back());
    }
    EXPECT_TRUE(TakeMessageBoxes().empty());
}

TEST_F(CFuncSpriteThreadTest, NumbersThatAreNotRegisteredAreReportedOncePerCall)
{
    struct Case
    {
        const char* source;
        size_t reports;
        std::vector<int32_t> stack;
    };
    const Case cases[] = {
        {"lib 19, 10, 42", 1, {}},
        {"lib 19, 12, 42", 1, {0}},
        {"lib 19, 14, 42, 1, 2", 1, {}},
        {"lib 19, 18, 1, 1", 1, {}}, // no open record
        {"lib 19, 17, 1, 5", 1, {}},
        {"lib 19, 16, 1\nlib 19, 17, 1, 5\nlib 19, 21, 1, 0, 255", 1, {}}, // closed by the commit
        {"lib 19, 26, 9, 42", 1, {}},
        {"lib 19, 27, 9, 1", 1, {}},
        {"lib 19, 28, 9", 0, {}},
        {"lib 19, 3, 0, 0, 4, 4, 42, 0, 0, 1, 1", 1, {}},
        {"lib 19, 3, 0, 0, 4, 4, 1, 0, 0, 42, 1", 0, {}}, // a missing source copies nothing
        {"lib 19, 31, 1", 0, {1}},                        // pops nothing more
        {"lib 19, 0, 1, 8, 8, 3, 0", 1, {}},              // a number in use keeps its sprite
    };
    const RecordingSprite* sprite = AddRecordingSprite(1);
    for (const Case& c : cases) {
        RunSource(std::string(c.source) + "\nend");
        const std::vector<std::string> boxes = TakeMessageBoxes();
        EXPECT_EQ(boxes.size(), c.reports) << c.source;
        if (!boxes.empty()) {
            EXPECT_EQ(boxes[0].rfind("test.mes(", 0), 0u) << boxes[0];
        }
        EXPECT_EQ(StackIntegers(), c.stack) << c.source;
        Stack().clear();
    }
    EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(1), sprite);
    EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(7), nullptr);
}

TEST_F(CFuncSpriteThreadTest, TheLowestFreeAnimationNumberIsReused)
{
    RunSource("lib 19, 25\nlib 19, 25\nlib 19, 28, 0\nlib 19, 25\nlib 19, 25\nend");
    EXPECT_EQ(StackIntegers(), (std::vector<int32_t>{0, 1, 0, 2}));
    EXPECT_EQ(GetSpriteLayerRegistry().SpriteAnimes().size(), 3u);
}

TEST_F(CFuncSpriteThreadTest, ASpriteAddedTwicePlaysOnce)
{
    // Sprite 1 is listed once in animation 0, sprite 2 twice in animation 1: they move alike.
    std::string source;
    for (int sprite : {1, 2}) {
        const std::string n = std::to_string(sprite);
        source += "lib 19, 0, " + n + ", 4, 4, 3, 0\nlib 19, 10, " + n + "\nlib 19, 16, " + n +
                  "\nlib 19, 20, " + n + ", 0, 0, 100, 0\nlib 19, 17, " + n + ", 10\nlib 19, 25\n";
    }
    RunSource(source + "lib 19, 26, 0, 1\nlib 19, 26, 1, 2\nlib 19, 26, 1, 2\n"
                       "lib 19, 27, 0, 0\nlib 19, 27, 1, 0\nend");
    for (int32_t number : {0, 1}) {
        auto* anime = dynamic_cast<CSpriteAnime*>(GetSpriteLayerRegistry().SpriteAnimes().at(number).get());
        ASSERT_NE(anime, nullptr);
        anime->Run();
        anime->Run();
    }
    EXPECT_GT(GetSpriteLayerRegistry().GetSpriteLayer(1)->GetPosition().x, 0);
    EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(2)->GetPosition().x, GetSpriteLayerRegistry().GetSpriteLayer(1)->GetPosition().x);
}

TEST_F(CFuncSpriteThreadTest, AClickCutsAGroupedPlayShortWithEveryStepFinal)
{
    m_app.on_pump = [this](int pumps) {
        if (pumps == 40)
            m_mouse.left_down = 1;
    };
    RunSource(R"(
        lib 19, 0, 1, 4, 4, 3, 0
        lib 19, 0, 2, 4, 4, 3, 1
        lib 19, 10, 1
        lib 19, 10, 2
        lib 19, 16, 1
        lib 19, 20, 1, 0, 0, 100, 50
        lib 19, 17, 1, 1000
        lib 19, 16, 2
        lib 19, 21, 2, 0, 200
        lib 19, 17, 2, 1000
        lib 19, 25
        lib 19, 26, 0, 1
        lib 19, 26, 0, 2
        lib 19, 27, 0, 1
        end)");
    m_mouse.left_down = 0;
    EXPECT_LT(Pumps(), 200) << "cut short long before its 1000 ticks";
    EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(1)->GetPosition().x, 100);
    EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(1)->GetPosition().y, 50);
    EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(2)->GetAlpha(), 200);
    EXPECT_NE(dynamic_cast<CSpriteTexture*>(GetSpriteLayerRegistry().GetSpriteLayer(2)), nullptr) << "kind 1 is a texture";
}

TEST_F(CFuncSpriteThreadTest, SceneSkipBlocksOnlyTheLoadAndThePlainCopy)
{
    const char* sprites = R"(
        lib 19, 0, 1, 4, 4, 3, 0
        lib 19, 0, 2, 4, 4, 3, 0
        lib 19, 6, 0, 0, 4, 4, 2, 0xFF00FF00, 1
        end)";
    RunSource(sprites);
    m_app.Config().SetInt("/Config/SceneSkip", 1);
    RunSource("lib 19, 1, \"P.AKB\", 1\nlib 19, 3, 0, 0, 2, 2, 1, 0, 0, 2, 1\nend");
    EXPECT_EQ(Pixel(1, 0, 0), 0u);
    RunSource("lib 19, 5, 2, 2, 2, 2, 1, 0, 0, 2\nend");
    EXPECT_EQ(Pixel(1, 2, 2) & 0xFFFFFF, GREEN & 0xFFFFFF) << "the alpha copy still works";

    m_app.Config().SetInt("/Config/SceneSkip", 0);
    RunSource("lib 19, 1, \"P.AKB\", 1\nend");
    EXPECT_EQ(Pixel(1, 3, 3), RED);
    const int32_t rect[] = {0, 0, 4, 4};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(State().Values[42 + i].Integer, rect[i]) << i;
    RunSource("lib 19, 3, 0, 0, 2, 2, 1, 0, 0, 2, 1\nlib 19, 2, 2\nend");
    EXPECT_EQ(Pixel(1, 1, 1), GREEN);
    EXPECT_EQ(Pixel(2, 3, 3), 0xFF000000u);
    EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(2)->IsVisible(), 1);
}

TEST_F(CFuncSpriteThreadTest, OnlyChangesToSpriteZeroPresentAFrameAtOnce)
{
    // Both shown: a change to a hidden sprite shows nothing new, so no frame is presented for it.
    RunSource("lib 19, 0, 0, 8, 8, 0, 0\nlib 19, 0, 5, 8, 8, 1, 0\nlib 19, 10, 0\nlib 19, 10, 5\nend");
    struct Case
    {
        const char* source;
        uint64_t frames;
    };
    const Case cases[] = {
        {"lib 19, 6, 0, 0, 2, 2, 5, 0xFF00FF00, 1", 0},
        {"lib 19, 6, 0, 0, 2, 2, 0, 0xFF00FF00, 1", 1},
        {"lib 19, 7, 0, 0, 2, 2, 5", 0},
        {"lib 19, 9, 0, 0, 2, 2, 0, 128", 1},
        {"lib 19, 29, 0, 0, 2, 2, 5, 0, 0, 0", 0},
        {"lib 19, 30, 0, 0, 2, 2, 0, 0, 0, 5, 0xFF00", 1},
        {"lib 19, 14, 5, 3, 4", 1},
        {"lib 19, 15, 5, 99", 1},
    };
    for (const Case& c : cases) {
        const uint64_t before = Frames();
        RunSource(std::string(c.source) + "\nend");
        EXPECT_EQ(Frames() - before, c.frames) << c.source;
    }
    EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(5)->GetAlpha(), 99);
    EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(5)->GetPosition().x, 3);
}

} // namespace
