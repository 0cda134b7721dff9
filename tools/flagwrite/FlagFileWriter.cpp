#include "flagwrite/FlagFileWriter.h"

#include <climits>
#include <sstream>
#include <stdexcept>

namespace tools {

namespace {

constexpr size_t NAME_FIELD_SIZE = 260;

void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutValues(std::vector<uint8_t>& out, const std::vector<FlagValue>& values)
{
    PutU32(out, static_cast<uint32_t>(values.size()));
    for (const FlagValue& value : values) {
        PutU32(out, value.type);
        PutU32(out, static_cast<uint32_t>(value.integer));
        PutU32(out, static_cast<uint32_t>(value.text.size()));
        out.insert(out.end(), value.text.begin(), value.text.end());
    }
}

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
    std::istringstream lines(listing);
    std::string text;
    int line = 0;
    while (std::getline(lines, text)) {
        ++line;
        if (const size_t hash = text.find('#'); hash != std::string::npos)
            text.erase(hash);
        std::istringstream in(text);
        std::string keyword;
        if (!(in >> keyword))
            continue;
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
    }
    return contents;
}

} // namespace tools
