#include "screens/system/CNameInput.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/CVeskDoc.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "platform/d3d/null/NullPresenter.h"
#include "platform/user/ClipboardApi.h"
#include "screens/ScreenFixture.h"
#include "screens/base/CMiniDialog.h"
#include "screens/system/KanjiRows.h"
#include "screens/system/NamePalette.h"
#include "screens/system/ReservedNames.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "sheetgen/SheetGenerator.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;

int32_t Cells(const std::vector<CStringUTF8>& rows)
{
    int32_t count = 0;
    for (const CStringUTF8& row : rows)
        for (char32_t c : ToCodePoints(row))
            count += c != U'\u3000' && c != U' ' ? 1 : 0;
    return count;
}

std::u32string U(const char* text)
{
    return ToCodePoints(CStringUTF8(text));
}

class CNameInputThreadTest : public ScreenFixture
{
protected:
    CNameInputThreadTest()
        : ScreenFixture(
              Data(), {{"KEYBORD_P.AKB",
                        tools::EncodeAkb(tools::BuildSheet(tools::NAME_SHEET_WIDTH, tools::NAME_SHEET_HEIGHT,
                                                           tools::NameInputSheetCells()),
                                         {})}})
    {
        // The game's ground: an opaque picture under every screen, so a closed screen leaves nothing.
        m_ground = CreateSpriteOfType(0, 0, 1920, 1080, 0, LAYER_KIND_MEMORY);
        if (auto* layer = dynamic_cast<CSpriteLayer*>(m_ground.get())) {
            layer->FillRect(0, 0, 1920, 1080, GROUND, 1);
            layer->SetVisibleFlag(1);
        }
    }

    static constexpr uint32_t GROUND = 0xFF203040;
    std::unique_ptr<CSprite> m_ground;

    static std::vector<tools::ArchiveEntry> Data()
    {
        std::vector<tools::ArchiveEntry> data = DialogDataEntries();
        data.push_back({"NAMEINPUT.AREA", tools::BuildAreaFile(tools::NameInputAreas())});
        return data;
    }

    // A screen set up and opened in a language, outside a run.
    std::unique_ptr<CNameInput> Open(int language)
    {
        GetDocument()->SetLanguage(language);
        auto screen = std::make_unique<CNameInput>();
        EXPECT_EQ(screen->Setup(), 1);
        screen->OnOpen();
        return screen;
    }

    static void Decide(CNameInput& screen, int32_t id)
    {
        screen.HoverId = id;
        screen.OnDecide();
    }

    static int32_t KanaCell(int32_t row, int32_t column) { return NAME_CELL + 18 * row + column; }
};

} // namespace

TEST(NamePaletteTest, PagesHoldTheirCellsAndReadingGroups)
{
    const std::vector<CStringUTF8> kana = KanaPaletteRows();
    ASSERT_EQ(kana.size(), 12u);
    EXPECT_EQ(Cells(kana), 172);
    EXPECT_EQ(ToCodePoints(kana[5]).substr(12, 3), U"・ー～");

    const std::vector<CStringUTF8> kanji = KanjiPaletteRows();
    ASSERT_EQ(kanji.size(), 186u);
    EXPECT_EQ(Cells(kanji), 2965);
    ASSERT_EQ(KANJI_GROUPS.size(), 44u);
    struct Group
    {
        size_t index;
        int32_t row;
        const char* reading;
        const char* first;
    } groups[] = {{0, 0, "あ", "亜"},    {5, 14, "か", "下"},   {11, 65, "し", "仕"},
                  {22, 133, "ぬ", "濡"}, {35, 167, "や", "也"}, {43, 184, "わ", "倭"}};
    for (const Group& g : groups) {
        EXPECT_EQ(KANJI_GROUPS[g.index].first_row, g.row) << g.reading;
        EXPECT_EQ(KANJI_GROUPS[g.index].reading, g.reading);
        EXPECT_EQ(ToCodePoints(kanji[static_cast<size_t>(g.row)])[0], U(g.first)[0]) << g.reading;
        EXPECT_STREQ(KanjiGroupReading(g.row), g.reading);
    }
    EXPECT_EQ(ToCodePoints(kanji[133]), U"濡" + std::u32string(17, U'\u3000'));
    EXPECT_EQ(ToCodePoints(kanji[185]), U"腕" + std::u32string(17, U'\u3000'));
    EXPECT_EQ(KanjiGroupReading(134 - 1), std::string("ぬ"));
    EXPECT_EQ(KanjiGroupReading(1), nullptr);

    struct Letters
    {
        int32_t language, cells, last_row;
    } letters[] = {{1, 72, 5}, {0, 87, 6}, {3, 87, 6}};
    for (const Letters& l : letters) {
        const std::vector<CStringUTF8> rows = LetterPaletteRows(l.language);
        EXPECT_EQ(Cells(rows), l.cells) << l.language;
        EXPECT_FALSE(rows[static_cast<size_t>(l.last_row)].IsEmpty()) << l.language;
        EXPECT_TRUE(rows[static_cast<size_t>(l.last_row) + 1].IsEmpty()) << l.language;
    }
    EXPECT_EQ(ToCodePoints(LetterPaletteRows(1)[5]).substr(0, 1), U"－");
    EXPECT_EQ(ToCodePoints(LetterPaletteRows(0)[5]).substr(0, 1), U"￥");
    // The half-width twins line up cell for cell with language 1's rows.
    const std::vector<CStringUTF8> half = HalfLetterPaletteRows();
    const std::vector<CStringUTF8> full = LetterPaletteRows(1);
    for (size_t r = 0; r < 6; ++r) {
        const std::u32string h = ToCodePoints(half[r]);
        const std::u32string f = ToCodePoints(full[r]);
        for (size_t c = 0; c < f.size(); ++c)
            EXPECT_EQ(h[c] == U' ', f[c] == U'\u3000') << r << ", " << c;
    }
}

