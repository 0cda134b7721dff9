#include "mesasm/MesAssembler.h"

#include <cctype>
#include <charconv>
#include <map>
#include <optional>

#include "platform/kernel/CodePageApi.h"
#include "platform/kernel/Unicode.h"

namespace tools {

namespace {

struct Operand
{
    enum class Kind
    {
        Integer,
        Name,
        Text,    // "..." UTF-8
        Cp932,   // sj"..."
        RawBytes // x"..."
    };
    Kind kind = Kind::Integer;
    int64_t integer = 0;
    std::string text; // name, UTF-8 text or raw bytes
};

struct AssemblyError
{
    std::string message;
};

bool IsEngineLeadByte(uint8_t byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xEF);
}

// The two-byte code that a one-byte form stands for in a text run.
uint16_t ExpandOneByte(uint8_t byte)
{
    return static_cast<uint16_t>(static_cast<int16_t>(static_cast<int8_t>(byte)) - 0x7D62);
}

std::optional<uint8_t> OneByteForm(uint16_t code)
{
    for (int byte = 1; byte <= 0xFF; ++byte) {
        if (!IsEngineLeadByte(static_cast<uint8_t>(byte)) &&
            ExpandOneByte(static_cast<uint8_t>(byte)) == code)
            return static_cast<uint8_t>(byte);
    }
    return std::nullopt;
}

std::string EncodeCp932(std::u16string_view wide)
{
    if (wide.empty())
        return {};
    BOOL used_default = FALSE;
    const int length = WideCharToMultiByte(CP_932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, &used_default);
    if (length <= 0 || used_default)
        throw AssemblyError{"text has a character without a CP932 code"};
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_932, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

// Story text: CP932 two-byte characters, each in its one-byte form where it has one.
std::string EncodeStoryText(const std::string& utf8, bool compress)
{
    std::string run;
    const std::u16string wide = platform::Utf8ToUtf16(utf8);
    for (size_t i = 0; i < wide.size(); ++i) {
        const size_t units = (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size()) ? 2 : 1;
        const std::string bytes = EncodeCp932(std::u16string_view(wide).substr(i, units));
        i += units - 1;
        if (bytes.size() != 2 || !IsEngineLeadByte(static_cast<uint8_t>(bytes[0])))
            throw AssemblyError{"story text holds a character without a two-byte code"};
        const uint16_t code =
            static_cast<uint16_t>(static_cast<uint8_t>(bytes[0]) << 8 | static_cast<uint8_t>(bytes[1]));
        const std::optional<uint8_t> one_byte = compress ? OneByteForm(code) : std::nullopt;
        if (one_byte)
            run.push_back(static_cast<char>(*one_byte));
        else
            run += bytes;
    }
    return run;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class LineParser
{
public:
    explicit LineParser(std::string_view line)
        : m_line(line)
    {}

    void SkipSeparators()
    {
        while (m_pos < m_line.size() &&
               (std::isspace(static_cast<unsigned char>(m_line[m_pos])) || m_line[m_pos] == ','))
            ++m_pos;
    }
    bool AtEnd()
    {
        SkipSeparators();
        return m_pos >= m_line.size() || m_line[m_pos] == ';';
    }
    // A label at the start of the line, if any.
    std::optional<std::string> TakeLabel()
    {
        SkipSeparators();
        size_t end = m_pos;
        while (end < m_line.size() && IsWordChar(m_line[end]))
            ++end;
        if (end > m_pos && end < m_line.size() && m_line[end] == ':') {
            std::string name(m_line.substr(m_pos, end - m_pos));
            m_pos = end + 1;
            return name;
        }
        return std::nullopt;
    }
    std::string TakeWord()
    {
        SkipSeparators();
        const size_t start = m_pos;
        while (m_pos < m_line.size() && (IsWordChar(m_line[m_pos]) || m_line[m_pos] == '.'))
            ++m_pos;
        return std::string(m_line.substr(start, m_pos - start));
    }
    Operand TakeOperand()
    {
        SkipSeparators();
        Operand operand;
        if (m_line.substr(m_pos).starts_with("sj\"")) {
            m_pos += 2;
            operand.kind = Operand::Kind::Cp932;
            operand.text = TakeQuoted();
        } else if (m_line.substr(m_pos).starts_with("x\"")) {
            m_pos += 1;
            operand.kind = Operand::Kind::RawBytes;
            operand.text = ParseHex(TakeQuoted());
        } else if (m_pos < m_line.size() && m_line[m_pos] == '"') {
            operand.kind = Operand::Kind::Text;
            operand.text = TakeQuoted();
        } else {
            const std::string word = TakeSignedWord();
            if (word.empty())
                throw AssemblyError{"an operand is missing"};
            if (std::isdigit(static_cast<unsigned char>(word[0])) || word[0] == '-') {
                operand.integer = ParseInteger(word);
            } else {
                operand.kind = Operand::Kind::Name;
                operand.text = word;
            }
        }
        return operand;
    }

private:
    static bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

    std::string TakeSignedWord()
    {
        const size_t start = m_pos;
        if (m_pos < m_line.size() && m_line[m_pos] == '-')
            ++m_pos;
        while (m_pos < m_line.size() && IsWordChar(m_line[m_pos]))
            ++m_pos;
        return std::string(m_line.substr(start, m_pos - start));
    }

    static int64_t ParseInteger(const std::string& word)
    {
        const bool negative = word[0] == '-';
        std::string_view digits(word);
        if (negative)
            digits.remove_prefix(1);
        int base = 10;
        if (digits.starts_with("0x") || digits.starts_with("0X")) {
            base = 16;
            digits.remove_prefix(2);
        }
        uint64_t value = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
        if (error != std::errc() || end != digits.data() + digits.size() || digits.empty() ||
            value > 0xFFFFFFFFull)
            throw AssemblyError{"bad integer \"" + word + "\""};
        return negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    }

    std::string TakeQuoted()
    {
        ++m_pos; // opening quote
        std::string text;
        while (m_pos < m_line.size() && m_line[m_pos] != '"') {
            char c = m_line[m_pos++];
            if (c == '\\' && m_pos < m_line.size()) {
                const char escaped = m_line[m_pos++];
                if (escaped == 'n') {
                    c = '\n';
                } else if (escaped == 'x' && m_pos + 1 < m_line.size() && HexDigit(m_line[m_pos]) >= 0 &&
                           HexDigit(m_line[m_pos + 1]) >= 0) {
                    c = static_cast<char>(HexDigit(m_line[m_pos]) * 16 + HexDigit(m_line[m_pos + 1]));
                    m_pos += 2;
                } else {
                    c = escaped;
                }
            }
            text.push_back(c);
        }
        if (m_pos >= m_line.size())
            throw AssemblyError{"a text is not closed"};
        ++m_pos;
        return text;
    }

    static std::string ParseHex(const std::string& digits)
    {
        std::string bytes;
        int high = -1;
        for (char c : digits) {
            if (std::isspace(static_cast<unsigned char>(c)))
                continue;
            const int digit = HexDigit(c);
            if (digit < 0)
                throw AssemblyError{"bad hexadecimal byte text"};
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(static_cast<char>(high * 16 + digit));
                high = -1;
            }
        }
        if (high >= 0)
            throw AssemblyError{"hexadecimal byte text with an odd number of digits"};
        return bytes;
    }

    std::string_view m_line;
    size_t m_pos = 0;
};

enum class FixupKind
{
    Offset,
    ResumeIndex,
    ChoiceIndex
};

struct Fixup
{
    size_t at;
    std::string label;
    FixupKind kind;
    int line;
};

const std::map<std::string, uint8_t, std::less<>> s_plain_opcodes = {
    {"end", 0x00},  {"return", 0x01}, {"add", 0x34},  {"sub", 0x35},  {"mul", 0x36},
    {"div", 0x37},  {"mod", 0x38},    {"rand", 0x39}, {"and", 0x3A},  {"or", 0x3B},
    {"band", 0x3C}, {"bor", 0x3D},    {"lt", 0x3E},   {"gt", 0x3F},   {"le", 0x40},
    {"ge", 0x41},   {"eq", 0x42},     {"ne", 0x43},   {"drop3", 0xFE}};

const std::map<std::string, uint8_t, std::less<>> s_bank_opcodes = {
    {"ldflag", 0x02},  {"ldword", 0x03}, {"ldvalue", 0x04},  {"ldvar", 0x05},
    {"ldlocal", 0x06}, {"ldbyte", 0x07}, {"ldbyte16", 0x08}, {"ldbyte32", 0x09},
    {"stflag", 0x0C},  {"stword", 0x0D}, {"stvalue", 0x0E},  {"stvar", 0x0F},
    {"stlocal", 0x10}, {"stbyte", 0x11}, {"stbyte16", 0x12}, {"stbyte32", 0x13}};

class Assembler
{
public:
    AssembledScript Run(std::string_view source)
    {
        AssembledScript result;
        int line_number = 0;
        try {
            size_t start = 0;
            while (start <= source.size()) {
                size_t end = source.find('\n', start);
                if (end == std::string_view::npos)
                    end = source.size();
                ++line_number;
                m_line = line_number;
                AssembleLine(source.substr(start, end - start));
                start = end + 1;
            }
            if (!m_blocks.empty()) {
                m_line = m_blocks.back().line;
                throw AssemblyError{"\"" + m_blocks.back().opener + "\" has no end"};
            }
            Resolve();
            // Inside the try: a table label that names no place is the source's error too.
            AppendU32(result.File, static_cast<uint32_t>(m_resume_labels.size()));
            AppendU32(result.File, static_cast<uint32_t>(m_choice_labels.size()));
            for (const auto& [label, line] : m_resume_labels)
                AppendU32(result.File, LabelOffset(label, line));
            for (const auto& [label, line] : m_choice_labels)
                AppendU32(result.File, LabelOffset(label, line));
        } catch (const AssemblyError& error) {
            result.File.clear();
            result.Error = "line " + std::to_string(m_line) + ": " + error.message;
            return result;
        }
        result.Ok = true;
        result.File.insert(result.File.end(), m_code.begin(), m_code.end());
        return result;
    }

private:
    struct Block
    {
        std::string opener;
        std::string end_label;
        int line;
    };

    static void AppendU32(std::vector<uint8_t>& out, uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<uint8_t>(value >> shift));
    }

    void Byte(uint8_t byte) { m_code.push_back(byte); }
    void Operand32(uint32_t value)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            m_code.push_back(static_cast<uint8_t>(value >> shift));
    }
    void Bytes(const std::string& bytes) { m_code.insert(m_code.end(), bytes.begin(), bytes.end()); }

