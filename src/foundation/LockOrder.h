#pragma once
// The lock order of the whole program, in one place. A thread that holds a lock of some level
// may only take locks of a higher level (or one it already holds: critical sections are
// recursive). Each lock is built with its level (`CCriticalSection m_lock{LOCK_LEVEL_SPRITE}`);
// a new lock gets its level here first. Builds with VESK_LOCK_ORDER_CHECK (the sanitizer
// builds) check every acquisition and end the process naming both locks on a violation.
//
// Why this order: the app-task thread holds the frame-task list for a whole pass and draws
// inside it; a draw takes the display device, the draw pass walks the sprite manager's list and
// each sprite's steps. The main window holds its hook list while it dispatches a message, and a
// hook may redraw or touch the IME text; so no window call is made under the draw lock. Tasks
// play voices while they hold the draw lock. The XML documents, the private heap and the other
// leaves never call out while locked, so nothing is taken under them.
// Locks inside the platform layer (events, handle table, mixer, frame mailbox) are leaves below
// all of these: the layer never calls back into the game while holding one.

struct LockLevel
{
    int value;        // 0: unranked, never checked
    const char* name; // named in a violation report
    // Locks of this level may be taken while another of the same level is held: only for locks
    // one thread nests inward and every other thread takes alone.
    bool nests = false;
};

inline constexpr LockLevel LOCK_LEVEL_UNRANKED{0, "unranked lock"};
// Held during Dispatch. A modal loop run by one window's hook dispatches to another window (a
// dialog from the menu bar) under the first's list: lists nest inward on the main thread only,
// and Add and Remove on other threads take one list and nothing under it.
inline constexpr LockLevel LOCK_LEVEL_HOOK_LIST{10, "window hook list", true};
inline constexpr LockLevel LOCK_LEVEL_FRAME_TASK_LIST{20, "frame-task list"}; // the runner's task list
inline constexpr LockLevel LOCK_LEVEL_GLOBAL_DRAW{30, "global draw"};         // every scene change and frame
// A face-table run: held for one step by the face task, which the runner runs under the draw
// lock; taken by whoever empties the table, which may hold the draw lock too.
inline constexpr LockLevel LOCK_LEVEL_FACE_VOICE_RUN{32, "face voice run"};
// The document's numbered sprite layers; an animation task holds it while it blits from them.
inline constexpr LockLevel LOCK_LEVEL_SPRITE_LAYER_REGISTRY{35, "sprite-layer registry"};
inline constexpr LockLevel LOCK_LEVEL_DISPLAY_DEVICE{40, "display device"}; // the display's device context
inline constexpr LockLevel LOCK_LEVEL_SPRITE_MANAGER_LIST{50, "sprite manager list"}; // the draw list
inline constexpr LockLevel LOCK_LEVEL_CONTAINER_CHILDREN{55,
                                                         "container children"}; // child lists of containers
inline constexpr LockLevel LOCK_LEVEL_SPRITE{60, "sprite"};             // one sprite's animation steps
// One sound channel manager's name and object; the background voices call it from the task thread.
// A background voice's file list; its channel is played and faded under it.
inline constexpr LockLevel LOCK_LEVEL_BACKGROUND_VOICE{62, "background voice"};
inline constexpr LockLevel LOCK_LEVEL_SOUND_CHANNEL{65, "sound channel"};
inline constexpr LockLevel LOCK_LEVEL_SOUND_OBJECT{70, "sound object"}; // a sound object's state and refills
inline constexpr LockLevel LOCK_LEVEL_IME{80, "IME text"};              // the IME's composition text
inline constexpr LockLevel LOCK_LEVEL_MEDIA_FILE{90, "media file"};     // a movie stream's file position
inline constexpr LockLevel LOCK_LEVEL_FLAG_FILE{90, "flag file"};       // a flag-file writer
// The leaves: nothing is taken while one is held.
inline constexpr LockLevel LOCK_LEVEL_XML_DOCUMENT{100, "XML document"};   // one settings document
inline constexpr LockLevel LOCK_LEVEL_PRIVATE_HEAP{100, "private heap"};   // the private heap of CMemBase
inline constexpr LockLevel LOCK_LEVEL_SOUND_POOL{100, "sound pool"};       // the sound work-memory pool
inline constexpr LockLevel LOCK_LEVEL_ANIME_SLOTS{100, "anime slots"};     // the byte-code animation slots
inline constexpr LockLevel LOCK_LEVEL_ANIME_SPRITES{100, "anime sprites"}; // an animation task's sprite list
inline constexpr LockLevel LOCK_LEVEL_PARTICLE_HANDOVER{100,
                                                        "particle hand-over"}; // a particle builder's turn
inline constexpr LockLevel LOCK_LEVEL_FACE_VOICE_TABLE{100, "face voice table"}; // a face-voice table and its items
inline constexpr LockLevel LOCK_LEVEL_VOICE_NAMES{100, "voice names"};           // the voice channels' file names
inline constexpr LockLevel LOCK_LEVEL_EFFECT_RANDOM{100, "effect random"};     // the effects' random engine
inline constexpr LockLevel LOCK_LEVEL_VIDEO_TARGET{100, "video target"}; // a movie renderer's next target
inline constexpr LockLevel LOCK_LEVEL_MESSAGE_BOX_HOOK{100,
                                                       "message box hook"}; // the test hook of AppMessageBox
// Innermost: a layer notes what it wrote under whatever lock its writer holds, and takes nothing.
inline constexpr LockLevel LOCK_LEVEL_LAYER_CHANGES{110, "layer changes"};
