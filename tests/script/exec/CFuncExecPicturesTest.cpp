// The exec group's picture commands on a started document: the picture slots with scene skip,
// the pan, the zoom flash read back at worked-out pixels, the train and the fixed picture sets,
// and snow, petals and the snowball driven through their codes in every order, with builder
// threads of their own.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ExecStage.h"
#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "foundation/ConfigSettings.h"
#include "graphics/CAppTask.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CSakuraEffect.h"
#include "graphics/CSakuraParticle.h"
#include "graphics/CSnowEffect.h"
#include "graphics/CSnowFirstOne.h"
#include "graphics/CSnowParticle.h"
#include "graphics/CSnowParticleOne.h"
#include "graphics/PictureSlot.h"
#include "graphics/SpriteLayerOf.h"
#include "graphics/SpriteLayerRegistry.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/exec/CFuncExec.h"

namespace {

constexpr uint32_t LEFT = 0xFF102030;
constexpr uint32_t RIGHT = 0xFF405060;
constexpr uint32_t BOX = 0xFFE0C020;

class ExecPictureThreadTest : public ExecStage
{
protected:
    ~ExecPictureThreadTest() override
    {
        SetConfigSceneSkip(0);
        m_app.Config().SetInt("/Config/DisplayEffect/Speed", 0);
    }
    uint32_t At(int32_t layer, int x, int y) { return EffectPixel(Layer(layer), x, y); }
    // Layer 6 is where a draw lands while the screen is not covered.
    void ClearTarget() { Layer(PICTURE_LAYER_FADE).FillRect(0, 0, 1920, 1080, STAGE_BLACK, 1); }
};

using ParticleExecThreadTest = WeatherStage;

} // namespace

TEST_F(ExecPictureThreadTest, PictureSlotsUnderSceneSkipAndOutOfRangeSlots)
{
    // Begin with a base: loaded, shown name kept, overlays emptied, slots cleared.
    GetShownPictureName(3) = "old.akb";
    SetPictureSlotName("ov.akb", 0, 5);
    Exec({12, 0, "bg.akb"});
    EXPECT_EQ(At(PICTURE_LAYER_BASE, 10, 10), STAGE_BASE);
    EXPECT_EQ(GetShownBaseName(), CStringUTF8("bg.akb"));
    EXPECT_TRUE(GetShownPictureName(3).IsEmpty());
    EXPECT_EQ(GetPictureSlot(5).m_in_use, 0u);

    Exec({12, 14, "ov.akb", 1, 2, 200, 100});
    EXPECT_EQ(GetPictureSlot(2).m_in_use, 1u);
    EXPECT_EQ(GetPictureSlot(2).m_x, 200);
    EXPECT_EQ(GetShownPictureName(2), CStringUTF8("ov.akb"));

    struct Row
    {
        int32_t skip;
        int32_t sub;
        bool draws;
    };
    for (const Row& row : {Row{0, 2, true}, Row{1, 2, false}, Row{0, 6, true}, Row{1, 6, true},
                           Row{0, 15, true}, Row{1, 15, false}}) {
        SCOPED_TRACE(row.sub * 10 + row.skip);
        SetConfigSceneSkip(row.skip);
        ClearTarget();
        if (row.sub == 15)
            Exec({12, 15, 0, 0});
        else
            Exec({12, row.sub});
        EXPECT_EQ(At(PICTURE_LAYER_FADE, 10, 10), row.draws ? STAGE_BASE : STAGE_BLACK);
        EXPECT_EQ(At(PICTURE_LAYER_FADE, 250, 150), row.draws ? STAGE_OVERLAY : STAGE_BLACK);
        EXPECT_EQ(StackSize(), 0u);
    }

    // Under scene skip a new base only begins the combination.
    SetConfigSceneSkip(1);
    Layer(PICTURE_LAYER_BASE).FillRect(0, 0, 1920, 1080, STAGE_BLACK, 1);
    Exec({12, 0, "ov.akb"});
    EXPECT_EQ(At(PICTURE_LAYER_BASE, 10, 10), STAGE_BLACK);
    EXPECT_EQ(GetShownBaseName(), CStringUTF8("bg.akb"));
    EXPECT_EQ(GetPictureSlot(2).m_in_use, 1u);
    SetConfigSceneSkip(0);

    // Slot 16 outside 0 to 6 changes no slot; inside it takes the slot out.
    for (int32_t index : {-1, 7, 100})
        Exec({12, 16, index});
    for (int32_t i = 0; i < PICTURE_SLOT_COUNT; ++i)
        EXPECT_EQ(GetPictureSlot(i).m_in_use, i == 2 ? 1u : 0u) << i;
    Exec({12, 16, 2});
    EXPECT_EQ(GetPictureSlot(2).m_in_use, 0u);

    // The seen-picture bits.
    FlagBuffer& state = *GetScriptState().m_current_state;
    state.Flags.assign(3400, 0);
    Exec({12, 13, 19});
    EXPECT_EQ(state.Flags[3302], 0x08);
    EXPECT_EQ(state.Flags[3001], 1);
    EXPECT_EQ(state.Flags[3002], 1);
    Exec({12, 13, 1'000'000});
    Exec({12, 13, -5});
    EXPECT_EQ(StackSize(), 0u);
}

