#include "screens/base/CDialog.h"

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "app/CVeskView.h"
#include "foundation/ConfigSettings.h"
#include "screens/ScreenFixture.h"
#include "sheetgen/SheetGenerator.h"

namespace {

const tools::AreaRecord& Area(bool with_box, uint32_t id)
{
    static const std::vector<tools::AreaRecord> box = tools::DialogAreas(true);
    static const std::vector<tools::AreaRecord> simple = tools::DialogAreas(false);
    for (const tools::AreaRecord& area : with_box ? box : simple)
        if (area.id == id)
            return area;
    throw std::logic_error("no such area");
}

class CDialogThreadTest : public ScreenFixture
{
protected:
    CDialogThreadTest()
        : ScreenFixture(DialogDataEntries())
    {}

    // Runs a built dialog: the pointer on the control from the start, the left button down from
    // pump 40 (after the fade) to pump 42, the run ended at pump 80 if nothing ended it.
    int32_t ClickThrough(CDialog& dialog, bool with_box, std::vector<uint32_t> ids,
                         std::function<void(int)> also = nullptr)
    {
        size_t next = 0;
        OnPump([&](int pump) {
            if (also)
                also(pump);
            const int step = pump / 40;
            if (step >= 1 && static_cast<size_t>(step - 1) < ids.size()) {
                const int in_step = pump % 40;
                if (in_step == 0)
                    PointAtCentre(Area(with_box, ids[static_cast<size_t>(step - 1)]));
                m_mouse.left_down = in_step >= 1 && in_step < 3 ? 1 : 0;
                next = static_cast<size_t>(step);
            }
            if (pump > 40 * static_cast<int>(ids.size() + 1))
                dialog.Running = 0;
        });
        PointAt(0, 0);
        ScriptValue out = ScriptValue::FromInteger(99);
        dialog.Run(&out);
        m_run_pumps = Pumps();
        OnPump(nullptr);
        (void)next;
        return out.Integer;
    }

    // Runs a dialog with a key held from pump 40 to 42.
    int32_t PressKey(CDialog& dialog, uint32_t scan_code)
    {
        OnPump([&](int pump) {
            if (pump == 40)
                m_keyboard.down = {scan_code};
            if (pump == 42)
                m_keyboard.down.clear();
            if (pump > 80)
                dialog.Running = 0;
        });
        ScriptValue out = ScriptValue::FromInteger(99);
        dialog.Run(&out);
        OnPump(nullptr);
        return out.Integer;
    }

    int m_run_pumps = 0;
};

} // namespace

TEST_F(CDialogThreadTest, SetupFollowsTheKindsSwitch)
{
    m_app.Config().SetInt("/Config/Dialog/00/Enable", 0);
    m_app.Config().SetInt("/Config/Dialog/07/Enable", 0);
    struct Case
    {
        int32_t kind, answer, simple;
    } cases[] = {{2, 1, 0},  {5, 0, 0},  {9, 1, 1},   {10, 1, 1},
                 {12, 0, 1}, {11, 1, 0}, {13, -1, 0}, {-1, -1, 0}};
    for (const Case& c : cases) {
        CDialog dialog;
        EXPECT_EQ(dialog.Setup(c.kind, 50), c.answer) << "kind " << c.kind;
        if (c.answer == 1) {
            EXPECT_EQ(dialog.IsSimple(), c.simple) << "kind " << c.kind;
        }
    }
    m_app.Config().SetInt("/Config/Dialog/00/Enable", 1);
    CDialog twelve;
    EXPECT_EQ(twelve.Setup(12, 50), 1) << "kind 12 follows number 0";
}

TEST_F(CDialogThreadTest, BothLayoutsShowTheirPictures)
{
    struct Case
    {
        int32_t kind;
        bool box;
        const char* png;
    } cases[] = {{2, true, "dialog_box_layout.png"}, {12, false, "dialog_simple_layout.png"}};
    for (const Case& c : cases) {
        CDialog dialog;
        ASSERT_EQ(dialog.Setup(c.kind, 200), 1);
        dialog.Show();
        Capture(c.png);
        const int32_t top = c.box ? 375 : 415;
        using Cell = std::pair<uint32_t, int32_t>;
        EXPECT_EQ(ShownCell(520 + 300, top + 5),
                  Cell(c.box ? tools::DIALOG_SHEET_PANEL_BOX : tools::DIALOG_SHEET_PANEL_SIMPLE, 0));
        EXPECT_EQ(ShownCell(520 + 38 + 400, top + (c.box ? 19 : 29) + 60),
                  Cell(tools::DIALOG_SHEET_LINE + static_cast<uint32_t>(c.kind), 0));
        EXPECT_EQ(ShownCell(520 + 198 + 100, top + 145 + 40), Cell(DIALOG_YES, 0));
        EXPECT_EQ(ShownCell(520 + 459 + 100, top + 145 + 40), Cell(DIALOG_NO, 0));
        if (c.box) {
            EXPECT_EQ(ShownCell(520 + 507 + 30, top + 249 + 30), Cell(DIALOG_BOX, 0));
        }
        const uint32_t dim = Shown(100, 100);
        EXPECT_LT(dim & 0xFFFFFF, 0x404040u) << "the screen is dimmed";
    }
}

