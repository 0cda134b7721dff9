#include "script/SelectManager.h"

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "script/FlagBuffer.h"

namespace {

FlagBuffer MakeState()
{
    FlagBuffer state;
    state.Name = "hero";
    state.Flags.assign(16, 0);
    state.Words.assign(4, 0);
    state.Bytes.assign(8, 0);
    state.Values.resize(FLAG_BUFFER_VALUE_COUNT);
    state.Variables.resize(10);
    state.Variables[3] = ScriptValue::FromText("name");
    return state;
}

class SelectManagerTest : public ::testing::Test
{
protected:
    void Push(FlagBuffer& state, int32_t position)
    {
        state.Values[VALUE_CHOICE_POSITION] = ScriptValue::FromInteger(position);
        PushSelectBuffer(m_list, state, m_table, m_document.GetScript());
    }
    const SelectBuffer& At(size_t i) { return *m_list.Buffers.at(i); }

    CVeskDoc m_document;
    SelectManager m_list;
    ScriptValueTable m_table;
};

TEST_F(SelectManagerTest, EqualStatesShareTheFirstRecordsArrays)
{
    FlagBuffer state = MakeState();
    Push(state, 10);
    // Neither the choice position nor the byte array counts as a difference.
    state.Bytes[3] = 9;
    Push(state, 20);
    ASSERT_EQ(m_list.Buffers.size(), 2u);
    EXPECT_EQ(m_list.Current, 1);
    EXPECT_EQ(At(1).Shared, &At(0));
    EXPECT_TRUE(At(1).Flags.empty() && At(1).Values.empty() && At(1).Variables.empty());
    EXPECT_EQ(&At(1).GetFlags(), &At(0).Flags);
    EXPECT_EQ(&At(1).GetVariables(), &At(0).Variables);
    EXPECT_EQ(At(1).GetName(), "hero");
    EXPECT_EQ(At(0).ChoicePosition.Integer, 10);
    EXPECT_EQ(At(1).ChoicePosition.Integer, 20);
    // A third equal record links to the newest equal one; every read ends at the owner.
    Push(state, 30);
    EXPECT_EQ(At(2).Shared, &At(1));
    EXPECT_EQ(&At(2).GetValues(), &At(0).Values);
    EXPECT_EQ(&At(2).GetWords(), &At(0).Words);
}

TEST_F(SelectManagerTest, EachKindOfDifferenceGivesAnOwnCopy)
{
    struct Case
    {
        const char* name;
        void (*change)(FlagBuffer&);
    };
    const Case cases[] = {
        {"name", [](FlagBuffer& s) { s.Name = "other"; }},
        {"flag byte", [](FlagBuffer& s) { s.Flags[15] = 1; }},
        {"flag count", [](FlagBuffer& s) { s.Flags.push_back(0); }},
        {"word", [](FlagBuffer& s) { s.Words[0] = 1; }},
        {"value integer", [](FlagBuffer& s) { s.Values[53] = ScriptValue::FromInteger(1); }},
        {"value type", [](FlagBuffer& s) { s.Values[0] = ScriptValue::FromText(""); }},
        {"value count", [](FlagBuffer& s) { s.Values.emplace_back(); }},
        {"variable text", [](FlagBuffer& s) { s.Variables[3] = ScriptValue::FromText("nome"); }},
        {"variable count", [](FlagBuffer& s) { s.Variables.pop_back(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SelectManager list;
        FlagBuffer state = MakeState();
        PushSelectBuffer(list, state, m_table, m_document.GetScript());
        c.change(state);
        EXPECT_EQ(FindSameSelectBuffer(list, 0, state), nullptr);
        PushSelectBuffer(list, state, m_table, m_document.GetScript());
        ASSERT_EQ(list.Buffers.size(), 2u);
        EXPECT_EQ(list.Buffers[1]->Shared, nullptr);
        EXPECT_EQ(list.Buffers[1]->Flags, state.Flags);
        EXPECT_EQ(list.Buffers[1]->GetName(), state.Name);
        // Back to the first state: the search runs backwards past the newer record.
        FlagBuffer first = MakeState();
        PushSelectBuffer(list, first, m_table, m_document.GetScript());
        EXPECT_EQ(list.Buffers[2]->Shared, list.Buffers[0].get());
    }
}

TEST_F(SelectManagerTest, AfterAClearTheNextRecordOwnsItsCopy)
{
    FlagBuffer state = MakeState();
    Push(state, 1);
    Push(state, 2);
    ClearSelectBuffers(m_list);
    EXPECT_TRUE(m_list.Buffers.empty());
    EXPECT_EQ(m_list.Current, 1);
    EXPECT_EQ(FindSameSelectBuffer(m_list, 1, state), nullptr);
    Push(state, 3);
    EXPECT_EQ(m_list.Current, 0);
    EXPECT_EQ(At(0).Shared, nullptr);
    EXPECT_EQ(At(0).Variables[3].Text, "name");
}

TEST_F(SelectManagerTest, TheTableIsCopiedWithTheScriptStackGroup)
{
    ScriptValueArray record;
    record.SetKey(0x00020001);
    record.Values.push_back(ScriptValue::FromInteger(7));
    m_table.Store(record);
    record.SetKey(SCRIPT_STACK_KEY | 5); // a stale stack record is dropped
    m_table.Store(record);
    FlagBuffer state = MakeState();
    Push(state, 4);
    record.Values[0] = ScriptValue::FromInteger(8);
    m_table.Store(record); // later changes of the live table do not reach the snapshot
    ASSERT_EQ(At(0).Table.GetCount(), 1u);
    EXPECT_EQ(At(0).Table.GetAt(0).Values[0].Integer, 7);
}

} // namespace
