#pragma once
// The town map.

#include <array>
#include <memory>
#include <vector>

#include "screens/base/IRightMenu.h"
#include "screens/base/ISelect.h"
#include "screens/map/MapViewComposer.h"
#include "screens/map/TownMapData.h"

class CPresence;
class CScript;
class CSprite;
class CSpriteLayer;
class ILayer;

// The icon sheet and the clock through which the town map's icons ask who is where.
struct PresenceIconBoard
{
    PresenceIconBoard();
    ~PresenceIconBoard();

    std::shared_ptr<CSprite> Sheet;
    std::unique_ptr<CPresence> Clock; // replaceable, so tests can watch the questions
};

class CCps : public ISelect, public IRightMenu
{
public:
    // The screen: made once at start-up, run by sub-command 30.
    int32_t CreateMenu() override;
    void ReleaseMenu() override;
    void Show() override;
    void OnOpen() override;
    void OnClose() override;
    // Paces the map steps by "/Config/MapSpeed" against the last step (no catch-up), ends the
    // screen on an event area, drives the side menu and the hover, redraws a changed GameMode.
    // A step that showed nothing leaves the loop resting until something ends the rest.
    void Update() override;
    void OnDecide() override;
    // The sub map; an answer r other than -1 ends the map with r | 0xFF00.
    void OnCancel() override;
    void DrawHover(int32_t id, int32_t state);
    // Milliseconds between map steps: 66, 33 or 16 by "/Config/MapSpeed" (0, other, 2).
    static uint32_t StepInterval();
    uint32_t LastUpdateStep = 0;
    uint32_t LastFrameTime = 0;
    // Whether the loop's last step redrew the view (the leader moved), and whether it changed
    // nothing at all: what the next step is due for.
    bool LastStepShown = true;
    bool LastStepSettled = false;
    int32_t HoverId = -1;
    uint32_t ShownGameMode = 0;
    bool MenuOpenedByTab = false;
    // One town-map command (0-34); it pops its own sub-command and arguments and answers in
    // Values[18] or on the stack. Indexes out of range do nothing once their arguments are popped.
    virtual void ExecCommand(CScript& script);
    // One map step: steering keys, the movers, the view redrawn when anything moved; the leader's
    // result.
    uint16_t RunFrame();

    // 1 when "icon_p.akb" loaded; 0 leaves the sheet empty and the icons without pictures.
    uint32_t LoadIconSheet();
    // Clears the whole target and paints the icons of the map kind in the game state.
    void DrawSubmapPresenceIcons(CSprite* target);
    // The town places' icons.
    void DrawPresenceIcons(CSprite* target);

    PresenceIconBoard Icons;

    // The map's data (sub-commands 0, 4 and 12). A reader that cannot read or accept its file
    // shows why, leaves its buffer empty and answers 0; the loader then stops.
    uint32_t ReadMapFile(const CStringUTF8& name);
    uint32_t ReadMoverFile(const CStringUTF8& name);
    uint32_t ReadEventAreaFile(const CStringUTF8& name);
    uint32_t LoadWalkMap(const CStringUTF8& name);
    uint32_t LoadMovers(const CStringUTF8& name);
    uint32_t LoadEventAreas(const CStringUTF8& name, uint32_t mode);
    void BuildViewCells();
    // Also makes the next picture-mode frame compose the whole view: pictures changed other than
    // through the map's own loaders are drawn after it.
    void ClearDrawCache();
    void ComposeMovers();
    // The id of the event area the leader stands in and faces into, by the check's mode; 0xFFFF
    // for none.
    uint16_t CheckEventAreas();
    // The block byte of a cell; cells off the grid read as blocked.
    uint8_t BlockAt(int32_t x, int32_t y) const;
    MapCell CellAt(int32_t x, int32_t y);
    // Mover i, or a null record view when it has none.
    MapMover MoverAt(size_t i) const { return MapMover(i < Movers.size() ? Movers[i] : nullptr); }

    // The movers (one tick, one program step, the steps and slides); 0 done, 65535 blocked.
    uint16_t StepMovers();
    uint16_t RunMoveProgram(MapMover mover);
    uint16_t StepUp(MapMover mover, int32_t animate);
    uint16_t StepDown(MapMover mover, int32_t animate);
    uint16_t StepLeft(MapMover mover, int32_t animate);
    uint16_t StepRight(MapMover mover, int32_t animate);
    uint16_t SlideAroundVertical(MapMover mover, uint8_t block, int32_t animate);
    uint16_t SlideAroundHorizontal(MapMover mover, uint8_t block, int32_t animate);
    // The single slides, one cell sideways; a blocked right or up slide tries the other side
    // unless that side was occupied.
    uint16_t SlideRight(MapMover mover, int32_t animate, bool left_occupied);
    uint16_t SlideLeft(MapMover mover, int32_t animate);
    uint16_t SlideUp(MapMover mover, int32_t animate, bool down_occupied);
    uint16_t SlideDown(MapMover mover, int32_t animate);
    uint16_t StepAlongPath(MapMover mover);
    uint16_t StepSteered(MapMover mover);
    // Direction bits (1 up, 2 left, 4 right, 8 down), or 254 for cancel.
    uint16_t ReadSteering(MapMover mover);
    // The direction bits of the steering keys held.
    uint16_t SteeringKeyBits();
    // Whether the player holds what steers the leader: a steering key or the left button.
    bool SteeringHeld();
    uint16_t SteerTowardsCursor(MapMover mover);
    void WaitForNextStep();

