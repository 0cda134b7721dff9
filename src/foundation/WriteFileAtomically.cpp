#include "foundation/WriteFileAtomically.h"

#include <algorithm>
#include <string>

#include "foundation/CFile.h"
#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/FileApi.h"

namespace {

thread_local DeferredFolderFlush* t_deferred = nullptr;

bool FlushFolder(const CStringUTF8& folder)
{
    return FlushFolderBuffers(folder.IsEmpty() ? u"." : folder.GetWideText()) != FALSE;
}

// The folder part of a path, separator included; empty for a bare name.
CStringUTF8 FolderOf(const CStringUTF8& path)
{
    const std::string text = path.GetStdString();
    const size_t separator = text.find_last_of("\\/");
    return separator == std::string::npos ? CStringUTF8()
                                          : CStringUTF8(text.substr(0, separator + 1).c_str());
}

bool Fail(CStringUTF8* reason)
{
    if (reason != nullptr)
        *reason = SystemErrorText(GetLastError());
    return false;
}

// Writes and flushes the temporary; false with the reason taken at the failing call.
bool WriteTemporary(const CStringUTF8& temp_path, std::span<const uint8_t> bytes, CStringUTF8* reason)
{
    CFile file;
    if (!file.OpenWrite(temp_path, CREATE_ALWAYS))
        return Fail(reason);
    size_t done = 0;
    do {
        // Large files go in pieces: one WriteFile moves at most a DWORD.
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        if (!file.Write(bytes.data() + done, piece) || file.GetBytesMoved() != piece) {
            if (GetLastError() == ERROR_SUCCESS)
                SetLastError(ERROR_DISK_FULL); // a write that took fewer bytes without a reason
            Fail(reason);
            file.Close();
            return false;
        }
        done += piece;
    } while (done < bytes.size());
    if (!FlushFileBuffers(file.GetHandle())) {
        Fail(reason);
        file.Close();
        return false;
    }
    if (!file.Close())
        return Fail(reason);
    return true;
}

// Copies the file at path to keep_as (through a flushed temporary) and leaves path as it is, so
// the folder never lacks the file. Answers true when the copy is whole or there was no file; a
// path that is there but cannot be read as a file (a folder) sets moved_aside after renaming it
// to keep_as instead, which a file can never lack.
bool KeepCopy(const CStringUTF8& path, const CStringUTF8& keep_as, CStringUTF8* reason, bool& moved_aside)
{
    CFile from;
    if (!from.OpenRead(path)) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return true;
        const DWORD attributes = GetFileAttributesW(path.GetWideText());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            SetLastError(error);
            return Fail(reason);
        }
        if (!MoveFileExW(path.GetWideText(), keep_as.GetWideText(), MOVEFILE_REPLACE_EXISTING))
            return Fail(reason);
        moved_aside = true;
        return true;
    }
    const CStringUTF8 temp_path = keep_as + ".tmp";
    CFile to;
    if (!to.OpenWrite(temp_path, CREATE_ALWAYS))
        return Fail(reason);
    std::vector<uint8_t> piece(1u << 16);
    bool copied = true;
    for (;;) {
        if (!from.Read(piece.data(), static_cast<DWORD>(piece.size()))) {
            copied = Fail(reason);
            break;
        }
        const DWORD got = from.GetBytesMoved();
        if (got == 0)
            break;
        if (!to.Write(piece.data(), got) || to.GetBytesMoved() != got) {
            if (GetLastError() == ERROR_SUCCESS)
                SetLastError(ERROR_DISK_FULL);
            copied = Fail(reason);
            break;
        }
    }
    copied = copied && (FlushFileBuffers(to.GetHandle()) || Fail(reason));
    copied = (to.Close() || Fail(reason)) && copied;
    copied =
        copied && (MoveFileExW(temp_path.GetWideText(), keep_as.GetWideText(), MOVEFILE_REPLACE_EXISTING) ||
                   Fail(reason));
    if (!copied)
        DeleteFileW(temp_path.GetWideText());
    return copied;
}

} // namespace

void RemoveCutWrite(const CStringUTF8& path, const CStringUTF8* keep_previous_as)
{
    DeleteFileW((path + ".tmp").GetWideText());
    if (keep_previous_as != nullptr)
        DeleteFileW((*keep_previous_as + ".tmp").GetWideText());
}

bool FlushFolderOf(const CStringUTF8& path)
{
    return FlushFolder(FolderOf(path));
}

CStringUTF8 SystemErrorText(DWORD error)
{
    LPWSTR text = nullptr;
    if (FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr) == 0)
        return CStringUTF8();
    std::u16string wide(text);
    LocalFree(text);
    while (!wide.empty() && (wide.back() == u'\n' || wide.back() == u'\r'))
        wide.pop_back();
    return CStringUTF8(wide);
}

bool WriteFileAtomically(const CStringUTF8& path, std::span<const uint8_t> bytes, CStringUTF8* reason,
                         const CStringUTF8* keep_previous_as)
{
    const CStringUTF8 temp_path = path + ".tmp";
    if (!WriteTemporary(temp_path, bytes, reason)) {
        DeleteFileW(temp_path.GetWideText()); // a success leaves the last error as it was
        return false;
    }
    bool moved_aside = false;
    if (keep_previous_as != nullptr) {
        if (!KeepCopy(path, *keep_previous_as, reason, moved_aside)) {
            DeleteFileW(temp_path.GetWideText());
            return false;
        }
        // The kept copy's name reaches the disk before the new file's rename can: a disk that kept
        // the later rename alone would hold neither the old bytes nor their copy. Never deferred;
        // without it the old file stays.
        if (!FlushFolder(FolderOf(*keep_previous_as))) {
            Fail(reason);
            DeleteFileW(temp_path.GetWideText());
            if (moved_aside)
                MoveFileExW(keep_previous_as->GetWideText(), path.GetWideText(), 0);
            return false;
        }
    }
    if (!MoveFileExW(temp_path.GetWideText(), path.GetWideText(), MOVEFILE_REPLACE_EXISTING)) {
        Fail(reason);
        DeleteFileW(temp_path.GetWideText());
        if (moved_aside)
            MoveFileExW(keep_previous_as->GetWideText(), path.GetWideText(), 0);
        return false;
    }
    // The new file is in place either way; a folder that cannot be flushed only means the rename
    // may not yet be on the disk, which a later save repeats.
    if (t_deferred != nullptr)
        t_deferred->Add(FolderOf(path));
    else
        FlushFolder(FolderOf(path));
    return true;
}

DeferredFolderFlush::DeferredFolderFlush()
    : m_outer(t_deferred)
{
    t_deferred = this;
}

DeferredFolderFlush::~DeferredFolderFlush()
{
    t_deferred = m_outer;
}

void DeferredFolderFlush::Add(const CStringUTF8& folder)
{
    if (std::find(m_folders.begin(), m_folders.end(), folder) == m_folders.end())
        m_folders.push_back(folder);
}

bool DeferredFolderFlush::Flush()
{
    bool flushed = true;
    for (const CStringUTF8& folder : m_folders)
        flushed = FlushFolder(folder) && flushed;
    m_folders.clear();
    return flushed;
}
