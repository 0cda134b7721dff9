#include "sheetgen/DemoSheets.h"

#include <array>

namespace tools {

namespace {

// A cell's control id split as the screens number it.
uint32_t GroupOf(const SheetCell& cell)
{
    return cell.id >> 8;
}
uint32_t ItemOf(const SheetCell& cell)
{
    return cell.id & 0xFF;
}

// A sheet of the cells without their tags, each worded cell with its words.
AkbPicture WordedSheet(int32_t width, int32_t height, const std::vector<SheetCell>& cells,
                       const CellWordsLookup& words, WordsLanguage language, const WordsLayout& layout)
{
    AkbPicture sheet = BuildSheet(width, height, cells);
    EraseTags(sheet, cells);
    DrawCellsWords(sheet, cells, words, language, layout);
    return sheet;
}

} // namespace

CellWords TitleButtonWords(int32_t page, int32_t item)
{
    // Page 1 is the extras: the slot machine, then pages 2 (pictures, scenes, music) and 3 (the
    // extra scenes); page 4 asks where a new game starts.
    static const std::array<std::array<CellWords, 6>, 5> pages{{
        {{{"はじめから", "New game"},
          {"つづきから", "Continue"},
          {"ロード", "Load"},
          {"設定", "Settings"},
          {"おまけ", "Extras"},
          {"終了", "Exit"}}},
        {{{"スロット", "Slot machine"},
          {"鑑賞モード", "Gallery and music"},
          {"おまけシナリオ", "Extra scenes"}}},
        {{{"CGモード", "CG gallery"}, {"シーン回想", "Scene replay"}, {"音楽鑑賞", "Music room"}}},
        {{{"おまけシナリオ1", "Extra scene 1"}, {"おまけシナリオ2", "Extra scene 2"}}},
        {{{"最初から", "From the start"}, {"続きの章から", "From the next part"}}},
    }};
    if (page < 0)
        return {"戻る", "Back"};
    if (page >= static_cast<int32_t>(pages.size()) || item < 0 || item >= 6)
        return {};
    return pages[static_cast<size_t>(page)][static_cast<size_t>(item)];
}

AkbPicture DemoTitleSheet(WordsLanguage language)
{
    // The words stand in the button's left part: the title's checks read its middle.
    return WordedSheet(TITLE_SHEET_WIDTH, TITLE_SHEET_HEIGHT, TitleSheetCells(),
                       [](const SheetCell& cell) {
                           return cell.id == TITLE_SHEET_BACK
                                      ? TitleButtonWords(-1, 0)
                                      : TitleButtonWords(static_cast<int32_t>(GroupOf(cell)),
                                                         static_cast<int32_t>(ItemOf(cell)));
                       },
                       language, {WordsPlace::Left, 30});
}

CellWords MessageButtonWords(uint32_t button)
{
    static const std::array<CellWords, 7> words{{{"オート", "Auto"},
                                                 {"既読スキップ", "Skip read"},
                                                 {"スキップ", "Skip"},
                                                 {"ボイス", "Voice again"},
                                                 {"Qセーブ", "Q.save"},
                                                 {"Qロード", "Q.load"},
                                                 {"隠す", "Hide"}}};
    return button < words.size() ? words[button] : CellWords{};
}

CellWords SideMenuWords(uint32_t button)
{
    static const std::array<CellWords, 9> words{{{"メニュー", "Menu"},
                                                 {"セーブ", "Save"},
                                                 {"ロード", "Load"},
                                                 {"設定", "Settings"},
                                                 {"バックログ", "Backlog"},
                                                 {"画面メニュー", "Screen menu"},
                                                 {"フラグ管理", "Flag manager"},
                                                 {"タイトルへ戻る", "Return to title"},
                                                 {"ゲーム終了", "Exit the game"}}};
    return button < words.size() ? words[button] : CellWords{};
}

AkbPicture DemoMessageSheet()
{
    AkbPicture sheet = MessageSheet();
    EraseTags(sheet, MessageSheetCells());
    DrawCellsWords(
        sheet, MessageSheetCells(),
        [](const SheetCell& cell) { return cell.id < 7 ? MessageButtonWords(cell.id) : CellWords{}; },
        WordsLanguage::Both, {WordsPlace::Centre, 22});
    return sheet;
}

AkbPicture DemoSideMenuSheet()
{
    return WordedSheet(SIDE_MENU_SHEET_WIDTH, SIDE_MENU_SHEET_HEIGHT, SideMenuSheetCells(),
                       [](const SheetCell& cell) {
                           return cell.id >= 0xF00 && cell.id < 0xF09 ? SideMenuWords(cell.id - 0xF00)
                                                                      : CellWords{};
                       },
                       WordsLanguage::Both, {WordsPlace::Centre, 26});
}

CellWords DialogQuestion(int32_t kind)
{
    static const std::array<CellWords, 13> questions{{
        {"セーブしますか？", "Save the game?"},
        {"このデータをロードしますか？", "Load this save?"},
        {"ゲームを終了しますか？", "Quit the game?"},
        {"タイトルに戻りますか？", "Return to the title?"},
        {"上書きしますか？", "Overwrite this save?"},
        {"このセーブデータを削除しますか？", "Delete this save?"},
        {"全てのセーブデータを削除しますか？", "Delete every save?"},
        {"このメッセージまで戻りますか？", "Jump back to this line?"},
        {"シーン選択に戻りますか？", "Back to the scene list?"},
        {"このシーンを再生しますか？", "Replay this scene?"},
        {"このCGを見ますか？", "View this picture?"},
        {"このイベントへ移動しますか？", "Go to this event?"},
        {"よろしいですか？", "Are you sure?"},
    }};
    return kind >= 0 && kind < static_cast<int32_t>(questions.size()) ? questions[static_cast<size_t>(kind)]
                                                                      : CellWords{};
}

AkbPicture DemoDialogSheet()
{
    const std::vector<SheetCell> cells = DialogSheetCells();
    AkbPicture sheet =
        WordedSheet(DIALOG_SHEET_WIDTH, DIALOG_SHEET_HEIGHT, cells,
                    [](const SheetCell& cell) -> CellWords {
                        if (cell.id >= DIALOG_SHEET_LINE && cell.id <= DIALOG_SHEET_LINE + 12)
                            return DialogQuestion(static_cast<int32_t>(cell.id - DIALOG_SHEET_LINE));
                        if (cell.id == NOTICE_SHEET_LINE)
                            return {"この名前は使えません", "This name cannot be used"};
                        if (cell.id > NOTICE_SHEET_LINE && cell.id < NOTICE_SHEET_LINE + 4) {
                            const std::string n = std::to_string(cell.id - NOTICE_SHEET_LINE);
                            return {"お知らせ " + n, "Notice " + n};
                        }
                        if (cell.width == 222 && cell.height == 73)
                            return cell.label.starts_with("YES")  ? CellWords{"はい", "Yes"}
                                   : cell.label.starts_with("NO") ? CellWords{"いいえ", "No"}
                                                                  : CellWords{"", "OK"};
                        return {};
                    },
                    WordsLanguage::Both, {WordsPlace::Centre, 34});
    // The do-not-ask-again box says what it does beside it on the panel.
    for (const SheetCell& cell : cells)
        if (cell.id == DIALOG_SHEET_PANEL_BOX) {
            const SheetCell beside{cell.x + 560, cell.y + 240, 300, 62, cell.id, 0, ""};
            DrawCellWords(sheet, beside, {"次回から表示しない", "Do not ask again"}, WordsLanguage::Both,
                          {WordsPlace::Centre, 24});
        }
    return sheet;
}

AkbPicture DemoNoticeSheet()
{
    return WordedSheet(NOTICE2_SHEET_WIDTH, NOTICE2_SHEET_HEIGHT, NoticeSheetCells(),
                       [](const SheetCell& cell) -> CellWords {
                           if (cell.id >= NOTICE2_SHEET_LINE && cell.id < NOTICE2_SHEET_LINE + 16) {
                               const std::string n = std::to_string(cell.id - NOTICE2_SHEET_LINE);
                               return {"お知らせ " + n + " 行目", "Notice line " + n};
                           }
                           if (cell.id == NOTICE2_SHEET_NOTE)
                               return {"", "Please check"};
                           if (cell.id == NOTICE2_SHEET_KIND_4)
                               return {"お知らせ 4", "Notice 4"};
                           return {};
                       },
                       WordsLanguage::Both, {WordsPlace::Centre, 30});
}

AkbPicture DemoConfigSheet()
{
    const std::vector<SheetCell> cells = ConfigSheetCells();
    const auto words = [](const SheetCell& cell) -> CellWords {
        switch (cell.id) {
        case 0x0E00:
            return {"システム設定", "System"};
        case 0x0E01:
            return {"サウンド設定", "Sound"};
        case 0x0F00:
            return {"初期設定", "Defaults"};
        case 0x1000:
            return {"戻る", "Back"};
        case 0x0D00:
            return {"", "▲"};
        case 0x0D01:
            return {"", "▼"};
        case CONFIG_SHEET_SWITCH_ON:
            return {"オン", "On"};
        case CONFIG_SHEET_SWITCH_OFF:
            return {"オフ", "Off"};
        case CONFIG_SHEET_GAME_MODE_OFF:
            return {"ノベルモード", "Novel mode"};
        case CONFIG_SHEET_GAME_MODE_ON:
            return {"ゲームモード", "Game mode"};
        default:
            break;
        }
        if (cell.id >= 0x0C00 && cell.id < 0x0C06) {
            const std::string n = std::to_string(cell.id - 0x0C00 + 1);
            return {"システム " + n, "System " + n};
        }
        if (cell.id >= CONFIG_SHEET_DIGIT && cell.id <= CONFIG_SHEET_DIGIT + 10)
            return {"",
                    cell.id == CONFIG_SHEET_DIGIT + 10 ? "%" : std::to_string(cell.id - CONFIG_SHEET_DIGIT)};
        return {};
    };
    // The page tabs and the two big buttons are squares: larger words.
    const auto square = [](const SheetCell& cell) { return cell.width == 158 && cell.height == 158; };
    AkbPicture sheet =
        WordedSheet(CONFIG_SHEET_WIDTH, CONFIG_SHEET_HEIGHT, cells,
                    [&](const SheetCell& cell) { return square(cell) ? CellWords{} : words(cell); },
                    WordsLanguage::Both, {WordsPlace::Centre, 26});
    for (const SheetCell& cell : cells)
        if (square(cell))
            DrawCellWords(sheet, cell, words(cell), WordsLanguage::Both, {WordsPlace::Centre, 30});
    return sheet;
}

} // namespace tools
