#pragma once
// Cursor resources of the executable: 32 x 32 monochrome pictures with a hot spot, kept in the
// resource table as type "CURSOR". Their bytes: u16 hot spot x and y (little-endian), then 128
// bytes of colour bits (1 black, 0 white) and 128 bytes of mask bits (1 drawn, 0 clear), rows of
// 32 bits from the top, the leftmost pixel in the most significant bit. The game's two hand
// cursors (1011 open, 118 closed) are drawn here and registered on first use.

#include <array>
#include <cstdint>
#include <optional>

namespace platform {

inline constexpr int CURSOR_SIDE = 32;
inline constexpr uint16_t CURSOR_CLOSED_HAND_ID = 118;
inline constexpr uint16_t CURSOR_OPEN_HAND_ID = 1011;

struct CursorImage
{
    uint16_t hot_x = 0;
    uint16_t hot_y = 0;
    std::array<uint8_t, CURSOR_SIDE * CURSOR_SIDE / 8> colour{};
    std::array<uint8_t, CURSOR_SIDE * CURSOR_SIDE / 8> mask{};
};

// The cursor resource of the id, or none when the table has no such cursor or its bytes are
// not a whole cursor.
std::optional<CursorImage> FindCursorResource(uint16_t id);

} // namespace platform
