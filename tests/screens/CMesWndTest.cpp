// The message window's read tests, message texts, timing rules and close.

#include "screens/base/CMesWnd.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "../script/RecordingFont.h"
#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "facevoice/FaceVoiceWriter.h"
#include "foundation/CInputView.h"
#include "foundation/ConfigAccess.h"
#include "foundation/ConfigSettings.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/SpriteLayerRegistry.h"
#include "platform/d3d/null/NullPresenter.h"
#include "screens/ScreenFixture.h"
#include "screens/base/CFaceVoice.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/commands/CFuncOneMes.h"
#include "script/commands/CFuncString.h"
#include "script/vm/ScriptContext.h"
#include "sheetgen/SheetGenerator.h"

namespace {

TEST(CMesWndTiming, CharacterWaitsAndDeadlinesFollowTheirFormulas)
{
    struct Wait
    {
        float speed;
        uint32_t ms;
    };
    // Single precision: (1 - 0.8f) x 150 is just below 30.
    for (const Wait& w :
         {Wait{0.0f, 150}, Wait{0.8f, 29}, Wait{0.99f, 1}, Wait{1.0f, 0}, Wait{1.5f, 0}, Wait{-0.5f, 150}})
        EXPECT_EQ(CMesWnd::CharacterWait(w.speed), w.ms) << w.speed;

    struct Auto
    {
        int32_t count;
        float speed;
        uint32_t deadline;
    };
    for (const Auto& a : {Auto{41, 1.0f, 1000}, Auto{41, 0.5f, 4000}, Auto{1, 0.5f, 1500},
                          Auto{0, 0.5f, 1500}, Auto{41, 3.0f, 1000}, Auto{3, -1.0f, 1000 + 250 + 500}})
        EXPECT_EQ(CMesWnd::AutoModeDeadline(1000, a.count, a.speed), a.deadline) << a.count << " " << a.speed;

    EXPECT_EQ(CMesWnd::ReadSkipDeadline(1000, 1.0f), 1000u);
    EXPECT_EQ(CMesWnd::ReadSkipDeadline(1000, 0.5f), 1250u);
    EXPECT_EQ(CMesWnd::ReadSkipDeadline(1000, 100.0f), 1000u); // an edited value above 1
}

// The window's data, with a face table of two characters whose times never come.
std::vector<tools::ArchiveEntry> DataEntries()
{
    std::vector<tools::ArchiveEntry> entries = MessageWindowDataEntries();
    entries.push_back({"TWO.FV", tools::WriteFaceVoiceTable({{100000, 1, 2, 0}, {100000, 3, 4, 0}})});
    return entries;
}

class CMesWndThreadTest : public ScreenFixture
{
protected:
    CMesWndThreadTest()
        : ScreenFixture(DataEntries(), MessageWindowPictureEntries())
    {
        FlagBuffer& state = *GetScriptState().m_current_state;
        state.Variables.resize(100);
        state.Values.resize(FLAG_BUFFER_VALUE_COUNT);
        CFuncOneMes read;
        read.ResizeReadBuffer(64);
        read.ClearReadBuffer();
    }
    CMesWnd& Window() { return *GetGameWork()->GetMessageWindow(); }
};

TEST_F(CMesWndThreadTest, CloseMarksTheMessageReadUnlessASceneSkipEndedThere)
{
    CFuncOneMes read;
    CurrentMessageNumber = 7;
    EXPECT_FALSE(Window().IsCurrentMessageRead());
    m_app.Config().SetInt("/Config/SceneSkip", 1);
    EXPECT_THROW(Window().EndSceneSkip(), CVeskDoc::tagDOCUMENT_CODE);
    Window().OnClose();
    EXPECT_EQ(read.IsRead(7), 0);
    Window().OnClose(); // an ordinary close marks it
    EXPECT_EQ(read.IsRead(7), 1);
    EXPECT_TRUE(Window().IsCurrentMessageRead());

    CurrentMessageNumber = 8;
    EXPECT_FALSE(Window().IsCurrentMessageRead());
    GetScriptState().m_current_state->Variables[69] = ScriptValue::FromInteger(1);
    EXPECT_TRUE(Window().IsCurrentMessageRead()); // replay: everything counts as read
}

TEST_F(CMesWndThreadTest, MessageTextComesFromTheBacklogEntry)
{
    BacklogStore& backlog = GetScriptState().m_script_context->Backlog;
    backlog.Allocate(2);
    backlog.Entries[0]->Code = {1, 0};
    backlog.Entries[0]->BodyText = "冬の朝、ab";
    MessageText text;
    CMesWnd::LoadMessageText(text, 0);
    EXPECT_STREQ(text.Text.GetText(), "冬の朝、ab");
    EXPECT_EQ(text.TextId, MESSAGE_TEXT_NO_ID);
    EXPECT_EQ(text.Count, 6);
    for (int32_t index : {1, 5, -1}) {
        CMesWnd::LoadMessageText(text, index);
        EXPECT_TRUE(text.Text.IsEmpty()) << index;
        EXPECT_EQ(text.Count, 0) << index;
    }
}

class CMesWndRevealThreadTest : public CMesWndThreadTest
{
protected:
    CMesWndRevealThreadTest()
    {
        auto* text = new CSpriteLayer;
        text->Create(0, 0, 1920, 1080, -1);
        text->FillRect(0, 0, 1920, 1080, 0xFFFFFFFF, 1);
        m_text_layer = text;
        GetSpriteLayerRegistry().RegisterSpriteLayer(8, text);
        Window().ResetTextArea(); // clears the text layer's top rows: the page is drawn again
        text->FillRect(0, 0, 1920, 1080, 0xFFFFFFFF, 1);
        auto target = std::make_unique<CSpriteLayer>();
        target->Create(0, 0, 1920, 280, -1);
        m_target = target.get();
        Window().m_text_area_sprite = std::move(target);
        Values()[30] = ScriptValue::FromInteger(48);
        Values()[31] = ScriptValue::FromInteger(60);
        Values()[34] = ScriptValue::FromInteger(40);
    }
    ~CMesWndRevealThreadTest() override
    {
        Window().m_text_area_sprite.reset();
        GetSpriteLayerRegistry().UnregisterSpriteLayer(8);
    }
    std::vector<ScriptValue>& Values() { return GetScriptState().m_current_state->Values; }
    // Whether the target shows the text layer at (x, y).
    bool Copied(int x, int y) { return (EffectPixel(*m_target, x, y) & 0xFF000000u) != 0; }
    MessageText Utf8(const char* text)
    {
        MessageText m;
        m.Text = text;
        for (const char* c = text; *c != 0; ++c)
            m.Count += (static_cast<uint8_t>(*c) & 0xC0) != 0x80 ? 1 : 0;
        return m;
    }
    MessageText Pieces(std::u16string units)
    {
        MessageText m;
        m.TextId = 1;
        m.Pieces.assign(units.begin(), units.end());
        m.Count = static_cast<int32_t>(units.size());
        return m;
    }
    // Steps once at the time the next character is due; answers the wait it set.
    uint32_t Step()
    {
        const uint32_t now = Window().GetNextCharacterTime();
        EXPECT_EQ(Window().StepTypewriterAt(now), 1);
        return Window().GetNextCharacterTime() - now;
    }

