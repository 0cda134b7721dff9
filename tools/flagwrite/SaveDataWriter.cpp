#include "flagwrite/SaveDataWriter.h"

#include <sstream>
#include <stdexcept>

namespace tools {

namespace {

[[noreturn]] void Fail(int line, const std::string& what)
{
    throw std::invalid_argument("line " + std::to_string(line) + ": " + what);
}

long Number(std::istringstream& in, int line, long low, long high)
{
    std::string word;
    if (!(in >> word))
        Fail(line, "number missing");
    size_t used = 0;
    long number = 0;
    try {
        number = std::stol(word, &used, 0);
    } catch (const std::exception&) {
        Fail(line, "not a number: " + word);
    }
    if (used != word.size() || number < low || number > high)
        Fail(line, "number out of range: " + word);
    return number;
}

bool IsDamage(const std::string& keyword)
{
    return keyword == "truncate" || keyword == "patch";
}

uint32_t U32At(const std::vector<uint8_t>& file, size_t at)
{
    return static_cast<uint32_t>(file[at]) | static_cast<uint32_t>(file[at + 1]) << 8 |
           static_cast<uint32_t>(file[at + 2]) << 16 | static_cast<uint32_t>(file[at + 3]) << 24;
}

} // namespace

std::vector<uint8_t> WriteSaveDataFile(const std::vector<SaveDataRecord>& records)
{
    std::vector<uint8_t> out;
    PutU32(out, static_cast<uint32_t>(records.size()));
    for (const SaveDataRecord& record : records) {
        PutU32(out, static_cast<uint32_t>(record.group) << 16 | record.index);
        PutU32(out, static_cast<uint32_t>(record.values.size()));
        for (const FlagValue& value : record.values)
            PutValue(out, value);
    }
    return out;
}

bool ReadSaveDataFile(const std::vector<uint8_t>& file, std::vector<SaveDataRecord>& records)
{
    size_t at = 0;
    const auto u32 = [&](uint32_t& value) {
        if (file.size() - at < 4)
            return false;
        value = U32At(file, at);
        at += 4;
        return true;
    };
    uint32_t count = 0;
    if (!u32(count) || count > (file.size() - at) / 8)
        return false;
    records.assign(count, SaveDataRecord{});
    for (SaveDataRecord& record : records) {
        uint32_t key = 0, values = 0;
        if (!u32(key) || !u32(values) || values > (file.size() - at) / 12)
            return false;
        record.group = static_cast<uint16_t>(key >> 16);
        record.index = static_cast<uint16_t>(key);
        record.values.resize(values);
        for (FlagValue& value : record.values) {
            uint32_t integer = 0, length = 0;
            if (!u32(value.type) || !u32(integer) || !u32(length) || file.size() - at < length)
                return false;
            value.integer = static_cast<int32_t>(integer);
            value.text.assign(file.begin() + static_cast<long>(at),
                              file.begin() + static_cast<long>(at + length));
            at += length;
        }
    }
    return at == file.size();
}

std::vector<SaveDataRecord> ParseSaveDataListing(const std::string& listing)
{
    std::vector<SaveDataRecord> records;
    ForEachStatement(listing, [&](int line, const std::string& keyword, std::istringstream& in) {
        if (keyword == "record") {
            SaveDataRecord& record = records.emplace_back();
            record.group = static_cast<uint16_t>(Number(in, line, 0, 0xFFFF));
            record.index = static_cast<uint16_t>(Number(in, line, 0, 0xFFFF));
        } else if (keyword == "value") {
            if (records.empty())
                Fail(line, "value before any record");
            std::string operand;
            std::getline(in, operand);
            records.back().values.push_back(ParseValueOperand(operand, line));
        } else if (!IsDamage(keyword)) {
            Fail(line, "unknown statement \"" + keyword + "\"");
        }
    });
    return records;
}

std::string DumpSaveDataFile(const std::vector<uint8_t>& file)
{
    std::vector<SaveDataRecord> records;
    if (!ReadSaveDataFile(file, records))
        return "# not a whole save data file (" + std::to_string(file.size()) + " bytes)\n";
    std::ostringstream out;
    for (const SaveDataRecord& record : records) {
        out << "record " << record.group << " " << record.index << "\n";
        for (const FlagValue& value : record.values)
            out << "value " << ValueOperand(value) << "\n";
    }
    return out.str();
}

std::vector<uint8_t> ParseReadBufferListing(const std::string& listing)
{
    std::vector<uint8_t> bits;
    ForEachStatement(listing, [&](int line, const std::string& keyword, std::istringstream& in) {
        if (keyword == "messages") {
            bits.resize(static_cast<size_t>((Number(in, line, 0, 1L << 30) + 7) / 8));
        } else if (keyword == "read") {
            const long message = Number(in, line, 0, 1L << 30);
            if (static_cast<size_t>(message / 8) >= bits.size())
                Fail(line, "message past the size");
            bits[static_cast<size_t>(message / 8)] |= static_cast<uint8_t>(0x80 >> (message % 8));
        } else if (!IsDamage(keyword)) {
            Fail(line, "unknown statement \"" + keyword + "\"");
        }
    });
    return bits;
}

std::string DumpReadBufferFile(const std::vector<uint8_t>& file)
{
    std::ostringstream out;
    out << "messages " << file.size() * 8 << "\n";
    for (size_t n = 0; n < file.size() * 8; ++n) {
        if (file[n / 8] & (0x80 >> (n % 8)))
            out << "read " << n << "\n";
    }
    return out.str();
}

void ApplyDamage(const std::string& listing, std::vector<uint8_t>& file)
{
    ForEachStatement(listing, [&](int line, const std::string& keyword, std::istringstream& in) {
        if (keyword == "truncate") {
            const auto size = static_cast<size_t>(Number(in, line, 0, 1L << 30));
            if (size < file.size())
                file.resize(size);
        } else if (keyword == "patch") {
            auto at = static_cast<size_t>(Number(in, line, 0, 1L << 30));
            while (in >> std::ws && !in.eof()) {
                const auto byte = static_cast<uint8_t>(Number(in, line, 0, 255));
                if (at >= file.size())
                    file.resize(at + 1);
                file[at++] = byte;
            }
        }
    });
}

std::string WithoutDamage(const std::string& listing)
{
    std::ostringstream kept;
    std::istringstream lines(listing);
    std::string text;
    while (std::getline(lines, text)) {
        std::istringstream in(text);
        std::string keyword;
        in >> keyword;
        // Blank lines stay, so the parser's line numbers still match the listing's.
        kept << (IsDamage(keyword) ? std::string() : text) << "\n";
    }
    return kept.str();
}

std::vector<uint8_t> WriteGameFile(GameFileKind kind, const std::string& listing)
{
    const std::string plain = WithoutDamage(listing);
    std::vector<uint8_t> file;
    switch (kind) {
    case GameFileKind::Flag:
        file = WriteFlagFile(ParseFlagListing(plain));
        break;
    case GameFileKind::SaveData:
        file = WriteSaveDataFile(ParseSaveDataListing(plain));
        break;
    case GameFileKind::ReadBuffer:
        file = ParseReadBufferListing(plain);
        break;
    }
    ApplyDamage(listing, file);
    return file;
}

std::string DumpGameFile(GameFileKind kind, const std::vector<uint8_t>& file)
{
    switch (kind) {
    case GameFileKind::SaveData:
        return DumpSaveDataFile(file);
    case GameFileKind::ReadBuffer:
        return DumpReadBufferFile(file);
    case GameFileKind::Flag:
    default:
        return DumpFlagFile(file);
    }
}

} // namespace tools
