#include "mesasm/MesDisassembler.h"

#include <cstdio>
#include <map>

namespace tools {

namespace {

bool IsLeadByte(uint8_t byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xEF);
}

const std::map<uint8_t, const char*> s_names = {
    {0x00, "end"},    {0x01, "return"},   {0x02, "ldflag"},   {0x03, "ldword"},   {0x04, "ldvalue"},
    {0x05, "ldvar"},  {0x06, "ldlocal"},  {0x07, "ldbyte"},   {0x08, "ldbyte16"}, {0x09, "ldbyte32"},
    {0x0C, "stflag"}, {0x0D, "stword"},   {0x0E, "stvalue"},  {0x0F, "stvar"},    {0x10, "stlocal"},
    {0x11, "stbyte"}, {0x12, "stbyte16"}, {0x13, "stbyte32"}, {0x14, "jz"},       {0x15, "jmp"},
    {0x16, "func"},   {0x17, "call"},     {0x18, "lib"},      {0x19, "resume"},   {0x1A, "choicepoint"},
    {0x1B, "branch"}, {0x32, "push"},     {0x34, "add"},      {0x35, "sub"},      {0x36, "mul"},
    {0x37, "div"},    {0x38, "mod"},      {0x39, "rand"},     {0x3A, "and"},      {0x3B, "or"},
    {0x3C, "band"},   {0x3D, "bor"},      {0x3E, "lt"},       {0x3F, "gt"},       {0x40, "le"},
    {0x41, "ge"},     {0x42, "eq"},       {0x43, "ne"},       {0xFE, "drop3"},    {0xFF, "line"}};

std::string Hex(uint32_t value, int digits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
    return buffer;
}

} // namespace

std::string DisassembleScript(const std::vector<uint8_t>& file)
{
    std::string out;
    auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(file[at]) | static_cast<uint32_t>(file[at + 1]) << 8 |
               static_cast<uint32_t>(file[at + 2]) << 16 | static_cast<uint32_t>(file[at + 3]) << 24;
    };
    if (file.size() < 8)
        return "(" + std::to_string(file.size()) + " bytes: shorter than the header)\n";
    const uint64_t resume_count = u32(0);
    const uint64_t choice_count = u32(4);
    const uint64_t start = 8 + 4 * (resume_count + choice_count);
    if (start > file.size())
        return "(tables of " + std::to_string(resume_count) + " + " + std::to_string(choice_count) +
               " entries run past the end of " + std::to_string(file.size()) + " bytes)\n";
    for (uint64_t k = 0; k < resume_count + choice_count; ++k) {
        out +=
            k < resume_count ? ".resume " + std::to_string(k) : ".choice " + std::to_string(k - resume_count);
        out += " -> " + Hex(u32(8 + 4 * static_cast<size_t>(k)), 6) + "\n";
    }
    const uint8_t* code = file.data() + start;
    const size_t size = file.size() - static_cast<size_t>(start);
    size_t pos = 0;
    auto next = [&]() -> int { return pos < size ? code[pos++] : -1; };
    auto operand = [&]() -> std::string {
        if (pos + 4 > size) {
            pos = size;
            return "(operand cut off)";
        }
        const uint32_t value = static_cast<uint32_t>(code[pos]) << 24 |
                               static_cast<uint32_t>(code[pos + 1]) << 16 |
                               static_cast<uint32_t>(code[pos + 2]) << 8 | code[pos + 3];
        pos += 4;
        return std::to_string(static_cast<int32_t>(value)) + " (" + Hex(value, 8) + ")";
    };
    auto zero_ended = [&]() {
        std::string bytes;
        for (int byte = next(); byte > 0; byte = next())
            bytes.push_back(static_cast<char>(byte));
        return bytes;
    };
    auto text_run = [&]() {
        std::string codes;
        for (int byte = next(); byte > 0; byte = next()) {
            uint32_t value;
            if (IsLeadByte(static_cast<uint8_t>(byte))) {
                const int trail = next();
                value = static_cast<uint32_t>(byte) << 8 | static_cast<uint32_t>(trail < 0 ? 0 : trail);
            } else {
                value = static_cast<uint16_t>(static_cast<int16_t>(static_cast<int8_t>(byte)) - 0x7D62);
            }
            codes += (codes.empty() ? "" : " ") + Hex(value, 4);
        }
        return "[" + codes + "]";
    };
    while (pos < size) {
        out += Hex(static_cast<uint32_t>(pos), 6) + "  ";
        const uint8_t byte = code[pos];
        if (IsLeadByte(byte)) {
            out += "text " + text_run() + "\n";
            continue;
        }
        ++pos;
        switch (byte) {
        case 0x0A:
            out += "text0a " + text_run() + "\n";
            continue;
        case 0x0B:
            out += "rawtext \"" + zero_ended() + "\"\n";
            continue;
        case 0x1C: {
            const int escape = next();
            out += escape == 0   ? "newline\n"
                   : escape == 1 ? "shifted\n"
                                 : "escape " + std::to_string(escape) + "\n";
            continue;
        }
        case 0x33:
            out += "push \"" + zero_ended() + "\"\n";
            continue;
        case 0x14:
        case 0x15:
        case 0x16:
        case 0x19:
        case 0x1A:
        case 0x1B:
        case 0x32:
            out += std::string(s_names.at(byte)) + " " + operand() + "\n";
            continue;
        default:
            break;
        }
        const auto name = s_names.find(byte);
        out += name != s_names.end() ? std::string(name->second) + "\n" : "op 0x" + Hex(byte, 2) + "\n";
    }
    return out;
}

} // namespace tools
