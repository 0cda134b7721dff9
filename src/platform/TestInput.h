#pragma once
// A test hook: with VESK_INPUT_SCRIPT=<file> in the environment, the game is fed the file's input
// through SDL's queue, the road a real press takes, so headless runs can click through screens.
// One step per line, '#' starts a comment:
//   <turn> key <vk>          press, released 100 ms of the game's clock later
//   <turn> down <vk> | up <vk>  the buttons' keys (1 left, 2 right) hold a button where the
//                               pointer last moved, for drags
//   <turn> move <x> <y>
//   <turn> click <x> <y>     move and press the left button, released as a key is
//   <turn> rclick <x> <y>    the same with the right button
//   <turn> wheel <steps>     positive turns the wheel up
//   <turn> text <utf8>
// <turn> counts the message-pump turns the game has kept up with (see SetTestTurnGate), the count
// VESK_CLOSE_AFTER_FRAMES uses; turns ascend. A press lets go once its time has passed and the
// game has kept up with a few turns of it, so a loaded machine neither drops nor shortens it.
// Positions are game screen pixels; virtual keys decimal or 0x-hex. The file is read again when
// it grows, so a test may append steps as it sees the screens; a step whose turn has passed is
// due at once. The count of turns is kept beside the script, in <file>.turn (every eighth turn,
// the number right-aligned in 20 characters and a newline), for such a test's waits; while the
// headless presenter dumps frames only when asked (VESK_FRAME_DUMP_ASKED), the count of frames
// drawn follows the turn's on the line, the same way, and an ask in the dump folder is answered
// on the next turn (NullPresenter::ServeAsk).
// With VESK_INPUT_TAKEN=<file> as well, the game rewrites that file (whole, by a rename) each
// time it takes a step or lets a press go, with one line "<steps taken> <presses held> <turn>"
// (a click counts two steps, its move and its press): a test that sends each step once the last
// one was taken learns the turn to write it for, and a game that stops taking them has hung.

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
    int value = 0; // virtual key, button (1 left, 3 right) or wheel steps
    POINT at{};    // game screen pixels, for moves and buttons
    std::string text;
    bool released = false; // a press that lets go by itself (key, click)
};

// Reads the script into steps (a click is a move, then a press). On a bad line answers false
// with `error` naming the line, and no steps.
bool ParseTestInputScript(std::string_view script, std::vector<TestInputStep>& steps, std::string& error);

// The game's answer to "are the threads that step the screens up to date?". While it answers
// false, pump turns are not counted: scripted input waits for the screens instead of landing
// before they are ready, as it would when a loaded machine starves their thread. Without a
// gate every turn counts.
void SetTestTurnGate(bool (*caught_up)());
// One pump turn: true when it counts (the gate, if any, answers true).
bool IsTestTurnCounted();

// Counts one pump turn and pushes the steps due by it. `to_client` maps game screen pixels to
// the window's client pixels. Does nothing without the variable; a script that cannot be read
// or parsed is reported on stderr once and ignored.
void PushDueTestInput(HWND window, const std::function<POINT(POINT)>& to_client);
// The same from a modal loop of the layer that turns in place of the game's pump (the menu
// bar's), with the mapping the game's pump gave; nothing before the pump has turned. True while a
// script drives the input: its steps are counted in turns, so the loop must keep turning.
bool PushDueTestInputInModalLoop(HWND window);

} // namespace platform
