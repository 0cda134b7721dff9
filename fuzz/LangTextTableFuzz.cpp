// A ".map" language table: its pairs taken, then every id it names looked up.
#include "FuzzTargets.h"
#include "foundation/CLangTextTable.h"

int FuzzLangTextTable(const uint8_t* data, size_t size)
{
    CLangTextTable table;
    table.AddEntries(std::span(data, size), 2);
    for (size_t pair = 0; pair < 16 && 12 + 8 * pair <= size; ++pair) {
        const size_t at = 4 + 8 * pair;
        const auto id = static_cast<int>(data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) |
                                         (static_cast<uint32_t>(data[at + 3]) << 24));
        table.GetText(id, 2);
    }
    table.GetTextPtr(0);
    return 0;
}
