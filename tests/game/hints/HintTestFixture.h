#pragma once
// Hint tests build from a state of the factory put into the document as its current game state;
// names come from the demo's castnames.txt and the fare note from a one-entry table.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/CVeskDoc.h"
#include "castnames/CastNamesWriter.h"
#include "foundation/CLangTextTable.h"
#include "game/hints/CastNames.h"
#include "game/hints/HintContext.h"
#include "mapwrite/MapTableWriter.h"
#include "support/HintStateFactory.h"

inline constexpr const char* NO_FARE_TEXT = "※no fare";
// Every heroine with a table: all fifteen.
inline constexpr uint32_t BUILT_HEROINES[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};

// The demo's cast with the heroines numbered ("ヒロイン03", "姓03"), so a note says whose it is.
inline CastNames DemoNames()
{
    std::vector<tools::CastNameEntry> entries = tools::DemoCastNames();
    for (auto& [key, text] : entries) {
        if (key.size() > 9 && key.starts_with("heroine"))
            text = (key.ends_with(".given") ? "ヒロイン" : "姓") + key.substr(7, 2);
    }
    const std::string file = tools::WriteCastNames(entries);
    return *CastNames::Parse({reinterpret_cast<const uint8_t*>(file.data()), file.size()});
}

class HintTest : public ::testing::Test
{
protected:
    HintTest()
        : m_state(MakeHintState())
        , m_names(DemoNames())
    {
        const std::vector<uint8_t> table = tools::BuildMapTable(tools::ParseMapListing("306\t※no fare\n"));
        m_texts.AddEntries(table, 0);
    }
    ~HintTest() override { DeleteDocument(); }

    HintContext MakeContext() const
    {
        HintContext context;
        context.Names = &m_names;
        context.Texts = &m_texts;
        return context;
    }
    // A context on the test's state, without the document.
    HintContext LoadedContext() const
    {
        HintContext context = MakeContext();
        context.Load(m_state);
        return context;
    }
    std::vector<FlagHintRecord> Build(uint32_t heroine)
    {
        GetDocument()->m_current_state = std::make_unique<FlagBuffer>(m_state);
        HintContext context = MakeContext();
        return BuildHeroineHints(context, heroine);
    }
    void Seen(size_t flag) { m_state.Flags[flag] = 1; }

    FlagBuffer m_state;
    CastNames m_names;
    CLangTextTable m_texts;
};

// The first record of a list with the scene file and code, or null.
inline const FlagHintRecord* FindRecord(const std::vector<FlagHintRecord>& list, const char* scene,
                                        uint32_t code)
{
    for (const FlagHintRecord& record : list) {
        if (record.SceneFile == scene && record.Code == code)
            return &record;
    }
    return nullptr;
}