    CSpriteLayer* m_text_layer = nullptr;
    CSpriteLayer* m_target = nullptr;
};

TEST_F(CMesWndRevealThreadTest, PunctuationWaitsLongerOnlyInUtf8Text)
{
    for (int32_t kutouten : {1, 0}) {
        m_app.Config().SetInt("/Config/MesWnd/KutoutenWait", kutouten);
        Window().ResetTextArea();
        Window().StartReveal(Utf8("あ、いう"), 1000, 30);
        EXPECT_EQ(Step(), 30u);
        EXPECT_EQ(Step(), kutouten ? 330u : 30u) << kutouten;
    }
    m_app.Config().SetInt("/Config/MesWnd/KutoutenWait", 1);
    Window().ResetTextArea();
    Window().StartReveal(Pieces(u"あ、いう"), 1000, 30);
    EXPECT_EQ(Step(), 30u);
    EXPECT_EQ(Step(), 30u);
}

TEST_F(CMesWndRevealThreadTest, EscapesTakeTwoUnitsAndAStrayBackslashIsAHalfCell)
{
    Window().StartReveal(Pieces(u"a\\ib\\xcd"), 1000, 30);
    std::vector<std::pair<int32_t, int32_t>> steps; // pen x and reveal index after each step
    for (int i = 0; i < 4; ++i) {
        Step();
        steps.push_back({Window().GetPen().x, Window().GetRevealIndex()});
    }
    EXPECT_EQ(steps, (std::vector<std::pair<int32_t, int32_t>>{{464, 1}, {464, 3}, {488, 4}, {512, 5}}));
    EXPECT_TRUE(Copied(440 + 30, 80));
    EXPECT_TRUE(Copied(488 + 10, 80)); // the "\\" before "x": a half cell
}

TEST_F(CMesWndRevealThreadTest, HalfWidthNeverWrapsFullWidthDoes)
{
    // Four full cells to a line: no half-width character wraps, neither within a word nor as a
    // word that would cross the edge, in story text or in a table's units.
    for (const bool table : {false, true}) {
        Window().ResetTextArea();
        Values()[48] = ScriptValue::FromInteger(440 + 48 * 4);
        Window().StartReveal(table ? Pieces(u"ab cdefghij") : Utf8("ab cdefghij"), 1000, 30);
        for (int i = 0; i < 9; ++i)
            Step();
        EXPECT_EQ(Window().GetPen().y, 70) << table;
        EXPECT_EQ(Window().GetPen().x, 440 + 24 * 9) << table;
    }

    Window().ResetTextArea();
    Values()[48] = ScriptValue::FromInteger(440 + 48 * 2);
    Window().StartReveal(Utf8("ああああああ"), 1000, 30);
    for (int i = 0; i < 3; ++i)
        Step();
    EXPECT_EQ(Window().GetPen().y, 130);
}

TEST_F(CMesWndRevealThreadTest, TheRevealCopiesEachCharacterWhereThePageTypesetterDrewIt)
{
    // Twelve letters or six full-width characters to a line: Latin lines carry their own breaks
    // (story text and a language table's display units alike), an opening mark at a line start
    // hangs before the margin, a closing mark hangs past the edge.
    struct Case
    {
        const char* text;      // as the page's typesetter lays it out
        std::u16string pieces; // the table's display units, empty for story text
    };
    const Case cases[] = {{"one two ten\nthree four", u""},
                          {"one two ten\nthree four", u"one two ten\\nthree four"},
                          {"あいうえおかきくけこさし「すせそたち」。なに", u""}};
    for (const Case& c : cases) {
        const bool table = !c.pieces.empty();
        Window().ResetTextArea();
        Values()[48] = ScriptValue::FromInteger(440 + 24 * 12);
        TextBox box;
        box.Text = c.text;
        box.CursorX = 440;
        box.CursorY = 70;
        box.CellWidth = 24;
        box.LineHeight = 60;
        box.Left = 440;
        box.Top = 70;
        box.Right = 440 + 24 * 12;
        box.Bottom = 250;
        box.UseLineBreakRules = 1;
        RecordingFont font;
        CFuncString().TypesetText(box, &font);
        std::vector<std::pair<int32_t, int32_t>> drawn;
        for (const GlyphCall& call : font.Calls)
            if (call.Character != " ")
                drawn.emplace_back(call.X, call.Y);
        ASSERT_GE(drawn.back().second, 70 + 60) << c.text;

        Window().StartReveal(table ? Pieces(c.pieces) : Utf8(c.text), 1000, 30);
        std::vector<std::pair<int32_t, int32_t>> revealed;
        for (const char* at = c.text; revealed.size() + 1 < drawn.size(); ++at) {
            if ((static_cast<uint8_t>(*at) & 0xC0) == 0x80)
                continue;
            Step(); // a table's line break is one step of its two units
            // The cell copied lies where the pen ended less the character's advance.
            const POINT pen = Window().GetPen();
            if (*at != ' ' && *at != '\n')
                revealed.emplace_back(pen.x - (static_cast<uint8_t>(*at) < 0x80 ? 24 : 48), pen.y);
        }
        drawn.pop_back(); // the last character arrives with the page copy
        EXPECT_EQ(revealed, drawn) << c.text;
    }
}

TEST_F(CMesWndRevealThreadTest, APenLeavingTheBoxCompletesThePageWithItsPrompt)
{
    Values()[48] = ScriptValue::FromInteger(440 + 48 * 2);
    Values()[49] = ScriptValue::FromInteger(70 + 60); // one line
    Window().StartReveal(Utf8("ああああああああ"), 1000, 30);
    Step();
    Step();
    EXPECT_EQ(Window().IsTyping(), 1);
    EXPECT_FALSE(Copied(1000, 200));
    EXPECT_EQ(Window().StepTypewriterAt(Window().GetNextCharacterTime()), 1);
    EXPECT_EQ(Window().IsTyping(), 0);
    EXPECT_EQ(Window().IsPromptShown(), 1);
    EXPECT_TRUE(Copied(1000, 200)); // the whole page at once
}

TEST_F(CMesWndRevealThreadTest, ShortEmptyAndOverclaimedMessagesEndInsideTheirText)
{
    struct Case
    {
        MessageText text;
        int steps_to_complete;
    };
    MessageText overclaimed = Pieces(u"ab");
    overclaimed.Count = 9; // more than the pieces hold: never read past them
    for (const Case& c :
         {Case{Utf8("あ"), 1}, Case{Utf8(""), 1}, Case{Pieces(u""), 1}, Case{overclaimed, 3}}) {
        Window().ResetTextArea();
        Window().StartReveal(c.text, 1000, 30);
        int steps = 0;
        while (Window().IsTyping() != 0 && steps < 20) {
            Window().StepTypewriterAt(Window().GetNextCharacterTime());
            ++steps;
        }
        EXPECT_EQ(steps, c.steps_to_complete) << c.text.Count;
    }
}

// Rows of the page where the target and the text layer differ, and where the layer is not blank.
std::pair<int, int> PageRowsDiffering(ILayer& target, ILayer& layer)
{
    static const std::vector<uint8_t> blank(1920 * 4, 0);
    int differing = 0;
    int inked = 0;
    for (int32_t y = 0; y < 280; ++y) {
        differing +=
            std::memcmp(target.GetPixelPtr(0, y), layer.GetPixelPtr(0, y), blank.size()) != 0 ? 1 : 0;
        inked += std::memcmp(layer.GetPixelPtr(0, y), blank.data(), blank.size()) != 0 ? 1 : 0;
    }
    return {differing, inked};
}

TEST_F(CMesWndRevealThreadTest, ThePageCopyAndTheLayersClearAreWholeWhereverTheInkIs)
{
    struct Ink
    {
        int32_t x, y, w, h;
        uint32_t colour;
    };
    // Each page is drawn over the last one's sprite: what the last page left must go too.
    const std::vector<std::vector<Ink>> pages = {
        {{440, 70, 600, 120, 0xFF405060}, {391, 15, 1240, 64, 0xFF708090}}, // text under a name plate
        {},                                                                 // an empty page
        {{0, 0, 1, 1, 0xFF102030}, {1919, 279, 1, 1, 0x00000001}},          // the corners, one without alpha
        {{0, 140, 1920, 1, 0x01000000}},                                    // a row across
        {{700, 0, 1, 280, 0xFFFFFFFF}, {1900, 100, 20, 2, 0xFF000001}},     // a column down, the right edge
        {{1000, 250, 5, 5, 0xFF203040}},
    };
    m_text_layer->FillRect(0, 280, 1920, 800, 0xFF0000FF, 1); // below the page: never touched
    for (size_t n = 0; n < pages.size(); ++n) {
        Window().ResetTextArea();
        EXPECT_EQ(PageRowsDiffering(*m_target, *m_text_layer).second, 0) << n; // the layer's page is blank
        for (const Ink& ink : pages[n])
            m_text_layer->FillRect(ink.x, ink.y, ink.w, ink.h, ink.colour, 1);
        if (n == 3) { // a few characters revealed first
            Window().StartReveal(Utf8("ああ"), 1000, 30);
            Step();
        }
        Window().CompletePage(false);
        const auto [differing, inked] = PageRowsDiffering(*m_target, *m_text_layer);
        EXPECT_EQ(differing, 0) << n;
        EXPECT_EQ(inked > 0, !pages[n].empty()) << n;
    }
    EXPECT_EQ(EffectPixel(*m_text_layer, 0, 280), 0xFF0000FFu);
    EXPECT_EQ(EffectPixel(*m_text_layer, 1919, 1079), 0xFF0000FFu);
}

class CMesWndRunThreadTest : public CMesWndRevealThreadTest
{
protected:
    CMesWndRunThreadTest()
    {
        BacklogStore& backlog = GetScriptState().m_script_context->Backlog;
        backlog.Allocate(1);
        backlog.Entries[0]->Code = {0};
        backlog.Entries[0]->BodyText = "あいうえお";
        CSpriteAnime at_once;
        Window().ShowWindow(at_once, 1);
    }
    // Runs message 3 with a script of inputs; answers the milliseconds it took.
    uint32_t Run(std::function<void(int)> step, int32_t mode = 0)
    {
        OnPump([&](int pump) {
            step(pump);
            if (pump > 2000)
                Window().Running = 0;
        });
        (void)0;
        m_start = GetEffectTime();
        ScriptValue out;
        Window().RunMessage(out, mode, 3);
        m_pumps = Pumps();
        OnPump(nullptr);
        return GetEffectTime() - m_start;
    }
    uint32_t m_start = 0;
    int m_pumps = 0;
};

TEST_F(CMesWndRunThreadTest, AClickWhileTypingOnlyCompletesTheNextEndsTheMessage)
{
    m_app.Config().SetInt("/Config/MesWnd/Speed", 0); // 150 ms a character
    std::vector<int32_t> typing_after_click;
    Run([&](int pump) {
        // The open waits a few frames for the inputs' release; the text types for 600 ms.
        m_mouse.left_down = (pump == 20 || pump == 60) ? 1 : 0;
        if (pump == 19)
            typing_after_click.push_back(Window().IsTyping());
        if (pump == 24) {
            typing_after_click.push_back(Window().IsTyping());
            typing_after_click.push_back(Window().Running);
        }
    });
    EXPECT_EQ(typing_after_click, (std::vector<int32_t>{1, 0, 1}));
    EXPECT_GT(m_pumps, 20);
    EXPECT_LT(m_pumps, 80); // ended by the second click, not by the test's limit
    CFuncOneMes read;
    EXPECT_EQ(read.IsRead(3), 1);
}

// The click that ends a voiced line applies its face table's newest entry alone, as the click's
// handling has it (the face task's own account would apply every entry): only that character's
// face is kept for a save.
TEST_F(CMesWndRunThreadTest, AClickEndingTheLineAppliesTheNewestFaceOnly)
{
    m_app.Config().SetInt("/Config/MesWnd/Speed", 0);
    CFaceVoice& face = *GetGameWork()->GetFaceVoice();
    ASSERT_TRUE(face.LoadTable("two.fv"));
    ASSERT_EQ(face.StartItems(), 2u);
    ScriptValueTable& saved = *GetScriptState().SaveDataTable;
    bool running = false;
    Run([&](int pump) {
        if (pump == 40)
            running = GetAppTask()->Contains(&face);
        m_mouse.left_down = (pump == 20 || pump == 60) ? 1 : 0;
    });
    EXPECT_TRUE(running);
    EXPECT_LT(m_pumps, 100) << "ended by the click";
    EXPECT_EQ(face.IsActive(), 0);
    const ScriptValueArray* newest = saved.Find(0xB0000 | 3);
    ASSERT_NE(newest, nullptr);
    ASSERT_EQ(newest->Values.size(), 2u);
    EXPECT_EQ(newest->Values[1].Integer, 4);
    EXPECT_EQ(saved.Find(0xB0000 | 1), nullptr);
}

// What the newest presented frame shows at the centre of the prompt's place: a prompt cell of the
// parts sheet or not. Read as the player sees it, with no frame drawn for the test.
bool PromptOnScreen(CSprite& prompt)
{
    const auto shown = platform::GetNullPresenter()->GetLastFrame();
    const platform::PresentedFrame& frame = *shown;
    const POINT at = prompt.GetPosition();
    const int x = at.x + 29;
    const int y = at.y + 29;
    if (frame.pixels.empty() || x < 0 || y < 0 || x >= frame.width || y >= frame.height)
        return false;
    const uint8_t* p = &frame.pixels[(static_cast<size_t>(y) * frame.width + x) * 4];
    uint32_t id = 0;
    int32_t state = 0;
    return tools::DecodeCellColour(0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2], id,
                                   state) &&
           id >= tools::MESSAGE_SHEET_PROMPT && id < tools::MESSAGE_SHEET_PROMPT + 6;
}

