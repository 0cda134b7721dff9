#include "screens/map/MapViewComposer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

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
                                  const std::vector<MapFigure>& figures, const RECT& rect)
{
    const RECT r = Intersect(rect, WHOLE_VIEW);
    if (IsEmpty(r))
        return;
    const int32_t w = r.right - r.left;
    const int32_t h = r.bottom - r.top;
    canvas->Blt(r.left, r.top, w, h, sources.Map, sources.MapX + r.left, sources.MapY + r.top, 1);
    for (const MapFigure& figure : figures) {
        const RECT part = Intersect(figure.Area, r);
        if (figure.Picture == nullptr || IsEmpty(part))
            continue;
        canvas->BltAlpha(part.left, part.top, part.right - part.left, part.bottom - part.top, figure.Picture,
                         figure.SourceX + part.left - figure.Area.left,
                         figure.SourceY + part.top - figure.Area.top);
    }
    if (sources.Overlay != nullptr)
        canvas->BltColorKeyAlpha(r.left, r.top, w, h, sources.Overlay, sources.MapX + r.left,
                                 sources.MapY + r.top, OVERLAY_KEY);
    if (sources.Presence != nullptr)
        canvas->BltAlpha(r.left, r.top, w, h, sources.Presence, sources.MapX + r.left, sources.MapY + r.top);
}

bool MapViewComposer::Scroll(int32_t dx, int32_t dy, std::vector<RECT>& exposed)
{
    if (std::abs(dx) >= WIDTH || std::abs(dy) >= HEIGHT)
        return false;
    if (dx == 0 && dy == 0)
        return true;
    ILayer* frame = m_frame->GetLayer();
    // Row y shows what row y + dy showed; rows are moved in the order that reads each before it is
    // written over.
    const int32_t first = std::max(0, -dx);
    const int32_t count = WIDTH - std::abs(dx);
    const auto move_row = [&](int32_t y) {
        std::memmove(frame->GetPixelPtr(first, y), frame->GetPixelPtr(first + dx, y + dy),
                     static_cast<size_t>(count) * 4);
    };
    const int32_t top = std::max(0, -dy);
    const int32_t bottom = std::min(HEIGHT, HEIGHT - dy);
    if (dy > 0)
        for (int32_t y = top; y < bottom; ++y)
            move_row(y);
    else
        for (int32_t y = bottom - 1; y >= top; --y)
            move_row(y);
    if (dx > 0)
        exposed.push_back(RECT{WIDTH - dx, 0, WIDTH, HEIGHT});
    else if (dx < 0)
        exposed.push_back(RECT{0, 0, -dx, HEIGHT});
    if (dy > 0)
        exposed.push_back(RECT{0, HEIGHT - dy, WIDTH, HEIGHT});
    else if (dy < 0)
        exposed.push_back(RECT{0, 0, WIDTH, -dy});
    return true;
}

void MapViewComposer::Draw(ILayer* target, const MapViewSources& sources,
                           const std::vector<MapFigure>& figures)
{
    if (target == nullptr || sources.Map == nullptr)
        return;
    if (!m_frame) {
        m_frame.reset(
            static_cast<CSpriteLayer*>(CreateSpriteOfType(0, 0, WIDTH, HEIGHT, -1, LAYER_KIND_MEMORY)));
        m_valid = false;
        if (!m_frame || m_frame->GetLayer() == nullptr || m_frame->GetLayer()->GetBits() == nullptr) {
            // Without memory for the kept view the target is composed in place.
            m_frame.reset();
            ComposeRect(target, sources, figures, WHOLE_VIEW);
            return;
        }
    }
    ILayer* frame = m_frame->GetLayer();
    std::vector<RECT> dirty;
    const int32_t dx = sources.MapX - m_sources.MapX;
    const int32_t dy = sources.MapY - m_sources.MapY;
    const bool same_pictures = sources.Map == m_sources.Map && sources.Overlay == m_sources.Overlay &&
                               sources.Presence == m_sources.Presence;
    if (!m_valid || !same_pictures || !Scroll(dx, dy, dirty)) {
        dirty.assign(1, WHOLE_VIEW);
    } else {
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
    for (const RECT& rect : dirty)
        ComposeRect(frame, sources, figures, rect);
    m_valid = true;
    m_sources = sources;
    m_figures = figures;
    target->Blt(0, 0, WIDTH, HEIGHT, frame, 0, 0, 1);
}