    CCps();
    ~CCps() override;

    // Drawing (sub-commands 10 and 11): the view into the target sprite's layer, in picture mode
    // (DrawMode 0) or tile mode, then one frame at once. RedrawMap draws into sprite layer 0 of
    // the document's registry, and nothing without one.
    void DrawMap(CSprite* target);
    void RedrawMap();
    // The movers by Y, 120 x 120 frames from picture slot 0 (mover 0) or 1 (the others).
    void DrawMovers(CSprite* target);
    void DrawCell(const ViewCell& cell, int32_t x, int32_t y, CSprite* target);
    // Makes the composite (1920 x 1104), the map picture and the overlay picture, the two at the
    // map-picture size; false when one cannot be made. CreateMenu makes them at start-up and they
    // live with the map: their untouched rows cost no memory.
    bool CreateMapLayers();
    void ReleaseMapLayers();
    // Whether the picture-mode view of the last frame is kept; the map data's release ends it.
    bool HoldsKeptView() const { return m_view.HoldsView(); }
    // The map pictures' size for CreateMapLayers: 8400 x 5040 unless set (tests set a small one).
    static void SetMapPictureSize(int32_t width, int32_t height);
    static SIZE GetMapPictureSize();

    std::vector<uint8_t> WalkMapBuffer;
    MoveProgramBlock MoveProgramData;
    std::array<uint8_t*, MAP_MOVER_LIMIT> Movers{}; // not owned: records inside MoveProgramData
    uint32_t MoverCount = 0;
    std::vector<uint8_t> CollisionGrid =
        std::vector<uint8_t>(MAP_MAX_COLUMNS * MAP_MAX_ROWS * MAP_CELL_SIZE, 0);
    MapCamera Camera;
    ViewCellArray ViewCells{};
    ViewCellArray DrawnCells{};
    std::vector<uint8_t> EventAreaBuffer;
    std::vector<MapEventArea> EventAreas;
    uint8_t EventCheckPending = 0;
    uint8_t EventCheckMode = 0;
    uint16_t LastEventId = 0xFFFF;
    std::array<TrailEntry, MAP_TRAIL_LENGTH> TrailRing{};
    uint16_t TrailHead = 0;
    // Direction bits of the prepared path, row-major, 255 cells a row.
    std::vector<uint8_t> DirectionGrid = std::vector<uint8_t>(MAP_MAX_COLUMNS * MAP_MAX_ROWS, 0);
    uint16_t PathLength = 0;

