// A test scene over a started document: picture slots composed and faded, then transitioned into
// the scene layer; petals, snow and the snowball falling with the landing sound recorded; the
// train-line map over generated line pictures; a hop and a shake; the click prompt cycling. Each
// is drawn by the display, captured, compared at points worked out from the pictures the test
// wrote, and written as a PNG into the build folder.

#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "foundation/ScopedLock.h"
#include "graphics/CCharAnime.h"
#include "graphics/CDirect3D.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CLayerFile.h"
#include "graphics/CPronptAnm.h"
#include "graphics/CSakuraEffect.h"
#include "graphics/CSakuraParticle.h"
#include "graphics/CSnowEffect.h"
#include "graphics/CSnowFirstOne.h"
#include "graphics/CSnowParticle.h"
#include "graphics/CSnowParticleOne.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/CSpriteLayerFile.h"
#include "graphics/CSpriteManager.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/EffectFixture.h"
#include "graphics/ParticleCommands.h"
#include "graphics/PictureSlot.h"
#include "graphics/SpriteLayerOf.h"
#include "graphics/SpriteLayerRegistry.h"
#include "graphics/TrainMapContext.h"
#include "mapwrite/MapTableWriter.h"
#include "mesasm/MesAssembler.h"
#include "rulegen/RuleImageWriter.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/commands/CFuncScreen.h"
#include "sound/SoundChannels.h"
#include "support/FakeWaveManager.h"
#include "support/ResidentPages.h"
#include "support/StartupPictures.h"

namespace {

constexpr uint32_t SKY = 0xFF5080C0;
constexpr uint32_t GROUND = 0xFF406030;
constexpr uint32_t BUILDING = 0xFF808080;
constexpr uint32_t SKIN = 0xFFF0C0A0;
constexpr uint32_t KEY = 0xFF00FF00;
constexpr uint32_t TRAIN_FRAME0 = 0xFFC02020;
constexpr uint32_t TRAIN_FRAME1 = 0xFFF0E040;
constexpr uint32_t FIELD = 0xFF408040;
constexpr uint32_t RAIL = 0xFF202020;
constexpr uint32_t SIGN = 0xFFFFFF00;

// Sky over ground, a grey building at (200, 300)-(600, 540).
tools::AkbPicture Street()
{
    tools::AkbPicture picture = PictureWithBox(1920, 1080, SKY, 0, 540, 1920, 1080, GROUND);
    for (int y = 300; y < 540; ++y)
        for (int x = 200; x < 600; ++x)
            picture.At(x, y) = BUILDING;
    return picture;
}

// A keyed 400 x 600 overlay: a body at (100, 50)-(300, 600), the rest the key colour.
tools::AkbPicture Character()
{
    return PictureWithBox(400, 600, KEY, 100, 50, 300, 600, SKIN);
}

// A field with a dark rail band at rows 500-519 and a grey post every 200 columns. The map is
// 600 rows high; the screen below it stays dark.
tools::AkbPicture Line()
{
    tools::AkbPicture picture = PictureWithBox(6000, 600, FIELD, 0, 500, 6000, 520, RAIL);
    for (int x = 0; x < 6000; x += 200)
        for (int y = 300; y < 600; ++y)
            picture.At(x, y) = 0xFF808080;
    return picture;
}

// Clear but for a sign at (0, 100)-(300, 200).
tools::AkbPicture LineOverlay()
{
    return PictureWithBox(6000, 600, 0x00000000, 0, 100, 300, 200, SIGN);
}

int Channel(uint32_t pixel, int shift)
{
    return int((pixel >> shift) & 0xFF);
}

class EffectSceneThreadTest : public EffectFixture
{
protected:
    EffectSceneThreadTest()
    {
        m_app.SetSaveFolders((m_dir.Path().string() + "/").c_str(), (m_dir.Path().string() + "/").c_str());
        WriteGameFolder();
        CVeskDoc* document = GetDocument();
        document->StartGame();
        auto channel = std::make_unique<FakeWaveManager>();
        m_music = channel.get();
        GetGameSoundChannels()[SOUND_GROUP_MUSIC].push_back(std::move(channel));
        // The scene layer is what the player sees; layer 6 fades in over it.
        m_scene = &Register(PICTURE_LAYER_SCENE, 0, 1);
        Register(PICTURE_LAYER_BASE, -1, 0);
        Register(PICTURE_LAYER_WORK, -1, 0);
        m_fade_layer = &Register(PICTURE_LAYER_FADE, 12, 0);
        m_scene->FillRect(0, 0, 1920, 1080, 0xFF000000, 1);
        GetDocumentLayerFile()->LoadPicture("scene_bg.akb", SpriteLayerOf(&Layer(PICTURE_LAYER_BASE)), 0, 0,
                                            nullptr, 0, 0, 0);
        m_capture.Create(0, 0, 1920, 1080, -1);
        ClearPictureSlots();
    }
    ~EffectSceneThreadTest() override { ClearPictureSlots(); }

