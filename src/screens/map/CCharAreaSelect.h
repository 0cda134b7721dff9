#pragma once
// The character-area screen: the player points at a standing character and confirms it. The
// area screen's twin for one run of its script command, in mode 3: its hit test asks only the
// shared areas, the side menu and the characters' id pictures, its place texts are smaller and a
// fixed button answers 0 at once; it has no hit source and leaves the id picture alone. Its help
// bar's home is the bar's open position, wherever the bar stands when the screen is built. Main
// thread only.

#include <cstdint>

#include "screens/map/CAreaSelect.h"

class CCharAreaSelect : public AreaPointerScreen
{
public:
    CCharAreaSelect();

    ScriptValue* Run(ScriptValue* out) override;
    int32_t CreateParts() override;
    void OnOpen() override;
    void OnClose() override;
    void OnDecide() override;
    int32_t HitTestCursor() override;
    void DrawAreaState(int32_t id, int32_t state, int32_t present) override;

    // Runs once and answers the result.
    int32_t RunScreen()
    {
        ScriptValue result;
        return Run(&result)->Integer;
    }
};