TEST_F(CDialogThreadTest, HoverRedrawsAndTheAnswersOfTheButtons)
{
    CDialog yes;
    ASSERT_EQ(yes.Setup(2, 200), 1);
    OnPump([&](int pump) {
        if (pump == 30)
            PointAtCentre(Area(true, DIALOG_YES));
        if (pump == 32) {
            Capture();
            EXPECT_EQ(ShownCell(520 + 198 + 100, 375 + 145 + 40), std::make_pair(uint32_t(DIALOG_YES), 1))
                << "hover";
            m_mouse.left_down = 1;
        }
        if (pump == 34) {
            Capture();
            EXPECT_EQ(ShownCell(520 + 198 + 100, 375 + 145 + 40), std::make_pair(uint32_t(DIALOG_YES), 2))
                << "pressed";
            m_mouse.left_down = 0;
        }
        if (pump > 80)
            yes.Running = 0;
    });
    PointAt(0, 0);
    ScriptValue out = ScriptValue::FromInteger(99);
    yes.Run(&out);
    OnPump(nullptr);
    EXPECT_EQ(out.Integer, DIALOG_ANSWER_YES);
    std::vector<std::string> sounds = TakeOkCancelSounds();
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_EQ(sounds[1], "play ses_001.wav");
    EXPECT_EQ(GetGameWork()->GetActiveScreens().size(), 1u) << "only the plate, listed at start-up";

    CDialog no;
    ASSERT_EQ(no.Setup(12, 50), 1);
    EXPECT_EQ(ClickThrough(no, false, {DIALOG_NO}), DIALOG_ANSWER_NO);
    sounds = TakeOkCancelSounds();
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_EQ(sounds[1], "play ses_002.wav");

    for (uint32_t key : {1u, 211u}) {
        CDialog cancelled;
        ASSERT_EQ(cancelled.Setup(3, 200), 1);
        EXPECT_EQ(PressKey(cancelled, key), DIALOG_ANSWER_CANCEL) << key;
    }
}

TEST_F(CDialogThreadTest, TheBoxStaysOpenAndSuppressesTheNextDialogOfItsNumber)
{
    CDialog dialog;
    ASSERT_EQ(dialog.Setup(2, 200), 1);
    // The box, then yes; the run would end at pump 120 if the box closed nothing.
    std::pair<uint32_t, int32_t> box_shown;
    EXPECT_EQ(ClickThrough(dialog, true, {DIALOG_BOX, DIALOG_YES},
                           [&](int pump) {
                               if (pump == 70) {
                                   Capture("dialog_box_ticked.png");
                                   box_shown = ShownCell(520 + 507 + 30, 375 + 249 + 30);
                               }
                           }),
              DIALOG_ANSWER_YES);
    EXPECT_GE(m_run_pumps, 80) << "the box did not close the dialog";
    EXPECT_FALSE(GetConfigDialogEnable(2));
    EXPECT_EQ(box_shown, std::make_pair(uint32_t(DIALOG_BOX), 3)) << "ticked while the number is off";
    CDialog next;
    EXPECT_EQ(next.Setup(2, 200), 0);
    CDialog other;
    EXPECT_EQ(other.Setup(3, 200), 1) << "other numbers are not touched";
    SetConfigDialogEnable(2, 1);
    CDialog again;
    EXPECT_EQ(again.Setup(2, 200), 1);
}

