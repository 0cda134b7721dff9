#include "screens/map/CStatusPlate.h"

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "foundation/ConfigSettings.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteAnime.h"
#include "screens/ScreenFixture.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "sheetgen/MapSheets.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;

constexpr int CALENDAR_X = 16;
constexpr int CALENDAR_Y = 8;
constexpr int MONEY_X = 313;
constexpr int MONEY_Y = 8;
constexpr int BUTTON_X = 642;
constexpr int BUTTON_Y = 23;

std::vector<tools::ArchiveEntry> PlatePictures()
{
    std::vector<tools::ArchiveEntry> entries;
    for (const tools::NamedFile& file : tools::MapPictureFiles())
        if (file.name.starts_with("cal"))
            entries.push_back({tools::UpperCaseName(file.name), file.bytes});
    return entries;
}

class CStatusPlateThreadTest : public ScreenFixture
{
protected:
    CStatusPlateThreadTest()
        : ScreenFixture({}, PlatePictures())
    {
        State().Flags.resize(8192);
        State().SetGameDate(1224);
        State().SetGameTime(900);
        State().SetWeekday(3);
        State().SetMoney(0);
    }

    static FlagBuffer& State() { return *GetScriptState().m_current_state; }
    static CStatusPlate& Plate() { return *GetGameWork()->GetStatusPlate(); }

    // Shows the plate (its button too) and draws it from the state.
    void ShowAndDraw(const std::string& png = {})
    {
        State().Flags[PLATE_BUTTON_FLAG] = 1;
        Plate().ShowAnimated(nullptr);
        Plate().DrawCalendar();
        Capture(png);
    }
    // The cell a pixel inside a sprite's cell shows, sampled away from its label.
    Cell CalendarCell(int x, int y) { return ShownCell(CALENDAR_X + x + 12, CALENDAR_Y + y + 20); }
    Cell MoneyCell(int x, int y) { return ShownCell(MONEY_X + x + 10, MONEY_Y + y + 15); }
};

// A plate that cannot make the sprite of one call of CreateSprite, or that finds no sheet.
class FaultyPlate : public CStatusPlate
{
public:
    CSprite* CreateSprite(int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority, int32_t type,
                          int32_t format) override
    {
        if (++calls == failing_call)
            return nullptr;
        return CStatusPlate::CreateSprite(x, y, width, height, priority, type, format);
    }
    CSprite* LoadSprite(const CStringUTF8& name, CSprite* sprite, int32_t kind, int32_t texture_argument,
                        int32_t priority, RECT* out, int32_t x, int32_t y, int32_t fill_mode) override
    {
        if (no_sheet)
            return nullptr;
        return CStatusPlate::LoadSprite(name, sprite, kind, texture_argument, priority, out, x, y, fill_mode);
    }
    int failing_call = 0;
    int calls = 0;
    bool no_sheet = false;
};

} // namespace

TEST_F(CStatusPlateThreadTest, TimesShowTwelveHourDigitsAndTheirMark)
{
    struct Case
    {
        int32_t time;
        const char* digits; // hh:mm as drawn
        uint32_t mark;
    } cases[] = {{0, "0000", tools::PLATE_MORNING},
                 {1200, "1200", tools::PLATE_AFTERNOON},
                 {1330, "0130", tools::PLATE_AFTERNOON},
                 {2359, "1159", tools::PLATE_AFTERNOON}};
    for (const Case& c : cases) {
        State().SetGameTime(c.time);
        ShowAndDraw("plate_time_" + std::to_string(c.time) + ".png");
        const int xs[4] = {96, 131, 186, 221};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(CalendarCell(xs[i], 67), Cell(tools::PLATE_TIME_DIGIT + (c.digits[i] - '0'), 0))
                << "time " << c.time << " digit " << i;
        EXPECT_EQ(ShownCell(CALENDAR_X + 166 + 10, CALENDAR_Y + 67 + 30), Cell(tools::PLATE_COLON, 0));
        EXPECT_EQ(CalendarCell(64, 63), Cell(c.mark, 0)) << "time " << c.time;
    }
}

