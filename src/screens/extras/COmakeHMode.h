#pragma once
// The scene replay heroine grid: 16 heroine buttons, each open once her clear flag is set, and a
// return button. Choosing one ends the screen with her index in the game state's Values[10].
// The gallery's tab areas are reachable by the cursor keys but neither drawn nor acted on.
// Main thread only.

#include <array>
#include <cstdint>

#include "screens/extras/OmakePageFrame.h"

inline constexpr int32_t HMODE_HEROINES = 16;

class COmakeHMode : public OmakePageFrame
{
public:
    COmakeHMode();
    ~COmakeHMode() override;

    int32_t CreateParts() override;
    void ReleaseParts() override;
    void BuildParts(int32_t mode) override;
    void Show() override;
    void OnOpen() override;
    void OnDecide() override;
    void OnCancel() override;
    void DrawPage(int32_t group, int32_t page, int32_t present) override;
    int32_t CursorTarget(CursorKey key) const override;

    bool IsEnabled(int32_t i) const { return i >= 0 && i < HMODE_HEROINES && Enabled[static_cast<size_t>(i)]; }

protected:
    int32_t HeroineState(int32_t i, int32_t state) override;

private:
    std::array<bool, HMODE_HEROINES> Enabled{};
};
