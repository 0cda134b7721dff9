#pragma once
// Full element path ("/Screen/Window/Width") to its element, hashed: settings are read by path
// many times a frame, and paths share long prefixes that an ordered map compares again at every
// level. The nodes are owned by the document's tree; comments are never entered, and of two
// elements with the same path only the first one read is.

#include <functional>
#include <string_view>
#include <unordered_map>

#include "foundation/CStringUTF8.h"

class CXMLNode;

struct XMLPathHash
{
    size_t operator()(const CStringUTF8& path) const
    {
        return std::hash<std::string_view>{}(
            std::string_view(path.GetText(), static_cast<size_t>(path.GetLength())));
    }
};

using XMLPathMap = std::unordered_map<CStringUTF8, CXMLNode*, XMLPathHash>;
