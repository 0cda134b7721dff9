#pragma once
// The calendar plate at the top left: date, weekday, twelve-hour time, money and the button that
// switches "/Config/GameMode". Never run as a screen: it borrows the screen base's sprite and
// flag services and is shown, hidden and redrawn by the screens and script commands that carry
// it. A sheet that failed to load leaves its copies out; the plate's own sprites must exist.
// Main thread only.

#include <cstdint>
#include <memory>

#include "screens/base/ISelect.h"

class CSprite;
class CSpriteAnime;

// Flag bytes the plate reads.
inline constexpr uint32_t PLATE_BUTTON_FLAG = 8003; // 0 keeps the mode button off
inline constexpr uint32_t PLATE_HOLD_FLAG = 4084;   // 1 keeps the plate from appearing

class CStatusPlate : public ISelect
{
public:
    CStatusPlate();
    ~CStatusPlate() override;

    // 1 when the three sprites are made, 0 otherwise; the sheet may be missing.
    virtual int32_t Setup();
    int32_t IsShown() override { return Shown; }
    // Loads the rebuild sheet and draws everything again.
    void BuildParts(int32_t mode) override;
    // With an animation the plate only adds its sprites and steps to it; without, it plays them.
    virtual void ShowAnimated(CSpriteAnime* anime = nullptr);
    virtual void HideAnimated(CSpriteAnime* anime = nullptr);
    // Money, date, weekday, time and the button's normal state from the game state.
    virtual void DrawCalendar();
    // The button in a state (0 normal, 1 hover, 2 pressed), only while the button flag is set.
    virtual void DrawButton(int32_t state, int32_t present);

    CSprite* GetCalendarSprite() const { return m_calendar.get(); }
    CSprite* GetMoneySprite() const { return m_money.get(); }
    CSprite* GetButtonSprite() const { return m_button.get(); }

protected:
    // Composites the time text's digits and colons into the sprite from x 96.
    void DrawTimeText(CSprite* sprite, const char* text);

    std::unique_ptr<CSprite> m_sheet;
    std::unique_ptr<CSprite> m_calendar;
    std::unique_ptr<CSprite> m_money;
    std::unique_ptr<CSprite> m_button;
    int32_t Shown = 0;

private:
    void DrawMoney();
    void DrawDateAndTime();
    void CopyButtonCell(int32_t state);
    // Adds the fade step to the plate's sprites (the button as asked) and plays it when no
    // animation was given.
    void Animate(CSpriteAnime* anime, bool appear, bool with_button);
};
