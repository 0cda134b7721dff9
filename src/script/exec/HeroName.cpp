#include "script/exec/HeroName.h"

#include <algorithm>

CStringUTF8 GetDefaultHeroName(int32_t language)
{
    switch (language) {
    case 0:
        return CStringUTF8("Ryusuke");
    case 1: // the same name, in each Chinese's own characters
        return CStringUTF8("龙介");
    case 2:
        return CStringUTF8("龍介");
    default:
        return CStringUTF8("りゅうのすけ");
    }
}

void StoreHeroName(std::vector<uint8_t>& bytes, const CStringUTF8& name)
{
    const auto length = static_cast<size_t>(name.GetLength());
    if (bytes.size() < HERO_NAME_OFFSET + length + 1)
        bytes.resize(HERO_NAME_OFFSET + length + 1);
    std::copy_n(name.GetText(), length, bytes.begin() + HERO_NAME_OFFSET);
    bytes[HERO_NAME_OFFSET + length] = 0;
}
