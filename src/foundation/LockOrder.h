#pragma once
// The lock order of the whole program, in one place. A thread that holds a lock of some level
// may only take locks of a higher level; each lock member names its level in a comment
// ("// lock level 30: global draw"). A new lock gets its level here first.
//
// Why this order: the app-task thread holds the frame-task list for a whole pass and draws
// inside it; a draw takes the display device, the draw pass walks the sprite manager's list and
// each sprite's steps. The main window holds its hook list while it dispatches a message, and a
// hook may redraw or touch the IME text. Tasks play voices while they hold the draw lock. The
// XML documents and the private heap never call out while locked, so they are leaves.
// Locks inside the platform layer (events, handle table, mixer, frame mailbox) are leaves below
// all of these: the layer never calls back into the game while holding one.

inline constexpr int LOCK_LEVEL_HOOK_LIST = 10;           // a window's hook list, held during Dispatch
inline constexpr int LOCK_LEVEL_FRAME_TASK_LIST = 20;     // the frame-task runner's task list
inline constexpr int LOCK_LEVEL_GLOBAL_DRAW = 30;         // every scene change and frame draw/present
inline constexpr int LOCK_LEVEL_DISPLAY_DEVICE = 40;      // the display's device context
inline constexpr int LOCK_LEVEL_SPRITE_MANAGER_LIST = 50; // the sprite manager's draw list
inline constexpr int LOCK_LEVEL_CONTAINER_CHILDREN = 55;  // the child lists of sprite containers
inline constexpr int LOCK_LEVEL_SPRITE = 60;              // one sprite's animation steps
inline constexpr int LOCK_LEVEL_SOUND_CHANNEL = 65;       // one sound channel manager's name and object
inline constexpr int LOCK_LEVEL_SOUND_OBJECT = 70;        // one sound object's state and buffer refills
inline constexpr int LOCK_LEVEL_IME = 80;                 // the IME object's composition text
inline constexpr int LOCK_LEVEL_MEDIA_FILE = 90;          // a movie stream's file position (I/O thread only)
inline constexpr int LOCK_LEVEL_FLAG_FILE = 90;           // a flag-file writer
inline constexpr int LOCK_LEVEL_XML_DOCUMENT = 100;       // leaf: one settings document
inline constexpr int LOCK_LEVEL_PRIVATE_HEAP = 100;       // leaf: the private heap of CMemBase
inline constexpr int LOCK_LEVEL_ANIME_SLOTS = 100;        // leaf: the byte-code animation slots
inline constexpr int LOCK_LEVEL_ANIME_SPRITES = 100;      // leaf: a sprite animation task's sprite list
inline constexpr int LOCK_LEVEL_PARTICLE_HANDOVER = 100;  // leaf: a particle builder's hand-over