TEST_F(CStatusPlateThreadTest, DatesShowTwoDigitMonthsWithJanuaryAsOne)
{
    struct Case
    {
        int32_t date;
        const char* digits; // MMDD as drawn
    } cases[] = {{1231, "1231"}, {1301, "0101"}, {1306, "0106"}};
    for (const Case& c : cases) {
        State().SetGameDate(c.date);
        State().SetWeekday(c.date % 7);
        ShowAndDraw("plate_date_" + std::to_string(c.date) + ".png");
        const int xs[4] = {66, 91, 132, 157};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(CalendarCell(xs[i], 19), Cell(tools::PLATE_DATE_DIGIT + (c.digits[i] - '0'), 0))
                << "date " << c.date << " digit " << i;
        EXPECT_EQ(ShownCell(CALENDAR_X + 116 + 9, CALENDAR_Y + 14 + 30), Cell(tools::PLATE_SEPARATOR, 0));
        EXPECT_EQ(CalendarCell(181, 23), Cell(tools::PLATE_WEEKDAY + static_cast<uint32_t>(c.date % 7), 0));
    }
}

TEST_F(CStatusPlateThreadTest, MoneyDigitsStepLeftWithOneCommaAndNoNegativeSign)
{
    struct Case
    {
        int32_t money;
        std::vector<std::pair<int, uint32_t>> digits; // x and digit
        bool comma;
    } cases[] = {
        {0, {{269, 0}}, false},
        {999, {{269, 9}, {241, 9}, {213, 9}}, false},
        {1000, {{269, 0}, {241, 0}, {213, 0}, {171, 1}}, true},
        {12345, {{269, 5}, {241, 4}, {213, 3}, {171, 2}, {143, 1}}, true},
        {12345678, {{269, 8}, {241, 7}, {213, 6}, {171, 5}, {143, 4}, {115, 3}, {87, 2}, {45, 1}}, true},
        {-5, {{269, 0}}, false},
    };
    for (const Case& c : cases) {
        State().SetMoney(c.money);
        ShowAndDraw("plate_money_" + std::to_string(c.money) + ".png");
        for (const auto& [x, digit] : c.digits)
            EXPECT_EQ(MoneyCell(x, 22), Cell(tools::PLATE_MONEY_DIGIT + digit, 0)) << c.money << " at " << x;
        // Where the next digit to the left would go, only the background shows.
        const int next = c.digits.back().first - 28 - (c.digits.size() == 3 || c.digits.size() == 7 ? 14 : 0);
        EXPECT_EQ(MoneyCell(next, 22), Cell(tools::PLATE_MONEY, 0)) << c.money;
        EXPECT_EQ(ShownCell(MONEY_X + 199 + 7, MONEY_Y + 40 + 14),
                  Cell(c.comma ? tools::PLATE_COMMA : tools::PLATE_MONEY, 0))
            << c.money;
        // The second gap holds no comma.
        EXPECT_EQ(ShownCell(MONEY_X + 80, MONEY_Y + 40 + 14), Cell(tools::PLATE_MONEY, 0)) << c.money;
    }
    EXPECT_EQ(State().Money(), -5) << "drawing never changes the sum";
}

TEST_F(CStatusPlateThreadTest, ButtonRowsFollowTheGameMode)
{
    State().Flags[PLATE_BUTTON_FLAG] = 1;
    for (int32_t mode : {1, 0, 1}) {
        SetConfigGameMode(mode);
        ShowAndDraw("plate_button_mode" + std::to_string(mode) + ".png");
        const uint32_t row = mode == 1 ? tools::PLATE_BUTTON_GAME_MODE : tools::PLATE_BUTTON_OTHER;
        EXPECT_EQ(ShownCell(BUTTON_X + 160, BUTTON_Y + 30), Cell(row, 0)) << "mode " << mode;
        Plate().DrawButton(2, 1);
        Capture();
        EXPECT_EQ(ShownCell(BUTTON_X + 160, BUTTON_Y + 30), Cell(row, 2)) << "mode " << mode;
    }
}

