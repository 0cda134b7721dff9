#pragma once
// What the story's message commands drive of the message window, which the screens implement.
// Found through FindScriptMessageWindow. Main thread only.

#include <cstdint>

struct ScriptValue;

class IScriptMessageWindow
{
public:
    virtual ~IScriptMessageWindow() = default;

    virtual void ApplyWindowColor() = 0;
    virtual void ResetTextArea() = 0;
    virtual void Show() = 0;
    // Fades the window out.
    virtual void Hide() = 0;
    // The modal run of one message: answers out with the window's result.
    virtual void RunMessage(ScriptValue& out, int32_t mode, int32_t number) = 0;
    // The text area emptied, the window left as it is.
    virtual void ClearTextArea() = 0;
    // Hidden at once by its sprites alone, without a fade.
    virtual void HideSprites() = 0;
    // Face cell face (from 0) of the face sheet below the window; a face past the sheet is ignored.
    virtual void ShowFace(int32_t face) = 0;
    virtual void HideFace() = 0;
};
