#pragma once
// The place screen: what to do next at the current place. It shows the fixed buttons, the plate's
// button and the side menu, and hands over to the area screen for another area; flag byte 7999
// remembers that the area screen chose something, so the next opening goes straight there.
// Answers 0 (back, cancel), 0xFF02 (decide), 1 (return to the title) or the area screen's answer.
// Main thread only.

#include <cstdint>

#include "screens/map/IAreaSelect.h"

inline constexpr uint32_t AREA_HANDOVER_FLAG = 7999;

class CAreaBase : public IAreaSelect
{
public:
    using IAreaSelect::RunWithMode;
    // Runs the screen with the mode and answers its result.
    int32_t RunWithMode(int32_t mode)
    {
        ScriptValue result;
        return RunWithMode(&result, mode)->Integer;
    }

    void OnOpen() override;
    void OnClose() override;
    void Update() override;
    void OnBackspaceKey() override;
    int32_t OnUpKey() override { return OnArrowKey(0, SCAN_UP); }
    int32_t OnDownKey() override { return OnArrowKey(1, SCAN_DOWN); }
    int32_t OnLeftKey() override { return OnArrowKey(2, SCAN_LEFT); }
    int32_t OnRightKey() override { return OnArrowKey(3, SCAN_RIGHT); }
    void OnMouseWheel(int32_t count) override;
    void OnDecide() override;
    void OnCancel() override;

    void RefreshFixedButtons(int32_t mode);
    void RunAreaSelect();
    void DrawAreaState(int32_t id, int32_t state, int32_t present);
    // The id an arrow (0 up, 1 down, 2 left, 3 right) leads to from the hover; -1 for none.
    int32_t ArrowTarget(int32_t direction);

    int32_t Hover = -1;
    int32_t GameModeSeen = 0;

private:
    int32_t OnArrowKey(int32_t direction, uint32_t scan_code);
    void RunBacklog();
    void DecideMenuItem(int32_t id);
    void DecideFixedItem(int32_t item);
    // The sound, the pressed look, the wait and the normal look of a decided area.
    void Press(int32_t id, const char* sound);
    // Its parts: the sound (the OK sound when none is named), and the look with the wait.
    void PlayPressSound(const char* sound);
    void ShowPress(int32_t id);
    bool m_menu_pinned = false;
};
