#include "foundation/CXMLDocument.h"

#include <algorithm>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "foundation/CFile.h"
#include "foundation/CPathString.h"
#include "foundation/CXMLException.h"
#include "foundation/CXMLReader.h"
#include "foundation/ScopedLock.h"
#include "foundation/WriteFileAtomically.h"
#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/FileApi.h"

namespace {

constexpr char NESTING_MESSAGE[] = "XML の入れ子が深すぎます。";

bool IsLineBreak(const CStringUTF8& c)
{
    return c.IsEqual("\n") || c.IsEqual("\r");
}

// Counts one open element or comment for as long as the parse is inside it.
class NestingGuard
{
public:
    NestingGuard(uint32_t& nesting, const CXMLReader& reader)
        : m_nesting(nesting)
    {
        if (m_nesting >= XML_MAX_NESTING)
            throw CXMLException(CStringUTF8(NESTING_MESSAGE), reader.GetLine());
        ++m_nesting;
    }
    ~NestingGuard() { --m_nesting; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

private:
    uint32_t& m_nesting;
};

// The byte-order mark decides the encoding; the header's encoding name is only a label.
std::string DecodeToUtf8(const std::vector<char>& data)
{
    const size_t size = data.size();
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        std::u16string wide;
        for (size_t i = 2; i + 1 < size; i += 2) {
            const char16_t unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
            if (unit == 0)
                break;
            wide.push_back(unit);
        }
        return WideToUtf8(wide);
    }
    const size_t start = (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) ? 3 : 0;
    const size_t end = std::find(data.begin() + start, data.end(), '\0') - data.begin();
    std::string narrow(data.data() + start, end - start);
    if (start == 3)
        return narrow;
    return WideToUtf8(AnsiToWide(narrow));
}

// The quote to write a header value with: a double quote unless the value holds one.
std::optional<char> QuoteFor(const CStringUTF8& value)
{
    const std::string& text = value.GetStdString();
    if (text.find('"') == std::string::npos)
        return '"';
    if (text.find('\'') == std::string::npos)
        return '\'';
    return std::nullopt;
}

} // namespace

CXMLDocument::CXMLDocument(CStringUTF8 path)
    : m_path(std::move(path))
    , m_encoding("Shift_JIS")
    , m_version("1.0")
{
    NoteChange();
}

CXMLDocument::~CXMLDocument() = default;

void CXMLDocument::ResetTree()
{
    m_path_map.clear();
    m_root = std::make_unique<CXMLNode>(CStringUTF8(), nullptr);
    NoteChange();
}

uint32_t CXMLDocument::Load()
{
    ScopedLock lock(m_lock);
    struct Noted
    {
        ~Noted() { NoteChange(); } // after the tree is complete, whatever the outcome
    } noted;
    m_load_error.Empty();

    CFile file;
    if (!file.OpenRead(m_path)) {
        const DWORD error = GetLastError();
        // A file that is there but cannot be opened is not overwritten blindly either.
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            m_keep_old_file = true;
        if (!m_root)
            ResetTree();
        return 0;
    }
    const DWORD size = file.GetSize();
    std::vector<char> data;
    bool read = size != INVALID_FILE_SIZE;
    if (read) {
        data.resize(size);
        read = size == 0 || (file.Read(data.data(), size) && file.GetBytesMoved() == size);
    }
    file.Close();

    ResetTree();
    if (!read) {
        m_keep_old_file = true;
        return 0;
    }

    std::string text;
    try {
        text = DecodeToUtf8(data);
    } catch (const std::system_error&) {
        m_keep_old_file = true; // bytes no code page takes: no document, but not to be lost
        return 0;
    }

    try {
        CXMLReader reader{CStringUTF8(std::move(text))};
        m_nesting = 0;
        ParseHeader(reader);
        ParseElements(reader, m_root.get());
    } catch (const CXMLException& exception) {
        m_load_error.Format("%s\n%s(%u)\n", m_path.GetText(), exception.GetMessage().GetText(),
                            exception.GetLine());
        ResetTree();
        m_keep_old_file = true;
        return 0;
    }
    return 1;
}