TEST_F(CMesWndRunThreadTest, ThePromptLeavesTheScreenWithTheLineItWaitedOn)
{
    // An opaque scene under the window, as a game always has: what a frame leaves uncovered keeps
    // the frame before.
    CSpriteLayer scene;
    scene.Create(0, 0, 1920, 1080, 0);
    scene.GetLayer()->FillRect(0, 0, 1920, 1080, 0xFF203040, 1);
    scene.Show();
    bool prompt_waiting = false;
    Run([&](int pump) {
        // The text types out on its own; the click at 300 answers the line.
        m_mouse.left_down = pump == 300 ? 1 : 0;
        if (pump == 299)
            prompt_waiting = Window().IsPromptShown() == 1 && PromptOnScreen(*Window().m_prompt_sprite);
    });
    EXPECT_TRUE(prompt_waiting) << "no prompt on screen while the line waits";
    EXPECT_LT(m_pumps, 600) << "the click did not answer the line";
    EXPECT_FALSE(PromptOnScreen(*Window().m_prompt_sprite)) << "the prompt stays after the line was answered";

    // Shown again by the next line, it leaves with the window too.
    Window().ShowPagePrompt();
    RunTasks(3);
    RedrawFrameNow();
    ASSERT_TRUE(PromptOnScreen(*Window().m_prompt_sprite));
    Window().Hide();
    EXPECT_FALSE(PromptOnScreen(*Window().m_prompt_sprite)) << "the prompt stays over the closed window";
}

