#include "screens/system/CSoundConfig.h"

#include "screens/system/CConfig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "foundation/CLangTextTable.h"
#include "mapwrite/MapTableWriter.h"
#include "movie/CMediaStream.h"
#include "movie/CMoviePlayer.h"
#include "movie/MovieVolumeRecord.h"
#include "platform/d3d/null/NullPresenter.h"
#include "screens/ScreenFixture.h"
#include "sheetgen/SheetGenerator.h"
#include "sound/IWaveManager.h"
#include "sound/SoundChannels.h"
#include "support/ResidentPages.h"

#include <algorithm>
#include <cstdio>

namespace {

using Cell = std::pair<uint32_t, int32_t>;

// A channel that records volumes and plays, and plays from PlayFile until stopped.
class TestChannel final : public IWaveManager
{
public:
    void SetVolume(int32_t volume) override { volumes.push_back(volume); }
    void PlayFile(CStringUTF8 name) override
    {
        plays.push_back(name.GetText());
        playing = true;
    }
    bool Stop(bool) override
    {
        ++stops;
        playing = false;
        return true;
    }
    bool IsPlaying() override { return playing; }
    std::vector<int32_t> volumes;
    std::vector<std::string> plays;
    int stops = 0;
    bool playing = false;
};

std::vector<tools::ArchiveEntry> SoundPictures()
{
    const auto sheet = tools::EncodeAkb(
        tools::BuildSheet(tools::CONFIG_SHEET_WIDTH, tools::CONFIG_SHEET_HEIGHT, tools::ConfigSheetCells()),
        {});
    const auto cover = tools::EncodeAkb(tools::MakePicture(SOUND_PANEL_WIDTH, SOUND_PANEL_HEIGHT, 0), {});
    return {{"SYSTEMSOUND_P.AKB", sheet},
            {"SOUND_COVER.AKB", cover},
            {"SOUND_COVER_EN.AKB", cover},
            {"SOUND_BG.AKB",
             tools::EncodeAkb(
                 tools::BuildSheet(1920, 1080, {{0, 0, 1920, 1080, tools::CONFIG_SHEET_BACKGROUND, 0, ""}}),
                 {})}};
}

class CSoundConfigThreadTest : public ScreenFixture
{
protected:
    CSoundConfigThreadTest()
        : ScreenFixture({{"CONFIG01.AREA", tools::BuildAreaFile(tools::SoundConfigAreas())},
                         {"CONFIG00.AREA", tools::BuildAreaFile(tools::ConfigAreas())}},
                        SoundPictures())
    {
        auto& lists = GetGameSoundChannels();
        for (size_t kind : {SOUND_GROUP_MUSIC, SOUND_GROUP_VOICE}) {
            lists[kind].clear();
            for (int i = 0; i < 2; ++i) {
                auto channel = std::make_unique<TestChannel>();
                (kind == SOUND_GROUP_MUSIC ? m_music : m_voice).push_back(channel.get());
                lists[kind].push_back(std::move(channel));
            }
        }
        EXPECT_EQ(m_sound.CreateParts(), 1);
    }

    int32_t LastVolume(TestChannel* channel)
    {
        return channel->volumes.empty() ? 1 : channel->volumes.back();
    }

    int32_t RunPage(std::function<void(int)> step) { return RunScreen(m_sound, std::move(step)); }

    int32_t RunScreen(ISelect& screen, std::function<void(int)> step)
    {
        m_escape_at = -10;
        OnPump([&](int pump) {
            step(pump);
            if (pump == 400)
                m_escape_at = pump;
            if (pump == m_escape_at)
                m_keyboard.down = {1};
            if (pump == m_escape_at + 2)
                m_keyboard.down.clear();
        });
        PointAt(0, 0);
        ScriptValue out = ScriptValue::FromInteger(99);
        screen.Run(&out);
        OnPump(nullptr);
        m_keyboard.down.clear();
        m_mouse.left_down = 0;
        return out.Integer;
    }

    // The white pixels of the help line in the newest frame the game presented: its text's.
    static int HelpWhite()
    {
        const auto frame = platform::GetNullPresenter()->GetLastFrame();
        if (!frame)
            return -1;
        int white = 0;
        for (int y = 1004 * frame->height / 1080; y < 1044 * frame->height / 1080; ++y)
            for (int x = 109 * frame->width / 1920; x < 1109 * frame->width / 1920; ++x) {
                const uint8_t* pixel = &frame->pixels[(static_cast<size_t>(y) * frame->width + x) * 4];
                white += pixel[0] >= 0xF0 && pixel[1] >= 0xF0 && pixel[2] >= 0xF0;
            }
        return white;
    }