TEST(NameEditTest, MergeRulesFilterAndStore)
{
    struct Case
    {
        bool paste;
        const char* name;
        int32_t caret;
        const char* incoming;
        int32_t language;
        const char* out;
        int32_t out_caret;
    } cases[] = {
        {true, "", 0, "abc+1", 0, "abc1", 4},
        {true, "", 0, "a\tb\r\nc\x7F", 3, "abc", 3},
        {true, "", 0, "かな漢字", 3, "かな漢字", 4},
        {true, "", 0, "かな漢字", 0, "", 0},
        {true, "あい", 1, "かきくけこさ", 3, "あかきくけ", 5},
        {true, "abcdefgh", 1, "xy", 1, "axydefgh", 3},
        // A replaced span shorter than the paste: the name is cut to width 10 all the same.
        {true, "abcdefghij", 4, "XYZ", 1, "abcdXYZfgh", 5},
        {true, "ab", 9, "c", 1, "abc", 3},
        {false, "", 0, "ＡＢＣ", 3, "ＡＢＣ", 3},
        {false, "りゅうのすけ", 0, "かな", 3, "かなうのすけ", 2},
        {false, "りゅう", 2, "かなだ", 3, "りゅかなだ", 5},
        {false, "ab", 2, "ＡＢＣＤＥＦ", 3, "abＡＢＣＤＥ", 7},
    };
    for (const Case& c : cases) {
        std::u32string name = U(c.name);
        int32_t caret = c.caret;
        const std::u32string incoming = FilterPasted(U(c.incoming), c.language);
        if (c.paste)
            MergePasted(name, caret, incoming);
        else
            MergeCommitted(name, caret, incoming);
        EXPECT_EQ(FromCodePoints(name).GetStdString(), c.out) << c.name << " + " << c.incoming;
        EXPECT_EQ(caret, c.out_caret) << c.name << " + " << c.incoming;
    }
    EXPECT_EQ(NameWidth(U"a—×ＡあÀ"), 1 + 1 + 1 + 2 + 2 + 1);

    std::vector<uint8_t> bytes(100, 7);
    StoreHeroName(bytes, "かかかかかか");
    ASSERT_EQ(bytes.size(), HERO_NAME_OFFSET + 19);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + HERO_NAME_OFFSET)), "かかかかかか");
    EXPECT_EQ(bytes[99], 7) << "what was there stays";

    std::vector<size_t> sizes;
    size_t total = 0;
    for (const auto& group : ReservedNameGroups()) {
        sizes.push_back(group.size());
        total += group.size();
    }
    EXPECT_EQ(sizes, (std::vector<size_t>{19, 17, 20, 20, 20, 20, 20, 6}));
    EXPECT_EQ(total, 142u);
    for (int32_t language = 0; language < 4; ++language)
        EXPECT_EQ(IsNameAllowed(GetDefaultHeroName(language)), 1) << language;
    EXPECT_EQ(IsNameAllowed("小春"), 0);
    EXPECT_EQ(IsNameAllowed("小春た"), 1);
    EXPECT_EQ(IsNameAllowed("小"), 1);
    EXPECT_EQ(IsNameAllowed("コハル"), 0);
    EXPECT_EQ(IsNameAllowed("ｺﾊﾙ"), 1);
}

