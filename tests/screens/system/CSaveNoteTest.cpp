// The save note: its confirmation setting, the width-30 rule for typed, pasted and composed text,
// Backspace over full-width characters, and, through the save screen, a comment composed with
// the input method and the show-again box.

#include "screens/system/CSaveNote.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "foundation/ConfigSettings.h"
#include "platform/d3d/null/NullPresenter.h"
#include "platform/user/ClipboardApi.h"
#include "screens/system/SaveLoadScreenFixture.h"
#include "script/save/SaveSlotTable.h"

using namespace saveload_layout;

namespace {

constexpr int32_t NOTE_AREA = 0x10000; // marks a note's area for Centre

class CSaveNoteThreadTest : public SaveLoadScreenFixture
{
protected:
    ~CSaveNoteThreadTest() override { platform::SetClipboardUtf8(""); }

    SaveSlotHeader DiskHeader(uint32_t slot) const
    {
        const std::vector<uint8_t> bytes = m_dir.Read("FLAG000");
        ByteCursor cursor(bytes);
        FlagBuffer system;
        EXPECT_TRUE(system.ReadFrom(cursor));
        GrowToSlotTable(system.Bytes);
        return SaveSlotTable(system.Bytes).Get(slot);
    }
};

TEST_F(CSaveNoteThreadTest, SetupFollowsTheConfirmationOfItsKind)
{
    struct Case
    {
        uint8_t used;
        int switched_off; // dialog number switched off, -1 none
        int32_t answer;
        int32_t kind;
    };
    const Case cases[] = {{0, -1, 1, NOTE_KIND_NEW}, {1, -1, 1, NOTE_KIND_OVERWRITE},
                          {0, 0, 0, NOTE_KIND_NEW},  {1, 5, 0, NOTE_KIND_OVERWRITE},
                          {0, 5, 1, NOTE_KIND_NEW},  {1, 0, 1, NOTE_KIND_OVERWRITE}};
    for (const Case& c : cases) {
        SetConfigDialogEnable(0, 1);
        SetConfigDialogEnable(5, 1);
        if (c.switched_off >= 0)
            SetConfigDialogEnable(c.switched_off, 0);
        CSaveNote note;
        EXPECT_EQ(note.Setup("comment", c.used), c.answer) << int(c.used) << " " << c.switched_off;
        EXPECT_EQ(note.GetKind(), c.kind);
        if (c.answer == 1) {
            EXPECT_EQ(note.GetText().GetStdString(), "comment");
            EXPECT_EQ(note.GetCaret(), 7);
        }
    }
}

// Half-width letters stop at the 21 UTF-16 units the slot header stores, before width 30.
TEST_F(CSaveNoteThreadTest, TypedLettersStopWhereTheStoredNoteEnds)
{
    SetLanguage(1);
    CSaveNote note;
    ASSERT_EQ(note.Setup("", 0), 1);
    std::string typed;
    for (int i = 0; i < 31; ++i) {
        const char c = i == 3 ? '@' : static_cast<char>('a' + i % 26);
        typed += c;
        note.HookProc(nullptr, WM_CHAR, static_cast<WPARAM>(c), 0);
        note.HookProc(nullptr, WM_CHAR, '#', 0); // not a letter: ignored
        note.HookProc(nullptr, WM_KEYDOWN, 'Q', 0);
    }
    EXPECT_EQ(note.GetText().GetStdString(), typed.substr(0, 21));
    EXPECT_EQ(note.GetCaret(), 21);
}

// Words typed apart stay apart, as the input method keeps them in the other languages.
TEST_F(CSaveNoteThreadTest, TypedSpacesAreKept)
{
    SetLanguage(1);
    CSaveNote note;
    ASSERT_EQ(note.Setup("", 0), 1);
    for (const char c : std::string("a b c"))
        note.HookProc(nullptr, WM_CHAR, static_cast<WPARAM>(c), 0);
    EXPECT_EQ(note.GetText().GetStdString(), "a b c");
    EXPECT_EQ(note.GetCaret(), 5);
}

TEST_F(CSaveNoteThreadTest, PasteReplacesTheTextCutToWidthThirtyWithoutControlCharacters)
{
    const std::string a29(29, 'a');
    struct Case
    {
        const char* before;
        std::string clipboard;
        std::string after;
        int32_t caret;
    };
    const Case cases[] = {
        {"", "x\ty\nz\r\x7f!", "xyz!", 4},
        {"typed", "new", "new", 3},
        {"", a29 + "あ", a29.substr(0, 21), 21}, // past the 21 units stored
        {"", "あいう" + a29, "あいう" + a29.substr(0, 18), 24},
        {"", "a😀😀😀😀😀😀😀😀😀😀", "a😀😀😀😀😀😀😀😀😀😀", 21},
        {"", "ab😀😀😀😀😀😀😀😀😀😀", "ab😀😀😀😀😀😀😀😀😀", 20}, // never half a pair
        {"", "あいうえおかきくけこさしすせそた", "あいうえおかきくけこさしすせそ", 30},
        {"kept", "", "kept", 4}, // nothing on the clipboard changes nothing
    };
    for (const Case& c : cases) {
        platform::SetClipboardUtf8(c.clipboard);
        CSaveNote note;
        ASSERT_EQ(note.Setup(c.before, 0), 1);
        note.OnPaste();
        EXPECT_EQ(note.GetText().GetStdString(), c.after) << c.clipboard;
        EXPECT_EQ(note.GetCaret(), c.caret) << c.clipboard;
    }
}

TEST_F(CSaveNoteThreadTest, BackspaceRemovesAWholeFullWidthCharacter)
{
    CSaveNote note;
    ASSERT_EQ(note.Setup("abあ", 0), 1);
    EXPECT_EQ(note.GetCaret(), 4);
    note.OnBackspaceKey();
    EXPECT_EQ(note.GetText().GetStdString(), "ab");
    EXPECT_EQ(note.GetCaret(), 2);
    note.OnBackspaceKey();
    note.OnBackspaceKey();
    note.OnBackspaceKey();
    EXPECT_EQ(note.GetText().GetStdString(), "");
    EXPECT_EQ(note.GetCaret(), 0);
}

// A new save whose comment is pasted into the note (Ctrl+V), with the show-again box turned off
// inside the note: it still saves, and the next new save runs without the note.
TEST_F(CSaveNoteThreadTest, APastedCommentIsSavedAndTheShowAgainBoxSkipsTheNextNote)
{
    SetConfigDialogEnable(0, 1);
    platform::SetClipboardUtf8("メモ\n");
    bool box_off_inside = false;
    RunScreen(
        m_save,
        [&](int pump) {
            ClickAt(pump, 30, ID_ROW);
            if (pump == 60)
                m_keyboard.down = {29, 47}; // Ctrl+V
            if (pump == 63)
                m_keyboard.down.clear();
            if (pump == 85)
                Capture("savenote_pasted.png");
            ClickAt(pump, 90, NOTE_AREA | NOTE_SHOW_AGAIN);
            if (pump == 100)
                box_off_inside = !GetConfigDialogEnable(0);
            ClickAt(pump, 110, NOTE_AREA | NOTE_SAVE);
            ClickAt(pump, 150, ID_ROW);
        },
        200);
    EXPECT_TRUE(box_off_inside);
    EXPECT_EQ(m_save.GetCount(0), 2);
    EXPECT_EQ(DiskHeader(2).GetComment().GetStdString(), "メモ") << "the first save, pushed down";
    EXPECT_EQ(DiskHeader(1).GetComment().GetStdString(), "") << "saved at once, without the note";
}

// A new save's comment composed and committed through the input method, its steps arriving as
// SDL's editing and text events: the note shows the composition over its text line (the clause
// being converted inverted), then takes the committed text, which the save writes.
TEST_F(CSaveNoteThreadTest, ACommentComposedThroughTheInputMethodIsShownThenSaved)
{
    SetConfigDialogEnable(0, 1);
    // Over the first two full-width cells of the note's text line.
    Composition composition{"めも", "メモ", 2, {727, 494, 727 + 56, 494 + 28}, "savenote"};
    RunScreen(
        m_save,
        [&](int pump) {
            ClickAt(pump, 30, ID_ROW);
            StepComposition(pump, 58, composition);
            ClickAt(pump, 110, NOTE_AREA | NOTE_SAVE);
        },
        200);
    ExpectCompositionShown(composition);
    EXPECT_GT(composition.seen[3].white, 0) << "the committed text in the note";
    EXPECT_EQ(m_save.GetCount(0), 1);
    EXPECT_EQ(DiskHeader(1).GetComment().GetStdString(), "メモ");
}

// At rest the note only blinks its caret: each blink is drawn in the caret's box alone, not in the
// text line nor the whole screen under the note's shade.
TEST_F(CSaveNoteThreadTest, ABlinkOfTheCaretRedrawsOnlyItsBox)
{
    SetConfigDialogEnable(0, 1);
    // An opaque ground under the screens, as the game's picture is: nothing shows through.
    CSpriteLayer ground;
    ground.Create(0, 0, 1920, 1080, 0);
    ground.FillRect(0, 0, 1920, 1080, 0xFF000000, 1);
    ground.SetVisibleFlag(1);
    platform::NullPresenter* presenter = platform::GetNullPresenter();
    uint64_t frames = 0;
    std::vector<RECT> blinks;
    RunScreen(
        m_save,
        [&](int pump) {
            ClickAt(pump, 30, ID_ROW);
            // The note is up and the pointer rests away from its buttons.
            if (pump == 70)
                frames = presenter->GetFrameCount();
            if (pump > 70 && pump < 150 && presenter->GetFrameCount() != frames) {
                frames = presenter->GetFrameCount();
                blinks.push_back(presenter->GetLastFrame()->changed);
            }
            if (pump == 150)
                m_keyboard.down = {1}; // Esc: no save
            if (pump == 152)
                m_keyboard.down.clear();
        },
        200);
    ASSERT_GE(blinks.size(), 3u);
    const SIZE client = presenter->GetLastFrame()->client;
    for (const RECT& changed : blinks) {
        // Scaled, the box reaches as far as the filter reads.
        EXPECT_LE(changed.right - changed.left, client.cx / 100);
        EXPECT_LE(changed.bottom - changed.top, client.cy / 10);
    }
}

} // namespace

