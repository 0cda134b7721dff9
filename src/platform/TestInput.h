#pragma once
// A test hook: with VESK_INPUT_SCRIPT=<file> in the environment, the game is fed the file's input
// through SDL's queue, the road a real press takes, so headless runs can click through screens.
// One step per line, '#' starts a comment:
//   <turn> key <vk>          press, released 100 ms of the game's clock later
//   <turn> down <vk> | up <vk>
//   <turn> move <x> <y>
//   <turn> click <x> <y>     move and press the left button, released as a key is
//   <turn> rclick <x> <y>    the same with the right button
//   <turn> wheel <steps>     positive turns the wheel up
//   <turn> text <utf8>
// <turn> counts the message-pump turns, the count VESK_CLOSE_AFTER_FRAMES uses; turns ascend.
// Positions are game screen pixels; virtual keys decimal or 0x-hex.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel/WinTypes.h"

namespace platform {

struct TestInputStep
{
    enum class Kind
    {
        KeyDown,
        KeyUp,
        Move,
        ButtonDown,
        ButtonUp,
        Wheel,
        Text,
    };
    long turn = 0;
    Kind kind = Kind::Move;
    int value = 0;  // virtual key, button (1 left, 3 right) or wheel steps
    POINT at{};     // game screen pixels, for moves and buttons
    std::string text;
    bool released = false; // a press that lets go by itself (key, click)
};

// Reads the script into steps (a click is a move, then a press). On a bad line answers false
// with `error` naming the line, and no steps.
bool ParseTestInputScript(std::string_view script, std::vector<TestInputStep>& steps, std::string& error);

// Counts one pump turn and pushes the steps due by it. `to_client` maps game screen pixels to
// the window's client pixels. Does nothing without the variable; a script that cannot be read
// or parsed is reported on stderr once and ignored.
void PushDueTestInput(HWND window, const std::function<POINT(POINT)>& to_client);

} // namespace platform
