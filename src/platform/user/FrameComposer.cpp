#include "platform/user/FrameComposer.h"

#include <algorithm>
#include <cstring>

#include "platform/d3d/BilinearRun.h"
#include "platform/user/RectApi.h"
#include "platform/user/WindowFrame.h"

namespace platform {

namespace {

int64_t FloorDiv(int64_t a, int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

int64_t CeilDiv(int64_t a, int64_t b)
{
    return -FloorDiv(-a, b);
}

// One axis of the scaling: target pixel d (from the destination's edge) samples the frame at
// first + d x step, 16.16 with texel centres at whole values. Fixed steps from the edge make every
// pixel's sample the same whichever region draws it.
struct Axis
{
    int64_t step = 0;
    int64_t first = 0;
    // Target pixels [inner_begin, inner_end) sample between two texels inside the frame; the rest
    // clamp to its edge.
    int64_t inner_begin = 0;
    int64_t inner_end = 0;

    Axis(int frame_size, int target_size)
    {
        step = (int64_t{frame_size} << 16) / target_size;
        first = step / 2 - 32768;
        inner_begin = first >= 0 ? 0 : CeilDiv(-first, step);
        const int64_t last = int64_t{frame_size - 1} << 16;
        inner_end = first >= last ? 0 : CeilDiv(last - first, step);
        inner_end = std::clamp<int64_t>(inner_end, inner_begin, target_size);
    }

    int64_t At(int64_t d) const { return first + d * step; }
    bool Inner(int64_t d) const { return d >= inner_begin && d < inner_end; }
};

// A sample at the frame's edge, where a neighbour texel lies outside: the edge texel stands in.
uint32_t SampleClamped(const WindowFrame& frame, int64_t tx, int64_t ty)
{
    const auto column = [&](int64_t x) {
        return static_cast<size_t>(std::clamp<int64_t>(x, 0, frame.width - 1));
    };
    const auto row = [&](int64_t y) {
        return static_cast<size_t>(std::clamp<int64_t>(y, 0, frame.height - 1)) *
               static_cast<size_t>(frame.width);
    };
    const int64_t x0 = tx >> 16;
    const int64_t y0 = ty >> 16;
    const uint32_t block[4] = {frame.pixels[row(y0) + column(x0)], frame.pixels[row(y0) + column(x0 + 1)],
                               frame.pixels[row(y0 + 1) + column(x0)],
                               frame.pixels[row(y0 + 1) + column(x0 + 1)]};
    uint32_t out = 0;
    SampleBilinearRun(&out, 1, reinterpret_cast<const uint8_t*>(block), 8, tx & 0xFFFF, ty & 0xFFFF, 0, 0);
    return out;
}

void ScaleRow(uint32_t* row, const WindowFrame& frame, const RECT& destination, const Axis& x_axis,
              int64_t dy, const Axis& y_axis, LONG from, LONG to)
{
    const int64_t ty = y_axis.At(dy);
    LONG inner_from = to;
    LONG inner_to = to;
    if (y_axis.Inner(dy)) {
        inner_from = static_cast<LONG>(std::clamp<int64_t>(destination.left + x_axis.inner_begin, from, to));
        inner_to =
            static_cast<LONG>(std::clamp<int64_t>(destination.left + x_axis.inner_end, inner_from, to));
    }
    for (LONG x = from; x < inner_from; ++x)
        row[x] = SampleClamped(frame, x_axis.At(x - destination.left), ty);
    if (inner_to > inner_from)
        SampleBilinearRun(row + inner_from, inner_to - inner_from,
                          reinterpret_cast<const uint8_t*>(frame.pixels.data()),
                          static_cast<size_t>(frame.width) * 4, x_axis.At(inner_from - destination.left), ty,
                          x_axis.step, 0);
    for (LONG x = inner_to; x < to; ++x)
        row[x] = SampleClamped(frame, x_axis.At(x - destination.left), ty);
}

bool IsDrawable(const WindowFrame* frame, const RECT& destination)
{
    return frame != nullptr && frame->width > 0 && frame->height > 0 &&
           frame->pixels.size() >= static_cast<size_t>(frame->width) * static_cast<size_t>(frame->height) &&
           destination.right > destination.left && destination.bottom > destination.top;
}

} // namespace

void ComposeFrame(const ComposeTarget& target, const WindowFrame* frame, const RECT& destination,
                  const RECT& area)
{
    const RECT bounds{0, 0, target.width, target.height};
    RECT part{};
    if (!IntersectRect(&part, &area, &bounds))
        return;
    const bool drawn = IsDrawable(frame, destination);
    RECT inside{};
    if (!drawn || !IntersectRect(&inside, &part, &destination))
        inside = RECT{part.left, part.top, part.left, part.top};
    const int target_width = destination.right - destination.left;
    const int target_height = destination.bottom - destination.top;
    const bool scaled = drawn && (target_width != frame->width || target_height != frame->height);
    const Axis x_axis = scaled ? Axis(frame->width, target_width) : Axis(1, 1);
    const Axis y_axis = scaled ? Axis(frame->height, target_height) : Axis(1, 1);
    for (LONG y = part.top; y < part.bottom; ++y) {
        uint32_t* row = target.pixels + static_cast<ptrdiff_t>(y) * target.pitch;
        if (y < inside.top || y >= inside.bottom || inside.left == inside.right) {
            std::fill(row + part.left, row + part.right, target.black);
            continue;
        }
        std::fill(row + part.left, row + inside.left, target.black);
        std::fill(row + inside.right, row + part.right, target.black);
        if (scaled) {
            ScaleRow(row, *frame, destination, x_axis, y - destination.top, y_axis, inside.left,
                     inside.right);
        } else {
            const uint32_t* from =
                frame->pixels.data() +
                static_cast<size_t>(y - destination.top) * static_cast<size_t>(frame->width) +
                static_cast<size_t>(inside.left - destination.left);
            std::memcpy(row + inside.left, from, static_cast<size_t>(inside.right - inside.left) * 4);
        }
    }
}

RECT ShownChange(const RECT& changed, int frame_width, int frame_height, const RECT& destination)
{
    const RECT frame_bounds{0, 0, frame_width, frame_height};
    RECT part{};
    if (!IntersectRect(&part, &changed, &frame_bounds))
        return RECT{};
    const int64_t target_width = destination.right - destination.left;
    const int64_t target_height = destination.bottom - destination.top;
    RECT shown{};
    if (target_width == frame_width && target_height == frame_height) {
        shown = part;
        OffsetRect(&shown, destination.left, destination.top);
        return shown;
    }
    // A target pixel blends the two texels around its sample on each axis, and the samples of the
    // fixed steps run up to a texel behind the exact ones: two texels of margin cover both.
    const RECT wide{
        static_cast<LONG>(destination.left + FloorDiv((part.left - 2) * target_width, frame_width) - 1),
        static_cast<LONG>(destination.top + FloorDiv((part.top - 2) * target_height, frame_height) - 1),
        static_cast<LONG>(destination.left + CeilDiv((part.right + 2) * target_width, frame_width) + 1),
        static_cast<LONG>(destination.top + CeilDiv((part.bottom + 2) * target_height, frame_height) + 1)};
    if (!IntersectRect(&shown, &wide, &destination))
        return RECT{};
    return shown;
}

} // namespace platform
