#include "sound/SoundSystem.h"

#include "foundation/CCriticalSection.h"
#include "foundation/PlayerMessage.h"
#include "foundation/ScopedLock.h"
#include "platform/kernel/HeapApi.h"

#include <algorithm>
#include <vector>

IDirectSound8* g_direct_sound = nullptr;
IDirectSoundBuffer* g_primary_buffer = nullptr;
DSCAPS g_sound_caps{};

namespace {

struct PoolBlock
{
    uint32_t offset; // from the pool base
    uint32_t size;   // as asked; the block owns [offset, offset + rounded size)
};

uint8_t* g_pool_base = nullptr;
uint32_t g_pool_free = 0;
std::vector<PoolBlock> g_pool_blocks; // sorted by offset

CCriticalSection& PoolLock()
{
    static auto* s_lock = new CCriticalSection(LOCK_LEVEL_SOUND_POOL); // never destroyed, used at exit
    return *s_lock;
}

uint32_t RoundedSize(uint32_t size)
{
    return static_cast<uint32_t>((static_cast<uint64_t>(size) + SOUND_POOL_GRANULE) & ~uint64_t{0xFFFF});
}

// Each block gets room of its own, so giving back a block that is not the last one taken
// can never place a later block over one still in use.
bool FindRoom(uint32_t size, uint32_t* offset, size_t* insert_at)
{
    uint64_t candidate = 0;
    for (size_t i = 0; i <= g_pool_blocks.size(); ++i) {
        const uint64_t limit = i < g_pool_blocks.size() ? g_pool_blocks[i].offset : SOUND_POOL_BYTES;
        if (candidate + size <= limit) {
            *offset = static_cast<uint32_t>(candidate);
            *insert_at = i;
            return true;
        }
        if (i < g_pool_blocks.size())
            candidate = static_cast<uint64_t>(g_pool_blocks[i].offset) + RoundedSize(g_pool_blocks[i].size);
    }
    return false;
}

} // namespace

const char* CreateSoundSystem(HWND window)
{
    static constexpr const char* DEVICE_FAILED = "Failed to initialize the DirectSound";
    if (FAILED(DirectSoundCreate8(nullptr, &g_direct_sound, nullptr))) {
        g_direct_sound = nullptr;
        return DEVICE_FAILED;
    }
    if (FAILED(g_direct_sound->SetCooperativeLevel(window, DSSCL_PRIORITY))) {
        ReleaseSoundSystem();
        return DEVICE_FAILED;
    }
    if (!g_primary_buffer) {
        DSBUFFERDESC description{};
        description.dwSize = sizeof(DSBUFFERDESC);
        description.dwFlags = DSBCAPS_PRIMARYBUFFER;
        if (FAILED(g_direct_sound->CreateSoundBuffer(&description, &g_primary_buffer, nullptr))) {
            g_primary_buffer = nullptr;
            ReleaseSoundSystem();
            return DEVICE_FAILED;
        }
        const WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
        if (FAILED(g_primary_buffer->SetFormat(&format))) {
            ReleaseSoundSystem();
            return DEVICE_FAILED;
        }
    }
    {
        ScopedLock lock(PoolLock());
        g_pool_base =
            static_cast<uint8_t*>(VirtualAlloc(nullptr, SOUND_POOL_BYTES, MEM_RESERVE, PAGE_READWRITE));
        if (!g_pool_base) {
            g_pool_free = 0;
        } else {
            g_pool_free = SOUND_POOL_BYTES;
            g_pool_blocks.clear();
        }
    }
    if (!g_pool_base) {
        ReleaseSoundSystem();
        return "Failed to create the Work Memory";
    }
    g_sound_caps = DSCAPS{};
    g_sound_caps.dwSize = sizeof(DSCAPS);
    g_direct_sound->GetCaps(&g_sound_caps); // informational only
    return nullptr;
}

void* AllocSoundMemory(uint32_t size)
{
    bool exhausted = false;
    void* block = nullptr;
    {
        ScopedLock lock(PoolLock());
        if (!g_pool_base || size > g_pool_free)
            return nullptr;
        uint32_t offset = 0;
        size_t insert_at = 0;
        if (!FindRoom(size, &offset, &insert_at))
            return nullptr;
        block = VirtualAlloc(g_pool_base + offset, size, MEM_COMMIT, PAGE_READWRITE);
        if (!block)
            return nullptr;
        g_pool_blocks.insert(g_pool_blocks.begin() + static_cast<std::ptrdiff_t>(insert_at),
                             PoolBlock{offset, size});
        const uint32_t rounded = RoundedSize(size);
        if (g_pool_free < rounded) {
            exhausted = true;
            g_pool_free = 0;
        } else {
            g_pool_free -= rounded;
        }
    }
    // Shown outside the pool lock: a message box may take its time.
    if (exhausted)
        ShowPlayerMessage(0, "Sound Buffer Memory out");
    return block;
}

void FreeSoundMemory(void* block, uint32_t size)
{
    if (!block)
        return;
    ScopedLock lock(PoolLock());
    if (!g_pool_base)
        return;
    const auto offset = static_cast<uint32_t>(static_cast<uint8_t*>(block) - g_pool_base);
    const auto found = std::find_if(g_pool_blocks.begin(), g_pool_blocks.end(),
                                    [offset](const PoolBlock& b) { return b.offset == offset; });
    if (found == g_pool_blocks.end())
        return;
    VirtualFree(block, size, MEM_DECOMMIT);
    g_pool_blocks.erase(found);
    g_pool_free += size;
}

uint32_t GetSoundMemoryFree()
{
    ScopedLock lock(PoolLock());
    return g_pool_free;
}

void ReleaseSoundSystem()
{
    {
        ScopedLock lock(PoolLock());
        if (g_pool_base) {
            VirtualFree(g_pool_base, 0, MEM_RELEASE);
            g_pool_base = nullptr;
            g_pool_free = 0;
            g_pool_blocks.clear();
        }
    }
    if (g_primary_buffer) {
        g_primary_buffer->Release();
        g_primary_buffer = nullptr;
    }
    if (g_direct_sound) {
        g_direct_sound->Release();
        g_direct_sound = nullptr;
    }
}
