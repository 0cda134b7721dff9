#pragma once
// The number command group (library 11): shows an integer from the value stack inside the
// running message as decimal text, half-width or full-width, optionally zero-padded; records it
// for the backlog like message text and lays it at the message pen. Built for one call; main
// thread only.

#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "script/commands/CFuncString.h"
#include "script/commands/IFunc.h"

struct NumberDisplaySpec
{
    int32_t FullWidth = 0; // 1: full-width digits
    uint32_t Digits = 0;   // minimum digits, zero-padded; 0 pads nothing
    int32_t Value = 0;
    int32_t Signed = 0; // 0 formats the value unsigned
    TextBox Box;
};

class CFuncValue : public IFunc
{
public:
    void Call(CScript& script) override;

    void ShowNumber();
    void DrawNumber(NumberDisplaySpec& spec, bool recording);
};

CStringUTF8 FormatNumber(const NumberDisplaySpec& spec);
