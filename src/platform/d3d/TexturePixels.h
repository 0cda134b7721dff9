#pragma once
// The software device keeps a texture's pixels in system memory, rows top-down at width x 4 bytes.
// The owner of a dynamic texture who keeps a system copy of its pixels for uploads can keep that
// copy in the texture's own pixels instead: a map for writing hands back those same pixels, so an
// upload finds them in place and has nothing to copy.

#include <cstdint>
#include <memory>

#include "platform/d3d/D3D11Api.h"

namespace platform {

// The dynamic texture's pixels, kept alive for as long as the caller holds them; null for any
// other texture.
std::shared_ptr<uint8_t> SharedTexturePixels(ID3D11Texture2D* texture);

} // namespace platform
