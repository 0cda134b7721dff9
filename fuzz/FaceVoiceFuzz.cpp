// A face-voice table: loaded from the data archive as the one entry of a plain archive, then its
// items started and every record each item names read, as the face animation does.
#include <vector>

#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "arcpack/ArchiveWriter.h"
#include "foundation/CArchiveManager.h"
#include "foundation/DocumentLink.h"
#include "screens/base/CFaceVoice.h"

namespace {

// The document as far as the table's loading needs it: the data archive.
class ArchiveOnlyLink final : public DocumentLink
{
public:
    explicit ArchiveOnlyLink(CArchiveManager* archive)
        : m_archive(archive)
    {
        SetDocumentLink(this);
    }
    ~ArchiveOnlyLink() override { SetDocumentLink(nullptr); }
    ArchiveOnlyLink(const ArchiveOnlyLink&) = delete;
    ArchiveOnlyLink& operator=(const ArchiveOnlyLink&) = delete;

    CArchiveFile* GetUpdateArchive() override { return nullptr; }
    CArchiveManager* GetDataArchive() override { return m_archive; }
    int32_t GetGameValue(size_t) override { return 0; }
    int GetLanguage() override { return 0; }
    CStringUTF8 FormatScriptError(CStringUTF8 message) override { return message; }

private:
    CArchiveManager* m_archive; // not owned
};

} // namespace

int FuzzFaceVoice(const uint8_t* data, size_t size)
{
    PrepareFuzzProcess();
    const std::vector<tools::ArchiveEntry> entries = {{"FACE.FV", std::vector<uint8_t>(data, data + size)}};
    const std::vector<uint8_t> archive_bytes = tools::BuildArchive(entries, tools::ArchiveEncoding::Plain);
    const CStringUTF8 path = WriteFuzzFile("data.arc", archive_bytes.data(), archive_bytes.size());
    CArchiveManager archive(path, false, false);
    ArchiveOnlyLink link(&archive);
    CFaceVoice face;
    if (!face.LoadTable("FACE.FV"))
        return 0;
    const size_t count = face.StartItems();
    for (size_t index = 0; index < count; ++index)
        face.GetRecord(index);
    face.Clear();
    return 0;
}
