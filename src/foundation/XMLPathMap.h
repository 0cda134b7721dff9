#pragma once
// Full element path ("/Screen/Window/Width") to its element, ordered byte-wise. The nodes are
// owned by the document's tree; comments are never entered, and of two elements with the same
// path only the first one read is.

#include <map>

#include "foundation/CStringUTF8.h"

class CXMLNode;

using XMLPathMap = std::map<CStringUTF8, CXMLNode*>;
