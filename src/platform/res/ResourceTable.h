#pragma once
// The executable's compiled-in resources, looked up by id. The texts are the project's own.

#include <optional>
#include <string_view>

#include "platform/kernel/WinTypes.h"

namespace platform {

class ResourceTable final
{
public:
    // The string-table entry, or nothing when the id has none.
    static std::optional<std::u16string_view> FindString(UINT id);
};

} // namespace platform