TEST_F(CMesWndRunThreadTest, AutoReadSkipAndCtrlAdvanceByThemselves)
{
    struct Case
    {
        const char* name;
        int auto_read, one_mes, mark_read, ctrl;
    };
    // Five characters shown whole: auto at 0.5 waits (5 - 1) / 2 x 125 + 500 ms; read-skip at 0.5
    // waits 250 ms for a read message; Ctrl passes it at the first frame. Every run also waits
    // for the inputs' release when it opens and closes.
    std::vector<uint32_t> took;
    for (const Case& c :
         {Case{"auto", 1, 0, 0, 0}, Case{"read-skip", 0, 1, 1, 0}, Case{"ctrl", 0, 0, 0, 1}}) {
        m_app.Config().SetInt("/Config/MesWnd/Speed", 100);
        m_app.Config().SetInt("/Config/AutoRead", c.auto_read);
        m_app.Config().SetInt("/Config/AutoMesSpeed", 50);
        m_app.Config().SetInt("/Config/OneMes", c.one_mes);
        m_app.Config().SetInt("/Config/OneMesSpeed", 50);
        CFuncOneMes read;
        read.ClearReadBuffer();
        if (c.mark_read)
            read.MarkRead(3);
        took.push_back(Run([&](int) {
            if (c.ctrl)
                m_keyboard.down = {29};
        }));
        m_keyboard.down.clear();
        // Both count from the moment the message starts once the inputs are up.
        if (c.auto_read) {
            EXPECT_EQ(Window().GetAutoModeDeadline() - Window().GetNextCharacterTime(), 750u);
        }
        if (c.one_mes) {
            EXPECT_GE(Window().AutoDeadline - m_start, 250u);
            EXPECT_LE(Window().AutoDeadline - m_start, 250u + 50u);
        }
    }
    EXPECT_GE(took[0], 750u);
    EXPECT_GE(took[1], 250u);
    EXPECT_LT(took[1], took[0]);
    EXPECT_LT(took[2], took[1]);
}

