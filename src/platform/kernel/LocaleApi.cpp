#include "platform/kernel/LocaleApi.h"

#include <cstdlib>

namespace platform {

LANGID LangIdFromLocaleName(std::string_view locale)
{
    // language[_territory][.codeset][@modifier]; some systems write a hyphen for the underscore.
    locale = locale.substr(0, locale.find_first_of(".@"));
    const std::string_view::size_type split = locale.find_first_of("_-");
    const std::string_view language = locale.substr(0, split);
    const std::string_view territory =
        split == std::string_view::npos ? std::string_view{} : locale.substr(split + 1);

    if (language == "ja")
        return MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    if (language == "zh") {
        if (territory == "TW")
            return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL);
        if (territory == "HK")
            return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_HONGKONG);
        if (territory == "MO")
            return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_MACAU);
        if (territory == "SG")
            return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SINGAPORE);
        return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    }
    return MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
}

} // namespace platform

LANGID GetUserDefaultLangID()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return platform::LangIdFromLocaleName(value);
    }
    return platform::LangIdFromLocaleName("C");
}
