#pragma once
// The time-of-day screen: eight buttons on a ring around a dial, a wide ninth button in mode 4
// and a back button. Built, set up, run once and destroyed by its script command; the result is
// the ring button k + 1, 9 for the ninth button, 0 for back and every cancel. Without its sheet
// or sprites it draws nothing. Main thread only.

#include <cstdint>
#include <memory>

#include "screens/base/ISelect.h"

class CSprite;

// Hit-area ids: 0..7 the ring, 8 the ninth button, group 1 item 0 the back button.
inline constexpr int32_t TIME_RING_COUNT = 8;
inline constexpr int32_t TIME_ID_NINTH = 8;
inline constexpr int32_t TIME_ID_BACK = 256;
inline constexpr int32_t TIME_NINTH_MODE = 4;
inline constexpr int32_t TIME_RING_WIDTH = 144;
inline constexpr int32_t TIME_RING_HEIGHT = 148;
struct TimeRingPosition
{
    int32_t X;
    int32_t Y;
};
inline constexpr TimeRingPosition TIME_RING_POSITIONS[TIME_RING_COUNT] = {
    {888, 48}, {1099, 135}, {1186, 346}, {1099, 556}, {888, 645}, {677, 556}, {590, 346}, {677, 135}};

class CTimeSelect : public ISelect
{
public:
    CTimeSelect() = default;
    ~CTimeSelect() override;

    // Loads the sheet and, when it loaded, makes both sprites; true only when all three exist.
    bool Setup();
    // Runs the screen once in the mode and copies its Result into out.
    virtual ScriptValue* RunWithMode(ScriptValue* out, int32_t mode);
    int32_t RunWithMode(int32_t mode)
    {
        ScriptValue result;
        return RunWithMode(&result, mode)->Integer;
    }
    int32_t GetMode() const { return Mode; }
    int32_t GetHover() const { return Hover; }

    // A button in a state (0 normal, 1 hover, 2 pressed); with present shows it at once. -1 and
    // the ninth button outside mode 4 draw nothing.
    virtual void DrawButton(int32_t id, int32_t state, int32_t present);
    // Clears both sprites and draws the dial, the panel, the mode's caption and every button.
    virtual void DrawScreen();

    void Show() override;
    void Hide() override;
    void BuildParts(int32_t mode) override;
    void OnClose() override { Hide(); }
    void OnOpen() override;
    void Update() override;
    int32_t OnUpKey() override { return MoveByArrow(0, SCAN_UP); }
    int32_t OnDownKey() override { return MoveByArrow(1, SCAN_DOWN); }
    int32_t OnLeftKey() override { return MoveByArrow(2, SCAN_LEFT); }
    int32_t OnRightKey() override { return MoveByArrow(3, SCAN_RIGHT); }
    void OnDecide() override;
    void OnCancel() override;

    // The id an arrow (0 up, 1 down, 2 left, 3 right) leads to from the hover, -1 for none.
    int32_t ArrowTarget(int32_t direction) const;

    CSprite* GetBackground() const { return m_background.get(); }
    CSprite* GetButtons() const { return m_buttons.get(); }

protected:
    int32_t Hover = -1;
    int32_t Mode = 0;

private:
    void Fade(bool appear);
    void LoadSheet();
    int32_t MoveByArrow(int32_t direction, uint32_t scan_code);

    std::unique_ptr<CSprite> m_sheet;
    std::unique_ptr<CSprite> m_background;
    std::unique_ptr<CSprite> m_buttons;
};
