#pragma once
// The voice-timed face animation task.
// FIXME: the least the game work needs until the face animation is in.

#include "app/IAppTask.h"

class CFaceVoice : public IAppTask
{
public:
    CFaceVoice()
        : IAppTask(15)
    {}
    void Execute() override {}
};