    void WriteGameFolder()
    {
        WriteStartableGameFolder(m_dir);

        AkbPictures pictures;
        pictures.push_back({"CURSOR.AKB", tools::EncodeAkb(tools::MakePicture(128, 192, 0xFF102030), {})});
        for (tools::ArchiveEntry& entry : StartupPictureEntries())
            pictures.push_back(std::move(entry));
        pictures.push_back({"SCENE_BG.AKB", tools::EncodeAkb(Street(), {})});
        pictures.push_back({"CHARA.AKB", tools::EncodeAkb(Character(), {})});
        pictures.push_back({"GLOW.AKB", tools::EncodeAkb(tools::MakePicture(300, 200, 0x80FFFFFF), {})});
        pictures.push_back(
            {"DEN.AKB",
             tools::EncodeAkb(PictureWithBox(1152, 288, TRAIN_FRAME0, 576, 0, 1152, 288, TRAIN_FRAME1), {})});
        if (WithTrainPictures()) {
            pictures.push_back({"SENRO_2.AKB", tools::EncodeAkb(Line(), {})});
            pictures.push_back({"SENRO_2_O.AKB", tools::EncodeAkb(LineOverlay(), {})});
        }
        OpenLayerArchive(std::move(pictures)); // adds the petal and snow pictures
        // The document opens the archive itself at start-up.
        SetDocumentLayerFile(nullptr);
        m_layer_file.reset();
    }
    using AkbPictures = std::vector<tools::ArchiveEntry>;

    // The two line pictures take a while to write; only the train-line test needs them.
    static bool WithTrainPictures()
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        return test != nullptr && std::string(test->name()).find("Train") != std::string::npos;
    }

    CSpriteLayer& Register(int32_t number, int32_t priority, int32_t visible)
    {
        auto* layer = new CSpriteLayer;
        layer->Create(0, 0, 1920, 1080, priority);
        layer->SetVisibleFlag(visible);
        GetSpriteLayerRegistry().RegisterSpriteLayer(number, layer);
        return *layer;
    }
    CSpriteLayer& Layer(int32_t number) { return *GetSpriteLayerRegistry().GetSpriteLayer(number); }

    // Draws and presents one frame and reads it back; writes it as a PNG when named.
    void Capture(const std::string& png = {}) { CaptureFrame(m_capture, png); }
    uint32_t Shown(int x, int y) { return EffectPixel(m_capture, x, y) | 0xFF000000u; }

    FakeWaveManager* m_music = nullptr;   // not owned: the document's
    CSpriteLayer* m_scene = nullptr;      // not owned: the document's
    CSpriteLayer* m_fade_layer = nullptr; // not owned: the document's
    CSpriteLayer m_capture;
};

} // namespace

TEST_F(EffectSceneThreadTest, AKeyedOverlayFadesIntoTheScene)
{
    SetPictureSlotName("chara.akb", 0, 0);
    GetPictureSlot(0).m_x = 760;
    GetPictureSlot(0).m_y = 400;
    ASSERT_EQ(GetPictureTargetLayer(), m_fade_layer); // the screen is not covered
    DrawPictureSlot(GetPictureTargetLayer(), 0, 0, 1920, 1080, 0, 0);
    FadeInPictureSlot(8);
    Capture("effects_slots_fade.png");
    EXPECT_EQ(Shown(100, 100), SKY);
    EXPECT_EQ(Shown(300, 400), BUILDING);
    EXPECT_EQ(Shown(900, 500), SKIN); // the body at composed (860, 450)-(1060, 1000)
    EXPECT_EQ(Shown(770, 410), SKY);  // the key colour shows the street
    EXPECT_EQ(Shown(800, 1050), GROUND);
    EXPECT_EQ(Shown(1059, 999), SKIN);
    EXPECT_EQ(Shown(1060, 999), GROUND);
    EXPECT_EQ(m_fade_layer->IsVisible(), 0);
}

