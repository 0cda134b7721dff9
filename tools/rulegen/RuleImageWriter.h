#pragma once
// Writes rule images for sprite-layer transitions: one byte per pixel, rows of the screen width,
// as many rows as the screen is high, no header. A pixel changes when the transition's threshold
// passes its value, so low values go first. Stored as "%02u.bin" in the data archive.

#include <cstdint>
#include <string_view>
#include <vector>

namespace tools {

enum class RulePattern
{
    WipeRight, // left edge first
    WipeDown,  // top edge first
    Radial,    // centre first
    Blinds,    // horizontal stripes 16 rows high, each top first
    Constant,  // every pixel the same value (the value argument)
};

// Values are spread over 0..255 from the first pixel to go to the last.
std::vector<uint8_t> MakeRuleImage(RulePattern pattern, int width, int height, uint8_t value = 0);

// The pattern named by "wipe-right", "wipe-down", "radial", "blinds" or "constant"; false otherwise.
bool ParseRulePattern(std::string_view name, RulePattern& pattern);

} // namespace tools
