#pragma once
// The input holder: mouse, keyboard and the input actions of the game.
// FIXME: declared only as far as the script command groups take it; the input code completes it.

class CInputView;

CInputView* GetInputView();
