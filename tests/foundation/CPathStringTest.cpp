#include "foundation/CPathString.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> ComponentsOf(CPathString path)
{
    path.Split();
    std::vector<std::string> names;
    for (const CStringUTF8& name : path.GetComponents())
        names.push_back(name.GetStdString());
    return names;
}

} // namespace

TEST(CPathString, SplitYieldsTheFolderNames)
{
    CPathString key("/Config/Language");
    key.AddBackslash();
    EXPECT_EQ(ComponentsOf(key), (std::vector<std::string>{"Config", "Language"}));
    // Without the backslash the last name is the file part, not a component.
    EXPECT_EQ(ComponentsOf(CPathString("/Config/Language")), (std::vector<std::string>{"Config"}));
    EXPECT_EQ(ComponentsOf(CPathString("//Config\\\\MesWnd//Speed\\")),
              (std::vector<std::string>{"Config", "MesWnd", "Speed"}));
    EXPECT_EQ(ComponentsOf(CPathString("C:\\Games\\\xE3\x81\x82\\save.dat")),
              (std::vector<std::string>{"Games", "\xE3\x81\x82"})); // the drive is not a folder
    EXPECT_TRUE(ComponentsOf(CPathString("name")).empty());
}

TEST(CPathString, SplitStartsAfresh)
{
    CPathString path("/a/b/");
    path.Split();
    path.Split();
    EXPECT_EQ(path.GetComponents().size(), 2u);
    path.Assign("/c/");
    path.Split();
    ASSERT_EQ(path.GetComponents().size(), 1u);
    EXPECT_EQ(path.GetComponents()[0].GetStdString(), "c");
}

TEST(CPathString, BuildsFromWideText)
{
    const CPathString path(u"C:\\\u30BB\u30FC\u30D6\\");
    EXPECT_EQ(path.GetStdString(), "C:\\\xE3\x82\xBB\xE3\x83\xBC\xE3\x83\x96\\");
    EXPECT_TRUE(path.GetComponents().empty());
}

TEST(CPathString, AddBackslashOnlyBehindAFileName)
{
    CStringUTF8 file("C:\\Games\\config.xml");
    EXPECT_EQ(file.AddBackslash().GetStdString(), "C:\\Games\\config.xml\\");
    EXPECT_EQ(file.GetStdString(), "C:\\Games\\config.xml\\");
    CStringUTF8 folder("C:\\Games\\");
    EXPECT_EQ(folder.AddBackslash().GetStdString(), "C:\\Games\\");
    CStringUTF8 slash("save/");
    EXPECT_EQ(slash.AddBackslash().GetStdString(), "save/");
    CStringUTF8 word("Save");
    EXPECT_EQ(word.AddBackslash().GetStdString(), "Save\\");
    CStringUTF8 drive("D:");
    EXPECT_EQ(drive.AddBackslash().GetStdString(), "D:");
}

TEST(CPathString, GetDirectoryKeepsDriveAndFolders)
{
    EXPECT_EQ(CStringUTF8("C:\\Games\\Vesk\\vesk.exe").GetDirectory().GetStdString(), "C:\\Games\\Vesk\\");
    EXPECT_EQ(CStringUTF8("/opt/vesk/vesk").GetDirectory().GetStdString(), "/opt/vesk/");
    EXPECT_EQ(CStringUTF8("D:vesk.exe").GetDirectory().GetStdString(), "D:");
    EXPECT_EQ(CStringUTF8("vesk.exe").GetDirectory().GetStdString(), "");
    EXPECT_EQ(CStringUTF8("C:\\\xE3\x81\x82\\a.txt").GetDirectory().GetStdString(), "C:\\\xE3\x81\x82\\");
}