void CXMLDocument::ParseHeader(CXMLReader& reader)
{
    if (!reader.PeekChar(0).IsEqual("<") || !reader.PeekChar(1).IsEqual("?"))
        throw CXMLException(CStringUTF8("XML ヘッダーが存在しません。"), reader.GetLine());
    reader.ReadChar(2);
    reader.SkipSpaces();
    const CStringUTF8 xml = reader.ReadWord();
    if (!xml.IsEqual("xml"))
        throw CXMLException(CStringUTF8("XML ヘッダーが存在しません。"), reader.GetLine());
    reader.SkipSpaces();

    CStringUTF8 version;
    CStringUTF8 encoding;
    for (CStringUTF8 c = reader.ReadChar(0); !c.IsEmpty(); c = reader.ReadChar(0)) {
        const CStringUTF8 word = reader.ReadWord();
        CStringUTF8* value = nullptr;
        const char* message = nullptr;
        if (word.IsEqual("version")) {
            value = &version;
            message = "XML バージョン定義に不正な文字列が存在します。";
        } else if (word.IsEqual("encoding")) {
            value = &encoding;
            message = "XML エンコード定義に不正な文字列が存在します。";
        } else if (c.IsEqual("?")) {
            break;
        } else {
            throw CXMLException(CStringUTF8("XML ヘッダーに不正な文字列が存在します。"), reader.GetLine());
        }
        reader.SkipSpaces();
        if (!reader.ReadChar(1).IsEqual("="))
            throw CXMLException(CStringUTF8(message), reader.GetLine());
        reader.SkipSpaces();
        const CStringUTF8 quote = reader.ReadChar(0);
        if (!quote.IsEqual("\"") && !quote.IsEqual("'"))
            throw CXMLException(CStringUTF8(message), reader.GetLine());
        reader.ReadQuoted(*value);
        reader.SkipSpaces();
    }
    if (!reader.PeekChar(0).IsEqual("?") || !reader.PeekChar(1).IsEqual(">"))
        throw CXMLException(CStringUTF8("XML ヘッダーの終端子が存在しません。"), reader.GetLine());
    // Save quotes each value with a quote it does not hold; a repeated attribute can gather both.
    if (!QuoteFor(version))
        throw CXMLException(CStringUTF8("XML バージョン定義に不正な文字列が存在します。"), reader.GetLine());
    if (!QuoteFor(encoding))
        throw CXMLException(CStringUTF8("XML エンコード定義に不正な文字列が存在します。"), reader.GetLine());
    m_version = version;
    m_encoding = encoding;
    reader.ReadChar(2);
    reader.SkipSpaces();
    reader.ReadChar(1); // the header line's line feed, or whatever stands there
}

void CXMLDocument::ParseElements(CXMLReader& reader, CXMLNode* node)
{
    CStringUTF8 text;
    for (CStringUTF8 c = reader.ReadChar(0); !c.IsEmpty(); c = reader.ReadChar(0)) {
        if (c.IsEqual("<")) {
            if (reader.PeekChar(1).IsEqual("!") && reader.PeekChar(2).IsEqual("-") &&
                reader.PeekChar(3).IsEqual("-")) {
                CStringUTF8 comment = ParseComment(reader);
                CXMLNode* child = node->AppendChild(std::make_unique<CXMLNode>(CStringUTF8(), node));
                child->SetValue(comment);
                child->SetBreakAfterEnd(IsLineBreak(reader.ReadChar(0)));
            } else if (reader.PeekChar(1).IsEqual("/")) {
                // The end tag is left for the level above, which checks its name; at the top level
                // nothing is above it, so the file ends there.
                if (!text.IsEmpty()) {
                    if (!node->GetValue().IsEmpty())
                        throw CXMLException(CStringUTF8("値を二重登録しています。"), reader.GetLine());
                    node->SetValue(text);
                    text.Empty();
                }
                return;
            } else {
                reader.ReadChar(1);
                const CStringUTF8 name = ReadTagName(reader);
                // An empty name marks a comment node, so such an element would be saved as one.
                if (name.IsEmpty())
                    throw CXMLException(CStringUTF8("要素名が存在しません。"), reader.GetLine());
                NestingGuard guard(m_nesting, reader);
                CXMLNode* child = node->AppendChild(std::make_unique<CXMLNode>(name, node));
                m_path_map.emplace(child->GetFullPath(), child); // the first of equal paths keeps the key
                child->SetBreakAfterStart(IsLineBreak(reader.ReadChar(0)));
                ParseElements(reader, child);
                const CStringUTF8 end_name = ReadTagName(reader);
                if (!end_name.IsEqual(name.GetStdString())) {
                    CStringUTF8 message;
                    message.Format("%s の終端子が見つかりません", name.GetText());
                    throw CXMLException(message, reader.GetLine());
                }
                child->SetBreakAfterEnd(IsLineBreak(reader.ReadChar(0)));
            }
        } else if (IsLineBreak(c)) {
            reader.ReadChar(1);
        } else if (c.IsEqual("\t")) {
            reader.SkipSpaces(); // indentation: the tab and every blank behind it
        } else {
            text.Append(reader.ReadChar(1).GetStdString());
        }
    }
}

