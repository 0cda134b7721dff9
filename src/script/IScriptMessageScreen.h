#pragma once
// What the exec commands drive of the full-screen message screen a script builds, which the
// screens implement. Made through MakeScriptMessageScreen, built; the exec group owns it. Main
// thread only.

#include <cstdint>

#include "foundation/CStringUTF8.h"

class IScriptMessageScreen
{
public:
    virtual ~IScriptMessageScreen() = default;

    virtual void ResetTextArea() = 0;
    virtual void Show() = 0;
    // Shows the text for its time plus extra_ms; answers the result.
    virtual int32_t RunText(int32_t extra_ms, const CStringUTF8& text) = 0;
};
