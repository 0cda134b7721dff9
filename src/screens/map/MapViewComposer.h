#pragma once
// The town map's picture-mode view at full window size: the map, the figures, the keyed overlay
// and the presence faces, kept from frame to frame so that a frame composes only the rectangles
// that figures or the camera changed. Every step of the composition works pixel by pixel, so a
// rectangle composed anew gives the pixels a whole composition would. The kept view is stored by
// map position, wrapping around its edges, so a camera step moves no pixel of it: only the strip
// that comes into view is composed.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/kernel/WinTypes.h"

class CSpriteLayer;
class ILayer;

// One figure as drawn: its rectangle on the view (already clipped as the map clips it) and where
// that rectangle starts in its picture. `Mover` tells the frames apart which figure is which.
struct MapFigure
{
    ILayer* Picture = nullptr;
    RECT Area{};
    int32_t SourceX = 0;
    int32_t SourceY = 0;
    uint32_t Mover = 0;

    bool operator==(const MapFigure& other) const;
};

// What the view shows apart from the figures: the window's corner on the map pictures. The map
// picture covers the whole window; overlay and presence may be missing.
struct MapViewSources
{
    ILayer* Map = nullptr;
    ILayer* Overlay = nullptr;
    ILayer* Presence = nullptr;
    int32_t MapX = 0;
    int32_t MapY = 0;
};

class MapViewComposer
{
public:
    static constexpr int32_t WIDTH = 1920;
    static constexpr int32_t HEIGHT = 1080;
    static constexpr uint32_t OVERLAY_KEY = 0xFF00;

    MapViewComposer();
    ~MapViewComposer();

    // The view into target's top left 1920 x 1080 pixels, figures drawn in their order.
    void Draw(ILayer* target, const MapViewSources& sources, const std::vector<MapFigure>& figures);
    // The next Draw composes the whole view: a picture it reads may have changed.
    void Forget() { m_valid = false; }
    void Release();
    // Whether a view is kept (its 1920 x 1080 layer held).
    bool HoldsView() const { return m_frame != nullptr; }
    // The composition of one rectangle of the view, from nothing, into the canvas with the
    // rectangle's corner at (canvas_x, canvas_y).
    static void ComposeRect(ILayer* canvas, const MapViewSources& sources,
                            const std::vector<MapFigure>& figures, const RECT& rect, int32_t canvas_x,
                            int32_t canvas_y);

private:
    // The rectangle of the view cut where the kept view wraps: fn(piece, canvas_x, canvas_y).
    template <typename Fn>
    void ForEachPiece(const RECT& rect, Fn&& fn) const;

    std::unique_ptr<CSpriteLayer> m_frame;
    bool m_valid = false;
    MapViewSources m_sources;
    std::vector<MapFigure> m_figures;
};
