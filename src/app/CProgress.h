#pragma once
// The data-update progress dialog. The program keeps one global object of it; nothing opens it.
// Main thread only.

#include <cstdint>

#include "foundation/CApiDialog.h"

inline constexpr uint32_t IDD_PROGRESS = 131;

class CProgress : public CApiDialog
{
public:
    CProgress()
        : CApiDialog(IDD_PROGRESS, nullptr)
    {}

    // The bar runs from 0 to 100 with a step of 0.
    BOOL OnInitDialog() override;

    uint32_t GetPosition() const { return m_position; }

private:
    uint32_t m_position = 0;
};

extern CProgress g_progress_dialog;
