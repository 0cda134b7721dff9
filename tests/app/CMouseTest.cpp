// The game cursor on the virtual clock with a scripted mouse: following the pointer, the frame
// flip every 300 ms, the hot spots, the letterbox band, the popup and switching off.

#include "app/CMouse.h"

#include "akbwriter/AkbWriter.h"
#include "app/AppMessageBox.h"
#include "app/CVeskView.h"
#include "arcpack/ArchiveWriter.h"
#include "foundation/CInputView.h"
#include "foundation/IMouse.h"
#include "graphics/CAppTask.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSpriteLayerFile.h"
#include "graphics/CSpriteTexture.h"
#include "platform/kernel/VirtualClock.h"
#include "support/FakeDocumentLink.h"
#include "support/WorkingDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

class ScriptedMouse final : public IMouse
{
public:
    void GetPosition(POINT* point) override { *point = position; }
    BOOL IsCursorShown() override { return shown; }
    void ShowCursor(BOOL show) override { shown = show; }

    POINT position{0, 0};
    BOOL shown = TRUE;
};

class VisiblePopup final : public CPopUpMenu
{
public:
    BOOL IsVisible() override { return TRUE; }
};

// Cell (frame, row) of the sheet has its own colour.
uint32_t CellColour(int frame, int row)
{
    return 0xFF000007u | (uint32_t(40 * row) << 16) | (uint32_t(100 * frame) << 8);
}

} // namespace

