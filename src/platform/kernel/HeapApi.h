#pragma once
// Private heaps, reserved/committed virtual memory, and huge pages for pixels.

#include <vector>

#include "platform/kernel/WinTypes.h"

inline constexpr WORD PROCESSOR_ARCHITECTURE_AMD64 = 9;

struct SYSTEM_INFO
{
    WORD wProcessorArchitecture;
    WORD wReserved;
    DWORD dwPageSize;
    LPVOID lpMinimumApplicationAddress;
    LPVOID lpMaximumApplicationAddress;
    DWORD_PTR dwActiveProcessorMask;
    DWORD dwNumberOfProcessors;
    DWORD dwProcessorType;
    DWORD dwAllocationGranularity;
    WORD wProcessorLevel;
    WORD wProcessorRevision;
};
void GetSystemInfo(SYSTEM_INFO* info);

// A heap over malloc that tracks its blocks: HeapDestroy frees whatever is still allocated.
// A maximum size of 0 makes a growable heap. Heaps close with HeapDestroy, not CloseHandle.
HANDLE HeapCreate(DWORD options, SIZE_T initial_size, SIZE_T maximum_size);
BOOL HeapDestroy(HANDLE heap);
LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID memory);
inline constexpr DWORD HEAP_ZERO_MEMORY = 0x8;

inline constexpr DWORD MEM_COMMIT = 0x1000;
inline constexpr DWORD MEM_RESERVE = 0x2000;
inline constexpr DWORD MEM_DECOMMIT = 0x4000;
inline constexpr DWORD MEM_RELEASE = 0x8000;
inline constexpr DWORD PAGE_NOACCESS = 0x01;
inline constexpr DWORD PAGE_READONLY = 0x02;
inline constexpr DWORD PAGE_READWRITE = 0x04;
// Reservations are placed by the layer (address null). Commits and decommits cover whole pages
// inside one reservation. Committed pages read as zero, also after a decommit and a new commit.
// MEM_RELEASE takes the base of a reservation and size 0.
LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocation_type, DWORD protect);
BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD free_type);

namespace platform {

// Asks that a block of pixels be backed by huge pages where the system offers them: a pass over a
// part of a screen-wide picture reads each row from a page of 4 KiB of its own, and on a virtual
// machine those page walks cost more than the copies. A huge page costs its whole size at the
// first write into it, so pictures larger than a few screens (mostly left blank) stay as they are;
// so do blocks below a huge page.
void PreferHugePages(void* block, size_t bytes);
// Takes that advice back for a block written only in parts: a huge page costs its whole size at
// the first write into it, and the system also fills a partly written range into one later.
void PreferSmallPages(void* block, size_t bytes);

// Zeroes a part of a block from malloc: the whole pages inside it go back to the system, which
// hands them out zeroed again at the next write, so a large picture cleared whole costs nothing
// until it is drawn into again.
void ZeroHeapBlock(void* part, size_t bytes);

// Gives the pages of freed heap blocks back to the system: the allocator keeps them for the next
// blocks otherwise. For a quiet point (the title), as it walks every free block.
void ReturnFreedHeap();

// Sizes a vector of pixels as resize does, asking huge pages for a new block before it is written.
template <class Pixel>
void ResizePixels(std::vector<Pixel>& pixels, size_t count)
{
    if (pixels.capacity() < count) {
        std::vector<Pixel> grown;
        grown.reserve(count);
        PreferHugePages(grown.data(), count * sizeof(Pixel));
        grown.assign(pixels.begin(), pixels.end());
        pixels.swap(grown);
    }
    pixels.resize(count);
}

} // namespace platform
