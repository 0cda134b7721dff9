#include "platform/com/ComApi.h"
#include "support/ThreadTest.h"

#include <gtest/gtest.h>
#include <thread>

using ComApiThreadTest = ThreadTest;

TEST_F(ComApiThreadTest, RepeatedInitialisationIsCountedAndUndonePairwise)
{
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    EXPECT_EQ(platform::ComInitCount(), 2);
    // Each thread has an apartment of its own.
    std::thread([] { EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK); }).join();
    CoUninitialize();
    CoUninitialize();
    CoUninitialize(); // one too many is ignored
    EXPECT_EQ(platform::ComInitCount(), 0);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
}

TEST_F(ComApiThreadTest, AForcedFailureHitsOnlyTheNextCall)
{
    platform::FailNextCoInitialize(E_OUTOFMEMORY);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), E_OUTOFMEMORY);
    EXPECT_EQ(platform::ComInitCount(), 0);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    CoUninitialize();
}
