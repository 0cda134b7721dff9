#include "platform/kernel/FileApi.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/Unicode.h"
#include "support/TempDir.h"

namespace {

class FileApiTest : public ::testing::Test
{
protected:
    // The Windows form of a path in the test folder: drive letter and backslashes.
    std::u16string WinPath(const std::string& relative) const
    {
        std::string path = "C:" + m_dir.PathOf(relative);
        for (char& c : path) {
            if (c == '/')
                c = '\\';
        }
        return platform::Utf8ToUtf16(path);
    }

    void WriteText(const std::string& relative, const std::string& text) const
    {
        std::ofstream(m_dir.PathOf(relative), std::ios::binary) << text;
    }

    std::string ReadText(const std::string& relative) const
    {
        std::ifstream in(m_dir.PathOf(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    HANDLE OpenRead(const std::string& relative, DWORD share = FILE_SHARE_READ) const
    {
        return CreateFileW(WinPath(relative).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    }

    HANDLE OpenWrite(const std::string& relative, DWORD disposition = CREATE_ALWAYS) const
    {
        return CreateFileW(WinPath(relative).c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    std::string ReadAll(HANDLE file, DWORD count) const
    {
        std::string bytes(count, '\0');
        DWORD read = 0;
        EXPECT_TRUE(ReadFile(file, bytes.data(), count, &read, nullptr));
        bytes.resize(read);
        return bytes;
    }

    TempDir m_dir;
};

TEST_F(FileApiTest, WritesAndReadsBackWithShortReadAtTheEnd)
{
    HANDLE file = OpenWrite("a.bin");
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, "0123456789", 10, &written, nullptr));
    EXPECT_EQ(written, 10u);
    EXPECT_TRUE(CloseHandle(file));

    file = OpenRead("a.bin");
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD high = 99;
    EXPECT_EQ(GetFileSize(file, &high), 10u);
    EXPECT_EQ(high, 0u);
    EXPECT_EQ(ReadAll(file, 4), "0123");
    EXPECT_EQ(ReadAll(file, 100), "456789"); // a read past the end is a short success
    EXPECT_EQ(ReadAll(file, 5), "");
    DWORD written_to_reader = 7;
    EXPECT_FALSE(WriteFile(file, "x", 1, &written_to_reader, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(written_to_reader, 0u);
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(FileApiTest, DispositionsReportWhatWasThere)
{
    WriteText("old.txt", "previous");
    HANDLE file = OpenWrite("old.txt", CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    CloseHandle(file);
    EXPECT_EQ(ReadText("old.txt"), ""); // truncated

    EXPECT_EQ(OpenWrite("old.txt", CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);

    file = OpenWrite("fresh.txt", OPEN_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(file);

    EXPECT_EQ(OpenWrite("absent.txt", OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FileApiTest, MissingFileAndMissingFolderGiveDifferentErrors)
{
    EXPECT_EQ(OpenRead("nothing.txt"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenRead("no_folder\\nothing.txt"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(OpenWrite("no_folder\\new.txt"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(FileApiTest, AFolderCannotBeOpenedAsAFile)
{
    ASSERT_TRUE(CreateDirectoryW(WinPath("folder").c_str(), nullptr));
    EXPECT_EQ(OpenRead("folder"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(OpenWrite("folder"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST_F(FileApiTest, ShareModesDecideWhoMayOpen)
{
    WriteText("shared.txt", "hello");
    HANDLE reader = OpenRead("shared.txt");
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    HANDLE second_reader = OpenRead("shared.txt");
    EXPECT_NE(second_reader, INVALID_HANDLE_VALUE); // readers that share reading coexist
    CloseHandle(second_reader);

    // An exclusive writer is refused, and the refused CREATE_ALWAYS leaves the content alone.
    EXPECT_EQ(OpenWrite("shared.txt"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(ReadText("shared.txt"), "hello");
    CloseHandle(reader);

    HANDLE writer = OpenWrite("shared.txt");
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenRead("shared.txt"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(DeleteFileW(WinPath("shared.txt").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    // Held as the source or as the target it replaces, the file stays; a free name is taken.
    WriteText("other.txt", "other");
    EXPECT_FALSE(
        MoveFileExW(WinPath("other.txt").c_str(), WinPath("SHARED.txt").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(MoveFileExW(WinPath("shared.txt").c_str(), WinPath("free.txt").c_str(), 0));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_TRUE(MoveFileExW(WinPath("other.txt").c_str(), WinPath("free.txt").c_str(), 0));
    CloseHandle(writer);
    EXPECT_TRUE(DeleteFileW(WinPath("shared.txt").c_str()));
}

TEST_F(FileApiTest, FilePointerHas32BitSemantics)
{
    WriteText("seek.bin", "abcdefgh");
    HANDLE file = OpenRead("seek.bin");
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LONG high = 0;
    EXPECT_EQ(SetFilePointer(file, 3, &high, FILE_BEGIN), 3u);
    EXPECT_EQ(SetFilePointer(file, 2, &high, FILE_CURRENT), 5u);
    EXPECT_EQ(ReadAll(file, 1), "f");
    EXPECT_EQ(SetFilePointer(file, -2, nullptr, FILE_END), 6u);
    EXPECT_EQ(ReadAll(file, 2), "gh");

    EXPECT_EQ(SetFilePointer(file, -1, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(SetFilePointer(file, 0, &high, FILE_CURRENT), 8u); // a failed seek does not move

    // With a high word of 0 the distance is unsigned: 0xFFFFFFFF is a valid position whose
    // result is indistinguishable from the failure value except through GetLastError.
    high = 0;
    EXPECT_EQ(SetFilePointer(file, -1, &high, FILE_BEGIN), 0xFFFF'FFFFu);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(high, 0);
    CloseHandle(file);
}

TEST_F(FileApiTest, ADuplicateSharesThePositionAndOutlivesTheOriginal)
{
    WriteText("dup.bin", "abcdef");
    HANDLE original = OpenRead("dup.bin");
    ASSERT_NE(original, INVALID_HANDLE_VALUE);
    HANDLE copy = nullptr;
    ASSERT_TRUE(
        DuplicateHandle(GetCurrentProcess(), original, GetCurrentProcess(), &copy, GENERIC_READ, TRUE, 0));
    ASSERT_NE(copy, original);

    EXPECT_EQ(ReadAll(original, 2), "ab");
    EXPECT_EQ(ReadAll(copy, 2), "cd");
    SetFilePointer(copy, 1, nullptr, FILE_BEGIN);
    EXPECT_EQ(ReadAll(original, 1), "b");

    EXPECT_TRUE(CloseHandle(original));
    EXPECT_EQ(ReadAll(copy, 3), "cde");
    // The duplicate still holds the share lock of the file.
    EXPECT_EQ(OpenWrite("dup.bin"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_TRUE(CloseHandle(copy));
}

TEST_F(FileApiTest, ClosedAndUnknownHandlesAreRejected)
{
    WriteText("x.txt", "x");
    HANDLE file = OpenRead("x.txt");
    ASSERT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    DWORD read = 5;
    char byte;
    EXPECT_FALSE(ReadFile(file, &byte, 1, &read, nullptr));
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CloseHandle(nullptr));
}

TEST_F(FileApiTest, NamesResolveIgnoringCaseAndPreferTheExactName)
{
    ASSERT_TRUE(CreateDirectoryW(WinPath("Data").c_str(), nullptr));
    WriteText("Data/file.txt", "lower");
    WriteText("Data/FILE.txt", "upper");

    HANDLE exact = OpenRead("DATA\\file.txt");
    ASSERT_NE(exact, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadAll(exact, 10), "lower");
    CloseHandle(exact);
    exact = OpenRead("data\\FILE.txt");
    ASSERT_NE(exact, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadAll(exact, 10), "upper");
    CloseHandle(exact);

    // No exact match: of the two case variants the first in byte order ("FILE.txt") is taken.
    HANDLE variant = OpenRead("data\\File.Txt");
    ASSERT_NE(variant, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadAll(variant, 10), "upper");
    CloseHandle(variant);
}

TEST_F(FileApiTest, CreatingResolvesTheFolderAndKeepsTheNewName)
{
    ASSERT_TRUE(CreateDirectoryW(WinPath("Save").c_str(), nullptr));
    HANDLE file = OpenWrite("SAVE\\New.dat");
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "Save" / "New.dat"));
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "SAVE"));

    // A case variant of an existing file is that file, as on a case-blind file system.
    file = OpenWrite("save\\new.DAT");
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    CloseHandle(file);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.Path() / "Save"), {}), 1);
}

TEST_F(FileApiTest, FindFirstFileFindsFilesAndFolders)
{
    WriteText("Flag000", "f");
    ASSERT_TRUE(CreateDirectoryW(WinPath("Sub").c_str(), nullptr));
    WriteText("Sub/b.XML", "x");

    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(WinPath("flag000").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::u16string(data.cFileName), u"Flag000");
    EXPECT_EQ(data.nFileSizeLow, 1u);
    EXPECT_FALSE(CloseHandle(find)); // find handles close with FindClose
    EXPECT_TRUE(FindClose(find));

    find = FindFirstFileW(WinPath("sub\\").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    FindClose(find);

    find = FindFirstFileW(WinPath("Sub\\*.xml").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::u16string(data.cFileName), u"b.XML");
    FindClose(find);

    EXPECT_EQ(FindFirstFileW(WinPath("Flag001").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(FindFirstFileW(WinPath("Sub\\*.txt").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FileApiTest, FoldersAreCreatedOneLevelAtATime)
{
    EXPECT_FALSE(CreateDirectoryW(WinPath("a\\b").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_TRUE(CreateDirectoryW(WinPath("a\\").c_str(), nullptr));
    EXPECT_TRUE(CreateDirectoryW(WinPath("a\\b").c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryW(WinPath("A").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(GetFileAttributesW(WinPath("A\\B").c_str()), FILE_ATTRIBUTE_DIRECTORY);

    EXPECT_FALSE(RemoveDirectoryW(WinPath("a").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
    EXPECT_FALSE(DeleteFileW(WinPath("a\\b").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(RemoveDirectoryW(WinPath("a\\b").c_str()));
    EXPECT_TRUE(RemoveDirectoryW(WinPath("a").c_str()));
    EXPECT_FALSE(PathFileExistsW(WinPath("a").c_str()));
    EXPECT_EQ(GetFileAttributesW(WinPath("a").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FileApiTest, MoveReplacesOnlyWhenAsked)
{
    WriteText("slot1", "one");
    WriteText("slot2", "two");
    EXPECT_FALSE(MoveFileExW(WinPath("slot1").c_str(), WinPath("slot2").c_str(), 0));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(MoveFileExW(WinPath("slot1").c_str(), WinPath("SLOT2").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadText("slot2"), "one");
    EXPECT_FALSE(PathFileExistsW(WinPath("slot1").c_str()));
    EXPECT_TRUE(PathFileExistsW(WinPath("Slot2").c_str()));

    EXPECT_TRUE(MoveFileExW(WinPath("slot2").c_str(), WinPath("Slot2").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "Slot2")); // a case-only rename renames
    EXPECT_FALSE(MoveFileExW(WinPath("missing").c_str(), WinPath("x").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(LocalTime, MatchesTheCivilDateInUtc)
{
    const char* previous = std::getenv("TZ");
    const std::string saved = previous ? previous : "";
    setenv("TZ", "UTC", 1);
    tzset();
    using namespace std::chrono;
    const auto before = system_clock::now();
    SYSTEMTIME time;
    GetLocalTime(&time);
    const auto after = system_clock::now();
    if (previous)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();

    // Recompute the same instant from the system clock: either reading brackets it.
    bool matched = false;
    for (const auto instant : {before, after}) {
        const auto day = floor<days>(instant);
        const year_month_day date(day);
        const hh_mm_ss<seconds> clock_time(floor<seconds>(instant - day));
        matched =
            matched ||
            (static_cast<int>(date.year()) == time.wYear &&
             static_cast<unsigned>(date.month()) == time.wMonth &&
             static_cast<unsigned>(date.day()) == time.wDay && clock_time.hours().count() == time.wHour &&
             clock_time.minutes().count() == time.wMinute && clock_time.seconds().count() == time.wSecond &&
             weekday(day).c_encoding() == time.wDayOfWeek);
    }
    EXPECT_TRUE(matched);
}

} // namespace
