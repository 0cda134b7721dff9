#pragma once
// The flag check menu, page 10 of the system menu: the fifteen heroines as picture buttons in a
// five by three grid and a back button. Choosing a heroine opens her event schedule on the same
// shared view; backing out of it brings the list back. One object serves the whole game.
// Main thread only.

#include <cstdint>
#include <memory>

#include "screens/system/ISystemParts.h"

class CSprite;

inline constexpr int32_t FLAG_MANAGER_BACK = 256;
// Ids of the system-menu map under the pointer: this base plus the map's byte.
inline constexpr int32_t FLAG_MANAGER_MENU_MAP = 0xF00;

class CFlagManager : public ISystemParts
{
public:
    CFlagManager();
    ~CFlagManager() override;

    int32_t CreateParts() override;
    void ReleaseParts() override;
    // Runs the menu without entering the active screens; a document code closes it and goes on.
    ScriptValue* Run(ScriptValue* out) override;
    void Show() override;
    void Hide() override;
    void BuildParts(int32_t mode) override;
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    int32_t OnUpKey() override;
    int32_t OnDownKey() override;
    int32_t OnLeftKey() override;
    int32_t OnRightKey() override;
    void OnDecide() override;
    void OnCancel() override;

    void DrawScreen();
    void DrawButton(int32_t id, int32_t state, int32_t redraw);
    void ShowHelpText(int32_t id, int32_t show);
    // The target of a cursor key from the current id; -1 none.
    static int32_t KeyTarget(int32_t current, uint32_t scan_code);
    // The id under the pointer: a button, a system-menu map byte, or -1.
    int32_t HoverId();

    int32_t CurrentId = -1;

private:
    void MoveByKey(uint32_t scan_code);
    void WaitOkRelease();
    void ShowDetails(int32_t heroine);

    std::unique_ptr<CSprite> PartsSheet;
    std::unique_ptr<CSprite> BackgroundSheet;
    std::unique_ptr<CSprite> HelpTextLayer;
};
