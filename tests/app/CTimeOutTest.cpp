// The countdown dialog on its own: its texts, its ticks and how it ends.
#include "app/CTimeOut.h"

#include <gtest/gtest.h>

#include "app/DialogTestFixture.h"
#include "foundation/CLangTextTable.h"
#include "mapwrite/MapTableWriter.h"
#include "platform/user/DialogDriver.h"
#include "platform/user/MessageBoxApi.h"

namespace {

class CTimeOutTest : public DialogTestFixture
{};

TEST_F(CTimeOutTest, CancelsItselfOnTheSixteenthTick)
{
    std::vector<std::u16string> labels;
    for (int tick = 0; tick < 17; ++tick) {
        m_dialogs.Queue(115, [&](HWND dialog) {
            labels.push_back(platform::DialogItemText(dialog, 1019));
            platform::VirtualClock::Advance(1000);
        });
    }
    CTimeOut countdown;
    EXPECT_EQ(countdown.DoModal(m_view), 0);
    // The label before any tick, then after each of the first fifteen.
    ASSERT_EQ(labels.size(), 16u);
    EXPECT_EQ(labels[0], u"15秒後に自動的に元に戻ります。");
    EXPECT_EQ(labels[1], u"15秒後に自動的に元に戻ります。");
    EXPECT_EQ(labels[8], u"8秒後に自動的に元に戻ります。");
    EXPECT_EQ(labels[15], u"1秒後に自動的に元に戻ります。");
    EXPECT_EQ(countdown.GetSecondsLeft(), 0);
    EXPECT_EQ(m_dialogs.PendingSteps(), 1u);
}

TEST_F(CTimeOutTest, AnAnswerBeforeTheEndStopsTheCountdown)
{
    m_dialogs.Queue(115, [&](HWND) { platform::VirtualClock::Advance(1000); });
    m_dialogs.Queue(115, [&](HWND dialog) { platform::DialogPressButton(dialog, IDOK); });
    CTimeOut countdown;
    EXPECT_EQ(countdown.DoModal(m_view), 1);
    EXPECT_EQ(countdown.GetSecondsLeft(), 14);
}

TEST_F(CTimeOutTest, LabelsComeFromTheLanguageTableWhenOneIsGiven)
{
    CLangTextTable texts;
    const tools::MapText entries[] = {{11, u"Confirm"}, {30, u"Keep"}, {31, u"Undo"}};
    const std::vector<uint8_t> table = tools::BuildMapTable(entries);
    for (int language = 0; language < LANGUAGE_COUNT; ++language)
        texts.AddEntries(table, language);
    std::u16string caption;
    std::u16string ok;
    std::u16string cancel;
    m_dialogs.Queue(115, [&](HWND dialog) {
        char16_t text[32]{};
        GetWindowTextW(dialog, text, 32);
        caption = text;
        ok = platform::DialogItemText(dialog, IDOK);
        cancel = platform::DialogItemText(dialog, IDCANCEL);
        platform::DialogPressButton(dialog, IDCANCEL);
    });
    CTimeOut countdown(&texts);
    EXPECT_EQ(countdown.DoModal(m_view), 0);
    EXPECT_EQ(caption, u"Confirm");
    EXPECT_EQ(ok, u"Keep");
    EXPECT_EQ(cancel, u"Undo");
}

} // namespace
