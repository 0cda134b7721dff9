#pragma once
// One element or comment of a settings document. A node owns its children; an empty name marks a
// comment, whose value is the whole comment with its delimiters. Reached only under the owning
// document's lock.

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/CStringUTF8.h"

class CXMLNode
{
public:
    // With a parent the full path is the parent's, "/" and the name; without one, the name alone.
    CXMLNode(CStringUTF8 name, CXMLNode* parent);
    CXMLNode(const CXMLNode&) = delete;
    CXMLNode& operator=(const CXMLNode&) = delete;

    const CStringUTF8& GetFullPath() const { return m_full_path; }
    const CStringUTF8& GetName() const { return m_name; }
    bool IsComment() const { return m_name.GetLength() == 0; }

    const CStringUTF8& GetValue() const { return m_value; }
    void SetValue(const CStringUTF8& value) { m_value = value; }

    CXMLNode* GetParent() const { return m_parent; }
    const std::vector<std::unique_ptr<CXMLNode>>& GetChildren() const { return m_children; }
    CXMLNode* AppendChild(std::unique_ptr<CXMLNode> child);

    bool HasBreakAfterStart() const { return m_break_after_start != 0; }
    void SetBreakAfterStart(bool set) { m_break_after_start = set ? 1 : 0; }
    bool HasBreakAfterEnd() const { return m_break_after_end != 0; }
    void SetBreakAfterEnd(bool set) { m_break_after_end = set ? 1 : 0; }

private:
    CStringUTF8 m_full_path;
    CStringUTF8 m_name;
    CStringUTF8 m_value;
    CXMLNode* m_parent;                                // not owned; null for the root
    std::vector<std::unique_ptr<CXMLNode>> m_children; // in document order
    uint8_t m_break_after_start = 0;                   // a line break followed the start tag
    uint8_t m_break_after_end = 0;                     // a line break followed the end tag or "-->"
};
