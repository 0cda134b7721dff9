#pragma once
// The settings command group (library 25): reads and writes keys of the configuration document,
// as integers or texts after the type of the value the script gives. Built for one call on the
// main thread.

#include "script/commands/IFunc.h"

class CFuncXML : public IFunc
{
public:
    void Call(CScript& script) override;
};