    CSoundConfig m_sound;
    std::vector<TestChannel*> m_music; // owned by the document
    std::vector<TestChannel*> m_voice;
    int m_escape_at = -10;
};

TEST_F(CSoundConfigThreadTest, SliderValuesFollowThePointer)
{
    struct Case
    {
        int32_t dx;
        float value;
    } cases[] = {{0, 0.0f}, {26, 0.0f}, {26 + 28, 0.05f}, {26 + 280, 0.5f}, {586, 1.0f}, {900, 1.0f}};
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(CSoundConfig::SliderValue(118 + c.dx, 118), c.value) << c.dx;
}

TEST_F(CSoundConfigThreadTest, VolumesReachTheLiveChannels)
{
    CMoviePlayer* player = GetDocument()->GetMoviePlayer();
    ASSERT_NE(player, nullptr);
    struct Case
    {
        const char* name;
        int32_t enabled, group;
        float value;
        uint32_t movie_kind;
        int32_t music, voice, movie; // 1: left alone
    } cases[] = {
        {"music at its far left", 1, 1, 0.0f, 0, -5000, 1, 1},
        {"music off", 0, 1, 1.0f, 0, -10000, 1, 1},
        {"master at half", 1, 0, 0.5f, 1, -2500, 1, -2000},
        {"master while no movie of the command plays", 1, 0, 1.0f, 0, 0, 1, 1},
        {"voice at half", 1, 3, 0.5f, 0, 1, -2250, 1},
        {"character voice", 1, 6, 0.5f, 0, 1, -2250, 1},
    };
    for (const Case& c : cases) {
        m_sound.SoundEnable = m_sound.MusicEnable = m_sound.EffectEnable = 1;
        m_sound.MasterVolume = m_sound.MusicVolume = m_sound.VoiceVolume = 1.0f;
        m_sound.CharVoiceVolume[0] = 1.0f;
        for (TestChannel* channel : m_music)
            channel->volumes.clear();
        for (TestChannel* channel : m_voice)
            channel->volumes.clear();
        for (auto& stream : player->Streams)
            stream->Volume = 1;
        GetGameWork()->m_movie_volume->Kind = c.movie_kind;
        m_sound.ApplyVolume(c.enabled, c.group, c.value);
        EXPECT_EQ(LastVolume(m_music[1]), c.music) << c.name;
        EXPECT_EQ(LastVolume(m_voice[1]), c.voice) << c.name;
        EXPECT_EQ(player->Streams[0]->Volume, c.movie) << c.name;
    }
    GetGameWork()->m_movie_volume->Kind = 0;
}

// The panel and its cover's copy are drawn again on each open: closed, the page holds none of
// their pages, nor of the shared view, mask, image and work layers, and the next open shows its
// tab again.
TEST_F(CSoundConfigThreadTest, AClosedPageGivesItsPanelAndCoverCopyBack)
{
    for (int round = 0; round < 2; ++round) {
        size_t panel = 0, cover = 0;
        std::vector<size_t> unshown;
        Cell tab{};
        RunPage([&](int pump) {
            if (pump == 30) {
                panel = ResidentBytes(m_sound.GetPanelLayer());
                cover = ResidentBytes(m_sound.GetCoverCopyLayer());
                for (ILayer* layer : ISystemParts::GetUnshownPixels())
                    unshown.push_back(ResidentBytes(layer));
                Capture();
                tab = ShownCell(1800, 580);
                m_escape_at = 32;
            }
        });
        EXPECT_GT(panel, 0u) << "round " << round;
        EXPECT_GT(cover, 0u) << "round " << round;
        EXPECT_EQ(tab, Cell(0x0E01, 2)) << "round " << round;
        EXPECT_EQ(ResidentBytes(m_sound.GetPanelLayer()), 0u) << "round " << round;
        EXPECT_EQ(ResidentBytes(m_sound.GetCoverCopyLayer()), 0u) << "round " << round;
        // Faded out, the shared view and mask are copied in whole on the next entry.
        EXPECT_EQ(ResidentBytes(ISystemParts::GetViewPixels()), 0u) << "round " << round;
        EXPECT_EQ(ResidentBytes(ISystemParts::GetMaskPixels()), 0u) << "round " << round;
        // The page drew its first picture into the image layers and its background into the
        // work layer; the next entry draws them again.
        EXPECT_THAT(unshown, testing::Each(testing::Gt(0u))) << "round " << round;
        for (ILayer* layer : ISystemParts::GetUnshownPixels())
            EXPECT_EQ(ResidentBytes(layer), 0u) << "round " << round;
    }
}

TEST_F(CSoundConfigThreadTest, ThePageShowsPercentagesScrollsAndPlaysItsTestSound)
{
    m_app.Config().SetInt("/Config/Master/Volume", 5);
    m_app.Config().SetInt("/Config/Music/Volume", 100);
    m_app.Config().SetInt("/Config/Effect/Volume", 50);
    m_app.Config().SetInt("/Config/TopPage", 0);
    struct Check
    {
        int x, y;
        Cell cell;
    };
    const std::vector<Check> checks{
        {320 + 46 + 11, 124 + 15, {tools::CONFIG_SHEET_DIGIT + 5, 0}},  // 5 %: the units place
        {320 + 69 + 11, 124 + 15, {tools::CONFIG_SHEET_DIGIT + 10, 0}}, // and the sign
        {320 + 23 + 11, 124 + 15, {tools::CONFIG_SHEET_BACKGROUND, 0}}, // no tens
        {1132 + 11, 124 + 15, {tools::CONFIG_SHEET_DIGIT + 1, 0}},      // 100 %
        {1155 + 11, 124 + 15, {tools::CONFIG_SHEET_DIGIT + 0, 0}},
        {1178 + 11, 124 + 15, {tools::CONFIG_SHEET_DIGIT + 0, 0}},
        {1800, 580, {0x0E01, 2}}, // this page's tab
        {1664, 58, {0x0D00, 3}},  // up arrow disabled
    };
    std::vector<int32_t> offsets;
    auto owned = std::make_unique<TestChannel>();
    TestChannel* chime = owned.get();
    GetGameSoundChannels()[SOUND_GROUP_EFFECT][4] = std::move(owned);
    std::vector<std::string> drag_calls;
    int stops = 0;
    float effect_after_drag = -1;
    const int32_t result = RunPage([&](int pump) {
        if (pump == 30) {
            Capture("sound_settings.png");
            for (const Check& c : checks)
                EXPECT_EQ(ShownCell(c.x, c.y), c.cell) << c.x << "," << c.y;
            PointAt(118 + 26 + 100, 254 + 40 + 27);
        }
        if (pump == 31)
            m_mouse.left_down = 1;
        if (pump == 34)
            PointAt(118 + 26 + 300, 254 + 40 + 27);
        if (pump == 37)
            PointAt(118 + 26 + 400, 254 + 40 + 27);
        if (pump == 40)
            m_mouse.left_down = 0;
        if (pump == 43)
            PointAt(0, 0);
        if (pump == 45) {
            drag_calls = chime->plays;
            stops = chime->stops;
            effect_after_drag = m_sound.EffectVolume;
        }
        if (pump > 50 && pump <= 90)
            m_mouse.wheel = pump % 2 == 0 ? -1 : 0;
        if (pump > 50 && pump <= 92 && pump % 2 == 0)
            offsets.push_back(m_sound.GetScrollOffset());
        if (pump == 95)
            m_escape_at = pump;
    });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(m_app.Config().GetInt("/Config/TopPage", -1), 1) << "Escape";
    EXPECT_EQ(m_app.Config().GetInt("/Config/Effect/Volume", -1), 71) << "400 of 560, saved on the way out";
    EXPECT_NEAR(effect_after_drag, 400.0f / 560, 1e-6);
    EXPECT_EQ(drag_calls, std::vector<std::string>{"CHIME.wav"}) << "played once while it plays";
    EXPECT_GE(stops, 1) << "stopped at the end";
    ASSERT_FALSE(offsets.empty());
    EXPECT_EQ(offsets.back(), SOUND_SCROLL_RANGE) << "20 wheel steps";
}

TEST_F(CSoundConfigThreadTest, TheSettingsTabKeepsTheTopPage)
{
    m_app.Config().SetInt("/Config/TopPage", 0);
    const int32_t result = RunPage([&](int pump) {
        if (pump == 30)
            PointAt(1800, 400);
        if (pump == 31)
            m_mouse.left_down = 1;
        if (pump == 33)
            m_mouse.left_down = 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(m_sound.KeepView, 1);
    EXPECT_EQ(m_app.Config().GetInt("/Config/TopPage", -1), 0);
}

// Levels are written back truncated: 53 and 59 come back one lower.
TEST_F(CSoundConfigThreadTest, OpeningAndLeavingBothPagesKeepsEveryStoredLevelButTwo)
{
    std::vector<std::string> keys{"/Config/MesWnd/Speed",  "/Config/OneMesSpeed",   "/Config/AutoMesSpeed",
                                  "/Config/MesWnd/Alpha",  "/Config/MesWnd/Red",    "/Config/MesWnd/Green",
                                  "/Config/MesWnd/Blue",   "/Config/Master/Volume", "/Config/Music/Volume",
                                  "/Config/Effect/Volume", "/Config/Voice/Volume"};
    for (int k = 0; k < 16; ++k) {
        char key[40];
        std::snprintf(key, sizeof key, "/Config/CharVoice/%02d/Volume", k);
        keys.push_back(key);
    }
    CConfig config;
    ASSERT_EQ(config.CreateParts(), 1);
    const auto leave_at_30 = [&](int pump) {
        if (pump == 30)
            m_escape_at = pump;
    };
    for (int base = 0; base <= 100; base += static_cast<int>(keys.size())) {
        for (size_t i = 0; i < keys.size(); ++i)
            m_app.Config().SetInt(keys[i].c_str(), std::min(100, base + static_cast<int>(i)));
        RunScreen(config, leave_at_30);
        RunScreen(m_sound, leave_at_30);
        for (size_t i = 0; i < keys.size(); ++i) {
            const int stored = std::min(100, base + static_cast<int>(i));
            const int expected = stored == 53 || stored == 59 ? stored - 1 : stored;
            EXPECT_EQ(m_app.Config().GetInt(keys[i].c_str(), -1), expected) << keys[i];
        }
    }
}

} // namespace

TEST_F(CSoundConfigThreadTest, OpeningDropsTheCursorShapeAndATouchDragWaitsOnlyForSlidersAndGroups)
{
    m_mouse.shapes.clear();
    // Pumps spent inside OnDrag over each control; the button is let go five pumps in.
    std::vector<std::pair<int32_t, int>> waits;
    // A character's switch, its slider, a group's switch.
    const std::vector<POINT> points{{726, 471}, {300, 529}, {726, 139}};
    int drag_start = -1;
    int current = 0;
    int next = 30;
    size_t k = 0;
    RunPage([&](int pump) {
        current = pump;
        if (drag_start >= 0) {
            if (pump == drag_start + 5)
                m_mouse.left_down = 0;
            return;
        }
        if (pump != next)
            return;
        if (k == points.size()) {
            m_escape_at = pump + 1;
            next = -1;
            return;
        }
        // Point first; the drag comes on a later pump, once the page has taken the hover.
        if (m_mouse.position.x != points[k].x || m_mouse.position.y != points[k].y) {
            PointAt(points[k].x, points[k].y);
        } else {
            m_mouse.left_down = 1;
            drag_start = pump;
            m_sound.OnDrag();
            waits.emplace_back(m_sound.GetHovered(), current - drag_start);
            drag_start = -1;
            m_mouse.left_down = 0;
            ++k;
        }
        next = current + 2;
    });
    ASSERT_FALSE(m_mouse.shapes.empty());
    EXPECT_EQ(m_mouse.shapes.front(), -1);
    ASSERT_EQ(waits.size(), 3u);
    EXPECT_EQ(waits[0].first, 0x0500);
    EXPECT_EQ(waits[0].second, 0) << "a character's switch does not wait";
    EXPECT_EQ(waits[1].first, 0x0600);
    EXPECT_GE(waits[1].second, 5);
    EXPECT_EQ(waits[2].first, 0x0000);
    EXPECT_GE(waits[2].second, 5);
}

// The scroll bar's help line is shown while the pointer rests on the bar, as every control's is,
// not only once something else draws the page again.
TEST_F(CSoundConfigThreadTest, TheScrollBarShowsItsHelpLine)
{
    auto texts = std::make_unique<CLangTextTable>();
    const tools::MapText entries[] = {{87, u"Sound on or off"}, {307, u"Drag to scroll"}};
    for (int language = 0; language < LANGUAGE_COUNT; ++language)
        texts->AddEntries(tools::BuildMapTable(entries), language);
    std::swap(GetGameWork()->m_system_language, texts);
    int on_switch = 0;
    int on_nothing = -1;
    int on_bar = 0;
    RunPage([&](int pump) {
        if (pump == 20)
            PointAt(654 + 72, 78 + 40 + 21);
        if (pump == 30)
            on_switch = HelpWhite();
        if (pump == 32)
            PointAt(1000, 1070);
        if (pump == 42)
            on_nothing = HelpWhite();
        if (pump == 44)
            PointAt(1664, 600);
        if (pump == 54)
            on_bar = HelpWhite();
        if (pump == 56)
            m_escape_at = pump;
    });
    std::swap(GetGameWork()->m_system_language, texts);
    EXPECT_GT(on_switch, 50) << "the master switch's line";
    EXPECT_EQ(on_nothing, 0) << "cleared away from the controls";
    EXPECT_GT(on_bar, 50);
    EXPECT_NE(on_bar, on_switch) << "the bar's own line";
}
