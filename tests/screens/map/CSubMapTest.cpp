#include "screens/map/CSubMap.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "foundation/ConfigSettings.h"
#include "graphics/CSpriteLayer.h"
#include "screens/ScreenFixture.h"
#include "screens/map/RecordingPresence.h"
#include "screens/map/SubMapLayout.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "sheetgen/MapSheets.h"
#include "support/ResidentPages.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;

const std::vector<tools::ArchiveEntry>& SubMapPictures()
{
    static const std::vector<tools::ArchiveEntry> entries = [] {
        std::vector<tools::ArchiveEntry> out;
        for (const tools::NamedFile& file : tools::MapPictureFiles())
            if (!file.name.starts_with("cal"))
                out.push_back({tools::UpperCaseName(file.name), file.bytes});
        return out;
    }();
    return entries;
}

std::vector<tools::ArchiveEntry> SubMapData(bool with_second_area)
{
    std::vector<tools::ArchiveEntry> out;
    for (const tools::NamedFile& file : tools::MapDataFiles())
        if (with_second_area || file.name != "tavrelin_sub.area")
            out.push_back({tools::UpperCaseName(file.name), file.bytes});
    return out;
}

tools::AreaRecord Area(int32_t kind, uint32_t id)
{
    for (const tools::AreaRecord& area : tools::SubMapAreas(kind))
        if (area.id == id)
            return area;
    throw std::logic_error("no such area");
}

Cell LayerCell(CSpriteLayer* layer, int x, int y)
{
    uint32_t id = 0;
    int32_t state = 0;
    const uint32_t pixel = EffectPixel(*layer->GetLayer(), x, y);
    if (!tools::DecodeCellColour(pixel, id, state))
        return {0xFFFFFFFFu, pixel == 0 ? -2 : -1}; // -2: transparent
    return {id, state};
}

constexpr Cell CLEAR{0xFFFFFFFFu, -2};

class CSubMapThreadTest : public ScreenFixture
{
protected:
    explicit CSubMapThreadTest(bool with_second_area = true)
        : ScreenFixture(SubMapData(with_second_area), SubMapPictures())
    {
        GetScriptState().m_current_state->Flags.resize(8192);
        GetScriptState().m_current_state->SetGameTime(1000);
        GetScriptState().m_current_state->SetGameDate(1224);
        SetConfigGameMode(1);
        EXPECT_TRUE(m_map.LoadIcons());
        m_map.SetPresence(std::make_unique<RecordingPresence>(m_questions, [](const PresenceQuestion& q) {
            return static_cast<CharacterIndex>(q.place % 27);
        }));
    }

    static uint8_t& Flag(uint32_t n) { return GetScriptState().m_current_state->Flags[n]; }

    // Runs the kind with the step at each pump; the run is ended at the budget if nothing ends it.
    int32_t RunKind(int32_t kind, std::function<void(int)> step = nullptr, int budget = 40)
    {
        Flag(SUBMAP_KIND_FLAG) = static_cast<uint8_t>(kind);
        m_questions.clear();
        OnPump([&](int pump) {
            if (step)
                step(pump);
            if (pump == budget)
                m_map.Running = 0;
        });
        PointAt(0, 0);
        ScriptValue out = ScriptValue::FromInteger(99);
        m_map.Run(&out);
        m_run_pumps = Pumps();
        OnPump(nullptr);
        return out.Integer;
    }
    // Holds the left button on an area's centre for two pumps from the pump given.
    void ClickAt(int pump, int now, int32_t kind, uint32_t id)
    {
        if (now == pump - 5)
            PointAtCentre(Area(kind, id));
        m_mouse.left_down = now >= pump && now < pump + 2 ? 1 : 0;
    }

    void PressKeyAt(int pump, int now, uint32_t key)
    {
        if (now == pump)
            m_keyboard.down = {key};
        if (now == pump + 2)
            m_keyboard.down.clear();
    }

    std::vector<PresenceQuestion> m_questions;
    CSubMap m_map;
    int m_run_pumps = 0;
};

class CSubMapWithoutSecondAreaThreadTest : public CSubMapThreadTest
{
protected:
    CSubMapWithoutSecondAreaThreadTest()
        : CSubMapThreadTest(false)
    {}
};

} // namespace

