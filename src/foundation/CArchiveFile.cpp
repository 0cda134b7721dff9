#include "foundation/CArchiveFile.h"

#include <memory>
#include <span>

#include "foundation/CExecException.h"
#include "foundation/CString.h"
#include "foundation/FileNameCheck.h"
#include "foundation/Lzss.h"
#include "foundation/NameScramble.h"
#include "platform/kernel/FileApi.h"

namespace {

// An index record: name length, the name, then three big-endian words.
constexpr size_t RECORD_FIXED_SIZE = 13;

// An LZSS stream yields at most eight matches of 18 bytes for every 17 bytes.
constexpr uint64_t LZSS_MAX_EXPANSION = 9;

uint32_t BigEndian32(const uint8_t* bytes)
{
    return (uint32_t{bytes[0]} << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
}

// Stored bytes of compressed entries wait here while they are decoded. It only grows, so reads
// stop allocating once the largest entry has passed; one per thread, as archives are read from
// the main thread and from streaming threads alike.
std::vector<uint8_t>& StagingBuffer()
{
    thread_local std::vector<uint8_t> s_staging;
    return s_staging;
}

} // namespace

CArchiveFile::CArchiveFile() = default;

CArchiveFile::~CArchiveFile() = default;

int CArchiveFile::OpenArchive(CStringUTF8 path, bool compressed, bool raise)
{
    if (compressed)
        m_flags |= COMPRESSED;
    if (raise)
        m_flags |= RAISE_ERRORS;
    else
        m_flags &= ~RAISE_ERRORS;

    // A second OpenArchive must neither leak the first handle nor keep its index: until this one
    // succeeds the archive is closed and holds no entries.
    CFile::Close();
    m_entries.clear();
    m_entry_map.clear();
    m_flags &= ~INDEX_LOADED;
    if (!CFile::OpenRead(path)) {
        if (m_flags & RAISE_ERRORS) {
            CStringUTF8 message;
            message.Format("ファイルが見つかりません\n%s", path.GetText());
            throw CExecException(message);
        }
        return 0;
    }

    uint8_t length_bytes[4];
    if (!Read(length_bytes, sizeof length_bytes) || GetBytesMoved() != sizeof length_bytes)
        return FailOpen("アーカイブのヘッダー情報が読み込めません\n%s", path);
    const uint32_t index_length = length_bytes[0] | (length_bytes[1] << 8) | (length_bytes[2] << 16) |
                                  (uint32_t{length_bytes[3]} << 24);
    // The index must fit in the file before anything is allocated for it.
    const uint64_t file_size = CFile::GetSize() | (uint64_t{GetSizeHigh()} << 32);
    if (uint64_t{index_length} + 4 > file_size)
        return FailOpen("ファイル情報の読み込みに失敗しました\n%s", path);
    std::vector<uint8_t> index(index_length);
    if (!Read(index.data(), index_length) || GetBytesMoved() != index_length)
        return FailOpen("ファイル情報の読み込みに失敗しました\n%s", path);

    std::vector<Entry> entries;
    std::map<CStringUTF8, size_t> entry_map;
    for (size_t p = 0; p < index.size();) {
        const size_t name_length = index[p];
        if (entries.size() == ARCHIVE_MAX_ENTRIES || index.size() - p < RECORD_FIXED_SIZE + name_length)
            return FailOpen("ファイル情報の読み込みに失敗しました\n%s", path);
        Entry& entry = entries.emplace_back();
        entry.name_length = static_cast<uint8_t>(name_length);
        entry.name.assign(index.begin() + p + 1, index.begin() + p + 1 + name_length);
        UnscrambleName(std::span(reinterpret_cast<uint8_t*>(entry.name.data()), name_length));
        entry.name.push_back('\0');
        const uint8_t* numbers = index.data() + p + 1 + name_length;
        entry.stored_size = BigEndian32(numbers);
        entry.decoded_size = BigEndian32(numbers + 4);
        entry.data_offset = BigEndian32(numbers + 8);
        // An entry must lie inside the file, and a compressed one cannot decode to more than its
        // stream can hold, so no caller allocates for a size the archive cannot deliver.
        if (uint64_t{entry.data_offset} + entry.stored_size > file_size ||
            ((m_flags & COMPRESSED) && entry.decoded_size > LZSS_MAX_EXPANSION * entry.stored_size))
            return FailOpen("ファイル情報の読み込みに失敗しました\n%s", path);
        entry_map.emplace(CStringUTF8(entry.name.data()), entries.size() - 1);
        p += name_length + RECORD_FIXED_SIZE;
    }

    m_entries = std::move(entries);
    m_entry_map = std::move(entry_map);
    m_flags |= INDEX_LOADED;
    m_archive_path = path;
    return 1;
}

int CArchiveFile::FailOpen(const char* format, const CStringUTF8& path)
{
    CFile::Close();
    if (m_flags & RAISE_ERRORS) {
        CString message;
        message.Format(format, path.GetText());
        throw message;
    }
    return 0;
}

void CArchiveFile::CloseArchive()
{
    CFile::Close();
    m_entry_map.clear();
}

bool CArchiveFile::OpenRead(CStringUTF8 name)
{
    name.MakeUpper();
    m_loose_file.Close();
    m_entry_name = name;
    if (m_loose_file.OpenRead(name))
        return true;
    if (!(m_flags & INDEX_LOADED))
        return false;
    const Entry* entry = FindOpenEntry();
    if (!entry)
        return false;
    return Seek(entry->data_offset, FILE_BEGIN);
}

bool CArchiveFile::Close()
{
    if ((m_loose_file.GetHandle() != nullptr))
        return m_loose_file.Close();
    return true;
}

const CArchiveFile::Entry* CArchiveFile::FindOpenEntry() const
{
    const auto found = m_entry_map.find(m_entry_name);
    return found == m_entry_map.end() ? nullptr : &m_entries[found->second];
}

void CArchiveFile::ThrowEntryError(const char* format) const
{
    CString message;
    message.Format(format, m_entry_name.GetText());
    throw message;
}

DWORD CArchiveFile::GetSize()
{
    if ((m_loose_file.GetHandle() != nullptr))
        return m_loose_file.GetSize();
    const Entry* entry = (m_flags & INDEX_LOADED) ? FindOpenEntry() : nullptr;
    if (!entry)
        ThrowEntryError("ファイルサイズの取得に失敗しました\n%s");
    return (m_flags & COMPRESSED) ? entry->decoded_size : entry->stored_size;
}

DWORD CArchiveFile::GetPosition()
{
    if ((m_loose_file.GetHandle() != nullptr))
        return m_loose_file.GetPosition();
    if (!(m_flags & INDEX_LOADED) || !FindOpenEntry())
        ThrowEntryError("ファイルポインタの取得に失敗しました\n%s");
    return CFile::GetPosition();
}

HANDLE CArchiveFile::DuplicateEntryHandle()
{
    if ((m_loose_file.GetHandle() != nullptr))
        return m_loose_file.DuplicateHandle();
    if (!(m_flags & INDEX_LOADED) || !FindOpenEntry())
        ThrowEntryError("ファイルハンドルの取得に失敗しました\n%s");
    return CFile::DuplicateHandle();
}

int CArchiveFile::ReadAll(void* buffer)
{
    static constexpr const char* READ_ERROR = "ファイルの読み込みに失敗しました\n%s";
    if ((m_loose_file.GetHandle() != nullptr)) {
        const DWORD size = m_loose_file.GetSize();
        if (!m_loose_file.Read(buffer, size) || m_loose_file.GetBytesMoved() != size)
            ThrowEntryError(READ_ERROR);
        return 1;
    }
    // A closed archive has nothing to read: the caller's buffer would be left as it was.
    const Entry* entry = (m_flags & INDEX_LOADED) ? FindOpenEntry() : nullptr;
    if (!entry || !ReadEntryBytes(*entry, buffer))
        ThrowEntryError(READ_ERROR);
    return 1;
}

bool CArchiveFile::ReadEntryBytes(const Entry& entry, void* buffer)
{
    if (!(m_flags & COMPRESSED))
        return Read(buffer, entry.stored_size) && GetBytesMoved() == entry.stored_size;
    std::vector<uint8_t>& staging = StagingBuffer();
    staging.resize(entry.stored_size);
    if (!Read(staging.data(), entry.stored_size) || GetBytesMoved() != entry.stored_size)
        return false;
    // The caller's buffer holds exactly the decoded size; a stream that yields fewer bytes would
    // leave part of it unwritten, so it fails like any other read.
    return LzssDecode(staging, std::span(static_cast<uint8_t*>(buffer), entry.decoded_size))
        .Complete(entry.decoded_size);
}

bool CArchiveFile::Exists(CStringUTF8 name)
{
    WIN32_FIND_DATAW find_data;
    const HANDLE find = FindFirstFileW(name.GetWideText(), &find_data);
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
        return true;
    }
    return (m_flags & INDEX_LOADED) && m_entry_map.contains(name);
}

