#pragma once
// Entry names from archives and FLAG images become file names inside a chosen folder. A name that
// could reach outside it ("/" or "\" separators, "..") or names nothing is refused.

#include <string_view>

inline bool IsPlainFileName(std::u16string_view name)
{
    return !name.empty() && name.find(u'/') == std::u16string_view::npos &&
           name.find(u'\\') == std::u16string_view::npos && name.find(u"..") == std::u16string_view::npos;
}
