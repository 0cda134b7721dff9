// An LZSS stream: the first two bytes give the size the stream claims to decode to.
#include <cstdlib>
#include <vector>

#include "FuzzTargets.h"
#include "foundation/Lzss.h"

int FuzzLzss(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const size_t expected = data[0] | (data[1] << 8);
    std::vector<uint8_t> output(expected);
    const LzssDecodeResult result = LzssDecode(std::span(data + 2, size - 2), output);
    if (result.produced > expected)
        std::abort();
    return 0;
}
