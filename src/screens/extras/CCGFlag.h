#pragma once
// The registry of seen pictures.
// FIXME: the least the game work needs until the extras are in.

class CCGFlag
{
public:
    virtual ~CCGFlag() = default;
    // Builds the index of picture names.
    virtual void BuildIndex() {}
};
