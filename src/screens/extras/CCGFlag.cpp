#include "screens/extras/CCGFlag.h"

#include <algorithm>
#include <cstring>

#include "foundation/CStringUTF8.h"
#include "foundation/GameDocument.h"
#include "screens/extras/CGTables.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"

namespace {

inline constexpr size_t REGISTRATION_MARKER = 3002;

std::string Folded(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && Folded(a) == Folded(b);
}

std::string Bounded(const char* name)
{
    if (name == nullptr)
        return {};
    return std::string(name, strnlen(name, CG_NAME_LIMIT));
}

} // namespace

std::vector<std::string>& CCGFlag::OverlayList()
{
    // Seven slots from the start, so an overlay set before any base (a save loaded in mid-scene)
    // stays in bounds.
    static std::vector<std::string> list(CG_OVERLAY_SLOTS);
    return list;
}

void CCGFlag::BuildIndex()
{
    const CGTables& tables = GetCGTables();
    m_index.clear();
    const auto& rows = tables.Compositions();
    for (size_t i = 0; i < rows.size(); ++i)
        m_index[Folded(rows[i].BaseName)].push_back(i);
    m_index_generation = GetCGTablesGeneration();
    m_indexed = true;
}

void CCGFlag::BeginCombination(const char* name)
{
    BaseName = Bounded(name);
    OverlayList().assign(CG_OVERLAY_SLOTS, std::string());
}

void CCGFlag::SetOverlay(const char* name, int32_t n)
{
    std::vector<std::string>& list = OverlayList();
    if (n < 0 || n >= CG_OVERLAY_SLOTS)
        return;
    if (list.size() < CG_OVERLAY_SLOTS)
        list.resize(CG_OVERLAY_SLOTS);
    list[static_cast<size_t>(n)] = Bounded(name);
}

int32_t CCGFlag::FindMatch()
{
    if (!m_indexed || m_index_generation != GetCGTablesGeneration())
        BuildIndex();
    const auto found = m_index.find(Folded(BaseName));
    if (found == m_index.end())
        return -1;
    const auto& rows = GetCGTables().Compositions();
    for (const size_t i : found->second) {
        const CGCompositionRow& row = rows[i];
        bool match = true;
        for (size_t k = 0; k < CG_OVERLAY_SLOTS && match; ++k) {
            const bool shown = k < ShownOverlays.size() && !ShownOverlays[k].empty();
            const bool present = k < row.Overlays.size();
            match = shown == present && (!shown || SameName(ShownOverlays[k], row.Overlays[k]));
        }
        if (match)
            return static_cast<int32_t>(i);
    }
    return -1;
}

void CCGFlag::RegisterCombination()
{
    if (BaseName.empty())
        return;
    if (FlagBuffer* state = GetScriptState().m_current_state.get();
        state != nullptr && REGISTRATION_MARKER < state->Flags.size())
        state->Flags[REGISTRATION_MARKER] = 1;
    ShownOverlays = OverlayList();
    ShownOverlays.resize(CG_OVERLAY_SLOTS);
    // Seven passes move every shown name forward past the empty slots, keeping slot order.
    for (int pass = 0; pass < CG_OVERLAY_SLOTS; ++pass)
        for (size_t k = 0; k + 1 < ShownOverlays.size(); ++k)
            if (ShownOverlays[k].empty() && !ShownOverlays[k + 1].empty())
                std::swap(ShownOverlays[k], ShownOverlays[k + 1]);
    // A combination without a row is no error for the script: nothing more is recorded.
    const int32_t row = FindMatch();
    if (row >= 0)
        MarkVariantSeen(GetCGTables().Compositions()[static_cast<size_t>(row)].VariantId);
}

void CCGFlag::MarkSeen(int32_t variant)
{
    MarkVariantSeen(variant);
}
