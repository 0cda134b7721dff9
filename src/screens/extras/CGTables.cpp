#include "screens/extras/CGTables.h"

#include <charconv>
#include <memory>

#include "foundation/CLangTextTable.h"
#include "foundation/CStringBase.h"
#include "foundation/GameDocument.h"
#include "foundation/PlayerMessage.h"
#include "platform/user/MessageBoxApi.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"

namespace {

inline constexpr size_t SEEN_FLAG_BASE = 3300;
inline constexpr size_t CHANGE_MARKER = 3001;
inline constexpr size_t CHANGE_MARKER_2 = 3002;
inline constexpr int32_t GROUP_ROW_LIMIT = CG_CELLS_PER_PAGE * CG_PAGES_PER_GROUP;

std::unique_ptr<CGTables> g_tables; // loaded by GetCGTables, replaced by SetCGTables
uint32_t g_generation = 0;

// The fields of each non-blank, non-comment line, with its number.
struct Line
{
    size_t Number = 0;
    std::vector<std::string> Fields;
};

std::vector<Line> SplitLines(std::span<const uint8_t> file)
{
    if (file.size() >= 3 && file[0] == 0xEF && file[1] == 0xBB && file[2] == 0xBF)
        file = file.subspan(3);
    std::vector<Line> lines;
    size_t number = 0;
    while (!file.empty()) {
        ++number;
        size_t end = 0;
        while (end < file.size() && file[end] != '\n')
            ++end;
        std::string text(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(end));
        file = file.subspan(end < file.size() ? end + 1 : end);
        if (const size_t hash = text.find('#'); hash != std::string::npos)
            text.erase(hash);
        while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
            text.pop_back();
        if (text.empty())
            continue;
        Line line{number, {}};
        size_t start = 0;
        for (size_t tab = text.find('\t'); tab != std::string::npos; tab = text.find('\t', start)) {
            line.Fields.push_back(text.substr(start, tab - start));
            start = tab + 1;
        }
        line.Fields.push_back(text.substr(start));
        lines.push_back(std::move(line));
    }
    return lines;
}

bool ParseNumber(const std::string& text, int32_t& out)
{
    const char* end = text.data() + text.size();
    const auto [next, failure] = std::from_chars(text.data(), end, out);
    return failure == std::errc() && next == end && !text.empty();
}

bool GoodName(const std::string& name)
{
    return !name.empty() && name.size() <= CG_NAME_LIMIT && name.find('\0') == std::string::npos;
}

std::optional<CGTables> Refuse(std::string* error, const char* file, size_t line, const char* reason)
{
    if (error != nullptr) {
        *error = file;
        if (line != 0)
            *error += "(" + std::to_string(line) + ")";
        *error += ": ";
        *error += reason;
    }
    return std::nullopt;
}

FlagBuffer* CurrentState()
{
    GameDocument* document = GetGameDocument();
    return document != nullptr ? GetScriptState().m_current_state.get() : nullptr;
}

} // namespace

std::optional<CGTables> CGTables::Parse(std::span<const uint8_t> list, std::span<const uint8_t> compose,
                                        std::string* error)
{
    if (list.size() > CG_TABLE_MAX_BYTES)
        return Refuse(error, CG_LIST_FILE, 0, "too large");
    if (compose.size() > CG_TABLE_MAX_BYTES)
        return Refuse(error, CG_COMPOSE_FILE, 0, "too large");
    CGTables tables;
    std::array<bool, CG_VARIANT_LIMIT> given{};
    for (const Line& line : SplitLines(compose)) {
        CGCompositionRow row;
        if (line.Fields.size() < 2 || line.Fields.size() > 2 + CG_OVERLAY_SLOTS)
            return Refuse(error, CG_COMPOSE_FILE, line.Number, "a row needs an id, a base and at most 7 overlays");
        if (!ParseNumber(line.Fields[0], row.VariantId))
            return Refuse(error, CG_COMPOSE_FILE, line.Number, "bad number");
        if (row.VariantId < 0 || row.VariantId >= CG_VARIANT_LIMIT)
            return Refuse(error, CG_COMPOSE_FILE, line.Number, "variant id outside 0 to 927");
        if (given[static_cast<size_t>(row.VariantId)])
            return Refuse(error, CG_COMPOSE_FILE, line.Number, "variant id given twice");
        given[static_cast<size_t>(row.VariantId)] = true;
        for (size_t k = 1; k < line.Fields.size(); ++k)
            if (!GoodName(line.Fields[k]))
                return Refuse(error, CG_COMPOSE_FILE, line.Number, "empty or too long name");
        row.BaseName = line.Fields[1];
        row.Overlays.assign(line.Fields.begin() + 2, line.Fields.end());
        tables.m_compose.push_back(std::move(row));
    }
    int32_t group = 0;
    for (const Line& line : SplitLines(list)) {
        CGListRow row;
        if (line.Fields.size() != 4)
            return Refuse(error, CG_LIST_FILE, line.Number, "a row needs group, first variant, count and sheet");
        if (!ParseNumber(line.Fields[0], row.Group) || !ParseNumber(line.Fields[1], row.FirstVariant) ||
            !ParseNumber(line.Fields[2], row.VariantCount) || row.VariantCount < 1)
            return Refuse(error, CG_LIST_FILE, line.Number, "bad number");
        if (row.Group < group || row.Group >= CG_GROUP_COUNT)
            return Refuse(error, CG_LIST_FILE, line.Number, "group out of order or above 16");
        group = row.Group;
        if (++tables.m_count[static_cast<size_t>(group)] > GROUP_ROW_LIMIT)
            return Refuse(error, CG_LIST_FILE, line.Number, "more than 24 rows in a group");
        if (!GoodName(line.Fields[3]))
            return Refuse(error, CG_LIST_FILE, line.Number, "empty or too long name");
        row.SheetName = line.Fields[3];
        const int32_t first = tables.FindComposition(row.FirstVariant);
        if (first < 0)
            return Refuse(error, CG_LIST_FILE, line.Number, "first variant has no composition row");
        if (static_cast<size_t>(first) + static_cast<size_t>(row.VariantCount) > tables.m_compose.size())
            return Refuse(error, CG_LIST_FILE, line.Number, "variants run past the composition table");
        tables.m_list.push_back(std::move(row));
    }
    int32_t first_row = 0;
    for (int32_t g = 0; g < CG_GROUP_COUNT; ++g) {
        tables.m_first[static_cast<size_t>(g)] = first_row;
        first_row += tables.m_count[static_cast<size_t>(g)];
    }
    return tables;
}

