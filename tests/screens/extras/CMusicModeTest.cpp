#include "screens/extras/CMusicMode.h"

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "foundation/ConfigAccess.h"
#include "foundation/ConfigSettings.h"
#include "game/hints/CastNames.h"
#include "graphics/CSpriteLayer.h"
#include "movie/CMediaStream.h"
#include "movie/CMoviePlayer.h"
#include "movie/MovieVolumeRecord.h"
#include "screens/ScreenFixture.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "sheetgen/MusicSheets.h"
#include "sound/SoundChannels.h"
#include "support/FakeWaveManager.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;

// Page 0: 0 (a theme), 11, 17 and 19 listed; 1 heard twice is not. Page 1: 2 and 22.
constexpr std::pair<uint32_t, uint8_t> HEARD[] = {{4112, 1}, {4111, 2}, {4103, 1}, {4136, 1},
                                                  {4133, 1}, {4141, 1}, {4149, 1}};

std::vector<tools::ArchiveEntry> Pictures()
{
    std::vector<tools::ArchiveEntry> pictures;
    const std::vector<uint8_t> rows = tools::EncodeAkb(tools::MusicRowSheet(), {});
    const std::vector<uint8_t> controls = tools::EncodeAkb(tools::MusicControlSheet(), {});
    for (const char* suffix : {"", "_EN"}) {
        pictures.push_back({std::string("MUSIC_P") + suffix + ".AKB", rows});
        pictures.push_back({std::string("MUSICMODE_P") + suffix + ".AKB", controls});
    }
    for (const auto& [slot, name] : {std::pair{0, "A000.AKB"}, {11, "A011.AKB"}, {17, "A017.AKB"}})
        pictures.push_back({name, tools::EncodeAkb(tools::MusicTrackPicture(slot), {})});
    return pictures;
}

std::vector<tools::ArchiveEntry> Data()
{
    std::vector<tools::ArchiveEntry> data = DialogDataEntries();
    data.push_back({"MUSICMODE.AREA", tools::BuildAreaFile(tools::MusicAreas())});
    const std::string names = "theme01\tHERO1.WAV\n";
    data.push_back({"CASTNAMES.TXT", std::vector<uint8_t>(names.begin(), names.end())});
    return data;
}

class CMusicModeThreadTest : public ScreenFixture
{
protected:
    CMusicModeThreadTest()
        : ScreenFixture(Data(), Pictures())
    {
        ResetCastNames();
        GetScriptState().m_current_state->Flags.assign(8100, 0);
        for (const auto& [flag, value] : HEARD)
            GetScriptState().m_current_state->Flags[flag] = value;
        auto& music = GetGameSoundChannels()[SOUND_GROUP_MUSIC];
        music.clear();
        for (int i = 0; i < 2; ++i)
            music.push_back(std::make_unique<FakeWaveManager>());
        m_music = static_cast<FakeWaveManager*>(music[0].get());
        foundation::WriteConfigInt(foundation::KEY_SOUND_ENABLE, 1);
        foundation::WriteConfigInt(foundation::KEY_MUSIC_ENABLE, 1);
        foundation::WriteConfigInt(foundation::KEY_MASTER_VOLUME, 100);
        foundation::WriteConfigInt(foundation::KEY_MUSIC_VOLUME, 50);
    }
    ~CMusicModeThreadTest() override { ResetCastNames(); }

    void Open(CMusicMode& room)
    {
        ASSERT_EQ(room.CreateParts(), 1);
        room.HitAreas.Load("musicmode.area");
        room.DrawAll();
        for (CSpriteLayer* sprite : {room.GetBase(), room.GetOverlay()}) {
            sprite->SetAlpha(255);
            sprite->SetVisibleFlag(1);
        }
        m_music->ClearCalls();
    }
    void Decide(CMusicMode& room, int32_t id)
    {
        room.SetHover(id);
        room.OnDecide();
    }
    Cell Row(int32_t r)
    {
        Capture();
        return ShownCell(1663, 142 + 48 * r);
    }
    Cell Picture()
    {
        Capture();
        return ShownCell(900, 400);
    }
    static Cell RowCell(int32_t page, int32_t t, int32_t state)
    {
        return {tools::MUSIC_ROW_CELL + static_cast<uint32_t>(32 * page + t), state};
    }

    FakeWaveManager* m_music = nullptr;
};