TEST_F(CNameInputThreadTest, KanaPageAtOpenAndThePaletteOverwritesTheDefault)
{
    std::unique_ptr<CNameInput> screen = Open(3);
    EXPECT_EQ(screen->Page, NAME_PAGE_KANA);
    EXPECT_EQ(screen->Name.GetStdString(), "りゅうのすけ");
    EXPECT_EQ(screen->CellAreas.size(), 172u);
    Capture("name_input_kana.png");
    EXPECT_EQ(ShownCell(505, 106), Cell(NAME_CELL, 0)) << "あ's cell";
    EXPECT_NE(ShownCell(450 + 300 + 55, 106).first, uint32_t(NAME_CELL)) << "a blank position";
    EXPECT_EQ(ShownCell(733 + 57, 949 + 57), Cell(tools::NAME_SHEET_CARET, 0)) << "caret on the first";
    EXPECT_EQ(ShownCell(1436 + 200, 875 + 140), Cell(NAME_CONFIRM, 0));
    EXPECT_EQ(ShownCell(316 + 180, 810 + 50), Cell(NAME_TAB, 2)) << "the current page's tab";
    int32_t column = -1;
    int32_t row = -1;
    EXPECT_FALSE(screen->FindCell(KanaCell(0, 5), column, row));
    ASSERT_TRUE(screen->FindCell(KanaCell(5, 14), column, row));
    EXPECT_EQ(std::make_pair(column, row), std::make_pair(14, 5));

    for (int i = 0; i < 7; ++i)
        Decide(*screen, KanaCell(0, 6)); // か; the seventh is past the limit
    EXPECT_EQ(screen->Name.GetStdString(), "かかかかかか");
    EXPECT_EQ(screen->Caret, 6);
    Decide(*screen, NAME_CARET_RIGHT);
    EXPECT_EQ(screen->Caret, 6);
    Decide(*screen, NAME_DELETE);
    Decide(*screen, NAME_CARET_LEFT);
    Decide(*screen, KanaCell(0, 0));
    EXPECT_EQ(screen->Name.GetStdString(), "かかかかあ");
    EXPECT_EQ(screen->Caret, 5);
    screen->OnBackspaceKey();
    EXPECT_EQ(screen->Name.GetStdString(), "かかかか");
    EXPECT_EQ(screen->Caret, 4);
    Decide(*screen, NAME_TAB + NAME_PAGE_LETTERS);
    EXPECT_EQ(screen->CellAreas.size(), 87u);
    Capture("name_input_letters_3.png");
    Decide(*screen, NAME_CELL); // Ａ stays full width here
    EXPECT_EQ(screen->Name.GetStdString(), "かかかかＡ");
    screen->Release();
}

TEST_F(CNameInputThreadTest, KanjiJumpsAndScrollingKeepTheCellIds)
{
    std::unique_ptr<CNameInput> screen = Open(3);
    Decide(*screen, NAME_TAB + NAME_PAGE_KANJI);
    ASSERT_EQ(screen->Page, NAME_PAGE_KANJI);
    ASSERT_EQ(screen->FullRows.size(), 186u);
    const int32_t wet = NAME_CELL + 18 * 133; // 濡, alone in its group
    struct Step
    {
        int32_t button;
        int32_t top;
        int32_t wet_row; // -1: not on screen
    } steps[] = {{NAME_JUMP + 4, 129, 4},  {NAME_SCROLL_DOWN, 130, 3},  {NAME_SCROLL_UP, 129, 4},
                 {NAME_JUMP + 9, 184, -1}, {NAME_SCROLL_DOWN, 184, -1}, {NAME_SCROLL_UP, 183, -1},
                 {NAME_JUMP + 0, 0, -1},   {NAME_SCROLL_UP, 0, -1}};
    for (const Step& s : steps) {
        Decide(*screen, s.button);
        EXPECT_EQ(screen->TopRow, s.top) << s.button;
        int32_t column = -1;
        int32_t row = -1;
        EXPECT_EQ(screen->FindCell(wet, column, row), s.wet_row != -1) << s.button;
        if (s.wet_row != -1) {
            EXPECT_EQ(std::make_pair(column, row), std::make_pair(0, s.wet_row)) << s.button;
        }
        if (s.top == 184) {
            Capture("name_input_kanji_wa.png");
            EXPECT_NE(screen->CellGrid[1][0], -1);
            for (int32_t c = 0; c < 18; ++c)
                EXPECT_EQ(screen->CellGrid[2][static_cast<size_t>(c)], -1);
            EXPECT_EQ(ShownCell(1577 + 60, 405 + 300), Cell(NAME_SCROLL_DOWN, 3)) << "scroll down disabled";
            EXPECT_EQ(ShownCell(269 + 140, 51 + 50), Cell(tools::NAME_SHEET_READING, 0)) << "わ's label";
        }
    }
    screen->TopRow = 174;
    screen->DrawKanjiPage(0);
    EXPECT_EQ(screen->CellGrid[11][0], NAME_CELL + 18 * 185);
    EXPECT_EQ(screen->CellGrid[11][1], -1) << "腕 stands alone in row 185";
    screen->Release();
}

