#include <functional>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/LayerTestSupport.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/map/TownMapFixture.h"
#include "script/vm/CScript.h"

namespace {

using Arg = std::variant<int, std::string>;

// A town map whose script stack is a vector and whose pictures are blank sprites of a fixed size.
class StackMap : public FileMap
{
public:
    void PushValue(const ScriptValue& value) override { stack.push_back(value); }
    ScriptValue* PopValue(ScriptValue* out) override
    {
        *out = ScriptValue();
        if (!stack.empty()) {
            *out = stack.back();
            stack.pop_back();
        }
        return out;
    }
    CSprite* LoadSprite(const CStringUTF8& name, CSprite* sprite, int32_t, int32_t, int32_t, RECT* out,
                        int32_t, int32_t, int32_t) override
    {
        loads.push_back(name.GetText());
        if (out != nullptr)
            *out = RECT{0, 0, 600, 400};
        // A picture of its own colour, the town's larger than the others, which show over it.
        if (ILayer* layer = paint ? SpriteLayerOf(sprite) : nullptr; layer != nullptr) {
            const int32_t part = name == CStringUTF8("town.akb") ? 1 : 2;
            layer->FillRect(0, 0, 600 / part, 400 / part,
                            0xFF000000u | static_cast<uint32_t>(std::hash<std::string>()(loads.back())), 1);
        }
        return sprite != nullptr ? sprite : CreateSprite(0, 0, 16, 16, -1, 0, 0);
    }
    std::vector<ScriptValue> stack;
    std::vector<std::string> loads;
    bool paint = false;
};

class CCpsCommandsThreadTest : public TownMapFixture
{
protected:
    CCpsCommandsThreadTest()
    {
        tools::MoverBlockSpec spec;
        spec.movers = {{0x41, 0, 1, 2, 3, 4, 0x10, 0}, {0x01, 0, 1, 2, 10, 4, 0x10, 0}};
        spec.programs = {{{9, 0}}, {{1, 2}}};
        spec.view_points = {40, 30, 7, 8};
        std::vector<std::string> rows = Free(30, 20);
        rows[6] = "..........########............";
        for (size_t i = 0; i < spec.movers.size(); ++i) {
            State().Flags[7091 + 3 * i] = static_cast<uint8_t>(spec.movers[i].x);
            State().Flags[7092 + 3 * i] = static_cast<uint8_t>(spec.movers[i].y);
            State().Flags[7093 + 3 * i] = spec.movers[i].facing;
        }
        map.files["walk.map"] = tools::BuildWalkMap(rows);
        map.files["movers.bin"] = tools::BuildMoverBlock(spec);
        map.LoadWalkMap("walk.map");
        map.LoadMovers("movers.bin");
        map.CreateMapLayers();
    }
    // Runs one command; args in the order the command pops them (the sub-command first).
    void Exec(const std::vector<Arg>& args)
    {
        for (auto it = args.rbegin(); it != args.rend(); ++it)
            map.stack.push_back(std::holds_alternative<int>(*it)
                                    ? ScriptValue::FromInteger(std::get<int>(*it))
                                    : ScriptValue::FromText(CStringUTF8(std::get<std::string>(*it).c_str())));
        CScript script;
        map.ExecCommand(script);
    }
    int Value(size_t n) { return State().Values[n].Integer; }

    StackMap map;
};

} // namespace

TEST_F(CCpsCommandsThreadTest, EveryCommandPopsExactlyItsArgumentsWhateverTheIndex)
{
    struct Case
    {
        std::vector<Arg> good, bad;
    } cases[] = {
        {{19}, {23}},
        {{24}, {35}},
        {{99}, {-1}},
        {{1, 0, 0, 1}, {1, 5, 64, 1}},
        {{5, 1, 1}, {5, 2, 9}},
        {{7, 1, 1}, {7, 64, 1}},
        {{14, 0, 3}, {14, 9, 3}},
        {{15, 0, 3, 10}, {15, 70, 3, 10}},
        {{18, 1}, {18, 2}},
        {{20, 1, 0}, {20, -3, 0}},
        {{21, 0}, {21, 100}},
        {{22, 0, 2}, {22, 2, 2}},
        {{25, "tiles.akb", 0}, {25, "tiles.akb", 2}},
        {{31, 0}, {31, 3}},
    };
    for (const Case& c : cases) {
        for (const auto* args : {&c.good, &c.bad}) {
            map.stack = {ScriptValue::FromInteger(777)};
            const std::vector<uint8_t> before = map.MoveProgramData.Bytes;
            Exec(*args);
            ASSERT_EQ(map.stack.size(), 1u) << "sub-command " << std::get<int>((*args)[0]);
            EXPECT_EQ(map.stack[0].Integer, 777);
            if (args == &c.bad) {
                EXPECT_EQ(map.MoveProgramData.Bytes, before) << "sub-command " << std::get<int>((*args)[0]);
            }
            Exec({16});
        }
    }
}