CStringUTF8 CXMLDocument::ParseComment(CXMLReader& reader)
{
    NestingGuard guard(m_nesting, reader);
    CStringUTF8 result;
    int depth = 0;
    const uint32_t start_line = reader.GetLine();
    for (CStringUTF8 c = reader.ReadChar(0); !c.IsEmpty(); c = reader.ReadChar(0)) {
        if (c.IsEqual("<") && reader.PeekChar(1).IsEqual("!") && reader.PeekChar(2).IsEqual("-") &&
            reader.PeekChar(3).IsEqual("-")) {
            if (depth == 0) {
                result.Append("<!--");
                reader.ReadChar(4);
                depth = 1;
            } else {
                result.Append(ParseComment(reader).GetStdString());
            }
        } else if (c.IsEqual("-") && reader.PeekChar(1).IsEqual("-") && reader.PeekChar(2).IsEqual(">")) {
            result.Append("-->");
            reader.ReadChar(3);
            depth -= 1;
            if (depth == 0)
                return result;
        } else {
            const CStringUTF8 word = reader.ReadWord();
            result.Append(word.IsEmpty() ? reader.ReadChar(1).GetStdString() : word.GetStdString());
        }
    }
    if (depth != 0)
        throw CXMLException(CStringUTF8("コメントの終端子が見つかりません"), start_line);
    return result;
}

CStringUTF8 CXMLDocument::ReadTagName(CXMLReader& reader)
{
    CStringUTF8 name;
    for (CStringUTF8 c = reader.ReadChar(0); !c.IsEmpty() && !c.IsEqual(">"); c = reader.ReadChar(0)) {
        if (c.IsEqual("<")) {
            reader.ReadChar(1);
            if (reader.ReadChar(0).IsEqual("/"))
                reader.ReadChar(1);
        } else {
            name.Append(reader.ReadChar(1).GetStdString());
        }
    }
    reader.ReadChar(1);
    return name;
}

uint32_t CXMLDocument::Save()
{
    ScopedLock lock(m_lock);
    CStringUTF8 text;
    const char version_quote = QuoteFor(m_version).value_or('"');
    const char encoding_quote = QuoteFor(m_encoding).value_or('"');
    text.Format("<?xml version=%c%s%c encoding=%c%s%c ?>\n", version_quote, m_version.GetText(), version_quote,
                encoding_quote, m_encoding.GetText(), encoding_quote);
    if (m_root)
        WriteNodes(text, 0, m_root.get());
    const std::string bytes = "\xEF\xBB\xBF" + text.GetStdString();

    // A document that could not be read keeps its old file as ".bad" beside the new one.
    const CStringUTF8 bad_path = m_path + ".bad";
    const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (!WriteFileAtomically(m_path, data, nullptr, m_keep_old_file ? &bad_path : nullptr))
        return 0;
    m_keep_old_file = false;
    return 1;
}

void CXMLDocument::RemoveCutSave() const
{
    const CStringUTF8 bad_path = m_path + ".bad";
    RemoveCutWrite(m_path, &bad_path);
}