    void LabelOperand(const Operand& operand, FixupKind kind)
    {
        if (operand.kind == Operand::Kind::Integer) {
            Operand32(static_cast<uint32_t>(operand.integer));
        } else if (operand.kind == Operand::Kind::Name) {
            m_fixups.push_back(Fixup{m_code.size(), operand.text, kind, m_line});
            Operand32(0);
        } else {
            throw AssemblyError{"a label or an integer is expected"};
        }
    }

    void PushInteger(int64_t value)
    {
        Byte(0x32);
        Operand32(static_cast<uint32_t>(value));
    }

    void PushOperand(const Operand& operand)
    {
        switch (operand.kind) {
        case Operand::Kind::Integer:
            PushInteger(operand.integer);
            return;
        case Operand::Kind::Name:
            throw AssemblyError{"push takes an integer or a text, not \"" + operand.text + "\""};
        case Operand::Kind::Text:
        case Operand::Kind::RawBytes:
            Byte(0x33);
            Bytes(operand.text);
            Byte(0x00);
            return;
        case Operand::Kind::Cp932:
            Byte(0x33);
            Bytes(EncodeCp932(platform::Utf8ToUtf16(operand.text)));
            Byte(0x00);
            return;
        }
    }

    static int64_t IntegerOf(const Operand& operand)
    {
        if (operand.kind != Operand::Kind::Integer)
            throw AssemblyError{"an integer is expected"};
        return operand.integer;
    }

