#pragma once
// The save store: the one owner of the files the game keeps in the save folder. It names them (a
// play in the second scenario, SpMode 1 in the document's current game state, keeps its own "SP_"
// set), reads and writes flag files, save data files and thumbnails, each write through the
// atomic writer (a failed write keeps the old file), reads the system flag file whose slot table
// lists the saves (rebuilding a damaged or missing one from the slot files), and commits the saves
// and deletes that move slot files as sets. The save and load screens, the quick, auto and
// scene-skip saves and the script commands all come here. Main thread; flag file writes hold the
// store's lock.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "foundation/CStringUTF8.h"

class FlagBuffer;
class ILayer;
class ScriptValueTable;

// The arrays a range copy between a game state and a flag file works on.
enum class FlagArray
{
    Flags,
    Words,
    Bytes,
    Variables,
};

enum class SaveFileRead
{
    Loaded,
    Missing,
    Damaged,
};

// What a read makes of a missing save data file: a reported error, or an empty table.
enum class MissingSaveData
{
    Report,
    Empty,
};

// Whether a thumbnail that cannot be written is reported or skipped silently.
enum class ThumbnailFailure
{
    Report,
    Skip,
};

enum class InitialListing
{
    NoSave,
    Listed,
    Unsettled,
};

class SaveStore
{
public:
    // "%sFLAG%03u", or "%sSP_FLAG%03u" in the second scenario.
    static CStringUTF8 FlagFileName(uint32_t number);
    // "%sSaveData%03u.dat", or "%sSP_SaveData%03u.dat" in the second scenario.
    static CStringUTF8 SaveDataFileName(uint32_t number);
    // "%ssel%03u": the choice snapshot of a slot; there is no "SP_" form.
    static CStringUTF8 SelectionFileName(uint32_t number);
    // "%sthm%03u", or "%sSP_thm%03u" in the second scenario.
    static CStringUTF8 ThumbnailFileName(uint32_t number);
    // "%sonemes.dat": one file for both scenarios.
    static CStringUTF8 ReadBufferFileName();
    // Any other file of the save folder: "%s" + name.
    static CStringUTF8 FolderFileName(const char* name);

    // Of a box's texts in English, simplified Chinese, traditional Chinese and Japanese, the one
    // of the configured language.
    static const char* InPlayerLanguage(const std::array<const char*, 4>& texts);
    // "%s is damaged." in the configured language: a save file that cannot be read as one.
    static const char* DamagedFileText();

    // Flag file N into the target; a missing or damaged file is reported, or its text put in
    // `fault` for a caller that shows its own refusal.
    static SaveFileRead ReadFlagFile(uint32_t number, FlagBuffer& target, CStringUTF8* fault = nullptr);
    // The source into flag file N; false, with a report and the old file kept, when it cannot.
    [[nodiscard]] static bool WriteFlagFile(uint32_t number, const FlagBuffer& source);
    // ORs the source's flag bytes into flag file N; a missing file is made, a damaged one left for
    // the player to see.
    static void MergeIntoFlagFile(uint32_t number, const FlagBuffer& source);
    // Copies entries [start, start + count) of one array from flag file N into the state, or from
    // the state into the file (which is then written); see the image forms below.
    static void LoadRangeFromFile(FlagArray array, uint32_t number, FlagBuffer& state, int32_t start,
                                  int32_t count);
    static void StoreRangeToFile(FlagArray array, uint32_t number, const FlagBuffer& state, int32_t start,
                                 int32_t count);

    // The same operations on a flag file image already loaded. A load copies entries that both
    // the state and the image hold and stops with the range report at the first one missing. A
    // store copies from the state into the image, growing the image's array with zero or empty
    // entries, and answers false, with the report, at the first entry the state lacks (the
    // caller then saves nothing). The merge grows the image's Flags as needed.
    static void LoadRangeFromImage(FlagArray array, FlagBuffer& state, const FlagBuffer& image, int32_t start,
                                   int32_t count);
    static bool StoreRangeToImage(FlagArray array, FlagBuffer& image, const FlagBuffer& state, int32_t start,
                                  int32_t count);
    static void MergeFlagsIntoImage(FlagBuffer& image, const FlagBuffer& source);

