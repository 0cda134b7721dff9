#include "flagwrite/FlagFileWriter.h"

#include <climits>
#include <sstream>
#include <stdexcept>

namespace tools {

namespace {

constexpr size_t NAME_FIELD_SIZE = 260;

void PutValues(std::vector<uint8_t>& out, const std::vector<FlagValue>& values)
{
    PutU32(out, static_cast<uint32_t>(values.size()));
    for (const FlagValue& value : values)
        PutValue(out, value);
}

// A plain reader of our own, independent of the engine's.
class Reader
{
public:
    explicit Reader(const std::vector<uint8_t>& bytes)
        : m_bytes(bytes)
    {}
    bool U32(uint32_t& value)
    {
        if (m_bytes.size() - m_at < 4)
            return false;
        value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | m_bytes[m_at + static_cast<size_t>(i)];
        m_at += 4;
        return true;
    }
    bool Take(size_t count, std::string& out)
    {
        if (m_bytes.size() - m_at < count)
            return false;
        out.assign(m_bytes.begin() + static_cast<long>(m_at),
                   m_bytes.begin() + static_cast<long>(m_at + count));
        m_at += count;
        return true;
    }
    bool Value(FlagValue& value)
    {
        uint32_t integer = 0, length = 0;
        return U32(value.type) && U32(integer) && U32(length) &&
               (value.integer = static_cast<int32_t>(integer), true) && Take(length, value.text);
    }
    bool Values(std::vector<FlagValue>& values)
    {
        uint32_t count = 0;
        if (!U32(count) || count > (m_bytes.size() - m_at) / 12)
            return false;
        values.resize(count);
        for (FlagValue& value : values) {
            if (!Value(value))
                return false;
        }
        return true;
    }
    template <typename T>
    bool Array(std::vector<T>& array)
    {
        uint32_t count = 0;
        std::string raw;
        if (!U32(count) || !Take(static_cast<size_t>(count) * sizeof(T), raw))
            return false;
        array.resize(count);
        for (size_t i = 0; i < count; ++i)
            array[i] = sizeof(T) == 1 ? static_cast<T>(static_cast<uint8_t>(raw[i]))
                                      : static_cast<T>(static_cast<uint8_t>(raw[2 * i]) |
                                                       static_cast<uint8_t>(raw[2 * i + 1]) << 8);
        return true;
    }
    size_t At() const { return m_at; }
    bool AtEnd() const { return m_at == m_bytes.size(); }

private:
    const std::vector<uint8_t>& m_bytes;
    size_t m_at = 0;
};

[[noreturn]] void Fail(int line, const std::string& what)
{
    throw std::invalid_argument("line " + std::to_string(line) + ": " + what);
}

long ReadNumber(std::istringstream& in, int line, long low, long high)
{
    long number = 0;
    if (!(in >> number) || number < low || number > high)
        Fail(line, "number out of range");
    return number;
}

std::string RestOfLine(std::istringstream& in)
{
    std::string rest;
    std::getline(in, rest);
    const size_t start = rest.find_first_not_of(" \t\r");
    if (start == std::string::npos)
        return std::string();
    const size_t end = rest.find_last_not_of(" \t\r");
    return rest.substr(start, end - start + 1);
}

FlagValue ReadValue(std::istringstream& in, int line)
{
    return ParseValueOperand(RestOfLine(in), line);
}

FlagValue ReadValueWords(std::istringstream& in, int line)
{
    FlagValue value;
    std::string word;
    const std::streampos start = in.tellg();
    if (in >> word && word == "text") {
        value.type = 1;
        value.text = RestOfLine(in);
        return value;
    }
    in.clear();
    in.seekg(start);
    value.integer = static_cast<int32_t>(ReadNumber(in, line, INT32_MIN, INT32_MAX));
    return value;
}

template <typename Array>
typename Array::reference At(Array& array, std::istringstream& in, int line)
{
    const long index = ReadNumber(in, line, 0, LONG_MAX);
    if (static_cast<size_t>(index) >= array.size())
        Fail(line, "index past the array's size");
    return array[static_cast<size_t>(index)];
}

} // namespace

void ForEachStatement(const std::string& listing,
                      const std::function<void(int line, const std::string& keyword, std::istringstream& in)>& action)
{
    std::istringstream lines(listing);
    std::string text;
    int line = 0;
    while (std::getline(lines, text)) {
        ++line;
        if (const size_t hash = text.find('#'); hash != std::string::npos)
            text.erase(hash);
        std::istringstream in(text);
        std::string keyword;
        if (in >> keyword)
            action(line, keyword, in);
    }
}

void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutValue(std::vector<uint8_t>& out, const FlagValue& value)
{
    PutU32(out, value.type);
    PutU32(out, static_cast<uint32_t>(value.integer));
    PutU32(out, static_cast<uint32_t>(value.text.size()));
    out.insert(out.end(), value.text.begin(), value.text.end());
}

FlagValue ParseValueOperand(const std::string& operand, int line)
{
    std::istringstream in(operand);
    return ReadValueWords(in, line);
}

std::string ValueOperand(const FlagValue& value)
{
    if (value.type == 1)
        return "text " + value.text;
    return std::to_string(value.integer);
}

bool ReadFlagFile(const std::vector<uint8_t>& file, FlagFileContents& contents)
{
    Reader reader(file);
    std::string name;
    if (!reader.Take(NAME_FIELD_SIZE, name))
        return false;
    contents.name = name.substr(0, name.find('\0'));
    return reader.Values(contents.values) && reader.Array(contents.flags) && reader.Array(contents.words) &&
           reader.Values(contents.variables) && reader.Array(contents.bytes) && reader.AtEnd();
}

std::string DumpFlagFile(const std::vector<uint8_t>& file)
{
    FlagFileContents contents;
    if (!ReadFlagFile(file, contents))
        return "# not a whole flag file (" + std::to_string(file.size()) + " bytes)\n";
    std::ostringstream out;
    if (!contents.name.empty())
        out << "name " << contents.name << "\n";
    // Each array: its size, then its elements that are not zero or empty.
    const auto values = [&out](const char* size, const char* element, const std::vector<FlagValue>& array) {
        out << size << " " << array.size() << "\n";
        for (size_t i = 0; i < array.size(); ++i) {
            if (array[i].type != 0 || array[i].integer != 0 || !array[i].text.empty())
                out << element << " " << i << " " << ValueOperand(array[i]) << "\n";
        }
    };
    const auto numbers = [&out](const char* size, const char* element, const auto& array) {
        out << size << " " << array.size() << "\n";
        for (size_t i = 0; i < array.size(); ++i) {
            if (array[i] != 0)
                out << element << " " << i << " " << unsigned{array[i]} << "\n";
        }
    };
    values("values", "value", contents.values);
    numbers("flags", "flag", contents.flags);
    numbers("words", "word", contents.words);
    values("variables", "variable", contents.variables);
    numbers("bytes", "byte", contents.bytes);
    return out.str();
}

std::vector<uint8_t> WriteFlagFile(const FlagFileContents& contents)
{
    std::vector<uint8_t> out(NAME_FIELD_SIZE, 0);
    for (size_t i = 0; i < contents.name.size() && i < NAME_FIELD_SIZE; ++i)
        out[i] = static_cast<uint8_t>(contents.name[i]);
    PutValues(out, contents.values);
    PutU32(out, static_cast<uint32_t>(contents.flags.size()));
    out.insert(out.end(), contents.flags.begin(), contents.flags.end());
    PutU32(out, static_cast<uint32_t>(contents.words.size()));
    for (uint16_t word : contents.words) {
        out.push_back(static_cast<uint8_t>(word));
        out.push_back(static_cast<uint8_t>(word >> 8));
    }
    PutValues(out, contents.variables);
    PutU32(out, static_cast<uint32_t>(contents.bytes.size()));
    out.insert(out.end(), contents.bytes.begin(), contents.bytes.end());
    return out;
}

FlagFileContents ParseFlagListing(const std::string& listing)
{
    FlagFileContents contents;
    ForEachStatement(listing, [&contents](int line, const std::string& keyword, std::istringstream& in) {
        constexpr long MAX_SIZE = 1 << 24;
        if (keyword == "name")
            contents.name = RestOfLine(in);
        else if (keyword == "values")
            contents.values.resize(static_cast<size_t>(ReadNumber(in, line, 0, MAX_SIZE)));
        else if (keyword == "flags")
            contents.flags.resize(static_cast<size_t>(ReadNumber(in, line, 0, MAX_SIZE)));
        else if (keyword == "words")
            contents.words.resize(static_cast<size_t>(ReadNumber(in, line, 0, MAX_SIZE)));
        else if (keyword == "variables")
            contents.variables.resize(static_cast<size_t>(ReadNumber(in, line, 0, MAX_SIZE)));
        else if (keyword == "bytes")
            contents.bytes.resize(static_cast<size_t>(ReadNumber(in, line, 0, MAX_SIZE)));
        else if (keyword == "value") {
            FlagValue& target = At(contents.values, in, line);
            target = ReadValue(in, line);
        } else if (keyword == "variable") {
            FlagValue& target = At(contents.variables, in, line);
            target = ReadValue(in, line);
        } else if (keyword == "flag") {
            uint8_t& target = At(contents.flags, in, line);
            target = static_cast<uint8_t>(ReadNumber(in, line, 0, 255));
        } else if (keyword == "word") {
            uint16_t& target = At(contents.words, in, line);
            target = static_cast<uint16_t>(ReadNumber(in, line, 0, 65535));
        } else if (keyword == "byte") {
            uint8_t& target = At(contents.bytes, in, line);
            target = static_cast<uint8_t>(ReadNumber(in, line, 0, 255));
        } else {
            Fail(line, "unknown statement \"" + keyword + "\"");
        }
    });
    return contents;
}

} // namespace tools
