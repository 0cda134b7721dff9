#include "platform/res/CursorResource.h"

#include <algorithm>
#include <vector>

#include "platform/res/ResourceRegistry.h"

namespace platform {

namespace {

constexpr size_t BITS_BYTES = CURSOR_SIDE * CURSOR_SIDE / 8;
constexpr size_t CURSOR_BYTES = 4 + 2 * BITS_BYTES;
constexpr uint16_t HOT_SPOT = 10;

struct Box
{
    int left, top, right, bottom; // right and bottom exclusive
};

// A hand of a palm, four fingers from the finger tops down and a thumb: white with a black
// outline, clear around it.
std::vector<uint8_t> DrawHand(int finger_top, const Box& thumb)
{
    std::array<bool, CURSOR_SIDE * CURSOR_SIDE> shape{};
    auto fill = [&](const Box& box) {
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                shape[static_cast<size_t>(y * CURSOR_SIDE + x)] = true;
    };
    for (int finger = 0; finger < 4; ++finger)
        fill({6 + 4 * finger, finger_top + (finger == 0 || finger == 3 ? 2 : 0), 10 + 4 * finger, 18});
    fill({6, 14, 22, 28});
    fill(thumb);
    auto inside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < CURSOR_SIDE && y < CURSOR_SIDE && shape[static_cast<size_t>(y * CURSOR_SIDE + x)];
    };
    std::vector<uint8_t> bytes(CURSOR_BYTES, 0);
    bytes[0] = HOT_SPOT;
    bytes[2] = HOT_SPOT;
    for (int y = 0; y < CURSOR_SIDE; ++y)
        for (int x = 0; x < CURSOR_SIDE; ++x) {
            if (!inside(x, y))
                continue;
            const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1) ||
                              (x % 4 == 1 && y < 18 && x > 6); // the gaps between the fingers
            const size_t bit = static_cast<size_t>(y * CURSOR_SIDE + x);
            const uint8_t value = static_cast<uint8_t>(0x80u >> (bit % 8));
            if (edge)
                bytes[4 + bit / 8] |= value;
            bytes[4 + BITS_BYTES + bit / 8] |= value;
        }
    return bytes;
}

// Registered before main like every resource: the table is only read afterwards. This file is
// linked whenever a cursor is looked up.
const std::vector<uint8_t> g_open_hand = DrawHand(2, {2, 16, 6, 22});
const std::vector<uint8_t> g_closed_hand = DrawHand(11, {3, 18, 7, 24});
const bool g_registered = RegisterResource(u"CURSOR", CURSOR_OPEN_HAND_ID, g_open_hand) &&
                          RegisterResource(u"CURSOR", CURSOR_CLOSED_HAND_ID, g_closed_hand);

} // namespace

std::optional<CursorImage> FindCursorResource(uint16_t id)
{
    (void)g_registered;
    const ResourceRecord* record = FindResourceRecord(u"CURSOR", id);
    if (record == nullptr || record->bytes.size() != CURSOR_BYTES)
        return std::nullopt;
    CursorImage image;
    image.hot_x = static_cast<uint16_t>(record->bytes[0] | record->bytes[1] << 8);
    image.hot_y = static_cast<uint16_t>(record->bytes[2] | record->bytes[3] << 8);
    if (image.hot_x >= CURSOR_SIDE || image.hot_y >= CURSOR_SIDE)
        return std::nullopt;
    std::copy(record->bytes.begin() + 4, record->bytes.begin() + 4 + BITS_BYTES, image.colour.begin());
    std::copy(record->bytes.begin() + 4 + BITS_BYTES, record->bytes.end(), image.mask.begin());
    return image;
}

} // namespace platform
