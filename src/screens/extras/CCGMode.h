#pragma once
// The CG gallery. At heroine level it shows the 17 heroine buttons; at page level one group's
// CGs, eight cells a page, each a thumbnail of the first seen variant of its row or the locked
// picture. Choosing an open cell runs the CG viewer on that row. The seen bits come from the
// seen-CG registry. Main thread only.

#include <array>
#include <cstdint>
#include <vector>

#include "screens/extras/CGTables.h"
#include "screens/extras/OmakePageFrame.h"

class CCGMode : public OmakePageFrame
{
public:
    CCGMode();
    ~CCGMode() override;

    int32_t CreateParts() override;
    void ReleaseParts() override;
    void BuildParts(int32_t mode) override;
    void OnOpen() override;
    void OnClose() override;
    void OnDecide() override;
    void DrawPage(int32_t group, int32_t page, int32_t present) override;

    // Whether every variant of every row of the group has its seen bit.
    bool IsGroupComplete(int32_t group) const;
    // After the kind 10 confirmation: marks every variant of the current group seen, merges the
    // flags into flag file 0 and redraws the page.
    void UnlockGroup();

    // The group's first row and row count in the loaded tables; 0 for no group.
    static int32_t GetGroupFirstRow(int32_t group);
    static int32_t GetGroupRowCount(int32_t group);
    // The row, or null past the list (the terminator row included).
    const CGRow* GetRow(int32_t row) const;
    int32_t GetTimeChoice() const { return TimeChoice; }
    // The variant shown in cell k, or -1.
    int32_t GetShownVariant(int32_t k) const { return ShownVariant[static_cast<size_t>(k)]; }

protected:
    // Runs the viewer on cell k's row; the gallery takes the page of the row it showed last.
    virtual void OpenCG(int32_t k);
    // The kind 10 confirmation: 0 confirms; -1 when it cannot be built.
    virtual int32_t AskUnlock();

private:
    void DrawCell(int32_t k, const CGRow& row, CSpriteLayer* thumbnails);

    int32_t TimeChoice = 0;
    std::vector<CGRow> m_rows;
    std::array<int32_t, OMAKE_CELLS> ShownVariant{};
};
