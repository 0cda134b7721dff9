#include "screens/extras/MosaicNameTable.h"

#include <algorithm>
#include <string>

std::vector<CStringUTF8>& GetMosaicNameTable()
{
    static std::vector<CStringUTF8> table;
    return table;
}

bool IsMosaicName(const CStringUTF8& name)
{
    const std::vector<CStringUTF8>& table = GetMosaicNameTable();
    const std::string wanted = name.GetStdString();
    return std::ranges::any_of(table, [&](const CStringUTF8& entry) { return entry.GetStdString() == wanted; });
}
