#include "platform/kernel/ModuleApi.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/kernel/ErrorApi.h"
#include "platform/res/ResourceTable.h"

int LoadStringW(HINSTANCE, UINT id, LPWSTR buffer, int buffer_max)
{
    if (buffer == nullptr || buffer_max < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::optional<std::u16string_view> text = platform::ResourceTable::FindString(id);
    if (!text) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        if (buffer_max > 0)
            buffer[0] = 0;
        return 0;
    }
    if (buffer_max == 0) {
        // The table lives as long as the program; the caller gets a read-only view of it.
        const WCHAR* data = text->data();
        std::memcpy(buffer, &data, sizeof(data));
        return static_cast<int>(text->size());
    }
    const size_t count = std::min(text->size(), static_cast<size_t>(buffer_max) - 1);
    std::copy_n(text->data(), count, buffer);
    buffer[count] = 0;
    return static_cast<int>(count);
}