TEST_F(EffectSceneThreadTest, AnAlphaOverlayTransitionsIntoTheSceneAndTheRevealLiftsTheFade)
{
    SetPictureSlotName("chara.akb", 0, 0);
    GetPictureSlot(0).m_x = 760;
    GetPictureSlot(0).m_y = 400;
    SetPictureSlotName("glow.akb", 1, 1);
    GetPictureSlot(1).m_x = 100;
    GetPictureSlot(1).m_y = 100;
    DrawPictureSlot(GetPictureTargetLayer(), 0, 0, 1920, 1080, 0, 0);
    TransitionPictureSlot(1, 8);
    Capture("effects_slots_transition.png");
    // Half white over the sky (0x50, 0x80, 0xC0), within a step of rounding.
    const uint32_t glow = Shown(150, 150);
    EXPECT_NEAR(Channel(glow, 16), 0xA7, 1);
    EXPECT_NEAR(Channel(glow, 8), 0xBF, 1);
    EXPECT_NEAR(Channel(glow, 0), 0xDF, 1);
    EXPECT_EQ(Shown(900, 500), SKIN);
    EXPECT_EQ(Shown(450, 350), BUILDING); // outside the glow at (100, 100)-(400, 300)

    // With the fade sprite over the screen the picture goes straight into the scene, and the
    // screen group's reveal lifts the fade, which gives back the black a fade left in it.
    CFadeSprite* fade = GetSpriteLayerRegistry().GetFadeSprite();
    ASSERT_NE(fade, nullptr);
    fade->FillRect(0, 0, 1920, 1080, 0xFF000000, 1);
    fade->SetVisibleFlag(1);
    EXPECT_EQ(GetPictureTargetLayer(), m_scene);
    ClearPictureSlots();
    DrawPictureSlot(GetPictureTargetLayer(), 0, 0, 1920, 1080, 0, 0);
    const int passes = m_runner.GetPasses();
    CFuncScreen().RunTransition(12);
    EXPECT_EQ(m_runner.GetPasses() - passes, 13); // twelve ticks of fade and one to notice the end
    EXPECT_EQ(fade->IsVisible(), 0);
    EXPECT_EQ(fade->GetAlpha(), 0);
    EXPECT_EQ(ResidentBytes(fade->GetRenderTarget()), 0u);
    Capture("effects_slots_cleared.png");
    EXPECT_EQ(Shown(900, 500), SKY); // only the street is left
}

TEST_F(EffectSceneThreadTest, PetalsSnowAndTheSnowballFall)
{
    GetDocumentLayerFile()->LoadPicture("scene_bg.akb", SpriteLayerOf(m_scene), 0, 0, nullptr, 0, 0, 0);
    // A small generator of our own for the draws, so the run can be repeated.
    uint32_t state = 12345;
    EffectRandom::SetEngine([&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 8) % (EFFECT_RANDOM_LIMIT + 1);
    });

    std::unique_ptr<CSakuraEffect> petals;
    std::unique_ptr<CSnowEffect> snow;
    std::unique_ptr<CSnowFirstOne> snowball;
    RunPetalCommand(petals, 0); // built on their own thread while the scene goes on
    RunSnowCommand(snow, 3);
    RunSnowballCommand(snowball, 0);
    while (petals->GetParticles()->IsBuilderRunning())
        std::this_thread::yield();
    RunPetalCommand(petals, 2);
    EXPECT_EQ(petals->GetParticles()->GetBuiltCount(), PARTICLE_COUNT);

    RunTasks(300);
    Capture("effects_weather.png");
    EXPECT_TRUE(m_music->Calls().empty()); // still falling: 300 of 347 runs
    int petals_seen = 0;
    CSakuraParticle& set = *petals->GetParticles();
    for (int i = 0; i < PARTICLE_COUNT; ++i) {
        PetalRecord& record = *set.GetRecord(i);
        if (!record.m_active)
            continue;
        // A petal is drawn about its centre; where no other petal is near, its centre pixel is
        // its frame's colour.
        bool alone = true;
        for (int j = 0; j < PARTICLE_COUNT; ++j) {
            const PetalRecord& other = *set.GetRecord(j);
            if (j != i && other.m_active && std::abs(other.m_x - record.m_x) < 64 &&
                std::abs(other.m_y - record.m_y) < 64)
                alone = false;
        }
        if (!alone)
            continue;
        ++petals_seen;
        const int frame = record.m_sprite->GetSourceRect().top / 64;
        EXPECT_EQ(Shown(int(record.m_x + 32), int(record.m_y + 32)), PetalFrameColour(frame)) << i;
    }
    EXPECT_GE(petals_seen, 2);
    // The snowball's flake is white at alpha 101 over the sky: brighter in every channel.
    SnowballRecord& ball = *snowball->GetParticle()->GetRecord();
    const uint32_t flake = Shown(int(ball.m_x + 32), int(ball.m_y + 32));
    EXPECT_GT(Channel(flake, 16), Channel(SKY, 16));
    EXPECT_GT(Channel(flake, 8), Channel(SKY, 8));
    EXPECT_GT(Channel(flake, 0), Channel(SKY, 0));

    RunTasks(60);
    EXPECT_EQ(m_music->Calls(), (std::vector<std::string>{"volume -2563", "play DREAM.wav"}));
    RunSnowballCommand(snowball, 1);
    RunSnowCommand(snow, 1);
    RunPetalCommand(petals, 1);
    EffectRandom::SetEngine(nullptr);
}

