#pragma once
// The area screen: the player points at a place of a picture and confirms it. The places come
// from the hit source the script names, an id picture (".akb") or an ".area" file; the screen
// answers the decided id, 0 for back, cancel or another fixed button. The pointer takes the
// shape of the hovered place's group, the arrows glide it, the help bar lifts out of its way.
// Main thread only.

#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "platform/kernel/WinTypes.h"
#include "screens/map/IAreaSelect.h"

// Language texts of the help line.
inline constexpr int32_t AREA_TEXT_GROUP_BASE = 238; // + group 1..13
inline constexpr int32_t AREA_TEXT_BACK = 252;
inline constexpr int32_t AREA_TEXT_NOTHING = 259;
inline constexpr int32_t AREA_HELP_LIFT = 100;

// What the area screen and its character twin share: the pointer walk under the lifting help
// bar, the arrows, the backlog and the cancel, each screen with its own drawing and hit test.
class AreaPointerScreen : public IAreaSelect
{
public:
    AreaPointerScreen();

    void Update() override;
    void OnShiftKey() override { ShiftHeld = 1; }
    void OnBackspaceKey() override;
    int32_t OnUpKey() override { return MovePointer(0, -1, SCAN_UP); }
    int32_t OnDownKey() override { return MovePointer(0, 1, SCAN_DOWN); }
    int32_t OnLeftKey() override { return MovePointer(-1, 0, SCAN_LEFT); }
    int32_t OnRightKey() override { return MovePointer(1, 0, SCAN_RIGHT); }
    void OnMouseWheel(int32_t count) override;
    void OnCancel() override;

    // The pointer shape and help text of an id, with its button in a state.
    virtual void DrawAreaState(int32_t id, int32_t state, int32_t present) = 0;

    int32_t Hover = -1;
    POINT HelpBarHome{};
    RECT HelpBarRect{};
    int32_t ShiftHeld = 0;

protected:
    // The run of the area screens in a mode, without touching the snapshot bit or the wheel.
    ScriptValue* RunInMode(ScriptValue* out, int32_t mode);
    // Opens the backlog when it has entries, with the parts slid away meanwhile.
    void OpenBacklog();
    // The help line with a language text at size 40.
    void ShowLanguageHelp(int32_t text, int32_t show);
    int32_t MovePointer(int32_t dx, int32_t dy, uint32_t scan_code);
};

class CAreaSelect : public AreaPointerScreen
{
public:
    // Takes the parts and remembers where the help bar stands at home.
    int32_t CreateParts() override;
    ScriptValue* Run(ScriptValue* out) override;
    void OnOpen() override;
    void OnClose() override;
    void OnDecide() override;

    void DrawAreaState(int32_t id, int32_t state, int32_t present) override;
    // Empties the hit source, the own table and the id picture.
    void ClearFiles();

    CStringUTF8 HitSource;
};

// The cancel of the area screens: wheel reset, cancel sound, 0.
void CancelAreaScreen(ISelect& screen);
// The screen's help text from the system language table, empty without one.
CStringUTF8 AreaLanguageText(int32_t id);
