// Drawing the town map: the view in picture or tile mode, the movers and single cells. Every copy
// relies on the layers' own clipping; a missing picture leaves out only the copies that read it.

#include <algorithm>
#include <vector>

#include "foundation/CExecException.h"
#include "foundation/CStringUTF8.h"
#include "foundation/ConfigSettings.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/base/ISelect.h"
#include "screens/map/CCps.h"

namespace {

constexpr int32_t SCREEN_WIDTH = 1920;
constexpr int32_t SCREEN_HEIGHT = 1080;
constexpr int32_t COMPOSITE_HEIGHT = 1104;
constexpr int32_t FIGURE_SIZE = 120;
constexpr int32_t TILES_PER_ROW = 40;
constexpr uint16_t TILE_MASK = 1023;
constexpr uint32_t OVERLAY_KEY = 0xFF00;
constexpr uint32_t PRESENCE_FLAG = 8004;
constexpr uint8_t STATE_DRAWN = 0x01;

SIZE g_map_picture_size{8400, 5040};

std::unique_ptr<CSpriteLayer> MakeLayer(int32_t width, int32_t height)
{
    std::unique_ptr<CSprite> sprite;
    try {
        sprite = CreateSpriteOfType(0, 0, width, height, -1, LAYER_KIND_MEMORY);
    } catch (const CStringUTF8&) {
        return nullptr; // no memory for its pixels: the map cannot be made
    }
    auto* layer = dynamic_cast<CSpriteLayer*>(sprite.get());
    if (layer == nullptr || layer->GetBits() == nullptr)
        return nullptr;
    sprite.release();
    return std::unique_ptr<CSpriteLayer>(layer);
}

ILayer* LayerOf(const std::unique_ptr<CSpriteLayer>& sprite)
{
    return sprite ? sprite->GetLayer() : nullptr;
}

} // namespace

CCps::CCps() = default;
CCps::~CCps() = default;

void CCps::SetMapPictureSize(int32_t width, int32_t height)
{
    g_map_picture_size = SIZE{width, height};
}

SIZE CCps::GetMapPictureSize()
{
    return g_map_picture_size;
}

bool CCps::CreateMapLayers()
{
    m_view.Forget();
    MapPictureLoads.clear();
    OverlayPictureLoads.clear();
    MapPicturesReleased = false;
    Composite = MakeLayer(SCREEN_WIDTH, COMPOSITE_HEIGHT);
    MapPicture = MakeLayer(g_map_picture_size.cx, g_map_picture_size.cy);
    OverlayPicture = MakeLayer(g_map_picture_size.cx, g_map_picture_size.cy);
    return Composite && MapPicture && OverlayPicture;
}

void CCps::ReleaseMapLayers()
{
    m_view.Release();
    MapPictureLoads.clear();
    OverlayPictureLoads.clear();
    MapPicturesReleased = false;
    Composite.reset();
    MapPicture.reset();
    OverlayPicture.reset();
}

std::vector<uint32_t> CCps::MoverDrawOrder()
{
    std::vector<uint32_t> drawn;
    for (uint32_t i = 0; i < MoverCount; ++i)
        if (const MapMover mover = MoverAt(i); mover.Bytes() != nullptr && (mover.State() & STATE_DRAWN))
            drawn.push_back(i);
    std::stable_sort(drawn.begin(), drawn.end(),
                     [&](uint32_t a, uint32_t b) { return MoverAt(a).Y() < MoverAt(b).Y(); });
    return drawn;
}

std::vector<MapFigure> CCps::MoverFigures(const std::vector<uint32_t>& order, int32_t top, int32_t bottom)
{
    std::vector<MapFigure> figures;
    for (uint32_t i : order) {
        const MapMover mover = MoverAt(i);
        ILayer* picture = SpriteLayerOf(PictureSlot[i == 0 ? 0 : 1].get());
        if (picture == nullptr)
            continue;
        const int32_t direction = mover.Facing() >> 4;
        const int32_t frame = mover.Facing() & 15;
        const int32_t base = direction == 0 || direction == 3 ? 720 : 0;
        int32_t source_x = base + frame % 6 * FIGURE_SIZE;
        int32_t source_y = direction / 2 * FIGURE_SIZE;
        int32_t x = (mover.X() - Camera.CamX) * MAP_CELL_PIXELS - 20;
        int32_t y = (mover.Y() - Camera.CamY - 1) * MAP_CELL_PIXELS;
        const int32_t right = std::min(x + FIGURE_SIZE, SCREEN_WIDTH);
        const int32_t last = std::min({y + FIGURE_SIZE, COMPOSITE_HEIGHT, bottom});
        // Clipped at the left edge or above the rows, the source starts as far in.
        if (x < 0)
            source_x -= x, x = 0;
        if (y < top)
            source_y += top - y, y = top;
        if (right <= x || last <= y)
            continue;
        figures.push_back(MapFigure{picture, RECT{x, y, right, last}, source_x, source_y, i});
    }
    return figures;
}

void CCps::DrawMoverRows(ILayer* layer, const std::vector<uint32_t>& order, int32_t top, int32_t bottom)
{
    for (const MapFigure& figure : MoverFigures(order, top, bottom))
        layer->BltAlpha(figure.Area.left, figure.Area.top, figure.Area.right - figure.Area.left,
                        figure.Area.bottom - figure.Area.top, figure.Picture, figure.SourceX, figure.SourceY);
}