TEST_F(CMesWndRunThreadTest, SceneSkipPassesReadMessagesAndStopsAtTheFirstUnreadOne)
{
    m_app.Config().SetInt("/Config/SceneSkip", 1);
    CFuncOneMes read;
    read.MarkRead(3);
    EXPECT_LE(Run([](int) {}), 20u);
    read.ClearReadBuffer();
    EXPECT_THROW(Run([](int) {}), CVeskDoc::tagDOCUMENT_CODE);
    EXPECT_FALSE(GetConfigSceneSkip());
    EXPECT_EQ(read.IsRead(3), 0); // the restart shows it again, unread
}

TEST_F(CMesWndRunThreadTest, RightClickSwitchesAModeOffBeforeItsAction)
{
    m_app.Config().SetInt("/Config/AutoRead", 1);
    m_app.Config().SetInt("/Config/AutoMesSpeed", 0); // a deadline far off
    m_app.Config().SetInt("/Config/System", 0);
    std::vector<int32_t> seen; // auto mode and shown after each right click
    Run([&](int pump) {
        m_mouse.right_down = (pump == 30 || pump == 60) ? 1 : 0;
        if (pump == 50 || pump == 80) {
            seen.push_back(GetConfigAutoRead() ? 1 : 0);
            seen.push_back(Window().IsShown());
        }
        if (pump == 90)
            Window().Running = 0;
    });
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 1, 0, 0}));
}

