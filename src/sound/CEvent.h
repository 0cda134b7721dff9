#pragma once
// A Win32 event owned by a sound object: created when the object needs it, closed by Close or
// the destructor. Any thread may set, reset or wait on it.

#include "platform/kernel/WinTypes.h"

class CEvent
{
public:
    CEvent() = default;
    virtual ~CEvent();
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    // Closes a previous handle first; false when the event cannot be made.
    bool Create(bool manual_reset, bool initially_set);
    void Close();
    bool Set();
    bool Reset();
    HANDLE GetHandle() const { return m_handle; }

private:
    HANDLE m_handle = nullptr;
};
