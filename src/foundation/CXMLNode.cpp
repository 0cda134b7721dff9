#include "foundation/CXMLNode.h"

#include <utility>

CXMLNode::CXMLNode(CStringUTF8 name, CXMLNode* parent)
    : m_name(std::move(name))
    , m_parent(parent)
{
    if (parent) {
        m_full_path = parent->m_full_path + "/";
        m_full_path = m_full_path + m_name;
    } else {
        m_full_path = m_name;
    }
}

CXMLNode* CXMLNode::AppendChild(std::unique_ptr<CXMLNode> child)
{
    m_children.push_back(std::move(child));
    return m_children.back().get();
}
