#pragma once
// The countdown shown while a full-screen setting is tried: after 15 seconds without an answer it
// cancels itself, and the caller puts the previous settings back. Main thread only.

#include <cstdint>

#include "foundation/CApiDialog.h"

inline constexpr uint32_t IDD_TIME_OUT = 115;
inline constexpr int32_t TIME_OUT_SECONDS = 15;

class CTimeOut : public CApiDialog
{
public:
    explicit CTimeOut(const CLangTextTable* texts = nullptr)
        : CApiDialog(IDD_TIME_OUT, texts)
    {}

    BOOL OnInitDialog() override;
    INT_PTR DialogProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;

    int32_t GetSecondsLeft() const { return m_seconds_left; }

private:
    int32_t m_seconds_left = 0;
};