TEST_F(CStatusPlateThreadTest, EffectsChangeNothingWhenAlreadyDoneOrHeld)
{
    CStatusPlate& plate = Plate();
    ASSERT_EQ(plate.IsShown(), 0);
    plate.HideAnimated(nullptr);
    EXPECT_EQ(plate.GetCalendarSprite()->IsVisible(), 0) << "hiding a hidden plate does nothing";

    State().Flags[PLATE_HOLD_FLAG] = 1;
    plate.ShowAnimated(nullptr);
    EXPECT_EQ(plate.IsShown(), 0);
    EXPECT_EQ(plate.GetCalendarSprite()->IsVisible(), 0);

    State().Flags[PLATE_HOLD_FLAG] = 0;
    State().Flags[PLATE_BUTTON_FLAG] = 0;
    plate.ShowAnimated(nullptr);
    EXPECT_EQ(plate.IsShown(), 1);
    EXPECT_EQ(plate.GetCalendarSprite()->IsVisible(), 1);
    EXPECT_EQ(plate.GetMoneySprite()->IsVisible(), 1);
    EXPECT_EQ(plate.GetButtonSprite()->IsVisible(), 0) << "the button stays out while its flag is 0";

    plate.GetCalendarSprite()->SetVisibleFlag(0);
    plate.ShowAnimated(nullptr);
    EXPECT_EQ(plate.GetCalendarSprite()->IsVisible(), 0) << "showing a shown plate does nothing";
    plate.GetCalendarSprite()->SetVisibleFlag(1);

    // DrawButton draws nothing without the flag; DrawCalendar still paints the normal cell.
    SetConfigGameMode(1);
    plate.GetButtonSprite()->SetVisibleFlag(1);
    plate.DrawCalendar();
    Capture();
    EXPECT_EQ(ShownCell(BUTTON_X + 160, BUTTON_Y + 30), Cell(tools::PLATE_BUTTON_GAME_MODE, 0));
    plate.DrawButton(1, 1);
    Capture();
    EXPECT_EQ(ShownCell(BUTTON_X + 160, BUTTON_Y + 30), Cell(tools::PLATE_BUTTON_GAME_MODE, 0));

    plate.HideAnimated(nullptr);
    EXPECT_EQ(plate.IsShown(), 0);
    EXPECT_EQ(plate.GetCalendarSprite()->IsVisible(), 0);
}

TEST_F(CStatusPlateThreadTest, AGivenAnimationCarriesTheStepsAndTheCallerPlaysIt)
{
    State().Flags[PLATE_BUTTON_FLAG] = 1;
    CSpriteAnime anime;
    Plate().ShowAnimated(&anime);
    EXPECT_EQ(Plate().IsShown(), 1);
    EXPECT_EQ(Plate().GetCalendarSprite()->IsVisible(), 0) << "nothing plays before the caller does";
    anime.PlayAndWait();
    for (CSprite* sprite : {Plate().GetCalendarSprite(), Plate().GetMoneySprite(), Plate().GetButtonSprite()})
        EXPECT_EQ(sprite->IsVisible(), 1);
}

TEST_F(CStatusPlateThreadTest, SetupFailsOnlyForAMissingSprite)
{
    for (int failing = 1; failing <= 3; ++failing) {
        FaultyPlate plate;
        plate.failing_call = failing;
        EXPECT_EQ(plate.Setup(), 0) << "sprite " << failing;
    }
    FaultyPlate sheetless;
    sheetless.no_sheet = true;
    ASSERT_EQ(sheetless.Setup(), 1) << "a missing sheet still lets the game run";
    sheetless.DrawCalendar();
    sheetless.BuildParts(0);
    sheetless.ShowAnimated(nullptr);
    EXPECT_EQ(sheetless.IsShown(), 1);
}
