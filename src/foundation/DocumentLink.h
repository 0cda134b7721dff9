#pragma once
// What foundation code needs of the document, which lives above it in app/: the update archive
// that every archive set asks first, the data archive the language tables load from, the current
// game state, the interface language, the error prefix naming the running script, and the sound
// the effects play. The document installs itself at start-up and removes itself at teardown.
// Without it the foundation behaves as before the game starts: no update archive, no data archive,
// a fresh game state (every value 0), language 0, messages unchanged, effects silent. Main thread
// only, except PlayEffectSound.

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
};

// Not owned: the document outlives every use between these two calls. Null removes it. Atomic,
// so an effect on the app-task thread reads it safely.
void SetDocumentLink(DocumentLink* link);
DocumentLink* GetDocumentLink();
