#pragma once
// Where the sub maps' spots, faces and back buttons lie, on the screen and on their sheets. One
// table serves the screen, the tests and the demo's generated sheets and area files, so pictures,
// hit areas and copies always agree. Counts, place lists and a few rows are fixed by the game's
// rules; the remaining coordinates are only ours.

#include <cstdint>
#include <span>

// Sub-map kinds (the game-state byte SubMapKind).
inline constexpr int32_t SUBMAP_KIND_FIRST = 0;
inline constexpr int32_t SUBMAP_KIND_SECOND = 1;
inline constexpr int32_t SUBMAP_KIND_LAST = 5;
inline constexpr uint32_t SUBMAP_KIND_FLAG = 7089;
// Flag byte choosing the picture of spot 19 of the first sub map.
inline constexpr uint32_t SUBMAP_SPOT19_FLAG = 763;
inline constexpr int32_t SUBMAP_SPOT19_INDEX = 19;
inline constexpr int32_t SUBMAP_SPOT19_SHEET_Y[2] = {2008, 2624};

inline constexpr int32_t SUBMAP_BACK_ITEM = 100;
inline constexpr int32_t SUBMAP_BACK_SIZE = 158;
inline constexpr int32_t SUBMAP_FACE_SIZE = 144;
inline constexpr int32_t SUBMAP_SPOT_LIMIT = 38;

struct SubMapSpot
{
    int32_t X, Y;           // on the screen
    int32_t SheetX, SheetY; // normal picture; hover Height below, pressed 2 x Height below
    int32_t Width, Height;
    int32_t Place; // the first place asked, -1 for none
};

struct SubMapPoint
{
    int32_t X, Y;
};

struct SubMapBackButton
{
    SubMapPoint Screen;
    SubMapPoint Sheet; // first of three cells stacked SUBMAP_BACK_SIZE apart
    bool OnIconLayer;  // the school's; the others lie on the parts layer
};

struct SubMapKindLayout
{
    const char* AreaFile;
    const char* Background;
    const char* PartsSheet;
    std::span<const SubMapSpot> Spots;
    std::span<const SubMapPoint> Faces; // indexed by place
    SubMapBackButton Back;
    int32_t SheetWidth, SheetHeight; // the parts sheet's size the coordinates need
};

// The layout of a kind; kinds 2 to 5 (and any other) share the school's.
const SubMapKindLayout& GetSubMapLayout(int32_t kind);
// The places spot asks in order (the single Place, or its longer list); empty for none.
std::span<const int32_t> GetSubMapSpotPlaces(int32_t kind, int32_t spot);
