#include "platform/res/ResourceTable.h"

#include <iterator>

namespace platform {

namespace {

struct StringEntry
{
    UINT id;
    std::u16string_view text;
};

// Sorted by id.
constexpr StringEntry STRING_TABLE[] = {
    {103, u"https://example.invalid/vesk"}, // the version dialog's link
    {109, u"man_01.html"},                  // the manual's first page under "manual\"
    {115, u"config.xml"},                   // the configuration document
};

} // namespace

std::optional<std::u16string_view> ResourceTable::FindString(UINT id)
{
    for (const StringEntry& entry : STRING_TABLE) {
        if (entry.id == id)
            return entry.text;
    }
    return std::nullopt;
}

} // namespace platform
