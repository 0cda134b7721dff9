#pragma once
// What code below the application shell needs of the document, which lives above it in app/: the
// update archive that every archive set asks first, the data archive the language tables load
// from, the current game state and its engine state word, the interface language, the error
// prefix naming the running script, and the sound the effects play. The document installs itself
// at start-up and removes itself at teardown. Without it everything behaves as before the game
// starts: no update archive, no data archive, a fresh game state (every value 0 and so the engine
// state word), language 0, messages unchanged, effects silent. Main thread only, except
// PlayEffectSound and GetEngineStateWord.

#include <cstddef>
#include <cstdint>

#include "foundation/CStringUTF8.h"

class CArchiveFile;
class CArchiveManager;

class DocumentLink
{
public:
    virtual ~DocumentLink() = default;

    virtual CArchiveFile* GetUpdateArchive() = 0;  // null when "update.arc" could not be opened
    virtual CArchiveManager* GetDataArchive() = 0; // the set opened on "data.arc"
    // The integer of Values[index] of the current FlagBuffer; 0 when it has no such value.
    virtual int32_t GetGameValue(size_t index) = 0;
    virtual int GetLanguage() = 0; // 0 English .. 3 Japanese
    virtual CStringUTF8 FormatScriptError(CStringUTF8 message) = 0;
    // Runs a message of the language table through the story-text machinery, noting its id for
    // the backlog; nothing before the game starts.
    virtual void ShowLanguageMessage(const CStringUTF8& text, int32_t id)
    {
        (void)text;
        (void)id;
    }
    // Plays the named sound on the first music channel at the music volume. Called from the
    // app-task thread by the effects that run there.
    virtual void PlayEffectSound(const CStringUTF8& name) { (void)name; }
    // The engine state word of the current game state; other threads get it as the main thread
    // last read or wrote it.
    virtual uint32_t GetEngineStateWord() { return 0; }
};

// Not owned: the document outlives every use between these two calls. Null removes it. Atomic,
// so an effect on the app-task thread reads it safely.
void SetDocumentLink(DocumentLink* link);
DocumentLink* GetDocumentLink();