// Text typed with no input method comes as one commit that starts and ends within a turn: the
// note still takes it, each commit after the last, and the save writes it.
TEST_F(CSaveNoteThreadTest, TextCommittedWithoutACompositionIsTaken)
{
    SetConfigDialogEnable(0, 1);
    RunScreen(
        m_save,
        [&](int pump) {
            ClickAt(pump, 30, ID_ROW);
            if (pump == 60)
                CommitText("雪の朝");
            if (pump == 80)
                CommitText("abc");
            ClickAt(pump, 110, NOTE_AREA | NOTE_SAVE);
        },
        200);
    EXPECT_EQ(m_save.GetCount(0), 1);
    EXPECT_EQ(DiskHeader(1).GetComment().GetStdString(), "雪の朝abc");
}

// Keys typed faster than the game's turns: every commit queued before one turn reaches the note,
// in order, none overwritten by the next.
TEST_F(CSaveNoteThreadTest, CommitsQueuedBeforeOneTurnAllReachTheNote)
{
    SetConfigDialogEnable(0, 1);
    RunScreen(
        m_save,
        [&](int pump) {
            ClickAt(pump, 30, ID_ROW);
            if (pump == 60) {
                for (const char* key : {"l", "i", "n", "e", " "})
                    CommitText(key);
            }
            if (pump == 80) {
                for (const char* key : {"t", "w", "o"})
                    CommitText(key);
            }
            // A commit with the next composition begun behind it in the same turn.
            if (pump == 90) {
                CommitText("!");
                ComposeText("ゆ", 1, 0);
            }
            if (pump == 95)
                CommitText("雪");
            ClickAt(pump, 110, NOTE_AREA | NOTE_SAVE);
        },
        200);
    EXPECT_EQ(m_save.GetCount(0), 1);
    EXPECT_EQ(DiskHeader(1).GetComment().GetStdString(), "line two!雪");
}
