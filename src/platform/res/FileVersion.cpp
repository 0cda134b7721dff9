#include "platform/res/FileVersionApi.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/ModuleApi.h"

namespace {

constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;

// The numbers come from the build: project(... VERSION a.b.c.d).
constexpr DWORD VERSION_MS = (static_cast<DWORD>(VESK_VERSION_MAJOR) << 16) | VESK_VERSION_MINOR;
constexpr DWORD VERSION_LS = (static_cast<DWORD>(VESK_VERSION_PATCH) << 16) | VESK_VERSION_TWEAK;

// VS_VERSIONINFO: length, value length, type (0: binary), the key "VS_VERSION_INFO" with its
// terminator, padding to a 32-bit boundary, then the fixed part.
constexpr std::u16string_view KEY = u"VS_VERSION_INFO";
constexpr size_t HEADER_SIZE = 3 * sizeof(WORD) + (KEY.size() + 1) * sizeof(char16_t);
constexpr size_t VALUE_OFFSET = (HEADER_SIZE + 3) & ~size_t{3};
constexpr size_t BLOCK_SIZE = VALUE_OFFSET + sizeof(VS_FIXEDFILEINFO);

std::array<uint8_t, BLOCK_SIZE> MakeBlock()
{
    std::array<uint8_t, BLOCK_SIZE> block{};
    const WORD header[3] = {static_cast<WORD>(BLOCK_SIZE), static_cast<WORD>(sizeof(VS_FIXEDFILEINFO)), 0};
    std::memcpy(block.data(), header, sizeof(header));
    std::memcpy(block.data() + sizeof(header), KEY.data(), KEY.size() * sizeof(char16_t));
    VS_FIXEDFILEINFO info{};
    info.dwSignature = VS_FFI_SIGNATURE;
    info.dwStrucVersion = VS_FFI_STRUCVERSION;
    info.dwFileVersionMS = VERSION_MS;
    info.dwFileVersionLS = VERSION_LS;
    info.dwProductVersionMS = VERSION_MS;
    info.dwProductVersionLS = VERSION_LS;
    info.dwFileFlagsMask = 0x3F;
    info.dwFileOS = VOS_NT_WINDOWS32;
    info.dwFileType = VFT_APP;
    std::memcpy(block.data() + VALUE_OFFSET, &info, sizeof(info));
    return block;
}

char16_t Lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool IsOwnModule(LPCWSTR file_name)
{
    if (file_name == nullptr)
        return false;
    std::array<char16_t, 4096> own{};
    const DWORD length = GetModuleFileNameW(nullptr, own.data(), static_cast<DWORD>(own.size()));
    const std::u16string_view mine(own.data(), length);
    const std::u16string_view asked(file_name);
    return length > 0 && mine.size() == asked.size() &&
           std::equal(mine.begin(), mine.end(), asked.begin(),
                      [](char16_t a, char16_t b) { return Lower(a) == Lower(b); });
}

} // namespace

DWORD GetFileVersionInfoSizeW(LPCWSTR file_name, LPDWORD handle)
{
    if (handle != nullptr)
        *handle = 0;
    if (!IsOwnModule(file_name)) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return 0;
    }
    return static_cast<DWORD>(BLOCK_SIZE);
}

BOOL GetFileVersionInfoW(LPCWSTR file_name, DWORD, DWORD size, LPVOID data)
{
    if (!IsOwnModule(file_name)) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return FALSE;
    }
    if (data == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    static const std::array<uint8_t, BLOCK_SIZE> s_block = MakeBlock();
    std::memcpy(data, s_block.data(), std::min<size_t>(size, BLOCK_SIZE));
    return TRUE;
}

BOOL VerQueryValueW(LPCVOID block, LPCWSTR sub_block, LPVOID* buffer, UINT* length)
{
    if (block == nullptr || sub_block == nullptr || buffer == nullptr || length == nullptr)
        return FALSE;
    if (std::u16string_view(sub_block) != u"\\")
        return FALSE;
    // The caller's copy must hold the whole block and be one of ours.
    WORD header[3];
    std::memcpy(header, block, sizeof(header));
    if (header[0] < BLOCK_SIZE || header[1] != sizeof(VS_FIXEDFILEINFO) ||
        std::memcmp(static_cast<const uint8_t*>(block) + sizeof(header), KEY.data(), KEY.size() * 2) != 0)
        return FALSE;
    *buffer = const_cast<uint8_t*>(static_cast<const uint8_t*>(block) + VALUE_OFFSET);
    *length = sizeof(VS_FIXEDFILEINFO);
    return TRUE;
}
