#include "platform/user/WindowTable.h"

#include <algorithm>
#include <mutex>
#include <string_view>
#include <utility>

namespace platform {

namespace {

char16_t LowerAscii(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Class names compare without regard to letter case, as on Windows.
bool SameName(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

} // namespace

ATOM WindowTable::AddClass(const std::u16string& name, const WNDCLASSW& info)
{
    for (const WindowClassRecord& record : m_classes) {
        if (SameName(record.name, name) && record.info.hInstance == info.hInstance)
            return 0;
    }
    WindowClassRecord record;
    record.atom = m_next_atom++;
    record.name = name;
    record.info = info;
    record.info.lpszClassName = nullptr;
    record.info.lpszMenuName = nullptr;
    m_classes.push_back(record);
    return record.atom;
}

const WindowClassRecord* WindowTable::FindClass(LPCWSTR name_or_atom) const
{
    if (name_or_atom == nullptr)
        return nullptr;
    const uintptr_t value = reinterpret_cast<uintptr_t>(name_or_atom);
    for (const WindowClassRecord& record : m_classes) {
        if (IS_INTRESOURCE(value) ? record.atom == value : SameName(record.name, name_or_atom))
            return &record;
    }
    return nullptr;
}

void WindowTable::RemoveClass(ATOM atom)
{
    std::erase_if(m_classes, [atom](const WindowClassRecord& entry) { return entry.atom == atom; });
}

HWND WindowTable::NewHandle()
{
    const HWND handle = reinterpret_cast<HWND>(m_next_handle);
    m_next_handle += 4;
    return handle;
}

void WindowTable::Insert(std::unique_ptr<WindowObject> window)
{
    std::unique_lock lock(m_lock);
    const uintptr_t key = reinterpret_cast<uintptr_t>(window->handle);
    m_windows.emplace(key, std::move(window));
}

std::unique_ptr<WindowObject> WindowTable::Remove(HWND window)
{
    std::unique_lock lock(m_lock);
    auto found = m_windows.find(reinterpret_cast<uintptr_t>(window));
    if (found == m_windows.end())
        return nullptr;
    std::unique_ptr<WindowObject> removed = std::move(found->second);
    m_windows.erase(found);
    return removed;
}

WindowObject* WindowTable::Find(HWND window) const
{
    auto found = m_windows.find(reinterpret_cast<uintptr_t>(window));
    return found == m_windows.end() ? nullptr : found->second.get();
}

WindowObject* WindowTable::FindNative(uint32_t native) const
{
    if (native == 0)
        return nullptr;
    for (const auto& entry : m_windows) {
        if (entry.second->native == native)
            return entry.second.get();
    }
    return nullptr;
}

std::vector<HWND> WindowTable::Handles() const
{
    std::vector<std::pair<uintptr_t, HWND>> ordered;
    for (const auto& [key, window] : m_windows)
        ordered.emplace_back(key, window->handle);
    std::sort(ordered.begin(), ordered.end());
    std::vector<HWND> result;
    for (const auto& entry : ordered)
        result.push_back(entry.second);
    return result;
}

bool WindowTable::Contains(HWND window) const
{
    std::shared_lock lock(m_lock);
    return m_windows.contains(reinterpret_cast<uintptr_t>(window));
}

bool WindowTable::QueryFlag(HWND window, std::atomic<bool> WindowObject::*flag) const
{
    std::shared_lock lock(m_lock);
    auto found = m_windows.find(reinterpret_cast<uintptr_t>(window));
    return found != m_windows.end() && (found->second.get()->*flag).load();
}

} // namespace platform
