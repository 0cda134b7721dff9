#include "screens/extras/CCGMode.h"

#include <numeric>

namespace {

struct KnownRow
{
    int32_t Row;
    int32_t FirstVariant;
    int32_t VariantCount;
};

// Rows whose variants are known so far; their variant ids run on from the first.
constexpr KnownRow KNOWN_ROWS[] = {{0, 0, 3}, {86, 293, 12}, {117, 408, 20}, {148, 528, 20}};

} // namespace

CCGMode::CCGMode()
    : m_rows(static_cast<size_t>(std::accumulate(CG_GROUP_ROWS.begin(), CG_GROUP_ROWS.end(), 0)))
{
    for (const KnownRow& known : KNOWN_ROWS) {
        CGRow& row = m_rows[static_cast<size_t>(known.Row)];
        row.FirstVariant = known.FirstVariant;
        row.VariantCount = known.VariantCount;
        for (int32_t j = 0; j < known.VariantCount; ++j)
            row.Variants.push_back(known.FirstVariant + j);
    }
}

int32_t CCGMode::GetGroupFirstRow(int32_t group)
{
    if (group < 0 || group >= CG_GROUP_COUNT)
        return 0;
    return std::accumulate(CG_GROUP_ROWS.begin(), CG_GROUP_ROWS.begin() + group, 0);
}

const CGRow* CCGMode::GetRow(int32_t row) const
{
    if (row < 0 || static_cast<size_t>(row) >= m_rows.size())
        return nullptr;
    return &m_rows[static_cast<size_t>(row)];
}
