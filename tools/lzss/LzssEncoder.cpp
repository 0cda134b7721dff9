#include "lzss/LzssEncoder.h"

#include <algorithm>
#include <array>
#include <memory>

#include "foundation/Lzss.h"
#include "UnwatchedScope.h"

namespace tools {

namespace {

constexpr size_t HASH_BITS = 14;
constexpr size_t HASH_SIZE = size_t{1} << HASH_BITS;
constexpr size_t CHAIN_SIZE = 2 * LZSS_RING_SIZE; // twice the window: a live chain link is never overwritten
constexpr size_t MAX_CHAIN_STEPS = 256;
constexpr uint32_t NO_POSITION = 0xFFFFFFFF;

// Matches are searched in a virtual text: the ring's 4096 initial zeros followed by the data, so
// virtual position LZSS_RING_SIZE is data byte 0 and a distance is at most the ring's size.
class MatchFinder
{
public:
    explicit MatchFinder(std::span<const uint8_t> text)
        : m_text(text)
    {
        m_head.fill(NO_POSITION);
        m_prev.fill(NO_POSITION);
    }

    void Insert(size_t position)
    {
        if (position + 3 > m_text.size())
            return;
        const size_t hash = Hash(position);
        m_prev[position % CHAIN_SIZE] = m_head[hash];
        m_head[hash] = static_cast<uint32_t>(position);
    }

    // Longest match for the text at position within the window; {0, 0} when shorter than the minimum.
    std::pair<size_t, size_t> Find(size_t position) const
    {
        const size_t limit = std::min(LZSS_MAX_MATCH, m_text.size() - position);
        if (limit < LZSS_MIN_MATCH)
            return {0, 0};
        size_t best_length = 0;
        size_t best_distance = 0;
        uint32_t candidate = m_head[Hash(position)];
        for (size_t step = 0; step < MAX_CHAIN_STEPS && candidate != NO_POSITION; ++step) {
            if (candidate >= position || position - candidate > LZSS_RING_SIZE)
                break;
            size_t length = 0;
            while (length < limit && m_text[candidate + length] == m_text[position + length])
                ++length;
            if (length > best_length) {
                best_length = length;
                best_distance = position - candidate;
                if (length == limit)
                    break;
            }
            const uint32_t next = m_prev[candidate % CHAIN_SIZE];
            if (next >= candidate)
                break;
            candidate = next;
        }
        if (best_length < LZSS_MIN_MATCH)
            return {0, 0};
        return {best_length, best_distance};
    }

private:
    size_t Hash(size_t position) const
    {
        const uint32_t key = m_text[position] | (m_text[position + 1] << 8) | (m_text[position + 2] << 16);
        return (key * 2654435761u) >> (32 - HASH_BITS);
    }

    std::span<const uint8_t> m_text;
    std::array<uint32_t, HASH_SIZE> m_head;
    std::array<uint32_t, CHAIN_SIZE> m_prev;
};

} // namespace

std::vector<uint8_t> LzssEncode(std::span<const uint8_t> data)
{
    [[maybe_unused]] const UnwatchedScope unwatched;
    std::vector<uint8_t> text(LZSS_RING_SIZE, 0);
    text.insert(text.end(), data.begin(), data.end());
    auto finder = std::make_unique<MatchFinder>(text);
    // Only the end of the zero prefix can start a useful match; longer zero runs chain from there.
    for (size_t p = LZSS_RING_SIZE - LZSS_MAX_MATCH; p < LZSS_RING_SIZE; ++p)
        finder->Insert(p);

    std::vector<uint8_t> out;
    out.reserve(data.size() + data.size() / 8 + 1);
    size_t flag_index = 0;
    unsigned code_count = 8;
    auto begin_code = [&](bool literal) {
        if (code_count == 8) {
            flag_index = out.size();
            out.push_back(0);
            code_count = 0;
        }
        if (literal)
            out[flag_index] |= static_cast<uint8_t>(1u << code_count);
        ++code_count;
    };

    size_t position = LZSS_RING_SIZE;
    while (position < text.size()) {
        const auto [length, distance] = finder->Find(position);
        if (length == 0) {
            begin_code(true);
            out.push_back(text[position]);
            finder->Insert(position);
            ++position;
            continue;
        }
        const size_t data_index = position - LZSS_RING_SIZE;
        const size_t write_position = (LZSS_RING_START + data_index) & (LZSS_RING_SIZE - 1);
        const size_t ring_position = (write_position - distance) & (LZSS_RING_SIZE - 1);
        begin_code(false);
        out.push_back(static_cast<uint8_t>(ring_position & 0xFF));
        out.push_back(static_cast<uint8_t>(((ring_position >> 4) & 0xF0) | (length - LZSS_MIN_MATCH)));
        for (size_t k = 0; k < length; ++k)
            finder->Insert(position + k);
        position += length;
    }
    return out;
}

} // namespace tools
