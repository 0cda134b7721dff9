#include "screens/map/CStatusPlate.h"

#include <algorithm>
#include <cstdio>

#include "foundation/ConfigSettings.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/ILayer.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/base/ScreenWork.h"
#include "script/FlagBuffer.h"

namespace {

constexpr int32_t PLATE_PRIORITY = 39;
constexpr int32_t FADE_STEPS = 12;

constexpr int32_t CALENDAR_WIDTH = 316;
constexpr int32_t CALENDAR_HEIGHT = 136;
constexpr int32_t MONEY_WIDTH = 321;
constexpr int32_t MONEY_HEIGHT = 79;
constexpr int32_t MONEY_SHEET_Y = 326;
constexpr int32_t BUTTON_WIDTH = 324;
constexpr int32_t BUTTON_HEIGHT = 52;
constexpr int32_t BUTTON_ROW_GAME_MODE = 441;
constexpr int32_t BUTTON_ROW_OTHER = 597;

constexpr int32_t WEEKDAY_WIDTH = 75;
constexpr int32_t WEEKDAY_HEIGHT = 32;
constexpr int32_t WEEKDAY_SHEET_Y = 136;
constexpr int32_t TIME_DIGIT_WIDTH = 35;
constexpr int32_t TIME_HEIGHT = 48;
constexpr int32_t TIME_SHEET_Y = 168;
constexpr int32_t COLON_SHEET_X = 350;
constexpr int32_t COLON_WIDTH = 20;
constexpr int32_t MARK_WIDTH = 32;
constexpr int32_t MARK_HEIGHT = 52;
constexpr int32_t MORNING_SHEET_X = 370;
constexpr int32_t AFTERNOON_SHEET_X = 402;
constexpr int32_t DATE_DIGIT_WIDTH = 25;
constexpr int32_t DATE_DIGIT_HEIGHT = 33;
constexpr int32_t DATE_SHEET_Y = 216;
constexpr int32_t SEPARATOR_SHEET_X = 250;
constexpr int32_t SEPARATOR_WIDTH = 18;
constexpr int32_t SEPARATOR_HEIGHT = 40;
constexpr int32_t MONEY_DIGIT_WIDTH = 28;
constexpr int32_t MONEY_DIGIT_HEIGHT = 36;
constexpr int32_t MONEY_DIGIT_SHEET_Y = 405;
constexpr int32_t COMMA_SHEET_X = 280;
constexpr int32_t COMMA_WIDTH = 14;
constexpr int32_t COMMA_HEIGHT = 21;

// Takes the sprite CreateSprite made: a texture sprite whose texture really exists, or null.
std::unique_ptr<CSprite> Checked(CSprite* made)
{
    std::unique_ptr<CSprite> sprite(made);
    if (sprite != nullptr && SpriteLayerOf(sprite.get()) == nullptr)
        sprite.reset();
    return sprite;
}

} // namespace

CStatusPlate::CStatusPlate() = default;

CStatusPlate::~CStatusPlate()
{
    m_sheet.reset();
    m_calendar.reset();
    m_money.reset();
    m_button.reset();
}

int32_t CStatusPlate::Setup()
{
    m_sheet.reset(LoadSprite(MakeLanguageFileName("callender_p.akb"), nullptr, LAYER_KIND_MEMORY, 0, 0,
                             nullptr, -1, -1, 0));
    m_calendar =
        Checked(CreateSprite(16, 8, CALENDAR_WIDTH, CALENDAR_HEIGHT, PLATE_PRIORITY, LAYER_KIND_TEXTURE, 0));
    m_money = Checked(CreateSprite(313, 8, MONEY_WIDTH, MONEY_HEIGHT, PLATE_PRIORITY, LAYER_KIND_TEXTURE, 0));
    m_button =
        Checked(CreateSprite(642, 23, BUTTON_WIDTH, BUTTON_HEIGHT, PLATE_PRIORITY, LAYER_KIND_TEXTURE, 0));
    const auto& active = GameWork->GetActiveScreens();
    if (std::find(active.begin(), active.end(), this) == active.end())
        GameWork->AddActiveScreen(this);
    // Drawing into a missing sprite later would be worse than not starting.
    return m_calendar && m_money && m_button ? 1 : 0;
}

void CStatusPlate::BuildParts(int32_t)
{
    m_sheet.reset();
    m_sheet.reset(
        LoadSprite(MakeLanguageFileName("cal_p.akb"), nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    DrawCalendar();
}

void CStatusPlate::DrawMoney()
{
    ILayer* sheet = SpriteLayerOf(m_sheet.get());
    ILayer* money = SpriteLayerOf(m_money.get());
    if (sheet == nullptr || money == nullptr)
        return;
    money->Blt(0, 0, MONEY_WIDTH, MONEY_HEIGHT, sheet, 0, MONEY_SHEET_Y, 1);
    // A negative sum has no digits of its own; the game never means one, so it reads as 0.
    const FlagBuffer* state = CurrentFlagBuffer();
    const int32_t sum = state != nullptr ? std::max(state->Money(), 0) : 0;
    uint32_t rest = static_cast<uint32_t>(sum);
    int32_t x = 269;
    int32_t place = 1;
    do {
        const int32_t digit = static_cast<int32_t>(rest % 10);
        money->BltOver(x, 22, MONEY_DIGIT_WIDTH, MONEY_DIGIT_HEIGHT, sheet, MONEY_DIGIT_WIDTH * digit,
                       MONEY_DIGIT_SHEET_Y);
        rest /= 10;
        ++place;
        x -= MONEY_DIGIT_WIDTH;
        if (place == 4 || place == 8)
            x -= COMMA_WIDTH;
    } while (rest != 0);
    if (sum >= 1000)
        money->BltAlpha(199, 40, COMMA_WIDTH, COMMA_HEIGHT, sheet, COMMA_SHEET_X, MONEY_DIGIT_SHEET_Y);
}

void CStatusPlate::DrawTimeText(CSprite* sprite, const char* text)
{
    ILayer* sheet = SpriteLayerOf(m_sheet.get());
    ILayer* target = SpriteLayerOf(sprite);
    if (sheet == nullptr || target == nullptr)
        return;
    int32_t x = 96;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == ':') {
            target->BltOver(x, 67, COLON_WIDTH, TIME_HEIGHT, sheet, COLON_SHEET_X, TIME_SHEET_Y);
            x += COLON_WIDTH;
        } else {
            target->BltOver(x, 67, TIME_DIGIT_WIDTH, TIME_HEIGHT, sheet, TIME_DIGIT_WIDTH * (*c - '0'),
                            TIME_SHEET_Y);
            x += TIME_DIGIT_WIDTH;
        }
    }
}

