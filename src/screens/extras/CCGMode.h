#pragma once
// The CG gallery and its picture-group table.
// FIXME: the least the exec commands need until the gallery is in: the group sizes and the rows
// whose variants are known; every other row has no variants yet.

#include <array>
#include <cstdint>
#include <vector>

#include "screens/extras/IOmakeParts.h"

inline constexpr int32_t CG_GROUP_COUNT = 17;
inline constexpr std::array<int32_t, CG_GROUP_COUNT> CG_GROUP_ROWS = {23, 21, 16, 16, 17, 15, 18, 14, 17,
                                                                      17, 14, 16, 16, 15, 14, 8,  13};

struct CGRow
{
    int32_t FirstVariant = -1;
    int32_t VariantCount = 0;
    std::vector<int32_t> Variants; // variant ids in table order
};

class CCGMode : public IOmakeParts
{
public:
    CCGMode();

    // The group's first row (running sum of the row counts); 0 for no group.
    static int32_t GetGroupFirstRow(int32_t group);
    // The row, or null past the table.
    const CGRow* GetRow(int32_t row) const;

private:
    std::vector<CGRow> m_rows;
};
