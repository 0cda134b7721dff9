#include "sheetgen/DemoMapSheets.h"

#include "castnames/CastNamesWriter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "screens/map/CTimeSelect.h"
#include "screens/map/SubMapLayout.h"
#include "sheetgen/DemoSheets.h"
#include "textpaint/ShapePainter.h"

namespace tools {

namespace {

constexpr int32_t MARKER = 26;

// Words on a part of a cell: the cell's colour and state give the words' colour and style.
void DrawOnPart(AkbPicture& sheet, const SheetCell& cell, int32_t x, int32_t y, int32_t width, int32_t height,
                const CellWords& words, WordsLanguage language, const WordsLayout& layout)
{
    DrawCellWords(sheet, {x, y, width, height, cell.id, cell.state, ""}, words, language, layout);
}

} // namespace

CellWords CharacterWords(int32_t character)
{
    if (character == MARKER)
        return {"だれか", "Someone", "某人", "某人"};
    const DemoName name = DemoPersonName(character);
    return {name.japanese, name.english, name.simplified, name.traditional};
}

AkbPicture DemoPlateSheet(WordsLanguage language)
{
    const std::vector<SheetCell> cells = PlateSheetCells();
    AkbPicture sheet = BuildSheet(PLATE_SHEET_WIDTH, PLATE_SHEET_HEIGHT, cells);
    EraseTags(sheet, cells);
    const auto glyph = [&](const SheetCell& cell, const std::string& text, int32_t pixel_height) {
        // Clear of the cell's edges: the checks read a digit's top-left corner.
        DrawOnPart(sheet, cell, cell.x + 3, cell.y + 3, cell.width - 6, cell.height - 6, {"", text}, language,
                   {WordsPlace::Centre, pixel_height});
    };
    for (const SheetCell& cell : cells) {
        if (cell.id >= PLATE_WEEKDAY && cell.id < PLATE_WEEKDAY + 7)
            DrawCellWords(sheet, cell, WeekdayWords(static_cast<int32_t>(cell.id - PLATE_WEEKDAY)), language,
                          {WordsPlace::Centre, 24});
        else if (cell.id >= PLATE_TIME_DIGIT && cell.id < PLATE_TIME_DIGIT + 10)
            glyph(cell, std::to_string(cell.id - PLATE_TIME_DIGIT), 40);
        else if (cell.id >= PLATE_DATE_DIGIT && cell.id < PLATE_DATE_DIGIT + 10)
            glyph(cell, std::to_string(cell.id - PLATE_DATE_DIGIT), 26);
        else if (cell.id >= PLATE_MONEY_DIGIT && cell.id < PLATE_MONEY_DIGIT + 10)
            glyph(cell, std::to_string(cell.id - PLATE_MONEY_DIGIT), 30);
        else if (cell.id == PLATE_COLON)
            glyph(cell, ":", 40);
        else if (cell.id == PLATE_SEPARATOR)
            glyph(cell, "/", 30);
        else if (cell.id == PLATE_COMMA)
            glyph(cell, ",", 20);
        else if (cell.id == PLATE_MORNING || cell.id == PLATE_AFTERNOON) {
            // A narrow mark: the Chinese and Japanese words stand in two rows of one character.
            const bool morning = cell.id == PLATE_MORNING;
            if (language == WordsLanguage::English) {
                glyph(cell, morning ? "AM" : "PM", 16);
            } else {
                const WordsLayout layout{WordsPlace::Centre, 22};
                const std::string mark = WordsIn(morning ? AmWords() : PmWords(), language);
                // Two characters of three bytes each.
                DrawOnPart(sheet, cell, cell.x, cell.y + 2, cell.width, 24, {"", mark.substr(0, 3)}, language,
                           layout);
                DrawOnPart(sheet, cell, cell.x, cell.y + 26, cell.width, 24, {"", mark.substr(3)}, language,
                           layout);
            }
        } else if (cell.id == PLATE_MONEY)
            // Left of where the digits go (from x 143).
            DrawOnPart(sheet, cell, cell.x + 6, cell.y, 130, cell.height,
                       {"所持金", "Money", "零用钱", "零用錢"}, language, {WordsPlace::Centre, 30});
        else if (cell.id == PLATE_BUTTON_GAME_MODE)
            DrawCellWords(sheet, cell, {"ゲームモード", "Game mode", "游戏模式", "遊戲模式"}, language,
                          {WordsPlace::Centre, 28});
        else if (cell.id == PLATE_BUTTON_OTHER)
            DrawCellWords(sheet, cell, {"ノベルモード", "Novel mode", "小说模式", "小說模式"}, language,
                          {WordsPlace::Centre, 28});
    }
    return sheet;
}

AkbPicture DemoIconSheet(WordsLanguage language)
{
    const std::vector<SheetCell> cells = IconSheetCells();
    AkbPicture sheet = BuildSheet(ICON_SHEET_WIDTH, ICON_SHEET_HEIGHT, cells);
    EraseTags(sheet, cells);
    for (const SheetCell& cell : cells) {
        int32_t character = -1;
        if (cell.id >= ICON_FACE && cell.id <= ICON_FACE + MARKER)
            character = static_cast<int32_t>(cell.id - ICON_FACE);
        else if (cell.id == ICON_FACE_GRID26)
            character = MARKER;
        if (character < 0)
            continue;
        // A card of 88 x 88 in the cell's middle, the rest clear, so a face fits in the lower part
        // of a sub map's spot under the spot's name: a pale frame, a head and the name in two
        // lines along the bottom. The sub map's checks read the face's middle (72, 72).
        constexpr uint32_t FRAME = 0xFFF0E6F0u;
        constexpr int32_t CARD = 88;
        const int32_t left = cell.x + (cell.width - CARD) / 2;
        const int32_t top = cell.y + (cell.height - CARD) / 2;
        for (int32_t y = cell.y; y < cell.y + cell.height; ++y)
            for (int32_t x = cell.x; x < cell.x + cell.width; ++x)
                if (x < left || x >= left + CARD || y < top || y >= top + CARD)
                    sheet.At(x, y) = 0;
        FillRect(sheet, left, top, CARD, 3, FRAME);
        FillRect(sheet, left, top + CARD - 3, CARD, 3, FRAME);
        FillRect(sheet, left, top, 3, CARD, FRAME);
        FillRect(sheet, left + CARD - 3, top, 3, CARD, FRAME);
        FillDisc(sheet, cell.x + 72, top + 20, 14, character == MARKER ? 0xFFB0B0B8u : 0xFFF0D0B0u);
        DrawOnPart(sheet, cell, left + 3, top + 46, CARD - 6, 40, CharacterWords(character), language,
                   {WordsPlace::Centre, 20});
    }
    return sheet;
}

AkbPicture DemoSubMapPartsSheet(int32_t kind, WordsLanguage language)
{
    const SubMapKindLayout& layout = GetSubMapLayout(kind);
    const std::vector<SheetCell> cells = SubMapPartsCells(kind);
    AkbPicture sheet = BuildSheet(layout.SheetWidth, layout.SheetHeight, cells);
    EraseTags(sheet, cells);
    for (const SheetCell& cell : cells) {
        if (cell.id == SUBMAP_BACK_ITEM && cell.width == SUBMAP_BACK_SIZE) {
            DrawCellWords(sheet, cell, BackWords(), language, {WordsPlace::Top, 30});
            continue;
        }
        const int32_t spot =
            cell.id == SUBMAP_SPOT19_ALT ? SUBMAP_SPOT19_INDEX : static_cast<int32_t>(cell.id);
        if (spot < 0 || spot >= static_cast<int32_t>(layout.Spots.size()))
            continue;
        const int32_t place = layout.Spots[static_cast<size_t>(spot)].Place;
        const DemoName name = DemoPlaceName(place >= 0 ? place : spot);
        const CellWords words{name.japanese, name.english, name.simplified, name.traditional};
        // The first sub map names a spot along its top: the faces of the people there stand
        // under the name.
        DrawCellWords(sheet, cell, words, language,
                      kind == SUBMAP_KIND_FIRST ? WordsLayout{WordsPlace::Top, 22}
                                                : WordsLayout{WordsPlace::Centre, 28});
    }
    // Places and the back button are framed signs on the map.
    for (const SheetCell& cell : cells)
        DrawRim(sheet, cell, 3);
    return sheet;
}

AkbPicture DemoSubMapBackground(int32_t kind, WordsLanguage language)
{
    static const std::array<CellWords, 3> names{{{"北の地区", "North quarter", "北区", "北區"},
                                                 {"港の地区", "Harbour quarter", "港区", "港區"},
                                                 {"学校", "School", "学校", "學校"}}};
    AkbPicture background = SubMapBackground(kind);
    // A street plan under the places: paved bands with a dashed middle line, clear of the bottom
    // middle, where the sub map's checks read the background.
    constexpr uint32_t PAVING = 0xFF2C4470u;
    constexpr uint32_t MARKING = 0xFF6A7EA6u;
    constexpr int32_t STREET = 28;
    for (const int32_t y : {170, 540, 870}) {
        FillRect(background, 0, y, background.width, STREET, PAVING);
        for (int32_t x = 0; x < background.width; x += 48)
            FillRect(background, x, y + STREET / 2 - 1, 24, 2, MARKING);
    }
    for (const int32_t x : {230, 700, 1250, 1680}) {
        FillRect(background, x, 0, STREET, background.height, PAVING);
        for (int32_t y = 0; y < background.height; y += 48)
            FillRect(background, x + STREET / 2 - 1, y, 2, 24, MARKING);
    }
    return DemoScreenBackground(background, IndexOfLanguage(language),
                                names[static_cast<size_t>(std::min(kind, 2))]);
}

CellWords TimeRingWords(int32_t button)
{
    // Round the dial like a clock's hand, from the top.
    static const std::array<CellWords, TIME_RING_COUNT> times{{{"朝", "Morning", "早上", "早上"},
                                                               {"昼前", "Forenoon", "上午", "上午"},
                                                               {"昼", "Noon", "中午", "中午"},
                                                               {"午後", "Afternoon", "下午", "下午"},
                                                               {"夕方", "Evening", "傍晚", "傍晚"},
                                                               {"夜", "Night", "晚上", "晚上"},
                                                               {"深夜", "Midnight", "深夜", "深夜"},
                                                               {"明け方", "Dawn", "黎明", "黎明"}}};
    return button >= 0 && button < TIME_RING_COUNT ? times[static_cast<size_t>(button)] : CellWords{};
}

CellWords TimeCaptionWords(int32_t mode)
{
    static const std::array<CellWords, 4> captions{
        {{"出かける時間は？", "When do you go out?", "什么时候出门？", "什麼時候出門？"},
         {"会う時間は？", "When do you meet?", "什么时候见面？", "什麼時候見面？"},
         {"時間帯を選んでください", "Choose a time of day", "请选择时间段", "請選擇時段"},
         {"いつまで待ちますか？", "Wait until when?", "要等到什么时候？", "要等到什麼時候？"}}};
    return mode >= 0 && mode < 4 ? captions[static_cast<size_t>(mode)] : CellWords{};
}

AkbPicture DemoTimeSheet(WordsLanguage language)
{
    static const std::array<const char*, TIME_RING_COUNT> clock{"7:00",  "10:00", "12:00", "15:00",
                                                                "17:00", "19:00", "23:00", "5:00"};
    const std::vector<SheetCell> cells = TimeSheetCells();
    AkbPicture sheet = BuildSheet(TIME_SHEET_WIDTH, TIME_SHEET_HEIGHT, cells);
    EraseTags(sheet, cells);
    for (const SheetCell& cell : cells) {
        if (cell.id < static_cast<uint32_t>(TIME_RING_COUNT) && cell.width == TIME_RING_WIDTH) {
            // The time of day large, its hour below.
            const auto k = static_cast<size_t>(cell.id);
            DrawOnPart(sheet, cell, cell.x, cell.y + 20, cell.width, 60,
                       TimeRingWords(static_cast<int32_t>(k)), language, {WordsPlace::Centre, 34});
            DrawOnPart(sheet, cell, cell.x, cell.y + 84, cell.width, 40, {"", clock[k]}, language,
                       {WordsPlace::Centre, 26});
        } else if (cell.id == static_cast<uint32_t>(TIME_ID_NINTH)) {
            // Along the top: the area screens' checks read the button's middle.
            DrawCellWords(sheet, cell, {"今すぐ", "Right now", "马上", "馬上"}, language,
                          {WordsPlace::Top, 30});
        } else if (cell.id == static_cast<uint32_t>(TIME_ID_BACK) && cell.width == 158) {
            DrawCellWords(sheet, cell, BackWords(), language, {WordsPlace::Top, 30});
        } else if (cell.id >= TIME_SHEET_CAPTION && cell.id < TIME_SHEET_CAPTION + 4) {
            DrawCellWords(sheet, cell, TimeCaptionWords(static_cast<int32_t>(cell.id - TIME_SHEET_CAPTION)),
                          language, {WordsPlace::Centre, 34});
        }
    }
    // The buttons framed in their state; the dial and the panel stay plain behind them.
    for (const SheetCell& cell : cells)
        if (cell.id != TIME_SHEET_DIAL && cell.id != TIME_SHEET_PANEL &&
            (cell.id < TIME_SHEET_CAPTION || cell.id >= TIME_SHEET_CAPTION + 4))
            DrawRim(sheet, cell, 3);
    return sheet;
}

AkbPicture DemoCharListSheet(WordsLanguage language)
{
    const std::vector<SheetCell> cells = CharListSheetCells();
    AkbPicture sheet =
        WordedSheet(CHARLIST_WIDTH, CHARLIST_HEIGHT, cells,
                    [](const SheetCell& cell) -> CellWords {
                        if (cell.id >= CHARLIST_CHARACTER && cell.id < CHARLIST_CHARACTER + 18)
                            return CharacterWords(static_cast<int32_t>(cell.id - CHARLIST_CHARACTER));
                        if (cell.id == CHARLIST_PLACEHOLDER)
                            return {"まだ会っていない", "Not met yet", "还没见过", "還沒見過"};
                        if (cell.id >= CHARLIST_BACK + 1 && cell.id <= CHARLIST_BACK + 4)
                            return BackWords();
                        return {};
                    },
                    language, {WordsPlace::Top, 32});
    // A figure in the picture's right part above the name strip, dimmer when disabled: the
    // character selection's checks read the middle and the left.
    for (const SheetCell& cell : cells) {
        if (cell.id < CHARLIST_CHARACTER || cell.id >= CHARLIST_CHARACTER + 18)
            continue;
        const uint32_t ink =
            cell.state == 3 ? WordsColour(CellColour(cell.id, cell.state), cell.state) : 0xFFF0D0B0u;
        FillRect(sheet, cell.x + 216, cell.y + 106, 80, 52, ink);
        FillDisc(sheet, cell.x + 256, cell.y + 78, 24, ink);
    }
    // Each picture and button framed in its state, so neighbours read as cards of their own.
    for (const SheetCell& cell : cells)
        DrawRim(sheet, cell, 3);
    return sheet;
}

AkbPicture DemoNameListSheet(WordsLanguage language)
{
    const std::vector<SheetCell> cells = NameListSheetCells();
    AkbPicture sheet = BuildSheet(640, 864, cells);
    EraseTags(sheet, cells);
    for (const SheetCell& cell : cells) {
        const uint32_t first = cell.id >= NAME_LIST_PAIRED ? NAME_LIST_PAIRED : NAME_LIST_PLAIN;
        // The left half: the character selection's checks read the strip's middle.
        DrawOnPart(sheet, cell, cell.x, cell.y, cell.width / 2 - 8, cell.height,
                   CharacterWords(static_cast<int32_t>(cell.id - first)), language, {WordsPlace::Centre, 28});
    }
    return sheet;
}

AkbPicture DemoDiarySheet(int32_t n, WordsLanguage language)
{
    struct Page
    {
        CellWords date;
        CellWords first;
        CellWords second;
    };
    // The days of the story: the day before the first morning, then its two days.
    static const std::array<Page, 4> pages{{
        {{"12月22日　くもり", "22 December, cloudy", "12月22日　阴", "12月22日　陰"},
         {"港まで歩いて船を見た。", "I walked to the harbour to see the boats.", "走到港口去看船。",
          "走到港口去看船。"},
         {"帰りに喫茶店に寄った。", "On the way back we stopped for tea.", "回来的路上去了咖啡馆。",
          "回來的路上去了咖啡館。"}},
        {{"12月23日　晴れ", "23 December, clear", "12月23日　晴", "12月23日　晴"},
         {"駅前で友達と待ち合わせた。", "I met a friend at the station.", "和朋友在车站前碰面。",
          "和朋友在車站前碰面。"},
         {"夕方から雪が降り始めた。", "Snow began to fall at dusk.", "傍晚开始下雪了。", "傍晚開始下雪了。"}},
        {{"12月24日　雪", "24 December, snow", "12月24日　雪", "12月24日　雪"},
         {"公園で雪だるまを作った。", "We built a snowman in the park.", "在公园堆了雪人。",
          "在公園堆了雪人。"},
         {"手が冷たくなった。", "Our hands grew cold.", "手都冻僵了。", "手都凍僵了。"}},
        {{"12月24日　夕方", "24 December, evening", "12月24日　傍晚", "12月24日　傍晚"},
         {"丘の上から町を見下ろした。", "From the hilltop I looked down on the town.", "从山丘上俯瞰小镇。",
          "從山丘上俯瞰小鎮。"},
         {"また来年も来たい。", "I want to come again next year.", "明年还想再来。", "明年還想再來。"}},
    }};
    const auto index = static_cast<size_t>(n) % pages.size();
    const SheetCell page{
        0, 0, 1500, 1000, DIARY_SHEET + static_cast<uint32_t>(n), 0, "DIARY" + std::to_string(n)};
    AkbPicture sheet = BuildSheet(1500, 1000, {page});
    EraseTags(sheet, {page});
    TextStyle style;
    style.colour = WordsColour(CellColour(page.id, 0), 0);
    style.align = TextAlign::Left;
    style.pixel_height = 48;
    style.bold = true;
    DrawText(sheet, {60, 30, 1380, 80},
             WordsIn({"日記 " + std::to_string(n + 1), "Diary " + std::to_string(n + 1),
                      "日记 " + std::to_string(n + 1), "日記 " + std::to_string(n + 1)},
                     language),
             style);
    style.bold = false;
    style.pixel_height = 38;
    // Ruled lines in the upper part: the diary's checks read the page's middle.
    const Page& words = pages[index];
    int32_t y = 140;
    for (const CellWords* line : {&words.date, &words.first, &words.second}) {
        DrawText(sheet, {80, y, 1340, 64}, WordsIn(*line, language), style);
        FillRect(sheet, 60, y + 66, 1380, 2, style.colour);
        y += 80;
    }
    return sheet;
}

AkbPicture DemoAreaSheet(WordsLanguage language)
{
    const CellWords decide{"決定", "Decide", "决定", "決定", "○"};
    const std::array<CellWords, 9> area_buttons{{decide,
                                                 {"エリア選択", "Areas", "选择区域", "選擇區域", "■■"},
                                                 BackWords(),
                                                 decide,
                                                 BackWords(),
                                                 MessageButtonWords(4),
                                                 MessageButtonWords(5),
                                                 SideMenuWords(1),
                                                 SideMenuWords(2)}};
    const std::vector<SheetCell> cells = AreaSelectSheetCells();
    AkbPicture sheet = WordedSheet(AREA_SHEET_WIDTH, AREA_SHEET_HEIGHT, cells,
                                   [&](const SheetCell& cell) {
                                       return cell.id >= AREA_SHEET_BUTTON && cell.id < AREA_SHEET_BUTTON + 9
                                                  ? area_buttons[cell.id - AREA_SHEET_BUTTON]
                                                  : CellWords{};
                                   },
                                   language, {WordsPlace::Top, 24});
    for (const SheetCell& cell : cells)
        DrawRim(sheet, cell, 3);
    return sheet;
}

AkbPicture DemoAreaSpots(bool places_file, WordsLanguage language)
{
    // The town's first fourteen places, named as the cast names name them.
    constexpr size_t AREA_PLACES = 14;
    const auto place = [](size_t index) {
        const DemoName name = DemoPlaceName(static_cast<int>(index % AREA_PLACES));
        return CellWords{name.japanese, name.english, name.simplified, name.traditional};
    };
    AkbPicture picture = MakePicture(1920, 1080, 0);
    const auto spot = [&](int32_t x, int32_t y, int32_t width, int32_t height, const CellWords& words) {
        FillRect(picture, x, y, width, height, 0xD0304058u);
        DrawRim(picture, {x, y, width, height, 0, 0, ""}, 3);
        TextStyle style;
        style.pixel_height = 26;
        style.colour = 0xFFFFF0C0u;
        DrawText(picture, {x + 4, y + height / 2 - 20, width - 8, 40}, WordsIn(words, language), style);
    };
    if (places_file) {
        // A place of the screen's own table answers one group up: named as it answers.
        for (const AreaRecord& area : AreaPlaceAreas())
            spot(area.left, area.top, area.right - area.left, area.bottom - area.top,
                 place((area.id >> 8) + 1));
    } else {
        for (int32_t group = 0; group < 14; ++group)
            spot(AreaIdStripLeft(group), AREA_ID_STRIP_TOP, 120, AREA_ID_STRIP_BOTTOM - AREA_ID_STRIP_TOP,
                 place(static_cast<size_t>(group)));
    }
    return picture;
}

std::vector<AreaRecord> FigurePlaceAreas()
{
    // Five places down the left, four inside them and four right of the figure (x 820 to 1100,
    // with its head from y 225), all above the story text and the buttons (y 780 on).
    constexpr int32_t COLUMN_LEFT[] = {60, 440, 1140};
    constexpr int32_t COLUMN_ROWS[] = {5, 4, 4};
    constexpr int32_t WIDTH = 340;
    constexpr int32_t HEIGHT = 96;
    constexpr int32_t TOP = 250;
    constexpr int32_t PITCH = 108;
    std::vector<AreaRecord> areas;
    uint32_t group = 1;
    for (size_t column = 0; column < std::size(COLUMN_LEFT); ++column)
        for (int32_t row = 0; row < COLUMN_ROWS[column]; ++row, ++group) {
            const int32_t top = TOP + PITCH * row;
            areas.push_back(
                {(group << 8) | 1, COLUMN_LEFT[column], top, COLUMN_LEFT[column] + WIDTH, top + HEIGHT});
        }
    return areas;
}

AkbPicture DemoFigureIdPicture()
{
    AkbPicture picture = MakePicture(2048, 1100, 0xFF000000u);
    for (const AreaRecord& area : FigurePlaceAreas())
        for (int32_t y = area.top - FIGURE_Y; y < area.bottom - FIGURE_Y; ++y)
            for (int32_t x = area.left - FIGURE_X; x < area.right - FIGURE_X; ++x)
                picture.At(x, y) = 0xFF000000u | ((area.id & 0xFFu) << 16) | ((area.id >> 8) << 8);
    return picture;
}

AkbPicture DemoFigureSpots(WordsLanguage language)
{
    AkbPicture picture = MakePicture(1920, 1080, 0);
    for (const AreaRecord& area : FigurePlaceAreas()) {
        const int32_t width = area.right - area.left;
        const int32_t height = area.bottom - area.top;
        const DemoName name = DemoPlaceName(static_cast<int>(area.id >> 8));
        FillRect(picture, area.left, area.top, width, height, 0xD0304058u);
        DrawRim(picture, {area.left, area.top, width, height, 0, 0, ""}, 3);
        TextStyle style;
        style.pixel_height = 30;
        style.colour = 0xFFFFF0C0u;
        DrawText(picture, {area.left + 8, area.top + height / 2 - 22, width - 16, 44},
                 WordsIn({name.japanese, name.english, name.simplified, name.traditional}, language), style);
    }
    return picture;
}

std::vector<NamedFile> DemoMapPictureFiles()
{
    // The plain map pictures the screens' tests use, each worded one replaced by the demo's in
    // every language.
    std::vector<NamedFile> files;
    for (NamedFile& file : MapPictureFiles()) {
        const bool worded = file.name.starts_with("m_") || file.name.starts_with("select_p") ||
                            file.name.starts_with("time_p") || file.name.starts_with("callender_p") ||
                            file.name.starts_with("cal_p") || file.name == "icon_p.akb";
        if (!worded)
            files.push_back(std::move(file));
    }
    const auto add = [&](const std::string& name, const auto& draw) {
        for (int32_t language = 0; language < 4; ++language)
            files.push_back({LanguageName(name, language), EncodeAkb(draw(LanguageOfIndex(language)), {})});
    };
    for (int32_t kind = 0; kind < 3; ++kind) {
        const SubMapKindLayout& layout = GetSubMapLayout(kind);
        add(layout.PartsSheet, [&](WordsLanguage language) { return DemoSubMapPartsSheet(kind, language); });
        add(layout.Background, [&](WordsLanguage language) { return DemoSubMapBackground(kind, language); });
    }
    add("time_p.akb", DemoTimeSheet);
    add("callender_p.akb", DemoPlateSheet);
    add("cal_p.akb", DemoPlateSheet);
    // Shown by their plain names in every language: marks alone.
    files.push_back({"select_p.akb", EncodeAkb(DemoAreaSheet(WordsLanguage::Marks), {})});
    files.push_back({"icon_p.akb", EncodeAkb(DemoIconSheet(WordsLanguage::Marks), {})});
    // The area screens' places, drawn where their hits lie: the screens themselves show none.
    add("area_spots.akb", [](WordsLanguage language) { return DemoAreaSpots(false, language); });
    add("area_places.akb", [](WordsLanguage language) { return DemoAreaSpots(true, language); });
    add("area_figure.akb", DemoFigureSpots);
    files.push_back({"figure_ids.akb", EncodeAkb(DemoFigureIdPicture(), {})});
    return files;
}

std::vector<NamedFile> DemoCharacterPictureFiles()
{
    std::vector<NamedFile> files;
    for (NamedFile& file : CharacterPictureFiles())
        if (!file.name.starts_with("charlist") && !file.name.starts_with("name_list") &&
            !file.name.starts_with("diary0"))
            files.push_back(std::move(file));
    for (int32_t language = 0; language < 4; ++language) {
        const WordsLanguage words = LanguageOfIndex(language);
        files.push_back({LanguageName("charlist.akb", language), EncodeAkb(DemoCharListSheet(words), {})});
        files.push_back({LanguageName("charlist_p.akb", language), EncodeAkb(DemoCharListSheet(words), {})});
        files.push_back({LanguageName("name_list.akb", language), EncodeAkb(DemoNameListSheet(words), {})});
        for (int32_t n = 0; n < 4; ++n)
            files.push_back({LanguageName("diary0" + std::to_string(n) + ".akb", language),
                             EncodeAkb(DemoDiarySheet(n, words), {})});
    }
    return files;
}

} // namespace tools