void CStatusPlate::DrawDateAndTime()
{
    ILayer* sheet = SpriteLayerOf(m_sheet.get());
    ILayer* calendar = SpriteLayerOf(m_calendar.get());
    if (sheet == nullptr || calendar == nullptr)
        return;
    calendar->Blt(0, 0, CALENDAR_WIDTH, CALENDAR_HEIGHT, sheet, 0, 0, 1);

    const FlagBuffer* state = CurrentFlagBuffer();
    const uint32_t time = state != nullptr ? static_cast<uint32_t>(state->GameTime()) : 0;
    const int32_t date = state != nullptr ? state->GameDate() : 0;
    const int32_t weekday = state != nullptr ? state->Weekday() : 0;

    const uint32_t hour = time / 100;
    char text[32];
    std::snprintf(text, sizeof(text), "%02u:%02u", hour == 12 ? 12u : hour % 12, time % 100);
    DrawTimeText(m_calendar.get(), text);
    calendar->BltAlpha(64, 63, MARK_WIDTH, MARK_HEIGHT, sheet,
                       time < 1200 ? MORNING_SHEET_X : AFTERNOON_SHEET_X, TIME_SHEET_Y);

    // January is stored as month 13.
    const int32_t month = date / 100 - (date >= 1300 ? 12 : 0);
    const int32_t day = date % 100;
    const auto digit = [&](int32_t x, int32_t value) {
        calendar->BltOver(x, 19, DATE_DIGIT_WIDTH, DATE_DIGIT_HEIGHT, sheet, DATE_DIGIT_WIDTH * value,
                          DATE_SHEET_Y);
    };
    digit(66, month % 100 / 10);
    digit(91, month % 10);
    calendar->BltOver(116, 14, SEPARATOR_WIDTH, SEPARATOR_HEIGHT, sheet, SEPARATOR_SHEET_X, DATE_SHEET_Y);
    digit(132, day % 100 / 10);
    digit(157, day % 10);
    calendar->BltAlpha(181, 23, WEEKDAY_WIDTH, WEEKDAY_HEIGHT, sheet, WEEKDAY_WIDTH * weekday,
                       WEEKDAY_SHEET_Y);
}

void CStatusPlate::CopyButtonCell(int32_t state)
{
    ILayer* sheet = SpriteLayerOf(m_sheet.get());
    ILayer* button = SpriteLayerOf(m_button.get());
    if (sheet == nullptr || button == nullptr)
        return;
    const int32_t row = GetConfigGameMode() == 1 ? BUTTON_ROW_GAME_MODE : BUTTON_ROW_OTHER;
    button->Blt(0, 0, BUTTON_WIDTH, BUTTON_HEIGHT, sheet, 0, row + BUTTON_HEIGHT * state, 1);
}

void CStatusPlate::DrawCalendar()
{
    {
        LiveDrawLock lock;
        DrawMoney();
        DrawDateAndTime();
        CopyButtonCell(0);
    }
    if (m_calendar && m_calendar->IsVisible())
        RedrawFrameNow();
}

void CStatusPlate::DrawButton(int32_t state, int32_t present)
{
    if (GetFlag(PLATE_BUTTON_FLAG) == 0)
        return;
    {
        LiveDrawLock lock;
        CopyButtonCell(state);
    }
    if (present != 0)
        RedrawFrameNow();
}

void CStatusPlate::Animate(CSpriteAnime* anime, bool appear, bool with_button)
{
    SpriteAnimRecord record(FADE_STEPS);
    record.SetVisible(appear ? 1 : 0);
    record.SetAlpha(appear ? 0x00 : 0xFF, appear ? 0xFF : 0x00);
    CSpriteAnime own;
    CSpriteAnime* target = anime != nullptr ? anime : &own;
    for (CSprite* sprite : {m_calendar.get(), m_money.get(), with_button ? m_button.get() : nullptr}) {
        if (sprite == nullptr)
            continue;
        sprite->AddAnimation(record);
        target->AddSprite(sprite);
    }
    if (anime == nullptr)
        own.PlayAndWait();
}

void CStatusPlate::ShowAnimated(CSpriteAnime* anime)
{
    if (Shown == 1 || GetFlag(PLATE_HOLD_FLAG) == 1)
        return;
    Animate(anime, true, GetFlag(PLATE_BUTTON_FLAG) != 0);
    Shown = 1;
}

void CStatusPlate::HideAnimated(CSpriteAnime* anime)
{
    if (Shown == 0)
        return;
    Animate(anime, false, m_button && m_button->IsVisible());
    Shown = 0;
}