int32_t CGTables::GroupFirstRow(int32_t group) const
{
    return group >= 0 && group < CG_GROUP_COUNT ? m_first[static_cast<size_t>(group)] : 0;
}

int32_t CGTables::GroupRowCount(int32_t group) const
{
    return group >= 0 && group < CG_GROUP_COUNT ? m_count[static_cast<size_t>(group)] : 0;
}

int32_t CGTables::GroupPageCount(int32_t group) const
{
    return (GroupRowCount(group) + CG_CELLS_PER_PAGE - 1) / CG_CELLS_PER_PAGE;
}

int32_t CGTables::GroupOfRow(int32_t row) const
{
    int32_t found = 0;
    for (int32_t g = 0; g < CG_GROUP_COUNT; ++g)
        if (m_count[static_cast<size_t>(g)] > 0 && m_first[static_cast<size_t>(g)] <= row)
            found = g;
    return found;
}

int32_t CGTables::FindComposition(int32_t variant) const
{
    for (size_t i = 0; i < m_compose.size(); ++i)
        if (m_compose[i].VariantId == variant)
            return static_cast<int32_t>(i);
    return -1;
}

std::vector<CGRow> CGTables::BuildRows() const
{
    std::vector<CGRow> rows;
    rows.reserve(m_list.size() + 1);
    for (const CGListRow& source : m_list) {
        CGRow row;
        row.FirstVariant = source.FirstVariant;
        row.VariantCount = source.VariantCount;
        row.SheetName = CStringUTF8(source.SheetName);
        const int32_t first = FindComposition(source.FirstVariant);
        if (first >= 0) {
            row.Composition = &m_compose[static_cast<size_t>(first)];
            for (int32_t j = 0; j < source.VariantCount; ++j)
                row.Variants.push_back(m_compose[static_cast<size_t>(first + j)].VariantId);
        }
        rows.push_back(std::move(row));
    }
    rows.emplace_back();
    return rows;
}

const CGTables& GetCGTables()
{
    if (g_tables != nullptr)
        return *g_tables;
    std::optional<CGTables> tables;
    CStringUTF8 failure;
    try {
        const std::vector<uint8_t> list = LoadMapFile(CG_LIST_FILE);
        const std::vector<uint8_t> compose = LoadMapFile(CG_COMPOSE_FILE);
        std::string reason;
        tables = CGTables::Parse(list, compose, &reason);
        if (!tables)
            failure.Format("%s が壊れています", reason.c_str());
    } catch (const CStringBase&) {
        // A game without CG tables has no CGs to show; only damaged tables are reported.
    }
    g_tables = std::make_unique<CGTables>(tables ? std::move(*tables) : CGTables());
    if (!failure.IsEmpty())
        ShowPlayerMessage(MB_ICONERROR, failure);
    return *g_tables;
}

void SetCGTables(std::optional<CGTables> tables)
{
    g_tables = tables ? std::make_unique<CGTables>(std::move(*tables)) : nullptr;
    ++g_generation;
}

uint32_t GetCGTablesGeneration()
{
    return g_generation;
}

bool IsVariantSeen(int32_t variant)
{
    const FlagBuffer* state = CurrentState();
    if (state == nullptr || variant < 0 || variant >= CG_VARIANT_LIMIT)
        return false;
    const size_t index = SEEN_FLAG_BASE + static_cast<size_t>(variant) / 8;
    return index < state->Flags.size() && ((state->Flags[index] >> (variant % 8)) & 1) != 0;
}

void MarkVariantSeen(int32_t variant)
{
    FlagBuffer* state = CurrentState();
    if (state == nullptr || variant < 0 || variant >= CG_VARIANT_LIMIT)
        return;
    const size_t index = SEEN_FLAG_BASE + static_cast<size_t>(variant) / 8;
    if (index < state->Flags.size())
        state->Flags[index] |= static_cast<uint8_t>(1u << (variant % 8));
    for (const size_t marker : {CHANGE_MARKER_2, CHANGE_MARKER})
        if (marker < state->Flags.size())
            state->Flags[marker] = 1;
}
