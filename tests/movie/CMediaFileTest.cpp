#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <numeric>
#include <vector>

#include "movie/CMediaFile.h"
#include "platform/kernel/FileApi.h"
#include "support/TempDir.h"

namespace {

constexpr uint32_t ENTRY_OFFSET = 100;

// An archive-like file: 100 bytes of something else, the entry, then 50 bytes of a neighbour.
class CMediaFileTest : public ::testing::Test
{
protected:
    // The entry's bytes count up from 0; a "VSD1" header of n filler bytes goes first when n >= 0.
    void Attach(uint32_t data_size, int header = -1, uint32_t claimed_size = 0)
    {
        std::vector<uint8_t> bytes(ENTRY_OFFSET, 0xAA);
        if (header >= 0) {
            const uint32_t n = static_cast<uint32_t>(header);
            for (uint8_t b : {uint8_t('V'), uint8_t('S'), uint8_t('D'), uint8_t('1'), uint8_t(n), uint8_t(n >> 8),
                              uint8_t(n >> 16), uint8_t(n >> 24)})
                bytes.push_back(b);
            bytes.resize(bytes.size() + (n <= data_size ? n : 0), 0xEE);
        }
        const size_t data_start = bytes.size();
        bytes.resize(data_start + data_size);
        std::iota(bytes.begin() + static_cast<ptrdiff_t>(data_start), bytes.end(), uint8_t{0});
        m_entry_size = static_cast<uint32_t>(bytes.size() - ENTRY_OFFSET);
        bytes.resize(bytes.size() + 50, 0xBB);
        std::ofstream(m_dir.PathOf("movie.arc"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        const std::string posix = m_dir.PathOf("movie.arc");
        const std::u16string path(posix.begin(), posix.end());
        HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        m_attached = m_file.Attach(handle, claimed_size ? claimed_size : m_entry_size, ENTRY_OFFSET);
    }

    std::vector<uint8_t> ReadAt(LONGLONG position, DWORD count, HRESULT* result = nullptr)
    {
        std::vector<uint8_t> out(count);
        DWORD got = 0;
        m_file.Lock();
        EXPECT_EQ(m_file.SetPointer(position), S_OK);
        const HRESULT read = m_file.Read(out.data(), count, FALSE, &got);
        m_file.Unlock();
        if (result)
            *result = read;
        out.resize(got);
        return out;
    }

    TempDir m_dir;
    CMediaFile m_file;
    uint32_t m_entry_size = 0;
    HRESULT m_attached = E_FAIL;
};

TEST_F(CMediaFileTest, SetPointerAcceptsTheRangeUpToTheLength)
{
    Attach(5000);
    const struct
    {
        LONGLONG position;
        HRESULT result;
        LONGLONG after;
    } cases[] = {{5000, S_OK, 5000}, {5001, S_FALSE, 5000}, {-1, S_FALSE, 5000}, {0, S_OK, 0}, {-100, S_FALSE, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(m_file.SetPointer(c.position), c.result);
        EXPECT_EQ(m_file.GetPosition(), c.after);
    }
    EXPECT_EQ(m_file.Size(), 5000);
}

TEST_F(CMediaFileTest, ReadStopsAtTheEntryEnd)
{
    Attach(5000);
    const std::vector<uint8_t> tail = ReadAt(4000, 4096);
    ASSERT_EQ(tail.size(), 1000u);
    EXPECT_EQ(tail.front(), uint8_t(4000 % 256));
    EXPECT_EQ(tail.back(), uint8_t(4999 % 256)); // never the neighbour's 0xBB
    EXPECT_EQ(m_file.GetPosition(), 5000);
    EXPECT_TRUE(ReadAt(5000, 16).empty());
}

TEST_F(CMediaFileTest, VsdHeaderIsSkippedOrRefused)
{
    const struct
    {
        int header;
        HRESULT attached;
        LONGLONG size;
    } cases[] = {{0, S_OK, 3000}, {16, S_OK, 3000}, {-1, S_OK, 3000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        Attach(3000, c.header);
        EXPECT_EQ(m_attached, c.attached);
        EXPECT_EQ(m_file.Size(), c.size);
        EXPECT_EQ(m_file.GetBase(), ENTRY_OFFSET + (c.header < 0 ? 0 : 8 + c.header));
        const std::vector<uint8_t> head = ReadAt(0, 4);
        EXPECT_EQ(head, (std::vector<uint8_t>{0, 1, 2, 3}));
    }
}

TEST_F(CMediaFileTest, VsdHeaderLongerThanTheEntryIsRefused)
{
    // The header claims 4000 filler bytes in an entry of 8 + 3000: serving it would read the
    // neighbour's bytes.
    Attach(3000, 4000);
    EXPECT_EQ(m_attached, E_FAIL);
}

TEST_F(CMediaFileTest, ShortReadReportsWhatCameAndFails)
{
    // The index claims more than the file holds: the read gives what is there and a failure.
    Attach(200, -1, 10'000);
    HRESULT result = S_OK;
    const std::vector<uint8_t> bytes = ReadAt(100, 1000, &result);
    EXPECT_TRUE(FAILED(result));
    EXPECT_EQ(bytes.size(), 150u); // the entry's last 100 bytes and the neighbour's 50
    EXPECT_EQ(m_file.GetPosition(), 250);
}

TEST_F(CMediaFileTest, StreamsOverDuplicatedHandlesReadTheirOwnBytes)
{
    // Both streams of a cross-fade read through duplicates of the archive's handle, which share
    // one file pointer; a pointer moved by the one must not change what the other reads.
    Attach(5000);
    HANDLE copy = nullptr;
    const std::string posix = m_dir.PathOf("movie.arc");
    const std::u16string path(posix.begin(), posix.end());
    HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), opened, GetCurrentProcess(), &copy, 0, FALSE, 0));
    ASSERT_EQ(m_file.Attach(copy, m_entry_size, ENTRY_OFFSET), S_OK);
    CMediaFile other;
    ASSERT_EQ(other.Attach(opened, 50, ENTRY_OFFSET + m_entry_size), S_OK); // the neighbour's 50 bytes
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(m_file.SetPointer(1000), S_OK);
        EXPECT_EQ(other.SetPointer(0), S_OK);
        uint8_t mine[4] = {};
        uint8_t theirs[4] = {};
        DWORD got = 0;
        EXPECT_EQ(m_file.Read(mine, 4, FALSE, &got), S_OK);
        EXPECT_EQ(other.Read(theirs, 4, FALSE, &got), S_OK);
        EXPECT_EQ(mine[0], uint8_t(1000 % 256));
        EXPECT_EQ(theirs[0], 0xBB);
    }
}

TEST_F(CMediaFileTest, AnEntryCutInsideItsMarkLeavesTheHandleWhereTheReadLeftIt)
{
    const std::string posix = m_dir.PathOf("cut.arc");
    std::ofstream(posix, std::ios::binary).write(std::string(ENTRY_OFFSET + 2, 'V').data(), ENTRY_OFFSET + 2);
    const std::u16string path(posix.begin(), posix.end());
    const auto open = [&] {
        return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    const auto pointer = [](HANDLE handle) { return SetFilePointer(handle, 0, nullptr, FILE_CURRENT); };
    // Where a bare read of the mark leaves a fresh handle.
    HANDLE reference = open();
    ASSERT_NE(reference, INVALID_HANDLE_VALUE);
    OVERLAPPED at{};
    at.Offset = ENTRY_OFFSET;
    char mark[4];
    DWORD got = 0;
    ReadFile(reference, mark, sizeof(mark), &got, &at);
    const DWORD expected = pointer(reference);
    CloseHandle(reference);

    HANDLE handle = open();
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(m_file.Attach(handle, 2, ENTRY_OFFSET), S_OK);
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(pointer(handle), expected);
    EXPECT_NE(pointer(handle), ENTRY_OFFSET);
}

} // namespace