TEST_F(ExecPictureThreadTest, FadeAndRuleTransitionBringTheSlotsOnScreenUnlessScenesAreSkipped)
{
    Exec({12, 0, "bg.akb"});
    Exec({12, 2});
    struct Row
    {
        int32_t skip;
        std::vector<ExecArg> call;
    };
    for (const Row& row :
         {Row{1, {12, 3, 4}}, Row{0, {12, 3, 4}}, Row{1, {12, 4, 1, 4}}, Row{0, {12, 4, 1, 4}}}) {
        SCOPED_TRACE(std::get<int32_t>(row.call[1]) * 10 + row.skip);
        SetConfigSceneSkip(row.skip);
        Layer(PICTURE_LAYER_SCENE).FillRect(0, 0, 1920, 1080, STAGE_BLACK, 1);
        Exec(row.call);
        EXPECT_EQ(At(PICTURE_LAYER_SCENE, 960, 540), row.skip ? STAGE_BLACK : STAGE_BASE);
        EXPECT_EQ(Layer(PICTURE_LAYER_FADE).IsVisible(), 0);
    }
    // The zoom flash under scene skip only draws the slots: no enlargement, no white.
    SetConfigSceneSkip(1);
    ClearTarget();
    Layer(PICTURE_LAYER_SCENE).FillRect(0, 0, 1920, 1080, STAGE_BLACK, 1);
    Layer(PICTURE_LAYER_SCENE).FillRect(600, 300, 720, 480, BOX, 1);
    Exec({42});
    EXPECT_EQ(At(PICTURE_LAYER_SCENE, 540, 540), STAGE_BLACK);
    EXPECT_EQ(At(PICTURE_LAYER_FADE, 10, 10), STAGE_BASE);
    EXPECT_EQ(GetSpriteLayerRegistry().GetFadeSprite()->IsVisible(), 0);
}

TEST_F(ExecPictureThreadTest, PanEndsAtItsEndAndADivisorOfZeroIsOne)
{
    CSpriteLayer& base = Layer(PICTURE_LAYER_BASE);
    base.FillRect(0, 0, 1920, 1080, RIGHT, 1);
    base.FillRect(0, 0, 100, 1080, LEFT, 1);
    struct Row
    {
        int32_t speed, divisor, skip;
        bool moves;
    };
    for (const Row& row :
         {Row{2, 1, 0, true}, Row{0, 0, 0, true}, Row{1, -3, 0, true}, Row{0, 1, 1, false}}) {
        SCOPED_TRACE(row.speed * 100 + row.divisor);
        m_app.Config().SetInt("/Config/DisplayEffect/Speed", row.speed);
        SetConfigSceneSkip(row.skip);
        Layer(PICTURE_LAYER_SCENE).FillRect(0, 0, 1920, 1080, STAGE_BLACK, 1);
        Exec({33, 0, 0, 50, 0, 1, row.divisor});
        EXPECT_EQ(At(PICTURE_LAYER_SCENE, 49, 500), row.moves ? LEFT : STAGE_BLACK);
        EXPECT_EQ(At(PICTURE_LAYER_SCENE, 50, 500), row.moves ? RIGHT : STAGE_BLACK);
        EXPECT_EQ(StackSize(), 0u);
    }
}

