#pragma once
// The event schedule: fifteen heroine rows by seventeen day columns (22 December to 7 January),
// one mark a day for the event of that day (seen, still possible, missed), a bar of the share of
// each heroine's events seen, the clock and today's column. The rows are drawn once on a tall
// canvas that scrolls behind a window; hovering a cell opens the event panel, and each heroine's
// next event can be chosen, which moves the play into it. A fresh object serves each visit.
// Main thread only.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "game/hints/FlagHintRecord.h"
#include "screens/system/ISystemParts.h"

class CSprite;

inline constexpr int32_t FLAG_ROWS = 15;
inline constexpr int32_t FLAG_DAYS = 17;
inline constexpr int32_t FLAG_CELLS = FLAG_ROWS * FLAG_DAYS;
// Thumb units: 534 of them scroll the 1600 pixels the 800-pixel window does not show.
inline constexpr double FLAG_SCROLL_MAX = 534.0;
inline constexpr double FLAG_SCROLL_STEP = 6.675; // 20 pixels
inline constexpr double FLAG_PIXELS_PER_UNIT = 800.0 / 267.0;
// The grid window on the screen (right and bottom exclusive), where canvas row 0 begins.
inline constexpr RECT FLAG_GRID_WINDOW{1, 136, 1703, 936};
// The first grid cell id: (row + 10) x 256 + day.
inline constexpr int32_t FLAG_CELL_GROUP = 10;
// Controls of "FlagDetails.area".
inline constexpr int32_t FLAG_ID_UP = 0;
inline constexpr int32_t FLAG_ID_DOWN = 1;
inline constexpr int32_t FLAG_ID_THUMB = 2;
inline constexpr int32_t FLAG_ID_BACK = 256;
// The system-menu page of the flag screens and the event panel's size.
inline constexpr int32_t FLAG_PAGE = 10;
inline constexpr int32_t FLAG_PANEL_WIDTH = 480;
inline constexpr int32_t FLAG_PANEL_HEIGHT = 231;
// The confirmation asked before a jump, and its depth.
inline constexpr int32_t FLAG_JUMP_DIALOG_KIND = 11;
inline constexpr int32_t FLAG_JUMP_DIALOG_DEPTH = 120;

// Day column of a MMDD date (January as month 13); outside 0..16 for days off the grid.
int32_t FlagDayIndex(int32_t date);

class CFlagDetails : public ISystemParts
{
public:
    CFlagDetails();
    ~CFlagDetails() override;

    int32_t CreateParts() override;
    void ReleaseParts() override;
    // Runs the schedule with the heroine's row third from the top where the range allows.
    ScriptValue* RunForHeroine(ScriptValue* out, int32_t heroine);

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
    void OnDrag() override;
    void OnMouseWheel(int32_t count) override;
    void OnDecide() override;
    void OnCancel() override;

    // The opening's two halves: the lists from the present state, then their cells.
    void BuildLists();
    void PlaceLists();
    void DrawPage();
    void ScrollGrid(int32_t thumb_state, int32_t redraw);
    void DrawControl(int32_t id, int32_t state, int32_t redraw);
    void ShowHelpText(int32_t id, int32_t show);
    void ShowEventPanel(int32_t id, int32_t shown);
    void DragThumb();
    CStringUTF8 FormatDate(int32_t date) const;
    CStringUTF8 FormatTime(int32_t time) const;
    // The three lines (or the note line of a missed event) the panel shows for a record.
    CStringUTF8 PanelText(const FlagHintRecord& record) const;

    // The grid scroll in pixels.
    int32_t ScrollPixels() const;
    FlagHintRecord* Slot(int32_t row, int32_t day) const { return DaySlots[static_cast<size_t>(row * FLAG_DAYS + day)]; }
    CSprite* GetPanelFrame() const { return PanelFrame.get(); }
    CSprite* GetPanelText() const { return PanelTextSprite.get(); }
    CSprite* GetPlateCanvas() const { return PlateCanvas.get(); }

    int32_t CurrentId = -1;
    double ScrollPos = 0.0;
    std::vector<std::vector<FlagHintRecord>> HintLists;
    std::vector<HitArea> GridAreas;
    std::array<FlagHintRecord*, FLAG_CELLS> DaySlots{};

    // Moves the cells' hit rectangles to the scroll.
    void MoveGridAreas();
    // The id a cursor key leads to from CurrentId; -1 none.
    int32_t KeyTarget(uint32_t scan_code) const;

private:
    // The cell under a screen point, or -1.
    int32_t CellAt(POINT point) const;
    // A cell's hit rectangle clipped to the grid window.
    RECT VisiblePart(int32_t row, int32_t day) const;
    int32_t FirstVisibleRow() const;
    int32_t LastVisibleRow() const;
    // Warps to a control or to the visible part of a cell (nothing when hidden), then follows.
    void MoveToTarget(int32_t id, uint32_t scan_code);
    void ScrollBy(double units);
    void DrawClock();
    void DrawRow(int32_t row);
    void DrawMark(const FlagHintRecord& record, int32_t row, int32_t day, int32_t state);
    void DrawPanelFrame(int32_t rows, int32_t day, bool upwards);
    void ChooseNextEvent(int32_t id, const FlagHintRecord& record);
    void WaitOkRelease();

    std::unique_ptr<CSprite> PartsSheet;
    std::unique_ptr<CSprite> PlateCanvas;
    std::unique_ptr<CSprite> BackgroundSheet;
    std::unique_ptr<CSprite> HelpTextLayer;
    std::unique_ptr<CSprite> PanelFrame;
    std::unique_ptr<CSprite> PanelTextSprite;
};
