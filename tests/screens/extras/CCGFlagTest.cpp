#include "screens/extras/CCGFlag.h"

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "screens/ScreenFixture.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "support/ScopedCGTables.h"

namespace {

class CCGFlagThreadTest : public ScreenFixture
{
protected:
    CCGFlagThreadTest()
        : m_tables({{0, 7, "cg_a.akb"}}, {{0, "a.akb", {}},
                                          {1, "a.akb", {"x.akb", "y.akb"}},
                                          {2, "a.akb", {"x.akb"}},
                                          {3, "b.akb", {"p.akb"}},
                                          {4, "B.akb", {"P.AKB"}},
                                          {5, "c.akb", {"q.akb"}},
                                          {6, "d.akb", {}}})
    {
        GetScriptState().m_current_state->Flags.assign(3500, 0);
        m_registry.BuildIndex();
    }
    std::vector<uint8_t>& Flags() { return GetScriptState().m_current_state->Flags; }
    bool SeenBit(int32_t variant) { return (Flags()[3300 + variant / 8] >> (variant % 8)) & 1; }

    ScopedCGTables m_tables;
    CCGFlag m_registry;
};

TEST_F(CCGFlagThreadTest, RegistrationFindsTheFirstMatchingRow)
{
    struct Case
    {
        const char* base;
        std::vector<std::pair<int32_t, const char*>> overlays;
        int32_t variant; // -1: none matches
    } cases[] = {
        {"a.akb", {{2, "x.akb"}, {5, "y.akb"}}, 1},
        {"A.AKB", {}, 0},
        {"a.akb", {{0, "X.Akb"}}, 2},
        {"b.akb", {{3, "p.akb"}}, 3},
        {"c.akb", {}, -1},
        {"a.akb", {{0, "z.akb"}}, -1},
        {"a.akb", {{0, "y.akb"}, {1, "x.akb"}}, -1},
        {"a.akb", {{7, "x.akb"}, {-1, "x.akb"}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.base);
        Flags().assign(3500, 0);
        m_registry.BeginCombination(c.base);
        for (const auto& [slot, name] : c.overlays)
            m_registry.SetOverlay(name, slot);
        m_registry.RegisterCombination();
        EXPECT_EQ(Flags()[3002], 1);
        EXPECT_EQ(Flags()[3001], c.variant >= 0 ? 1 : 0);
        for (int32_t v = 0; v < 7; ++v)
            EXPECT_EQ(SeenBit(v), v == c.variant) << "variant " << v;
    }
}

TEST_F(CCGFlagThreadTest, NoBaseChangesNoFlagByte)
{
    CCGFlag fresh;
    // Before any combination, as after loading a save in mid-scene: the slot is in bounds.
    fresh.SetOverlay("x.akb", 6);
    EXPECT_EQ(CCGFlag::OverlayList().size(), 7u);
    const std::vector<uint8_t> before = Flags();
    fresh.RegisterCombination();
    EXPECT_EQ(Flags(), before);
}

TEST_F(CCGFlagThreadTest, TheDirectSetStaysInRange)
{
    struct Case
    {
        int32_t variant;
        size_t byte;
        uint8_t value;
    } cases[] = {{0, 3300, 0x01}, {927, 3415, 0x80}, {13, 3301, 0x20}};
    for (const Case& c : cases) {
        Flags().assign(3500, 0);
        m_registry.MarkSeen(c.variant);
        EXPECT_EQ(Flags()[c.byte], c.value) << c.variant;
        EXPECT_EQ(Flags()[3001], 1);
        EXPECT_EQ(Flags()[3002], 1);
    }
    Flags().assign(3500, 0);
    const std::vector<uint8_t> before = Flags();
    for (const int32_t variant : {-1, 928, 100000})
        m_registry.MarkSeen(variant);
    EXPECT_EQ(Flags(), before) << "not even the markers";
}

} // namespace
