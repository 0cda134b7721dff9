#include "slotwrite/SlotTableWriter.h"

#include <codecvt>
#include <locale>
#include <sstream>
#include <stdexcept>

#include "flagwrite/FlagFileWriter.h"

namespace tools {

namespace {

constexpr size_t HEADER_BYTES = 103;
constexpr size_t HEADER_COUNT = 301;

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t value)
{
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

uint16_t Get16(const std::vector<uint8_t>& in, size_t at)
{
    return static_cast<uint16_t>(in[at] | in[at + 1] << 8);
}

std::u16string FromUtf8(const std::string& text)
{
    std::wstring_convert<std::codecvt_utf8_utf16<char16_t>, char16_t> convert;
    return convert.from_bytes(text);
}

std::string ToUtf8(const std::u16string& text)
{
    std::wstring_convert<std::codecvt_utf8_utf16<char16_t>, char16_t> convert;
    return convert.to_bytes(text);
}

} // namespace

SlotTableListing ParseSlotTableListing(const std::string& listing)
{
    SlotTableListing table;
    ForEachStatement(listing, [&](int line, const std::string& keyword, std::istringstream& in) {
        auto fail = [line](const std::string& what) {
            throw std::invalid_argument("line " + std::to_string(line) + ": " + what);
        };
        if (keyword == "last" || keyword == "continue") {
            uint32_t slot = 0;
            if (!(in >> slot) || slot > 0xFFFF)
                fail("a slot number");
            (keyword == "last" ? table.last_saved : table.continue_slot) = static_cast<uint16_t>(slot);
            return;
        }
        if (keyword != "slot")
            fail("unknown statement " + keyword);
        SlotListingHeader header;
        if (!(in >> header.slot) || header.slot >= HEADER_COUNT)
            fail("a slot from 0 to 300");
        std::string field;
        while (in >> field) {
            auto read16 = [&](uint16_t& value) {
                uint32_t number = 0;
                if (!(in >> number) || number > 0xFFFF)
                    fail(field + " needs a 16-bit number");
                value = static_cast<uint16_t>(number);
            };
            if (field == "date")
                read16(header.date);
            else if (field == "weekday")
                read16(header.weekday);
            else if (field == "time")
                read16(header.time);
            else if (field == "money")
                read16(header.money);
            else if (field == "saved")
                for (uint16_t& part : header.saved)
                    read16(part);
            else if (field == "empty")
                header.used = 0;
            else if (field == "comment") {
                std::string rest;
                std::getline(in >> std::ws, rest);
                header.comment = FromUtf8(rest);
            } else
                fail("unknown field " + field);
        }
        table.headers.push_back(header);
    });
    return table;
}

std::vector<uint8_t> WriteSlotTable(const SlotTableListing& table)
{
    std::vector<uint8_t> out(SLOT_TABLE_BYTES);
    for (const SlotListingHeader& header : table.headers) {
        const size_t at = HEADER_BYTES * header.slot;
        out[at] = header.used;
        const uint16_t words[] = {header.date,     header.weekday,  header.time,     header.money,
                                  header.saved[0], header.saved[1], header.saved[2], header.saved[3],
                                  header.saved[4], header.saved[5]};
        for (size_t i = 0; i < 10; ++i)
            Put16(out, at + 1 + 2 * i, words[i]);
        for (size_t i = 0; i < header.comment.size() && i < 21; ++i)
            Put16(out, at + 21 + 2 * i, header.comment[i]);
    }
    Put16(out, 31003, table.last_saved);
    Put16(out, 31005, table.continue_slot);
    return out;
}

std::vector<uint8_t> WriteSystemFlagFile(const SlotTableListing& table, int32_t v53, int32_t v56, int32_t v57)
{
    FlagFileContents contents;
    contents.bytes = WriteSlotTable(table);
    contents.variables.resize(58);
    contents.variables[53].integer = v53;
    contents.variables[56].integer = v56;
    contents.variables[57].integer = v57;
    return WriteFlagFile(contents);
}

std::string DumpSlotTable(const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> in(bytes);
    in.resize(std::max(in.size(), SLOT_TABLE_BYTES));
    std::ostringstream out;
    for (size_t slot = 0; slot < HEADER_COUNT; ++slot) {
        const size_t at = HEADER_BYTES * slot;
        if (in[at] == 0)
            continue;
        out << "slot " << slot << " date " << Get16(in, at + 1) << " weekday " << Get16(in, at + 3) << " time "
            << Get16(in, at + 5) << " money " << Get16(in, at + 7) << " saved";
        for (size_t i = 0; i < 6; ++i)
            out << ' ' << Get16(in, at + 9 + 2 * i);
        std::u16string comment;
        for (size_t i = 0; i < 22 && Get16(in, at + 21 + 2 * i) != 0; ++i)
            comment.push_back(Get16(in, at + 21 + 2 * i));
        if (!comment.empty())
            out << " comment " << ToUtf8(comment);
        out << '\n';
    }
    out << "last " << Get16(in, 31003) << "\ncontinue " << Get16(in, 31005) << '\n';
    return out.str();
}

std::vector<uint8_t> WriteThumbnailFile(uint32_t (*colour)(int x, int y))
{
    std::vector<uint8_t> out;
    out.reserve(THUMBNAIL_FILE_BYTES);
    for (int y = 107; y >= 0; --y)
        for (int x = 0; x < 192; ++x) {
            const uint32_t c = colour(x, y);
            out.insert(out.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8),
                                   static_cast<uint8_t>(c >> 16), 0});
        }
    return out;
}

std::vector<uint8_t> ThumbnailToRgba(const std::vector<uint8_t>& file)
{
    if (file.size() != THUMBNAIL_FILE_BYTES)
        return {};
    std::vector<uint8_t> rgba;
    rgba.reserve(THUMBNAIL_FILE_BYTES);
    for (int y = 0; y < 108; ++y) {
        const uint8_t* row = file.data() + static_cast<size_t>(107 - y) * 192 * 4;
        for (int x = 0; x < 192; ++x)
            rgba.insert(rgba.end(), {row[4 * x + 2], row[4 * x + 1], row[4 * x], 255});
    }
    return rgba;
}

} // namespace tools
