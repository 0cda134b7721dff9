#include "platform/kernel/ModuleApi.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/Unicode.h"

namespace {

std::string ModulePath()
{
    if (const char* path = std::getenv("VESK_MODULE_PATH"); path && *path)
        return path;
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0)
        return {};
    path.resize(static_cast<size_t>(length));
    return path;
}

} // namespace

// Only the executable itself is a module here; a null module means it, as on Windows.
DWORD GetModuleFileNameW(HMODULE, LPWSTR file_name, DWORD size)
{
    const std::u16string path = platform::Utf8ToUtf16(ModulePath());
    if (path.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    if (!file_name || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // Like Windows: a buffer too small gets the truncated path with its NUL and the full size.
    const DWORD copied = static_cast<DWORD>(std::min<size_t>(path.size(), size - 1));
    std::copy_n(path.begin(), copied, file_name);
    file_name[copied] = 0;
    if (copied < path.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    SetLastError(ERROR_SUCCESS);
    return copied;
}