TEST_F(ExecPictureThreadTest, ZoomFlashEnlargesAboutTheCentreAndLiftsTheFlash)
{
    // Without a base the slots draw nothing, so the enlarged scene stays for the check.
    GetSpriteLayerRegistry().UnregisterSpriteLayer(PICTURE_LAYER_BASE);
    CSpriteLayer& scene = Layer(PICTURE_LAYER_SCENE);
    scene.FillRect(0, 0, 1920, 1080, LEFT, 1);
    scene.FillRect(600, 300, 720, 480, BOX, 1);
    Exec({42});
    Capture("zoom_flash.png");
    // The box (600, 300)-(1320, 780) grows by 1.2 about (960, 540) to (528, 252)-(1392, 828).
    struct Point
    {
        int x, y;
        uint32_t colour;
    };
    for (const Point& p :
         {Point{540, 540, BOX}, Point{515, 540, LEFT}, Point{1380, 540, BOX}, Point{1405, 540, LEFT},
          Point{960, 260, BOX}, Point{960, 240, LEFT}, Point{960, 820, BOX}, Point{960, 840, LEFT}}) {
        EXPECT_EQ(At(PICTURE_LAYER_SCENE, p.x, p.y) | 0xFF000000u, p.colour) << p.x << ", " << p.y;
        EXPECT_EQ(Shown(p.x, p.y), p.colour) << p.x << ", " << p.y;
    }
    EXPECT_EQ(GetSpriteLayerRegistry().GetFadeSprite()->IsVisible(), 0);
}

TEST_F(ExecPictureThreadTest, TrainAndFixedPictureSets)
{
    Exec({39, 4}); // no train yet: nothing
    Exec({39, 0});
    ASSERT_NE(m_exec->GetTrainSprite(), nullptr);
    Exec({39, 4});
    EXPECT_EQ(m_exec->GetTrainSprite()->IsVisible(), 1);
    EXPECT_EQ(m_exec->GetTrainSprite()->GetPosition().x, -6244);
    // Arrival then departure: each play runs its own step only.
    Exec({39, 2});
    EXPECT_EQ(m_exec->GetTrainSprite()->GetPosition().x, -6244);
    EXPECT_EQ(m_exec->GetTrainSprite()->IsVisible(), 1);
    Exec({39, 3});
    EXPECT_EQ(m_exec->GetTrainSprite()->IsVisible(), 0);
    EXPECT_EQ(m_exec->GetTrainSprite()->GetAnimationCount(), 0);
    Exec({39, 1});
    EXPECT_EQ(m_exec->GetTrainSprite(), nullptr);
    Exec({39, 5});
    EXPECT_EQ(At(PICTURE_LAYER_SCENE, 700, 700), STAGE_STATION);

    Exec({45, 0});
    const int32_t priorities[] = {2, 4, 6};
    const uint32_t colours[] = {0xFF0000C0, 0xFF0000B0, 0xFF0000A0};
    for (int32_t i = 0; i < 3; ++i) {
        CSpriteLayer* sprite = GetSpriteLayerRegistry().GetSpriteLayer(10 + i);
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->GetPriority(), priorities[i]);
        EXPECT_EQ(sprite->IsVisible(), 1);
        EXPECT_EQ(EffectPixel(*sprite, 5, 5), colours[i]);
    }
    GetSpriteLayerRegistry().UnregisterSpriteLayer(11);
    auto* other = new CSpriteLayer;
    other->Create(0, 0, 8, 8, -1);
    GetSpriteLayerRegistry().RegisterSpriteLayer(13, other);
    Exec({45, 1});
    for (int32_t number : {10, 11, 12})
        EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(number), nullptr) << number;
    EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(13), other);

    Exec({56, 0});
    ASSERT_NE(GetSpriteLayerRegistry().GetSpriteLayer(10), nullptr);
    EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(10)->GetPriority(), 14);
    EXPECT_EQ(EffectPixel(*GetSpriteLayerRegistry().GetSpriteLayer(10), 5, 5), 0xFF0000D0u);
    Exec({56, 1});
    Exec({56, 1});
    EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(10), nullptr);
    EXPECT_EQ(StackSize(), 0u);
}