// Enter held into a message: the message's timing starts once the key is up, so auto mode still
// gives the line its time.
TEST_F(CMesWndRunThreadTest, AKeyHeldIntoTheMessageStartsItsTimingAtTheRelease)
{
    m_app.Config().SetInt("/Config/MesWnd/Speed", 100);
    m_app.Config().SetInt("/Config/AutoRead", 1);
    m_app.Config().SetInt("/Config/AutoMesSpeed", 50); // five characters: 750 ms
    m_keyboard.down.insert(SCAN_ENTER);
    uint32_t released = 0;
    Run([&](int pump) {
        if (pump == 60) {
            m_keyboard.down.erase(SCAN_ENTER);
            released = GetEffectTime();
        }
    });
    m_app.Config().SetInt("/Config/AutoRead", 0);
    ASSERT_NE(released, 0u);
    EXPECT_GE(static_cast<int32_t>(Window().GetAutoModeDeadline() - released), 750);
    EXPECT_GE(static_cast<int32_t>(GetEffectTime() - released), 750) << "advanced before its time";
    EXPECT_LT(m_pumps, 2000);
}

// The side menu's actions end with the OK keys up, so a key still held from the screen the action
// opened never reaches the line.
TEST_F(CMesWndRunThreadTest, ASideMenuActionEndsOnceTheOkKeysAreUp)
{
    m_app.Config().SetInt("/Config/TopPage", 99); // a page the settings do not open
    Window().OpenMenu();
    int32_t slot = -1;
    for (int32_t k = 0; k < SIDE_MENU_SLOTS; ++k)
        if (Window().GetKindAt(k) == SIDE_MENU_SETTINGS)
            slot = k;
    ASSERT_NE(slot, -1);
    ASSERT_EQ(Window().GetButtonState(SIDE_MENU_SETTINGS), 0);
    bool pressed = false;
    bool released = false;
    OnPump([&](int) {
        // Pressed while the window is away, let go once it is back.
        if (!pressed && Window().IsShown() == 0) {
            m_keyboard.down.insert(SCAN_ENTER);
            pressed = true;
        } else if (pressed && !released && Window().IsShown() != 0) {
            m_keyboard.down.erase(SCAN_ENTER);
            released = true;
        }
    });
    Window().HoverId = SIDE_MENU_GROUP + slot;
    Window().OnDecide();
    OnPump(nullptr);
    m_keyboard.down.clear();
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(released) << "the action ended with the key still down";
    EXPECT_EQ(Window().HoverId, -1);
    EXPECT_EQ(Window().IsShown(), 1);
}

