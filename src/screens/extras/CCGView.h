#pragma once
// The CG viewer, run by the gallery on one CG row.
// FIXME: the least the gallery needs until the viewer is in: a run answers the row it was
// given x 256 at once.

#include <cstdint>
#include <vector>

#include "screens/extras/CGTables.h"
#include "screens/extras/IOmakeParts.h"

class CCGMode;

class CCGView : public ISelect
{
public:
    CCGView(std::vector<CGRow> rows, int32_t row, int32_t group, int32_t page, CStringUTF8 sheet, CCGMode* gallery)
        : Rows(std::move(rows))
        , Row(row)
        , Group(group)
        , Page(page)
        , SheetName(std::move(sheet))
        , Gallery(gallery)
    {}

    void ModalLoop() override { Result = ScriptValue::FromInteger(Row * 256); }

    std::vector<CGRow> Rows;
    int32_t Row = 0;
    int32_t Group = 0;
    int32_t Page = 0;
    CStringUTF8 SheetName;
    CCGMode* Gallery = nullptr;
};
