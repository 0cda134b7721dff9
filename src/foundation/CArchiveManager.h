#pragma once
// An ordered set of archives of one kind ("data.arc", "script.arc", ...) that opens a named entry
// from whichever holds it. The lookup order is the game's override rule: a loose file in the
// current folder, then the document's "update.arc", then the set's archives in list order. One
// entry is open at a time; one thread at a time.

#include <memory>
#include <vector>

#include "foundation/CArchiveFile.h"
#include "foundation/CStringUTF8.h"

class CArchiveManager
{
public:
    // Opens the ";"-separated list; what Open answers is not kept.
    CArchiveManager(CStringUTF8 list, bool compressed, bool raise);
    virtual ~CArchiveManager();
    CArchiveManager(const CArchiveManager&) = delete;
    CArchiveManager& operator=(const CArchiveManager&) = delete;

    // Adds the ";"-separated list, empty pieces included, to the paths of earlier lists and opens
    // every archive of them all afresh. An archive whose header or index cannot be read is
    // reported in a message box, and the rest of the list is left unopened: 0. Otherwise 1.
    virtual int Open(CStringUTF8 list, bool compressed, bool raise);
    virtual void CloseAll();
    virtual int Exists(CStringUTF8 name);
    // Makes the archive holding the name current; throws "ファイルオープンエラー" when none has it.
    virtual int OpenEntry(CStringUTF8 name);
    virtual int CloseEntry();
    virtual int ReadAll(void* buffer);
    virtual DWORD GetSize();
    virtual DWORD GetPosition();
    virtual HANDLE DuplicateEntryHandle();

    // The archive holding the open entry, or null. Not owned.
    CArchiveFile* GetCurrentArchive() const { return m_current; }

private:
    std::vector<CStringUTF8> m_paths;
    std::vector<std::unique_ptr<CArchiveFile>> m_archives; // in list order
    CArchiveFile* m_current = nullptr; // not owned: one of m_archives or the document's update archive
};