TEST_F(CMusicModeThreadTest, ListsATrackOnlyWhileItsHeardFlagIsOne)
{
    CMusicMode room;
    Open(room);
    Capture("music_room.png");
    EXPECT_EQ(Row(0), RowCell(0, 0, 0));
    EXPECT_EQ(Row(1), RowCell(0, 1, 3)) << "heard flag 2 is not listed";
    EXPECT_EQ(Row(2), RowCell(0, 2, 3));
    EXPECT_TRUE(room.IsUnlocked(11));
    EXPECT_FALSE(room.IsUnlocked(1));
    Decide(room, 1);
    EXPECT_EQ(room.GetPlayingIndex(), -1) << "an unlisted row ignores clicks";
    EXPECT_TRUE(TakeOkCancelSounds().empty());
}

TEST_F(CMusicModeThreadTest, ScrollRangeAndWheelStopAtBothEnds)
{
    CMusicMode room;
    Open(room);
    for (const auto& [page, max] : {std::pair{0, 5}, {1, 8}}) {
        if (page == 1)
            Decide(room, MUSIC_PAGE_TAB + 1);
        EXPECT_EQ(room.GetMaxOffset(), max);
        for (int i = 0; i < 12; ++i)
            room.OnMouseWheel(-1);
        EXPECT_EQ(room.GetScrollOffset(), max);
        EXPECT_EQ(Row(0), RowCell(page, max, 3));
        for (int i = 0; i < 12; ++i)
            room.OnMouseWheel(1);
        EXPECT_EQ(room.GetScrollOffset(), 0);
    }
}

TEST_F(CMusicModeThreadTest, RowsPlayStopAndSwitchPictures)
{
    CMusicMode room;
    Open(room);
    Decide(room, 11);
    EXPECT_EQ(room.GetPlayingIndex(), 11);
    EXPECT_EQ(Picture(), Cell(tools::MUSIC_PICTURE + 11, 0));
    EXPECT_EQ(Row(11), RowCell(0, 11, 2));
    Decide(room, 0);
    EXPECT_EQ(room.GetPlayingIndex(), 0);
    EXPECT_EQ(Picture(), Cell(tools::MUSIC_PICTURE + 0, 0)) << "the picture switches with the track";
    Decide(room, 0);
    EXPECT_EQ(room.GetPlayingIndex(), -1) << "the playing row stops";
    EXPECT_EQ(EffectPixel(*room.GetOverlay(), 900, 400), 0u) << "the picture is cleared";
    const std::vector<std::string> expected{"volume -2500", "play _AKOGARE.WAV", "stop forget",
                                            "volume -2500", "play HERO1.WAV",    "stop forget"};
    EXPECT_EQ(m_music->Calls(), expected) << "a theme's file comes from the names file";

    // Stop keeps the selection; play starts it again.
    m_music->ClearCalls();
    Decide(room, 17);
    Decide(room, MUSIC_STOP);
    EXPECT_EQ(room.GetPlayingIndex(), -1);
    EXPECT_EQ(room.GetSelectedIndex(), 17);
    Decide(room, MUSIC_PLAY);
    EXPECT_EQ(room.GetPlayingIndex(), 17);
    EXPECT_EQ(m_music->Calls().back(), "play BUKIMI.WAV");
}

TEST_F(CMusicModeThreadTest, PreviousAndNextSkipUnlistedTracksAndScrollThemIntoView)
{
    CMusicMode room;
    Open(room);
    Decide(room, 11);
    struct Step
    {
        int32_t id;
        int32_t selected;
        int32_t offset;
        bool sound;
    };
    const Step steps[] = {
        {MUSIC_NEXT, 17, 3, 1},     // into the last row
        {MUSIC_NEXT, 19, 5, 1},     //
        {MUSIC_NEXT, 19, 5, 0},     // the page's last index: refused
        {MUSIC_PREVIOUS, 17, 5, 1}, // visible: no scroll
        {MUSIC_PREVIOUS, 11, 5, 1}, // above the rows: into the first
        {MUSIC_PREVIOUS, 0, 0, 1},  //
        {MUSIC_PREVIOUS, 0, 0, 0},  // index 0: refused
    };
    TakeOkCancelSounds();
    for (const Step& step : steps) {
        Decide(room, step.id);
        EXPECT_EQ(room.GetSelectedIndex(), step.selected) << step.id;
        EXPECT_EQ(room.GetPlayingIndex(), step.selected);
        EXPECT_EQ(room.GetScrollOffset(), step.offset);
        EXPECT_EQ(TakeOkCancelSounds().empty(), !step.sound) << step.id << " to " << step.selected;
    }
    EXPECT_EQ(Row(0), RowCell(0, 0, 2));
}

