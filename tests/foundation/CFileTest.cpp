#include "foundation/CFile.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/SyncApi.h"
#include "platform/kernel/VirtualClock.h"
#include "support/TempDir.h"
#include "support/ThreadTest.h"

namespace {

using platform::VirtualClock;

constexpr uint64_t START_MS = 5000;

// The write retry sleeps on the layer clock; on the virtual clock the test decides when the
// sleeps end, so every attempt can be counted.
class CFileThreadTest : public ThreadTest
{
protected:
    void SetUp() override { VirtualClock::Enable(START_MS); }
    void TearDown() override { VirtualClock::Disable(); }

    CStringUTF8 PathOf(const std::string& name) const { return CStringUTF8(m_dir.PathOf(name)); }

    void WriteText(const std::string& name, const std::string& text) const
    {
        std::ofstream(m_dir.PathOf(name), std::ios::binary) << text;
    }

    std::string ReadText(const std::string& name) const
    {
        std::ifstream in(m_dir.PathOf(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Another open of the file that shares only reading, as a second program reading it would.
    HANDLE HoldForReading(const std::string& name) const
    {
        return CreateFileW(PathOf(name).GetWideText(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           0, nullptr);
    }

    TempDir m_dir;
};

struct WriterTask
{
    CStringUTF8 path;
    std::atomic<int> result{-1};
};

unsigned WriteWhenPossible(void* argument)
{
    auto* task = static_cast<WriterTask*>(argument);
    CFile file;
    task->result = file.OpenWrite(task->path, CREATE_ALWAYS);
    if (task->result == 1 && !file.Write("new", 3))
        task->result = 0;
    return 0;
}

TEST_F(CFileThreadTest, OpenWriteSucceedsOnceTheHolderLetsGo)
{
    WriteText("config.xml", "old");
    HANDLE holder = HoldForReading("config.xml");
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    WriterTask task{PathOf("config.xml")};
    unsigned id = 0;
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, WriteWhenPossible, &task, 0, &id));
    // Three attempts fail while the file is held; each is followed by a 10 ms sleep.
    for (int failed = 1; failed <= 3; ++failed) {
        ASSERT_TRUE(VirtualClock::WaitForParked(1)) << failed;
        EXPECT_EQ(task.result.load(), -1);
        EXPECT_EQ(ReadText("config.xml"), "old"); // never truncated under the holder
        if (failed == 3)
            CloseHandle(holder);
        VirtualClock::Advance(10);
    }
    ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(task.result.load(), 1);
    EXPECT_EQ(ReadText("config.xml"), "new");
    EXPECT_EQ(VirtualClock::Now(), START_MS + 30);
}

TEST_F(CFileThreadTest, OpenWriteGivesUpAfterTenAttempts)
{
    VirtualClock::SetAutoAdvance(true);
    WriteText("flag000", "kept");
    HANDLE holder = HoldForReading("flag000");
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    CFile file;
    EXPECT_EQ(file.OpenWrite(PathOf("flag000"), CREATE_ALWAYS), 0);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(file.GetHandle(), nullptr);
    EXPECT_EQ(VirtualClock::Now(), START_MS + 90); // nine sleeps between ten attempts
    EXPECT_EQ(ReadText("flag000"), "kept");
    CloseHandle(holder);
}

TEST_F(CFileThreadTest, OpenWriteInAMissingFolderFailsAtOnce)
{
    VirtualClock::SetAutoAdvance(true);
    CFile file;
    EXPECT_EQ(file.OpenWrite(PathOf("missing\\save.dat"), CREATE_ALWAYS), 0);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(VirtualClock::Now(), START_MS); // no retry, no sleep
}

TEST_F(CFileThreadTest, CloseOfAFileNeverOpenedIsTrue)
{
    CFile file;
    EXPECT_TRUE(file.Close());
    EXPECT_TRUE(file.Close());
    HANDLE none = nullptr;
    EXPECT_TRUE(file.CloseHandle(&none));
}

TEST_F(CFileThreadTest, AFailedCloseKeepsTheHandle)
{
    CFile file;
    HANDLE stale = reinterpret_cast<HANDLE>(uintptr_t{0x7FFF'FFF0}); // no such handle
    file.Attach(stale);
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(file.GetHandle(), stale);
    file.Attach(nullptr);
}

TEST_F(CFileThreadTest, ReadWriteSeekAndSize)
{
    CFile writer;
    ASSERT_EQ(writer.OpenWrite(PathOf("data.bin"), CREATE_ALWAYS), 1);
    EXPECT_TRUE(writer.Write("0123456789", 10));
    EXPECT_EQ(writer.GetBytesMoved(), 10u);
    EXPECT_TRUE(writer.Close());
    EXPECT_EQ(writer.GetBytesMoved(), 0u);

    CFile reader;
    ASSERT_TRUE(reader.OpenRead(PathOf("DATA.BIN")));
    EXPECT_EQ(reader.GetSize(), 10u);
    EXPECT_EQ(reader.GetSizeHigh(), 0u);
    EXPECT_TRUE(reader.Seek(4, FILE_BEGIN));
    EXPECT_EQ(reader.GetPosition(), 4u);
    char bytes[8] = {};
    EXPECT_TRUE(reader.Read(bytes, 8));
    EXPECT_EQ(reader.GetBytesMoved(), 6u); // short read at the end
    EXPECT_EQ(std::string(bytes, 6), "456789");

    // The one position a 32-bit seek cannot tell from its failure value.
    EXPECT_FALSE(reader.Seek(0xFFFF'FFFF, FILE_BEGIN));
    EXPECT_TRUE(reader.Seek(2, FILE_BEGIN));
    EXPECT_TRUE(reader.Seek(3, FILE_CURRENT));
    EXPECT_EQ(reader.GetPosition(), 5u);
}

TEST_F(CFileThreadTest, OpenReadOfAMissingFileLeavesNoHandle)
{
    CFile file;
    EXPECT_FALSE(file.OpenRead(PathOf("absent.xml")));
    EXPECT_EQ(file.GetHandle(), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(CFileThreadTest, ADuplicateSharesThePosition)
{
    WriteText("entry.arc", "ABCDEFGH");
    CFile archive;
    ASSERT_TRUE(archive.OpenRead(PathOf("entry.arc")));
    archive.Seek(2, FILE_BEGIN);

    CFile entry;
    entry.Attach(archive.DuplicateHandle());
    ASSERT_NE(entry.GetHandle(), nullptr);
    EXPECT_EQ(entry.GetPosition(), 2u);
    char byte = 0;
    entry.Read(&byte, 1);
    EXPECT_EQ(byte, 'C');
    EXPECT_EQ(archive.GetPosition(), 3u);
    archive.Read(&byte, 1);
    EXPECT_EQ(byte, 'D');
    EXPECT_EQ(entry.GetPosition(), 4u);

    CFile closed;
    EXPECT_EQ(closed.DuplicateHandle(), nullptr);
}

} // namespace
