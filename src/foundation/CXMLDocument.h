#pragma once
// One settings file in memory ("SystemInfo.xml", "FileInfo.xml", "config.xml"): a tree of
// elements and comments, every element also reachable by its full path ("/Config/Language").
// Owned by the application object. Every public operation may be called from any thread.

#include <atomic>
#include <cstdint>
#include <memory>

#include "foundation/CCriticalSection.h"
#include "foundation/CStringUTF8.h"
#include "foundation/CXMLNode.h"
#include "foundation/XMLPathMap.h"

class CXMLReader;

// Elements and comments together nest at most this deep; a deeper file is a parse error rather
// than a stack overflow.
inline constexpr uint32_t XML_MAX_NESTING = 256;

class CXMLDocument
{
public:
    explicit CXMLDocument(CStringUTF8 path);
    ~CXMLDocument();
    CXMLDocument(const CXMLDocument&) = delete;
    CXMLDocument& operator=(const CXMLDocument&) = delete;

    // 1 when the file was read and parsed. Otherwise 0, and the document starts empty, so
    // settings changed during the run can still be saved.
    uint32_t Load();
    // 1 when the file now holds the document; 0 leaves the file on disk as it was.
    [[nodiscard]] uint32_t Save();
    // Removes what a save that a stop cut short left beside the file; at start, before any save.
    void RemoveCutSave() const;

    int32_t GetInt(CStringUTF8 key, int32_t default_value);
    CStringUTF8 GetString(CStringUTF8 key, CStringUTF8 default_value);
    void SetInt(CStringUTF8 key, int32_t value);
    void SetString(CStringUTF8 key, CStringUTF8 value);

    // Grows with every change to any document and with every new one, so a reader may keep a
    // value it parsed while the count stays the same.
    static uint64_t GetChangeCount() { return s_changes.load(std::memory_order_acquire); }

    // "path\nmessage(line)\n" of the last failed parse; empty after a successful one.
    CStringUTF8 GetLoadError();
    const CStringUTF8& GetPath() const { return m_path; }
    CStringUTF8 GetVersion();
    CStringUTF8 GetEncoding();

private:
    // Both expect the caller to hold m_lock.
    CXMLNode* FindNode(const CStringUTF8& key);
    CXMLNode* CreateNode(const CStringUTF8& key);

    void ParseHeader(CXMLReader& reader);
    void ParseElements(CXMLReader& reader, CXMLNode* node);
    CStringUTF8 ParseComment(CXMLReader& reader);
    CStringUTF8 ReadTagName(CXMLReader& reader);
    void WriteNodes(CStringUTF8& out, int32_t depth, const CXMLNode* node);
    CStringUTF8 MakeIndent(int32_t depth);

    void ResetTree();
    static void NoteChange() { s_changes.fetch_add(1, std::memory_order_release); }

    static inline std::atomic<uint64_t> s_changes{0};

    CStringUTF8 m_path;
    CStringUTF8 m_encoding;
    CStringUTF8 m_version;
    std::unique_ptr<CXMLNode> m_root;
    XMLPathMap m_path_map;
    CCriticalSection m_lock{LOCK_LEVEL_XML_DOCUMENT}; // guards every member

    CStringUTF8 m_load_error;
    uint32_t m_nesting = 0; // open elements and comments during a parse
    // The file on disk could not be read as a document: the first Save moves it to path + ".bad"
    // before replacing it, so a hand edit gone wrong is not lost.
    bool m_keep_old_file = false;
};
