#pragma once
// A built-in command group of the script library. One call pops its sub-function number and
// arguments from the value stack and pushes at most one result. Group objects are built for one
// call (the exec group lives with the script context) and take their fields from the document
// when they are built. Main thread only.

class CInputView;
class CScript;
class GameDocument;
class FlagBuffer;
class ScriptContext;

class IFunc
{
public:
    IFunc();
    virtual ~IFunc() = default;
    IFunc(const IFunc&) = delete;
    IFunc& operator=(const IFunc&) = delete;

    virtual void Call(CScript& script) = 0;

    // Not owned: the document owns all four.
    GameDocument* Document = nullptr;
    ScriptContext* Context = nullptr;
    CInputView* InputView = nullptr;
    FlagBuffer* CurrentState = nullptr;
};
