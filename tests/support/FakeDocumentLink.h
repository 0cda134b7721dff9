#pragma once
// Stands in for the document while a test runs: installed by the constructor, removed by the
// destructor. Script errors get a visible prefix so tests can see they went through it.

#include <map>

#include "foundation/DocumentLink.h"

class FakeDocumentLink final : public DocumentLink
{
public:
    FakeDocumentLink() { SetDocumentLink(this); }
    ~FakeDocumentLink() override { SetDocumentLink(nullptr); }
    FakeDocumentLink(const FakeDocumentLink&) = delete;
    FakeDocumentLink& operator=(const FakeDocumentLink&) = delete;

    CArchiveFile* GetUpdateArchive() override { return m_update_archive; }
    CArchiveManager* GetDataArchive() override { return m_data_archive; }
    int32_t GetGameValue(size_t index) override
    {
        return m_game_values.contains(index) ? m_game_values[index] : 0;
    }
    int GetLanguage() override { return m_language; }
    CStringUTF8 FormatScriptError(CStringUTF8 message) override
    {
        return CStringUTF8("script(1)\n") + message;
    }

    CArchiveFile* m_update_archive = nullptr;  // not owned
    CArchiveManager* m_data_archive = nullptr; // not owned
    std::map<size_t, int32_t> m_game_values;
    int m_language = 0;
};