void CCps::DrawMovers(CSprite* target)
{
    if (ILayer* layer = SpriteLayerOf(target))
        DrawMoverRows(layer, MoverDrawOrder(), 0, COMPOSITE_HEIGHT);
}

void CCps::DrawCell(const ViewCell& cell, int32_t x, int32_t y, CSprite* target)
{
    ILayer* layer = SpriteLayerOf(target);
    if (layer == nullptr)
        return;
    RestoreMapPictures();
    const int32_t map_x = x + Camera.CamX * MAP_CELL_PIXELS;
    const int32_t map_y = y + Camera.CamY * MAP_CELL_PIXELS;
    if (ILayer* map = LayerOf(MapPicture))
        layer->Blt(x, y, MAP_CELL_PIXELS, MAP_CELL_PIXELS, map, map_x, map_y, 1);
    ILayer* tiles = SpriteLayerOf(PictureSlot[0].get());
    const uint16_t a = cell.MoverA & TILE_MASK;
    const uint16_t b = cell.MoverB & TILE_MASK;
    if (tiles != nullptr && a != TILE_MASK) {
        const auto draw = [&](uint16_t tile) {
            layer->BltAlpha(x, y, MAP_CELL_PIXELS, MAP_CELL_PIXELS, tiles,
                            tile % TILES_PER_ROW * MAP_CELL_PIXELS, tile / TILES_PER_ROW * MAP_CELL_PIXELS);
        };
        const MapMover first = MoverAt(0);
        const bool behind = first.Bytes() == nullptr || (first.Facing() & 15) < 12;
        if (b != TILE_MASK && behind)
            draw(b);
        draw(a);
        if (b != TILE_MASK && !behind)
            draw(b);
    }
    if (ILayer* overlay = LayerOf(OverlayPicture))
        layer->BltAlpha(x, y, MAP_CELL_PIXELS, MAP_CELL_PIXELS, overlay, map_x, map_y);
}

void CCps::DrawMap(CSprite* target)
{
    RestoreMapPictures();
    {
        LiveDrawLock lock;
        ILayer* composite = LayerOf(Composite);
        const int32_t map_x = Camera.CamX * MAP_CELL_PIXELS;
        const int32_t map_y = Camera.CamY * MAP_CELL_PIXELS;
        ILayer* layer = SpriteLayerOf(target);
        if (DrawMode == 0) {
            ILayer* map = LayerOf(MapPicture);
            ILayer* overlay = LayerOf(OverlayPicture);
            ILayer* presence = SpriteLayerOf(PresenceOverlay.get());
            if (presence != nullptr && (GetConfigGameMode() != 1 || GetFlag(PRESENCE_FLAG) != 1))
                presence = nullptr;
            // When the map picture covers the whole window, every shown pixel is made afresh from
            // the pictures: the view kept from the last such frame is brought up to date where
            // movers or the camera changed it and copied out.
            const bool direct = composite != nullptr && layer != nullptr && map != nullptr && layer != map &&
                                layer != overlay && layer != presence && map_x >= 0 && map_y >= 0 &&
                                map_x + SCREEN_WIDTH <= map->GetWidth() &&
                                map_y + SCREEN_HEIGHT <= map->GetHeight();
            if (direct) {
                m_view.Draw(layer, MapViewSources{map, overlay, presence, map_x, map_y},
                            MoverFigures(MoverDrawOrder(), 0, SCREEN_HEIGHT));
            } else if (composite != nullptr) {
                if (map != nullptr)
                    composite->Blt(0, 0, SCREEN_WIDTH, COMPOSITE_HEIGHT, map, map_x, map_y, 1);
                DrawMoverRows(composite, MoverDrawOrder(), 0, COMPOSITE_HEIGHT);
                if (overlay != nullptr)
                    composite->BltColorKeyAlpha(0, 0, SCREEN_WIDTH, COMPOSITE_HEIGHT, overlay, map_x, map_y,
                                                OVERLAY_KEY);
                if (presence != nullptr)
                    composite->BltAlpha(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, presence, map_x, map_y);
                if (layer != nullptr)
                    layer->Blt(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, composite, 0, 0, 1);
            }
        } else {
            for (int32_t r = 0; r < std::min(Camera.ViewHeight, MAP_VIEW_ROWS); ++r)
                for (int32_t c = 0; c < std::min(Camera.ViewWidth, MAP_VIEW_COLUMNS); ++c) {
                    const size_t index = ViewIndex(c, r);
                    DrawCell(ViewCells[index], (Camera.ViewLeft + c) * MAP_CELL_PIXELS,
                             (Camera.ViewTop + r) * MAP_CELL_PIXELS, Composite.get());
                    DrawnCells[index] = ViewCells[index];
                }
            if (layer != nullptr && composite != nullptr)
                layer->Blt(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, composite, 0, 0, 1);
        }
        if (target != nullptr)
            target->Invalidate(1, *target->GetRect());
    }
    RedrawFrameNow();
}

void CCps::RedrawMap()
{
    if (CSpriteLayer* layer = FindSpriteLayer(0))
        DrawMap(layer);
}