CStringUTF8 CArchiveFile::GetArchivePath() const
{
    return m_archive_path;
}

bool CArchiveFile::ExtractEntry(CStringUTF8 folder)
{
    // Each entry is read by its own record, not reopened by name, so a loose file of the same
    // name cannot stand in for it. Only upper-case names can be opened, so only they are
    // extracted; this also keeps two names that differ only in case from landing on one file.
    for (const auto& [name, index] : m_entry_map) {
        const Entry& entry = m_entries[index];
        CStringUTF8 upper = name;
        upper.MakeUpper();
        if (!IsPlainFileName(name.ToWide()) || !upper.IsEqual(name.GetStdString()))
            return false;
        m_loose_file.Close();
        m_entry_name = name;
        const DWORD size = (m_flags & COMPRESSED) ? entry.decoded_size : entry.stored_size;
        std::vector<uint8_t> bytes(size);
        if (!Seek(entry.data_offset, FILE_BEGIN) || !ReadEntryBytes(entry, bytes.data()))
            return false;
        CStringUTF8 path = folder;
        path.AddBackslash();
        path = path + name;
        CFile output;
        if (!output.OpenWrite(path, CREATE_ALWAYS))
            return false;
        const bool written = output.Write(bytes.data(), size) && output.GetBytesMoved() == size;
        if (!output.Close() || !written)
            return false;
    }
    return true;
}
