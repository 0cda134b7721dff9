#include "animeasm/AnimeProgramWriter.h"

#include <charconv>
#include <stdexcept>

namespace tools {

namespace {

constexpr uint32_t COMMAND_TABLE_OFFSET = 1280;
constexpr size_t COMMAND_RECORD_BYTES = 28;

void PutWord(std::vector<uint8_t>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void SetWord(std::vector<uint8_t>& out, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

size_t SlotIndex(int group, int slot)
{
    if (group < 0 || group >= ANIME_GROUPS || slot < 0 || slot >= ANIME_SLOTS_PER_GROUP)
        throw std::out_of_range("animation slot out of range");
    return static_cast<size_t>(group * ANIME_SLOTS_PER_GROUP + slot);
}

} // namespace

AnimeCode& AnimeCode::Nop()
{
    return Byte(0);
}

AnimeCode& AnimeCode::Hold(uint32_t frames)
{
    return Byte(1).Word(frames);
}

AnimeCode& AnimeCode::Wait(uint32_t frames)
{
    return Byte(2).Word(frames);
}

AnimeCode& AnimeCode::Restart()
{
    return Byte(3);
}

AnimeCode& AnimeCode::Stop()
{
    return Byte(4);
}

AnimeCode& AnimeCode::LoopA(uint32_t count)
{
    return Byte(5).Word(count);
}

AnimeCode& AnimeCode::EndLoopA()
{
    return Byte(6);
}

AnimeCode& AnimeCode::LoopB(uint32_t count)
{
    return Byte(7).Word(count);
}

AnimeCode& AnimeCode::EndLoopB()
{
    return Byte(8);
}

AnimeCode& AnimeCode::Command(uint32_t index, uint8_t opcode)
{
    if (opcode < 9 || opcode == 255)
        throw std::invalid_argument("command opcodes are 9 to 254");
    return Byte(opcode).Word(index);
}

AnimeCode& AnimeCode::End()
{
    return Byte(255);
}

AnimeCode& AnimeCode::Byte(uint8_t value)
{
    m_bytes.push_back(value);
    return *this;
}

AnimeCode& AnimeCode::Word(uint32_t value)
{
    PutWord(m_bytes, value);
    return *this;
}

uint32_t AnimeProgramWriter::AddCommand(const AnimeCommand& command)
{
    m_commands.push_back(command);
    return static_cast<uint32_t>(m_commands.size() - 1);
}

void AnimeProgramWriter::SetSlotCode(int group, int slot, const AnimeCode& code)
{
    const size_t index = SlotIndex(group, slot);
    m_code[index] = code.Bytes();
    m_raw_offsets[index].reset();
}

void AnimeProgramWriter::SetSlotOffset(int group, int slot, uint32_t offset)
{
    m_raw_offsets[SlotIndex(group, slot)] = offset;
}

std::vector<uint8_t> AnimeProgramWriter::Build() const
{
    std::vector<uint8_t> out(COMMAND_TABLE_OFFSET, 0);
    for (const AnimeCommand& c : m_commands) {
        for (uint32_t word : {c.kind, c.source_x, c.source_y, c.width, c.height, c.dest_x, c.dest_y})
            PutWord(out, word);
    }
    const uint32_t stop_block = static_cast<uint32_t>(out.size());
    out.push_back(255);
    for (size_t i = 0; i < m_code.size(); ++i) {
        uint32_t offset = stop_block;
        if (m_raw_offsets[i]) {
            offset = *m_raw_offsets[i];
        } else if (!m_code[i].empty()) {
            offset = static_cast<uint32_t>(out.size());
            out.insert(out.end(), m_code[i].begin(), m_code[i].end());
        }
        SetWord(out, i * 4, offset);
    }
    static_assert(COMMAND_RECORD_BYTES == 7 * 4);
    return out;
}

namespace {

std::vector<std::string_view> SplitWords(std::string_view line)
{
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool ParseNumber(std::string_view word, uint32_t& value)
{
    int base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        base = 16;
        word.remove_prefix(2);
    }
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, value, base);
    return ec == std::errc() && ptr == end;
}

bool ParseKind(std::string_view word, uint32_t& kind)
{
    if (word == "copy")
        kind = 0;
    else if (word == "colorkey")
        kind = 1;
    else if (word == "none")
        kind = 2;
    else if (word == "compose")
        kind = 3;
    else
        return ParseNumber(word, kind);
    return true;
}

} // namespace

std::optional<std::vector<uint8_t>> AssembleAnimeProgram(std::string_view source, std::string& error)
{
    AnimeProgramWriter writer;
    std::optional<std::pair<int, int>> slot;
    AnimeCode code;
    auto flush = [&]() {
        if (slot)
            writer.SetSlotCode(slot->first, slot->second, code);
        code = AnimeCode();
    };
    int line_number = 0;
    while (!source.empty()) {
        ++line_number;
        const size_t newline = source.find('\n');
        std::string_view line = source.substr(0, newline);
        source.remove_prefix(newline == std::string_view::npos ? source.size() : newline + 1);
        if (const size_t comment = line.find(';'); comment != std::string_view::npos)
            line = line.substr(0, comment);
        const std::vector<std::string_view> words = SplitWords(line);
        if (words.empty())
            continue;
        auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(line_number) + ": " + why;
            return std::nullopt;
        };
        std::vector<uint32_t> numbers;
        const std::string_view op = words[0];
        const size_t first_number = op == "command" ? 2 : 1;
        if (op == "command") {
            if (words.size() != 8)
                return fail("command needs a kind and six numbers");
        }
        for (size_t i = first_number; i < words.size(); ++i) {
            uint32_t value;
            if (!ParseNumber(words[i], value))
                return fail("not a number: " + std::string(words[i]));
            numbers.push_back(value);
        }
        auto want = [&](size_t count) { return numbers.size() == count; };
        try {
            if (op == "command") {
                AnimeCommand command;
                if (!ParseKind(words[1], command.kind))
                    return fail("unknown command kind: " + std::string(words[1]));
                command.source_x = numbers[0];
                command.source_y = numbers[1];
                command.width = numbers[2];
                command.height = numbers[3];
                command.dest_x = numbers[4];
                command.dest_y = numbers[5];
                writer.AddCommand(command);
                continue;
            }
            if (op == "slot") {
                if (!want(2))
                    return fail("slot needs a group and a slot");
                flush();
                SlotIndex(static_cast<int>(numbers[0]), static_cast<int>(numbers[1]));
                slot = std::pair{static_cast<int>(numbers[0]), static_cast<int>(numbers[1])};
                continue;
            }
            if (!slot)
                return fail("code before any slot");
            if (op == "nop" && want(0))
                code.Nop();
            else if (op == "hold" && want(1))
                code.Hold(numbers[0]);
            else if (op == "wait" && want(1))
                code.Wait(numbers[0]);
            else if (op == "restart" && want(0))
                code.Restart();
            else if (op == "stop" && want(0))
                code.Stop();
            else if (op == "loop" && want(1))
                code.LoopA(numbers[0]);
            else if (op == "endloop" && want(0))
                code.EndLoopA();
            else if (op == "loopb" && want(1))
                code.LoopB(numbers[0]);
            else if (op == "endloopb" && want(0))
                code.EndLoopB();
            else if (op == "cmd" && (want(1) || want(2)))
                code.Command(numbers[0], static_cast<uint8_t>(numbers.size() == 2 ? numbers[1] : 9));
            else if (op == "end" && want(0))
                code.End();
            else if (op == "byte" && want(1) && numbers[0] <= 255)
                code.Byte(static_cast<uint8_t>(numbers[0]));
            else if (op == "word" && want(1))
                code.Word(numbers[0]);
            else
                return fail("bad statement: " + std::string(op));
        } catch (const std::exception& exception) {
            return fail(exception.what());
        }
    }
    flush();
    return writer.Build();
}

} // namespace tools
