// What a player reads in a message box: paths in the system's own form, and lines laid out by the
// line-start table of every other text.
#include "foundation/PlayerMessage.h"

#include <gtest/gtest.h>

#include "foundation/LineBreakRules.h"
#include "platform/user/MessageBoxModel.h"
#include "platform/user/ScriptedMessageBoxPolicy.h"
#include "platform/user/UiFont.h"

namespace {

TEST(PlayerMessage, PathsShowWithSlashesAndNoBoxLineBeginsWithAMarkTheTableForbids)
{
    platform::ScriptedMessageBoxPolicy policy;
    // The rebuilt list's box, its path in the program's own Windows form.
    ShowPlayerMessage(0,
                      "/home/p/.local/share\\vesk\\demo\\Save\\FLAG000 が壊れていたため、セーブデータの一覧を"
                      "スロットのファイルから作り直しました。");
    ASSERT_EQ(policy.Shown().size(), 1u);
    const std::u16string shown = policy.Shown()[0].text;
    EXPECT_EQ(shown.find(u'\\'), std::u16string::npos);
    EXPECT_NE(shown.find(u"/home/p/.local/share/vesk/demo/Save/FLAG000 が"), std::u16string::npos);

    if (!platform::UiFont::GetInstance().HasFace())
        GTEST_SKIP() << "no font to measure the box's lines with";
    // Texts of every length up to three lines, so the box's edge meets each mark where it ends.
    bool wrapped = false;
    for (const std::u16string marks : {u"。", u"。」", u"」』）"}) {
        for (size_t count = 10; count < 120; ++count) {
            const std::u16string text = std::u16string(count, u'あ') + marks + u"次";
            platform::MessageBoxModel box;
            box.Begin(text, u"caption", 0);
            const std::vector<std::u16string>& lines = box.Lines();
            std::u16string joined;
            for (size_t i = 0; i < lines.size(); ++i) {
                ASSERT_FALSE(lines[i].empty()) << count;
                if (i > 0) {
                    EXPECT_FALSE(IsLineStartForbidden(lines[i].front(), ClosingMarks::TableText))
                        << count << " characters, line " << i;
                }
                joined += lines[i];
            }
            EXPECT_EQ(joined, text) << count; // nothing lost or doubled at a break
            wrapped = wrapped || lines.size() > 2;
        }
    }
    EXPECT_TRUE(wrapped);
}

} // namespace