// While flag byte 7078 is set the pointer at the screen's edge leaves the side menu shut.
TEST_F(CMesWndRunThreadTest, AFrozenSideMenuIgnoresThePointerAtTheEdge)
{
    GetScriptState().m_current_state->Flags.resize(9000);
    for (const uint8_t frozen : {1, 0}) {
        GetScriptState().m_current_state->Flags[FLAG_SIDE_MENU_FROZEN] = frozen;
        PointAt(1900, 500);
        bool opened = false;
        Run([&](int pump) {
            opened = opened || IRightMenu::IsMenuOpen();
            if (pump == 40)
                Window().Running = 0;
        });
        EXPECT_EQ(opened, frozen == 0) << int(frozen);
        Window().CloseMenu();
        PointAt(960, 500);
    }
    GetScriptState().m_current_state->Flags[FLAG_SIDE_MENU_FROZEN] = 0;
}

// The pointer brought onto the tab opens the menu; the tab's clicks then close and open it in
// turn, the menu shut by the tab staying shut with the pointer still at the edge, and none of
// them ends the message.
TEST_F(CMesWndRunThreadTest, ClicksOnTheTabToggleTheMenuAndNeverEndTheMessage)
{
    IRightMenu::SetManualFlag(0);
    PointAt(1879, 58);
    std::vector<bool> open_before_clicks;
    Run([&](int pump) {
        m_mouse.left_down = pump % 40 == 0 ? 1 : 0;
        m_mouse.left_clicked = m_mouse.left_down;
        if (pump % 40 == 39)
            open_before_clicks.push_back(IRightMenu::IsMenuOpen());
        if (pump == 200)
            Window().Running = 0;
    });
    EXPECT_GE(m_pumps, 200) << "a click on the tab ended the message";
    EXPECT_EQ(open_before_clicks, (std::vector<bool>{true, false, true, false, true}));
    Window().CloseMenu();
    IRightMenu::SetManualFlag(0);
    PointAt(960, 500);
}

TEST_F(CMesWndRunThreadTest, RightClickTurningReadSkipOnAdvancesAtOnce)
{
    m_app.Config().SetInt("/Config/System", 3);
    m_app.Config().SetInt("/Config/OneMes", 0);
    Run([&](int pump) { m_mouse.right_down = pump == 30 ? 1 : 0; });
    EXPECT_LT(m_pumps, 100);
    EXPECT_TRUE(GetConfigOneMes());
}

TEST_F(CMesWndRunThreadTest, TheWheelDownAdvancesEvenWithAnEmptyBacklogAndUpDoesNothing)
{
    GetScriptState().m_script_context->Backlog.Reset();
    int down_at = 0;
    Run([&](int pump) {
        if (pump == 30)
            m_mouse.wheel = 1;
        if (pump == 60 && Window().Running != 0) {
            down_at = pump;
            m_mouse.wheel = -1;
        }
    });
    EXPECT_EQ(down_at, 60);
    EXPECT_LT(m_pumps, 100);
}

