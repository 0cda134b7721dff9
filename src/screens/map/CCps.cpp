#include "screens/map/CCps.h"

#include <iterator>

#include "foundation/CExecException.h"
#include "foundation/GameDocument.h"
#include "game/presence/CPresence.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/ILayer.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/base/ScreenWork.h"
#include "screens/map/SubMapLayout.h"
#include "script/ScriptState.h"

namespace {

constexpr int32_t FACE_SIZE = 144;
constexpr int32_t FRAME_WIDTH = 184;
constexpr int32_t FRAME_HEIGHT = 256;
constexpr int32_t BADGE_WIDTH = 64;
constexpr int32_t BADGE_HEIGHT = 96;
constexpr int32_t BADGE_SHEET_X = 784;
constexpr int32_t BADGE_SHEET_Y = 540;
constexpr int32_t MARKER_CHARACTER = 26;
constexpr uint32_t SCHOOL_PLACE_6_MINUTES = 10;

struct FrameCell
{
    int32_t X, Y;
};
constexpr FrameCell PLAIN{720, 0};
constexpr FrameCell SECOND{904, 0};
constexpr FrameCell THIRD{1088, 0};
constexpr FrameCell FOURTH{904, 256};
constexpr FrameCell FIFTH{1088, 256};
constexpr FrameCell MARKER_FRAME{904, 512};

struct IconPlace
{
    int32_t X, Y;
    FrameCell Frame;
};

constexpr IconPlace TOWN_PLACES[] = {
    {3855, 40, PLAIN},   {3572, 670, PLAIN},  {4730, 40, PLAIN},   {4730, 364, PLAIN},  {4706, 1159, PLAIN},
    {4268, 1486, PLAIN}, {3824, 1873, PLAIN}, {3140, 1709, PLAIN}, {3229, 2189, PLAIN}, {2735, 40, SECOND},
    {2584, 779, PLAIN},  {2717, 1703, PLAIN}, {2228, 79, PLAIN},   {1949, 596, PLAIN},  {2029, 2102, PLAIN},
    {1858, 1030, PLAIN}, {659, 2060, PLAIN},  {410, 40, PLAIN},    {502, 438, PLAIN},   {4270, 1857, PLAIN},
    {65, 2512, PLAIN},   {3869, 632, SECOND}, {3778, 753, PLAIN},  {3948, 753, THIRD},  {2794, 1678, SECOND},
    {582, 588, PLAIN},   {205, 318, SECOND},  {125, 493, THIRD},   {692, 337, FOURTH},  {2591, 103, PLAIN},
    {285, 493, FIFTH},
};

constexpr IconPlace SECOND_SUBMAP_PLACES[] = {
    {2551, 1157, PLAIN}, {4246, 332, PLAIN},  {2349, 789, PLAIN},   {1726, 957, PLAIN}, {1768, 1620, PLAIN},
    {2049, 1792, PLAIN}, {1958, 1129, PLAIN}, {333, 523, PLAIN},    {0, 722, PLAIN},    {2497, 600, SECOND},
    {2199, 600, THIRD},  {1726, 687, SECOND}, {1817, 1823, SECOND},
};

constexpr FrameCell SCHOOL_PLACES[] = {{4436, 227}, {3415, 227}, {1635, 231},
                                       {2827, 231}, {3186, 231}, {4223, 231}};
constexpr FrameCell SCHOOL_PLACE_6{2389, 25};

// The face cell of a character; 26 falls on the grid like any other here.
FrameCell FaceCell(int32_t who)
{
    return {who % 5 * FACE_SIZE, who / 5 * FACE_SIZE};
}

void PaintTownIcon(ILayer* target, ILayer* sheet, const IconPlace& place, int32_t who)
{
    if (target == nullptr || sheet == nullptr)
        return;
    const FrameCell face = FaceCell(who);
    target->BltOver(place.X, place.Y, FRAME_WIDTH, FRAME_HEIGHT, sheet, place.Frame.X, place.Frame.Y);
    target->BltAlpha(place.X + 20, place.Y + 20, FACE_SIZE, FACE_SIZE, sheet, face.X, face.Y);
    target->BltOver(place.X + 120, place.Y - 40, BADGE_WIDTH, BADGE_HEIGHT, sheet, BADGE_SHEET_X,
                    BADGE_SHEET_Y);
}

void PaintSchoolIcon(ILayer* target, ILayer* sheet, FrameCell at, int32_t who)
{
    if (target == nullptr || sheet == nullptr)
        return;
    const FrameCell face = FaceCell(who);
    target->Blt(at.X, at.Y, FRAME_WIDTH, FRAME_HEIGHT, sheet, PLAIN.X, PLAIN.Y, 1);
    target->BltOver(at.X + 20, at.Y + 20, FACE_SIZE, FACE_SIZE, sheet, face.X, face.Y);
    target->BltOver(at.X + 120, at.Y - 40, BADGE_WIDTH, BADGE_HEIGHT, sheet, BADGE_SHEET_X, BADGE_SHEET_Y);
}

void MarkDrawn(CSprite* sprite)
{
    if (sprite != nullptr)
        sprite->Invalidate(1, *sprite->GetRect());
}

} // namespace

