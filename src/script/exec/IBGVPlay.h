#pragma once
// A background-voice list player.
// FIXME: the least the game work needs until the background voices are in.

#include <cstdint>

#include "app/IAppTask.h"
#include "foundation/CStringUTF8.h"

class IBGVPlay : public IAppTask
{
public:
    explicit IBGVPlay(int32_t player)
        : IAppTask(15)
        , m_player(player)
    {}
    void Execute() override {}
    int32_t GetPlayer() const { return m_player; }

private:
    CStringUTF8 m_text;
    int32_t m_player;
    uint32_t m_words[3] = {};
};
