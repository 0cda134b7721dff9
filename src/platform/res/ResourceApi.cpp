#include "platform/res/ResourceApi.h"

#include <optional>
#include <string>

#include "platform/kernel/ErrorApi.h"
#include "platform/res/ResourceRegistry.h"

namespace {

// An integer identifier, or a text that is "#" and decimal digits; nullopt for other names.
std::optional<uint16_t> ResourceId(LPCWSTR name)
{
    const auto value = reinterpret_cast<uintptr_t>(name);
    if (IS_INTRESOURCE(value))
        return static_cast<uint16_t>(value);
    if (name[0] != u'#' || name[1] == 0)
        return std::nullopt;
    uint32_t id = 0;
    for (LPCWSTR c = name + 1; *c != 0; ++c) {
        if (*c < u'0' || *c > u'9')
            return std::nullopt;
        id = id * 10 + static_cast<uint32_t>(*c - u'0');
        if (id > 0xFFFF)
            return std::nullopt;
    }
    return static_cast<uint16_t>(id);
}

std::u16string TypeName(LPCWSTR type)
{
    const auto value = reinterpret_cast<uintptr_t>(type);
    if (IS_INTRESOURCE(value)) {
        const std::string digits = std::to_string(value);
        return u"#" + std::u16string(digits.begin(), digits.end());
    }
    return std::u16string(type);
}

const platform::ResourceRecord* RecordOf(HRSRC resource)
{
    return reinterpret_cast<const platform::ResourceRecord*>(resource);
}

} // namespace

HRSRC FindResourceW(HMODULE, LPCWSTR name, LPCWSTR type)
{
    const std::optional<uint16_t> id = name ? ResourceId(name) : std::nullopt;
    const platform::ResourceRecord* record =
        id && type ? platform::FindResourceRecord(TypeName(type), *id) : nullptr;
    if (!record) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<platform::ResourceRecord*>(record));
}

HGLOBAL LoadResource(HMODULE, HRSRC resource)
{
    return reinterpret_cast<HGLOBAL>(resource);
}

DWORD SizeofResource(HMODULE, HRSRC resource)
{
    return resource ? static_cast<DWORD>(RecordOf(resource)->bytes.size()) : 0;
}

LPVOID LockResource(HGLOBAL resource_data)
{
    if (!resource_data)
        return nullptr;
    const auto* record = reinterpret_cast<const platform::ResourceRecord*>(resource_data);
    return const_cast<uint8_t*>(record->bytes.data());
}
