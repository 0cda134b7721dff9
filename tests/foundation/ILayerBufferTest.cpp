#include "foundation/ILayerBuffer.h"

#include <cstring>
#include <memory>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "foundation/CString.h"

namespace {

TEST(ILayerBuffer, AllocateReplacesTheBytes)
{
    auto buffer = std::make_unique<ILayerBuffer>();
    EXPECT_EQ(buffer->GetBuffer(), nullptr);
    EXPECT_EQ(buffer->GetSize(), 0u);
    EXPECT_EQ(GetPrivateHeapLiveCount(), 1u); // the buffer object itself lives on the private heap

    buffer->Allocate(64);
    ASSERT_NE(buffer->GetBuffer(), nullptr);
    EXPECT_EQ(buffer->GetSize(), 64u);
    std::memset(buffer->GetBuffer(), 0xEE, 64);
    buffer->Allocate(4096);
    EXPECT_EQ(buffer->GetSize(), 4096u);
    std::memset(buffer->GetBuffer(), 0x11, 4096);
    buffer.reset();
    EXPECT_EQ(GetPrivateHeapLiveCount(), 0u);
}

TEST(ILayerBuffer, AFailedAllocationThrowsItsMessageAndLeavesTheBufferEmpty)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address-space limit cannot be set under the address sanitizer";
#else
    // In a child process whose address space is capped, a 3 GiB buffer cannot be had.
    const pid_t child = fork();
    if (child == 0) {
        rlimit limit{.rlim_cur = 1ull << 30, .rlim_max = RLIM_INFINITY};
        setrlimit(RLIMIT_AS, &limit);
        ILayerBuffer buffer;
        buffer.Allocate(16);
        try {
            buffer.Allocate(3u << 30);
        } catch (const CString& message) {
            const bool empty = buffer.GetBuffer() == nullptr && buffer.GetSize() == 0;
            _exit(empty && message.IsEqual("ファイルバッファの作成に失敗しました") ? 0 : 1);
        }
        _exit(2);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
#endif
}

} // namespace
