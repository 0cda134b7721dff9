#pragma once
// The process-wide sound objects every sound buffer sits on: the DirectSound device, its primary
// buffer, the device capabilities and the sound memory pool, one reserved region from which each
// sound object commits its work memory. Made by the document's start-up, released at exit by
// ReleaseSoundSystem after every sound object is gone. The pool is used from the threads that
// create and destroy sound objects; its bookkeeping has a lock of its own.

#include "platform/dsound/DSoundApi.h"
#include "platform/kernel/WinTypes.h"

#include <cstdint>

inline constexpr uint32_t SOUND_POOL_BYTES = 17'130'016;
// Each block takes the next multiple of this strictly above its size from the free count.
inline constexpr uint32_t SOUND_POOL_GRANULE = 65'536;

extern IDirectSound8* g_direct_sound;
extern IDirectSoundBuffer* g_primary_buffer;
extern DSCAPS g_sound_caps;

// Device, cooperative level (any window), 44,100 Hz 16-bit stereo primary buffer, the pool
// reservation and the capabilities, in that order. Returns null on success, otherwise the text
// the caller throws as CExecException ("Failed to initialize the DirectSound" or "Failed to
// create the Work Memory"); whatever was made by then has been released again.
const char* CreateSoundSystem(HWND window);

// Commits size bytes from the pool; null when the free count is below size or no room is left.
// Shows "Sound Buffer Memory out" (and the free count drops to 0) when the rounded size passes
// the free count.
void* AllocSoundMemory(uint32_t size);
// Gives a block back: decommits it and adds the size it was asked with to the free count.
void FreeSoundMemory(void* block, uint32_t size);
// Bytes the pool still counts as free.
uint32_t GetSoundMemoryFree();

// Releases the pool, the primary buffer and the device, in that order; safe when any is absent.
void ReleaseSoundSystem();
