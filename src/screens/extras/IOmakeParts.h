#pragma once
// The base of the extras screens.
// FIXME: the least the exec commands need until the extras screens are in: part building raises
// the open-extras counter, and the shared run ends at once.

#include <cstdint>

#include "screens/base/ScreenResult.h"

class IOmakeParts : public ISelect
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }

    // Nonzero on success.
    virtual int32_t CreateParts()
    {
        ++s_open_count;
        return 1;
    }
    virtual void ReleaseParts() {}
    // The modal run shared by the extras screens; answers the result.
    virtual int32_t RunScreen()
    {
        return RunForResult(*this);
    }

    static int32_t GetOpenCount() { return s_open_count; }
    static void ResetOpenCount() { s_open_count = 0; }

private:
    static inline int32_t s_open_count = 0; // main thread only
};

class CMusicMode : public IOmakeParts
{};

class CCommentMode : public IOmakeParts
{};

class COmakeHMode : public IOmakeParts
{};
