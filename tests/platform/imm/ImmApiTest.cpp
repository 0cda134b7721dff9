// The input context: its switches, the composition it reports and the messages it sends.
#include "platform/imm/ImmApi.h"

#include <gtest/gtest.h>

#include <array>

#include "platform/imm/ImeInjection.h"
#include "platform/user/InputInjection.h"
#include "platform/user/MessageApi.h"
#include "platform/user/RecordingWindow.h"

namespace {

using test::RecordingWindow;

constexpr DWORD VIEW_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

class ImmApiTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::ResetInputMethod();
        m_view = m_window.Create(VIEW_STYLE, 0, 0, 640, 360);
        ShowWindow(m_view, SW_SHOW);
        RecordingWindow::PumpAll();
        m_context = ImmGetContext(m_view);
        m_window.Clear();
    }
    void TearDown() override { platform::ResetInputMethod(); }

    void Open()
    {
        ImmSetOpenStatus(m_context, TRUE);
        m_window.Clear();
    }

    std::u16string Read(DWORD index)
    {
        const LONG bytes = ImmGetCompositionStringW(m_context, index, nullptr, 0);
        std::u16string text(static_cast<size_t>(bytes) / 2, u'\0');
        EXPECT_EQ(ImmGetCompositionStringW(m_context, index, text.data(), static_cast<DWORD>(bytes)), bytes);
        return text;
    }

    std::vector<BYTE> Attributes()
    {
        const LONG bytes = ImmGetCompositionStringW(m_context, GCS_COMPATTR, nullptr, 0);
        std::vector<BYTE> attributes(static_cast<size_t>(bytes));
        ImmGetCompositionStringW(m_context, GCS_COMPATTR, attributes.data(), static_cast<DWORD>(bytes));
        return attributes;
    }

    std::vector<DWORD> Clauses(DWORD index = GCS_COMPCLAUSE)
    {
        const LONG bytes = ImmGetCompositionStringW(m_context, index, nullptr, 0);
        std::vector<DWORD> clauses(static_cast<size_t>(bytes) / 4);
        ImmGetCompositionStringW(m_context, index, clauses.data(), static_cast<DWORD>(bytes));
        return clauses;
    }

    RecordingWindow m_window;
    HWND m_view = nullptr;
    HIMC m_context = nullptr;
};

TEST_F(ImmApiTest, OpeningNotifiesTheWindowOnceAndSwitchesTextInput)
{
    ASSERT_NE(m_context, nullptr);
    EXPECT_EQ(ImmGetContext(nullptr), nullptr);
    EXPECT_FALSE(ImmGetOpenStatus(m_context));
    EXPECT_TRUE(ImmSetOpenStatus(m_context, TRUE));
    EXPECT_TRUE(ImmSetOpenStatus(m_context, TRUE)); // unchanged: no second notice
    const auto notices = m_window.Of(WM_IME_NOTIFY);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].w_param, IMN_SETOPENSTATUS);
    EXPECT_TRUE(ImmGetOpenStatus(m_context));

    // While the input method is on, keys make no WM_CHAR: characters come from it instead.
    platform::PushKey(m_view, 'A', true);
    platform::PushKey(m_view, 'A', false);
    RecordingWindow::PumpAll();
    EXPECT_TRUE(m_window.Of(WM_CHAR).empty());

    // Disabled for the program, the open context lets keys make characters again.
    EXPECT_TRUE(WINNLSEnableIME(nullptr, FALSE));
    EXPECT_FALSE(WINNLSEnableIME(nullptr, FALSE));
    platform::PushKey(m_view, 'A', true);
    platform::PushKey(m_view, 'A', false);
    RecordingWindow::PumpAll();
    ASSERT_EQ(m_window.Of(WM_CHAR).size(), 1u);
    EXPECT_EQ(m_window.Of(WM_CHAR)[0].w_param, static_cast<WPARAM>(u'a'));
}

TEST_F(ImmApiTest, ModesAreKeptAsSet)
{
    DWORD conversion = 99;
    DWORD sentence = 99;
    ASSERT_TRUE(ImmGetConversionStatus(m_context, &conversion, &sentence));
    EXPECT_EQ(conversion, IME_CMODE_ALPHANUMERIC);
    EXPECT_EQ(sentence, IME_SMODE_NONE);
    // No-conversion Roman is 0x100 | 0x10.
    ASSERT_TRUE(ImmSetConversionStatus(m_context, 272, 0));
    ImmGetConversionStatus(m_context, &conversion, &sentence);
    EXPECT_EQ(conversion, 272u);
    EXPECT_EQ(sentence, 0u);
    ASSERT_TRUE(ImmSetConversionStatus(m_context, conversion, IME_SMODE_PHRASEPREDICT));
    ImmGetConversionStatus(m_context, &conversion, &sentence);
    EXPECT_EQ(sentence, 8u);
    EXPECT_FALSE(ImmSetConversionStatus(reinterpret_cast<HIMC>(uintptr_t{0x42}), 1, 0));
}