    // The slot's save data file into the table; a damaged file is reported, a missing one as the
    // caller asks (Empty leaves the table empty and answers Missing); the report's text goes to
    // `fault` when given.
    static SaveFileRead ReadSaveData(uint32_t slot, ScriptValueTable& table, MissingSaveData missing,
                                     CStringUTF8* fault = nullptr);
    // False, with a report and the old file kept, when it cannot be written.
    [[nodiscard]] static bool WriteSaveData(uint32_t slot, const ScriptValueTable& table);

    // A failure skipped puts its reason in `fault` when given.
    [[nodiscard]] static bool WriteThumbnail(uint32_t slot, std::span<const uint8_t> bytes,
                                             ThumbnailFailure failure, CStringUTF8* fault = nullptr);
    // The slot's thumbnail into the display layer (192 x 108); 1 when shown.
    static int32_t ReadThumbnail(uint32_t slot, ILayer& display);

    // The system flag file (number 0) as it is on disk, after finishing or undoing a slot move a
    // stop left behind. A damaged one is rebuilt from the slot files and written at once (as by
    // every read of flag file 0), its bytes kept under ".bad"; so is a missing one while the slot
    // files hold saves, else it starts empty. Its Bytes always hold the whole slot table. False
    // while the slot files cannot be put in order or the rebuilt file cannot be written: nothing
    // may be saved, loaded or deleted then. Those are reported; so is, once until it reads again,
    // a system file that is there but cannot be opened, unless `fault` is given: it then takes
    // that reason, for a caller that words its own refusal, and stays empty for the others.
    static bool ReadSystemFile(FlagBuffer& image, CStringUTF8* fault = nullptr);
    // At start, while the initial save set is written because the system flag file is missing:
    // the initial system file's bytes get the saves the slot files hold listed, as in a rebuilt
    // one, so that the file that marks a set-up folder is never on the disk without them.
    // Unsettled (reported) while a slot move a stop left behind cannot be put in order: the saves
    // cannot be listed yet. NoticeListedSaves tells the player once the listed file is written.
    static InitialListing ListSavesInInitialSystemFile(std::vector<uint8_t>& bytes);
    static void NoticeListedSaves();

    // A save into the slot: slots dropped - 1 down to the slot move one slot up as sets (the
    // dropped slot's files set aside), the slot gets the stored state, the save data and the
    // thumbnail (none when empty or unwritable), and the system image, whose slot table lists
    // them, is written last. Any failure undoes every step: false, nothing changed.
    [[nodiscard]] static bool CommitSave(uint32_t slot, uint32_t dropped, const FlagBuffer& stored,
                                         const ScriptValueTable& data, std::span<const uint8_t> thumbnail,
                                         const FlagBuffer& system);
    // A delete: the slot's files set aside, slots slot + 1 to last move one slot down, and the
    // system image written; undone whole on failure.
    [[nodiscard]] static bool CommitDelete(uint32_t slot, uint32_t last, const FlagBuffer& system);
    // Every save deleted: the slots' files set aside, the system image written; undone whole on
    // failure.
    [[nodiscard]] static bool CommitDeleteAll(std::span<const uint32_t> slots, const FlagBuffer& system);

    // After a slot move was finished or undone under a system file (named in the save folder) that
    // reads but may list another layout: its slot table is made again from the slot files of its
    // scenario, as a damaged one's is, over the rest of its bytes, which are kept under ".bad"
    // first; the player is told. False, reported, when it cannot be written.
    [[nodiscard]] static bool RelistSlotFiles(const CStringUTF8& system_file);

    // At start, before anything writes: finishes or undoes a slot move a stop left behind, then
    // removes the temporaries of writes a stop cut short and set-aside slot files no journal
    // needs.
    static void RemoveLeftovers();
};
