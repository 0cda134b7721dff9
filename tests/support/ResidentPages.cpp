#include "support/ResidentPages.h"

#include <cstdint>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "graphics/ILayer.h"

size_t ResidentBytes(const void* block, size_t bytes)
{
    if (block == nullptr || bytes == 0)
        return 0;
    const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t first = (reinterpret_cast<uintptr_t>(block) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(page - 1);
    if (end <= first)
        return 0;
    std::vector<unsigned char> resident((end - first) / page);
    if (::mincore(reinterpret_cast<void*>(first), end - first, resident.data()) != 0)
        return SIZE_MAX;
    size_t count = 0;
    for (const unsigned char flags : resident)
        count += flags & 1;
    return count * page;
}

size_t ResidentBytes(ILayer* layer)
{
    if (layer == nullptr || layer->GetBits() == nullptr)
        return 0;
    return ResidentBytes(layer->GetBits(), static_cast<size_t>(layer->GetStride()) * layer->GetHeight());
}