    // Path search: FindPath numbers the free cells from PathTarget towards the figure's foot
    // (X, Y + 1), TracePath writes the way's direction bits into DirectionGrid. The caller fills
    // DistanceGrid first (PrepareDistanceGrid). Both answer 1 for a path, 0 for none.
    uint32_t FindPath(MapMover figure);
    uint32_t TracePath(int32_t start_x, int32_t start_y);
    void BacktrackPath(uint16_t step);
    bool FitsAbove(uint16_t mark) const;
    bool FitsBelow(uint16_t mark) const;
    bool FitsRight(uint16_t mark) const;
    // 65534 on free cells of the map, 65535 elsewhere, and no direction bits.
    void PrepareDistanceGrid();
    // Cells off the map read as walls, so no test wraps into the next row or leaves the grid.
    uint16_t DistanceAt(int32_t x, int32_t y) const;
    struct
    {
        uint16_t TargetX = 0;
        uint16_t TargetY = 0;
    } PathTarget;
    // Row-major, 255 cells a row: 65535 wall or dead end, 65534 free, 65533 the foot, else steps.
    std::vector<uint16_t> DistanceGrid = std::vector<uint16_t>(MAP_MAX_COLUMNS * MAP_MAX_ROWS, 65535);
    uint8_t DiagonalStep = 0;
    bool FastStep = false;
    bool PathStepping = false;
    uint32_t LastStepTime = 0;
    uint16_t LeaderResult = 0xFFFF;
    uint8_t MovedDirections = 0;
    int32_t DrawMode = 0;
    std::unique_ptr<CSpriteLayer> Composite;
    std::unique_ptr<CSpriteLayer> MapPicture;
    std::unique_ptr<CSpriteLayer> OverlayPicture;
    std::unique_ptr<CSprite> PresenceOverlay;
    std::array<std::unique_ptr<CSprite>, 2> PictureSlot;
    std::array<CStringUTF8, 2> SlotNames;
    CStringUTF8 MapPictureName;
    CStringUTF8 OverlayPictureName;
    // The pictures each map layer was given since it was made, in order: the data's release
    // (sub-command 34) gives the layers' pixels back, and the next draw that reads them loads the
    // same pictures the same way again. A layer given more pictures than are kept here keeps its
    // pixels.
    std::vector<CStringUTF8> MapPictureLoads;
    std::vector<CStringUTF8> OverlayPictureLoads;
    bool MapPicturesReleased = false;
    RECT MapPictureRect{};
    struct
    {
        uint8_t Armed = 0;
        uint8_t* Target = nullptr; // not owned: a record inside MoveProgramData
        uint8_t State = 0;
        uint8_t Opcode = 0;
        uint8_t Count = 0;
    } WalkEndRestore;

private:
    // What a map step may advance. A step that leaves all of it as it was would, without new
    // input, be followed by the same step: the map is settled.
    struct StepState
    {
        std::array<uint8_t, MAP_MOVER_LIMIT * MAP_MOVER_RECORD_SIZE> Movers{};
        MapCamera Camera;
        uint16_t TrailHead = 0;
        uint16_t PathLength = 0;
        uint16_t LeaderResult = 0;
        uint16_t LastEventId = 0;
        uint8_t EventCheckPending = 0;
        std::array<uint8_t, 4> WalkEnd{};
        const uint8_t* WalkEndTarget = nullptr;
        bool operator==(const StepState&) const = default;
    };
    StepState CaptureStepState() const;
    // The drawn movers' indexes, stably sorted by Y.
    std::vector<uint32_t> MoverDrawOrder();
    // The movers in that order as drawn, only their rows from top to bottom (exclusive).
    std::vector<MapFigure> MoverFigures(const std::vector<uint32_t>& order, int32_t top, int32_t bottom);
    void DrawMoverRows(ILayer* layer, const std::vector<uint32_t>& order, int32_t top, int32_t bottom);
    enum class Way
    {
        Up,
        Down,
        Left,
        Right
    };
    uint16_t Step(MapMover mover, Way way, int32_t animate);
    uint16_t Slide(MapMover mover, Way way, int32_t animate, bool other_side_occupied);
    // Moves the camera after the mover moved one cell; true when the mover was in the scroll zone.
    bool FollowWithCamera(MapMover mover, Way way);
    // Whether the mover stands where a step that way scrolls a following camera.
    bool InScrollZone(MapMover mover, Way way) const;
    void MoveOneCell(MapMover mover, Way way);
    bool EdgeBlocked(MapMover mover, Way way, uint8_t* block) const;
    uint16_t Tail(MapMover mover);
    void AppendTrail(MapMover mover);
    void EndWalk();
    uint16_t MoveByBits(MapMover mover, uint16_t bits, bool horizontal_first, bool& moved);
    // Shows a program's message once per mover-file load; later ones are only logged.
    void ProgramMessage(int which, const char* text);
    uint8_t* CellAtOffset(int32_t x, int32_t y);
    void SetDistance(int32_t x, int32_t y, uint16_t value);
    // Mover i when the script's index names one, else a null view.
    MapMover ScriptMover(int32_t i) const;
    void Answer(uint32_t answer);
    void SetValue(size_t index, uint32_t value);
    void PlaceMover(int32_t i, const TrailEntry& at);
    void ClampCamera();
    void PlaceFromViewPoint(int32_t point, int32_t i, int32_t facing);
    void PlaceFromFlags(int32_t i);
    void StartProgram(int32_t i, int32_t program);
    void StartWalk(int32_t k, int32_t x, int32_t y);
    void LoadPictureSlot(const CStringUTF8& name, int32_t n);
    void LoadMapPicture(const CStringUTF8& name);
    void LoadOverlayPicture(const CStringUTF8& name);
    void ReleaseMapData();
    void ReleaseMapPictures();
    void RestoreMapPictures();
    void SideMenuAction(int32_t button);
    void CaptureWithoutMenu();
    void TogglePresenceMode();
    void EndWith(int32_t result);
    bool ReadDataFile(const CStringUTF8& name, std::vector<uint8_t>& out);
    void RefuseDataFile(const CStringUTF8& name, std::vector<uint8_t>& buffer);
    std::array<bool, 2> m_message_shown{};
    // The picture-mode view of the last frame drawn over the whole window.
    MapViewComposer m_view;
};