TEST_F(CMusicModeThreadTest, APageChangeStopsKeepsTheIndexAndPlayRefusesUnlistedSlots)
{
    CMusicMode room;
    Open(room);
    Decide(room, 11);
    Decide(room, MUSIC_PAGE_TAB + 1);
    EXPECT_EQ(room.GetPage(), 1);
    EXPECT_EQ(room.GetPlayingIndex(), -1);
    EXPECT_EQ(room.GetSelectedIndex(), 11) << "the index number stays";
    m_music->ClearCalls();
    Decide(room, MUSIC_PLAY);
    EXPECT_EQ(room.GetPlayingIndex(), -1) << "page 1's track 11 is not listed";
    EXPECT_TRUE(m_music->Calls().empty());

    room.OnMouseWheel(-8);
    room.OnMouseWheel(-8);
    room.OnMouseWheel(-8);
    ASSERT_EQ(room.GetScrollOffset(), 3);
    Decide(room, 22 - 3);
    EXPECT_EQ(room.GetPlayingIndex(), 22);
    EXPECT_EQ(m_music->Calls().back(), "play message.wav");
    Decide(room, MUSIC_PAGE_TAB);
    EXPECT_EQ(room.GetScrollOffset(), 0);
    m_music->ClearCalls();
    Decide(room, MUSIC_PLAY);
    EXPECT_EQ(room.GetPlayingIndex(), -1) << "page 0's slot 22 is empty";
    EXPECT_TRUE(m_music->Calls().empty());
    Decide(room, MUSIC_PAGE_TAB);
    EXPECT_TRUE(m_music->Calls().empty()) << "the current page's tab does nothing";
}

TEST_F(CMusicModeThreadTest, SliderMapsThePointerAndAClickStoresTheValue)
{
    for (const auto& [x, v] : {std::pair{0, 0.0f}, {433, 0.0f}, {978, 1.0f}, {1500, 1.0f}})
        EXPECT_FLOAT_EQ(CMusicMode::PointerToVolume(x), v) << x;
    EXPECT_FLOAT_EQ(CMusicMode::PointerToVolume(433 + 109), 0.2f);

    CMusicMode room;
    Open(room);
    PointAt(433 + 109, 831);
    Decide(room, MUSIC_SLIDER);
    EXPECT_FLOAT_EQ(room.GetShownVolume(), 0.2f);
    EXPECT_EQ(foundation::ReadConfigInt(foundation::KEY_MUSIC_VOLUME, -1), 20);
    EXPECT_FLOAT_EQ(GetConfigMusicVolume(), 0.2f);
    const auto& music = GetGameSoundChannels()[SOUND_GROUP_MUSIC];
    EXPECT_EQ(m_music->Calls().back(), "volume -4000");
    EXPECT_EQ(static_cast<FakeWaveManager*>(music[1].get())->Calls().back(), "volume -4000")
        << "every music channel follows";
    Capture();
    EXPECT_EQ(ShownCell(407 + 109 + 26, 831), Cell(tools::MUSIC_KNOB, 1));
}

