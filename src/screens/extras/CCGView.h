#pragma once
// The CG viewer, run by the gallery on one CG row. Page mode lays the CG's variants out as a page
// of up to nine thumbnails over the dimmed gallery; picture mode shows one seen variant composed
// from its base picture and overlays, steps to the next or previous seen variant across CG rows
// and gallery groups, and hands a picture taller than the screen to the scroll view. It ends
// from page mode with the row shown last x 256. Main thread only.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/kernel/WinTypes.h"
#include "screens/base/ISelect.h"
#include "screens/extras/CGTables.h"

class CCGMode;
class CSprite;
class CSpriteLayer;

// Hit ids of page mode beside the cells 0 to 8.
inline constexpr int32_t VIEW_PREVIOUS_PAGE = 256;
inline constexpr int32_t VIEW_NEXT_PAGE = 257;
inline constexpr int32_t VIEW_BACK = 512;
inline constexpr int32_t VIEW_CELLS = 9;

class CCGView : public ISelect
{
public:
    // The gallery's construction: the row list, the chosen row, its group and gallery page, the
    // parts sheet's name and the gallery that is redrawn behind the page.
    CCGView(std::vector<CGRow> rows, int32_t row, int32_t group, int32_t page, CStringUTF8 sheet, CCGMode* gallery);
    ~CCGView() override;

    // Stays out of the active-screen list.
    ScriptValue* Run(ScriptValue* out) override;
    void ModalLoop() override;
    void Show() override;
    void Hide() override;
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    void OnCtrlKey() override;
    void OnBackspaceKey() override;
    int32_t OnUpKey() override;
    int32_t OnDownKey() override;
    int32_t OnLeftKey() override;
    int32_t OnRightKey() override;
    void OnMouseWheel(int32_t count) override;
    void OnDecide() override;
    void OnCancel() override;

    // False when a sprite cannot be made.
    bool CreateSprites();
    void BuildPage(int32_t row, int32_t page);
    void DrawButtonState(int32_t id, int32_t state);
    void ShowVariant(int32_t j);
    void ShowPicture(const RECT& picture);
    void NextVariant();
    void PreviousVariant();

    // The cursor keys' target in page mode, or -1 for staying.
    int32_t CursorTarget(uint32_t scan_code) const;

    int32_t GetRow() const { return Row; }
    int32_t GetVariant() const { return Variant; }
    int32_t GetPage() const { return Page; }
    int32_t GetPageCount() const { return PageCount; }
    int32_t GetMode() const { return Mode; }
    int32_t GetHover() const { return HoverId; }
    bool IsCellSeen(int32_t k) const { return SeenCell[static_cast<size_t>(k)] != 0; }
    CSpriteLayer* GetPictureSprite() const { return PictureSprite.get(); }
    CSpriteLayer* GetPageSprite() const { return PageSprite.get(); }
    void SetHover(int32_t id) { HoverId = id; }
    void SetMode(int32_t mode) { Mode = mode; }

private:
    int32_t VariantCount(int32_t row) const;
    // The variant id at position j of the row, or -1.
    int32_t VariantId(int32_t row, int32_t j) const;
    bool IsSeen(int32_t row, int32_t j) const;
    void ChangePicture();
    // Page mode: warps to the key's target, redraws the hover and waits for the key's release.
    int32_t MoveByKey(uint32_t scan_code);
    void BackToPages(int32_t page);
    void WaitOkRelease();
    void WaitCancelRelease();
    CSpriteLayer* Parts() const;

    int32_t HoverId = -1;
    int32_t Row = 0;
    int32_t Variant = 0;
    int32_t GalleryPage = 0;
    int32_t GalleryGroup = 0;
    int32_t PageCount = 1;
    int32_t Page = 0;
    std::array<int32_t, VIEW_CELLS> SeenCell{};
    std::array<std::array<int32_t, 5>, 3> PresentCell{};
    int32_t Mode = 0;
    std::unique_ptr<CSpriteLayer> PageSprite;
    std::unique_ptr<CSpriteLayer> PictureSprite;
    std::unique_ptr<CSpriteLayer> HighlightSprite;
    std::unique_ptr<CSprite> VariantSheet;
    std::unique_ptr<CSprite> PartsSheet; // the viewer loads its own copy of the parts sheet
    CStringUTF8 PartsSheetName;
    CCGMode* Gallery = nullptr;
    std::vector<CGRow> Rows;
};