TEST_F(CMesWndRunThreadTest, ADragMovesTheWindowWithinItsBoundsAndStoresTheTop)
{
    m_app.Config().SetInt("/Config/MesWnd/IsMove", 0);
    PointAt(960, 900);
    int32_t prompt_y = 0;
    Run([&](int pump) {
        m_mouse.left_down = pump >= 30 && pump < 40 ? 1 : 0;
        if (pump == 33)
            PointAt(960, 100); // far above: stops at y 10
        if (pump == 37)
            prompt_y = Window().m_prompt_sprite->GetPosition().y;
        if (pump == 50)
            Window().Running = 0;
    });
    EXPECT_EQ(prompt_y, 10 + MESWND_PROMPT_Y) << "the prompt moves with the window";
    EXPECT_EQ(foundation::ReadConfigInt(foundation::NumberedKey(foundation::KEY_MES_WND_POS_Y, 0), 0), 10);
    EXPECT_EQ(CMesButton::FindWindowArea(MESBUTTON_EDGE)->Top, 10);
    EXPECT_EQ(CMesButton::FindWindowArea(MESWND_BODY)->Top, 10);
    CMesButton::ShiftWindowAreas(768 - 10);
}

TEST_F(CMesWndRunThreadTest, ADragLeftOverFromTheLastMessageNeverReachesTheNext)
{
    m_app.Config().SetInt("/Config/MesWnd/IsMove", 0);
    m_app.Config().SetInt("/Config/MesWnd/Speed", 0); // 150 ms a character
    Window().OnDrag();
    ASSERT_EQ(Window().IsDragging(), 1);
    std::vector<int32_t> seen;
    Run([&](int pump) {
        if (pump == 15) {
            seen.push_back(Window().IsDragging());
            seen.push_back(Window().IsTyping());
            Window().Running = 0;
        }
    });
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 1})) << "no drag end and its decide on the first frame";
}

TEST_F(CMesWndRunThreadTest, BackspaceWithAnEmptyBacklogLeavesAHiddenWindowHidden)
{
    GetScriptState().m_script_context->Backlog.Reset();
    ASSERT_NE(Window().IsShown(), 0);
    Window().m_window_sprite->SetVisibleFlag(0);
    Window().m_text_area_sprite->SetVisibleFlag(0);
    Window().OnBackspaceKey();
    EXPECT_EQ(Window().m_window_sprite->IsVisible(), 0);
    EXPECT_EQ(Window().m_text_area_sprite->IsVisible(), 0);
    Window().RestoreWindow(0);
    EXPECT_NE(Window().m_window_sprite->IsVisible(), 0) << "what Backspace skipped brings it back";
}

TEST_F(CMesWndRunThreadTest, CursorKeysMoveThePointerBetweenTheAreas)
{
    struct Case
    {
        int32_t hovered;
        uint32_t key;
        POINT to;
    };
    const POINT row0{678 + 100, 1006 + 28};
    const POINT row4{1494 + 46, 1006 + 27};
    const POINT edge{1624 + 29, 768 + 29};
    const POINT centre{1540, 933};
    const POINT tab{(1846 + 1912) / 2, (24 + 92) / 2};
    for (const Case& c :
         {Case{-1, SCAN_RIGHT, row0}, Case{1, SCAN_LEFT, row0}, Case{3, SCAN_RIGHT, row4},
          Case{0, SCAN_LEFT, centre}, Case{2, SCAN_UP, centre}, Case{MESWND_BODY, SCAN_UP, edge},
          Case{MESWND_BODY, SCAN_DOWN, row4}, Case{MESBUTTON_EDGE, SCAN_UP, tab},
          Case{MESBUTTON_EDGE, SCAN_DOWN, centre}, Case{0xF00, SCAN_DOWN, edge}}) {
        m_mouse.warps.clear();
        if (IRightMenu::IsMenuOpen()) // a pointer sent to the tab opens the menu
            Window().CloseMenu();
        Window().HoverId = c.hovered;
        switch (c.key) {
        case SCAN_UP:
            Window().OnUpKey();
            break;
        case SCAN_DOWN:
            Window().OnDownKey();
            break;
        case SCAN_LEFT:
            Window().OnLeftKey();
            break;
        default:
            Window().OnRightKey();
            break;
        }
        ASSERT_FALSE(m_mouse.warps.empty()) << c.hovered << " " << c.key;
        EXPECT_EQ(m_mouse.warps.front().x, c.to.x) << c.hovered << " " << c.key;
        EXPECT_EQ(m_mouse.warps.front().y, c.to.y) << c.hovered << " " << c.key;
    }
}

TEST_F(CMesWndThreadTest, WindowPositionIsKeptOnScreen)
{
    for (auto [stored, used] :
         {std::pair{5, 10}, std::pair{900, 768}, std::pair{500, 500}, std::pair{-40, 10}}) {
        m_app.Config().SetInt("/Config/MesWnd/00/PosY", stored);
        EXPECT_EQ(CMesWnd::ConfiguredWindowY(), used) << stored;
    }
}

} // namespace
