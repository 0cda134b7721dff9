#include "screens/base/CMiniDialog.h"

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "screens/ScreenFixture.h"
#include "sheetgen/SheetGenerator.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;
constexpr Cell NOTHING{0xFFFFFFFFu, -1};

class CMiniDialogThreadTest : public ScreenFixture
{
protected:
    CMiniDialogThreadTest()
        : ScreenFixture(DialogDataEntries())
    {}

    // Runs a built notice with the pointer on the OK button or away, a key or the left button
    // pressed from pump 40 to 42; the run is ended at pump 80 if nothing ended it.
    int32_t RunPressing(CMiniDialog& dialog, bool on_button, uint32_t key)
    {
        OnPump([&](int pump) {
            if (pump == 1) {
                if (on_button)
                    PointAt(960, 596);
                else
                    PointAt(10, 10);
            }
            if (pump == 40) {
                if (key == 0)
                    m_mouse.left_down = 1;
                else
                    m_keyboard.down = {key};
            }
            if (pump == 42) {
                m_mouse.left_down = 0;
                m_keyboard.down.clear();
            }
            if (pump > 80)
                dialog.Running = 0;
        });
        ScriptValue out = ScriptValue::FromInteger(99);
        dialog.Run(&out);
        m_pumps = Pumps();
        OnPump(nullptr);
        return out.Integer;
    }

    int m_pumps = 0;
};

} // namespace

TEST_F(CMiniDialogThreadTest, LayoutsShowTheirPanelMessageAndButton)
{
    struct Case
    {
        bool second; // CMiniDialog2
        int32_t kind;
        Cell panel;   // at (530, 470)
        Cell message; // at (900, message_y)
        int32_t message_y;
        Cell note; // at (900, 510)
        const char* png;
    } cases[] = {
        {false,
         0,
         {tools::NOTICE_SHEET_PANEL_SMALL, 0},
         {tools::NOTICE_SHEET_LINE, 0},
         500,
         NOTHING,
         "notice_0.png"},
        {false,
         1,
         {tools::DIALOG_SHEET_PANEL_SIMPLE, 0},
         {tools::NOTICE_SHEET_LINE + 1, 0},
         500,
         NOTHING,
         nullptr},
        {false,
         2,
         {tools::NOTICE_SHEET_PANEL_LARGE, 0},
         {tools::NOTICE_SHEET_LINE + 2, 0},
         420,
         {tools::NOTICE2_SHEET_NOTE, 0},
         "notice_2.png"},
        {false,
         3,
         {tools::NOTICE_SHEET_PANEL_LARGE, 0},
         {tools::NOTICE_SHEET_LINE + 3, 0},
         500,
         NOTHING,
         nullptr},
        {false,
         4,
         {tools::NOTICE_SHEET_PANEL_SMALL, 0},
         {tools::NOTICE2_SHEET_KIND_4, 0},
         500,
         NOTHING,
         nullptr},
        {false, 7, NOTHING, NOTHING, 500, NOTHING, "notice_7.png"},
        {true,
         5,
         {tools::NOTICE_SHEET_PANEL_SMALL, 0},
         {tools::NOTICE2_SHEET_LINE + 5, 0},
         500,
         NOTHING,
         "notice2_5.png"},
        {true,
         15,
         {tools::NOTICE_SHEET_PANEL_SMALL, 0},
         {tools::NOTICE2_SHEET_LINE + 15, 0},
         500,
         NOTHING,
         nullptr},
        // Lines outside the picture show none, however far out.
        {true,
         18,
         {tools::NOTICE_SHEET_PANEL_SMALL, 0},
         {tools::NOTICE_SHEET_PANEL_SMALL, 0},
         500,
         NOTHING,
         nullptr},
        {true,
         -1,
         {tools::NOTICE_SHEET_PANEL_SMALL, 0},
         {tools::NOTICE_SHEET_PANEL_SMALL, 0},
         500,
         NOTHING,
         nullptr},
        {true,
         0x7FFFFFFF,
         {tools::NOTICE_SHEET_PANEL_SMALL, 0},
         {tools::NOTICE_SHEET_PANEL_SMALL, 0},
         500,
         NOTHING,
         nullptr},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CMiniDialog> dialog =
            c.second ? std::make_unique<CMiniDialog2>() : std::make_unique<CMiniDialog>();
        ASSERT_EQ(dialog->Setup(c.kind, 200), 1) << c.kind;
        dialog->Show();
        Capture(c.png ? c.png : "");
        const std::string what =
            std::string(c.second ? "CMiniDialog2 " : "CMiniDialog ") + std::to_string(c.kind);
        EXPECT_EQ(ShownCell(530, 470), c.panel) << what;
        EXPECT_EQ(ShownCell(900, c.message_y), c.message) << what;
        if (c.note != NOTHING) {
            EXPECT_EQ(ShownCell(900, 510), c.note) << what;
        }
        EXPECT_EQ(ShownCell(960, 600), Cell(MINI_DIALOG_OK, 0)) << what;
        EXPECT_LT(Shown(100, 100) & 0xFFFFFF, 0x404040u) << what << ": dimmed";
    }
}

