#include <array>
#include <string>
#include <utility>

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/FullWidthApi.h"

namespace {

// U+FF61 to U+FF9F.
constexpr std::array<char16_t, 63> HALF_KATAKANA{
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
    0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
    0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
    0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};
constexpr char16_t VOICED = 0xFF9E;
constexpr char16_t SEMI_VOICED = 0xFF9F;

// The full-width kana with the mark folded in, or 0 when the kana takes none.
char16_t Fold(char16_t kana, char16_t mark)
{
    const bool voiceable = (kana >= 0x30AB && kana <= 0x30C2 && kana % 2 == 1) ||
                           (kana >= 0x30C4 && kana <= 0x30C8 && kana % 2 == 0);
    const bool h_row = kana >= 0x30CF && kana <= 0x30DB && (kana - 0x30CF) % 3 == 0;
    if (mark == VOICED) {
        if (kana == 0x30A6)
            return 0x30F4;
        if (voiceable || h_row)
            return static_cast<char16_t>(kana + 1);
    } else if (mark == SEMI_VOICED && h_row) {
        return static_cast<char16_t>(kana + 2);
    }
    return 0;
}

std::u16string MapFullWidth(const char16_t* source, size_t length)
{
    std::u16string out;
    for (size_t i = 0; i < length; ++i) {
        const char16_t c = source[i];
        if (c == 0x20) {
            out += u'\u3000';
        } else if (c >= 0x21 && c <= 0x7E) {
            out += static_cast<char16_t>(c - 0x21 + 0xFF01);
        } else if (c == 0xA2 || c == 0xA3 || c == 0xA5 || c == 0xA6 || c == 0xAC || c == 0xAF) {
            constexpr std::array<std::pair<char16_t, char16_t>, 6> signs{{{0xA2, 0xFFE0},
                                                                          {0xA3, 0xFFE1},
                                                                          {0xAC, 0xFFE2},
                                                                          {0xAF, 0xFFE3},
                                                                          {0xA6, 0xFFE4},
                                                                          {0xA5, 0xFFE5}}};
            for (const auto& [half, full] : signs)
                if (half == c)
                    out += full;
        } else if (c >= 0xFF61 && c <= 0xFF9F) {
            const char16_t kana = HALF_KATAKANA[c - 0xFF61];
            const char16_t folded = i + 1 < length ? Fold(kana, source[i + 1]) : 0;
            out += folded != 0 ? folded : kana;
            if (folded != 0)
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

int LCMapStringW(LCID, DWORD flags, LPCWSTR source, int source_length, LPWSTR destination,
                 int destination_length)
{
    if (flags != LCMAP_FULLWIDTH || source == nullptr || source_length == 0 || destination_length < 0 ||
        (destination_length > 0 && destination == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t length = 0;
    if (source_length < 0) {
        while (source[length] != 0)
            ++length;
        ++length; // the 0 unit is mapped too
    } else {
        length = static_cast<size_t>(source_length);
    }
    const std::u16string mapped = MapFullWidth(source, length);
    if (destination_length == 0)
        return static_cast<int>(mapped.size());
    if (mapped.size() > static_cast<size_t>(destination_length)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    mapped.copy(destination, mapped.size());
    return static_cast<int>(mapped.size());
}
