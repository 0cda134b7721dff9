#include "screens/system/CNameInput.h"

CStringUTF8 GetDefaultHeroName(int32_t language)
{
    switch (language) {
    case 0:
        return CStringUTF8("Ryusuke");
    case 1:
    case 2:
        return CStringUTF8("龍介");
    default:
        return CStringUTF8("りゅうのすけ");
    }
}
