#include <cstring>

#include <gtest/gtest.h>

#include "foundation/ConfigSettings.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/map/TownMapFixture.h"

namespace {

constexpr uint32_t MAP_COLOUR = 0xFF102030;
constexpr uint32_t OVERLAY_COLOUR = 0xFF405060;
constexpr uint32_t KEY_COLOUR = 0xFF00FF00;
constexpr uint32_t PRESENCE_COLOUR = 0xFF7080A0;

std::unique_ptr<CSpriteLayer> Layer(int32_t width, int32_t height, uint32_t colour)
{
    std::unique_ptr<CSpriteLayer> layer = CreateSpriteOfType(0, 0, width, height, -1, LAYER_KIND_MEMORY);
    layer->GetLayer()->FillRect(0, 0, width, height, colour, 1);
    return layer;
}

// A figure sheet whose every pixel tells where it lies: x in green and blue, y in red.
std::unique_ptr<CSpriteLayer> FigureSheet(uint32_t tag)
{
    auto sheet = Layer(1440, 240, 0);
    for (int y = 0; y < 240; ++y) {
        uint8_t* row = sheet->GetLayer()->GetPixelPtr(0, y);
        for (int x = 0; x < 1440; ++x) {
            const uint32_t pixel =
                0xFF000000u | static_cast<uint32_t>(y) << 16 | static_cast<uint32_t>(x) | tag;
            std::memcpy(row + 4 * x, &pixel, 4);
        }
    }
    return sheet;
}

class CCpsDrawThreadTest : public TownMapFixture
{
protected:
    CCpsDrawThreadTest()
        : m_saved_size(CCps::GetMapPictureSize())
    {
        CCps::SetMapPictureSize(2400, 1400);
        EXPECT_TRUE(m_map.CreateMapLayers());
        m_map.MapPicture->GetLayer()->FillRect(0, 0, 2400, 1400, MAP_COLOUR, 1);
        m_map.OverlayPicture->GetLayer()->FillRect(0, 0, 2400, 1400, KEY_COLOUR, 1);
        m_target = Layer(1920, 1080, 0);
    }
    ~CCpsDrawThreadTest() override { CCps::SetMapPictureSize(m_saved_size.cx, m_saved_size.cy); }
    SIZE m_saved_size;

    void Movers(std::vector<tools::MoverRecord> movers)
    {
        tools::MoverBlockSpec spec;
        spec.movers = std::move(movers);
        spec.programs = {{{9, 0}}};
        Load(Free(60, 35), spec);
    }
    // The colour only: drawing into a cleared target keeps its alpha.
    uint32_t At(ILayer* layer, int x, int y) { return EffectPixel(*layer, x, y) | 0xFF000000u; }