TEST_F(CCpsCommandsThreadTest, AScriptedWalkEndsOnTheGoal)
{
    map.EventCheckMode = 2;
    Exec({15, 0, 20, 12}); // foot (3, 5) to (20, 12), round the wall of row 6
    Exec({17});
    EXPECT_EQ(Value(18), 0xFFFF);
    EXPECT_EQ(map.Movers[0][10], 13);
    Exec({5, 0, 1}); // refused while walking
    EXPECT_EQ(map.MoverAt(0).Program(), 0);
    for (int tick = 0; tick < 60 && Value(18) != 0; ++tick) {
        map.StepMovers();
        Exec({17});
    }
    EXPECT_EQ(Value(18), 0);
    EXPECT_EQ(map.MoverAt(0).X(), 20);
    EXPECT_EQ(map.MoverAt(0).Y() + 1, 12);
    EXPECT_EQ(map.MoverAt(0).State(), 0x41);

    // Already on the goal: no walk starts, so nothing re-arms the event check.
    map.EventCheckPending = 0;
    Exec({15, 0, 20, 12});
    Exec({17});
    EXPECT_EQ(Value(18), 0);
    EXPECT_EQ(map.MoverAt(0).State(), 0x41);
    Exec({16});
    EXPECT_EQ(map.EventCheckPending, 0);

    Exec({15, 0, 3, 3});
    map.EventCheckPending = 0;
    Exec({16});
    EXPECT_EQ(map.MoverAt(0).Opcode(), 9);
    EXPECT_EQ(map.EventCheckPending, 1);
    Exec({17});
    EXPECT_EQ(Value(18), 0);
}

TEST_F(CCpsCommandsThreadTest, TrailReplayAndShortcut)
{
    for (uint16_t i = 0; i < 32; ++i)
        map.TrailRing[i] = {i, static_cast<uint16_t>(i + 1), 0x20};
    struct Case
    {
        uint16_t head;
        int n, entry;
    } cases[] = {{5, 0, 4}, {0, 0, 31}, {0, 1, 29}, {3, 15, 4}, {3, 16, 2}};
    for (const Case& c : cases) {
        map.TrailHead = c.head;
        Exec({20, 1, c.n});
        EXPECT_EQ(map.MoverAt(1).X(), c.entry) << c.head << " " << c.n;
        EXPECT_EQ(State().Flags[7094], c.entry);
        EXPECT_EQ(State().Flags[7095], c.entry + 1);
    }
    map.PathLength = 19;
    Exec({21, 0});
    EXPECT_EQ(map.PathLength, 19);
    EXPECT_NE(map.MoverAt(0).Opcode(), 15);
    map.PathLength = 25;
    Exec({21, 0});
    EXPECT_EQ(map.PathLength, 5);
    EXPECT_EQ(map.MoverAt(0).Opcode(), 15);
}

TEST_F(CCpsCommandsThreadTest, ViewPointsAndSavedPlacesKeepTheCameraInsideTheMap)
{
    Exec({1, 0, 1, 3});
    EXPECT_EQ(map.Camera.CamX, 0); // 40 clamped to 30 - 48, then raised to 0
    EXPECT_EQ(map.Camera.CamY, 0);
    EXPECT_EQ(map.MoverAt(1).X(), 7);
    EXPECT_EQ(map.MoverAt(1).Facing(), 0x30);
    for (const TrailEntry& entry : map.TrailRing)
        EXPECT_EQ(entry.Y, 8);
    State().Flags[7097] = 200;
    Exec({31, 0});
    EXPECT_EQ(map.Camera.CamX, 0);
    Exec({18, 1});
    EXPECT_EQ(Value(23), 7);
    EXPECT_EQ(Value(24), 8);
}