TEST_F(CMusicModeThreadTest, VolumeLevelsReachTheMusicAndTheMoviesOfTheMovieCommand)
{
    CMoviePlayer* player = GetDocument()->GetMoviePlayer();
    ASSERT_NE(player, nullptr);
    struct Case
    {
        int sound;
        int master;
        float volume;
        uint32_t kind;
        std::string call;
        int32_t movie; // 1: left alone
    };
    const Case cases[] = {
        {1, 100, 1.0f, 1, "volume 0", 0},           {1, 100, 0.0f, 1, "volume -5000", -4000},
        {1, 50, 1.0f, 1, "volume -2500", -2000},    {1, 100, 0.3f, 1, "volume -3500", -2800},
        {0, 100, 1.0f, 1, "volume -10000", -10000}, {0, 100, 0.0f, 1, "volume -10000", -10000},
        {1, 100, 0.0f, 0, "volume -5000", 1},       {0, 100, 1.0f, 2, "volume -10000", 1}};
    for (const Case& c : cases) {
        foundation::WriteConfigInt(foundation::KEY_SOUND_ENABLE, c.sound);
        foundation::WriteConfigInt(foundation::KEY_MASTER_VOLUME, c.master);
        GetGameWork()->m_movie_volume->Kind = c.kind;
        for (auto& stream : player->Streams)
            stream->Volume = 1;
        CMusicMode room;
        Open(room);
        room.ApplyVolume(c.volume);
        const std::string at = std::to_string(c.sound) + " " + std::to_string(c.master) + " " +
                               std::to_string(c.volume) + " kind " + std::to_string(c.kind);
        EXPECT_EQ(m_music->Calls().back(), c.call) << at;
        EXPECT_EQ(player->Streams[0]->Volume, c.movie) << at;
        EXPECT_EQ(player->Streams[1]->Volume, c.movie) << at << ": both streams";
    }
    GetGameWork()->m_movie_volume->Kind = 0;
}

TEST_F(CMusicModeThreadTest, SliderDragFollowsThePointerLiveAndStoresTheLastValue)
{
    CMusicMode room;
    Open(room);
    // Pressed at 0.4, dragged left past the bar's end, then right to 0.8.
    const std::vector<int32_t> xs{433 + 218, 433 + 109, 300, 300, 433 + 436};
    PointAt(xs.front(), 831);
    m_mouse.left_down = 1;
    OnPump([&](int pump) {
        if (static_cast<size_t>(pump) < xs.size())
            PointAt(xs[static_cast<size_t>(pump)], 831);
        m_mouse.left_down = static_cast<size_t>(pump) < xs.size() + 2 ? 1 : 0;
    });
    room.SetHover(MUSIC_SLIDER);
    room.OnDrag();
    OnPump(nullptr);
    m_mouse.left_down = 0;
    EXPECT_FLOAT_EQ(room.GetShownVolume(), 0.8f);
    EXPECT_EQ(foundation::ReadConfigInt(foundation::KEY_MUSIC_VOLUME, -1), 80);
    std::vector<std::string> calls = m_music->Calls();
    calls.erase(std::unique(calls.begin(), calls.end()), calls.end());
    const std::vector<std::string> expected{"volume -3000", "volume -4000", "volume -5000", "volume -1000"};
    EXPECT_EQ(calls, expected)
        << "each new position is heard while dragging, the floor at the bar's left end";
    Capture("music_room_drag.png");
    EXPECT_EQ(ShownCell(407 + 436 + 26, 831), Cell(tools::MUSIC_KNOB, 1));
}

TEST_F(CMusicModeThreadTest, ScrollBarDragMovesTheRowsAndAClickBesideTheThumbJumps)
{
    struct Case
    {
        const char* name;
        std::vector<int32_t> ys; // pointer y, one a pump while the button is held
        int32_t offset;
    } cases[] = {
        {"the thumb dragged to the bottom", {200, 400, 800}, 5},
        {"the thumb dragged a little", {200, 260}, 1},
        {"dragged up past the top", {200, 500, -300}, 0},
        {"a click below the thumb", {700}, 4},
    };
    for (const Case& c : cases) {
        CMusicMode room;
        Open(room);
        PointAt(1880, c.ys.front());
        m_mouse.left_down = 1;
        OnPump([&](int pump) {
            if (static_cast<size_t>(pump) < c.ys.size())
                PointAt(1880, c.ys[static_cast<size_t>(pump)]);
            m_mouse.left_down = static_cast<size_t>(pump) < c.ys.size() + 2 ? 1 : 0;
        });
        Decide(room, MUSIC_SCROLL_BAR);
        OnPump(nullptr);
        m_mouse.left_down = 0;
        EXPECT_EQ(room.GetScrollOffset(), c.offset) << c.name;
        EXPECT_EQ(Row(0), RowCell(0, c.offset, c.offset == 0 ? 0 : 3)) << c.name << ": the rows follow";
    }
}

