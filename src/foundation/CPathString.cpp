#include "foundation/CPathString.h"

#include <string>
#include <utility>

#include "platform/kernel/FileApi.h"

namespace {

constexpr size_t FOLDER_PART_SIZE = 260;

} // namespace

CPathString::CPathString(CStringUTF8 text)
    : CStringUTF8(std::move(text))
{}

CPathString::CPathString(const char16_t* text)
    : CStringUTF8(text)
{}

CPathString::CPathString(const char* text)
    : CStringUTF8(text)
{}

void CPathString::Split()
{
    m_components.clear();
    const std::u16string path = ToWide();
    char16_t folder[FOLDER_PART_SIZE] = {};
    _wsplitpath_s(path.c_str(), nullptr, 0, folder, FOLDER_PART_SIZE, nullptr, 0, nullptr, 0);
    std::u16string component;
    for (const char16_t* p = folder; *p != 0; ++p) {
        if (*p == u'/' || *p == u'\\') {
            if (!component.empty())
                m_components.emplace_back(component);
            component.clear();
        } else {
            component.push_back(*p);
        }
    }
}
