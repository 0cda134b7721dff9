#include "screens/system/NamePalette.h"

#include <string_view>

#include "screens/system/KanjiRows.h"

namespace {

constexpr char32_t BLANK = U'\u3000';

CStringUTF8 Row(std::u32string text, char32_t blank = BLANK)
{
    text.resize(PALETTE_COLUMNS, blank);
    return FromCodePoints(text);
}

std::u32string Run(char32_t first, char32_t last)
{
    std::u32string text;
    for (char32_t c = first; c <= last; ++c)
        text += c;
    return text;
}

} // namespace

std::vector<CStringUTF8> KanaPaletteRows()
{
    // A dash stands for a blank cell.
    static constexpr std::u32string_view ROWS[12] = {
        U"あいうえお-かきくけこ-さしすせそ-", U"たちつてと-なにぬねの-はひふへほ-",
        U"まみむめも-や-ゆ-よ-らりるれろ-",   U"わゐゑをん-がぎぐげご-ざじずぜぞ-",
        U"だぢづでど-ばびぶべぼ-ぱぴぷぺぽ-", U"ぁぃぅぇぉ-っゃゅょゎ-・ー～---",
        U"アイウエオ-カキクケコ-サシスセソ-", U"タチツテト-ナニヌネノ-ハヒフヘホ-",
        U"マミムメモ-ヤ-ユ-ヨ-ラリルレロ-",   U"ワヰヱヲン-ガギグゲゴ-ザジズゼゾ-",
        U"ダヂヅデド-バビブベボ-パピプペポ-", U"ァィゥェォ-ッャュョヮ-ヴヵヶ---"};
    std::vector<CStringUTF8> rows;
    for (std::u32string_view row : ROWS) {
        std::u32string text(row);
        for (char32_t& c : text)
            if (c == U'-')
                c = BLANK;
        rows.push_back(Row(text));
    }
    return rows;
}

std::vector<CStringUTF8> LetterPaletteRows(int32_t language)
{
    static constexpr std::u32string_view SYMBOLS = U"－：；（）！＃＄％＆";
    std::vector<CStringUTF8> rows(PALETTE_SCREEN_ROWS);
    rows[0] = Row(Run(U'Ａ', U'Ｒ'));
    rows[1] = Row(Run(U'Ｓ', U'Ｚ'));
    rows[2] = Row(Run(U'ａ', U'ｒ'));
    rows[3] = Row(Run(U'ｓ', U'ｚ'));
    rows[4] = Row(Run(U'０', U'９'));
    if (language == PALETTE_HALF_WIDTH_LANGUAGE) {
        rows[5] = FromCodePoints(std::u32string(SYMBOLS) + U"\u3000\u3000\u3000\u3000\u3000\u3000");
    } else {
        rows[5] = Row(U"￥" + std::u32string(SYMBOLS) + U"♪");
        rows[6] = Row(U"☆★○●◎◇◆□■△▲▽▼");
    }
    return rows;
}

std::vector<CStringUTF8> HalfLetterPaletteRows()
{
    std::vector<CStringUTF8> rows(PALETTE_SCREEN_ROWS);
    rows[0] = "ABCDEFGHIJKLMNOPQR";
    rows[1] = Row(U"STUVWXYZ", U' ');
    rows[2] = "abcdefghijklmnopqr";
    rows[3] = Row(U"stuvwxyz", U' ');
    rows[4] = Row(U"0123456789", U' ');
    rows[5] = Row(U"-:;()!#$%&", U' ');
    return rows;
}

std::vector<CStringUTF8> KanjiPaletteRows()
{
    std::vector<CStringUTF8> rows;
    rows.reserve(KANJI_ROW_COUNT);
    for (std::string_view row : KANJI_ROWS)
        rows.emplace_back(std::string(row));
    return rows;
}

const char* KanjiGroupReading(int32_t row)
{
    for (const KanjiGroup& group : KANJI_GROUPS)
        if (group.first_row == row)
            return group.reading.data();
    return nullptr;
}

std::u32string ToCodePoints(const CStringUTF8& text)
{
    std::u32string out;
    const std::string bytes = text.GetStdString();
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const size_t size = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = size == 1 ? lead : size == 2 ? lead & 0x1F : size == 3 ? lead & 0x0F : lead & 0x07;
        for (size_t k = 1; k < size && i + k < bytes.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        out += c;
        i += size;
    }
    return out;
}

CStringUTF8 FromCodePoints(const std::u32string& text)
{
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return CStringUTF8(out);
}
