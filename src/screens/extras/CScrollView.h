#pragma once
// Pans vertically over a picture taller than the screen: the picture lies whole in document
// sprite layer 1, and a 1920 x 1080 window of it is copied into the target sprite, moved by
// dragging (the picture follows the pointer), the wheel and the Up and Down keys, one pixel a
// step. Built and run by the CG viewer; the cancel inputs end it. Main thread only.

#include <cstdint>

#include "screens/base/ISelect.h"
#include "platform/kernel/WinTypes.h"

class CSpriteLayer;

// The cursor resources of the executable the view shows.
inline constexpr int32_t CURSOR_OPEN_HAND = 1011;
inline constexpr int32_t CURSOR_CLOSED_HAND = 118;

class CScrollView : public ISelect
{
public:
    // The picture's rectangle in document sprite layer 1; top 0, bottom its height.
    CScrollView(CSpriteLayer* target, const RECT& picture);

    // Ends at once when document sprite layer 1 or the target is missing.
    void ModalLoop() override;
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    int32_t OnUpKey() override;
    int32_t OnDownKey() override;
    int32_t OnLeftKey() override { return 0; }
    int32_t OnRightKey() override { return 0; }
    void OnDrag() override { OnDecide(); }
    void OnMouseWheel(int32_t count) override;
    void OnDecide() override;
    void OnCancel() override;

    int32_t GetOffsetY() const { return OffsetY; }

private:
    int32_t Clamp(int32_t offset) const;
    // Copies the window at the offsets into the target and presents the frame.
    void CopyWindow();
    POINT PointerOnScreen();
    void SetCursorShape(int32_t id);

    CSpriteLayer* Target = nullptr; // not owned
    RECT PictureRect{};
    int32_t OffsetX = 0;
    int32_t OffsetY = 0;
};
