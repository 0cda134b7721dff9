#pragma once
// The choice window: shows the choices the script collected under its current key, eight to a
// page on plates sized to the widest text, and hands back the picked value + 1 (0 when a
// cancel may end it). While it runs, the message window's button row and the side menu stay
// usable over it; in scene replay only the choices whose flag byte is 1 can be picked. Opening it
// auto-saves unless the game state says otherwise. Main thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "screens/base/CHitAreaTable.h"
#include "screens/base/CMesButton.h"
#include "script/FlagBuffer.h"

class CSpriteLayer;
struct ChoiceBranch;

// The choice ids: plates 0-7 of the page, then the two arrows.
inline constexpr int32_t CHOICES_PER_PAGE = 8;
inline constexpr int32_t CHOICE_PREV_ARROW = 8;
inline constexpr int32_t CHOICE_NEXT_ARROW = 9;
// Plate pieces in the picture sheet.
inline constexpr int32_t CHOICE_PLATE_HEIGHT = 108;
inline constexpr int32_t CHOICE_PLATE_STEP = 116;
inline constexpr int32_t CHOICE_TILE = 36;
inline constexpr int32_t CHOICE_ARROW_WIDTH = 406;
inline constexpr int32_t CHOICE_ARROW_HEIGHT = 52;
inline constexpr int32_t CHOICE_PREV_ARROW_Y = 324;
inline constexpr int32_t CHOICE_NEXT_ARROW_Y = 480;
inline constexpr int32_t CHOICE_ICON_X = 406;
inline constexpr int32_t CHOICE_ICON_Y2 = 504;
inline constexpr int32_t CHOICE_ICON_Y3 = 414;
inline constexpr int32_t CHOICE_ICON_WIDTH = 109;
inline constexpr int32_t CHOICE_ICON_HEIGHT = 90;
// The flag byte of the choice with value V is V + this.
inline constexpr uint32_t CHOICE_FLAG_BASE = 1920;
inline constexpr uint32_t FLAG_NO_CHOICE_AUTO_SAVE = 7076;
inline constexpr uint32_t FLAG_CHOICE_CANCEL_ENDS = 7077;
// The slot table's share of flag file 0, read again at every opening.
inline constexpr int32_t CHOICE_SLOT_TABLE_BYTES = 31009;

class CNormalSelect2 : public CMesButton
{
public:
    CNormalSelect2();
    ~CNormalSelect2() override;

    ScriptValue* Run(ScriptValue* out) override;
    void Show() override;
    void Hide() override {}
    int32_t IsShown() override { return m_shown; }
    void BuildParts(int32_t mode) override;
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    void OnBackspaceKey() override;
    int32_t OnUpKey() override { return OnCursorKey(SCAN_UP); }
    int32_t OnDownKey() override { return OnCursorKey(SCAN_DOWN); }
    int32_t OnLeftKey() override { return OnCursorKey(SCAN_LEFT); }
    int32_t OnRightKey() override { return OnCursorKey(SCAN_RIGHT); }
    void OnMouseWheel(int32_t count) override;
    void ModalLoop() override { ISelect::ModalLoop(); }
    void OnDecide() override;
    void OnCancel() override;
    // Made once at start-up, after the message window's, whose button row it shares.
    int32_t CreateParts() override;
    void ReleaseParts() override;

    // Hides the choice window and the current message window.
    virtual void HideAll();
    void DrawChoiceState(int32_t id, int32_t state);
    void BuildChoicePlates();
    void DrawPage(int32_t page);
    // Answers 0 when the page drawing is to stop.
    int32_t DrawChoicePlate(int32_t i, int32_t state, uint8_t flag, const RECT& rect);
    void DrawPrevArrow(int32_t state);
    void DrawNextArrow(int32_t state);
    void PlayOpenAnimation();

    // Where a cursor key sends the pointer from the hovered id on a page of n plates: a choice
    // id, or -1 for no move.
    static int32_t KeyTarget(uint32_t scan_code, int32_t from, int32_t n, int32_t page, int32_t last_page);

    // The value of a variable and a choice's flag byte, read safely: a variable outside the array
    // reads -1, a flag byte 0.
    int32_t ChoiceTextId(int32_t value);
    uint8_t ChoiceFlag(int32_t value);
    // Plates of page 0 and on show the choices in list order.
    const std::vector<ChoiceBranch>* CurrentList();

    int32_t GetButtonHover() const { return m_button_hover; }
    int32_t GetPage() const { return m_page; }
    int32_t GetLastPage() const { return m_last_page; }
    int32_t GetPlateCount() const { return m_plates; }
    int32_t GetPlateWidth() const { return m_plate_width; }
    const std::vector<HitArea>& GetChoiceAreas() const { return m_areas; }
    CSpriteLayer* GetWindowSprite() { return m_window.get(); }
    CSpriteLayer* GetPlateLayer() { return m_plate_layer.get(); }

private:
    CSpriteLayer* Picture();
    // The sprite the script's text goes to (Values[53]), or null.
    CSpriteLayer* TextLayer();
    void DrawArrow(int32_t id, int32_t source_y, int32_t state);
    bool IsSelectable(int32_t i);
    // The value of plate i of the page, or nullptr.
    const ChoiceBranch* ItemOnPage(int32_t i);
    // Runs the choice text's code; measure answers its width in half-width units.
    int32_t RunChoiceText(const ChoiceBranch& item, bool measure);
    int32_t OnCursorKey(uint32_t scan_code);
    void OnSideMenuCode(int32_t slot);
    void OpenBacklog();
    void SetFontSize(int32_t size);
    void PresentFrame();

    int32_t m_button_hover = -1;
    int32_t m_shown = 0;
    std::unique_ptr<CSpriteLayer> m_plate_layer;
    std::unique_ptr<CSpriteLayer> m_window;
    std::unique_ptr<CSprite> m_picture;
    int32_t m_last_page = 0;
    int32_t m_page = 0;
    int32_t m_plates = 0;
    int32_t m_plate_width = 0;
    int32_t m_origin_x = 0;
    int32_t m_origin_y = 0;
    std::vector<HitArea> m_areas;
    FlagBuffer m_saved;
    int32_t m_parts = 0;
};
