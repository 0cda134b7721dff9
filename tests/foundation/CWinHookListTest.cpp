// The hook list: order, the first handler ends the walk, duplicates, and hooks that take
// themselves or others out while a message is being dispatched.
#include "foundation/CWinHookList.h"
#include "support/ThreadTest.h"

#include <cstddef>
#include <functional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

class ScriptedHook final : public IWinHook
{
public:
    ScriptedHook(std::vector<int>& log, int id, int32_t result = 0)
        : m_log(log)
        , m_id(id)
        , m_result(result)
    {}

    int32_t HookProc(HWND, UINT, WPARAM, LPARAM) override
    {
        m_log.push_back(m_id);
        if (action)
            action();
        return m_result;
    }

    std::function<void()> action;

private:
    std::vector<int>& m_log;
    int m_id;
    int32_t m_result;
};

using CWinHookListThreadTest = ThreadTest;

TEST_F(CWinHookListThreadTest, AsksInOrderUntilOneHandles)
{
    std::vector<int> log;
    ScriptedHook first(log, 1);
    ScriptedHook second(log, 2, 7);
    ScriptedHook third(log, 3);
    CWinHookList list;
    list.Add(&first);
    list.Add(&second);
    list.Add(&third);
    EXPECT_EQ(list.Dispatch(nullptr, WM_APP, 0, 0), 7);
    EXPECT_EQ(log, (std::vector<int>{1, 2}));
    log.clear();
    list.Remove(&second);
    EXPECT_EQ(list.Dispatch(nullptr, WM_APP, 0, 0), 0);
    EXPECT_EQ(log, (std::vector<int>{1, 3}));
}

TEST_F(CWinHookListThreadTest, AHookAddedTwiceIsAskedTwiceAndRemovedTogether)
{
    std::vector<int> log;
    ScriptedHook hook(log, 1);
    CWinHookList list;
    list.Add(&hook);
    list.Add(&hook);
    list.Dispatch(nullptr, WM_APP, 0, 0);
    EXPECT_EQ(log, (std::vector<int>{1, 1}));
    list.Remove(&hook);
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_FALSE(list.Contains(&hook));
}

TEST_F(CWinHookListThreadTest, AHookMayRemoveItselfWhileItRuns)
{
    std::vector<int> log;
    ScriptedHook first(log, 1);
    ScriptedHook second(log, 2);
    ScriptedHook third(log, 3);
    CWinHookList list;
    list.Add(&first);
    list.Add(&second);
    list.Add(&third);
    second.action = [&] { list.Remove(&second); };
    list.Dispatch(nullptr, WM_APP, 0, 0);
    EXPECT_EQ(log, (std::vector<int>{1, 2, 3}));
    log.clear();
    list.Dispatch(nullptr, WM_APP, 0, 0);
    EXPECT_EQ(log, (std::vector<int>{1, 3}));
    EXPECT_EQ(list.GetCount(), 2u);
}

TEST_F(CWinHookListThreadTest, AHookRemovedByAnEarlierOneIsNotAsked)
{
    std::vector<int> log;
    ScriptedHook first(log, 1);
    ScriptedHook second(log, 2);
    ScriptedHook third(log, 3);
    CWinHookList list;
    list.Add(&first);
    list.Add(&second);
    list.Add(&third);
    first.action = [&] {
        list.Remove(&second);
        list.Remove(&third);
    };
    list.Dispatch(nullptr, WM_APP, 0, 0);
    EXPECT_EQ(log, (std::vector<int>{1}));
    EXPECT_EQ(list.GetCount(), 1u);
}

TEST_F(CWinHookListThreadTest, AHookAddedDuringADispatchWaitsForTheNextMessage)
{
    std::vector<int> log;
    ScriptedHook first(log, 1);
    ScriptedHook late(log, 9);
    CWinHookList list;
    list.Add(&first);
    first.action = [&] {
        if (!list.Contains(&late))
            list.Add(&late);
    };
    list.Dispatch(nullptr, WM_APP, 0, 0);
    EXPECT_EQ(log, (std::vector<int>{1}));
    list.Dispatch(nullptr, WM_APP, 0, 0);
    EXPECT_EQ(log, (std::vector<int>{1, 1, 9}));
}

TEST_F(CWinHookListThreadTest, ClearingFromInsideAHookEndsTheWalk)
{
    std::vector<int> log;
    ScriptedHook first(log, 1);
    ScriptedHook second(log, 2);
    CWinHookList list;
    list.Add(&first);
    list.Add(&second);
    first.action = [&] { list.Clear(); };
    list.Dispatch(nullptr, WM_APP, 0, 0);
    EXPECT_EQ(log, (std::vector<int>{1}));
    EXPECT_EQ(list.GetCount(), 0u);
}

TEST_F(CWinHookListThreadTest, NestedDispatchesKeepRemovedEntriesUntilTheOuterOneEnds)
{
    std::vector<int> log;
    ScriptedHook outer(log, 1);
    ScriptedHook inner(log, 2);
    CWinHookList list;
    list.Add(&outer);
    list.Add(&inner);
    int depth = 0;
    outer.action = [&] {
        if (depth++ == 0) {
            list.Remove(&inner);
            // A hook that sends a message of its own: the list is walked again inside the walk.
            list.Dispatch(nullptr, WM_APP + 1, 0, 0);
        }
    };
    list.Dispatch(nullptr, WM_APP, 0, 0);
    EXPECT_EQ(log, (std::vector<int>{1, 1}));
    EXPECT_EQ(list.GetCount(), 1u);
}

TEST_F(CWinHookListThreadTest, AnotherThreadMayAddAndRemove)
{
    // The anchor stays listed and passes every message on; the moving hook handles them while
    // another thread keeps adding and removing it. Each dispatch must see either list whole.
    std::vector<int> log; // written by the dispatching thread only
    ScriptedHook anchor(log, 2);
    ScriptedHook moving(log, 1, 5);
    CWinHookList list;
    list.Add(&anchor);
    std::thread adder([&] {
        for (int i = 0; i < 1000; ++i) {
            list.Add(&moving);
            list.Remove(&moving);
        }
        list.Add(&moving);
    });
    int handled = 0;
    for (int i = 0; i < 1000; ++i) {
        const size_t before = log.size();
        const int32_t result = list.Dispatch(nullptr, WM_APP, 0, 0);
        const std::vector<int> asked(log.begin() + static_cast<std::ptrdiff_t>(before), log.end());
        if (result == 5) {
            ++handled;
            EXPECT_EQ(asked, (std::vector<int>{2, 1}));
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(asked, std::vector<int>{2});
        }
    }
    adder.join();
    EXPECT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(list.Dispatch(nullptr, WM_APP, 0, 0), 5);
}

} // namespace
