#include "platform/kernel/HeapApi.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/HandleTable.h"

namespace {

using platform::HandleTable;

// A private heap over malloc that knows its blocks, so destroying it frees them all.
class HeapObject final : public platform::KernelObject
{
public:
    explicit HeapObject(size_t maximum_size)
        : m_maximum_size(maximum_size)
    {}
    ~HeapObject() override
    {
        for (const auto& [block, size] : m_blocks)
            std::free(block);
    }
    HeapObject(const HeapObject&) = delete;
    HeapObject& operator=(const HeapObject&) = delete;

    platform::KernelObjectKind GetKind() const override { return platform::KernelObjectKind::Heap; }

    void* Allocate(size_t bytes, bool zero)
    {
        std::lock_guard lock(m_lock);
        if (m_maximum_size != 0 && (bytes > m_maximum_size || m_total_size > m_maximum_size - bytes))
            return nullptr;                               // a heap created with a maximum does not grow
        const size_t real_bytes = bytes == 0 ? 1 : bytes; // every allocation is a distinct block
        void* block = zero ? std::calloc(1, real_bytes) : std::malloc(real_bytes);
        if (!block)
            return nullptr;
        // Out of memory for the bookkeeping too is a failed allocation, not an exception: the
        // private heap's callers allocate through a non-throwing operator new.
        try {
            m_blocks.emplace(block, bytes);
        } catch (const std::bad_alloc&) {
            std::free(block);
            return nullptr;
        }
        m_total_size += bytes;
        return block;
    }

