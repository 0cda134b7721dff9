#include "foundation/CMemBase.h"
#include "support/ThreadTest.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

class Probe : public CMemBase
{
public:
    int m_value = 7;
    char m_payload[200] = {};
};

using CMemBaseThreadTest = ThreadTest;

TEST_F(CMemBaseThreadTest, TheHeapLivesExactlyAsLongAsItsObjects)
{
    ASSERT_EQ(GetPrivateHeapLiveCount(), 0u);
    EXPECT_EQ(GetPrivateHeap(), nullptr);

    auto* first = new Probe;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->m_value, 7);
    const HANDLE heap = GetPrivateHeap();
    EXPECT_NE(heap, nullptr);
    auto second = std::unique_ptr<CMemBase>(new Probe); // deleted through the base
    EXPECT_EQ(GetPrivateHeapLiveCount(), 2u);
    EXPECT_EQ(GetPrivateHeap(), heap);

    delete first;
    EXPECT_EQ(GetPrivateHeapLiveCount(), 1u);
    EXPECT_EQ(GetPrivateHeap(), heap);
    second.reset();
    EXPECT_EQ(GetPrivateHeapLiveCount(), 0u);
    EXPECT_EQ(GetPrivateHeap(), nullptr);

    // The next object gets a new heap.
    auto third = std::make_unique<Probe>();
    EXPECT_EQ(GetPrivateHeapLiveCount(), 1u);
    EXPECT_NE(GetPrivateHeap(), nullptr);
    EXPECT_NE(GetPrivateHeap(), heap);
    third.reset();
    EXPECT_EQ(GetPrivateHeap(), nullptr);
}

// Threads that create and free objects while the heap keeps being destroyed and re-created
// never see an allocation fail.
TEST_F(CMemBaseThreadTest, AllocationsRacingTheLastReleaseNeverFail)
{
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&failures] {
            for (int i = 0; i < 5'000; ++i) {
                Probe* probe = new Probe;
                if (!probe) {
                    ++failures;
                    continue;
                }
                probe->m_payload[i % 200] = 1;
                delete probe;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(GetPrivateHeapLiveCount(), 0u);
    EXPECT_EQ(GetPrivateHeap(), nullptr);
}

} // namespace