TEST_F(CMiniDialogThreadTest, EveryWayOutAnswersMinusOne)
{
    struct Case
    {
        bool on_button;
        uint32_t key; // 0: the left button
        const char* sound;
    } cases[] = {
        {true, 0, "play ses_001.wav"}, {true, 28, "play ses_001.wav"}, {false, 1, "play ses_002.wav"}};
    for (const Case& c : cases) {
        CMiniDialog dialog;
        ASSERT_EQ(dialog.Setup(0, 50), 1);
        TakeOkCancelSounds();
        EXPECT_EQ(RunPressing(dialog, c.on_button, c.key), MINI_DIALOG_ANSWER) << c.key;
        EXPECT_LT(m_pumps, 80) << c.key << ": ended by the input";
        const std::vector<std::string> sounds = TakeOkCancelSounds();
        ASSERT_FALSE(sounds.empty()) << c.key;
        EXPECT_EQ(sounds.back(), c.sound) << c.key;
        EXPECT_EQ(GetGameWork()->GetActiveScreens().size(), 1u) << "only the plate, listed at start-up";
    }
    // The button away from the pointer: a click does nothing, a cursor key brings the pointer.
    CMiniDialog2 dialog;
    ASSERT_EQ(dialog.Setup(3, 50), 1);
    EXPECT_EQ(RunPressing(dialog, false, 0), MINI_DIALOG_ANSWER);
    EXPECT_GE(m_pumps, 80);
    for (uint32_t key : {SCAN_UP, SCAN_DOWN, SCAN_LEFT, SCAN_RIGHT}) {
        CMiniDialog moved;
        ASSERT_EQ(moved.Setup(0, 50), 1);
        m_mouse.warps.clear();
        RunPressing(moved, false, key);
        ASSERT_EQ(m_mouse.warps.size(), 1u) << key;
        EXPECT_EQ(std::make_pair(int(m_mouse.warps[0].x), int(m_mouse.warps[0].y)), std::make_pair(960, 596));
        EXPECT_EQ(moved.GetHover(), MINI_DIALOG_OK);
    }
}

namespace {

class CMiniDialogWithoutPictureThreadTest : public ScreenFixture
{
protected:
    CMiniDialogWithoutPictureThreadTest()
        : ScreenFixture(DialogDataEntries(), {}, false)
    {}
};

} // namespace

TEST_F(CMiniDialogWithoutPictureThreadTest, ANoticeWithoutItsPictureIsNotBuilt)
{
    CMiniDialog notice;
    EXPECT_EQ(notice.Setup(0, 50), -1);
    CMiniDialog2 numbered;
    EXPECT_EQ(numbered.Setup(5, 50), -1);
}