    bool Free(void* block)
    {
        std::lock_guard lock(m_lock);
        const auto found = m_blocks.find(block);
        if (found == m_blocks.end())
            return false;
        m_total_size -= found->second;
        m_blocks.erase(found);
        std::free(block);
        return true;
    }

private:
    const size_t m_maximum_size;
    std::mutex m_lock; // guards m_blocks and m_total_size
    std::unordered_map<void*, size_t> m_blocks;
    size_t m_total_size = 0;
};

std::shared_ptr<HeapObject> FindHeap(HANDLE heap)
{
    std::shared_ptr<HeapObject> object = HandleTable::GetInstance().GetAs<HeapObject>(heap);
    if (!object)
        SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

size_t PageSize()
{
    static const size_t s_page_size = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    return s_page_size;
}

uintptr_t RoundDown(uintptr_t value)
{
    return value & ~(PageSize() - 1);
}

uintptr_t RoundUp(uintptr_t value)
{
    return RoundDown(value + PageSize() - 1);
}

// Reserved regions by base address, so commits can be checked and a release knows the size.
class Reservations final
{
public:
    static Reservations& GetInstance()
    {
        static auto* s_reservations = new Reservations; // never destroyed
        return *s_reservations;
    }

    void Add(uintptr_t base, size_t size)
    {
        std::lock_guard lock(m_lock);
        m_regions[base] = size;
    }

    // The region holding [begin, end), as {base, size}; size 0 when none does.
    std::pair<uintptr_t, size_t> Find(uintptr_t begin, uintptr_t end)
    {
        std::lock_guard lock(m_lock);
        auto it = m_regions.upper_bound(begin);
        if (it == m_regions.begin())
            return {0, 0};
        --it;
        if (end > it->first + it->second)
            return {0, 0};
        return *it;
    }

    bool Remove(uintptr_t base, size_t& size)
    {
        std::lock_guard lock(m_lock);
        const auto found = m_regions.find(base);
        if (found == m_regions.end())
            return false;
        size = found->second;
        m_regions.erase(found);
        return true;
    }

private:
    std::mutex m_lock; // guards m_regions
    std::map<uintptr_t, size_t> m_regions;
};

int ProtectionOf(DWORD protect)
{
    switch (protect) {
    case PAGE_NOACCESS:
        return PROT_NONE;
    case PAGE_READONLY:
        return PROT_READ;
    case PAGE_READWRITE:
        return PROT_READ | PROT_WRITE;
    default:
        return -1;
    }
}

// The whole pages inside a block: [begin, end), empty when it holds none.
struct WholePages
{
    uintptr_t page;
    uintptr_t begin;
    uintptr_t end;
};

WholePages WholePagesOf(const void* block, size_t bytes)
{
    const uintptr_t page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t at = reinterpret_cast<uintptr_t>(block);
    const uintptr_t begin = (at + page - 1) & ~(page - 1);
    const uintptr_t end = (at + bytes) & ~(page - 1);
    return {page, begin, std::max(begin, end)};
}

} // namespace

void GetSystemInfo(SYSTEM_INFO* info)
{
    if (!info)
        return;
    const long processors = ::sysconf(_SC_NPROCESSORS_ONLN);
    const DWORD count = processors > 0 ? static_cast<DWORD>(processors) : 1;
    *info = SYSTEM_INFO{};
    info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
    info->dwPageSize = static_cast<DWORD>(PageSize());
    info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(uintptr_t{0x10000});
    info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(uintptr_t{0x7FFF'FFFE'FFFF});
    info->dwActiveProcessorMask = count >= 64 ? ~DWORD_PTR{0} : (DWORD_PTR{1} << count) - 1;
    info->dwNumberOfProcessors = count;
    info->dwAllocationGranularity = 65536;
}

HANDLE HeapCreate(DWORD, SIZE_T, SIZE_T maximum_size)
{
    try {
        return HandleTable::GetInstance().Add(std::make_shared<HeapObject>(maximum_size));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

BOOL HeapDestroy(HANDLE heap)
{
    if (!FindHeap(heap))
        return FALSE;
    HandleTable::GetInstance().Remove(heap); // the last reference frees every block
    return TRUE;
}

LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes)
{
    const std::shared_ptr<HeapObject> object = FindHeap(heap);
    if (!object)
        return nullptr;
    void* block = object->Allocate(bytes, (flags & HEAP_ZERO_MEMORY) != 0);
    if (!block)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return block;
}

BOOL HeapFree(HANDLE heap, DWORD, LPVOID memory)
{
    const std::shared_ptr<HeapObject> object = FindHeap(heap);
    if (!object)
        return FALSE;
    if (!memory)
        return TRUE;
    if (!object->Free(memory)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocation_type, DWORD protect)
{
    const int protection = ProtectionOf(protect);
    if (size == 0 || protection < 0 || !(allocation_type & (MEM_RESERVE | MEM_COMMIT))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if ((allocation_type & MEM_RESERVE) || !address) {
        if (address) {
            SetLastError(ERROR_INVALID_ADDRESS); // placing a reservation is not supported
            return nullptr;
        }
        const size_t length = RoundUp(size);
        void* base = ::mmap(nullptr, length, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (base == MAP_FAILED) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        Reservations::GetInstance().Add(reinterpret_cast<uintptr_t>(base), length);
        if ((allocation_type & MEM_COMMIT) && ::mprotect(base, length, protection) != 0) {
            ::munmap(base, length);
            size_t ignored;
            Reservations::GetInstance().Remove(reinterpret_cast<uintptr_t>(base), ignored);
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        return base;
    }
    const uintptr_t begin = RoundDown(reinterpret_cast<uintptr_t>(address));
    const uintptr_t end = RoundUp(reinterpret_cast<uintptr_t>(address) + size);
    if (Reservations::GetInstance().Find(begin, end).second == 0) {
        SetLastError(ERROR_INVALID_ADDRESS);
        return nullptr;
    }
    // Pages committed before keep their contents; fresh ones read zero.
    if (::mprotect(reinterpret_cast<void*>(begin), end - begin, protection) != 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return reinterpret_cast<LPVOID>(begin);
}

BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD free_type)
{
    const auto base = reinterpret_cast<uintptr_t>(address);
    if (free_type == MEM_RELEASE) {
        size_t length = 0;
        if (size != 0 || !Reservations::GetInstance().Remove(base, length)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        ::munmap(address, length);
        return TRUE;
    }
    if (free_type != MEM_DECOMMIT) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    uintptr_t begin = RoundDown(base);
    uintptr_t end = RoundUp(base + (size == 0 ? 1 : size));
    const auto [region_base, region_size] = Reservations::GetInstance().Find(begin, end);
    if (region_size == 0) {
        SetLastError(ERROR_INVALID_ADDRESS);
        return FALSE;
    }
    if (size == 0) {
        // Size 0 decommits the whole region and is only valid at its base.
        if (base != region_base) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        end = region_base + region_size;
    }
    // Dropping the pages makes a later commit read zero, as a fresh commit does on Windows.
    ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
    ::mprotect(reinterpret_cast<void*>(begin), end - begin, PROT_NONE);
    return TRUE;
}

void platform::PreferHugePages(void* block, size_t bytes)
{
    constexpr size_t HUGE_PAGE_BYTES = size_t{2} << 20;
    constexpr size_t LARGEST = size_t{32} << 20;
    if (block == nullptr || bytes < HUGE_PAGE_BYTES || bytes > LARGEST)
        return;
    const auto [page, begin, end] = WholePagesOf(block, bytes);
    // Advice only: where the system has no huge pages the block stays as it is.
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

void platform::PreferSmallPages(void* block, size_t bytes)
{
    const auto [page, begin, end] = WholePagesOf(block, bytes);
    if (block != nullptr && end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_NOHUGEPAGE);
}

void platform::ZeroHeapBlock(void* part, size_t bytes)
{
    auto* first = static_cast<uint8_t*>(part);
    const auto [page, begin, end] = WholePagesOf(first, bytes);
    // Private anonymous memory, as malloc's is, reads zero after MADV_DONTNEED; a part that holds
    // no whole page, or a refused advice, is written instead.
    if (end <= begin || end - begin < 16 * page ||
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED) != 0) {
        std::memset(first, 0, bytes);
        return;
    }
    std::memset(first, 0, begin - reinterpret_cast<uintptr_t>(first));
    std::memset(reinterpret_cast<void*>(end), 0, reinterpret_cast<uintptr_t>(first) + bytes - end);
}

void platform::ReturnFreedHeap()
{
    ::malloc_trim(0);
}