    // Pictures whose every pixel differs, alphas of every kind, the key in a third of the overlay.
    void FillDistinctPictures()
    {
        const auto fill = [](ILayer* layer, uint32_t (*pixel)(uint32_t x, uint32_t y)) {
            for (int y = 0; y < layer->GetHeight(); ++y) {
                uint8_t* row = layer->GetPixelPtr(0, y);
                for (int x = 0; x < layer->GetWidth(); ++x) {
                    const uint32_t value = pixel(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
                    std::memcpy(row + 4 * x, &value, 4);
                }
            }
        };
        fill(m_map.MapPicture->GetLayer(),
             [](uint32_t x, uint32_t y) { return (x * 2654435761u) ^ (y * 40503u); });
        fill(m_map.OverlayPicture->GetLayer(), [](uint32_t x, uint32_t y) {
            const uint32_t value = (x * 97u + y * 13u) * 2246822519u;
            return (x + y) % 3 == 0 ? (value & 0xFF000000u) | 0xFF00u : value;
        });
        auto presence = Layer(2400, 1400, 0);
        fill(presence->GetLayer(),
             [](uint32_t x, uint32_t y) { return (x / 7 + y / 5) % 4 == 0 ? 0u : (x ^ y) * 3266489917u; });
        m_map.PresenceOverlay = std::move(presence);
        m_map.PictureSlot[0] = FigureSheet(0);
        m_map.PictureSlot[1] = FigureSheet(0x80);
    }

    // The view composed step by step from nothing: map, movers, the overlay by its rule, the
    // presence faces.
    std::unique_ptr<CSpriteLayer> Reference()
    {
        auto frame = Layer(1920, 1104, 0);
        ILayer* layer = frame->GetLayer();
        const int32_t map_x = m_map.Camera.CamX * 40;
        const int32_t map_y = m_map.Camera.CamY * 40;
        layer->Blt(0, 0, 1920, 1104, m_map.MapPicture->GetLayer(), map_x, map_y, 1);
        m_map.DrawMovers(frame.get());
        ILayer* overlay = m_map.OverlayPicture->GetLayer();
        for (int y = 0; y < 1104 && map_y + y < 1400; ++y) {
            // A row's pixels lie side by side; taking each through the layer takes its lock each time.
            const uint8_t* overlay_row = overlay->GetPixelPtr(map_x, map_y + y);
            uint8_t* row = layer->GetPixelPtr(0, y);
            for (int x = 0; x < 1920 && map_x + x < 2400; ++x) {
                uint32_t s = 0;
                uint32_t d = 0;
                std::memcpy(&s, overlay_row + 4 * x, 4);
                std::memcpy(&d, row + 4 * x, 4);
                const uint32_t a = s >> 24;
                if ((s & 0xFFFFFFu) == 0xFF00u || a == 0)
                    continue;
                uint32_t out = 0;
                if (a != 255) {
                    out = d & 0xFF000000u;
                    for (int shift = 0; shift < 24; shift += 8)
                        out |= (a * (s >> shift & 0xFF) / 255 + (255 - a) * (d >> shift & 0xFF) / 255)
                               << shift;
                } else {
                    out = (d & 0xFF000000u) | (s & 0xFFFFFFu);
                }
                std::memcpy(row + 4 * x, &out, 4);
            }
        }
        if (State().Flags[8004] == 1)
            layer->BltAlpha(0, 0, 1920, 1080, SpriteLayerOf(m_map.PresenceOverlay.get()), map_x, map_y);
        return frame;
    }

    // The target's rows that differ from the reference's.
    int DifferingRows(const std::unique_ptr<CSpriteLayer>& expected)
    {
        int differences = 0;
        for (int y = 0; y < 1080; ++y)
            differences += std::memcmp(m_target->GetLayer()->GetPixelPtr(0, y),
                                       expected->GetLayer()->GetPixelPtr(0, y), 1920 * 4) != 0;
        return differences;
    }

    std::unique_ptr<CSpriteLayer> m_target;
};

} // namespace

TEST_F(CCpsDrawThreadTest, MoversDrawBySourceCellInYOrderAndClipTheirSource)
{
    m_map.PictureSlot[0] = FigureSheet(0);
    m_map.PictureSlot[1] = FigureSheet(0);
    // Mover 0 faces right with frame 8 at (10, 10); mover 1 faces down at (0, 0), clipped at the
    // left and top; movers 2 and 3 share a place and a Y.
    Movers({{0x01, 0, 1, 2, 10, 10, 0x38, 0},
            {0x01, 0, 1, 2, 0, 0, 0x10, 0},
            {0x01, 0, 1, 2, 20, 10, 0x20, 0},
            {0x01, 0, 1, 2, 20, 10, 0x00, 0}});
    ILayer* target = m_target->GetLayer();
    m_map.DrawMovers(m_target.get());
    // Mover 0 at (380, 360): right is row 120, column 720 + (8 mod 6) x 120.
    EXPECT_EQ(At(target, 380 + 5, 360 + 7), 0xFF000000u | (120 + 7) << 16 | (720 + 240 + 5));
    // Mover 1 at (-20, -40): the source starts 20 right and 40 down.
    EXPECT_EQ(At(target, 0, 0), 0xFF000000u | 40u << 16 | 20u);
    // Equal Y: mover 3 (up: row 0, column 720) drawn after mover 2 (left: row 120, column 0).
    EXPECT_EQ(At(target, 780 + 1, 360 + 1), 0xFF000000u | 1u << 16 | 721u);

    // A lower Y is drawn first, whatever the mover order.
    m_target->GetLayer()->FillRect(0, 0, 1920, 1080, 0, 1);
    Movers({{0x01, 0, 1, 2, 10, 11, 0x00, 0}, {0x01, 0, 1, 2, 10, 10, 0x10, 0}});
    m_map.DrawMovers(m_target.get());
    EXPECT_EQ(At(target, 380 + 1, 400 + 1), 0xFF000000u | 1u << 16 | 721u) << "mover 0, lower, on top";
}

TEST_F(CCpsDrawThreadTest, TileModeDrawsTileBBeforeOrAfterTileAByTheFrame)
{
    auto tiles = Layer(1600, 80, 0);
    tiles->GetLayer()->FillRect(40, 0, 40, 40, 0xFF0000AA, 1); // tile 1
    tiles->GetLayer()->FillRect(80, 0, 40, 40, 0xFF0000BB, 1); // tile 2
    m_map.PictureSlot[0] = std::move(tiles);
    m_map.OverlayPicture->GetLayer()->FillRect(0, 0, 2400, 1400, 0, 1);
    Movers({{0x01, 0, 1, 2, 10, 10, 0x03, 0}});
    m_map.DrawMode = 1;
    m_map.BuildViewCells();
    m_map.ViewCells[ViewIndex(2, 3)].MoverA = (1 << 10) | 1;
    m_map.ViewCells[ViewIndex(2, 3)].MoverB = (2 << 10) | 2;
    m_map.ViewCells[ViewIndex(4, 3)].MoverB = 2; // no tile A: no tile at all
    m_map.DrawMap(m_target.get());
    ILayer* target = m_target->GetLayer();
    EXPECT_EQ(At(target, 80 + 5, 120 + 5), 0xFF0000AAu) << "frame below 12: B behind A";
    EXPECT_EQ(At(target, 160 + 5, 120 + 5), MAP_COLOUR);
    EXPECT_EQ(m_map.DrawnCells[ViewIndex(2, 3)], m_map.ViewCells[ViewIndex(2, 3)]);
    WriteCapturePng(*target, "townmap_tile_mode.png");
    Mover(0).SetFacing(0x0C);
    m_map.DrawMap(m_target.get());
    EXPECT_EQ(At(target, 80 + 5, 120 + 5), 0xFF0000BBu) << "frame 12: B in front";
}

TEST_F(CCpsDrawThreadTest, PictureModeStacksMapMoversOverlayAndPresence)
{
    auto figure = Layer(1440, 240, 0xFF0000CC);
    m_map.PictureSlot[0] = std::move(figure);
    Movers({{0x01, 0, 1, 2, 10, 10, 0x10, 0}});
    m_map.OverlayPicture->GetLayer()->FillRect(420, 360, 20, 20, OVERLAY_COLOUR, 1);
    auto presence_layer = Layer(2400, 1400, 0);
    presence_layer->GetLayer()->FillRect(470, 360, 20, 20, PRESENCE_COLOUR, 1);
    m_map.PresenceOverlay = std::move(presence_layer);
    ILayer* target = m_target->GetLayer();
    for (int presence : {0, 1}) {
        SetConfigGameMode(1);
        State().Flags[8004] = static_cast<uint8_t>(presence);
        m_map.DrawMap(m_target.get());
        EXPECT_EQ(At(target, 10, 10), MAP_COLOUR);
        EXPECT_EQ(At(target, 385, 365), 0xFF0000CCu) << "the mover over the map";
        EXPECT_EQ(At(target, 425, 365), OVERLAY_COLOUR) << "the overlay over the mover";
        EXPECT_EQ(At(target, 475, 365), presence ? PRESENCE_COLOUR : 0xFF0000CCu) << presence;
    }
    WriteCapturePng(*target, "townmap_picture_mode.png");
    // The camera moves the map pictures, not the screen.
    m_map.Camera.CamX = 2;
    m_map.DrawMap(m_target.get());
    EXPECT_EQ(At(target, 305, 365), 0xFF0000CCu);
    EXPECT_EQ(At(target, 345, 365), OVERLAY_COLOUR);
    // Without a sprite layer 0 in the registry the redraw draws nothing.
    m_map.RedrawMap();
}

TEST_F(CCpsDrawThreadTest, PictureModeGivesTheComposedFrameWhereverTheCameraStands)
{
    FillDistinctPictures();
    Movers(
        {{0x01, 0, 1, 2, 10, 10, 0x10, 0}, {0x01, 0, 1, 2, 11, 10, 0x23, 0}, {0x01, 0, 1, 2, 0, 0, 0x31, 0}});
    SetConfigGameMode(1);
    State().Flags[8004] = 1;
    // Inside the picture, at its corner and past its right and lower edges.
    for (auto [cam_x, cam_y] : {std::pair{3, 2}, {0, 0}, {12, 8}, {20, 12}}) {
        m_map.Camera.CamX = cam_x;
        m_map.Camera.CamY = cam_y;
        m_target->GetLayer()->FillRect(0, 0, 1920, 1080, 0, 1);
        auto expected = Reference();
        m_map.DrawMap(m_target.get());
        EXPECT_EQ(DifferingRows(expected), 0) << "rows differ with the camera at " << cam_x << ", " << cam_y;
    }
}

// Each frame composes only what changed since the last one; every frame must still be the whole
// composition, or a cell left from an earlier frame shows.
TEST_F(CCpsDrawThreadTest, PictureModeFramesStayWholeCompositionsWhileMoversAndCameraMove)
{
    FillDistinctPictures();
    tools::MoverBlockSpec spec;
    // Three walkers on squares (two side by side, overlapping), one standing by the left edge.
    spec.movers = {{0x01, 0, 1, 2, 20, 12, 0x30, 0},
                   {0x01, 0, 1, 2, 21, 12, 0x10, 0},
                   {0x01, 0, 1, 2, 30, 16, 0x20, 0},
                   {0x01, 0, 1, 2, 4, 6, 0x00, 1}};
    spec.programs = {{{5, 3}, {3, 2}, {4, 3}, {2, 2}}, {{9, 0}}};
    Load(Free(60, 35), spec);
    SetConfigGameMode(1);
    State().Flags[8004] = 1;
    m_map.Camera.CamX = 4;
    m_map.Camera.CamY = 3;
    // Camera steps between frames, one far enough that the view leaves the map picture.
    const std::pair<int, int> camera[] = {{0, 0}, {1, 0}, {0, 0},  {0, 1},   {-1, -1},  {0, 0},
                                          {2, 0}, {0, 0}, {0, -2}, {16, 9},  {-16, -9}, {-3, 0},
                                          {0, 3}, {1, 1}, {0, 0},  {-2, -1}, {0, 0},    {1, 0}};
    for (size_t frame = 0; frame < std::size(camera); ++frame) {
        m_map.StepMovers();
        m_map.Camera.CamX += camera[frame].first;
        m_map.Camera.CamY += camera[frame].second;
        if (frame == 5)
            Mover(3).SetFacing(0x25); // turns where it stands
        if (frame == 8)
            Mover(2).SetState(0x02); // walks on unseen
        if (frame == 12)
            State().Flags[8004] = 0;
        if (frame == 15)
            Mover(2).SetState(0x01);
        m_map.DrawMap(m_target.get());
        EXPECT_EQ(DifferingRows(Reference()), 0) << "frame " << frame;
    }
}
