// The demo's slot scene (demo/script/scene_slot.mes), assembled and run by the document on the
// screen stage with the demo's slot pictures, played by scripted clicks: the machine at rest and
// its game at once, the lever pulled, stopped 1, 2, 3, the stored digits blinking while the fanfare
// plays, the machine resting on them until a click, and the tall picture scrolled and left by a
// cancel. A frame of each step is kept as build/demo_slot_*.png.

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "arcpack/ArchiveWriter.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "mapwrite/MapTableWriter.h"
#include "mesasm/MesAssembler.h"
#include "screens/ScreenFixture.h"
#include "screens/extras/CSlot.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/vm/CScript.h"
#include "sheetgen/SlotSheet.h"
#include "sound/SoundChannels.h"
#include "support/FakeWaveManager.h"
#include "textpaint/LanguageWords.h"

namespace {

namespace fs = std::filesystem;
using Cell = std::pair<uint32_t, int32_t>;

std::vector<tools::ArchiveEntry> DemoSlotPictures()
{
    std::vector<tools::ArchiveEntry> pictures{{"SLOT_P.AKB", tools::EncodeAkb(tools::BuildSlotSheet(), {})}};
    const std::vector<std::string> names = tools::SlotBackgroundNames();
    for (int32_t language = 0; language < 4; ++language) {
        pictures.push_back({tools::UpperCaseName(names[language]),
                            tools::EncodeAkb(tools::BuildSlotBackground(language), {})});
        pictures.push_back({tools::UpperCaseName(tools::LanguageName("slot_tall.akb", language)),
                            tools::EncodeAkb(tools::BuildTallPicture(2160, language), {})});
    }
    return pictures;
}

// The area file and the story's language tables, from the demo's sources.
std::vector<tools::ArchiveEntry> DemoSlotData()
{
    std::vector<tools::ArchiveEntry> data{{"SLOT.AREA", tools::BuildAreaFile(tools::SlotAreas())}};
    for (const char* table : {"story_en", "story_cn", "story_tw", "story"}) {
        std::ifstream file(fs::path(std::getenv("VESK_SOURCE_DIR")) / "demo/text" /
                           (std::string(table) + ".txt"));
        const std::string listing((std::istreambuf_iterator<char>(file)), {});
        data.push_back({tools::UpperCaseName(std::string(table) + ".map"),
                        tools::BuildMapTable(tools::ParseMapListing(listing))});
    }
    return data;
}

class DemoSlotSceneThreadTest : public ScreenFixture
{
protected:
    DemoSlotSceneThreadTest()
        : ScreenFixture(DemoSlotData(), DemoSlotPictures())
    {
        m_app.Config().SetInt("/Config/Language", 3);
        auto* background = new CSpriteLayer;
        background->Create(0, 0, 1920, 1080, 0);
        background->Show();
        GetSpriteLayerRegistry().RegisterSpriteLayer(0, background);
        // The tall picture's sprite, hidden, as the demo's first scene leaves it.
        auto* tall = new CSpriteLayer;
        tall->Create(0, 0, 1920, 2160, -1);
        GetSpriteLayerRegistry().RegisterSpriteLayer(1, tall);
        // The text sprite the scene's lines go into.
        auto* text = new CSpriteLayer;
        text->Create(0, 780, 1920, 280, 20);
        GetSpriteLayerRegistry().RegisterSpriteLayer(100, text);
        for (size_t group : {SOUND_GROUP_MUSIC, SOUND_GROUP_EFFECT}) {
            auto& list = GetGameSoundChannels()[group];
            if (list.empty())
                list.resize(1);
            if (dynamic_cast<FakeWaveManager*>(list[0].get()) == nullptr)
                list[0] = std::make_unique<FakeWaveManager>();
        }
        m_effect = static_cast<FakeWaveManager*>(GetGameSoundChannels()[SOUND_GROUP_EFFECT][0].get());
    }
    ~DemoSlotSceneThreadTest() override
    {
        GetSpriteLayerRegistry().UnregisterSpriteLayer(0);
        GetSpriteLayerRegistry().UnregisterSpriteLayer(1);
        GetSpriteLayerRegistry().UnregisterSpriteLayer(100);
    }

