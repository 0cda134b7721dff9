#pragma once
// The save command group (library 27): the document's save-data table that scripts edit, its
// snapshot that a save writes, their copies to and from the game state's Variables, and the save
// data file "SaveData%03u.dat" of a slot, which the save store reads and writes. Main thread.

#include <cstdint>

#include "script/commands/IFunc.h"

class ScriptValueTable;

class CFuncSave final : public IFunc
{
public:
    CFuncSave();
    void Call(CScript& script) override;

    // Writes the snapshot through the atomic writer; true when the file was written. A failure
    // keeps the old file and is reported with the file's name and the system's reason.
    [[nodiscard]] bool SaveDataFile(uint32_t slot);
    // The same with a table prepared by the caller in place of the snapshot.
    [[nodiscard]] bool SaveDataFile(uint32_t slot, const ScriptValueTable& table);
    // Reads the slot's file into the table and makes the snapshot a copy; a missing file reads
    // as an empty table. A damaged file is reported and changes neither. True when the file was
    // read.
    bool LoadDataFile(uint32_t slot);
    void SetDataTable(const ScriptValueTable& table);
    void SaveScriptStack();
    void RemoveValueArray(int32_t group, int32_t index);

    // Sub-functions 2 to 4 on the Variables of the current game state; entries the array lacks
    // are skipped on writes and read as empty values (a record holds at most as many values as
    // the array).
    int32_t CopyRecordToVariables(int32_t start, int32_t group, int32_t index);
    int32_t ListGroupIndexes(int32_t start, int32_t group);
    void StoreVariablesAsRecord(int32_t start, int32_t count, int32_t group, int32_t index);

private:
    ScriptValueTable* m_table;    // not owned: the document's SaveDataTable
    ScriptValueTable* m_snapshot; // not owned: the document's SaveDataSnapshot
};
