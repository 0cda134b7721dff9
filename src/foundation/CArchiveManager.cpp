#include "foundation/CArchiveManager.h"

#include "foundation/CString.h"
#include "foundation/DocumentLink.h"
#include "foundation/PlayerMessage.h"

namespace {

CArchiveFile* UpdateArchive()
{
    DocumentLink* link = GetDocumentLink();
    return link ? link->GetUpdateArchive() : nullptr;
}

} // namespace

CArchiveManager::CArchiveManager(CStringUTF8 list, bool compressed, bool raise)
{
    Open(std::move(list), compressed, raise);
}

CArchiveManager::~CArchiveManager()
{
    CloseAll();
}

int CArchiveManager::Open(CStringUTF8 list, bool compressed, bool raise)
{
    // Every ";" ends a piece, and the text after the last one is a piece too, even when empty.
    CStringUTF8 piece;
    for (const char* c = list.GetText(); *c != '\0'; ++c) {
        if (*c == ';') {
            m_paths.push_back(piece);
            piece.Empty();
        } else {
            piece.Append(*c);
        }
    }
    m_paths.push_back(piece);

    // The whole list is opened again, the pieces of earlier lists included, each once.
    m_current = nullptr;
    m_archives.clear();
    for (size_t k = 0; k < m_paths.size(); ++k) {
        auto archive = std::make_unique<CArchiveFile>();
        try {
            archive->OpenArchive(m_paths[k], compressed, raise);
        } catch (const CString& error) {
            DocumentLink* link = GetDocumentLink();
            ShowPlayerMessage(0, link ? link->FormatScriptError(error) : CStringUTF8(error));
            return 0;
        }
        m_archives.push_back(std::move(archive));
    }
    return 1;
}

void CArchiveManager::CloseAll()
{
    for (std::unique_ptr<CArchiveFile>& archive : m_archives)
        archive->CloseArchive();
    m_archives.clear();
    m_current = nullptr;
}

int CArchiveManager::Exists(CStringUTF8 name)
{
    if (CArchiveFile* update = UpdateArchive(); update && update->Exists(name))
        return 1;
    for (std::unique_ptr<CArchiveFile>& archive : m_archives) {
        if (archive->Exists(name))
            return 1;
    }
    return 0;
}

int CArchiveManager::OpenEntry(CStringUTF8 name)
{
    if (CArchiveFile* update = UpdateArchive(); update && update->OpenRead(name)) {
        m_current = update;
        return 1;
    }
    for (std::unique_ptr<CArchiveFile>& archive : m_archives) {
        if (archive->OpenRead(name)) {
            m_current = archive.get();
            return 1;
        }
    }
    CString message;
    message.Format("ファイルオープンエラー\n%s", name.GetText());
    throw message;
}

int CArchiveManager::CloseEntry()
{
    if (!m_current)
        return 0;
    const int result = m_current->Close();
    m_current = nullptr;
    return result;
}

int CArchiveManager::ReadAll(void* buffer)
{
    return m_current ? m_current->ReadAll(buffer) : 0;
}

DWORD CArchiveManager::GetSize()
{
    return m_current ? m_current->GetSize() : 0;
}

DWORD CArchiveManager::GetPosition()
{
    return m_current ? m_current->GetPosition() : 0;
}

HANDLE CArchiveManager::DuplicateEntryHandle()
{
    return m_current ? m_current->DuplicateEntryHandle() : nullptr;
}
