#pragma once
// One open ".arc" archive: an index of named entries, each stored plain or as one LZSS stream
// (the opener says which), read one entry at a time. A file of the entry's name in the current
// folder is read instead of the entry. Owned by an archive set (CArchiveManager) or, for
// "update.arc", by the document. One thread at a time: the archive keeps one file position.

#include <cstdint>
#include <map>
#include <vector>

#include "foundation/CFile.h"
#include "foundation/CStringUTF8.h"

inline constexpr size_t ARCHIVE_MAX_ENTRIES = 30000;

class CArchiveFile : public CFile
{
public:
    // Bits of the flags word.
    static constexpr DWORD INDEX_LOADED = 0x1; // set by a successful OpenArchive, never cleared
    static constexpr DWORD COMPRESSED = 0x2;   // every entry is an LZSS stream
    static constexpr DWORD RAISE_ERRORS = 0x4; // OpenArchive throws instead of answering 0

    CArchiveFile();
    ~CArchiveFile() override;

    // Opens the entry, upper-casing the name first, or the loose file of that name.
    bool OpenRead(CStringUTF8 name) override;
    // Closes the loose file when one is open (its result); 1 otherwise. The archive stays open.
    bool Close() override;
    // The open entry's size: decoded when compressed, as stored when plain.
    DWORD GetSize() override;
    // Position in the archive file; right after OpenRead, the entry's data offset.
    DWORD GetPosition() override;

    virtual int OpenArchive(CStringUTF8 path, bool compressed, bool raise);
    virtual void CloseArchive();
    // A file of that name in the current folder, or an entry of exactly that name.
    virtual bool Exists(CStringUTF8 name);
    // Reads the whole open entry into a buffer of GetSize bytes, decoded when compressed; raises
    // the read error when no entry is open, a closed archive included.
    virtual int ReadAll(void* buffer);
    // A handle that shares the archive's file position, for readers on other threads; 0 on failure.
    virtual HANDLE DuplicateEntryHandle();
    virtual CStringUTF8 GetArchivePath() const;
    // Writes every entry as a file into the folder, in name order. Stops at the first entry that
    // cannot be read or written, or whose name is not a plain upper-case file name (the only
    // names OpenRead finds), and answers false.
    virtual bool ExtractEntry(CStringUTF8 folder);

    DWORD GetFlags() const { return m_flags; }

private:
    struct Entry
    {
        uint8_t name_length = 0;
        std::vector<char> name; // plain, with a terminating zero
        uint32_t stored_size = 0;
        uint32_t decoded_size = 0;
        uint32_t data_offset = 0;
    };

    // The entry of the open entry name, or null.
    const Entry* FindOpenEntry() const;
    // Throws the text, formatted with the open entry name, as a CString.
    [[noreturn]] void ThrowEntryError(const char* format) const;
    // What OpenArchive does with a header or index it cannot use: 0, or a CString with the path.
    int FailOpen(const char* format, const CStringUTF8& path);
    // Reads the entry's bytes from the archive's position into buffer, decoded when compressed.
    bool ReadEntryBytes(const Entry& entry, void* buffer);

    DWORD m_flags = 0;
    CStringUTF8 m_entry_name;   // upper-cased name of the last OpenRead
    CStringUTF8 m_archive_path; // of the last successful OpenArchive
    CFile m_loose_file;         // open instead of an entry when the current folder has the name
    std::map<CStringUTF8, size_t> m_entry_map; // plain name -> index into m_entries
    std::vector<Entry> m_entries;
};
