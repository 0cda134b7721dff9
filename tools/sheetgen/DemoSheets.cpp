#include "sheetgen/DemoSheets.h"

#include "castnames/CastNamesWriter.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <utility>

#include "screens/system/SaveLoadLayout.h"
#include "sheetgen/BacklogSheet.h"
#include "sheetgen/ChoiceSheet.h"
#include "sheetgen/EveryLanguageWords.h"
#include "sheetgen/FlagSheets.h"
#include "sheetgen/MusicSheets.h"
#include "sheetgen/SaveLoadSheets.h"
#include "sheetgen/SlotSheet.h"
#include "textpaint/ShapePainter.h"

namespace tools {

namespace {

// The frames of the schedule's day cells, and the dates and names over its dark plates: never
// the pure white the checks of drawn text count.
constexpr uint32_t FLAG_DAY_FRAME = 0xFF8A96C8u;
constexpr uint32_t FLAG_DATE_COLOUR = 0xFFFFE678u;

// A cell's control id split as the screens number it.
uint32_t GroupOf(const SheetCell& cell)
{
    return cell.id >> 8;
}
uint32_t ItemOf(const SheetCell& cell)
{
    return cell.id & 0xFF;
}

} // namespace

CellWords BackWords()
{
    return {"戻る", "Back", "返回", "返回", "◀"};
}

CellWords CloseWords()
{
    return {"閉じる", "Close", "关闭", "關閉", "×"};
}

CellWords AmWords()
{
    return {"午前", "AM", "上午", "上午"};
}

CellWords PmWords()
{
    return {"午後", "PM", "下午", "下午"};
}

namespace {

// The extras screens' shared tabs: the gallery, the scene replay, the music room and the diary.
CellWords ExtrasTabWords(uint32_t id)
{
    static const std::array<CellWords, 4> tabs{{{"CGモード", "CG gallery", "CG鉴赏", "CG鑑賞"},
                                                {"シーン回想", "Scene replay", "场景回想", "場景回想"},
                                                {"音楽鑑賞", "Music room", "音乐鉴赏", "音樂鑑賞"},
                                                {"日記", "Diary", "日记", "日記"}}};
    return id >= 256 && id < 260 ? tabs[id - 256] : CellWords{};
}

CellWords SlotMachineWords()
{
    return {"スロット", "Slot machine", "老虎机", "吃角子老虎機"};
}

} // namespace

CellWords TitleButtonWords(int32_t page, int32_t item)
{
    // Page 1 is the extras: the CG gallery, then pages 2 (the scene replay and the music room,
    // open once the game is cleared, and the gallery again) and 3 (the slot machine and the way
    // out of the extras); page 4 asks where a new game starts. The demo's title script answers
    // each item so.
    static const std::array<std::array<CellWords, 6>, 5> pages{{
        {{{"はじめから", "New game", "新游戏", "新遊戲"},
          {"つづきから", "Continue", "继续游戏", "繼續遊戲"},
          {"ロード", "Load", "读档", "讀檔", "▲■"},
          {"設定", "Settings", "设置", "設定", "○"},
          {"おまけ", "Extras", "特典", "特典"},
          {"終了", "Exit", "退出", "離開"}}},
        {{ExtrasTabWords(256),
          {"回想と音楽", "Replay and music", "回想与音乐", "回想與音樂"},
          SlotMachineWords()}},
        {{ExtrasTabWords(257), ExtrasTabWords(258), ExtrasTabWords(256)}},
        {{SlotMachineWords(), {"おまけを閉じる", "Close the extras", "关闭特典", "關閉特典"}}},
        {{{"最初から", "From the start", "从头开始", "從頭開始"},
          {"続きの章から", "From the next part", "从下一章开始", "從下一章開始"}}},
    }};
    // The pages' back button, one picture for all four, leads one menu up; beside page 3's way
    // out of the extras it must not read as a way to the title.
    if (page < 0)
        return {"前のメニューへ", "Previous menu", "上一级菜单", "上一級選單"};
    if (page >= static_cast<int32_t>(pages.size()) || item < 0 || item >= 6)
        return {};
    return pages[static_cast<size_t>(page)][static_cast<size_t>(item)];
}

AkbPicture DemoTitleSheet(WordsLanguage language)
{
    // The words stand in the button's left part: the title's checks read its middle.
    const std::vector<SheetCell> cells = TitleSheetCells();
    AkbPicture sheet = WordedSheet(TITLE_SHEET_WIDTH, TITLE_SHEET_HEIGHT, cells,
                                   [](const SheetCell& cell) {
                                       return cell.id == TITLE_SHEET_BACK
                                                  ? TitleButtonWords(-1, 0)
                                                  : TitleButtonWords(static_cast<int32_t>(GroupOf(cell)),
                                                                     static_cast<int32_t>(ItemOf(cell)));
                                   },
                                   language, {WordsPlace::Left, 30});
    // The buttons stand at x 64 and end short of the settings' window-colour sample (its left edge
    // at TITLE_BUTTONS_RIGHT), through which the screen under the settings shows: over the title
    // it shows the window colour over the title's plain background, not a piece of a button.
    for (const SheetCell& cell : cells)
        FillRect(sheet, cell.x + (TITLE_BUTTONS_RIGHT - 64), cell.y, cell.width - (TITLE_BUTTONS_RIGHT - 64),
                 cell.height, 0x00000000u);
    return sheet;
}

CellWords MessageButtonWords(uint32_t button)
{
    static const std::array<CellWords, 7> words{{{"オート", "Auto", "自动", "自動", "▶"},
                                                 {"既読スキップ", "Skip read", "已读跳过", "已讀跳過", "✓▶▶"},
                                                 {"スキップ", "Skip", "跳过", "跳過", "▶▶"},
                                                 {"ボイス", "Voice again", "重播语音", "重播語音", "♪"},
                                                 {"Qセーブ", "Q.save", "快速存档", "快速存檔", "▼■"},
                                                 {"Qロード", "Q.load", "快速读档", "快速讀檔", "▲■"},
                                                 {"隠す", "Hide", "隐藏", "隱藏", "□"}}};
    return button < words.size() ? words[button] : CellWords{};
}

CellWords SideMenuWords(uint32_t button)
{
    static const std::array<CellWords, 9> words{
        {{"メニュー", "Menu", "菜单", "選單", "≡"},
         {"セーブ", "Save", "存档", "存檔", "▼■"},
         {"ロード", "Load", "读档", "讀檔", "▲■"},
         {"設定", "Settings", "设置", "設定", "○"},
         {"バックログ", "Backlog", "回想记录", "回想記錄", "≡"},
         {"地区マップ", "Quarter map", "地区地图", "地區地圖", "■■"},
         {"フラグ管理", "Flag manager", "标志管理", "旗標管理", "★"},
         {"タイトルへ戻る", "Return to title", "返回标题", "返回標題", "◀◀"},
         {"ゲーム終了", "Exit the game", "退出游戏", "離開遊戲", "×"}}};
    return button < words.size() ? words[button] : CellWords{};
}

namespace {

// The hover help's balloon: nine pieces of one slate with rounded outer corners, and the three
// pointers, each a light arrow towards the button the help names. The window tiles the edges in
// 26-pixel steps over 30-pixel bands, so the edges stay one colour across: a rim would repeat
// inside the band.
void DrawHelpBalloon(AkbPicture& sheet)
{
    constexpr uint32_t BODY = 0xFF1E3272u; // a slate no cell's code colour has
    constexpr int32_t PIECE = 30;
    constexpr int32_t RADIUS = 12;
    // Over a window button the balloon's lowest band ends 15 pixels into the button: its body
    // ends above that, so the help stands over the button without covering it.
    constexpr int32_t BOTTOM = 14;
    for (int32_t row = 0; row < 3; ++row)
        for (int32_t column = 0; column < 3; ++column) {
            const int32_t left = 840 + PIECE * column;
            const int32_t top = 624 + PIECE * row;
            const int32_t height = row == 2 ? BOTTOM : PIECE;
            for (int32_t y = 0; y < PIECE; ++y)
                for (int32_t x = 0; x < PIECE; ++x) {
                    // Distance into the rounded corner, from the arc's centre.
                    const int32_t dx = column == 0 ? RADIUS - x : column == 2 ? x - (PIECE - 1 - RADIUS) : 0;
                    const int32_t dy = row == 0 ? RADIUS - y : row == 2 ? y - (height - 1 - RADIUS) : 0;
                    const bool outside =
                        y >= height || (dx > 0 && dy > 0 && dx * dx + dy * dy > RADIUS * RADIUS);
                    sheet.At(left + x, top + y) = outside ? 0u : BODY;
                }
        }
    for (int32_t pointer = 0; pointer < 3; ++pointer) {
        const int32_t left = 840 + PIECE * pointer;
        constexpr int32_t TOP = 714;
        // 0 below the text (the arrow points down, on the lowest band's body), 1 beside it
        // (right), 2 above it (up).
        FillRect(sheet, left, TOP, PIECE, pointer == 0 ? BOTTOM : PIECE, BODY);
        if (pointer == 0)
            FillRect(sheet, left, TOP + BOTTOM, PIECE, PIECE - BOTTOM, 0u);
        for (int32_t k = 0; k < 8; ++k) {
            const int32_t span = 2 * (8 - k) - 1;
            if (pointer == 0)
                FillRect(sheet, left + 15 - (span / 2), TOP + 4 + k, span, 1, RimColour(0));
            else if (pointer == 2)
                FillRect(sheet, left + 15 - (span / 2), TOP + 18 - k, span, 1, RimColour(0));
            else
                FillRect(sheet, left + 12 + k, TOP + 15 - (span / 2), 1, span, RimColour(0));
        }
    }
}

// The click prompt's frames: a framed square with a hollow arrow pointing down, lower in each
// frame, so it bobs; hollow, since the story's checks read the square's middle.
void DrawClickPrompt(AkbPicture& sheet)
{
    for (const SheetCell& cell : MessageSheetCells()) {
        if (cell.id < MESSAGE_SHEET_PROMPT || cell.id >= MESSAGE_SHEET_PROMPT + 6)
            continue;
        DrawRim(sheet, cell, 2);
        const int32_t frame = static_cast<int32_t>(cell.id - MESSAGE_SHEET_PROMPT) % 3;
        const int32_t top = cell.y + 12 + 3 * frame;
        constexpr int32_t HEIGHT = 26;
        constexpr int32_t HALF = 15;
        FillRect(sheet, cell.x + 29 - HALF, top, 2 * HALF + 1, 3, RimColour(1));
        for (int32_t row = 0; row < HEIGHT; ++row) {
            const int32_t half = HALF - row * HALF / HEIGHT;
            FillRect(sheet, cell.x + 29 - half, top + row, 3, 1, RimColour(1));
            FillRect(sheet, cell.x + 29 + half - 2, top + row, 3, 1, RimColour(1));
        }
    }
}

} // namespace

AkbPicture DemoMessageSheet(WordsLanguage language)
{
    AkbPicture sheet = MessageSheet();
    EraseTags(sheet, MessageSheetCells());
    DrawHelpBalloon(sheet);
    DrawClickPrompt(sheet);
    DrawCellsWords(
        sheet, MessageSheetCells(),
        [](const SheetCell& cell) { return cell.id < 7 ? MessageButtonWords(cell.id) : CellWords{}; },
        language, {WordsPlace::Centre, 22});
    // The window's buttons framed in their state, the name plate as the other parts are.
    for (const SheetCell& cell : MessageSheetCells())
        if (cell.id < 7 || cell.id == MESSAGE_SHEET_NAME_PLATE)
            DrawRim(sheet, cell, 2);
    return sheet;
}

AkbPicture DemoSideMenuSheet(WordsLanguage language)
{
    // The menu's hover help stands left of the anchor x 1620 with its pointer at that edge: the
    // wide buttons show their face right of it, the panel left of it, so the help never covers
    // the button it names.
    constexpr int32_t PANEL_LEFT = 1520;
    constexpr int32_t FACE_INSET = 100;
    const std::vector<SheetCell> cells = SideMenuSheetCells();
    std::vector<SheetCell> faces = cells;
    for (SheetCell& face : faces)
        if (face.id > 0xF00 && face.id < 0xF09) {
            face.x += FACE_INSET;
            face.width -= FACE_INSET;
        }
    AkbPicture sheet = WordedSheet(SIDE_MENU_SHEET_WIDTH, SIDE_MENU_SHEET_HEIGHT, faces,
                                   [](const SheetCell& cell) {
                                       return cell.id >= 0xF00 && cell.id < 0xF09
                                                  ? SideMenuWords(cell.id - 0xF00)
                                                  : CellWords{};
                                   },
                                   language, {WordsPlace::Centre, 26});
    // The buttons framed in their state, the panel along its open edge; the menu's checks read
    // three pixels in.
    for (const SheetCell& cell : faces)
        DrawRim(sheet, cell, 2,
                cell.id == SIDE_MENU_SHEET_PANEL ? RimSides{true, false, false, false} : RimSides{});
    // Left of each face, the panel as it stands behind the button on the screen.
    for (const SheetCell& cell : cells) {
        if (cell.id <= 0xF00 || cell.id >= 0xF09)
            continue;
        const int32_t screen_y = 152 + 98 * static_cast<int32_t>(cell.id - 0xF01);
        for (int32_t y = 0; y < cell.height; ++y)
            for (int32_t x = 0; x < FACE_INSET; ++x)
                sheet.At(cell.x + x, cell.y + y) = sheet.At(PANEL_LEFT + x, screen_y + y);
    }
    return sheet;
}

CellWords DialogQuestion(int32_t kind)
{
    static const std::array<CellWords, 13> questions{{
        {"セーブしますか？", "Save the game?", "要存档吗？", "要存檔嗎？"},
        {"このデータをロードしますか？", "Load this save?", "要读取这个存档吗？", "要讀取這個存檔嗎？"},
        {"ゲームを終了しますか？", "Quit the game?", "要退出游戏吗？", "要離開遊戲嗎？"},
        {"タイトルに戻りますか？", "Return to the title?", "要返回标题画面吗？", "要返回標題畫面嗎？"},
        {"上書きしますか？", "Overwrite this save?", "要覆盖这个存档吗？", "要覆蓋這個存檔嗎？"},
        {"このセーブデータを削除しますか？", "Delete this save?", "要删除这个存档吗？", "要刪除這個存檔嗎？"},
        {"全てのセーブデータを削除しますか？", "Delete every save?", "要删除全部存档吗？",
         "要刪除全部存檔嗎？"},
        {"このメッセージまで戻りますか？", "Jump back to this line?", "要回到这句话吗？", "要回到這句話嗎？"},
        {"シーン選択に戻りますか？", "Back to the scene list?", "要返回场景列表吗？", "要返回場景列表嗎？"},
        // The unlock buttons of the scene replay and of the gallery ask these two.
        {"全てのシーンを開放しますか？", "Unlock every scene?", "要开放全部场景吗？", "要開放全部場景嗎？"},
        {"全てのCGを開放しますか？", "Unlock every picture?", "要开放全部CG吗？", "要開放全部CG嗎？"},
        {"このイベントへ移動しますか？", "Go to this event?", "要前往这个事件吗？", "要前往這個事件嗎？"},
        {"一緒に町へ出かけますか？", "Go into town together?", "要一起去镇上吗？", "要一起去鎮上嗎？"},
    }};
    return kind >= 0 && kind < static_cast<int32_t>(questions.size()) ? questions[static_cast<size_t>(kind)]
                                                                      : CellWords{};
}

CellWords NoticeKindWords(int32_t kind)
{
    // Kind 0 refuses a name; kind 1 follows the hero's naming; kind 2 stands over its note.
    static const std::array<CellWords, 5> notices{{
        {"この名前は使えません", "This name cannot be used", "不能使用这个名字", "不能使用這個名字"},
        {"名前が決まりました", "Your name is set", "名字已决定", "名字已決定"},
        {"セーブできませんでした", "The game could not be saved", "无法存档", "無法存檔"},
        {"セーブデータが見つかりません", "No saved game was found", "找不到存档", "找不到存檔"},
        {"設定を初期状態に戻しました", "The settings are back to their defaults", "设置已恢复为初始状态",
         "設定已恢復為初始狀態"},
    }};
    return kind >= 0 && kind < static_cast<int32_t>(notices.size()) ? notices[static_cast<size_t>(kind)]
                                                                    : CellWords{};
}

CellWords NoticeKindNoteWords()
{
    return {"空き容量を確かめてください", "Please check the free disk space", "请检查磁盘剩余空间",
            "請檢查磁碟剩餘空間"};
}

CellWords NoticeLineWords(int32_t line)
{
    // Line 5 follows the hero's naming, after kind 1.
    static const std::array<CellWords, 16> lines{{
        {"セーブしました", "The game has been saved", "已存档", "已存檔"},
        {"ロードしました", "The game has been loaded", "已读档", "已讀檔"},
        {"クイックセーブしました", "Quick save done", "已快速存档", "已快速存檔"},
        {"クイックセーブがまだありません", "There is no quick save yet", "还没有快速存档", "還沒有快速存檔"},
        {"設定を保存しました", "Your settings have been saved", "设置已保存", "設定已儲存"},
        {"物語の中で、この名前で呼ばれます", "The story will call you by this name",
         "故事中会用这个名字称呼你", "故事中會用這個名字稱呼你"},
        {"ギャラリーに新しいCGが増えました", "A new picture is in the gallery", "鉴赏中增加了新的CG",
         "鑑賞中增加了新的CG"},
        {"回想に新しいシーンが増えました", "A new scene is in the replay", "回想中增加了新的场景",
         "回想中增加了新的場景"},
        {"音楽鑑賞に新しい曲が増えました", "A new track is in the music room", "音乐鉴赏中增加了新的曲子",
         "音樂鑑賞中增加了新的曲子"},
        {"全てのCGを開放しました", "Every picture is unlocked", "已开放全部CG", "已開放全部CG"},
        {"全てのシーンを開放しました", "Every scene is unlocked", "已开放全部场景", "已開放全部場景"},
        {"スロットで当たりが出ました", "The slot machine paid out", "老虎机中奖了", "吃角子老虎機中獎了"},
        {"今日はここまでです", "That is all for today", "今天就到这里", "今天就到這裡"},
        {"町へ出かけられるようになりました", "You can go out into town now", "现在可以去镇上了",
         "現在可以去鎮上了"},
        {"予定に新しいイベントが加わりました", "A new event is on the schedule", "日程中加入了新的事件",
         "日程中加入了新的事件"},
        {"遊んでくれてありがとう", "Thank you for playing", "感谢游玩", "感謝遊玩"},
    }};
    return line >= 0 && line < static_cast<int32_t>(lines.size()) ? lines[static_cast<size_t>(line)]
                                                                  : CellWords{};
}

namespace {

// A new save's and an overwrite's questions, which the save note asks too.
bool NoteQuestion(const SheetCell& cell)
{
    return cell.id == DIALOG_SHEET_LINE || cell.id == DIALOG_SHEET_LINE + 4;
}

CellWords YesWords()
{
    return {"はい", "Yes", "是", "是", "○"};
}

CellWords NoWords()
{
    return {"いいえ", "No", "否", "否", "×"};
}

CellWords DoNotAskAgainWords()
{
    return {"次回から表示しない", "Do not ask again", "下次不再询问", "下次不再詢問"};
}

CellWords DoNotShowAgainWords()
{
    return {"次回から表示しない", "Do not show again", "下次不再显示", "下次不再顯示"};
}

// The largest em of a question's or notice's words on the plain sheets.
constexpr int32_t EVERY_LANGUAGE_EM = 30;

// A text cell's words in every language: across the cell but for a thin margin.
EveryLanguagePlace AcrossCell(const SheetCell& cell, const CellWords& words)
{
    return {{cell.x + 8, cell.y + 2, cell.width - 16, cell.height - 4}, words, EVERY_LANGUAGE_EM};
}

} // namespace

std::vector<EveryLanguagePlace> DialogEveryLanguagePlaces()
{
    std::vector<EveryLanguagePlace> places;
    for (const SheetCell& cell : DialogSheetCells()) {
        if (cell.id >= DIALOG_SHEET_LINE && cell.id <= DIALOG_SHEET_LINE + 12) {
            const CellWords words = DialogQuestion(static_cast<int32_t>(cell.id - DIALOG_SHEET_LINE));
            // The save note shows these two lines from row 54 down: their words stand there.
            places.push_back(NoteQuestion(cell)
                                 ? EveryLanguagePlace{{cell.x + 8, cell.y + 56, cell.width - 16, 48},
                                                      words,
                                                      EVERY_LANGUAGE_EM}
                                 : AcrossCell(cell, words));
        }
        if (cell.id >= NOTICE_SHEET_LINE && cell.id < NOTICE_SHEET_LINE + 4)
            places.push_back(
                AcrossCell(cell, NoticeKindWords(static_cast<int32_t>(cell.id - NOTICE_SHEET_LINE))));
        // The do-not-ask-again box's words beside it, below the buttons and clear of the panel's rim;
        // on the save note's window below its cancel button.
        if (cell.id == DIALOG_SHEET_PANEL_BOX)
            places.push_back({{cell.x + 561, cell.y + 224, 300, 96}, DoNotAskAgainWords(), 24});
        if (cell.id == DIALOG_SHEET_NOTE_FRAME)
            places.push_back({{cell.x + 561, cell.y + 246, 300, 78}, DoNotShowAgainWords(), 24});
    }
    return places;
}

std::vector<EveryLanguagePlace> NoticeEveryLanguagePlaces()
{
    std::vector<EveryLanguagePlace> places;
    for (const SheetCell& cell : NoticeSheetCells()) {
        if (cell.id >= NOTICE2_SHEET_LINE && cell.id < NOTICE2_SHEET_LINE + 16)
            places.push_back(
                AcrossCell(cell, NoticeLineWords(static_cast<int32_t>(cell.id - NOTICE2_SHEET_LINE))));
        if (cell.id == NOTICE2_SHEET_NOTE)
            places.push_back({{cell.x + 4, cell.y, cell.width - 8, cell.height},
                              NoticeKindNoteWords(),
                              EVERY_LANGUAGE_EM});
        if (cell.id == NOTICE2_SHEET_KIND_4)
            places.push_back(AcrossCell(cell, NoticeKindWords(4)));
    }
    return places;
}

namespace {

void DrawEveryLanguagePlaces(AkbPicture& sheet, const std::vector<EveryLanguagePlace>& places)
{
    for (const EveryLanguagePlace& place : places) {
        TextStyle style;
        style.pixel_height = place.largest_em;
        style.colour = WordsColour(sheet.At(place.box.x, place.box.y), 0);
        DrawEveryLanguage(sheet, place.words, place.box, style);
    }
}

} // namespace

AkbPicture DemoDialogSheet(WordsLanguage language)
{
    // The plain sheet, which every language is shown, carries its questions' and notices' words in
    // all four; its small buttons their mark and each language's short word on one line.
    const bool every = language == WordsLanguage::Marks;
    const std::vector<SheetCell> cells = DialogSheetCells();
    AkbPicture sheet = WordedSheet(
        DIALOG_SHEET_WIDTH, DIALOG_SHEET_HEIGHT, cells,
        [every](const SheetCell& cell) -> CellWords {
            if (every && cell.width == 222 && cell.height == 73 && !cell.label.starts_with("OK"))
                return {"", EveryLanguageOneLine(cell.label.starts_with("YES") ? YesWords() : NoWords())};
            if (every)
                return cell.width == 222 && cell.height == 73 ? CellWords{"", "OK"} : CellWords{};
            if (cell.id >= DIALOG_SHEET_LINE && cell.id <= DIALOG_SHEET_LINE + 12 && !NoteQuestion(cell))
                return DialogQuestion(static_cast<int32_t>(cell.id - DIALOG_SHEET_LINE));
            if (cell.id >= NOTICE_SHEET_LINE && cell.id < NOTICE_SHEET_LINE + 4)
                return NoticeKindWords(static_cast<int32_t>(cell.id - NOTICE_SHEET_LINE));
            if (cell.width == 222 && cell.height == 73)
                return cell.label.starts_with("YES")  ? YesWords()
                       : cell.label.starts_with("NO") ? NoWords()
                                                      : CellWords{"", "OK"};
            return {};
        },
        language, {WordsPlace::Centre, every ? 24 : 34});
    if (every)
        DrawEveryLanguagePlaces(sheet, DialogEveryLanguagePlaces());
    // The save note shows only the lower half of its questions' lines: their words stand there.
    for (const SheetCell& cell : cells)
        if (NoteQuestion(cell) && !every)
            DrawCellWords(sheet, cell, DialogQuestion(static_cast<int32_t>(cell.id - DIALOG_SHEET_LINE)),
                          language, {WordsPlace::Bottom, 34});
    // Framed panels and buttons: the panels a wide rim, the small box and clear button a thin one.
    for (const SheetCell& cell : cells) {
        const bool panel = cell.id == DIALOG_SHEET_PANEL_BOX || cell.id == DIALOG_SHEET_PANEL_SIMPLE ||
                           cell.id == DIALOG_SHEET_NOTE_FRAME || cell.id == NOTICE_SHEET_PANEL_SMALL ||
                           cell.id == NOTICE_SHEET_PANEL_LARGE;
        if (panel)
            DrawRim(sheet, cell, 4);
        else if (cell.id < 2 && cell.width == 222)
            DrawRim(sheet, cell, 3);
        else if (cell.id == 0x100 || cell.id == 0x200) {
            // The ticked box (state 3) is a choice made, not a disabled control: framed as a live one.
            SheetCell framed = cell;
            if (cell.id == 0x100 && cell.state == 3)
                framed.state = 0;
            DrawRim(sheet, framed, 2);
        }
    }
    // The do-not-ask-again box says what it does beside it on the panel.
    for (const SheetCell& cell : cells)
        if (cell.id == DIALOG_SHEET_PANEL_BOX && !every) {
            const SheetCell beside{cell.x + 560, cell.y + 240, 300, 62, cell.id, 0, ""};
            DrawCellWords(sheet, beside, DoNotAskAgainWords(), language, {WordsPlace::Centre, 24});
        }
    // The box is ticked in state 3 alone, the one drawn while its question is off: every dialog
    // and the save note read it as "do not ask again". Its words beside it on the note's window
    // too, and the note's clear button named.
    for (const SheetCell& cell : cells) {
        if (cell.id == 0x100 && cell.width == 44 && cell.state == 3) // in full white, not dimmed
            DrawCellWords(sheet, {cell.x, cell.y, cell.width, cell.height, cell.id, 0, ""}, {"", "✓"},
                          language, {WordsPlace::Centre, 34});
        if (cell.id == 0x200 && cell.width == 54)
            DrawCellWords(sheet, {cell.x, cell.y, cell.width, cell.height, cell.id, cell.state, ""},
                          {"消去", "Clear", "清除", "清除", "×"}, language, {WordsPlace::Centre, 20});
        if (cell.id == DIALOG_SHEET_NOTE_FRAME) {
            // The note's text line (from (207, 119), 28 high; 30 half cells and the caret wide)
            // framed, so the player sees where to type before typing; clear of the clear button.
            DrawRim(sheet, {cell.x + 203, cell.y + 115, 430, 36, cell.id, 0, ""}, 2);
            // Two lines clear of the cancel button above them.
            const SheetCell beside{cell.x + 557, cell.y + 249, 300, 48, cell.id, 0, ""};
            if (!every)
                DrawCellWords(sheet, beside, DoNotShowAgainWords(), language, {WordsPlace::Centre, 24});
        }
    }
    return sheet;
}

AkbPicture DemoNoticeSheet(WordsLanguage language)
{
    if (language == WordsLanguage::Marks) {
        // Shown in every language: each line in all four.
        AkbPicture sheet = WordedSheet(NOTICE2_SHEET_WIDTH, NOTICE2_SHEET_HEIGHT, NoticeSheetCells(),
                                       [](const SheetCell&) { return CellWords{}; }, language, {});
        DrawEveryLanguagePlaces(sheet, NoticeEveryLanguagePlaces());
        return sheet;
    }
    return WordedSheet(NOTICE2_SHEET_WIDTH, NOTICE2_SHEET_HEIGHT, NoticeSheetCells(),
                       [](const SheetCell& cell) -> CellWords {
                           if (cell.id >= NOTICE2_SHEET_LINE && cell.id < NOTICE2_SHEET_LINE + 16)
                               return NoticeLineWords(static_cast<int32_t>(cell.id - NOTICE2_SHEET_LINE));
                           if (cell.id == NOTICE2_SHEET_NOTE)
                               return NoticeKindNoteWords();
                           if (cell.id == NOTICE2_SHEET_KIND_4)
                               return NoticeKindWords(4);
                           return {};
                       },
                       language, {WordsPlace::Centre, 30});
}

CellWords RightClickActionWords(int32_t item)
{
    static const std::array<CellWords, 6> actions{{
        {"ウィンドウを消す", "Hide the window", "隐藏窗口", "隱藏視窗", "□"},
        {"オートモード", "Auto mode", "自动模式", "自動模式", "▶"},
        {"設定画面を開く", "Open the settings", "打开设置", "開啟設定", "○"},
        {"スキップ", "Skip", "跳过", "跳過", "▶▶"},
        {"ロード画面を開く", "Open Load", "打开读档", "開啟讀檔", "▲■"},
        {"セーブ画面を開く", "Open Save", "打开存档", "開啟存檔", "▼■"},
    }};
    return item >= 0 && item < static_cast<int32_t>(actions.size()) ? actions[static_cast<size_t>(item)]
                                                                    : CellWords{};
}

AkbPicture DemoConfigSheet(WordsLanguage language)
{
    const std::vector<SheetCell> cells = ConfigSheetCells();
    // The settings page shows the plain sheet in every language: the game mode's and the right
    // button's cells, which no mark would name, carry every language's words.
    const auto every = [language](const CellWords& words) {
        return language == WordsLanguage::Marks ? EveryLanguage(words) : words;
    };
    const auto words = [&every](const SheetCell& cell) -> CellWords {
        switch (cell.id) {
        case 0x0E00:
            return {"システム設定", "System", "系统设置", "系統設定", "○"};
        case 0x0E01:
            return {"サウンド設定", "Sound", "声音设置", "聲音設定", "♪"};
        case 0x0F00:
            return {"初期設定", "Defaults", "恢复默认", "恢復預設", "←"};
        case 0x1000:
            return BackWords();
        case 0x0D00:
            return {"", "▲"};
        case 0x0D01:
            return {"", "▼"};
        case CONFIG_SHEET_SWITCH_ON:
            return {"オン", "On", "开", "開", "○"};
        case CONFIG_SHEET_SWITCH_OFF:
            return {"オフ", "Off", "关", "關", "×"};
        case CONFIG_SHEET_GAME_MODE_OFF:
            return every({"ノベルモード", "Novel mode", "小说模式", "小說模式"});
        case CONFIG_SHEET_GAME_MODE_ON:
            return every({"ゲームモード", "Game mode", "游戏模式", "遊戲模式"});
        default:
            break;
        }
        if (cell.id >= 0x0C00 && cell.id < 0x0C06)
            return every(RightClickActionWords(static_cast<int32_t>(cell.id - 0x0C00)));
        if (cell.id >= CONFIG_SHEET_DIGIT && cell.id <= CONFIG_SHEET_DIGIT + 10)
            return {"",
                    cell.id == CONFIG_SHEET_DIGIT + 10 ? "%" : std::to_string(cell.id - CONFIG_SHEET_DIGIT)};
        return {};
    };
    // The page tabs and the two big buttons are squares: larger words.
    const auto square = [](const SheetCell& cell) { return cell.width == 158 && cell.height == 158; };
    AkbPicture sheet =
        WordedSheet(CONFIG_SHEET_WIDTH, CONFIG_SHEET_HEIGHT, cells,
                    [&](const SheetCell& cell) { return square(cell) ? CellWords{} : words(cell); }, language,
                    {WordsPlace::Centre, 26});
    for (const SheetCell& cell : cells)
        if (square(cell))
            DrawCellWords(sheet, cell, words(cell), language, {WordsPlace::Centre, 30});
    // The knobs and radios share their group, and so nearly their colour, with the page behind
    // them: a light rim makes them stand out, brighter under the pointer and gold when selected.
    // Their middle keeps the cell colour the screen checks read.
    static const uint32_t rims[] = {0xFFC8C0D8u, 0xFFFFFFFFu, 0xFFFFD860u};
    for (const SheetCell& cell : cells) {
        // The switches and the game-mode button framed, so a switch that is off still shows.
        if (cell.id == CONFIG_SHEET_SWITCH_ON || cell.id == CONFIG_SHEET_SWITCH_OFF ||
            cell.id == CONFIG_SHEET_GAME_MODE_OFF || cell.id == CONFIG_SHEET_GAME_MODE_ON)
            DrawRim(sheet, cell, 2);
        if (cell.id != CONFIG_SHEET_KNOB)
            continue;
        constexpr int32_t RIM = 4;
        for (int32_t y = cell.y; y < cell.y + cell.height; ++y)
            for (int32_t x = cell.x; x < cell.x + cell.width; ++x)
                if (x < cell.x + RIM || x >= cell.x + cell.width - RIM || y < cell.y + RIM ||
                    y >= cell.y + cell.height - RIM)
                    sheet.At(x, y) = rims[cell.state];
    }
    return sheet;
}

namespace {

// A slider's track on a cover, under the knob: a groove along the knob centre's range with a tick
// at each end, so a player sees how far the slider goes. The knob's left edge runs from left to
// left + range; the knob is 52 x 54.
void DrawSliderTrack(AkbPicture& cover, int32_t left, int32_t top, int32_t range)
{
    constexpr int32_t KNOB_HALF_WIDTH = 26;
    constexpr int32_t KNOB_HALF_HEIGHT = 27;
    constexpr uint32_t TICK = 0xFFD8D0E8u;
    const int32_t from = left + KNOB_HALF_WIDTH;
    const int32_t to = from + range;
    const int32_t middle = top + KNOB_HALF_HEIGHT;
    const auto fill = [&](int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
        for (int32_t y = std::max(y0, 0); y < std::min(y1, cover.height); ++y)
            for (int32_t x = std::max(x0, 0); x < std::min(x1, cover.width); ++x)
                cover.At(x, y) = colour;
    };
    fill(from, middle - 4, to, middle + 4, SLIDER_GROOVE);
    for (const int32_t end : {from, to})
        fill(end - 2, middle - 14, end + 2, middle + 14, TICK);
}

} // namespace

AkbPicture DemoConfigCover(WordsLanguage language)
{
    AkbPicture cover = MakePicture(1600, 1443, 0);
    TextStyle style;
    style.pixel_height = 26;
    style.colour = 0xFFFFFFFFu;
    style.align = TextAlign::Left;
    // The page shows the plain cover in every language: there each name stands in every language
    // at once, on as many lines as let it stand largest.
    const auto say = [&](const TextBox& box, const CellWords& words) {
        if (language == WordsLanguage::Marks)
            DrawEveryLanguage(cover, words, box, style);
        else
            DrawText(cover, box, WordsIn(words, language), style);
    };
    struct Label
    {
        TextBox box;
        CellWords words;
    };
    // In the page's own pixels: above each slider (its switch at the slider's right end turns it
    // on), left of each switch, and above the groups of radios, dialog switches and cells.
    static const Label labels[] = {
        {{87, 80, 750, 50}, {"文字の表示速度", "Text speed", "文字显示速度", "文字顯示速度"}},
        {{87, 180, 560, 56}, {"句読点で待つ", "Pause at punctuation", "标点处停顿", "標點處停頓"}},
        {{87, 241, 750, 50},
         {"既読スキップの速度", "Skip speed (read text)", "已读跳过的速度", "已讀跳過的速度"}},
        {{87, 346, 750, 50}, {"オートの速度", "Auto mode speed", "自动模式的速度", "自動模式的速度"}},
        {{860, 88, 470, 58},
         {"選択肢の後もオート", "Auto after a choice", "选项后继续自动", "選項後繼續自動"}},
        {{860, 162, 470, 58},
         {"選択肢の後もスキップ", "Skip after a choice", "选项后继续跳过", "選項後繼續跳過"}},
        {{860, 236, 470, 58}, {"オートセーブ", "Auto save", "自动存档", "自動存檔"}},
        {{860, 310, 470, 58}, {"ウィンドウが動く", "Window follows", "窗口跟随移动", "視窗跟隨移動"}},
        {{860, 384, 470, 58}, {"ヘルプを表示", "Show help lines", "显示帮助", "顯示說明"}},
        {{87, 489, 400, 58}, {"ウィンドウの色", "Window colour", "窗口颜色", "視窗顏色"}},
        {{87, 576, 110, 54}, {"不透明度", "Alpha", "不透明度", "不透明度"}},
        {{877, 576, 110, 54}, {"赤", "Red", "红", "紅"}},
        {{87, 636, 110, 54}, {"緑", "Green", "绿", "綠"}},
        {{877, 636, 110, 54}, {"青", "Blue", "蓝", "藍"}},
        {{87, 700, 900, 60}, {"確認の表示", "Ask before", "操作前确认", "操作前確認"}},
        {{87, 1150, 900, 60}, {"右クリックの動作", "What a right click does", "右键的功能", "右鍵的功能"}},
        // The speed radios' groups at their left, so each radio's meaning fits above it: the
        // screen effects run whole, at twice the pace or at once; the map's walk goes slow,
        // normal or fast.
        {{87, 4, 280, 70}, {"効果の速度", "Effect speed", "效果速度", "效果速度"}},
        {{880, 4, 330, 70}, {"マップの速度", "Map speed", "地图速度", "地圖速度"}},
    };
    // The confirmation switches by number: the actions they ask about.
    static const CellWords dialogs[] = {{"セーブ", "Saving", "存档", "存檔"},
                                        {"ロード", "Loading", "读档", "讀檔"},
                                        {"終了", "Quitting", "退出", "離開"},
                                        {"タイトルへ", "Title", "返回标题", "返回標題"},
                                        {"履歴で戻る", "Jump back", "回想中返回", "回想中返回"},
                                        {"上書き", "Overwriting", "覆盖", "覆蓋"},
                                        {"全削除", "Delete all", "全部删除", "全部刪除"},
                                        {"削除", "Deleting", "删除", "刪除"},
                                        {"シーン選択へ", "Scenes", "场景列表", "場景列表"},
                                        {"イベントへ", "Event", "前往事件", "前往事件"}};
    for (const Label& label : labels)
        say(label.box, label.words);
    for (int32_t item = 0; item < 10; ++item)
        say({(item / 5) * 840 + 100, (item % 5) * 72 + 773, 460, 58}, dialogs[item]);
    // Each speed radio's meaning above it; the marks, from one arrow to three, read in every
    // language. The last map radio's words keep inside the view.
    static const CellWords effect_speeds[] = {{"標準", "Normal", "标准", "標準", "▶"},
                                              {"速い", "Fast", "快", "快", "▶▶"},
                                              {"瞬時", "Instant", "瞬间", "瞬間", "▶▶▶"}};
    static const CellWords map_speeds[] = {{"遅い", "Slow", "慢", "慢", "▶"},
                                           {"標準", "Normal", "标准", "標準", "▶▶"},
                                           {"速い", "Fast", "快", "快", "▶▶▶"}};
    TextStyle radio_style = style;
    radio_style.pixel_height = 19;
    radio_style.align = TextAlign::Centre;
    constexpr int32_t VIEW_RIGHT = 1576;
    for (int32_t item = 0; item < 3; ++item) {
        DrawText(cover, {377 + 154 * item - 44, 0, 140, 23}, WordsIn(effect_speeds[item], language),
                 radio_style);
        const std::string map_speed = WordsIn(map_speeds[item], language);
        const int32_t width = MeasureText(map_speed, radio_style.pixel_height) + 4;
        const int32_t left = std::min(1233 + 154 * item + 26 - width / 2, VIEW_RIGHT - width);
        DrawText(cover, {left, 0, width, 23}, map_speed, radio_style);
    }
    // The speed sliders (text, one line, auto) and the window colour's four.
    constexpr int32_t SPEED_RANGE = 521;
    constexpr int32_t COLOUR_RANGE = 429;
    for (const int32_t top : {130, 291, 396})
        DrawSliderTrack(cover, 87, top, SPEED_RANGE);
    for (const auto& [x, y] :
         {std::pair{200, 576}, std::pair{990, 576}, std::pair{200, 636}, std::pair{990, 636}})
        DrawSliderTrack(cover, x, y, COLOUR_RANGE);
    return cover;
}

AkbPicture DemoSoundCover(WordsLanguage language)
{
    AkbPicture cover = MakePicture(1632, 1449, 0);
    TextStyle style;
    style.pixel_height = 26;
    style.colour = 0xFFFFFFFFu;
    style.align = TextAlign::Left;
    const auto say = [&](int32_t x, int32_t y, const CellWords& words) {
        DrawText(cover, {x, y, 380, 40}, WordsIn(words, language), style);
    };
    // In the panel's own pixels, above each level's slider and left of its percentage.
    say(24, 76, {"全体の音量", "Master volume", "总音量", "總音量"});
    say(836, 76, {"音楽", "Music", "音乐", "音樂"});
    say(24, 208, {"効果音", "Sound effects", "音效", "音效"});
    say(836, 208, {"声", "Voices", "语音", "語音"});
    say(836, 336, {"クリックで声を止める", "A click stops the voice", "点击时停止语音", "點擊時停止語音"});
    // Each character's voice by her name, as the cast names file numbers the heroines.
    for (int32_t k = 0; k < 16; ++k) {
        const DemoName name = DemoPersonName(k);
        say(24 + 812 * (k % 2), 410 + 132 * (k / 2),
            {std::string(name.japanese) + "の声", std::string(name.english) + "'s voice",
             std::string(name.simplified) + "的语音", std::string(name.traditional) + "的語音"});
    }
    constexpr int32_t VOLUME_RANGE = 560;
    for (const auto& [x, y] :
         {std::pair{118, 122}, std::pair{930, 122}, std::pair{118, 254}, std::pair{930, 254}})
        DrawSliderTrack(cover, x, y, VOLUME_RANGE);
    for (int32_t k = 0; k < 16; ++k)
        DrawSliderTrack(cover, 190 + 812 * (k % 2), 462 + 132 * (k / 2), VOLUME_RANGE);
    return cover;
}

namespace {

CellWords HeroineWords(uint32_t heroine)
{
    // Named as the cast names file names them.
    const DemoName name = DemoPersonName(static_cast<int>(heroine));
    return {name.japanese, name.english, name.simplified, name.traditional,
            "★" + std::to_string(heroine + 1)};
}

// A caption band across the top-left of a picture, dark under light words. The band is opaque:
// whatever stands under the screen's picture (the calendar plate of the screen it opened over)
// must not show through its name.
void Caption(AkbPicture& picture, int32_t x, int32_t y, const std::string& words, int32_t pixel_height,
             int32_t band_height = 0)
{
    if (words.empty()) // a picture of marks alone: no name, no band
        return;
    const int32_t width = MeasureText(words, pixel_height) + pixel_height;
    const int32_t height = band_height > 0 ? band_height : pixel_height * 2;
    FillRect(picture, x, y, width, height, CAPTION_BAND_DARK);
    TextStyle style;
    style.pixel_height = pixel_height;
    // Pale yellow: never the pure white the checks of drawn text count.
    style.colour = 0xFFFFE678u;
    DrawText(picture, {x, y, width, height}, words, style);
}

} // namespace

AkbPicture DemoGalleryListSheet(WordsLanguage language)
{
    return WordedSheet(GALLERY_LIST_SHEET_WIDTH, GALLERY_LIST_SHEET_HEIGHT, GalleryListCells(),
                       [](const SheetCell& cell) { return HeroineWords(cell.id); }, language,
                       {WordsPlace::Top, 30});
}

AkbPicture DemoGalleryModeSheet(WordsLanguage language)
{
    const auto words = [language](const SheetCell& cell) -> CellWords {
        if (cell.id >= 256 && cell.id < 260)
            return ExtrasTabWords(cell.id);
        switch (cell.id) {
        case 512:
            // The Japanese sheet is the plain one, whose back button the diary shows as its close
            // button in every language.
            return language == WordsLanguage::Japanese ? EveryLanguage(BackWords()) : BackWords();
        case 1024:
            return {"前のページ", "Previous page", "上一页", "上一頁"};
        case 1025:
            return {"次のページ", "Next page", "下一页", "下一頁"};
        case 1280:
            return cell.label == "UC" ? CellWords{"開放済み", "All unlocked", "已全部开放", "已全部開放"}
                                      : CellWords{"全て開放", "Unlock all", "全部开放", "全部開放"};
        case GALLERY_LOCKED:
            return {"未開放", "Locked", "未开放", "未開放"};
        default:
            break;
        }
        return {};
    };
    const std::vector<SheetCell> cells = GalleryModeCells();
    const auto entry_tab = [](const SheetCell& cell) { return cell.width == 80 && cell.id < 4; };
    AkbPicture sheet =
        WordedSheet(GALLERY_MODE_SHEET_WIDTH, GALLERY_MODE_SHEET_HEIGHT, cells,
                    [&](const SheetCell& cell) { return entry_tab(cell) ? CellWords{} : words(cell); },
                    language, {WordsPlace::Top, 30});
    // The entry tabs name the diary they open, above its number, and a locked one says so: a
    // click on it shows nothing until the diaries are unlocked. Their middle stays clear.
    for (const SheetCell& cell : cells)
        if (entry_tab(cell)) {
            DrawCellWords(sheet, cell, ExtrasTabWords(259), language, {WordsPlace::Top, 20});
            DrawCellWords(sheet, cell,
                          cell.state == 3 ? CellWords{"未開放", "Locked", "未开放", "未開放"}
                                          : CellWords{"", std::to_string(cell.id + 1)},
                          language, {WordsPlace::Bottom, cell.state == 3 ? 16 : 22});
        }
    // The highlights frame the hovered or pressed cell and leave its picture and words to be read
    // through them.
    for (const SheetCell& cell : cells)
        if (cell.id == GALLERY_HOVER || cell.id == GALLERY_PRESSED) {
            constexpr int32_t EDGE = 10;
            FillRect(sheet, cell.x, cell.y, cell.width, cell.height, 0x00000000u);
            const uint32_t colour = cell.id == GALLERY_HOVER ? 0xFFFFE060u : 0xFFFF8C30u;
            FillRect(sheet, cell.x, cell.y, cell.width, EDGE, colour);
            FillRect(sheet, cell.x, cell.y + cell.height - EDGE, cell.width, EDGE, colour);
            FillRect(sheet, cell.x, cell.y, EDGE, cell.height, colour);
            FillRect(sheet, cell.x + cell.width - EDGE, cell.y, EDGE, cell.height, colour);
        }
    return sheet;
}

AkbPicture DemoGalleryCoverSheet(WordsLanguage language)
{
    // Each cover a name card in its right part, the overlay a band along the card's top.
    std::vector<SheetCell> cards;
    for (const SheetCell& cover : GalleryCoverCells()) {
        if (cover.id == GALLERY_COVER + 17)
            cards.push_back(
                {cover.x + GALLERY_CARD_X, cover.y + GALLERY_CARD_Y, GALLERY_CARD_WIDTH, 8, cover.id, 0, ""});
        else
            cards.push_back({cover.x + GALLERY_CARD_X, cover.y + GALLERY_CARD_Y, GALLERY_CARD_WIDTH,
                             GALLERY_CARD_HEIGHT, cover.id, 0, ""});
    }
    AkbPicture sheet = WordedSheet(GALLERY_COVER_SHEET_WIDTH, GALLERY_COVER_SHEET_HEIGHT, cards,
                                   [](const SheetCell& cell) {
                                       return cell.id >= GALLERY_COVER && cell.id < GALLERY_COVER + 16
                                                  ? HeroineWords(cell.id - GALLERY_COVER)
                                                  : CellWords{};
                                   },
                                   language, {WordsPlace::Centre, 40});
    for (const SheetCell& card : cards)
        if (card.id != GALLERY_COVER + 17)
            DrawRim(sheet, card, 3);
    return sheet;
}

CellWords ThumbnailWords(uint32_t first_id, int32_t cell)
{
    // Named as the CG pictures' captions name them.
    static const CellWords station{"駅前の朝", "Morning at the station", "车站前的早晨", "車站前的早晨"};
    static const CellWords park{"公園の昼", "Noon in the park", "公园的中午", "公園的中午"};
    static const CellWords hill{"丘の上", "The hilltop", "山丘上", "山丘上"};
    static const CellWords harbour{"港の夕方", "Evening at the harbour", "港口的傍晚", "港口的傍晚"};
    static const CellWords memory{"冬の思い出", "A winter memory", "冬天的回忆", "冬天的回憶"};
    // A heroine's scenes, in the order of her list: a scene sheet's cell 9 is the second page's
    // first scene, its cell 8 stays unused.
    static const std::array<CellWords, 12> first_scenes{{
        {"待ち合わせ", "The meeting", "约会", "約會"},
        {"時計塔の下", "Under the clock tower", "钟楼下", "鐘樓下"},
        {"冬休みは続く", "The holidays go on", "寒假还在继续", "寒假還在繼續"},
        {"図書館で", "At the library", "在图书馆", "在圖書館"},
        {"川沿いの道", "The riverside path", "河边小路", "河邊小路"},
        {"商店街の午後", "An afternoon in the shops", "商业街的下午", "商業街的下午"},
        {"屋上の風", "Wind on the rooftop", "屋顶的风", "屋頂的風"},
        {"神社の境内", "The shrine grounds", "神社院内", "神社院內"},
        {"初雪", "The first snow", "初雪", "初雪"},
        {"初雪", "The first snow", "初雪", "初雪"},
        {"雪の帰り道", "Home through the snow", "雪中归途", "雪中歸途"},
        {"冬の終わり", "The end of winter", "冬天的尽头", "冬天的盡頭"},
    }};
    static const std::array<CellWords, 12> second_scenes{{
        {"港の夕方", "Evening at the harbour", "港口的傍晚", "港口的傍晚"},
        {"灯台へ", "To the lighthouse", "前往灯塔", "前往燈塔"},
        {"波止場の約束", "A promise on the pier", "码头的约定", "碼頭的約定"},
        {"市場の朝", "Morning at the market", "市场的早晨", "市場的早晨"},
        {"北の公園", "The north park", "北公园", "北公園"},
        {"駅のベンチ", "A bench at the station", "车站的长椅", "車站的長椅"},
        {"雪の舞う夜", "A night of falling snow", "飘雪之夜", "飄雪之夜"},
        {"古い灯台", "The old lighthouse", "古老的灯塔", "古老的燈塔"},
        {"船の汽笛", "The ship's horn", "船的汽笛", "船的汽笛"},
        {"船の汽笛", "The ship's horn", "船的汽笛", "船的汽笛"},
        {"港の灯り", "Harbour lights", "港口的灯火", "港口的燈火"},
        {"春を待つ", "Waiting for spring", "等待春天", "等待春天"},
    }};
    static const std::array<CellWords, 12> any_scenes{{
        {"雪の朝", "A snowy morning", "下雪的早晨", "下雪的早晨"},
        {"放課後", "After school", "放学后", "放學後"},
        {"帰り道", "The way home", "回家路上", "回家路上"},
        {"商店街で", "In the shopping street", "在商业街", "在商業街"},
        {"図書館の窓辺", "By the library window", "图书馆的窗边", "圖書館的窗邊"},
        {"川のほとり", "By the river", "河畔", "河畔"},
        {"屋上で", "On the rooftop", "在屋顶", "在屋頂"},
        {"神社の石段", "The shrine steps", "神社的石阶", "神社的石階"},
        {"駅前の広場", "The station square", "车站前广场", "車站前廣場"},
        {"駅前の広場", "The station square", "车站前广场", "車站前廣場"},
        {"夕暮れ", "At dusk", "黄昏", "黃昏"},
        {"冬の終わり", "The end of winter", "冬天的尽头", "冬天的盡頭"},
    }};
    if (cell < 0 || cell >= 12)
        return {};
    const size_t k = static_cast<size_t>(cell);
    switch (first_id) {
    case 0x3430: // the first heroine's gallery page: her three CGs
        return k == 0 ? station : k == 1 ? park : k == 2 ? hill : memory;
    case 0x3450: // the second heroine's page
    case 0x3534: // her CG's variants
        return harbour;
    case 0x3530: // the first CG's variants, the second with its overlay
        return k == 1 ? CellWords{"駅前の朝（笑顔）", "Morning at the station, smiling",
                                  "车站前的早晨（笑容）", "車站前的早晨（笑容）"}
                      : station;
    case 0x3532:
        return park;
    case 0x3533:
        return hill;
    case 0x3630:
        return first_scenes[k];
    case 0x3640:
        return second_scenes[k];
    case 0x3650:
        return any_scenes[k];
    default:
        return memory;
    }
}

AkbPicture DemoThumbnailSheet(uint32_t first_id, WordsLanguage language)
{
    return WordedSheet(1470, 1100, ThumbnailCells(first_id),
                       [&](const SheetCell& cell) {
                           return ThumbnailWords(first_id, static_cast<int32_t>(cell.id - first_id));
                       },
                       language, {WordsPlace::Top, 40});
}

std::vector<std::pair<std::string, AkbPicture>> CaptionedCGPictures(WordsLanguage language)
{
    std::vector<std::pair<std::string, AkbPicture>> pictures = DemoCGPictures();
    // Each CG its caption at the top left and its own shapes on the right, clear of the middle
    // and the lower left the viewer's checks read.
    const auto shapes = [](AkbPicture& picture, int32_t top, int32_t kind) {
        const uint32_t colour[] = {0xFFFFD060u, 0xFF60E0FFu, 0xFFFF80C0u, 0xFFA0FF80u, 0xFFFFFFFFu};
        for (int32_t k = 0; k < 3; ++k) {
            const int32_t x = 1420 + (k % 2) * 260;
            const int32_t y = top + 240 + k * 240;
            switch (kind) {
            case 0:
                FillDisc(picture, x, y, 100, colour[kind]);
                break;
            case 1:
                FillTriangle(picture, x, y, 200, colour[kind]);
                break;
            case 2:
                FillRect(picture, x - 90, y - 90, 180, 180, colour[kind]);
                break;
            case 3:
                FillStar(picture, x, y, 110, colour[kind]);
                break;
            default:
                FillRect(picture, x - 120, y - 30, 240, 60, colour[kind]);
                break;
            }
        }
    };
    for (auto& [name, picture] : pictures) {
        // The tags in the cells' corners go, painted over in the colour just below them.
        for (int32_t top = 0; top < picture.height; top += 1080)
            for (int32_t y = top; y < top + LABEL_MARGIN + LABEL_HEIGHT; ++y)
                for (int32_t x = 0; x < 40; ++x)
                    picture.At(x, y) = picture.At(x, top + LABEL_MARGIN + LABEL_HEIGHT);
        const auto caption = [&](int32_t x, int32_t y, const CellWords& words, int32_t pixel_height) {
            Caption(picture, x, y, WordsIn(words, language), pixel_height);
        };
        if (name == "r01_0.akb") {
            shapes(picture, 0, 0);
            caption(40, 30, ThumbnailWords(0x3530, 0), 40);
        } else if (name == "r02_0.akb") {
            shapes(picture, 0, 1);
            caption(40, 30, ThumbnailWords(0x3532, 0), 40);
        } else if (name == "o01_0.akb") {
            shapes(picture, 0, 2);
            caption(40, 30, ThumbnailWords(0x3534, 0), 40);
        } else if (name == "r03_0.akb") {
            shapes(picture, 0, 3);
            caption(40, 30,
                    {"丘の上（上半分）", "The hilltop, upper half", "山丘上（上半部）", "山丘上（上半部）"},
                    40);
            shapes(picture, 1080, 4);
            caption(40, 1110,
                    {"丘の上（下半分）", "The hilltop, lower half", "山丘上（下半部）", "山丘上（下半部）"},
                    40);
        } else if (name == "x01_0.akb") {
            shapes(picture, 0, 4);
            caption(40, 30, ThumbnailWords(0, 0), 40);
        } else if (name == "r01_f1.akb") {
            // The overlay's square says what it is along its top.
            caption(760, 340, {"差分", "overlay", "差分", "差分"}, 28);
        }
    }
    return pictures;
}

namespace {

// The tracks' names by slot (page x 23 + index): the themes of the demo's people in order where the
// music room's table has a character's theme, the other tracks by their mood.
CellWords TrackWords(int32_t slot)
{
    struct Theme
    {
        int32_t slot;
        CellWords name;
    };
    static const std::array<Theme, 26> others{{
        {11, {"憧れ", "Longing", "憧憬", "憧憬"}},
        {17, {"不気味", "Eerie", "诡异", "詭異"}},
        {19, {"震撼", "Tremor", "震撼", "震撼"}},
        {23, {"イルミネーション", "Illumination", "灯饰", "燈飾"}},
        {24, {"スイート", "Sweet", "甜蜜", "甜蜜"}},
        {25, {"スイート（英語）", "Sweet, in English", "甜蜜（英文）", "甜蜜（英文）"}},
        {26, {"コンビニ", "Corner shop", "便利店", "便利商店"}},
        {27, {"元気", "Cheerful", "元气", "元氣"}},
        {28, {"クリスマス", "Christmas", "圣诞节", "聖誕節"}},
        {29, {"琴の音", "Koto", "古筝", "古箏"}},
        {30, {"楽しい日", "Good fun", "快乐的日子", "快樂的日子"}},
        {31, {"家族", "Family", "家人", "家人"}},
        {32, {"移動", "On the move", "移动", "移動"}},
        {33, {"日常", "Every day", "日常", "日常"}},
        {34, {"ドラマ", "Drama", "剧情", "劇情"}},
        {35, {"悲しみ", "Sorrow", "悲伤", "悲傷"}},
        {36, {"切なさ", "Wistful", "惆怅", "惆悵"}},
        {37, {"ゆったり", "At ease", "悠闲", "悠閒"}},
        {38, {"聖夜", "Holy night", "圣夜", "聖夜"}},
        {39, {"夢", "Dream", "梦", "夢"}},
        {40, {"オルゴール", "Music box", "八音盒", "音樂盒"}},
        {41, {"クイズ", "Quiz", "猜谜", "猜謎"}},
        {42, {"占い", "Fortunes", "占卜", "占卜"}},
        {43, {"しあわせ", "Happiness", "幸福", "幸福"}},
        {44, {"さびしさ", "Lonely", "寂寞", "寂寞"}},
        {45, {"メッセージ", "Message", "留言", "留言"}},
    }};
    for (const Theme& other : others)
        if (other.slot == slot)
            return other.name;
    // Page 0's other slots are the characters' themes in order.
    int32_t character = slot;
    for (const Theme& other : others)
        character -= other.slot < slot ? 1 : 0;
    if (slot < 0 || slot >= 20)
        return {};
    const DemoName who = DemoPersonName(character);
    return {std::string(who.japanese) + "のテーマ", std::string(who.english) + "'s theme",
            std::string(who.simplified) + "的主题", std::string(who.traditional) + "的主題"};
}

} // namespace

AkbPicture DemoMusicRowSheet(WordsLanguage language)
{
    // The row's words stand left: the room's checks read the row's middle.
    return WordedSheet(2000, 48 * 36, MusicRowCells(),
                       [](const SheetCell& cell) {
                           const uint32_t n = cell.id - MUSIC_ROW_CELL;
                           return TrackWords(static_cast<int32_t>((n / 32) * 23 + n % 32));
                       },
                       language, {WordsPlace::Left, 26});
}

AkbPicture DemoMusicControlSheet(WordsLanguage language)
{
    const std::vector<SheetCell> cells = MusicControlCells();
    const auto words = [](const SheetCell& cell) -> CellWords {
        if (cell.id >= 256 && cell.id < 260)
            return ExtrasTabWords(cell.id);
        switch (cell.id) {
        case 512:
            return BackWords();
        case 1280:
            return {"", "▶"};
        case 1281:
            return {"", "■"};
        case 1282:
            return {"", "◀◀"};
        case 1283:
            return {"", "▶▶"};
        case 768:
            return {"1ページ", "Page 1", "第1页", "第1頁"};
        case 769:
            return {"2ページ", "Page 2", "第2页", "第2頁"};
        default:
            return {};
        }
    };
    AkbPicture sheet = WordedSheet(
        MUSIC_CONTROL_SHEET_WIDTH, 912, cells,
        [&](const SheetCell& cell) { return cell.id == 768 || cell.id == 769 ? CellWords{} : words(cell); },
        language, {WordsPlace::Top, 24});
    for (const SheetCell& cell : cells)
        if (cell.id == 768 || cell.id == 769)
            DrawCellWords(sheet, cell, words(cell), language, {WordsPlace::Centre, 28});
    return sheet;
}

AkbPicture DemoMusicTrackPicture(int32_t slot, WordsLanguage language)
{
    AkbPicture picture = MusicTrackPicture(slot);
    EraseTags(picture,
              {{0, 0, 1040, 644, MUSIC_PICTURE + static_cast<uint32_t>(slot), 0, std::to_string(slot)}});
    Caption(picture, 24, 20, WordsIn(TrackWords(slot), language), 36);
    FillDisc(picture, 860 - 40 * (slot % 3), 500, 70, 0xFFFFFFFFu);
    FillRect(picture, 920 - 40 * (slot % 3), 200, 16, 300, 0xFFFFFFFFu);
    return picture;
}

AkbPicture DemoSlotSheet()
{
    const std::vector<SheetCell> cells = SlotSheetCells();
    // One sheet for every language: the controls' words stand on the language's background.
    AkbPicture sheet =
        WordedSheet(SLOT_SHEET_WIDTH, SLOT_SHEET_HEIGHT, cells, [](const SheetCell&) { return CellWords{}; },
                    WordsLanguage::English, {WordsPlace::Top, 26});
    // The reels' digits stand in the cells' left third: the machine's checks read their middle.
    for (const SheetCell& cell : cells)
        if (cell.id >= SLOT_CELL_DIGIT && cell.id < SLOT_CELL_DIGIT + 10) {
            TextStyle style;
            style.pixel_height = 64;
            style.colour = WordsColour(CellColour(cell.id, 0), 0);
            style.bold = true;
            DrawText(sheet, {cell.x + 4, cell.y, 64, cell.height}, std::to_string(cell.id - SLOT_CELL_DIGIT),
                     style);
        } else if (cell.id == SLOT_CELL_BLANK) {
            // The face a shown result blinks to: lit up, so that the blink reads as the reels
            // flashing, not as reels that lost their digits. Its middle keeps the cell's code.
            for (int32_t star = 0; star < 3; ++star) {
                FillStar(sheet, cell.x + 40, cell.y + 70 + 123 * star, 30, 0xFFFFFFFFu);
                FillStar(sheet, cell.x + cell.width - 40, cell.y + 70 + 123 * star, 30, 0xFFFFFFFFu);
            }
        }
    return sheet;
}

AkbPicture DemoSaveLoadBackground(int32_t language)
{
    // The page's group tab is its title; a caption would show again under the list's first row
    // and under every hovered one.
    AkbPicture background = BuildSaveLoadBackground(language);
    FillRect(background, 0, 0, 120, LABEL_MARGIN + LABEL_HEIGHT, background.At(40, 40));
    return background;
}

AkbPicture DemoSaveLoadSheet(WordsLanguage language)
{
    using namespace saveload_layout;
    const auto words = [](const SheetCell& cell) -> CellWords {
        const auto id = static_cast<int32_t>(cell.id);
        switch (id) {
        case ID_DELETE:
            return {"削除", "Delete", "删除", "刪除", "×"};
        case ID_DELETE_ALL:
            return {"全て削除", "Delete all", "全部删除", "全部刪除"};
        // The two tabs switch between the screens; a tab named like an action would read, on the
        // load screen's quick saves, as a quick save that it does not make.
        case ID_SAVE_TAB:
            return {"セーブ画面", "Save screen", "存档画面", "存檔畫面"};
        case ID_LOAD_TAB:
            return {"ロード画面", "Load screen", "读档画面", "讀檔畫面"};
        case ID_CLOSE:
            return CloseWords();
        case ID_SCROLL_UP:
            return {"", "▲"};
        case ID_SCROLL_DOWN:
            return {"", "▼"};
        case ID_GROUP_TAB:
            return {"セーブ", "Saves", "存档", "存檔"};
        case ID_GROUP_TAB + 1:
            return {"オート", "Auto", "自动", "自動", "▶"};
        case ID_GROUP_TAB + 2:
            return {"クイック", "Quick", "快速", "快速"};
        default:
            break;
        }
        const auto glyph = [](uint32_t k) {
            return std::string(k == 10 ? "/" : k == 11 ? ":" : std::to_string(k));
        };
        if (cell.id >= SAVELOAD_CELL_SLOT_DIGIT && cell.id < SAVELOAD_CELL_SLOT_DIGIT + 10)
            return {"", glyph(cell.id - SAVELOAD_CELL_SLOT_DIGIT)};
        if (cell.id >= SAVELOAD_CELL_SMALL && cell.id < SAVELOAD_CELL_SMALL + 12)
            return {"", glyph(cell.id - SAVELOAD_CELL_SMALL)};
        if (cell.id >= SAVELOAD_CELL_LARGE && cell.id < SAVELOAD_CELL_LARGE + 12)
            return {"", glyph(cell.id - SAVELOAD_CELL_LARGE)};
        if (cell.id == SAVELOAD_CELL_COMMA)
            return {"", ","};
        if (cell.id >= SAVELOAD_CELL_WEEKDAY && cell.id < SAVELOAD_CELL_WEEKDAY + 7)
            return WeekdayWords(static_cast<int32_t>(cell.id - SAVELOAD_CELL_WEEKDAY));
        if (cell.id == SAVELOAD_CELL_MARK || cell.id == SAVELOAD_CELL_MARK + 1)
            return cell.id == SAVELOAD_CELL_MARK ? AmWords() : PmWords();
        if (cell.id == SAVELOAD_CELL_CURRENCY)
            return {"円", "$", "元", "元"};
        return {};
    };
    const std::vector<SheetCell> cells = SaveLoadSheetCells();
    AkbPicture sheet =
        WordedSheet(SHEET_WIDTH, SHEET_HEIGHT, cells, words, language, {WordsPlace::Centre, 28});
    // The new-save row's three pictures (normal, hovered, pressed) say what the row does, in its
    // left part: its middle is where the screen's checks read the row.
    for (const SheetCell& cell : cells)
        if (cell.id >= SAVELOAD_CELL_ROW && cell.id < SAVELOAD_CELL_ROW + 3) {
            SheetCell styled = cell;
            styled.state = static_cast<int32_t>(cell.id - SAVELOAD_CELL_ROW);
            styled.label.clear();
            DrawCellWords(sheet, styled, {"新しくセーブする", "New save", "新建存档", "新建存檔"}, language,
                          {WordsPlace::Left, 40});
        }
    // Over the date and time of saving, which the screen writes as two-digit year, month and day:
    // what they are, so the date reads one way only.
    TextStyle caption;
    caption.pixel_height = 18;
    caption.colour = 0xFFE8E0F8u;
    caption.align = TextAlign::Left;
    const std::string saved = WordsIn({"セーブ日時（年/月/日 時:分:秒）", "Saved (year/month/day h:m:s)",
                                       "存档时间（年/月/日 时:分:秒）", "存檔時間（年/月/日 時:分:秒）"},
                                      language);
    for (const SheetCell& cell : cells)
        if (cell.id >= SAVELOAD_CELL_ROW + 3 && cell.id < SAVELOAD_CELL_ROW + ROW_PICTURES)
            DrawText(sheet,
                     {cell.x + SAVED_DATE_X, cell.y + SAVED_Y - 24, GAME_DATE_X - 16 - SAVED_DATE_X, 22},
                     saved, caption);
    return sheet;
}

AkbPicture DemoBacklogSheet(WordsLanguage language)
{
    const std::vector<SheetCell> cells = BacklogSheetCells();
    const auto words = [](const SheetCell& cell) -> CellWords {
        switch (cell.id) {
        case 0x300:
            return {"ここへ戻る", "Jump here", "回到这里", "回到這裡", "◀"};
        case BACKLOG_MARKED:
            return {"", "✓"};
        case BACKLOG_VOICE:
            return {"", "♪"};
        case 0x400:
            return {"", "▲"};
        case 0x401:
            return {"", "▼"};
        case 0x500:
            return {"3つ前へ", "3 older", "往前3条", "往前3條", "▲▲▲"};
        case 0x501:
            return {"3つ後へ", "3 newer", "往后3条", "往後3條", "▼▼▼"};
        case 0x600:
            return {"連続再生", "Replay marked", "连续播放", "連續播放", "✓♪"};
        case 0xF00:
            return CloseWords();
        default:
            return {};
        }
    };
    // The voice buttons' note stands at their top: the backlog's checks read their middle.
    AkbPicture sheet = WordedSheet(
        BACKLOG_SHEET_WIDTH, BACKLOG_SHEET_HEIGHT, cells,
        [&](const SheetCell& cell) { return cell.id == BACKLOG_VOICE ? CellWords{} : words(cell); }, language,
        {WordsPlace::Centre, 26});
    for (const SheetCell& cell : cells)
        if (cell.id == BACKLOG_VOICE)
            DrawCellWords(sheet, cell, words(cell), language, {WordsPlace::Top, 26});
    return sheet;
}

AkbPicture DemoBacklogCover(WordsLanguage language)
{
    // Opaque over the whole screen: the rows, the scroll bar and the buttons stand on it alone,
    // never among the side menu's buttons, the calendar plate or an area screen's places that the
    // screen the backlog opened from left up.
    const SheetCell band{0, 0, 1600, 60, BACKLOG_COVER_BAND, 0, "BACKLOG"};
    AkbPicture cover = BuildSheet(1920, 1080, {band}, BACKLOG_COVER_BACKDROP);
    EraseTags(cover, {band});
    DrawCellWords(cover, {0, 0, 1600, 60, BACKLOG_COVER_BAND, 0, ""}, SideMenuWords(4), language,
                  {WordsPlace::Left, 36});
    return cover;
}

AkbPicture DemoNameInputSheet(WordsLanguage language)
{
    static const std::array<const char*, 10> rows{"あ", "か", "さ", "た", "な", "は", "ま", "や", "ら", "わ"};
    // The entry shows the plain sheet in every language: its page tabs, which no mark would name
    // in every language, carry every language's words.
    const auto every = [language](const CellWords& words) {
        return language == WordsLanguage::Marks ? EveryLanguage(words) : words;
    };
    AkbPicture sheet = WordedSheet(NAME_SHEET_WIDTH, NAME_SHEET_HEIGHT, NameInputSheetCells(),
                                   [&every](const SheetCell& cell) -> CellWords {
                                       // The jump buttons lead to the kana of the kanji page's
                                       // readings, which are Japanese in every language.
                                       if (cell.id < 10 && cell.width == 104)
                                           return {"", rows[cell.id]};
                                       switch (cell.id) {
                                       case 0x100:
                                           return every({"かな", "Kana", "假名", "假名"});
                                       case 0x101:
                                           return every({"漢字", "Kanji", "汉字", "漢字"});
                                       case 0x102:
                                           return every({"英数", "Letters", "字母", "字母"});
                                       case 0x200:
                                           return {"", "◀"};
                                       case 0x201:
                                           return {"", "▶"};
                                       case 0x202:
                                           return {"一字消す", "Delete", "删除一字", "刪除一字", "×"};
                                       case 0x300:
                                           return {"", "▲"};
                                       case 0x301:
                                           return {"", "▼"};
                                       case 0x400:
                                           return {"元の名前", "Default", "默认名字", "預設名字", "★"};
                                       case 0x500:
                                           return {"決定", "OK", "确定", "確定", "○"};
                                       case NAME_SHEET_NAME_LABEL:
                                           return {"名前", "Name", "名字", "名字"};
                                       default:
                                           return {};
                                       }
                                   },
                                   language, {WordsPlace::Centre, 26});
    // The reading label: the screen writes the group's kana 33 pixels into it, 48 wide, so the
    // label's own words stand in its right part, small, clear of the kana.
    TextStyle style;
    style.pixel_height = 19;
    style.colour = 0xFFE8E0F8u;
    for (const SheetCell& cell : NameInputSheetCells())
        if (cell.id == NAME_SHEET_READING) {
            DrawText(sheet, {cell.x + 86, cell.y + 18, cell.width - 90, 22},
                     WordsIn({"よみ", "Reading", "读音", "讀音"}, language), style);
        }
    return sheet;
}

uint32_t RimColour(int32_t state)
{
    static const uint32_t rims[4] = {0xFF8A96C8u, 0xFFFFFFFFu, 0xFFFFD860u, 0xFF4A5068u};
    return rims[state & 3];
}

void DrawRim(AkbPicture& sheet, const SheetCell& cell, int32_t thickness, RimSides sides)
{
    const uint32_t colour = RimColour(cell.state);
    if (sides.top)
        FillRect(sheet, cell.x, cell.y, cell.width, thickness, colour);
    if (sides.bottom)
        FillRect(sheet, cell.x, cell.y + cell.height - thickness, cell.width, thickness, colour);
    if (sides.left)
        FillRect(sheet, cell.x, cell.y, thickness, cell.height, colour);
    if (sides.right)
        FillRect(sheet, cell.x + cell.width - thickness, cell.y, thickness, cell.height, colour);
}

AkbPicture DemoChoiceSheet(WordsLanguage language)
{
    const std::vector<SheetCell> cells = ChoiceSheetCells();
    AkbPicture sheet = BuildSheet(CHOICE_SHEET_WIDTH, CHOICE_SHEET_HEIGHT, cells);
    EraseTags(sheet, cells);
    // The page buttons: their words on one line in the left part and the arrow again at the
    // right end, since the choice's checks read their middle.
    for (const SheetCell& cell : cells) {
        if (cell.id != CHOICE_CELL_PREV && cell.id != CHOICE_CELL_NEXT)
            continue;
        const bool previous = cell.id == CHOICE_CELL_PREV;
        const char* arrow = previous ? "▲" : "▼";
        DrawCellWords(sheet, {cell.x + 10, cell.y + 6, 180, 40, cell.id, cell.state, ""},
                      previous ? CellWords{std::string(arrow) + " 前へ", std::string(arrow) + " Previous",
                                           std::string(arrow) + " 上一页", std::string(arrow) + " 上一頁"}
                               : CellWords{std::string(arrow) + " 次へ", std::string(arrow) + " Next",
                                           std::string(arrow) + " 下一页", std::string(arrow) + " 下一頁"},
                      language, {WordsPlace::Centre, 26});
        DrawCellWords(sheet, {cell.x + cell.width - 60, cell.y + 6, 48, 40, cell.id, cell.state, ""},
                      {"", arrow}, language, {WordsPlace::Centre, 26});
    }
    // The plate is a framed slate panel: the caps close it left and right, the middle carries
    // only the rim's top and bottom, since the window tiles it as wide as the longest choice. A
    // diamond marks each choice in the left cap, beside its middle, which the checks read.
    constexpr int32_t RIM = 3;
    for (const SheetCell& cell : cells) {
        switch (cell.id) {
        case CHOICE_CELL_LEFT: {
            DrawRim(sheet, cell, RIM, {true, true, false, true});
            constexpr int32_t HALF = 9;
            const int32_t cx = cell.x + 20;
            const int32_t cy = cell.y + cell.height / 2;
            for (int32_t dy = -HALF; dy <= HALF; ++dy) {
                const int32_t half = HALF - std::abs(dy);
                FillRect(sheet, cx - half, cy + dy, 2 * half + 1, 1, RimColour(cell.state));
            }
            break;
        }
        case CHOICE_CELL_MIDDLE:
            DrawRim(sheet, cell, RIM, {false, true, false, true});
            break;
        case CHOICE_CELL_RIGHT:
            DrawRim(sheet, cell, RIM, {false, true, true, true});
            break;
        case CHOICE_CELL_PREV:
        case CHOICE_CELL_NEXT:
            DrawRim(sheet, cell, RIM);
            break;
        case CHOICE_CELL_ICON + 2:
        case CHOICE_CELL_ICON + 3: {
            // Copied over the plate's normal picture: the plate's colour around the mark.
            FillRect(sheet, cell.x, cell.y, cell.width, cell.height, CellColour(CHOICE_CELL_MIDDLE, 0));
            const int32_t cx = cell.x + cell.width / 2;
            const int32_t cy = cell.y + cell.height / 2;
            if (cell.id == CHOICE_CELL_ICON + 2) {
                FillStar(sheet, cx, cy, 36, 0xFFFFD860u);
            } else {
                // A heart: two lobes over a point.
                FillDisc(sheet, cx - 14, cy - 8, 16, 0xFFF07890u);
                FillDisc(sheet, cx + 14, cy - 8, 16, 0xFFF07890u);
                for (int32_t row = 0; row < 30; ++row)
                    FillRect(sheet, cx - 29 + row, cy - 4 + row, 2 * (29 - row) + 1, 1, 0xFFF07890u);
            }
            break;
        }
        default:
            break;
        }
    }
    return sheet;
}

AkbPicture DemoFlagListSheet(WordsLanguage language)
{
    const std::vector<SheetCell> cells = FlagListCells();
    return WordedSheet(
        1758, 2016, cells,
        [](const SheetCell& cell) { return cell.id == 256 ? BackWords() : HeroineWords(cell.id); }, language,
        {WordsPlace::Top, 30});
}

AkbPicture DemoFlagListBackground(int32_t language)
{
    return DemoScreenBackground(FlagListBackground(language), language, SideMenuWords(6));
}

namespace {

// The clock's pieces are narrow and their words fill them; Chinese or Japanese words that would
// not fit across even shrunk to half the digits' height (two characters in 32 pixels) stand one
// character a line, as a narrow label in those languages does, rather than lose their sides.
void DrawClockWords(AkbPicture& sheet, const SheetCell& cell, const CellWords& words, WordsLanguage language)
{
    constexpr WordsLayout CLOCK{WordsPlace::Centre, 40};
    const std::string line = WordsIn(words, language);
    const TextBox box = CellWordsBox(cell, CLOCK);
    const bool latin = std::all_of(line.begin(), line.end(), [](char c) { return (c & 0x80) == 0; });
    if (latin || MeasureText(line, CLOCK.pixel_height / 2) <= box.width) {
        DrawCellWords(sheet, cell, words, language, CLOCK);
        return;
    }
    std::vector<std::string> characters;
    for (size_t i = 0; i < line.size(); ++i) {
        if ((static_cast<uint8_t>(line[i]) & 0xC0) != 0x80)
            characters.emplace_back();
        characters.back() += line[i];
    }
    const auto rows = static_cast<int32_t>(characters.size());
    const int32_t row_height = cell.height / rows;
    TextStyle style;
    style.colour = WordsColour(CellColour(cell.id, cell.state), cell.state);
    style.pixel_height = std::min(box.width, row_height) - 4;
    // The font's ink sits low in its line: each line stands two pixels higher, so the last clears
    // the cell's foot as the first its top.
    for (int32_t k = 0; k < rows; ++k)
        DrawText(sheet, {box.x, cell.y + k * row_height - 2, box.width, row_height},
                 characters[static_cast<size_t>(k)], style);
}

} // namespace

AkbPicture DemoFlagScheduleSheet(WordsLanguage language)
{
    const std::vector<SheetCell> cells = FlagScheduleCells();
    const auto words = [](const SheetCell& cell) -> CellWords {
        if (cell.id == 256)
            return BackWords();
        if (cell.width == 48 && cell.height == 43 && cell.id < 2)
            return {"", cell.id == 0 ? "▲" : "▼"};
        if (cell.id >= FLAG_SHEET_DIGIT && cell.id < FLAG_SHEET_DIGIT + 10)
            return {"", std::to_string(cell.id - FLAG_SHEET_DIGIT)};
        switch (cell.id) {
        case FLAG_SHEET_COLON:
            return {"", ":"};
        case FLAG_SHEET_AM:
            return AmWords();
        case FLAG_SHEET_PM:
            return PmWords();
        case FLAG_SHEET_MISSED:
            return {"×", "Missed", "错过", "錯過"};
        case FLAG_SHEET_POSSIBLE:
            return {"○", "Possible", "可能", "可能"};
        case FLAG_SHEET_TODAY:
            return {"今日", "Today", "今天", "今天"};
        default:
            return {};
        }
    };
    const auto clock = [](const SheetCell& cell) {
        return cell.id >= FLAG_SHEET_DIGIT && cell.id <= FLAG_SHEET_PM;
    };
    AkbPicture sheet = WordedSheet(
        1622, 1035, cells, [&](const SheetCell& cell) { return clock(cell) ? CellWords{} : words(cell); },
        language, {WordsPlace::Centre, 24});
    for (const SheetCell& cell : cells)
        if (clock(cell))
            DrawClockWords(sheet, cell, words(cell), language);
    // The seen mark is also the seen bar's block, whose partial piece shows its middle: its tick
    // stands at the right end, which only a whole block shows.
    for (const SheetCell& cell : cells)
        if (cell.id == FLAG_SHEET_SEEN) {
            EraseTags(sheet, {cell});
            TextStyle tick;
            tick.pixel_height = 20;
            tick.colour = WordsColour(CellColour(cell.id, cell.state), cell.state);
            DrawText(sheet, {cell.x + 69, cell.y, 17, cell.height}, "✓", tick);
        }
    // The row plate's day cells, framed so each day reads as a box of its own.
    for (const SheetCell& cell : cells)
        if (cell.id == FLAG_SHEET_ROW_PLATE)
            for (int32_t d = 0; d < 17; ++d) {
                const int32_t x = cell.x + 1 + 87 * d;
                const int32_t y = cell.y + 2;
                FillRect(sheet, x, y, 86, 2, FLAG_DAY_FRAME);
                FillRect(sheet, x, y + 82, 86, 2, FLAG_DAY_FRAME);
                FillRect(sheet, x, y, 2, 84, FLAG_DAY_FRAME);
                FillRect(sheet, x + 84, y, 2, 84, FLAG_DAY_FRAME);
            }
    return sheet;
}

AkbPicture DemoFlagScheduleBackground(WordsLanguage language)
{
    AkbPicture background = FlagScheduleBackground();
    EraseTags(background, {{0, 0, 1920, 1080, FLAG_SCHEDULE_BACKGROUND, 0, "SCHEDULE"}});
    // The screen's name, right of the clock.
    Caption(background, 260, 16,
            WordsIn({"イベントスケジュール", "Event schedule", "事件日程", "事件日程"}, language), 30);
    // Each day's date over its column of the grid (22 December to 7 January).
    TextStyle style;
    style.pixel_height = 24;
    style.colour = FLAG_DATE_COLOUR;
    for (int32_t d = 0; d < 17; ++d) {
        const std::string date = d < 10 ? "12/" + std::to_string(22 + d) : "1/" + std::to_string(d - 9);
        DrawText(background, {212 + 87 * d, 92, 86, 40}, date, style);
    }
    return background;
}

AkbPicture DemoFlagScheduleCanvas(WordsLanguage language)
{
    AkbPicture canvas = BuildSheet(1702, 2400, {{0, 0, 1702, 2400, FLAG_SCHEDULE_PLATE, 0, ""}});
    // Each row's heroine at its left, left of the row plate.
    TextStyle style;
    style.pixel_height = 26;
    style.colour = FLAG_DATE_COLOUR;
    for (uint32_t r = 0; r < 15; ++r) {
        const int32_t y = 10 + 160 * static_cast<int32_t>(r);
        DrawText(canvas, {8, y + 23, 196, 38}, WordsIn(HeroineWords(r), language), style);
    }
    return canvas;
}

std::vector<NamedFile> DemoFlagPictureFiles()
{
    std::vector<NamedFile> files = FlagPictureFiles();
    for (NamedFile& file : files) {
        for (int32_t language = 0; language < 4; ++language) {
            const WordsLanguage words = LanguageOfIndex(language);
            if (file.name == LanguageName("flaglist_p.akb", language))
                file.bytes = EncodeAkb(DemoFlagListSheet(words), {});
            else if (file.name == LanguageName("flaglist_bg.akb", language))
                file.bytes = EncodeAkb(DemoFlagListBackground(language), {});
            else if (file.name == LanguageName("flagschedule_p.akb", language))
                file.bytes = EncodeAkb(DemoFlagScheduleSheet(words), {});
        }
    }
    // The schedule's background and canvas, shown by their plain names in every language: marks
    // alone.
    for (NamedFile& file : files) {
        if (file.name == "flagschedule_bg.akb")
            file.bytes = EncodeAkb(DemoFlagScheduleBackground(WordsLanguage::Marks), {});
        else if (file.name == "flagschedule_plate.akb")
            file.bytes = EncodeAkb(DemoFlagScheduleCanvas(WordsLanguage::Marks), {});
    }
    return files;
}

AkbPicture DemoSlotBackground(int32_t language)
{
    // English, simplified Chinese, traditional Chinese, Japanese: the screen's name, the words of
    // the lever and the stop buttons, how the game is played, and what the player may do once the
    // reels have stopped (the game itself cannot be left).
    struct Words
    {
        const char* name;
        const char* lever;
        const char* stop;
        const char* play;
        const char* after;
    };
    static constexpr Words WORDS[4] = {
        {"Slot machine", "Lever", "Stop",
         "A game is played to its end: pull the lever, then stop each reel with its Stop button.",
         "Once they have stopped: a click shows the prize picture, a right click or Esc leaves."},
        {"老虎机", "拉杆", "停止", "一局须玩到底：拉下拉杆，再用停止按钮逐个停下转轮。",
         "转轮停下后：单击查看奖品图片，右键或按 Esc 键离开。"},
        {"吃角子老虎機", "拉桿", "停止", "一局須玩到底：拉下拉桿，再用停止按鈕逐一停下轉輪。",
         "轉輪停下後：按一下查看獎品圖片，按右鍵或 Esc 鍵離開。"},
        {"スロットマシン", "レバー", "ストップ",
         "始めたら最後まで：レバーを引いて、ストップボタンでリールを一つずつ止めます。",
         "止まったあとは、クリックで景品の絵、右クリックか Esc キーでやめます。"}};
    const Words& words = WORDS[language >= 0 && language < 4 ? language : 0];
    AkbPicture background =
        DemoScreenBackground(BuildSlotBackground(language), language,
                             {WORDS[3].name, WORDS[0].name, WORDS[1].name, WORDS[2].name});
    TextStyle style;
    style.pixel_height = 30;
    style.colour = 0xFFFFFFFFu;
    for (const AreaRecord& area : SlotAreas())
        DrawText(background, {area.left, area.bottom + 4, area.right - area.left, 40},
                 area.id == 0 ? words.lever : words.stop, style);
    style.pixel_height = 36;
    DrawText(background, {160, 900, 1600, 60}, words.play, style);
    DrawText(background, {160, 970, 1600, 60}, words.after, style);
    return background;
}

AkbPicture DemoSoundBackground(AkbPicture background, WordsLanguage language)
{
    // The sound settings' panel scrolls in a window from y SOUND_PANEL_TOP down over this
    // picture: the name stays above it, or the rows scrolled up would run over it.
    const uint32_t colour = background.At(40, 40);
    FillRect(background, 0, 0, 120, LABEL_MARGIN + LABEL_HEIGHT, colour);
    // Shown by its plain name in every language: the name in every language at once.
    const CellWords name{"サウンド設定", "Sound settings", "声音设置", "聲音設定"};
    Caption(background, 24, 2,
            WordsIn(language == WordsLanguage::Marks ? EveryLanguage(name) : name, language), 28,
            SOUND_PANEL_TOP - 4);
    return background;
}

AkbPicture DemoScreenBackground(AkbPicture background, int32_t language, const CellWords& name)
{
    // The cell's tag goes; the screen's name stands in the top-left corner.
    const uint32_t colour = background.At(40, 40);
    FillRect(background, 0, 0, 120, LABEL_MARGIN + LABEL_HEIGHT, colour);
    Caption(background, 24, 16, WordsIn(name, LanguageOfIndex(language)), 34);
    return background;
}

} // namespace tools
