#pragma once
// The flag command group (library 14): sizes the arrays of the current game state, saves it to
// and loads it from numbered flag files, copies ranges of one array between the state and a
// file, merges the flag bytes into a file, clears and fills. The files themselves belong to the
// save store. Main thread.

#include <cstdint>

#include "script/commands/IFunc.h"
#include "script/save/SaveStore.h"

// The largest arrays a script may ask for: a million flags, words or bytes, 65,536 variables.
inline constexpr int32_t MAX_FLAG_ARRAY_SIZE = 1 << 20;
inline constexpr int32_t MAX_FLAG_VARIABLES = 1 << 16;

class IFuncFlag : public IFunc
{
public:
    void Call(CScript& script) override;

    // Loads flag file N into the target (the current state when null). 1 on success; 0, with a
    // report and the target unchanged, when the file is missing or damaged.
    virtual int LoadFlagFile(uint32_t file, FlagBuffer* target = nullptr);
    // ORs the source's flag bytes (the current state's when null) into flag file N.
    virtual void MergeIntoFlagFile(uint32_t file, const FlagBuffer* source = nullptr) = 0;
    // LoadFlagFile into the current state, without a restart.
    virtual void ReloadFlagFile(uint32_t file);

    // Writes the source (the current state when null) to flag file N through the atomic writer.
    // 1 on success; 0, with a report and the old file kept, when it cannot be written.
    [[nodiscard]] int SaveFlagFile(uint32_t file, const FlagBuffer* source = nullptr);
    void SetCurrentState(const FlagBuffer& source);

    // Counts above the caps below are refused with a report and change nothing.
    void ResizeFlags(int32_t flags, int32_t words, int32_t bytes, int32_t variables);
    // Loads file N into the current state, attaches the script it names and throws
    // tagDOCUMENT_CODE 3 so that the document rebuilds the script stack. Returns only when the
    // restart cannot be carried out (a script of the save data's stack, or the one the file
    // names, that the game does not hold): reported, nothing changed.
    void LoadAndRestart(uint32_t file);
    void LoadFlagsFromFile(uint32_t file, int32_t start, int32_t count);
    void LoadWordsFromFile(uint32_t file, int32_t start, int32_t count);
    void LoadBytesFromFile(uint32_t file, int32_t start, int32_t count);
    void LoadVariablesFromFile(uint32_t file, int32_t start, int32_t count);
    void StoreFlagsToFile(uint32_t file, int32_t start, int32_t count);
    void StoreWordsToFile(uint32_t file, int32_t start, int32_t count);
    void StoreBytesToFile(uint32_t file, int32_t start, int32_t count);
    void StoreVariablesToFile(uint32_t file, int32_t start, int32_t count);
    void ClearFlags();
    // Flags[i] := value for start <= i < end, kept inside the array.
    void FillFlags(int32_t start, int32_t end, int32_t value);

    // The same operations on a flag file image already loaded, so that a caller can load a file
    // once, apply several and save it once. A load copies entries [start, start + count) that
    // both the state and the image hold and stops with the range report at the first one
    // missing. A store copies from the state into the image, growing the image's array with
    // zero or empty entries, and answers false, with the report, at the first entry the state
    // lacks (the caller then saves nothing). The merge grows the image's Flags as needed.
    void LoadRangeFromImage(FlagArray array, const FlagBuffer& image, int32_t start, int32_t count);
    bool StoreRangeToImage(FlagArray array, FlagBuffer& image, int32_t start, int32_t count);
    static void MergeFlagsIntoImage(FlagBuffer& image, const FlagBuffer& source);

protected:
    void StoreRangeToFile(FlagArray array, uint32_t file, int32_t start, int32_t count);
    void LoadRangeFromFile(FlagArray array, uint32_t file, int32_t start, int32_t count);
};

class CFuncFlag final : public IFuncFlag
{
public:
    void MergeIntoFlagFile(uint32_t file, const FlagBuffer* source = nullptr) override;
};
