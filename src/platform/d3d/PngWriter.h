#pragma once
// Writes 8-bit RGBA pictures as PNG files (frame dumps, captured screens in tests and tools).

#include <cstdint>
#include <string>

namespace platform {

// Rows top-down, bytes R, G, B, A, `pitch` bytes apart. False when the file cannot be written.
// `opaque` drops the alpha bytes: a presented frame's alpha means nothing on a screen, and viewers
// would show it.
bool WritePngRgba(const std::string& path, int width, int height, const uint8_t* pixels, size_t pitch,
                  bool opaque = false);

} // namespace platform
