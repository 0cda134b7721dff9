#pragma once
// The stage of the extras tests: the screen stage with the gallery's sheets (plain and English
// names), its two area files, page thumbnail sheets for every page, one row sheet per row of the
// test's CG tables, a game state with room for the seen bits and the document sprite layers 0 to
// 6 as the scripts make them (not drawn, so captures show the screens alone).

#include <vector>

#include "screens/ScreenFixture.h"
#include "support/ScopedCGTables.h"

// A page thumbnail sheet's cell k of group g, page p: id PAGE_THUMBNAIL + 32 g + 8 p + k.
inline constexpr uint32_t PAGE_THUMBNAIL = 0x5000;
// A row sheet's cell j of the row whose first variant is v: id ROW_THUMBNAIL + v + j.
inline constexpr uint32_t ROW_THUMBNAIL = 0x4000;

struct GalleryStage
{
    std::vector<tools::CGRowSpec> rows;
    std::vector<tools::CGComposeSpec> compose;
    bool sheets = true;
    bool dialog_sheet = true;
    std::vector<tools::ArchiveEntry> pictures; // more pictures for the layer archive
};

class GalleryFixture : public ScreenFixture
{
protected:
    explicit GalleryFixture(const GalleryStage& stage);

    void Seen(int32_t variant);
    void SetValue(size_t index, int32_t value);
    int32_t Value(size_t index);
    // The centre of page cell k and heroine button i.
    static std::pair<int, int> CellCentre(int32_t k) { return {388 + 498 * (k % 3) + 245, 108 + 283 * (k / 3) + 137}; }

    ScopedCGTables m_tables;
};

// n rows of one variant each in group g, sheets named after the group and the row.
std::vector<tools::CGRowSpec> SimpleRows(int32_t group, int32_t n);
