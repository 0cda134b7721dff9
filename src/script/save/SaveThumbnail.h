#pragma once
// The slot thumbnail: the screen snapshot averaged down to 192 x 108 and kept as the raw pixel
// memory of a bottom-up 32-bit picture (blue, green, red, unused; bottom row first), 82,944
// bytes without a header.

#include <cstdint>
#include <vector>

#include "foundation/CStringUTF8.h"

class ILayer;

inline constexpr int32_t THUMBNAIL_WIDTH = 192;
inline constexpr int32_t THUMBNAIL_HEIGHT = 108;
inline constexpr uint32_t THUMBNAIL_BYTES = THUMBNAIL_WIDTH * THUMBNAIL_HEIGHT * 4;
inline constexpr int32_t SNAPSHOT_WIDTH = 1920;
inline constexpr int32_t SNAPSHOT_HEIGHT = 1080;

// Averages (0, 0)-(1920, 1080) of the snapshot into the capture layer (192 x 108, with a device
// context) and answers the capture's pixel bytes; empty when either layer has no device context.
std::vector<uint8_t> ScaleThumbnail(ILayer& snapshot, ILayer& capture);

// Fills the display layer (192 x 108) from the first 82,944 bytes of the file and makes it
// opaque: 1. A file that is missing, unreadable or shorter leaves the layer transparent: 0.
int32_t ReadThumbnailFile(const CStringUTF8& name, ILayer& display);