TEST_F(CNameInputThreadTest, LanguagesZeroAndOneKeepTheirLimits)
{
    std::unique_ptr<CNameInput> english = Open(0);
    EXPECT_EQ(english->Page, NAME_PAGE_LETTERS);
    EXPECT_EQ(english->CellAreas.size(), 87u);
    Capture("name_input_letters_0.png");
    Decide(*english, NAME_DEFAULT);
    EXPECT_EQ(english->Name.GetStdString(), "Ryusuke");
    EXPECT_EQ(english->Caret, 7);
    Decide(*english, NAME_CELL);
    Decide(*english, NAME_CARET_RIGHT);
    EXPECT_EQ(english->Name.GetStdString(), "Ryusuke") << "past the limit 6 the palette does nothing";
    english->OnBackspaceKey();
    english->OnBackspaceKey();
    Decide(*english, NAME_CELL + 18 * 4); // ０
    EXPECT_EQ(english->Name.GetStdString(), "Ryusu０");
    english->Release();
    english.reset();

    std::unique_ptr<CNameInput> chinese = Open(1);
    EXPECT_EQ(chinese->Page, NAME_PAGE_LETTERS);
    EXPECT_EQ(chinese->CellAreas.size(), 72u);
    Capture("name_input_letters_1.png");
    EXPECT_NE(ShownCell(316 + 180, 810 + 50).first, uint32_t(NAME_TAB)) << "no tabs";
    Decide(*chinese, NAME_TAB + NAME_PAGE_KANA);
    EXPECT_EQ(chinese->Page, NAME_PAGE_LETTERS);
    Decide(*chinese, NAME_CELL); // Ａ enters A
    EXPECT_EQ(chinese->Name.GetStdString(), "A介");
    // Typed letters go to the end whatever the caret, the caret a character index after them.
    for (char c : std::string("xy+z"))
        chinese->HookProc(nullptr, WM_CHAR, static_cast<WPARAM>(c), 0);
    EXPECT_EQ(chinese->Name.GetStdString(), "A介xyz");
    EXPECT_EQ(chinese->Caret, 5);
    for (int i = 0; i < 8; ++i)
        chinese->HookProc(nullptr, WM_CHAR, 'q', 0);
    EXPECT_EQ(chinese->Name.GetStdString(), "A介xyzqqqq") << "typing stops at width 10";
    EXPECT_EQ(chinese->Caret, 9);
    chinese->Release();
}

