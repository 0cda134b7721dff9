#pragma once
// The standing characters on screen.
// FIXME: the least the game work needs until the standing characters are in.

#include <memory>
#include <vector>

struct StandingCharacter
{};

class StandingCharacterHolder
{
public:
    std::vector<std::unique_ptr<StandingCharacter>> Characters;
    std::unique_ptr<StandingCharacter> Pending;
};
