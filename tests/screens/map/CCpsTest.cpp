#include "screens/map/CCps.h"

#include <map>

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "foundation/CExecException.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "screens/ScreenFixture.h"
#include "screens/map/RecordingPresence.h"
#include "screens/map/SubMapLayout.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "sheetgen/MapSheets.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;
constexpr Cell CLEAR{0xFFFFFFFFu, -2};

// The icon sheet with a transparent hole in every frame where the face goes and a half
// transparent patch in every face over it, so the two ways of compositing an icon differ there.
tools::ArchiveEntry IconSheet()
{
    tools::AkbPicture sheet =
        tools::BuildSheet(tools::ICON_SHEET_WIDTH, tools::ICON_SHEET_HEIGHT, tools::IconSheetCells());
    const int frames[6][2] = {{720, 0}, {904, 0}, {1088, 0}, {904, 256}, {1088, 256}, {904, 512}};
    for (const auto& frame : frames)
        for (int y = 60; y < 100; ++y)
            for (int x = 60; x < 100; ++x)
                sheet.At(frame[0] + x, frame[1] + y) = 0;
    for (int c = 0; c < 26; ++c)
        for (int y = 40; y < 80; ++y)
            for (int x = 40; x < 80; ++x)
                sheet.At(c % 5 * 144 + x, c / 5 * 144 + y) = 0x80FFFFFF;
    return {"ICON_P.AKB", tools::EncodeAkb(sheet, {})};
}

class CCpsThreadTest : public ScreenFixture
{
protected:
    CCpsThreadTest()
        : ScreenFixture({}, {IconSheet()})
    {
        State().Flags.resize(8192);
        State().SetGameTime(1000);
        State().SetGameDate(1224);
        m_target = CreateSpriteOfType(0, 0, 2400, 1300, -1, LAYER_KIND_MEMORY);
        m_map.Icons.Clock = std::make_unique<RecordingPresence>(
            m_questions, [this](const PresenceQuestion& q) { return Answer(q); });
    }

    static FlagBuffer& State() { return *GetScriptState().m_current_state; }
    CharacterIndex Answer(const PresenceQuestion& q)
    {
        const auto found = m_answers.find(q.place);
        return found != m_answers.end() ? found->second : PRESENCE_NOBODY;
    }
    uint32_t Pixel(int x, int y) { return EffectPixel(*m_target->GetLayer(), x, y); }
    Cell At(int x, int y)
    {
        uint32_t id = 0;
        int32_t state = 0;
        const uint32_t pixel = Pixel(x, y);
        if (!tools::DecodeCellColour(pixel, id, state))
            return {0xFFFFFFFFu, pixel == 0 ? -2 : -1};
        return {id, state};
    }
    void Paint(int32_t kind)
    {
        State().Flags[SUBMAP_KIND_FLAG] = static_cast<uint8_t>(kind);
        m_questions.clear();
        m_map.DrawSubmapPresenceIcons(m_target.get());
    }

    std::vector<PresenceQuestion> m_questions;
    std::map<uint32_t, CharacterIndex> m_answers;
    std::unique_ptr<CSpriteLayer> m_target;
    CCps m_map;
};

// A town map whose sheet load fails, by a missing picture or by an exception.
class SheetlessMap : public CCps
{
public:
    CSprite* LoadSprite(const CStringUTF8&, CSprite*, int32_t, int32_t, int32_t, RECT*, int32_t, int32_t,
                        int32_t) override
    {
        if (throws)
            throw CExecException("no picture");
        return nullptr;
    }
    bool throws = false;
};

std::vector<PresenceQuestion> Questions(const char* kind, uint32_t floor, std::vector<uint32_t> places,
                                        uint16_t time)
{
    std::vector<PresenceQuestion> out;
    for (uint32_t place : places)
        out.push_back({kind, floor, place, time});
    return out;
}

} // namespace

TEST_F(CCpsThreadTest, EachMapKindAsksItsPlacesWithItsClock)
{
    std::vector<uint32_t> town(31), second(13);
    for (uint32_t i = 0; i < 31; ++i)
        town[i] = i;
    for (uint32_t i = 0; i < 13; ++i)
        second[i] = i;
    struct Case
    {
        int32_t kind;
        std::vector<PresenceQuestion> asked;
    } cases[] = {
        {0, Questions("town", 0, town, 0)},
        {1, Questions("submap", 0, second, 0)},
        {2, Questions("school", 2, {0, 1}, 0)},
        {3, {}},
        {4, Questions("school", 4, {2, 3, 4, 5}, 0)},
        {5, Questions("school6", 0, {6}, 1010)},
        {6, {}},
        {200, {}},
    };
    ASSERT_EQ(m_map.LoadIconSheet(), 1u);
    for (const Case& c : cases) {
        m_target->GetLayer()->FillRect(0, 0, 2400, 1300, 0xFF123456, 1);
        Paint(c.kind);
        EXPECT_EQ(m_questions, c.asked) << "kind " << c.kind;
        EXPECT_EQ(Pixel(5, 1295), 0u) << "kind " << c.kind << " clears the whole layer first";
    }
}