// One caret: where letters go straight into the name (language 1) the composition band shows no
// bar of its own beside the name's; where the input method composes, its band keeps one.
TEST_F(CNameInputThreadTest, OneCaretWhereNoCompositionRuns)
{
    for (const int language : {1, 3}) {
        SCOPED_TRACE(language);
        std::unique_ptr<CNameInput> screen = Open(language);
        ASSERT_EQ(screen->CaretVisible, 1);
        ILayer* buttons = screen->GetButtonLayer()->GetLayer();
        const std::vector<uint32_t> band = buttons->ReadPixels(RECT{398, 886, 400, 926});
        const bool band_bar =
            std::all_of(band.begin(), band.end(), [](uint32_t p) { return p == 0xFFFFFFFFu; });
        EXPECT_EQ(band_bar, language != 1);
        if (language == 1) {
            EXPECT_TRUE(std::all_of(band.begin(), band.end(), [](uint32_t p) { return (p >> 24) == 0; }));
            // The name's bar, on the first character; after letters typed at the end of 龙介, at
            // the name's end: two Chinese characters of 60 pixels and three letters of 30.
            EXPECT_EQ(buttons->ReadPixels(RECT{733, 949 + 29, 734, 949 + 30})[0], 0xFFFFFFFFu);
            for (char c : std::string("Aki"))
                screen->HookProc(nullptr, WM_CHAR, static_cast<WPARAM>(c), 0);
            screen->CaretVisible = 1;
            screen->DrawCaret();
            EXPECT_EQ(buttons->ReadPixels(RECT{733 + 210, 978, 734 + 210, 979})[0], 0xFFFFFFFFu);
            EXPECT_NE(buttons->ReadPixels(RECT{733 + 150, 978, 734 + 150, 979})[0], 0xFFFFFFFFu);
        }
        screen->Release();
    }
}

TEST_F(CNameInputThreadTest, PasteFollowsTheLanguagesFilter)
{
    struct Case
    {
        int language;
        const char* name;
        int32_t caret;
        const char* clipboard;
        const char* out;
    } cases[] = {{0, "", 0, "abc+1", "abc1"},
                 {3, "", 0, "な\r\nまえ\t", "なまえ"},
                 {3, "あい", 1, "かきくけこさ", "あかきくけ"},
                 {2, "", 0, "", ""}};
    for (const Case& c : cases) {
        std::unique_ptr<CNameInput> screen = Open(c.language);
        screen->Name = c.name;
        screen->Caret = c.caret;
        platform::SetClipboardUtf8(c.clipboard);
        screen->OnPaste();
        EXPECT_EQ(screen->Name.GetStdString(), c.out) << c.clipboard;
        screen->Release();
    }
    platform::SetClipboardUtf8("");
}

TEST_F(CNameInputThreadTest, AReservedNameIsRefusedWithTheNoticeAndAnotherIsStored)
{
    GetDocument()->SetLanguage(3);
    CNameInput screen;
    ASSERT_EQ(screen.Setup(), 1);
    const auto press = [&](int pump, int at, int32_t x, int32_t y) {
        if (pump == at)
            PointAt(x, y);
        if (pump == at + 2)
            m_mouse.left_down = 1;
        if (pump == at + 4)
            m_mouse.left_down = 0;
    };
    Cell notice_ok{};
    Cell notice_message{};
    OnPump([&](int pump) {
        if (pump == 5)
            screen.Name = "小春";
        press(pump, 20, 1436 + 116, 875 + 76);
        if (pump == 80) {
            Capture("name_input_reserved.png");
            notice_ok = ShownCell(960, 600);
            notice_message = ShownCell(900, 500);
        }
        press(pump, 100, 960, 596);
        if (pump == 150)
            screen.Name = "小春た";
        press(pump, 160, 1436 + 116, 875 + 76);
        if (pump > 400)
            screen.Running = 0;
    });
    ScriptValue out = ScriptValue::FromInteger(99);
    screen.Run(&out);
    const int pumps = Pumps();
    OnPump(nullptr);
    screen.Release();
    EXPECT_LT(pumps, 400) << "the second confirmation ended the screen";
    EXPECT_EQ(out.Integer, 0);
    EXPECT_EQ(notice_ok, Cell(MINI_DIALOG_OK, 0));
    EXPECT_EQ(notice_message, Cell(tools::NOTICE_SHEET_LINE, 0));
    const std::vector<uint8_t>& bytes = GetScriptState().m_current_state.get()->Bytes;
    ASSERT_GT(bytes.size(), HERO_NAME_OFFSET + 9);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + HERO_NAME_OFFSET)), "小春た");
}

