#pragma once
// The window layer's table of window classes and windows, and the handles, atoms and z order it
// hands out. Written on the main thread only, under its lock; the main thread reads without it,
// other threads through the locked queries (IsWindow, the cached state flags, a frame hand-over).

#include <atomic>
#include <cstdint>
#include <memory>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/kernel/WinTypes.h"
#include "platform/user/WindowApi.h"
#include "platform/user/WindowObject.h"

namespace platform {

class WindowTable final
{
public:
    // Classes (main thread).
    // 0 when a class of that name (letter case aside) is registered for the instance already.
    ATOM AddClass(const std::u16string& name, const WNDCLASSW& info);
    const WindowClassRecord* FindClass(LPCWSTR name_or_atom) const;
    void RemoveClass(ATOM atom);
    void ClearClasses() { m_classes.clear(); }

    // Windows (main thread).
    HWND NewHandle();
    uint64_t NextZ() { return m_next_z++; }
    void Insert(std::unique_ptr<WindowObject> window);
    std::unique_ptr<WindowObject> Remove(HWND window);
    WindowObject* Find(HWND window) const;
    WindowObject* FindNative(uint32_t native) const;
    // Every window's handle, oldest first.
    std::vector<HWND> Handles() const;
    // The oldest window `f` accepts, or null: Handles' first match without building the list.
    template <typename F>
    HWND FindOldest(F&& f) const
    {
        uintptr_t oldest = UINTPTR_MAX;
        HWND found = nullptr;
        for (const auto& [key, window] : m_windows)
            if (key < oldest && f(*window)) {
                oldest = key;
                found = window->handle;
            }
        return found;
    }
    template <typename F>
    void ForEach(F&& f) const
    {
        for (const auto& entry : m_windows)
            f(*entry.second);
    }

    // Any thread.
    bool Contains(HWND window) const;
    bool QueryFlag(HWND window, std::atomic<bool> WindowObject::*flag) const;
    // Runs f(window) with the table locked for reading; false when there is no such window.
    template <typename F>
    bool WithWindow(HWND window, F&& f) const
    {
        std::shared_lock lock(m_lock);
        auto found = m_windows.find(reinterpret_cast<uintptr_t>(window));
        if (found == m_windows.end())
            return false;
        f(*found->second);
        return true;
    }

private:
    mutable std::shared_mutex m_lock; // guards m_windows (written on the main thread only)
    std::unordered_map<uintptr_t, std::unique_ptr<WindowObject>> m_windows;
    std::vector<WindowClassRecord> m_classes;
    uintptr_t m_next_handle = 0x2'0010;
    ATOM m_next_atom = 0xC000;
    uint64_t m_next_z = 1;
};

} // namespace platform