TEST_F(CDialogThreadTest, KeysWarpThePointerToTheirTargets)
{
    const auto centre = [](bool box, uint32_t id) {
        const tools::AreaRecord& area = Area(box, id);
        return std::make_pair((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    };
    struct Case
    {
        int32_t kind;
        int32_t from; // -1: the pointer on nothing
        uint32_t key;
        int32_t to; // -1: no warp
    } cases[] = {
        {2, -1, SCAN_UP, DIALOG_YES},          {2, DIALOG_BOX, SCAN_UP, DIALOG_NO},
        {2, DIALOG_YES, SCAN_UP, -1},          {2, -1, SCAN_DOWN, DIALOG_YES},
        {2, DIALOG_NO, SCAN_DOWN, DIALOG_BOX}, {12, DIALOG_NO, SCAN_DOWN, -1},
        {2, DIALOG_NO, SCAN_LEFT, DIALOG_YES}, {2, DIALOG_BOX, SCAN_LEFT, DIALOG_YES},
        {2, -1, SCAN_RIGHT, DIALOG_NO},        {2, DIALOG_YES, SCAN_RIGHT, DIALOG_NO},
        {2, DIALOG_BOX, SCAN_RIGHT, -1},
    };
    for (const Case& c : cases) {
        const bool box = c.kind != 12;
        CDialog dialog;
        ASSERT_EQ(dialog.Setup(c.kind, 200), 1);
        OnPump([&](int pump) {
            if (pump == 1) {
                if (c.from == -1)
                    PointAt(0, 0);
                else
                    PointAtCentre(Area(box, static_cast<uint32_t>(c.from)));
                m_mouse.warps.clear();
            }
            if (pump == 40)
                m_keyboard.down = {c.key};
            if (pump == 42)
                m_keyboard.down.clear();
            if (pump == 60)
                dialog.Running = 0;
        });
        dialog.Run(nullptr);
        OnPump(nullptr);
        if (c.to == -1) {
            EXPECT_TRUE(m_mouse.warps.empty()) << c.kind << " " << c.from << " " << c.key;
        } else {
            ASSERT_EQ(m_mouse.warps.size(), 1u) << c.kind << " " << c.from << " " << c.key;
            EXPECT_EQ(std::make_pair(int(m_mouse.warps[0].x), int(m_mouse.warps[0].y)),
                      centre(box, static_cast<uint32_t>(c.to)));
            EXPECT_EQ(dialog.GetHover(), c.to);
        }
    }
}

TEST_F(CDialogThreadTest, TheCloseBoxAsksAndTheTickedBoxLetsTheNextExitGoThrough)
{
    CVeskDoc* document = GetDocument();
    GetView()->SetStatusBits(VIEW_STATUS_ACTIVE);
    // No: the game goes on.
    OnPump([&](int pump) {
        if (pump == 40)
            PointAtCentre(Area(true, DIALOG_NO));
        m_mouse.left_down = pump == 41 ? 1 : 0;
    });
    document->EventFlagOp(EVENT_FLAG_SET, REQUEST_EXIT);
    EXPECT_EQ(document->OnFrame(), 1u);
    EXPECT_GT(Pumps(), 40) << "the dialog was shown";

    // The box, then yes: the game ends.
    OnPump([&](int pump) {
        if (pump == 40)
            PointAtCentre(Area(true, DIALOG_BOX));
        if (pump == 80)
            PointAtCentre(Area(true, DIALOG_YES));
        m_mouse.left_down = pump == 41 || pump == 81 ? 1 : 0;
    });
    document->EventFlagOp(EVENT_FLAG_SET, REQUEST_EXIT);
    EXPECT_EQ(document->OnFrame(), 0u);
    EXPECT_FALSE(GetConfigDialogEnable(2));

    // The next exit asks nothing.
    OnPump(nullptr);
    document->EventFlagOp(EVENT_FLAG_SET, REQUEST_EXIT);
    EXPECT_EQ(document->OnFrame(), 0u);
    EXPECT_EQ(Pumps(), 0);
    // The exit saves the system data (this stage has none to save); no dialog failed.
    for (const std::string& message : m_messages)
        EXPECT_EQ(message.find("ダイアログ"), std::string::npos) << message;
}

class CDialogWithoutPictureThreadTest : public ScreenFixture
{
protected:
    CDialogWithoutPictureThreadTest()
        : ScreenFixture(DialogDataEntries(), {}, false)
    {}
};

TEST_F(CDialogWithoutPictureThreadTest, ADialogThatCannotBeBuiltLetsTheExitGoOnWithAMessage)
{
    CDialog dialog;
    EXPECT_EQ(dialog.Setup(2, 200), -1);
    m_messages.clear();
    GetView()->SetStatusBits(VIEW_STATUS_ACTIVE);
    GetDocument()->EventFlagOp(EVENT_FLAG_SET, REQUEST_EXIT);
    EXPECT_EQ(GetDocument()->OnFrame(), 0u) << "the player is never stuck";
    // The missing picture is reported by the archive, then the exit says what happens next.
    // (the system data this stage lacks is reported after them).
    ASSERT_GE(m_messages.size(), 2u);
    EXPECT_NE(m_messages[0].find("dialog_p.akb"), std::string::npos);
    EXPECT_EQ(m_messages[1], "終了ダイアログの作成に失敗しました。\n強制的に終了します。");
}
