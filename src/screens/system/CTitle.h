#pragma once
// The title menu: picture buttons on five pages (the main page and four sub-pages), drawn over
// whatever sprite layer 0 holds. A run answers 0 to start a game or 0x101 to 0x106 for the result
// items of the sub-pages; continue, load, settings and exit are served here and the title goes on
// unless the service ends the script's run. Built, run and destroyed by one exec command.

#include <array>
#include <cstdint>
#include <memory>

#include "graphics/CSprite.h"
#include "screens/base/ISelect.h"

inline constexpr int32_t TITLE_PAGE_COUNT = 5;
inline constexpr int32_t TITLE_BUTTON_COUNT = 20;
// The answers of the sub-pages' result items.
inline constexpr int32_t TITLE_RESULT_FIRST = 0x101;
inline constexpr int32_t TITLE_RESULT_LAST = 0x106;
// Flag bytes: the start item opens page 4; the first two items of pages 2 and 4 act.
inline constexpr uint32_t TITLE_START_PAGE_FLAG = 2026;
inline constexpr uint32_t TITLE_EXTRA_ITEMS_FLAG = 1898;

class CTitle : public ISelect
{
public:
    CTitle() = default;
    ~CTitle() override;

    // 1 when every button sprite was made; 0 at the first that was not (later ones are not made).
    virtual int32_t Setup();
    // Leaves the active screens and deletes the buttons and the sheet; safe to call twice.
    virtual void Release();
    // Draws an item of the current page in a state (gates may force disabled); with present shows
    // it at once. Item -1, an item the page lacks or a missing sprite draws nothing.
    virtual void DrawButton(int32_t item, int32_t state, int32_t present);
    // Runs the screen on the start page (outside 0 to 4: page 0) and answers its Result.
    ScriptValue* RunFromPage(ScriptValue* out, int32_t start_page);

    // Page 0; ShowPage1 to ShowPage4 the others: fade the page in, the others out, load its areas.
    void Show() override;
    void ShowPage1() { ShowPage(1); }
    void ShowPage2() { ShowPage(2); }
    void ShowPage3() { ShowPage(3); }
    void ShowPage4() { ShowPage(4); }
    void BuildParts(int32_t mode) override;
    // Stores the page in Values[2], paints the page's buttons into layer 0 (not from page 3).
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    int32_t OnUpKey() override { return MoveByArrow(SCAN_UP); }
    int32_t OnDownKey() override { return MoveByArrow(SCAN_DOWN); }
    int32_t OnLeftKey() override { return MoveByArrow(SCAN_LEFT); }
    int32_t OnRightKey() override { return MoveByArrow(SCAN_RIGHT); }
    void OnDecide() override;
    void OnCancel() override;

    int32_t GetPage() const { return m_page; }
    int32_t GetHovered() const { return m_hovered; }
    CSprite* GetButton(int32_t index) const;

private:
    void ShowPage(int32_t page);
    // Whether the item of the current page may act now.
    bool IsItemOpen(int32_t item);
    // Draws the item normal, shows a page and forgets the hover.
    void GoToPage(int32_t item, int32_t page);
    void Close(int32_t result);
    // Moves the cursor to the item the arrow key leads to and waits for the key's release.
    int32_t MoveByArrow(uint32_t scan_code);
    // Index of the page's item in the button table, or -1.
    int32_t ButtonIndex(int32_t page, int32_t item) const;

    int32_t m_hovered = -1;
    int32_t m_page = 0;
    std::array<std::unique_ptr<CSprite>, TITLE_BUTTON_COUNT> m_buttons;
    std::unique_ptr<CSprite> m_sheet;
};