TEST_F(CNameInputThreadTest, CursorKeysFollowTheirTablesOnBothKindsOfPage)
{
    const auto centre = [](int32_t id, int32_t top_row) {
        if (id >= NAME_CELL) {
            const int32_t i = id - NAME_CELL - 18 * top_row;
            return std::make_pair(450 + 60 * (i % 18) + 29, 51 + 58 * (i / 18) + 29);
        }
        for (const tools::AreaRecord& area : tools::NameInputAreas())
            if (area.id == static_cast<uint32_t>(id))
                return std::make_pair((area.left + area.right) / 2, (area.top + area.bottom) / 2);
        return std::make_pair(0, 0);
    };
    const auto kanji = [](int32_t row, int32_t column) { return NAME_CELL + 18 * row + column; };
    struct Case
    {
        bool kanji_page;
        int32_t from; // -1: the pointer on nothing
        uint32_t key;
        int32_t to; // -2: no move
    } cases[] = {
        {false, -1, SCAN_UP, NAME_JUMP},
        {false, -1, SCAN_DOWN, NAME_CONFIRM},
        {false, -1, SCAN_LEFT, NAME_CONFIRM},
        {false, -1, SCAN_RIGHT, NAME_CONFIRM},
        {false, NAME_JUMP + 3, SCAN_UP, NAME_CONFIRM},
        {false, NAME_TAB + 1, SCAN_UP, KanaCell(11, 2)},
        {false, NAME_DELETE, SCAN_UP, KanaCell(10, 16)},
        {false, NAME_DEFAULT, SCAN_UP, NAME_TAB},
        {false, NAME_CONFIRM, SCAN_UP, NAME_DELETE},
        {false, KanaCell(0, 6), SCAN_UP, -2},
        {false, KanaCell(3, 7), SCAN_UP, KanaCell(1, 7)},
        {false, KanaCell(11, 0), SCAN_DOWN, NAME_TAB},
        {false, KanaCell(11, 9), SCAN_DOWN, NAME_CARET_LEFT},
        {false, KanaCell(0, 4), SCAN_RIGHT, KanaCell(0, 6)},
        {false, KanaCell(0, 16), SCAN_RIGHT, -2},
        {false, NAME_TAB + 2, SCAN_RIGHT, NAME_CARET_LEFT},
        {false, NAME_DELETE, SCAN_RIGHT, -2},
        {false, NAME_CARET_LEFT, SCAN_LEFT, NAME_TAB + 2},
        {false, NAME_CONFIRM, SCAN_LEFT, NAME_DEFAULT},
        {true, NAME_JUMP + 2, SCAN_UP, kanji(11, 3)},
        {true, NAME_JUMP + 9, SCAN_DOWN, NAME_DELETE},
        {true, NAME_JUMP + 0, SCAN_LEFT, -2},
        {true, NAME_SCROLL_UP, SCAN_LEFT, kanji(2, 4)},
        {true, NAME_SCROLL_UP, SCAN_UP, -2},
        {true, NAME_SCROLL_DOWN, SCAN_DOWN, NAME_DELETE},
        {true, kanji(0, 17), SCAN_RIGHT, NAME_SCROLL_UP},
        {true, kanji(7, 17), SCAN_RIGHT, NAME_SCROLL_DOWN},
        {true, kanji(11, 5), SCAN_DOWN, NAME_JUMP + 3},
        {true, kanji(11, 1), SCAN_DOWN, NAME_JUMP + 1},
    };
    std::unique_ptr<CNameInput> screen = Open(3);
    for (const Case& c : cases) {
        const std::string what = std::to_string(c.from) + " key " + std::to_string(c.key);
        if ((screen->Page == NAME_PAGE_KANJI) != c.kanji_page)
            Decide(*screen, NAME_TAB + (c.kanji_page ? NAME_PAGE_KANJI : NAME_PAGE_KANA));
        if (c.from == -1)
            PointAt(5, 5);
        else
            PointAt(centre(c.from, 0).first, centre(c.from, 0).second);
        screen->Update();
        ASSERT_EQ(screen->HoverId, c.from) << what;
        m_mouse.warps.clear();
        if (c.key == SCAN_UP)
            screen->OnUpKey();
        else if (c.key == SCAN_DOWN)
            screen->OnDownKey();
        else if (c.key == SCAN_LEFT)
            screen->OnLeftKey();
        else
            screen->OnRightKey();
        if (c.to == -2) {
            EXPECT_TRUE(m_mouse.warps.empty()) << what;
            EXPECT_EQ(screen->HoverId, c.from) << what;
        } else {
            ASSERT_EQ(m_mouse.warps.size(), 1u) << what;
            EXPECT_EQ(std::make_pair(int(m_mouse.warps[0].x), int(m_mouse.warps[0].y)), centre(c.to, 0))
                << what;
            EXPECT_EQ(screen->HoverId, c.to) << what;
        }
    }
    screen->Release();
}

