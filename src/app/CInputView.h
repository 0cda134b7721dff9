#pragma once
// The holder of the input devices the screens poll.
// FIXME: the least the game cursor needs until the input devices are in.

class IMouse;

class CInputView
{
public:
    IMouse* GetMouse() const { return m_mouse; }
    void SetMouse(IMouse* mouse) { m_mouse = mouse; }

private:
    IMouse* m_mouse = nullptr; // not owned
};

CInputView* GetInputView();