TEST_F(CCpsThreadTest, TheMarkerIsAFrameAloneOnTheTownMapAndAFaceOnTheSubMaps)
{
    ASSERT_EQ(m_map.LoadIconSheet(), 1u);
    m_answers = {{13, 26}, {15, 7}};
    Paint(0);
    WriteCapturePng(*m_target->GetLayer(), "town_icons.png");
    // Place 13 (1949, 596): the marker's frame over the face's place, no badge.
    EXPECT_EQ(At(1949 + 92, 596 + 200), Cell(tools::ICON_FRAME + 5, 0));
    EXPECT_EQ(At(1949 + 20 + 120, 596 + 20 + 120), Cell(tools::ICON_FRAME + 5, 0));
    EXPECT_EQ(At(1949 + 152, 596 - 20), CLEAR);
    // Place 15 (1858, 1030): a plain frame, the face and the badge.
    EXPECT_EQ(At(1858 + 92, 1030 + 200), Cell(tools::ICON_FRAME + 0, 0));
    EXPECT_EQ(At(1858 + 20 + 120, 1030 + 20 + 120), Cell(tools::ICON_FACE + 7, 0));
    EXPECT_EQ(At(1858 + 152, 1030 - 20), Cell(tools::ICON_BADGE, 0));

    m_answers = {{7, 26}, {9, 2}};
    Paint(1);
    WriteCapturePng(*m_target->GetLayer(), "second_submap_icons.png");
    // Second sub map place 7 (333, 523): 26 is a face like any other, from the grid.
    EXPECT_EQ(At(333 + 20 + 120, 523 + 20 + 120), Cell(tools::ICON_FACE_GRID26, 0));
    EXPECT_EQ(At(333 + 152, 523 - 20), Cell(tools::ICON_BADGE, 0));
    // Place 9 (2497, 600) lies past the layer's right edge: clipped away, nothing else touched.
    EXPECT_EQ(At(2399, 700), CLEAR);
}

TEST_F(CCpsThreadTest, TownAndSchoolIconsCompositeTheirFacesDifferently)
{
    ASSERT_EQ(m_map.LoadIconSheet(), 1u);
    // Under the face's half transparent patch the frame has a hole: the town's face keeps the
    // hole's alpha, the school's face lays its own.
    m_answers = {{13, 3}};
    Paint(0);
    EXPECT_EQ(Pixel(1949 + 80, 596 + 80) >> 24, 0x00u);
    EXPECT_EQ(At(1949 + 40, 596 + 40), Cell(tools::ICON_FACE + 3, 0));
    m_answers = {{2, 3}};
    Paint(4);
    EXPECT_EQ(Pixel(1635 + 80, 231 + 80) >> 24, 0x80u);
    EXPECT_EQ(At(1635 + 40, 231 + 40), Cell(tools::ICON_FACE + 3, 0));
    EXPECT_EQ(At(1635 + 92, 231 + 200), Cell(tools::ICON_FRAME + 0, 0))
        << "the school's frame is always plain";
}

TEST_F(CCpsThreadTest, AMissingSheetStillAsksEveryQuestion)
{
    ReleaseSharedIconSheet();
    for (bool throws : {false, true}) {
        SheetlessMap map;
        map.throws = throws;
        std::vector<PresenceQuestion> asked;
        map.Icons.Clock = std::make_unique<RecordingPresence>(
            asked, [](const PresenceQuestion&) { return CharacterIndex{4}; });
        EXPECT_EQ(map.LoadIconSheet(), 0u) << "throws " << throws;
        EXPECT_EQ(map.Icons.Sheet, nullptr);
        m_target->GetLayer()->FillRect(0, 0, 2400, 1300, 0xFF123456, 1);
        State().Flags[SUBMAP_KIND_FLAG] = 0;
        map.DrawSubmapPresenceIcons(m_target.get());
        EXPECT_EQ(asked.size(), 31u);
        EXPECT_EQ(Pixel(1949 + 92, 596 + 200), 0u) << "cleared, nothing painted";
    }
}
