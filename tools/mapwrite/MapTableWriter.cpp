#include "mapwrite/MapTableWriter.h"

#include <charconv>
#include <limits>
#include <stdexcept>

#include "platform/kernel/Unicode.h"

namespace tools {

namespace {

void PutLittleEndian32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

} // namespace

std::vector<uint8_t> BuildMapTable(std::span<const MapText> texts)
{
    uint64_t offset = 4 + 8 * uint64_t{texts.size()};
    std::vector<uint8_t> out;
    PutLittleEndian32(out, static_cast<uint32_t>(texts.size()));
    for (const MapText& text : texts) {
        PutLittleEndian32(out, static_cast<uint32_t>(text.id));
        PutLittleEndian32(out, static_cast<uint32_t>(offset));
        offset += 2 * (uint64_t{text.text.size()} + 1);
    }
    if (offset > std::numeric_limits<uint32_t>::max())
        throw std::length_error("text table larger than 4 GB");
    for (const MapText& text : texts) {
        for (char16_t unit : text.text) {
            out.push_back(static_cast<uint8_t>(unit));
            out.push_back(static_cast<uint8_t>(unit >> 8));
        }
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

std::vector<MapText> ParseMapListing(std::string_view listing)
{
    std::vector<MapText> texts;
    size_t line_number = 0;
    while (!listing.empty()) {
        const size_t end = listing.find('\n');
        std::string_view line = listing.substr(0, end);
        listing.remove_prefix(end == std::string_view::npos ? listing.size() : end + 1);
        ++line_number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        MapText text{};
        const auto [rest, error] = std::from_chars(line.data(), line.data() + line.size(), text.id);
        const size_t consumed = static_cast<size_t>(rest - line.data());
        if (error != std::errc() || consumed == line.size() ||
            (line[consumed] != ' ' && line[consumed] != '\t'))
            throw std::invalid_argument("line " + std::to_string(line_number) +
                                        ": expected an id, a space and a text");
        text.text = platform::Utf8ToUtf16(line.substr(consumed + 1));
        texts.push_back(std::move(text));
    }
    return texts;
}

} // namespace tools
