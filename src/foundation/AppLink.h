#pragma once
// What code below the application shell reaches of the application object, which lives above it
// in app/: the message pump, the save folder, the settings documents, the clock switch, the
// rotate flag and the instance dialogs are made from. The application object installs itself
// while it lives (the newest one is current, so a test's own object stands in for the global);
// without one there is no pump, no folder and every setting reads its default. The documents lock
// themselves, so the settings getters may be called from any thread; the pump from the main
// thread only.

#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "platform/kernel/WinTypes.h"

class CXMLDocument;

class AppLink
{
public:
    virtual ~AppLink() = default;

    // Dispatches the waiting window messages; 0 once the main window is gone.
    virtual UINT PumpMessage() = 0;
    // The save folder every flag and save file name is built on.
    virtual CStringUTF8 GetAppString() = 0;
    // The integer or text at a key of the configuration document (selector 0) or of the second
    // configuration document (selector 1, never loaded); the default when the key is absent.
    virtual int32_t GetConfigInt(CStringUTF8 key, int32_t default_value, int selector) = 0;
    virtual CStringUTF8 GetConfigString(CStringUTF8 key, CStringUTF8 default_value, int selector) = 0;
    virtual CStringUTF8 GetFileInfoString(CStringUTF8 key, CStringUTF8 default_value) = 0;
    // Null until the application loaded them.
    virtual CXMLDocument* GetConfigDocument() const = 0;
    virtual CXMLDocument* GetFileInfoDocument() const = 0;
    // 1: every clock is GetTickCount; 0: timeGetTime.
    virtual uint32_t GetClockSwitch() const = 0;
    // 1 when started with "rotate".
    virtual uint32_t GetRotateFlag() const = 0;
    // The instance the dialogs are made from; null before the application has one.
    virtual HINSTANCE GetInstanceHandle() const { return nullptr; }
};

// Not owned. Returns the previous link; null removes it. Atomic, so any thread reads it safely.
AppLink* SetAppLink(AppLink* link);
AppLink* GetAppLink();
