#pragma once
// The font command group (library 10): sets the glyph size of the document's text fonts. Built
// for one call on the main thread.

#include "script/commands/IFunc.h"

class CFuncFont : public IFunc
{
public:
    void Call(CScript& script) override;
};
