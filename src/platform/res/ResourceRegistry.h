#pragma once
// Binary resources compiled into the executable (the FLAG images): generated sources register each
// image during static initialisation, and FindResourceW and its companions look them up. The
// registry is filled before main and only read afterwards, so lookups need no lock.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace platform {

// Registers the bytes as resource type/id; the bytes must live as long as the program. Returns
// true so a generated source can call it from a static initialiser.
bool RegisterResource(std::u16string_view type, uint16_t id, std::span<const uint8_t> bytes);

struct ResourceRecord
{
    std::u16string_view type;
    uint16_t id;
    std::span<const uint8_t> bytes;
};

// The record of type/id (type compared without regard to ASCII case), or null.
const ResourceRecord* FindResourceRecord(std::u16string_view type, uint16_t id);

} // namespace platform