TEST_F(CMusicModeThreadTest, MusicOffShowsNoKnobAndIgnoresTheSlider)
{
    foundation::WriteConfigInt(foundation::KEY_MUSIC_ENABLE, 0);
    CMusicMode room;
    Open(room);
    Capture();
    EXPECT_EQ(ShownCell(407 + 272 + 26, 831), Cell(tools::MUSIC_BAR_EMPTY, 0)) << "no knob, no filled bar";
    PointAt(900, 831);
    Decide(room, MUSIC_SLIDER);
    EXPECT_EQ(foundation::ReadConfigInt(foundation::KEY_MUSIC_VOLUME, -1), 50);
    EXPECT_TRUE(m_music->Calls().empty());

    // Another screen switching music on shows at the next frame.
    foundation::WriteConfigInt(foundation::KEY_MUSIC_ENABLE, 1);
    room.Update();
    Capture();
    EXPECT_EQ(ShownCell(407 + 272 + 26, 831), Cell(tools::MUSIC_KNOB, 0));
}

TEST_F(CMusicModeThreadTest, TrackEndCancelAndTabs)
{
    CMusicMode room;
    Open(room);
    Decide(room, 11);
    m_music->SetPlaying(true);
    room.Update();
    EXPECT_EQ(room.GetPlayingIndex(), 11) << "a looping track keeps playing";
    m_music->SetPlaying(false);
    room.Update();
    EXPECT_EQ(room.GetPlayingIndex(), -1) << "the end of a track without a loop";
    EXPECT_EQ(Row(11), RowCell(0, 11, 2)) << "still selected";

    Decide(room, 17);
    TakeOkCancelSounds();
    room.OnCancel();
    EXPECT_EQ(room.GetPlayingIndex(), -1);
    EXPECT_EQ(room.Running, 1) << "the first cancel only stops";
    EXPECT_TRUE(TakeOkCancelSounds().empty());
    room.OnCancel();
    EXPECT_EQ(room.Running, 0);
    EXPECT_EQ(room.Result.Integer, -1);
    EXPECT_FALSE(TakeOkCancelSounds().empty());

    FlagBuffer* state = GetScriptState().m_current_state.get();
    for (const auto& [flag, id, leaves, tab] : {std::tuple{0, MUSIC_TAB_FIRST, false, 0},
                                                {0, MUSIC_TAB_FIRST + 1, false, 0},
                                                {0, MUSIC_TAB_FIRST + 2, false, 0},
                                                {0, MUSIC_TAB_LAST, true, 3},
                                                {1, MUSIC_TAB_FIRST + 1, true, 1},
                                                {1, MUSIC_TAB_FIRST, true, 0}}) {
        state->Flags[1898] = static_cast<uint8_t>(flag);
        state->Values[12] = ScriptValue::FromInteger(-5);
        room.Running = 1;
        room.Result = ScriptValue::FromInteger(0);
        Decide(room, id);
        EXPECT_EQ(room.Running == 0, leaves) << id << " flag " << flag;
        if (leaves) {
            EXPECT_EQ(room.Result.Integer, 100);
            EXPECT_EQ(state->Values[12].Integer, tab);
            EXPECT_EQ(state->Values[17].Integer, 0);
        }
    }
}

TEST_F(CMusicModeThreadTest, CursorKeys)
{
    CMusicMode room;
    Open(room);
    constexpr int32_t KNOB = -2;
    struct Case
    {
        int32_t from;
        std::array<int32_t, 4> to; // up, down, left, right
    };
    const Case cases[] = {
        {-1, {256, 0, 256, KNOB}},   {0, {-1, 1, 256, KNOB}},     {14, {13, 15, 256, KNOB}},
        {256, {-1, 257, -1, 0}},     {259, {258, 512, -1, 0}},    {512, {259, -1, -1, 768}},
        {768, {KNOB, -1, 512, 769}}, {769, {KNOB, -1, 768, 770}}, {1024, {-1, 768, 0, -1}},
        {1281, {-1, -1, -1, -1}},    {1536, {-1, -1, -1, -1}},
    };
    for (const Case& c : cases)
        for (int32_t key = 0; key < 4; ++key) {
            room.SetHover(c.from);
            EXPECT_EQ(room.CursorTarget(key), c.to[static_cast<size_t>(key)]) << c.from << " key " << key;
        }
    room.SetHover(-1);
    room.OnRightKey();
    ASSERT_FALSE(m_mouse.warps.empty());
    EXPECT_EQ(room.GetHover(), MUSIC_SLIDER) << "the pointer is put on the knob";
}

} // namespace