void CXMLDocument::WriteNodes(CStringUTF8& out, int32_t depth, const CXMLNode* node)
{
    for (const std::unique_ptr<CXMLNode>& child : node->GetChildren()) {
        if (child->IsComment()) {
            // Comments lose their indentation.
            out.Append(child->GetValue().GetStdString());
            if (child->HasBreakAfterEnd())
                out.Append("\n");
            continue;
        }
        out.Append(MakeIndent(depth).GetStdString());
        out.Append("<" + child->GetName().GetStdString() + ">");
        if (child->HasBreakAfterStart())
            out.Append("\n");
        if (!child->GetChildren().empty()) {
            // Text beside child elements is not written back.
            WriteNodes(out, depth + 1, child.get());
            out.Append(MakeIndent(depth).GetStdString());
        } else if (!child->GetValue().IsEmpty()) {
            out.Append(child->GetValue().GetStdString());
        } else if (child->HasBreakAfterStart()) {
            out.Append(MakeIndent(depth).GetStdString());
        }
        out.Append("</" + child->GetName().GetStdString() + ">");
        if (child->HasBreakAfterEnd())
            out.Append("\n");
    }
}

CStringUTF8 CXMLDocument::MakeIndent(int32_t depth)
{
    return CStringUTF8(std::string(depth > 0 ? static_cast<size_t>(depth) : 0, '\t'));
}

CXMLNode* CXMLDocument::FindNode(const CStringUTF8& key)
{
    const auto found = m_path_map.find(key);
    return found == m_path_map.end() ? nullptr : found->second;
}

CXMLNode* CXMLDocument::CreateNode(const CStringUTF8& key)
{
    if (!m_root)
        ResetTree(); // never loaded
    CStringUTF8 key_path = key;
    key_path.AddBackslash(); // so that the last name is split off as a component too
    // A last name such as ".hidden" looks like an extension alone to the path splitter and gets
    // no backslash; it is a name all the same, not a request to set its parent's value.
    const std::string& text = key_path.GetStdString();
    if (!text.empty() && text.back() != '\\' && text.back() != '/')
        key_path.Append("\\");
    CPathString path_string(key_path);
    path_string.Split();

    CXMLNode* parent = m_root.get();
    CStringUTF8 path;
    for (const CStringUTF8& name : path_string.GetComponents()) {
        path.Append("/");
        path.Append(name.GetStdString());
        CXMLNode*& entry = m_path_map[path];
        if (entry) {
            parent = entry;
            continue;
        }
        CXMLNode* node = parent->AppendChild(std::make_unique<CXMLNode>(name, parent));
        node->SetBreakAfterStart(true);
        node->SetBreakAfterEnd(true);
        entry = node;
        parent = node;
    }
    parent->SetBreakAfterStart(false); // the leaf goes on one line
    return parent;
}

int32_t CXMLDocument::GetInt(CStringUTF8 key, int32_t default_value)
{
    ScopedLock lock(m_lock);
    const CXMLNode* node = FindNode(key);
    if (!node)
        return default_value;
    return node->GetValue().ToInt();
}

CStringUTF8 CXMLDocument::GetString(CStringUTF8 key, CStringUTF8 default_value)
{
    ScopedLock lock(m_lock);
    const CXMLNode* node = FindNode(key);
    if (!node)
        return default_value;
    return node->GetValue();
}

void CXMLDocument::SetInt(CStringUTF8 key, int32_t value)
{
    CStringUTF8 text;
    text.Format("%d", value);
    SetString(std::move(key), text);
}

void CXMLDocument::SetString(CStringUTF8 key, CStringUTF8 value)
{
    ScopedLock lock(m_lock);
    CXMLNode* node = FindNode(key);
    if (!node)
        node = CreateNode(key);
    node->SetValue(value);
    NoteChange();
}

CStringUTF8 CXMLDocument::GetLoadError()
{
    ScopedLock lock(m_lock);
    return m_load_error;
}

CStringUTF8 CXMLDocument::GetVersion()
{
    ScopedLock lock(m_lock);
    return m_version;
}

CStringUTF8 CXMLDocument::GetEncoding()
{
    ScopedLock lock(m_lock);
    return m_encoding;
}
