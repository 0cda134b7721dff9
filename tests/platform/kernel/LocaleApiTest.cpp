#include "platform/kernel/LocaleApi.h"

#include <gtest/gtest.h>

#include "support/ScopedEnv.h"

TEST(LocaleApi, LocaleNamesMapToWindowsLanguageIds)
{
    // Windows LANGIDs: 0x0404 zh-TW, 0x0C04 zh-HK, 0x0804 zh-CN, 0x1004 zh-SG, 0x0411 ja-JP, 0x0409 en-US.
    struct Case
    {
        const char* locale;
        LANGID id;
    };
    const Case cases[] = {
        {"zh_TW.UTF-8", 0x0404}, {"zh_HK", 0x0C04}, {"zh_CN.GB18030", 0x0804}, {"zh_SG.UTF-8", 0x1004},
        {"ja_JP.UTF-8", 0x0411}, {"ja", 0x0411},    {"en_GB.UTF-8", 0x0409},   {"de_DE.UTF-8@euro", 0x0409},
        {"C", 0x0409},           {"POSIX", 0x0409}, {"zh-TW", 0x0404},         {"jav_ID", 0x0409},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::LangIdFromLocaleName(c.locale), c.id) << c.locale;
}

TEST(LocaleApi, LcAllWinsOverLcMessagesWhichWinsOverLang)
{
    ScopedEnv all("LC_ALL", "zh_TW.UTF-8");
    ScopedEnv messages("LC_MESSAGES", "ja_JP.UTF-8");
    ScopedEnv lang("LANG", "zh_CN.UTF-8");
    EXPECT_EQ(GetUserDefaultLangID(), 0x0404);
    {
        ScopedEnv empty_all("LC_ALL", "");
        EXPECT_EQ(GetUserDefaultLangID(), 0x0411);
        ScopedEnv no_messages("LC_MESSAGES", nullptr);
        EXPECT_EQ(GetUserDefaultLangID(), 0x0804);
        ScopedEnv no_lang("LANG", nullptr);
        EXPECT_EQ(GetUserDefaultLangID(), 0x0409);
    }
}
