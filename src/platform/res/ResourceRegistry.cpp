#include "platform/res/ResourceRegistry.h"

#include <deque>
#include <string>

namespace platform {

namespace {

std::u16string UpperCase(std::u16string_view text)
{
    std::u16string upper(text);
    for (char16_t& c : upper) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return upper;
}

struct StoredRecord
{
    std::u16string type; // upper case
    ResourceRecord record;
};

std::deque<StoredRecord>& Records()
{
    // Never destroyed: generated sources register from static initialisers in any order, and
    // handles into the records stay valid until the process ends.
    static auto* s_records = new std::deque<StoredRecord>;
    return *s_records;
}

} // namespace

bool RegisterResource(std::u16string_view type, uint16_t id, std::span<const uint8_t> bytes)
{
    StoredRecord& stored = Records().emplace_back();
    stored.type = UpperCase(type);
    stored.record = ResourceRecord{.type = stored.type, .id = id, .bytes = bytes};
    return true;
}

const ResourceRecord* FindResourceRecord(std::u16string_view type, uint16_t id)
{
    const std::u16string wanted = UpperCase(type);
    for (const StoredRecord& stored : Records()) {
        if (stored.record.id == id && stored.type == wanted)
            return &stored.record;
    }
    return nullptr;
}

} // namespace platform