TEST_F(ImmApiTest, AComposingSequenceArrivesAsWindowsSendsIt)
{
    Open();
    platform::ImeCompose(u"かんじ", 3);
    platform::ImeCompose(u"漢字を変換", 2, {0, 2, 3, 5}, 1);
    RecordingWindow::PumpAll();
    EXPECT_EQ(m_window.Sequence(),
              (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_COMPOSITION}));
    const auto updates = m_window.Of(WM_IME_COMPOSITION);
    const LPARAM change = GCS_COMPSTR | GCS_COMPATTR | GCS_COMPCLAUSE | GCS_CURSORPOS | GCS_DELTASTART;
    EXPECT_EQ(updates[0].l_param, change);
    EXPECT_EQ(updates[1].l_param, change);

    // The context holds the newest state: 5 units, 10 bytes.
    EXPECT_EQ(ImmGetCompositionStringW(m_context, GCS_COMPSTR, nullptr, 0), 10);
    EXPECT_EQ(Read(GCS_COMPSTR), u"漢字を変換");
    // Clause 1 (units 2..3) is the one being converted; the others are converted but not target.
    EXPECT_EQ(Attributes(), (std::vector<BYTE>{ATTR_CONVERTED, ATTR_CONVERTED, ATTR_TARGET_CONVERTED,
                                               ATTR_CONVERTED, ATTR_CONVERTED}));
    EXPECT_EQ(Clauses(), (std::vector<DWORD>{0, 2, 3, 5}));
    EXPECT_EQ(ImmGetCompositionStringW(m_context, GCS_CURSORPOS, nullptr, 0), 2);
    // "かんじ" and "漢字を変換" share no first unit.
    EXPECT_EQ(ImmGetCompositionStringW(m_context, GCS_DELTASTART, nullptr, 0), 0);

    platform::ImeCompose(u"漢字を返還", 5);
    EXPECT_EQ(ImmGetCompositionStringW(m_context, GCS_DELTASTART, nullptr, 0), 3);
    EXPECT_EQ(Attributes(), std::vector<BYTE>(5, ATTR_INPUT));
    EXPECT_EQ(Clauses(), (std::vector<DWORD>{0, 5}));
}

TEST_F(ImmApiTest, CommittingLeavesTheResultAndEndsTheComposition)
{
    Open();
    platform::ImeCompose(u"にほんご", 4);
    platform::ImeCommit(u"日本語");
    RecordingWindow::PumpAll();
    EXPECT_EQ(m_window.Sequence(), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION,
                                                      WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}));
    const auto commit = m_window.Of(WM_IME_COMPOSITION)[1];
    EXPECT_EQ(commit.l_param, static_cast<LPARAM>(GCS_RESULTSTR | GCS_RESULTCLAUSE));
    EXPECT_EQ(commit.w_param, static_cast<WPARAM>(u'日'));
    EXPECT_EQ(Read(GCS_RESULTSTR), u"日本語");
    EXPECT_EQ(Clauses(GCS_RESULTCLAUSE), (std::vector<DWORD>{0, 3}));
    EXPECT_EQ(ImmGetCompositionStringW(m_context, GCS_COMPSTR, nullptr, 0), 0);

    // The next composition starts without the old result.
    platform::ImeCompose(u"あ", 1);
    EXPECT_EQ(ImmGetCompositionStringW(m_context, GCS_RESULTSTR, nullptr, 0), 0);
}

