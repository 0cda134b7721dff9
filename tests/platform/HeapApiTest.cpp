#include "platform/kernel/HeapApi.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/FileApi.h"
#include "support/ResidentPages.h"

namespace {

TEST(Heap, DestroyFreesEveryBlockAndEndsTheHandle)
{
    HANDLE heap = HeapCreate(0, 4096, 0);
    ASSERT_NE(heap, nullptr);
    auto* zeroed = static_cast<unsigned char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 300));
    ASSERT_NE(zeroed, nullptr);
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(zeroed[i], 0) << i;
    void* kept = HeapAlloc(heap, 0, 1000);
    void* freed = HeapAlloc(heap, 0, 10);
    ASSERT_TRUE(kept && freed);
    std::memset(kept, 0xAB, 1000);
    EXPECT_TRUE(HeapFree(heap, 0, freed));
    EXPECT_FALSE(HeapFree(heap, 0, freed)); // not a block of this heap any more
    EXPECT_TRUE(HeapFree(heap, 0, nullptr));
    EXPECT_FALSE(CloseHandle(heap)); // heaps end with HeapDestroy
    // Two blocks are still allocated; the leak checker of the sanitizer build sees them if
    // HeapDestroy forgets them.
    EXPECT_TRUE(HeapDestroy(heap));
    EXPECT_EQ(HeapAlloc(heap, 0, 1), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(HeapDestroy(heap));
}

TEST(Heap, AHeapWithAMaximumDoesNotGrow)
{
    HANDLE heap = HeapCreate(0, 0, 1000);
    void* first = HeapAlloc(heap, 0, 600);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(HeapAlloc(heap, 0, 600), nullptr);
    HeapFree(heap, 0, first);
    EXPECT_NE(HeapAlloc(heap, 0, 600), nullptr);
    HeapDestroy(heap);
}

TEST(SystemInfo, ReportsAPowerOfTwoPageSize)
{
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    EXPECT_GE(info.dwPageSize, 4096u);
    EXPECT_EQ(info.dwPageSize & (info.dwPageSize - 1), 0u);
    EXPECT_EQ(info.dwAllocationGranularity, 65536u);
    EXPECT_GE(info.dwNumberOfProcessors, 1u);
}

TEST(VirtualMemory, RecommittedPagesReadZero)
{
    constexpr SIZE_T POOL_BYTES = 17'130'016;
    auto* base = static_cast<unsigned char*>(VirtualAlloc(nullptr, POOL_BYTES, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(base, nullptr);

    // Bump-style commits at 64 KiB steps; a commit returns its page-aligned start.
    unsigned char* block = base + 3 * 65536;
    ASSERT_EQ(VirtualAlloc(block, 100'000, MEM_COMMIT, PAGE_READWRITE), block);
    ASSERT_EQ(VirtualAlloc(base, 65536, MEM_COMMIT, PAGE_READWRITE), base);
    EXPECT_EQ(block[0], 0);
    EXPECT_EQ(block[99'999], 0);
    std::memset(block, 0x5A, 100'000);
    std::memset(base, 0x11, 65536);

    // Committing committed pages again keeps their contents.
    ASSERT_EQ(VirtualAlloc(block, 100'000, MEM_COMMIT, PAGE_READWRITE), block);
    EXPECT_EQ(block[50'000], 0x5A);

    EXPECT_TRUE(VirtualFree(block, 100'000, MEM_DECOMMIT));
    ASSERT_EQ(VirtualAlloc(block, 100'000, MEM_COMMIT, PAGE_READWRITE), block);
    for (SIZE_T i = 0; i < 100'000; i += 4093)
        ASSERT_EQ(block[i], 0) << i;
    EXPECT_EQ(base[65535], 0x11); // another commit of the region is untouched

    EXPECT_EQ(VirtualAlloc(base + POOL_BYTES + 65536, 10, MEM_COMMIT, PAGE_READWRITE), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_ADDRESS);
    EXPECT_FALSE(VirtualFree(base, POOL_BYTES, MEM_RELEASE)); // a release takes size 0
    EXPECT_TRUE(VirtualFree(base, 0, MEM_RELEASE));
    EXPECT_FALSE(VirtualFree(base, 0, MEM_RELEASE));
}

} // namespace

namespace {

// Growing keeps what the pixels held and zeroes the rest, whether or not the block is large
// enough to be asked for huge pages; shrinking keeps the block.
TEST(PixelMemory, ResizeKeepsThePixelsAndZeroesTheGrowth)
{
    std::vector<uint32_t> pixels{1, 2, 3};
    for (const size_t count : {size_t{100}, size_t{1920} * 1080, size_t{3}}) {
        const uint32_t* before = pixels.data();
        const size_t capacity = pixels.capacity();
        platform::ResizePixels(pixels, count);
        ASSERT_EQ(pixels.size(), count);
        EXPECT_EQ(pixels[0], 1u);
        EXPECT_EQ(pixels[2], 3u);
        if (count > 3) {
            EXPECT_EQ(pixels[count - 1], 0u);
        }
        if (count <= capacity) {
            EXPECT_EQ(pixels.data(), before);
        }
    }
}

} // namespace

// Blocks below the allocator's own mapping size come from its heap and stay there once freed:
// their written pages are given back, and a block taken afterwards works as before.
TEST(PixelMemory, FreedHeapPagesGoBackToTheSystem)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizer's allocator keeps freed blocks for itself";
#endif
    constexpr size_t BLOCK = 48 * 1024;
    std::vector<void*> blocks;
    for (int i = 0; i < 64; ++i) {
        void* block = std::malloc(BLOCK);
        ASSERT_NE(block, nullptr);
        std::memset(block, 0x5A, BLOCK);
        blocks.push_back(block);
    }
    // The last block stays, so the freed ones lie inside the heap rather than at its top.
    void* kept = blocks.back();
    blocks.pop_back();
    for (void* block : blocks)
        std::free(block);
    size_t before = 0;
    for (void* block : blocks)
        before += ResidentBytes(static_cast<char*>(block) + 4096, BLOCK - 8192);
    ASSERT_GT(before, 0u) << "the allocator gave the pages back on its own";
    platform::ReturnFreedHeap();
    size_t after = 0;
    for (void* block : blocks)
        after += ResidentBytes(static_cast<char*>(block) + 4096, BLOCK - 8192);
    EXPECT_LT(after, before / 10);
    std::free(kept);
    void* again = std::malloc(BLOCK);
    ASSERT_NE(again, nullptr);
    std::memset(again, 1, BLOCK);
    std::free(again);
}