    FakeWaveManager* m_effect = nullptr;
};

TEST_F(DemoSlotSceneThreadTest, SceneDrawsPlaysShowsAndScrolls)
{
    const fs::path source = fs::path(std::getenv("VESK_SOURCE_DIR")) / "demo/script/scene_slot.mes";
    std::ifstream file(source);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const tools::AssembledScript assembled = tools::AssembleScript(text);
    ASSERT_TRUE(assembled.Ok) << assembled.Error;
    auto script = std::make_shared<CScript>();
    script->LoadImage(assembled.File, "scene_slot.mes");

    int wait = 0;
    int next_stop = 0;
    int show_pumps = 0;
    bool game_seen = false;
    bool show_seen = false;
    bool scroll_seen = false;
    Cell first_show_button{};
    bool scrolled_ok = false;
    uint32_t top_colour = 0;
    std::array<Cell, 3> result_reels{};
    OnPump([&](int) {
        const auto& active = GetGameWork()->GetActiveScreens();
        ISelect* top = active.empty() ? nullptr : active.back();
        auto* slot = dynamic_cast<CSlot*>(top);
        if (slot != nullptr && slot->Mode == CSlot::MODE_SHOW) {
            if (!show_seen) {
                show_seen = true;
                m_effect->SetPlaying(true); // the fanfare sounds for 40 frames
            }
            if (++show_pumps == 12) {
                Capture("demo_slot_show.png");
                first_show_button = ShownCell(710, 648);
            }
            if (show_pumps == 40)
                m_effect->SetPlaying(false);
            return;
        }
        if (m_mouse.left_down || m_keyboard.down.count(1)) {
            m_mouse.left_down = 0;
            m_keyboard.down.erase(1);
            wait = 6;
            return;
        }
        if (wait > 0) {
            --wait;
            return;
        }
        if (slot != nullptr) {
            if (!game_seen) {
                game_seen = true;
                Capture("demo_slot_game.png");
                wait = 10;
            } else if (slot->State == CSlot::STATE_LEVER) {
                PointAt(293, 648);
                m_mouse.left_down = 1;
            } else if (slot->State == CSlot::STATE_TURNING && next_stop < 3) {
                PointAt(710 + 251 * next_stop++, 648);
                m_mouse.left_down = 1;
            }
        } else if (auto* scroll = dynamic_cast<CSlotScrollImage*>(top)) {
            // A few lines down, a cancel jumps to the top and the free drag; another one leaves.
            if (scroll->Phase == CSlotScrollImage::PHASE_DOWN && scroll->ScrollY >= 60) {
                Capture("demo_slot_scrolled.png");
                // The frame drawn last shows the row before the one the next frame starts at.
                scrolled_ok = (Shown(100, 0) & 0xFFFFFFu) ==
                              (tools::TallPictureRowColour(scroll->ScrollY - 1) & 0xFFFFFFu);
                m_keyboard.down.insert(1);
            } else if (scroll->Phase == CSlotScrollImage::PHASE_FREE && !scroll_seen) {
                scroll_seen = true;
                Capture("demo_slot_scroll.png");
                top_colour = Shown(100, 0);
                m_keyboard.down.insert(1);
            }
        }
    });
    GetScriptState().ReplaceScript(script);
    bool result_seen = false;
    for (int frame = 0; frame < 2000 && GetDocument()->OnFrame() != 0 && !scroll_seen; ++frame) {
        // The machine resting on the result waits between frames: a click, held a few frames and
        // let go, goes on to the scroll.
        const auto& active = GetGameWork()->GetActiveScreens();
        ISelect* top = active.empty() ? nullptr : active.back();
        if (show_seen && dynamic_cast<CSlot*>(top) == nullptr &&
            dynamic_cast<CSlotScrollImage*>(top) == nullptr) {
            // At rest its stop buttons are unlit, as no frame of the game or the show has them.
            if (!result_seen) {
                Capture();
                result_seen = ShownCell(710, 648) == Cell(tools::SLOT_CELL_STOP_LAMP, 0);
                if (result_seen) {
                    Capture("demo_slot_resting.png");
                    result_reels = {ShownCell(710, 256), ShownCell(961, 256), ShownCell(1212, 256)};
                }
            }
            m_mouse.left_down = result_seen && frame % 20 < 10 ? 1 : 0;
        }
    }
    EXPECT_TRUE(m_messages.empty()) << m_messages.front();
    // The game began without a click of its own: the lever took the only one.
    EXPECT_TRUE(game_seen);
    EXPECT_TRUE(show_seen);
    EXPECT_TRUE(scroll_seen);
    const FlagBuffer* state = GetScriptState().m_current_state.get();
    ASSERT_GE(state->Flags.size(), 8073u);
    // Stopped 1, 2, 3: the second reel took the first one's digit.
    EXPECT_EQ(state->Flags[8070], state->Flags[8071]);
    EXPECT_LT(state->Flags[8072], 10);
    // The machine rested on them before the scroll.
    EXPECT_TRUE(result_seen);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(result_reels[k], Cell(tools::SLOT_CELL_DIGIT + state->Flags[8070 + k], 0)) << k;
    EXPECT_EQ(show_pumps, 40);
    // Frame 12 is a lit frame: buttons lit, lamps on, reels blank.
    EXPECT_EQ(first_show_button, Cell(tools::SLOT_CELL_STOP_LAMP, 1));
    EXPECT_TRUE(scrolled_ok);
    EXPECT_EQ(top_colour & 0xFFFFFFu, tools::TallPictureRowColour(0) & 0xFFFFFFu);
}

} // namespace