TEST_F(CSubMapThreadTest, EachKindAsksItsPlacesInSpotOrderAndShowsTheirFaces)
{
    struct Case
    {
        int32_t kind;
        const char* question;
        uint32_t floor;
        std::vector<uint32_t> places;
    } cases[] = {
        {0, "town", 0, {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  29, 10, 11, 24, 12, 13,
                        14, 15, 16, 17, 18, 25, 26, 27, 28, 30, 19, 20, 21, 22, 23}},
        {1, "submap", 0, {0, 1, 2, 9, 10, 3, 11, 12, 4, 5, 6, 7, 8}},
        {2, "school", 2, {0, 1, 2, 3, 4, 5}},
        {3, "school", 3, {0, 1, 2, 3, 4, 5}},
        {4, "school", 4, {0, 1, 2, 3, 4, 5}},
        {5, "school", 3, {0, 1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        std::vector<PresenceQuestion> asked;
        // The layers are looked at while the screen shows: closed, it gives their pixels back.
        const auto check_layers = [&] {
            const SubMapKindLayout& layout = GetSubMapLayout(c.kind);
            const std::vector<uint32_t> order = RecordingPresence::Places(asked);
            for (uint32_t place : c.places) {
                const SubMapPoint face = layout.Faces[place];
                // The faces of one spot stand side by side: a face drawn later covers the middle
                // of one whose cell it overlaps.
                uint32_t shown = place;
                for (auto later = std::find(order.begin(), order.end(), place); later != order.end();
                     ++later) {
                    const SubMapPoint at = layout.Faces[*later];
                    if (face.X + 72 >= at.X && face.X + 72 < at.X + 144 && face.Y + 72 >= at.Y &&
                        face.Y + 72 < at.Y + 144)
                        shown = *later;
                }
                EXPECT_EQ(LayerCell(m_map.GetIconLayer(), face.X + 72, face.Y + 72),
                          Cell(tools::ICON_FACE + shown % 27, 0))
                    << "kind " << c.kind << " place " << place;
            }
            EXPECT_EQ(LayerCell(m_map.GetBackgroundLayer(), 5, 1075),
                      Cell(tools::SUBMAP_BACKGROUND +
                               static_cast<uint32_t>(c.kind == 0 || c.kind == 1 ? c.kind : 2),
                           0));
        };
        RunKind(c.kind, [&](int pump) {
            if (pump == 30) {
                asked = m_questions;
                Capture("submap_kind" + std::to_string(c.kind) + "_faces.png");
                check_layers();
            }
        });
        EXPECT_EQ(RecordingPresence::Places(asked), c.places) << "kind " << c.kind;
        for (const PresenceQuestion& q : asked) {
            EXPECT_EQ(q.kind, c.question) << "kind " << c.kind;
            EXPECT_EQ(q.floor, c.floor) << "kind " << c.kind;
        }
    }
    EXPECT_EQ(m_map.GetKind(), 5);
}

// Each open draws the layers whole again: closed, the screen holds none of their pages, and the
// next open shows its picture again.
TEST_F(CSubMapThreadTest, AClosedSubMapGivesItsLayersPixelsBack)
{
    const auto layers = [&] {
        return std::vector<ILayer*>{m_map.GetBackgroundLayer()->GetLayer(), m_map.GetPartsLayer()->GetLayer(),
                                    m_map.GetIconLayer()->GetLayer()};
    };
    for (int round = 0; round < 2; ++round) {
        std::vector<size_t> shown;
        Cell background{};
        RunKind(0, [&](int pump) {
            if (pump == 30) {
                for (ILayer* layer : layers())
                    shown.push_back(ResidentBytes(layer));
                background = LayerCell(m_map.GetBackgroundLayer(), 5, 1075);
            }
        });
        ASSERT_EQ(shown.size(), 3u);
        for (size_t k = 0; k < 3; ++k) {
            EXPECT_GT(shown[k], 0u) << "layer " << k << " round " << round;
            EXPECT_EQ(ResidentBytes(layers()[k]), 0u) << "layer " << k << " round " << round;
        }
        EXPECT_EQ(background, Cell(tools::SUBMAP_BACKGROUND, 0)) << "round " << round;
    }
}

TEST_F(CSubMapThreadTest, WithoutTheGameModeEveryPlaceIsAskedButNoFaceDrawn)
{
    SetConfigGameMode(0);
    RunKind(0, [&](int pump) {
        if (pump == 30)
            Capture("submap_kind0_no_faces.png");
    });
    EXPECT_EQ(m_questions.size(), 31u);
    const SubMapKindLayout& layout = GetSubMapLayout(0);
    for (const SubMapPoint& face : layout.Faces)
        EXPECT_EQ(LayerCell(m_map.GetIconLayer(), face.X + 72, face.Y + 72), CLEAR);
}

TEST_F(CSubMapThreadTest, ChangingTheGameModeClosesTheScreenWithMinusOneOnTheNextFrame)
{
    int changed_at = 0;
    const int32_t result = RunKind(
        1,
        [&](int pump) {
            if (pump == 30) {
                SetConfigGameMode(0);
                changed_at = pump;
            }
        },
        200);
    EXPECT_EQ(result, -1);
    EXPECT_LT(m_run_pumps, 60) << "closed at once, not by the test's budget";
}

TEST_F(CSubMapThreadTest, SpotNineteenTakesItsCellFromFlag763OrKeepsThePreviousOne)
{
    struct Case
    {
        uint8_t flag;
        uint32_t id;
    } cases[] = {{0, 19}, {1, tools::SUBMAP_SPOT19_ALT}, {7, tools::SUBMAP_SPOT19_ALT}, {0, 19}};
    const tools::AreaRecord spot = Area(0, 19);
    for (const Case& c : cases) {
        Flag(SUBMAP_SPOT19_FLAG) = c.flag;
        Cell normal, hover;
        RunKind(0, [&](int pump) {
            if (pump == 25)
                PointAtCentre(spot);
            if (pump == 30) {
                normal = LayerCell(m_map.GetBackgroundLayer(), spot.left + 90, spot.top + 80);
                hover = LayerCell(m_map.GetPartsLayer(), spot.left + 90, spot.top + 80);
            }
        });
        EXPECT_EQ(normal, Cell(c.id, 0)) << "flag " << int(c.flag);
        EXPECT_EQ(hover, Cell(c.id, 1)) << "flag " << int(c.flag);
    }
}

TEST_F(CSubMapThreadTest, TheSchoolBackButtonLiesOnTheIconLayerTheOthersOnTheParts)
{
    for (int32_t kind : {0, 1, 2, 4}) {
        const tools::AreaRecord back = Area(kind, SUBMAP_BACK_ITEM);
        const bool school = kind >= 2;
        RunKind(kind, [&](int pump) {
            if (pump != 30)
                return;
            EXPECT_EQ(LayerCell(m_map.GetIconLayer(), back.left + 79, back.top + 79),
                      school ? Cell(SUBMAP_BACK_ITEM, 0) : CLEAR)
                << "kind " << kind;
            EXPECT_EQ(LayerCell(m_map.GetPartsLayer(), back.left + 79, back.top + 79),
                      school ? CLEAR : Cell(SUBMAP_BACK_ITEM, 0))
                << "kind " << kind;
        });
    }
}

TEST_F(CSubMapThreadTest, HoverPutsTheOldSpotBackBeforeShowingTheNewOne)
{
    const tools::AreaRecord first = Area(1, 0);
    const tools::AreaRecord second = Area(1, 2);
    std::vector<Cell> seen;
    RunKind(1, [&](int pump) {
        if (pump == 25)
            PointAtCentre(first);
        if (pump == 30) {
            seen.push_back(LayerCell(m_map.GetPartsLayer(), first.left + 50, first.top + 50));
            PointAtCentre(second);
        }
        if (pump == 35) {
            Capture("submap_kind1_hover.png");
            seen.push_back(LayerCell(m_map.GetPartsLayer(), first.left + 50, first.top + 50));
            seen.push_back(LayerCell(m_map.GetPartsLayer(), second.left + 50, second.top + 50));
            seen.push_back(ShownCell(first.left + 50, first.top + 50));
        }
    });
    EXPECT_EQ(seen, (std::vector<Cell>{{0, 1}, CLEAR, {2, 1}, {0, 0}}));
}

TEST_F(CSubMapThreadTest, BackAndCancelBothAnswerMinusOneWithTheirOwnSounds)
{
    struct Case
    {
        const char* what;
        uint32_t clicked; // an area's id, or none when the key is pressed
        uint32_t key;
        int32_t result;
        const char* sound;
    } cases[] = {{"back", SUBMAP_BACK_ITEM, 0, -1, "play ses_001.wav"},
                 {"escape", 0, 1, -1, "play ses_002.wav"},
                 {"delete", 0, 211, -1, "play ses_002.wav"},
                 {"spot", 5, 0, 5, "play ses_001.wav"}};
    for (const Case& c : cases) {
        TakeOkCancelSounds();
        const int32_t result = RunKind(
            0,
            [&](int pump) {
                if (c.key == 0)
                    ClickAt(30, pump, 0, c.clicked);
                else
                    PressKeyAt(30, pump, c.key);
            },
            200);
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_LT(m_run_pumps, 100) << c.what;
        const std::vector<std::string> sounds = TakeOkCancelSounds();
        EXPECT_NE(std::find(sounds.begin(), sounds.end(), c.sound), sounds.end()) << c.what;
    }
}

TEST_F(CSubMapThreadTest, WithoutItsFaceSheetTheScreenCannotBeMade)
{
    class WithoutFaces : public CSubMap
    {
    public:
        CSprite* LoadSprite(const CStringUTF8& name, CSprite* sprite, int32_t kind, int32_t texture_argument,
                            int32_t priority, RECT* out, int32_t x, int32_t y, int32_t fill_mode) override
        {
            if (name == CStringUTF8("icon_p.akb"))
                return nullptr;
            return CSubMap::LoadSprite(name, sprite, kind, texture_argument, priority, out, x, y, fill_mode);
        }
    };
    m_map.Release();
    ReleaseSharedIconSheet();
    WithoutFaces map;
    EXPECT_FALSE(map.LoadIcons());
}

TEST_F(CSubMapWithoutSecondAreaThreadTest, ASecondMapAfterTheSchoolIgnoresTheSchoolsExtraSpots)
{
    RunKind(2);
    // The second map's area file is missing, so the school's areas stay; its spot 10 is no spot
    // of the second map.
    const int32_t result = RunKind(
        1,
        [&](int pump) {
            ClickAt(30, pump, 2, 10);
            PressKeyAt(60, pump, 1);
        },
        200);
    EXPECT_EQ(result, -1) << "the click on a school spot is ignored; the cancel ends the run";
    EXPECT_GT(m_run_pumps, 60);
}

// On the first sub map each face stands in the lower part of the spot whose place it shows,
// under the spot's name along its top; the places of one spot stand side by side, each face's
// middle clear of the others'.
TEST(SubMapLayout, FirstMapFacesStandInTheirSpotsUnderTheirNames)
{
    constexpr int32_t NAME_BAND = 40;
    constexpr int32_t MIDDLE = SUBMAP_FACE_SIZE / 2;
    const SubMapKindLayout& layout = GetSubMapLayout(SUBMAP_KIND_FIRST);
    for (size_t spot = 0; spot < layout.Spots.size(); ++spot) {
        const SubMapSpot& area = layout.Spots[spot];
        std::vector<SubMapPoint> middles;
        for (const int32_t place : GetSubMapSpotPlaces(SUBMAP_KIND_FIRST, static_cast<int32_t>(spot))) {
            SCOPED_TRACE("spot " + std::to_string(spot) + ", place " + std::to_string(place));
            ASSERT_LT(static_cast<size_t>(place), layout.Faces.size());
            const SubMapPoint face = layout.Faces[static_cast<size_t>(place)];
            const SubMapPoint middle{face.X + MIDDLE, face.Y + MIDDLE};
            EXPECT_GE(middle.X, area.X);
            EXPECT_LT(middle.X, area.X + area.Width);
            EXPECT_GE(middle.Y, area.Y + NAME_BAND);
            EXPECT_LT(middle.Y, area.Y + area.Height);
            for (const SubMapPoint& other : middles)
                EXPECT_TRUE(std::abs(middle.X - other.X) >= NAME_BAND ||
                            std::abs(middle.Y - other.Y) >= NAME_BAND)
                    << "on the face at " << other.X << ", " << other.Y;
            middles.push_back(middle);
        }
    }
}
