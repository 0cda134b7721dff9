#pragma once
// The CG list and the composition table: game data shipped in the data archive as two UTF-8 text
// files. "cglist.txt" holds one line per CG row in table order: group (0 to 16), FirstVariant,
// VariantCount and the row's sheet name, tab-separated; a group's rows follow the previous
// group's. "cgcompose.txt" holds one line per composition row in table order: variant id, base
// picture name and up to seven overlay names. "#" starts a comment; blank lines are passed over.
// One loaded copy serves the gallery, the viewer, the seen-CG registry and the group unlock.
// Main thread only.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "foundation/CStringUTF8.h"

inline constexpr const char* CG_LIST_FILE = "cglist.txt";
inline constexpr const char* CG_COMPOSE_FILE = "cgcompose.txt";
inline constexpr int32_t CG_GROUP_COUNT = 17;
inline constexpr int32_t CG_VARIANT_LIMIT = 928; // ids 0 to 927
inline constexpr int32_t CG_OVERLAY_SLOTS = 7;
inline constexpr int32_t CG_CELLS_PER_PAGE = 8;
inline constexpr int32_t CG_PAGES_PER_GROUP = 3;
inline constexpr size_t CG_NAME_LIMIT = 259;
// Either file; larger ones are taken as damaged rather than read.
inline constexpr size_t CG_TABLE_MAX_BYTES = 1024 * 1024;

struct CGListRow
{
    int32_t Group = 0;
    int32_t FirstVariant = 0;
    int32_t VariantCount = 0;
    std::string SheetName;
};

struct CGCompositionRow
{
    int32_t VariantId = 0;
    std::string BaseName;
    std::vector<std::string> Overlays; // up to seven, slot order
};

// The gallery's and the viewer's row: one per CG list row in order, then the terminator row
// {-1, 1, "", none}.
struct CGRow
{
    int32_t FirstVariant = -1;
    int32_t VariantCount = 1;
    CStringUTF8 SheetName;
    const CGCompositionRow* Composition = nullptr; // the row of FirstVariant; null when none
    std::vector<int32_t> Variants;                 // ids in table order from Composition
};

class CGTables
{
public:
    // Both files' bytes checked together; none, with a one-line reason, when either is damaged.
    static std::optional<CGTables> Parse(std::span<const uint8_t> list, std::span<const uint8_t> compose,
                                         std::string* error = nullptr);

    const std::vector<CGListRow>& ListRows() const { return m_list; }
    const std::vector<CGCompositionRow>& Compositions() const { return m_compose; }
    // The group's first row and row count; 0 for a group out of range.
    int32_t GroupFirstRow(int32_t group) const;
    int32_t GroupRowCount(int32_t group) const;
    int32_t GroupPageCount(int32_t group) const;
    // The group holding the row: the last group whose first row is not above it (0 below).
    int32_t GroupOfRow(int32_t row) const;
    // The index of the composition row of the variant id, or -1.
    int32_t FindComposition(int32_t variant) const;
    // The CGRow list with its terminator.
    std::vector<CGRow> BuildRows() const;

private:
    std::vector<CGListRow> m_list;
    std::vector<CGCompositionRow> m_compose;
    std::array<int32_t, CG_GROUP_COUNT> m_first{};
    std::array<int32_t, CG_GROUP_COUNT> m_count{};
};

// The game's tables, loaded from the data archive on first use. Damaged files are reported once,
// in a message box; they and missing ones give empty tables.
const CGTables& GetCGTables();
// Replaces the loaded tables (tests give their own); none: the next GetCGTables loads again.
void SetCGTables(std::optional<CGTables> tables);
// Changes whenever the loaded tables are replaced, so indexes over them know to rebuild.
uint32_t GetCGTablesGeneration();

// The seen bit of a variant in the current game state; false outside 0 to 927 or the array.
bool IsVariantSeen(int32_t variant);
// Sets the seen bit and the change markers 3001 and 3002; nothing outside 0 to 927.
void MarkVariantSeen(int32_t variant);
