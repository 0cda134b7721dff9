// An AKB picture decoded into a memory layer of its own size, both body forms.
#include "FuzzTargets.h"
#include "graphics/CAkb.h"
#include "graphics/CDIB.h"

namespace {

// Larger layers are refused by the loader's own bounds; this keeps each run quick.
constexpr int64_t MAX_FUZZ_PIXELS = 1 << 20;

} // namespace

int FuzzAkb(const uint8_t* data, size_t size)
{
    const CAkb akb(data, size);
    if (akb.GetKind() == CAkb::Kind::None)
        return 0;
    akb.GetBaseFileName();
    const int32_t width = akb.GetWidth();
    const int32_t height = akb.GetHeight();
    if (width < 1 || height < 1 || int64_t{width} * height > MAX_FUZZ_PIXELS)
        return 0;
    CDIB layer;
    layer.Create(width, height);
    RECT content{};
    for (int32_t fill_mode = 0; fill_mode < 3; ++fill_mode)
        DecodeAkb(akb, &layer, 0, 0, &content, fill_mode);
    DecodeAkbRgb(akb, &layer, 0, 0);
    // A position that pushes the picture past the layer is refused.
    DecodeAkb(akb, &layer, 1, 1, &content, 0);
    return 0;
}
