#include "platform/kernel/VersionApi.h"

#include <atomic>
#include <cstdint>

#include "platform/kernel/ErrorApi.h"

namespace {

constexpr DWORD REPORTED_BUILD = 19045;

struct ReportedVersion
{
    DWORD major;
    DWORD minor;
    WORD service_pack_major;
};

constexpr uint64_t Pack(const ReportedVersion& version)
{
    return (static_cast<uint64_t>(version.major) << 40) | (static_cast<uint64_t>(version.minor) << 16) |
           version.service_pack_major;
}

constexpr ReportedVersion WINDOWS_10 = {10, 0, 0};

std::atomic<uint64_t> g_reported{Pack(WINDOWS_10)};

ReportedVersion Current()
{
    const uint64_t packed = g_reported.load();
    return {static_cast<DWORD>(packed >> 40), static_cast<DWORD>((packed >> 16) & 0xFFFFFF),
            static_cast<WORD>(packed & 0xFFFF)};
}

// Bit index of a single VER_* field flag; its condition lives at three times that.
int FieldIndex(DWORD field)
{
    int index = 0;
    while ((field >> index) != 1)
        ++index;
    return index;
}

BYTE ConditionOf(ULONGLONG mask, DWORD field)
{
    return static_cast<BYTE>((mask >> (FieldIndex(field) * 3)) & 0x7);
}

bool Compare(uint64_t actual, uint64_t wanted, BYTE condition)
{
    switch (condition) {
    case VER_EQUAL:
        return actual == wanted;
    case VER_GREATER:
        return actual > wanted;
    case VER_GREATER_EQUAL:
        return actual >= wanted;
    case VER_LESS:
        return actual < wanted;
    case VER_LESS_EQUAL:
        return actual <= wanted;
    default:
        return false;
    }
}

} // namespace

ULONGLONG VerSetConditionMask(ULONGLONG condition_mask, DWORD type_mask, BYTE condition)
{
    for (DWORD field = 1; field <= VER_SERVICEPACKMAJOR; field <<= 1) {
        if ((type_mask & field) == 0)
            continue;
        const int shift = FieldIndex(field) * 3;
        condition_mask &= ~(static_cast<ULONGLONG>(0x7) << shift);
        condition_mask |= static_cast<ULONGLONG>(condition & 0x7) << shift;
    }
    return condition_mask;
}

BOOL VerifyVersionInfoW(LPOSVERSIONINFOEXW version_info, DWORD type_mask, ULONGLONG condition_mask)
{
    if (version_info == nullptr || type_mask == 0 || condition_mask == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const ReportedVersion current = Current();
    // The version fields, most significant first; those asked for form one number.
    struct Field
    {
        DWORD flag;
        uint64_t actual;
        uint64_t wanted;
    };
    const Field fields[] = {
        {VER_MAJORVERSION, current.major, version_info->dwMajorVersion},
        {VER_MINORVERSION, current.minor, version_info->dwMinorVersion},
        {VER_SERVICEPACKMAJOR, current.service_pack_major, version_info->wServicePackMajor},
        {VER_SERVICEPACKMINOR, 0, version_info->wServicePackMinor},
    };
    bool ok = true;
    BYTE version_condition = 0;
    int order = 0; // -1, 0, 1: the reported version against the wanted one, fields in order
    for (const Field& field : fields) {
        if ((type_mask & field.flag) == 0)
            continue;
        if (version_condition == 0)
            version_condition = ConditionOf(condition_mask, field.flag);
        if (order == 0 && field.actual != field.wanted)
            order = field.actual < field.wanted ? -1 : 1;
    }
    if (version_condition != 0)
        ok = Compare(static_cast<uint64_t>(order + 1), 1, version_condition);
    if (ok && (type_mask & VER_BUILDNUMBER) != 0)
        ok = Compare(REPORTED_BUILD, version_info->dwBuildNumber,
                     ConditionOf(condition_mask, VER_BUILDNUMBER));
    if (ok && (type_mask & VER_PLATFORMID) != 0)
        ok = Compare(VER_PLATFORM_WIN32_NT, version_info->dwPlatformId,
                     ConditionOf(condition_mask, VER_PLATFORMID));
    if (!ok) {
        SetLastError(ERROR_OLD_WIN_VERSION);
        return FALSE;
    }
    return TRUE;
}

namespace platform {

void SetReportedWindowsVersion(DWORD major, DWORD minor, WORD service_pack_major)
{
    g_reported.store(Pack({major & 0xFFFFFF, minor & 0xFFFFFF, service_pack_major}));
}

void ResetReportedWindowsVersion()
{
    g_reported.store(Pack(WINDOWS_10));
}

} // namespace platform
