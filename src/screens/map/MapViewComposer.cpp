#include "screens/map/MapViewComposer.h"

#include <algorithm>
#include <cstdlib>

#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "screens/base/ISelect.h"

namespace {

constexpr RECT WHOLE_VIEW{0, 0, MapViewComposer::WIDTH, MapViewComposer::HEIGHT};

RECT Intersect(const RECT& a, const RECT& b)
{
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const RECT& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

int64_t Area(const RECT& r)
{
    return IsEmpty(r) ? 0 : static_cast<int64_t>(r.right - r.left) * (r.bottom - r.top);
}

RECT Moved(const RECT& r, int32_t dx, int32_t dy)
{
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// A figure's old and new rectangles as one when that composes fewer pixels, as a step of one cell
// mostly does.
void AddChange(std::vector<RECT>& dirty, const RECT& before, const RECT& after)
{
    const RECT a = Intersect(before, WHOLE_VIEW);
    const RECT b = Intersect(after, WHOLE_VIEW);
    if (IsEmpty(a) || IsEmpty(b)) {
        if (!IsEmpty(a))
            dirty.push_back(a);
        if (!IsEmpty(b))
            dirty.push_back(b);
        return;
    }
    const RECT both{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                    std::max(a.bottom, b.bottom)};
    if (Area(both) <= Area(a) + Area(b)) {
        dirty.push_back(both);
    } else {
        dirty.push_back(a);
        dirty.push_back(b);
    }
}

const MapFigure* FigureOf(const std::vector<MapFigure>& figures, uint32_t mover)
{
    for (const MapFigure& figure : figures)
        if (figure.Mover == mover)
            return &figure;
    return nullptr;
}

} // namespace

bool MapFigure::operator==(const MapFigure& other) const
{
    return Picture == other.Picture && Area.left == other.Area.left && Area.top == other.Area.top &&
           Area.right == other.Area.right && Area.bottom == other.Area.bottom && SourceX == other.SourceX &&
           SourceY == other.SourceY && Mover == other.Mover;
}

MapViewComposer::MapViewComposer() = default;
MapViewComposer::~MapViewComposer() = default;

void MapViewComposer::Release()
{
    m_frame.reset();
    m_valid = false;
    m_figures.clear();
}

void MapViewComposer::ComposeRect(ILayer* canvas, const MapViewSources& sources,
                                  const std::vector<MapFigure>& figures, const RECT& rect, int32_t canvas_x,
                                  int32_t canvas_y)
{
    const RECT r = Intersect(rect, WHOLE_VIEW);
    if (IsEmpty(r))
        return;
    canvas_x += r.left - rect.left;
    canvas_y += r.top - rect.top;
    const int32_t w = r.right - r.left;
    const int32_t h = r.bottom - r.top;
    const int32_t map_x = sources.MapX + r.left;
    const int32_t map_y = sources.MapY + r.top;
    canvas->Blt(canvas_x, canvas_y, w, h, sources.Map, map_x, map_y, 1);
    for (const MapFigure& figure : figures) {
        const RECT part = Intersect(figure.Area, r);
        if (figure.Picture == nullptr || IsEmpty(part))
            continue;
        canvas->BltAlpha(canvas_x + part.left - r.left, canvas_y + part.top - r.top, part.right - part.left,
                         part.bottom - part.top, figure.Picture,
                         figure.SourceX + part.left - figure.Area.left,
                         figure.SourceY + part.top - figure.Area.top);
    }
    if (sources.Overlay != nullptr)
        canvas->BltColorKeyAlpha(canvas_x, canvas_y, w, h, sources.Overlay, map_x, map_y, OVERLAY_KEY);
    if (sources.Presence != nullptr)
        canvas->BltAlpha(canvas_x, canvas_y, w, h, sources.Presence, map_x, map_y);
}

template <typename Fn>
void MapViewComposer::ForEachPiece(const RECT& rect, Fn&& fn) const
{
    const RECT r = Intersect(rect, WHOLE_VIEW);
    if (IsEmpty(r))
        return;
    // View pixel (x, y) is kept at ((MapX + x) mod WIDTH, (MapY + y) mod HEIGHT).
    const auto wrap = [](int32_t value, int32_t size) { return (value % size + size) % size; };
    const int32_t split_x = WIDTH - wrap(m_sources.MapX, WIDTH);
    const int32_t split_y = HEIGHT - wrap(m_sources.MapY, HEIGHT);
    const int32_t xs[] = {r.left, std::clamp<int32_t>(split_x, r.left, r.right), r.right};
    const int32_t ys[] = {r.top, std::clamp<int32_t>(split_y, r.top, r.bottom), r.bottom};
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column) {
            const RECT piece{xs[column], ys[row], xs[column + 1], ys[row + 1]};
            if (!IsEmpty(piece))
                fn(piece, wrap(m_sources.MapX + piece.left, WIDTH), wrap(m_sources.MapY + piece.top, HEIGHT));
        }
}

void MapViewComposer::Draw(ILayer* target, const MapViewSources& sources,
                           const std::vector<MapFigure>& figures)
{
    if (target == nullptr || sources.Map == nullptr)
        return;
    if (!m_frame) {
        m_frame = CreateSpriteOfType(0, 0, WIDTH, HEIGHT, -1, LAYER_KIND_MEMORY);
        m_valid = false;
        if (!m_frame || m_frame->GetLayer() == nullptr || m_frame->GetLayer()->GetBits() == nullptr) {
            // Without memory for the kept view the target is composed in place.
            m_frame.reset();
            ComposeRect(target, sources, figures, WHOLE_VIEW, 0, 0);
            return;
        }
    }
    ILayer* frame = m_frame->GetLayer();
    std::vector<RECT> dirty;
    const int32_t dx = sources.MapX - m_sources.MapX;
    const int32_t dy = sources.MapY - m_sources.MapY;
    const bool same_pictures = sources.Map == m_sources.Map && sources.Overlay == m_sources.Overlay &&
                               sources.Presence == m_sources.Presence;
    if (!m_valid || !same_pictures || std::abs(dx) >= WIDTH || std::abs(dy) >= HEIGHT) {
        dirty.assign(1, WHOLE_VIEW);
    } else {
        // What comes into view.
        if (dx > 0)
            dirty.push_back(RECT{WIDTH - dx, 0, WIDTH, HEIGHT});
        else if (dx < 0)
            dirty.push_back(RECT{0, 0, -dx, HEIGHT});
        if (dy > 0)
            dirty.push_back(RECT{0, HEIGHT - dy, WIDTH, HEIGHT});
        else if (dy < 0)
            dirty.push_back(RECT{0, 0, WIDTH, -dy});
        // A figure moved, turned or stepped through its frames, or whose ground the camera moved,
        // is composed where it was and where it is.
        for (const MapFigure& before : m_figures) {
            const MapFigure* after = FigureOf(figures, before.Mover);
            MapFigure moved = before;
            moved.Area = Moved(before.Area, -dx, -dy);
            if (after == nullptr)
                AddChange(dirty, moved.Area, RECT{});
            else if (!(moved == *after))
                AddChange(dirty, moved.Area, after->Area);
        }
        for (const MapFigure& after : figures)
            if (FigureOf(m_figures, after.Mover) == nullptr)
                AddChange(dirty, RECT{}, after.Area);
    }
    m_valid = true;
    m_sources = sources;
    m_figures = figures;
    for (const RECT& rect : dirty)
        ForEachPiece(rect, [&](const RECT& piece, int32_t canvas_x, int32_t canvas_y) {
            ComposeRect(frame, sources, figures, piece, canvas_x, canvas_y);
        });
    ForEachPiece(WHOLE_VIEW, [&](const RECT& piece, int32_t canvas_x, int32_t canvas_y) {
        target->Blt(piece.left, piece.top, piece.right - piece.left, piece.bottom - piece.top, frame,
                    canvas_x, canvas_y, 1);
    });
}
