#pragma once
// The title menu of the second scenario: one page of four picture buttons (start, continue, load,
// back) over "sptitle01.akb"; a run answers 0 for start and 1 for back or cancel. The exec command
// loads the sheet and makes the buttons before it registers the screen.

#include <array>
#include <cstdint>
#include <memory>

#include "graphics/CSprite.h"
#include "screens/base/ISelect.h"

inline constexpr int32_t TITLE_SP_BUTTONS = 4;
inline constexpr int32_t TITLE_SP_START = 0;
inline constexpr int32_t TITLE_SP_BACK = 1;

struct TitleButton;

class CTitleSP : public ISelect
{
public:
    CTitleSP() = default;
    ~CTitleSP() override;

    // The button table's place of an item (0 to 3).
    static const TitleButton& Place(int32_t item);
    // Loads the sheet and makes the buttons in item order, drawn normal; 1 when all were made.
    int32_t Setup();
    // Item -1, other items and missing sprites draw nothing; closed gates draw disabled.
    virtual void DrawButton(int32_t item, int32_t state, int32_t present);
    // Runs the screen among the active screens and answers its result.
    virtual int32_t Register();
    // Leaves the active screens, deletes the buttons and the sheet; safe to call twice.
    virtual void Release();

    void Show() override;
    void BuildParts(int32_t mode) override;
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    int32_t OnUpKey() override { return MoveByArrow(SCAN_UP); }
    int32_t OnDownKey() override { return MoveByArrow(SCAN_DOWN); }
    int32_t OnLeftKey() override { return MoveByArrow(SCAN_LEFT); }
    int32_t OnRightKey() override { return MoveByArrow(SCAN_RIGHT); }
    void OnDecide() override;
    void OnCancel() override;

    int32_t GetHovered() const { return m_hovered; }

    std::unique_ptr<CSprite> m_sheet;
    std::array<std::unique_ptr<CSprite>, TITLE_SP_BUTTONS> m_buttons;

private:
    bool IsItemOpen(int32_t item);
    // Moves the cursor to the item the arrow key leads to and waits for the key's release.
    int32_t MoveByArrow(uint32_t scan_code);

    int32_t m_hovered = -1;
    int32_t m_page = 0;
};