class CMouseTest : public ::testing::Test
{
protected:
    CMouseTest()
    {
        platform::VirtualClock::Enable(100'000);
        SetAppMessageBoxHook([](UINT, const CStringUTF8&) { return 1; });
        tools::AkbPicture sheet = tools::MakePicture(2 * CURSOR_CELL, 3 * CURSOR_CELL, 0);
        for (int y = 0; y < sheet.height; ++y)
            for (int x = 0; x < sheet.width; ++x)
                sheet.At(x, y) = CellColour(x / CURSOR_CELL, y / CURSOR_CELL);
        std::vector<tools::ArchiveEntry> entries{{"CURSOR.AKB", tools::EncodeAkb(sheet, {})}};
        m_dir.Write("layer.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Lzss));
        m_layers = std::make_unique<CSpriteLayerFile>("layer.arc", true, false);
        SetDocumentLayerFile(m_layers.get());
        GetInputView()->SetMouse(&m_pointer);
        CDirect3D::GetInstance()->SetScreenMapping(POINT{0, 0}, 1.0f, 1.0f);
        m_mouse.Setup();
    }
    ~CMouseTest() override
    {
        m_mouse.Release();
        GetView()->SetPopupMenu(nullptr);
        GetInputView()->SetMouse(nullptr);
        SetDocumentLayerFile(nullptr);
        SetAppMessageBoxHook(nullptr);
        platform::VirtualClock::Disable();
    }

    uint32_t SpritePixel(int x, int y)
    {
        ILayer* layer = dynamic_cast<CSpriteLayer*>(m_mouse.GetSprite())->GetLayer();
        uint32_t value;
        std::memcpy(&value, layer->GetPixelPtr(x, y), 4);
        return value;
    }

    void MoveTo(LONG x, LONG y)
    {
        m_pointer.position = POINT{x, y};
        m_mouse.HookProc(nullptr, WM_MOUSEMOVE, 0, 0);
    }

    WorkingDir m_dir;
    FakeDocumentLink m_document;
    std::unique_ptr<CSpriteLayerFile> m_layers;
    ScriptedMouse m_pointer;
    CMouse m_mouse;
};

TEST_F(CMouseTest, FollowsThePointerAndFlipsFramesEvery300Milliseconds)
{
    ASSERT_NE(m_mouse.GetSprite(), nullptr);
    EXPECT_NE(dynamic_cast<CSpriteTexture*>(m_mouse.GetSprite()), nullptr);
    EXPECT_EQ(m_mouse.GetSprite()->GetPriority(), CURSOR_PRIORITY);

    m_pointer.position = POINT{500, 400};
    m_mouse.SetCursorMode(2);
    EXPECT_TRUE(m_mouse.IsOn());
    EXPECT_TRUE(m_mouse.GetSprite()->IsVisible());
    EXPECT_FALSE(m_pointer.shown);
    EXPECT_TRUE(GetView()->GetHookList().Contains(&m_mouse));

    m_mouse.Execute();
    EXPECT_EQ(m_mouse.GetSprite()->GetPosition().x, 500 - 32);
    EXPECT_EQ(m_mouse.GetSprite()->GetPosition().y, 400 - 32);
    EXPECT_EQ(m_mouse.GetFrame(), 0);
    EXPECT_EQ(SpritePixel(0, 0), CellColour(0, 2));
    EXPECT_EQ(SpritePixel(63, 63), CellColour(0, 2));

    m_pointer.position = POINT{700, 10};
    platform::VirtualClock::Advance(299);
    m_mouse.Execute();
    EXPECT_EQ(m_mouse.GetSprite()->GetPosition().x, 700 - 32);
    EXPECT_EQ(m_mouse.GetFrame(), 0);
    platform::VirtualClock::Advance(1);
    m_mouse.Execute();
    EXPECT_EQ(m_mouse.GetFrame(), 1);
    EXPECT_EQ(SpritePixel(10, 10), CellColour(1, 2));
}

TEST_F(CMouseTest, HotSpotsDependOnTheMode)
{
    m_pointer.position = POINT{300, 200};
    m_mouse.SetCursorMode(1);
    m_mouse.Execute();
    EXPECT_EQ(m_mouse.GetSprite()->GetPosition().x, 300 - 27);
    EXPECT_EQ(m_mouse.GetSprite()->GetPosition().y, 200 - 27);
    EXPECT_EQ(SpritePixel(5, 5), CellColour(0, 1));
}

TEST_F(CMouseTest, SettingTheSameModeAgainKeepsTheAnimation)
{
    m_mouse.SetCursorMode(2);
    m_mouse.Execute();
    EXPECT_EQ(m_mouse.GetFrame(), 0);
    platform::VirtualClock::Advance(150);
    m_mouse.SetCursorMode(2);
    m_mouse.Execute();
    EXPECT_EQ(m_mouse.GetFrame(), 0);
    platform::VirtualClock::Advance(150);
    m_mouse.Execute();
    EXPECT_EQ(m_mouse.GetFrame(), 1);
}

TEST_F(CMouseTest, LetterboxBandShowsTheSystemCursor)
{
    // The picture sits 60 window pixels down in the client area.
    CDirect3D::GetInstance()->SetScreenMapping(POINT{0, 60}, 1.0f, 1.0f);
    m_pointer.position = POINT{100, 100};
    m_mouse.SetCursorMode(2);
    ASSERT_TRUE(m_mouse.GetSprite()->IsVisible());

    MoveTo(100, 30); // over the band above the picture
    EXPECT_FALSE(m_mouse.GetSprite()->IsVisible());
    EXPECT_TRUE(m_pointer.shown);

    MoveTo(100, 200);
    EXPECT_TRUE(m_mouse.GetSprite()->IsVisible());
    EXPECT_FALSE(m_pointer.shown);
}

TEST_F(CMouseTest, InsideTestEndsAtTheLogicalWidth)
{
    m_mouse.SetCursorMode(2);
    m_pointer.position = POINT{1919, 1079};
    EXPECT_EQ(m_mouse.IsInsideScreen(), 1);
    m_pointer.position = POINT{1950, 500};
    EXPECT_EQ(m_mouse.IsInsideScreen(), 0);
    EXPECT_FALSE(m_mouse.GetSprite()->IsVisible());
    m_pointer.position = POINT{500, 1080};
    EXPECT_EQ(m_mouse.IsInsideScreen(), 0);

    // A scaled window: 1280 x 720 window pixels cover the whole picture.
    CDirect3D::GetInstance()->SetScreenMapping(POINT{0, 0}, 1.5f, 1.5f);
    m_pointer.position = POINT{1279, 719};
    EXPECT_EQ(m_mouse.IsInsideScreen(), 1);
    m_pointer.position = POINT{1280, 100};
    EXPECT_EQ(m_mouse.IsInsideScreen(), 0);
}

TEST_F(CMouseTest, PopupMenuUsesTheSystemCursor)
{
    m_mouse.SetCursorMode(2);
    VisiblePopup popup;
    GetView()->SetPopupMenu(&popup);
    MoveTo(100, 100);
    EXPECT_FALSE(m_mouse.GetSprite()->IsVisible());
    EXPECT_TRUE(m_pointer.shown);
    GetView()->SetPopupMenu(nullptr);
    MoveTo(100, 100);
    EXPECT_TRUE(m_mouse.GetSprite()->IsVisible());
}

TEST_F(CMouseTest, ModeZeroTurnsTheCursorOffAndTurnOnRestoresIt)
{
    m_mouse.SetCursorMode(2);
    m_mouse.SetCursorMode(0);
    EXPECT_FALSE(m_mouse.IsOn());
    EXPECT_EQ(m_mouse.GetMode(), -1);
    EXPECT_TRUE(m_pointer.shown);
    EXPECT_FALSE(m_mouse.GetSprite()->IsVisible());
    EXPECT_FALSE(GetView()->GetHookList().Contains(&m_mouse));
    m_mouse.Execute(); // nothing to do without a mode
    EXPECT_EQ(m_mouse.GetFrame(), 1);

    // -1 while off ends off.
    m_mouse.SetCursorMode(-1);
    EXPECT_FALSE(m_mouse.IsOn());

    m_mouse.SetCursorMode(1);
    m_mouse.TurnOn(); // already on: nothing
    EXPECT_TRUE(m_mouse.IsOn());
    EXPECT_EQ(m_mouse.GetMode(), 1);
}

TEST_F(CMouseTest, HideGameCursorLeavesTheFrameTaskOnItsList)
{
    CAppTask runner;
    CAppTask* previous = SetAppTask(&runner);
    m_mouse.SetCursorMode(2);
    ASSERT_TRUE(runner.Contains(&m_mouse));
    m_mouse.HideGameCursor();
    EXPECT_FALSE(m_mouse.IsOn());
    EXPECT_EQ(m_mouse.GetMode(), -1);
    EXPECT_TRUE(m_pointer.shown);
    EXPECT_FALSE(m_mouse.GetSprite()->IsVisible());
    EXPECT_FALSE(GetView()->GetHookList().Contains(&m_mouse));
    EXPECT_TRUE(runner.Contains(&m_mouse));
    m_mouse.HideGameCursor(); // already hidden: only the mode
    EXPECT_EQ(m_mouse.GetMode(), -1);
    m_mouse.Release();
    SetAppTask(previous);
}

TEST(GetMouseTest, IsOneObjectUntilDeleted)
{
    CMouse* first = GetMouse();
    EXPECT_EQ(GetMouse(), first);
    EXPECT_EQ(first->GetMode(), -1);
    EXPECT_FALSE(first->IsOn());
    DeleteMouse();
}