    std::string NewLabel() { return "@" + std::to_string(m_next_label++); }

    void DefineLabel(const std::string& name)
    {
        if (!m_labels.emplace(name, static_cast<uint32_t>(m_code.size())).second)
            throw AssemblyError{"label \"" + name + "\" is defined twice"};
    }

    void EmitStoryRun(const std::string& run, bool force_opcode)
    {
        if (force_opcode || run.empty() || !IsEngineLeadByte(static_cast<uint8_t>(run[0])))
            Byte(0x0A);
        Bytes(run);
        Byte(0x00);
    }

    void AssembleLine(std::string_view line)
    {
        LineParser parser(line);
        while (std::optional<std::string> label = parser.TakeLabel())
            DefineLabel(*label);
        if (parser.AtEnd())
            return;
        const std::string word = parser.TakeWord();
        std::vector<Operand> operands;
        while (!parser.AtEnd())
            operands.push_back(parser.TakeOperand());
        auto expect = [&](size_t low, size_t high) {
            if (operands.size() < low || operands.size() > high)
                throw AssemblyError{"\"" + word + "\" takes " + std::to_string(low) +
                                    (high != low ? " to " + std::to_string(high) : std::string()) +
                                    " operands"};
        };

        if (const auto plain = s_plain_opcodes.find(word); plain != s_plain_opcodes.end()) {
            expect(0, 0);
            Byte(plain->second);
        } else if (const auto bank = s_bank_opcodes.find(word); bank != s_bank_opcodes.end()) {
            expect(0, 1);
            if (!operands.empty())
                PushInteger(IntegerOf(operands[0]));
            Byte(bank->second);
        } else if (word == ".resume" || word == ".choice") {
            expect(1, 1);
            if (operands[0].kind != Operand::Kind::Name)
                throw AssemblyError{"a label is expected"};
            (word == ".resume" ? m_resume_labels : m_choice_labels).emplace_back(operands[0].text, m_line);
        } else if (word == "jz" || word == "jmp") {
            expect(1, 1);
            Byte(word == "jz" ? 0x14 : 0x15);
            LabelOperand(operands[0], FixupKind::Offset);
        } else if (word == "resume" || word == "choicepoint") {
            expect(1, 1);
            Byte(word == "resume" ? 0x19 : 0x1A);
            LabelOperand(operands[0], word == "resume" ? FixupKind::ResumeIndex : FixupKind::ChoiceIndex);
        } else if (word == "push") {
            expect(1, 1);
            PushOperand(operands[0]);
        } else if (word == "line") {
            expect(0, 1);
            if (!operands.empty())
                PushInteger(IntegerOf(operands[0]));
            Byte(0xFF);
        } else if (word == "func") {
            expect(2, 2);
            PushInteger(IntegerOf(operands[1]));
            PushInteger(IntegerOf(operands[0]));
            Byte(0x16);
            OpenBlock(word, "endfunc");
        } else if (word == "endfunc" || word == "endchoice") {
            expect(0, 0);
            CloseBlock(word);
        } else if (word == "call") {
            expect(1, 1);
            PushInteger(IntegerOf(operands[0]));
            Byte(0x17);
        } else if (word == "lib") {
            if (operands.size() < 2)
                throw AssemblyError{"\"lib\" takes an ID and a sub-function number"};
            for (size_t k = operands.size(); k-- > 2;)
                PushOperand(operands[k]);
            PushInteger(IntegerOf(operands[1]));
            PushInteger(IntegerOf(operands[0]));
            Byte(0x18);
        } else if (word == "branch") {
            expect(2, 2);
            PushInteger(IntegerOf(operands[0]));
            Byte(0x1B);
            LabelOperand(operands[1], FixupKind::Offset);
        } else if (word == "choice") {
            expect(1, 1);
            PushInteger(IntegerOf(operands[0]));
            Byte(0x1B);
            OpenBlock(word, "endchoice");
        } else if (word == "text" || word == "text0a" || word == "textwide") {
            expect(1, 1);
            if (operands[0].kind == Operand::Kind::RawBytes)
                EmitStoryRun(operands[0].text, word == "text0a");
            else if (operands[0].kind == Operand::Kind::Text)
                EmitStoryRun(EncodeStoryText(operands[0].text, word != "textwide"), word == "text0a");
            else
                throw AssemblyError{"story text is expected"};
        } else if (word == "rawtext") {
            expect(1, 1);
            if (operands[0].kind != Operand::Kind::Text && operands[0].kind != Operand::Kind::RawBytes)
                throw AssemblyError{"a text is expected"};
            Byte(0x0B);
            Bytes(operands[0].text);
            Byte(0x00);
        } else if (word == "newline") {
            expect(0, 0);
            Byte(0x1C);
            Byte(0x00);
        } else if (word == "shifted") {
            expect(0, 0);
            Byte(0x1C);
            Byte(0x01);
        } else if (word == "escape") {
            expect(1, 1);
            Byte(0x1C);
            Byte(static_cast<uint8_t>(IntegerOf(operands[0])));
        } else if (word == "op") {
            expect(1, 1);
            Byte(static_cast<uint8_t>(IntegerOf(operands[0])));
        } else if (word == "bytes") {
            for (const Operand& operand : operands) {
                if (operand.kind == Operand::Kind::RawBytes)
                    Bytes(operand.text);
                else
                    Byte(static_cast<uint8_t>(IntegerOf(operand)));
            }
        } else {
            throw AssemblyError{"unknown instruction \"" + word + "\""};
        }
    }