TEST_F(CCpsCommandsThreadTest, PicturesLoadOnlyWhenTheNameChanges)
{
    Exec({25, "tiles.akb", 0});
    Exec({25, "tiles.akb", 0});
    Exec({28, "roofs.akb"});
    Exec({28, "roofs.akb"});
    Exec({27, "town.akb"});
    ASSERT_TRUE(map.PresenceOverlay);
    EXPECT_EQ(map.PresenceOverlay->GetRect()->bottom - map.PresenceOverlay->GetRect()->top, 1120);
    Exec({27, "town.akb"});
    EXPECT_EQ(map.loads, (std::vector<std::string>{"tiles.akb", "roofs.akb", "town.akb"}));
    Exec({27, "senro_2.akb"});
    EXPECT_FALSE(map.PresenceOverlay);
    Exec({32});
    EXPECT_FALSE(map.PresenceOverlay);
    Exec({34});
    EXPECT_EQ(map.MoverCount, 0u);
    EXPECT_FALSE(map.PictureSlot[0]);
}

// The menu makes the layers with the map at start-up; the data's release keeps them, so the same
// picture named again is the one already there.
TEST_F(CCpsCommandsThreadTest, TheLayersAreMadeWithTheMenuAndOutliveTheDatasRelease)
{
    StackMap fresh;
    EXPECT_EQ(fresh.CreateMenu(), 1);
    EXPECT_TRUE(fresh.MapPicture && fresh.OverlayPicture && fresh.Composite);

    // Pictures as large as the window: a frame of the map keeps its view.
    const SIZE saved = CCps::GetMapPictureSize();
    CCps::SetMapPictureSize(1920, 1080);
    ASSERT_TRUE(map.CreateMapLayers());
    CCps::SetMapPictureSize(saved.cx, saved.cy);
    Exec({27, "town.akb"});
    Exec({28, "roofs.akb"});
    // The kept view goes with the data it was made of.
    const std::unique_ptr<CSpriteLayer> target = CreateSpriteOfType(0, 0, 1920, 1080, 0, 0);
    map.DrawMap(target.get());
    EXPECT_TRUE(map.HoldsKeptView());
    Exec({34});
    EXPECT_FALSE(map.HoldsKeptView());
    ASSERT_TRUE(map.MapPicture && map.OverlayPicture && map.Composite);
    Exec({27, "town.akb"});
    Exec({28, "roofs.akb"});
    EXPECT_EQ(map.loads, (std::vector<std::string>{"town.akb", "roofs.akb"}));
}

// The data's release gives the map pictures' pixels back; the next draw loads the same pictures
// again in their order, and the frame is the one drawn before.
TEST_F(CCpsCommandsThreadTest, TheDatasReleaseGivesThePicturesPixelsBackUntilTheNextDraw)
{
    const SIZE saved = CCps::GetMapPictureSize();
    CCps::SetMapPictureSize(1920, 1080);
    ASSERT_TRUE(map.CreateMapLayers());
    CCps::SetMapPictureSize(saved.cx, saved.cy);
    map.paint = true;
    Exec({27, "town.akb"});
    Exec({27, "river.akb"});
    Exec({28, "roofs.akb"});
    const std::unique_ptr<CSpriteLayer> target = CreateSpriteOfType(0, 0, 1920, 1080, 0, 0);
    const auto frame = [&] {
        map.DrawMap(target.get());
        std::vector<uint32_t> pixels;
        for (int y = 0; y < 400; y += 7)
            for (int x = 0; x < 600; x += 7)
                pixels.push_back(PixelAt(*target->GetLayer(), x, y));
        return pixels;
    };
    const std::vector<uint32_t> before = frame();
    ASSERT_NE(PixelAt(*map.MapPicture->GetLayer(), 10, 10), 0u);

    Exec({34});
    EXPECT_EQ(PixelAt(*map.MapPicture->GetLayer(), 10, 10), 0u);
    EXPECT_EQ(PixelAt(*map.MapPicture->GetLayer(), 250, 150), 0u);
    EXPECT_EQ(PixelAt(*map.OverlayPicture->GetLayer(), 10, 10), 0u);
    Exec({27, "river.akb"});
    Exec({28, "roofs.akb"});
    EXPECT_EQ(map.loads, (std::vector<std::string>{"town.akb", "river.akb", "roofs.akb"}));
    EXPECT_EQ(frame(), before);
    EXPECT_EQ(map.loads, (std::vector<std::string>{"town.akb", "river.akb", "roofs.akb", "town.akb",
                                                   "river.akb", "roofs.akb"}));
}
