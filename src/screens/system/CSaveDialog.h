#pragma once
// The save screen of the system menu: a new save from its first row, an overwrite of a used row,
// each through the save note, and deletes.

#include <cstdint>

#include "screens/system/ISaveLoad.h"

class CSaveDialog : public ISaveLoad
{
public:
    explicit CSaveDialog(int32_t page)
        : ISaveLoad(page)
    {}
    void DecideRow(int32_t row) override;
    // The row's save through the note: the new-save row saves into slot 1 above the group, a
    // used row overwrites its slot. True when a save was written.
    [[nodiscard]] bool SaveAtRow(int32_t row);
};
