// The CG list and composition table, as one input: the list's bytes up to the first NUL, the
// composition table's after it. When they load, the rows are built and every group walked.
#include <algorithm>

#include "FuzzTargets.h"
#include "screens/extras/CGTables.h"

int FuzzCGTables(const uint8_t* data, size_t size)
{
    const uint8_t* split = std::find(data, data + size, uint8_t{0});
    const std::span<const uint8_t> list(data, split);
    const std::span<const uint8_t> compose(split == data + size ? split : split + 1, data + size);
    const std::optional<CGTables> tables = CGTables::Parse(list, compose);
    if (tables) {
        const std::vector<CGRow> rows = tables->BuildRows();
        for (int32_t group = 0; group < CG_GROUP_COUNT; ++group)
            tables->GroupOfRow(tables->GroupFirstRow(group) + tables->GroupRowCount(group) - 1);
    }
    return 0;
}
