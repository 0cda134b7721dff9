#pragma once
// What every area below the shell shares of the document: the request word and its event tick,
// the engine state bits, the update flag and the codes a script unwinds to the document's frame
// with. The state each area works on is owned in that area (the drawing state in graphics/, the
// sound channels in sound/, the movie player in movie/, the script state in script/); the
// document in app/ builds those and implements this. Main thread only, except
// GetEngineStateWord.

#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "foundation/DocumentLink.h"

// Bits of the request word, shared with the game work's lock-status word.
inline constexpr uint32_t REQUEST_EXIT = 0x1;
inline constexpr uint32_t REQUEST_SYSTEM_SETTINGS = 0x2;
inline constexpr uint32_t REQUEST_RETURN_TO_TITLE = 0x4;
inline constexpr uint32_t REQUEST_WINDOW_SETTINGS = 0x8;
inline constexpr uint32_t REQUEST_SOUND_SETTINGS = 0x10;

// Operations of EventFlagOp.
inline constexpr uint32_t EVENT_FLAG_CLEAR = 0;
inline constexpr uint32_t EVENT_FLAG_SET = 1;
inline constexpr uint32_t EVENT_FLAG_TEST = 2;
inline constexpr uint32_t EVENT_FLAG_TICK = 3;

class GameDocument : public DocumentLink
{
public:
    // Thrown by value to unwind to the document's frame.
    enum tagDOCUMENT_CODE : uint32_t
    {
        DOCUMENT_QUIT = 0,
        DOCUMENT_SCRIPT_END = 1,
        DOCUMENT_SCRIPT_RETURN = 2,
        DOCUMENT_RESTORE_STACK = 3,
        DOCUMENT_RETURN_TO_TITLE = 4,
    };

    // op 0 clears the bits of the request word, 1 sets them, 2 tests them, 3 runs one event
    // tick; false for every other op and without an event manager.
    virtual bool EventFlagOp(uint32_t op, uint32_t bits) = 0;
    virtual uint32_t GetRequestWord() const = 0;

    virtual void SetEngineStateBits(uint32_t bits) = 0;
    virtual void ClearEngineStateBits(uint32_t bits) = 0;

    virtual uint32_t GetUpdateFlag() const = 0;

protected:
    // Only the document makes and frees one.
    GameDocument() = default;
    ~GameDocument() override = default;
};

// The document, made on first use by the shell's source: code below the shell reaches it here,
// the shell itself through GetDocument. Throws what the source throws when it cannot be made;
// null only while no source is installed.
GameDocument* GetGameDocument();
// Installed once by the shell before main; the function may be called from any thread.
void SetGameDocumentSource(GameDocument* (*source)());
