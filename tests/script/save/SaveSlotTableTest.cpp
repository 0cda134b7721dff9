// The packed slot header on a hex dump, the comment field's limits, and the table's pointers,
// counts and clears at their offsets.

#include "script/save/SaveSlotTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Hex(const uint8_t* bytes, size_t count)
{
    static const char* digits = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

} // namespace

TEST(SaveSlotTableTest, HeaderPacksLittleEndianWithoutGaps)
{
    SaveSlotHeader header;
    header.Used = 1;
    header.GameDate = 1301;
    header.Weekday = 6;
    header.GameTime = 2359;
    header.Money = 0xBEEF;
    header.Year = 2026;
    header.Month = 12;
    header.Day = 7;
    header.Hour = 15;
    header.Minute = 4;
    header.Second = 59;
    header.SetComment("Ab");
    std::vector<uint8_t> table(SLOT_TABLE_SIZE, 0xEE);
    SaveSlotTable view(table);
    view.Put(2, header);
    const uint8_t* at = table.data() + 2 * SLOT_HEADER_SIZE;
    EXPECT_EQ(Hex(at, 21), "01" "1505" "0600" "3709" "efbe" "ea07" "0c00" "0700" "0f00" "0400" "3b00");
    EXPECT_EQ(Hex(at + 21, 6), "410062000000");
    EXPECT_EQ(Hex(at + 21 + 44, 38), std::string(76, 'e')) << "the reserved bytes stay as they were";
    EXPECT_EQ(table[2 * SLOT_HEADER_SIZE - 1], 0xEE); // the neighbours are untouched
    EXPECT_EQ(table[3 * SLOT_HEADER_SIZE], 0xEE);
    const SaveSlotHeader back = view.Get(2);
    EXPECT_EQ(back.Money, 0xBEEF);
    EXPECT_STREQ(back.GetComment().GetText(), "Ab");
}

TEST(SaveSlotTableTest, CommentKeepsAtMost21UnitsAndItsNul)
{
    struct Case
    {
        std::u16string text;
        size_t kept; // units stored
    };
    const std::u16string thirty(30, u'あ');
    std::u16string pair_at_end(20, u'x');
    pair_at_end += u"\U0001F600"; // units 21 and 22: the pair does not fit
    const Case cases[] = {{u"", 0}, {thirty, 21}, {std::u16string(21, u'y'), 21}, {pair_at_end, 20}};
    for (const Case& c : cases) {
        SaveSlotHeader header;
        header.Comment.fill(0xFF);
        header.SetComment(CStringUTF8(c.text.c_str()));
        for (size_t i = 0; i < SLOT_COMMENT_BYTES / 2; ++i) {
            const char16_t unit = static_cast<char16_t>(header.Comment[2 * i] | header.Comment[2 * i + 1] << 8);
            EXPECT_EQ(unit, i < c.kept ? c.text[i] : 0) << "unit " << i << " of a " << c.text.size() << "-unit text";
        }
    }
}

TEST(SaveSlotTableTest, PointersCountsAndClears)
{
    std::vector<uint8_t> table(SLOT_TABLE_SIZE);
    SaveSlotTable view(table);
    view.SetLastSaved(0x1234);
    view.SetContinue(201);
    EXPECT_EQ(table[31003], 0x34);
    EXPECT_EQ(table[31004], 0x12);
    EXPECT_EQ(table[31005], 201);
    EXPECT_EQ(view.GetContinue(), 201);

    for (uint32_t slot : {101u, 102u, 104u, 300u})
        table[slot * SLOT_HEADER_SIZE] = 1;
    EXPECT_EQ(view.CountUsed(0), 0);
    EXPECT_EQ(view.CountUsed(1), 2); // the run stops at the first empty slot
    EXPECT_EQ(view.CountUsed(2), 0);

    std::fill(table.begin() + 101 * SLOT_HEADER_SIZE, table.begin() + 102 * SLOT_HEADER_SIZE, 0xAB);
    view.Clear(101);
    const uint8_t* at = table.data() + 101 * SLOT_HEADER_SIZE;
    EXPECT_EQ(at[0], 0);
    EXPECT_EQ(Hex(at + 21, 22), std::string(44, '0'));
    EXPECT_EQ(at[21 + 22], 0xAB); // the rest of the comment stays
    EXPECT_EQ(at[1], 0xAB);

    // Headers outside 0-300 and a short table are never written.
    std::vector<uint8_t> short_table(SLOT_TABLE_SIZE - 1);
    SaveSlotTable small(short_table);
    small.Put(0, SaveSlotHeader{1});
    small.SetContinue(5);
    EXPECT_EQ(short_table, std::vector<uint8_t>(SLOT_TABLE_SIZE - 1));
    view.Put(301, SaveSlotHeader{1});
    EXPECT_FALSE(view.IsUsed(301));
}