TEST_F(ImmApiTest, CancellingQueuesTheEmptyUpdateAndTheEndAtOnce)
{
    Open();
    platform::ImeCompose(u"へんかん", 4);
    RecordingWindow::PumpAll();
    m_window.Clear();
    EXPECT_TRUE(ImmNotifyIME(m_context, NI_COMPOSITIONSTR, CPS_CANCEL, 0));
    RecordingWindow::PumpAll();
    EXPECT_EQ(m_window.Sequence(), (std::vector<UINT>{WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}));
    EXPECT_EQ(m_window.Of(WM_IME_COMPOSITION)[0].w_param, 0u);
    EXPECT_EQ(m_window.Of(WM_IME_COMPOSITION)[0].l_param, 0);
    EXPECT_EQ(ImmGetCompositionStringW(m_context, GCS_RESULTSTR, nullptr, 0), 0);

    // Nothing to cancel: nothing sent.
    m_window.Clear();
    ImmNotifyIME(m_context, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
    RecordingWindow::PumpAll();
    EXPECT_TRUE(m_window.Sequence().empty());
}

TEST_F(ImmApiTest, CompletingCommitsWhatIsComposed)
{
    Open();
    platform::ImeCompose(u"かな", 2);
    EXPECT_TRUE(ImmNotifyIME(m_context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0));
    RecordingWindow::PumpAll();
    EXPECT_EQ(m_window.Sequence().back(), WM_IME_ENDCOMPOSITION);
    EXPECT_EQ(Read(GCS_RESULTSTR), u"かな");
}

TEST_F(ImmApiTest, ASmallBufferGetsWholeElementsAndNothingBeyond)
{
    Open();
    platform::ImeCompose(u"あいう", 3, {0, 1, 3}, 0);
    // 5 bytes hold two units of the three.
    std::array<char16_t, 4> text{u'#', u'#', u'#', u'#'};
    EXPECT_EQ(ImmGetCompositionStringW(m_context, GCS_COMPSTR, text.data(), 5), 4);
    EXPECT_EQ(text[0], u'あ');
    EXPECT_EQ(text[1], u'い');
    EXPECT_EQ(text[2], u'#');
    // 7 bytes hold one 32-bit offset of the three.
    std::array<DWORD, 3> clauses{77, 77, 77};
    EXPECT_EQ(ImmGetCompositionStringW(m_context, GCS_COMPCLAUSE, clauses.data(), 7), 4);
    EXPECT_EQ(clauses[0], 0u);
    EXPECT_EQ(clauses[1], 77u);
    std::array<BYTE, 3> attributes{9, 9, 9};
    EXPECT_EQ(ImmGetCompositionStringW(m_context, GCS_COMPATTR, attributes.data(), 2), 2);
    EXPECT_EQ(attributes, (std::array<BYTE, 3>{ATTR_TARGET_CONVERTED, ATTR_CONVERTED, 9}));
    EXPECT_EQ(ImmGetCompositionStringW(m_context, GCS_COMPSTR, nullptr, 4), IMM_ERROR_GENERAL);
    EXPECT_EQ(ImmGetCompositionStringW(m_context, 0x4000, text.data(), 8), IMM_ERROR_GENERAL);
}

TEST_F(ImmApiTest, SdlEditingEventsBecomeCompositionsWithTheSelectedSpanAsTarget)
{
    Open();
    // "日本語" with the cursor on character 1 and that one character selected.
    ASSERT_TRUE(platform::PushEditing(m_view, "日本語", 1, 1));
    RecordingWindow::PumpAll();
    EXPECT_EQ(m_window.Sequence(), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION}));
    EXPECT_EQ(Read(GCS_COMPSTR), u"日本語");
    EXPECT_EQ(Attributes(), (std::vector<BYTE>{ATTR_CONVERTED, ATTR_TARGET_CONVERTED, ATTR_CONVERTED}));
    EXPECT_EQ(Clauses(), (std::vector<DWORD>{0, 1, 2, 3}));
    EXPECT_EQ(ImmGetCompositionStringW(m_context, GCS_CURSORPOS, nullptr, 0), 1);

    // SDL counts characters; U+20BB7 takes two UTF-16 units, so character 1 starts at unit 2.
    ASSERT_TRUE(platform::PushEditing(m_view, "\xF0\xA0\xAE\xB7野家", 1, 2));
    RecordingWindow::PumpAll();
    EXPECT_EQ(Clauses(), (std::vector<DWORD>{0, 2, 4}));
    EXPECT_EQ(ImmGetCompositionStringW(m_context, GCS_CURSORPOS, nullptr, 0), 2);

    // Committed text ends it; an empty composition afterwards sends nothing.
    m_window.Clear();
    ASSERT_TRUE(platform::PushText(m_view, "𠮷野家"));
    ASSERT_TRUE(platform::PushEditing(m_view, "", 0, 0));
    RecordingWindow::PumpAll();
    EXPECT_EQ(m_window.Sequence(), (std::vector<UINT>{WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}));
    EXPECT_EQ(Read(GCS_RESULTSTR), u"𠮷野家");
}

TEST_F(ImmApiTest, SdlEmptiedCompositionCancels)
{
    Open();
    ASSERT_TRUE(platform::PushEditing(m_view, "ka", 2, 0));
    ASSERT_TRUE(platform::PushEditing(m_view, "", 0, 0));
    RecordingWindow::PumpAll();
    EXPECT_EQ(m_window.Sequence(), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION,
                                                      WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}));
    EXPECT_EQ(m_window.Of(WM_IME_COMPOSITION)[1].l_param, 0);
}

TEST_F(ImmApiTest, TypedTextWithoutAComposingInputMethodIsCommittedWhole)
{
    Open();
    ASSERT_TRUE(platform::PushText(m_view, "abc"));
    RecordingWindow::PumpAll();
    EXPECT_EQ(m_window.Sequence(),
              (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}));
    EXPECT_EQ(Read(GCS_RESULTSTR), u"abc");
}

TEST_F(ImmApiTest, WindowsStoreTheirCompositionAndCandidatePlacement)
{
    COMPOSITIONFORM composition{CFS_DEFAULT, {5, 6}, {}};
    EXPECT_TRUE(ImmSetCompositionWindow(m_context, &composition));
    COMPOSITIONFORM read{};
    EXPECT_TRUE(ImmGetCompositionWindow(m_context, &read));
    EXPECT_EQ(read.ptCurrentPos.y, 6);
    for (DWORD i = 0; i < 4; ++i) {
        CANDIDATEFORM candidate{i, CFS_CANDIDATEPOS, {0, 0}, {}};
        EXPECT_TRUE(ImmSetCandidateWindow(m_context, &candidate));
    }
    CANDIDATEFORM bad{4, CFS_CANDIDATEPOS, {0, 0}, {}};
    EXPECT_FALSE(ImmSetCandidateWindow(m_context, &bad));
}

} // namespace