PresenceIconBoard::PresenceIconBoard()
    : Clock(std::make_unique<CPresence>())
{}

PresenceIconBoard::~PresenceIconBoard() = default;

uint32_t CCps::LoadIconSheet()
{
    try {
        std::shared_ptr<CSprite> sheet = LoadSheet("icon_p.akb");
        if (!sheet)
            return 0;
        Icons.Sheet = std::move(sheet);
        return 1;
    } catch (const CExecException&) {
        return 0;
    }
}

void CCps::DrawPresenceIcons(CSprite* target)
{
    m_view.Forget();
    ILayer* layer = SpriteLayerOf(target);
    ILayer* sheet = SpriteLayerOf(Icons.Sheet.get());
    for (uint32_t place = 0; place < std::size(TOWN_PLACES); ++place) {
        const int32_t who = Icons.Clock->WhoIsAtTownPlace(place);
        if (who == -1 || layer == nullptr || sheet == nullptr)
            continue;
        const IconPlace& at = TOWN_PLACES[place];
        if (who == MARKER_CHARACTER)
            layer->BltOver(at.X, at.Y, FRAME_WIDTH, FRAME_HEIGHT, sheet, MARKER_FRAME.X, MARKER_FRAME.Y);
        else
            PaintTownIcon(layer, sheet, at, who);
    }
    MarkDrawn(target);
}

void CCps::DrawSubmapPresenceIcons(CSprite* target)
{
    m_view.Forget();
    ILayer* layer = SpriteLayerOf(target);
    ILayer* sheet = SpriteLayerOf(Icons.Sheet.get());
    if (layer != nullptr)
        layer->FillRect(0, 0, layer->GetWidth(), layer->GetHeight(), 0, 1);
    CPresence& clock = *Icons.Clock;
    switch (GetFlag(SUBMAP_KIND_FLAG)) {
    case 0:
        DrawPresenceIcons(target);
        break;
    case 1:
        for (uint32_t place = 0; place < std::size(SECOND_SUBMAP_PLACES); ++place) {
            const int32_t who = clock.WhoIsAtSubmapPlace(place);
            if (who != -1)
                PaintTownIcon(layer, sheet, SECOND_SUBMAP_PLACES[place], who);
        }
        break;
    case 2:
    case 4: {
        const uint32_t floor = GetFlag(SUBMAP_KIND_FLAG);
        const uint32_t first = floor == 2 ? 0 : 2;
        const uint32_t last = floor == 2 ? 1 : 5;
        for (uint32_t place = first; place <= last; ++place) {
            const int32_t who = clock.WhoIsAtSchoolPlace(floor, place);
            if (who != -1)
                PaintSchoolIcon(layer, sheet, SCHOOL_PLACES[place], who);
        }
        break;
    }
    case 5: {
        clock.Fill(GetScriptState().m_current_state.get());
        clock.AdvanceClock(SCHOOL_PLACE_6_MINUTES);
        const int32_t who = clock.WhoIsAtSchoolPlace6();
        if (who != -1)
            PaintSchoolIcon(layer, sheet, SCHOOL_PLACE_6, who);
        break;
    }
    default:
        break;
    }
    MarkDrawn(target);
}
