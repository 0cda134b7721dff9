#include "game/hints/CastNames.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "foundation/CLangTextTable.h"
#include "foundation/CStringBase.h"
#include "foundation/PlayerMessage.h"
#include "platform/user/MessageBoxApi.h"

namespace {

std::unique_ptr<CastNames> g_names; // loaded by GetCastNames, freed by ResetCastNames

// Length of the well-formed UTF-8 sequence at the start of text, 0 when it is not one.
size_t Utf8SequenceLength(std::span<const uint8_t> text)
{
    const uint8_t lead = text[0];
    size_t length = 0;
    uint32_t code = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((text[k] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (text[k] & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return overlong || surrogate || code > 0x10FFFF ? 0 : length;
}

bool IsUtf8WithoutNul(std::span<const uint8_t> text)
{
    for (size_t position = 0; position < text.size();) {
        if (text[position] == 0)
            return false;
        const size_t length = Utf8SequenceLength(text.subspan(position));
        if (length == 0)
            return false;
        position += length;
    }
    return true;
}

} // namespace

std::string HeroineNameKey(uint32_t heroine, bool given)
{
    char key[32];
    std::snprintf(key, sizeof(key), "heroine%02u.%s", heroine, given ? "given" : "family");
    return key;
}

std::optional<CastNames> CastNames::Parse(std::span<const uint8_t> file, size_t* line)
{
    if (line != nullptr)
        *line = 0;
    if (file.size() > CAST_NAMES_MAX_BYTES)
        return std::nullopt;
    if (file.size() >= 3 && file[0] == 0xEF && file[1] == 0xBB && file[2] == 0xBF)
        file = file.subspan(3);
    CastNames names;
    size_t number = 0;
    while (!file.empty()) {
        ++number;
        size_t end = 0;
        while (end < file.size() && file[end] != '\n')
            ++end;
        std::span<const uint8_t> text = file.first(end);
        file = file.subspan(end < file.size() ? end + 1 : end);
        if (!text.empty() && text.back() == '\r')
            text = text.first(text.size() - 1);
        if (text.empty())
            continue;
        size_t tab = 0;
        while (tab < text.size() && text[tab] != '\t')
            ++tab;
        if (!IsUtf8WithoutNul(text) || tab == 0 || tab == text.size()) {
            if (line != nullptr)
                *line = number;
            return std::nullopt;
        }
        std::string key(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(tab));
        std::string value(text.begin() + static_cast<std::ptrdiff_t>(tab) + 1, text.end());
        names.m_names.emplace(std::move(key), CStringUTF8(std::move(value)));
    }
    return names;
}

CStringUTF8 CastNames::Get(std::string_view key) const
{
    const auto found = m_names.find(key);
    return found != m_names.end() ? found->second : CStringUTF8();
}

const CastNames& GetCastNames()
{
    if (g_names != nullptr)
        return *g_names;
    std::vector<uint8_t> file;
    CStringUTF8 failure;
    try {
        file = LoadMapFile(CAST_NAMES_FILE);
    } catch (const CStringBase&) {
        failure.Format("%s が存在しません", CAST_NAMES_FILE);
    }
    std::optional<CastNames> names;
    if (failure.IsEmpty()) {
        size_t line = 0;
        names = CastNames::Parse(file, &line);
        if (!names && line != 0)
            failure.Format("%s が壊れています (%zu 行目)", CAST_NAMES_FILE, line);
        else if (!names)
            failure.Format("%s が壊れています", CAST_NAMES_FILE);
    }
    g_names = std::make_unique<CastNames>(names ? std::move(*names) : CastNames());
    if (!failure.IsEmpty())
        ShowPlayerMessage(MB_ICONERROR, failure);
    return *g_names;
}

void ResetCastNames()
{
    g_names.reset();
}