// A composition and its commit through the input method, its steps arriving as SDL's editing and
// text events: the entry's band shows the composition (the clause being converted inverted), and
// the committed text, in full width, overwrites the default name from the caret.
TEST_F(CNameInputThreadTest, ACompositionIsShownAndItsCommitEditsTheName)
{
    GetDocument()->SetLanguage(3);
    CNameInput screen;
    ASSERT_EQ(screen.Setup(), 1);
    // Over the composition band's first two cells.
    Composition composition{"こはるa", "小春a", 2, {400, 886, 400 + 2 * 42, 886 + 42}, "name_entry"};
    std::string name;
    int32_t caret = -1;
    OnPump([&](int pump) {
        StepComposition(pump, 8, composition);
        if (pump == 45) {
            name = screen.Name.GetStdString();
            caret = screen.Caret;
        }
        if (pump == 46)
            screen.Running = 0;
    });
    screen.Run(nullptr);
    OnPump(nullptr);
    screen.Release();
    ExpectCompositionShown(composition);
    EXPECT_EQ(composition.seen[3].white, 0) << "the band cleared";
    EXPECT_EQ(name, "小春ａのすけ");
    EXPECT_EQ(caret, 3);
}

// Text committed whole, with no composition before it (typing where no input method runs): each
// commit overwrites from the caret in full width, and a second one follows the first.
TEST_F(CNameInputThreadTest, TextCommittedWithoutACompositionEditsTheName)
{
    GetDocument()->SetLanguage(3);
    CNameInput screen;
    ASSERT_EQ(screen.Setup(), 1);
    std::string name;
    OnPump([&](int pump) {
        if (pump == 8)
            CommitText("ゆ");
        if (pump == 16)
            CommitText("ki");
        if (pump == 30) {
            name = screen.Name.GetStdString();
            screen.Running = 0;
        }
    });
    screen.Run(nullptr);
    OnPump(nullptr);
    screen.Release();
    EXPECT_EQ(name, "ゆｋｉのすけ");
}

// At rest the entry only blinks its caret: each blink is drawn where the caret's pieces lie (the
// composition band's bar and the name's caret cell), not over the whole screen. A caret moved
// while shown leaves its picture until the next blink hides both.
TEST_F(CNameInputThreadTest, ABlinkOfTheCaretRedrawsOnlyItsBox)
{
    for (const int language : {3, 1}) {
        SCOPED_TRACE(language);
        GetDocument()->SetLanguage(language);
        CNameInput screen;
        ASSERT_EQ(screen.Setup(), 1);
        platform::NullPresenter* presenter = platform::GetNullPresenter();
        uint64_t frames = 0;
        std::vector<RECT> blinks;
        int moved = 0;
        std::vector<uint32_t> left_behind;
        const int32_t cell = language == 1 ? 30 : 60;
        OnPump([&](int pump) {
            // The page is up and the pointer rests on nothing.
            if (pump == 5)
                PointAt(5, 5);
            if (pump == 60) {
                ASSERT_NE(moved, 0);
                frames = presenter->GetFrameCount();
            }
            if (pump > 60 && presenter->GetFrameCount() != frames) {
                frames = presenter->GetFrameCount();
                blinks.push_back(presenter->GetLastFrame()->changed);
            }
            if (pump > 20 && moved == 0 && screen.CaretVisible == 1) {
                screen.Caret = 2;
                screen.DrawName(0);
                moved = pump;
            }
            if (moved != 0 && left_behind.empty() && screen.CaretVisible == 0) {
                ILayer* buttons = screen.GetButtonLayer()->GetLayer();
                for (const int32_t at : {0, 2})
                    left_behind.push_back(
                        buttons->ReadPixels(RECT{733 + cell * at, 949, 733 + cell * at + 1, 1008})[29]);
            }
            if (pump == 160)
                screen.Running = 0;
        });
        screen.Run(nullptr);
        OnPump(nullptr);
        screen.Release();
        ASSERT_GE(blinks.size(), 3u);
        EXPECT_EQ(left_behind, (std::vector<uint32_t>{0, 0})) << "a caret shown after the hiding blink";
        const SIZE client = presenter->GetLastFrame()->client;
        for (const RECT& changed : blinks) {
            // The bar at the band's left and the caret's cells at the name's first three.
            // Scaled, the box reaches as far as the filter reads.
            EXPECT_LE(changed.right - changed.left, client.cx * 540 / 1920) << changed.left;
            EXPECT_LE(changed.bottom - changed.top, client.cy * 140 / 1080) << changed.top;
        }
    }
}