TEST_F(ParticleExecThreadTest, SnowAndPetalsInEveryOrderNeverDeadlock)
{
    const std::vector<std::vector<int32_t>> orders = {{0, 1},          {0, 2, 1}, {3, 1},
                                                      {0, 0, 2, 3, 1}, {2, 1, 1}, {0, 3, 2, 0, 1}};
    for (int round = 0; round < 5; ++round) {
        for (const std::vector<int32_t>& order : orders) {
            for (int32_t code : {43, 55}) {
                for (int32_t sub : order) {
                    Exec({code, sub});
                    RunTasks(1);
                }
            }
            EXPECT_EQ(m_exec->GetSnow(), nullptr);
            EXPECT_EQ(m_exec->GetPetals(), nullptr);
        }
    }
    // Left running, the effects go with the exec group.
    Exec({43, 3});
    Exec({55, 0});
    RunTasks(3);
    EXPECT_NE(m_exec->GetSnow(), nullptr);
    EXPECT_NE(m_exec->GetPetals(), nullptr);
}

// The group goes in its order: its own task first, then the snow, the petals and the first
// snowflake, each of which takes its particles' task out of the runner as it goes.
TEST_F(ParticleExecThreadTest, TheGroupReleasesItsTaskBeforeItsEffects)
{
    Exec({43, 3});
    Exec({55, 0});
    Exec({44, 0});
    RunTasks(1);
    ASSERT_NE(m_exec->GetSnow(), nullptr);
    ASSERT_NE(m_exec->GetPetals(), nullptr);
    ASSERT_NE(m_exec->GetSnowball(), nullptr);
    const std::vector<IAppTask*> effects = {m_exec->GetSnow()->GetParticles(),
                                            m_exec->GetPetals()->GetParticles(),
                                            m_exec->GetSnowball()->GetParticle()};
    struct RecordingRunner final : CAppTask
    {
        explicit RecordingRunner(CAppTask* runner)
            : runner(runner)
        {}
        void RemoveTask(IAppTask* task) override
        {
            removed.push_back(task);
            if (runner != nullptr)
                runner->RemoveTask(task);
        }
        CAppTask* runner;
        std::vector<IAppTask*> removed;
    } recorder(GetAppTask());
    CAppTask* previous = SetAppTask(&recorder);
    m_exec.reset();
    SetAppTask(previous);
    std::vector<IAppTask*> order;
    for (IAppTask* task : recorder.removed)
        if (std::find(order.begin(), order.end(), task) == order.end())
            order.push_back(task);
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(std::find(effects.begin(), effects.end(), order[0]), effects.end()) << "the group's own task";
    EXPECT_EQ(std::vector<IAppTask*>(order.begin() + 1, order.end()), effects);
}

TEST_F(ParticleExecThreadTest, TheSnowballWaitEndsWhenItHasLanded)
{
    Exec({44, 2}); // none yet: returns at once
    Exec({44, 0});
    ASSERT_NE(m_exec->GetSnowball(), nullptr);
    RunTasks(1);
    ASSERT_EQ(m_exec->GetSnowball()->GetParticle()->IsActive(), 1);
    Exec({44, 2});
    EXPECT_EQ(m_exec->GetSnowball()->GetParticle()->IsActive(), 0);
    Exec({44, 1});
    EXPECT_EQ(m_exec->GetSnowball(), nullptr);
}