    void OpenBlock(const std::string& opener, const std::string& closer)
    {
        Block block{closer, NewLabel(), m_line};
        m_fixups.push_back(Fixup{m_code.size(), block.end_label, FixupKind::Offset, m_line});
        Operand32(0);
        m_blocks.push_back(block);
        (void)opener;
    }

    void CloseBlock(const std::string& closer)
    {
        if (m_blocks.empty() || m_blocks.back().opener != closer)
            throw AssemblyError{"\"" + closer + "\" closes nothing"};
        DefineLabel(m_blocks.back().end_label);
        m_blocks.pop_back();
    }

    uint32_t LabelOffset(const std::string& label, int line)
    {
        const auto found = m_labels.find(label);
        if (found == m_labels.end()) {
            m_line = line;
            throw AssemblyError{"label \"" + label + "\" is not defined"};
        }
        return found->second;
    }

    static std::optional<uint32_t> TableIndex(const std::vector<std::pair<std::string, int>>& table,
                                              const std::string& label)
    {
        for (size_t k = 0; k < table.size(); ++k) {
            if (table[k].first == label)
                return static_cast<uint32_t>(k);
        }
        return std::nullopt;
    }

    void Resolve()
    {
        for (const Fixup& fixup : m_fixups) {
            uint32_t value = 0;
            if (fixup.kind == FixupKind::Offset) {
                value = LabelOffset(fixup.label, fixup.line);
            } else {
                const auto& table = fixup.kind == FixupKind::ResumeIndex ? m_resume_labels : m_choice_labels;
                const std::optional<uint32_t> index = TableIndex(table, fixup.label);
                if (!index) {
                    m_line = fixup.line;
                    throw AssemblyError{"label \"" + fixup.label + "\" is not in the " +
                                        (fixup.kind == FixupKind::ResumeIndex ? "resume" : "choice") +
                                        " table"};
                }
                value = *index;
            }
            for (int k = 0; k < 4; ++k)
                m_code[fixup.at + static_cast<size_t>(k)] = static_cast<uint8_t>(value >> (24 - 8 * k));
        }
    }