TEST_F(EffectSceneThreadTest, TheTrainLineMapScrollsAndTheTrainSlides)
{
    const_cast<FlagBuffer*>(GetScriptState().m_current_state.get())->SetGameTime(1200); // midday: line 2
    GetSpriteLayerRegistry().GetFadeSprite()->SetVisibleFlag(1);
    TrainMapContext context;
    CreateTrainMap(context, 1);
    PlayTrainMap(context, [](int32_t ticks) { CFuncScreen().RunTransition(ticks); });
    EXPECT_EQ(GetSpriteLayerRegistry().GetFadeSprite()->IsVisible(), 0); // revealed first
    Capture("effects_train_map.png");
    EXPECT_EQ(Shown(600, 300), TRAIN_FRAME0); // the train slid from (1064, 233) to (564, 233)
    EXPECT_EQ(Shown(1210, 300), FIELD);       // where its back end was
    EXPECT_EQ(Shown(100, 150), SIGN);         // the overlay lies in front
    EXPECT_EQ(Shown(1500, 510), RAIL);
    EXPECT_EQ(Shown(1400, 400), 0xFF808080u); // a post every 200 columns from source x 0
    EXPECT_EQ(Shown(1401, 400), FIELD);
    FinishTrainAnimation(context);
}

TEST_F(EffectSceneThreadTest, ACharacterHopsAndShakes)
{
    GetDocumentLayerFile()->LoadPicture("scene_bg.akb", SpriteLayerOf(m_scene), 0, 0, nullptr, 0, 0, 0);
    CSpriteLayer character;
    character.Create(800, 500, 200, 400, 9);
    character.FillRect(0, 0, 200, 400, SKIN, 1);
    character.SetVisibleFlag(1);
    CCharAnime hop;
    {
        CSpriteAnime anime;
        hop.Arm(&character, CHAR_ANIME_HOP, 40);
        anime.AddSprite(&character);
        anime.Play(ANIME_NO_WAIT, 0, 0, 0);
        RunTasks(2); // the second tick: the top of the hop
        Capture("effects_hop.png");
        EXPECT_EQ(Shown(900, 465), SKIN);
        EXPECT_EQ(Shown(900, 870), GROUND); // the feet left the ground
        RunTasks(3);
        EXPECT_EQ(character.GetPosition().y, 500);
    }
    {
        CSpriteAnime anime;
        hop.Arm(&character, CHAR_ANIME_SHAKE, 30);
        anime.AddSprite(&character);
        anime.Play(ANIME_NO_WAIT, 0, 0, 0);
        RunTasks(2); // the second tick: the right end of the shake
        Capture("effects_shake.png");
        EXPECT_EQ(Shown(1020, 700), SKIN); // 30 to the right
        EXPECT_EQ(Shown(810, 700), GROUND);
        RunTasks(3);
        EXPECT_EQ(character.GetPosition().x, 800);
    }
}

TEST_F(EffectSceneThreadTest, TheClickPromptCycles)
{
    CSpriteLayer parts;
    parts.Create(0, 0, 800, 624 + 58 * 3, -1);
    const uint32_t colours[] = {0xFFFF4040, 0xFF40FF40, 0xFF4040FF};
    for (int frame = 0; frame < 3; ++frame)
        parts.FillRect(665, 624 + 58 * frame, 58, 58, colours[frame], 1);
    CSpriteLayer prompt;
    prompt.Create(1700, 950, 58, 58, 11);

    CPronptAnm anime;
    anime.m_picture = &parts;
    anime.m_prompt = &prompt;
    anime.m_frame_count = 3;
    // As the message window plays it: one long step, then a jump back to it for ever.
    SpriteAnimRecord step(39);
    step.SetUserAnime(&anime);
    prompt.AddAnimation(step);
    SpriteAnimRecord loop(1);
    loop.SetJump(JUMP_FOREVER, 0);
    prompt.AddAnimation(loop);

    CSpriteAnime task(150);
    task.AddSprite(&prompt);
    task.Play(ANIME_NO_WAIT, 0, 0, 0); // Begin draws frame 0 and shows the prompt
    EXPECT_EQ(prompt.IsVisible(), 1);
    Capture("effects_prompt.png");
    EXPECT_EQ(Shown(1729, 979), colours[0]);
    for (int tick = 1; tick <= 4; ++tick) {
        RunTasks(1);
        Capture();
        EXPECT_EQ(Shown(1700, 950), colours[tick % 3]) << tick;
        EXPECT_EQ(Shown(1757, 1007), colours[tick % 3]) << tick;
    }
    task.Stop(); // a loop only ends when it is finished
    EXPECT_EQ(prompt.IsVisible(), 0);
    EXPECT_EQ(prompt.GetAnimationCount(), 0);
}
