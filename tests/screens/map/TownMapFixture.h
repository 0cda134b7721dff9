#pragma once
// A town map whose data files come from memory, on the screen stage, with the mover flag bytes
// and the game state's arrays in place.

#include <map>
#include <string>
#include <vector>

#include "app/CVeskDoc.h"
#include "foundation/CString.h"
#include "screens/ScreenFixture.h"
#include "screens/map/CCps.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "townmap/TownMapWriter.h"

class FileMap : public CCps
{
public:
    void ReadFile(const CStringUTF8& name, std::vector<uint8_t>& out) override
    {
        const auto found = files.find(name.GetText());
        if (found == files.end())
            throw CString("ファイルオープンエラー\n" + std::string(name.GetText()));
        out = found->second;
    }
    std::map<std::string, std::vector<uint8_t>> files;
};

class TownMapFixture : public ScreenFixture
{
protected:
    // The pictures go into the game folder's picture archive.
    explicit TownMapFixture(std::vector<tools::ArchiveEntry> pictures = {})
        : ScreenFixture({}, std::move(pictures))
    {
        State().Flags.resize(8192);
        State().Values.resize(64);
    }

    static FlagBuffer& State() { return *GetScriptState().m_current_state; }
    // Loads a walk map from rows and a mover block; the movers start where the block's records say
    // (their flag bytes are set from them first).
    void Load(const std::vector<std::string>& rows, const tools::MoverBlockSpec& spec)
    {
        for (size_t i = 0; i < spec.movers.size(); ++i) {
            State().Flags[7091 + 3 * i] = static_cast<uint8_t>(spec.movers[i].x);
            State().Flags[7092 + 3 * i] = static_cast<uint8_t>(spec.movers[i].y);
            State().Flags[7093 + 3 * i] = spec.movers[i].facing;
        }
        m_map.files["walk.map"] = tools::BuildWalkMap(rows);
        m_map.files["movers.bin"] = tools::BuildMoverBlock(spec);
        ASSERT_EQ(m_map.LoadWalkMap("walk.map"), 1u);
        ASSERT_EQ(m_map.LoadMovers("movers.bin"), 1u);
    }
    // A free map of the size.
    static std::vector<std::string> Free(int width, int height)
    {
        return std::vector<std::string>(static_cast<size_t>(height),
                                        std::string(static_cast<size_t>(width), '.'));
    }
    MapMover Mover(size_t i) { return m_map.MoverAt(i); }

    FileMap m_map;
};