    std::vector<uint8_t> m_code;
    std::map<std::string, uint32_t> m_labels;
    std::vector<Fixup> m_fixups;
    std::vector<std::pair<std::string, int>> m_resume_labels;
    std::vector<std::pair<std::string, int>> m_choice_labels;
    std::vector<Block> m_blocks;
    int m_next_label = 0;
    int m_line = 0;
};

} // namespace

AssembledScript AssembleScript(std::string_view source)
{
    return Assembler().Run(source);
}

AssembledArchive BuildScriptArchive(std::span<const ScriptSource> sources, ArchiveEncoding encoding)
{
    AssembledArchive result;
    std::vector<ArchiveEntry> entries;
    for (const ScriptSource& source : sources) {
        AssembledScript script = AssembleScript(source.text);
        if (!script.Ok) {
            result.Error = source.name + ": " + script.Error;
            return result;
        }
        // The reader upper-cases the names it looks up, so entries are stored under upper-case names.
        entries.push_back(ArchiveEntry{UpperCaseName(source.name), std::move(script.File)});
    }
    result.File = BuildArchive(entries, encoding);
    result.Ok = true;
    return result;
}

std::vector<uint8_t> CodeOf(const std::vector<uint8_t>& file)
{
    if (file.size() < 8)
        return {};
    auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(file[at]) | static_cast<uint32_t>(file[at + 1]) << 8 |
               static_cast<uint32_t>(file[at + 2]) << 16 | static_cast<uint32_t>(file[at + 3]) << 24;
    };
    const uint64_t start = 8 + 4 * (static_cast<uint64_t>(u32(0)) + u32(4));
    if (start > file.size())
        return {};
    return std::vector<uint8_t>(file.begin() + static_cast<std::ptrdiff_t>(start), file.end());
}

} // namespace tools
