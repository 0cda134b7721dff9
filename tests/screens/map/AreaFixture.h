#pragma once
// The stage of the area screens: the map screens' pictures and data files from the sheet writer,
// and a game state large enough for every flag and variable they read.

#include "app/CVeskDoc.h"
#include "screens/ScreenFixture.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "sheetgen/MapSheets.h"

inline std::vector<tools::ArchiveEntry> AreaEntries(std::vector<tools::NamedFile> files)
{
    std::vector<tools::ArchiveEntry> out;
    for (tools::NamedFile& file : files)
        out.push_back({tools::UpperCaseName(file.name), std::move(file.bytes)});
    return out;
}

class AreaFixture : public ScreenFixture
{
protected:
    explicit AreaFixture(std::vector<tools::ArchiveEntry> extra_data = {})
        : ScreenFixture(WithExtra(AreaEntries(tools::MapDataFiles()), std::move(extra_data)),
                        AreaEntries(tools::MapPictureFiles()))
    {
        State().Flags.resize(8192);
        State().Variables.resize(80);
        State().Values.resize(40);
    }
    static FlagBuffer& State() { return *GetScriptState().m_current_state; }

private:
    static std::vector<tools::ArchiveEntry> WithExtra(std::vector<tools::ArchiveEntry> data,
                                                      std::vector<tools::ArchiveEntry> extra)
    {
        for (tools::ArchiveEntry& entry : extra)
            data.push_back(std::move(entry));
        return data;
    }
};
