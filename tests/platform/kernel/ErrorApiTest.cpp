// The system's error texts: the failing POSIX call's own description when the number is the last
// error it left, our table otherwise, in the caller's buffer or an allocated one.

#include "platform/kernel/ErrorApi.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/kernel/FileApi.h"
#include "platform/kernel/Unicode.h"
#include "platform/kernel/Win32Error.h"

namespace {

std::string Text(DWORD code)
{
    LPWSTR text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    EXPECT_NE(length, 0u);
    const std::string utf8 = platform::Utf16ToUtf8(std::u16string(text, length));
    EXPECT_EQ(LocalFree(text), nullptr);
    return utf8;
}

} // namespace

TEST(FormatMessageW, GivesTheTextOfTheErrnoBehindTheLastError)
{
    platform::SetLastErrorFromErrno(ENOSPC);
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(Text(ERROR_DISK_FULL), "No space left on device.\r\n");
    // Another number, or the same one set without an errno, comes from the table.
    EXPECT_EQ(Text(ERROR_ACCESS_DENIED), "Access is denied.\r\n");
    SetLastError(ERROR_DISK_FULL);
    EXPECT_EQ(Text(ERROR_DISK_FULL), "There is not enough space on the disk.\r\n");
    EXPECT_EQ(Text(99999), "Unknown error 99999.\r\n");
}

TEST(FormatMessageW, FillsTheCallersBufferOrSaysItIsTooSmall)
{
    SetLastError(ERROR_SUCCESS);
    char16_t buffer[64];
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND, 0, buffer, 64, nullptr);
    EXPECT_EQ(std::u16string(buffer), u"The system cannot find the file specified.\r\n");
    EXPECT_EQ(length, std::u16string(buffer).size());
    EXPECT_EQ(
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND, 0, buffer, 10, nullptr),
        0u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(FormatMessageW(0, nullptr, ERROR_FILE_NOT_FOUND, 0, buffer, 64, nullptr), 0u);
}

TEST(FormatMessageW, AFailedOpenNamesItsReason)
{
    EXPECT_EQ(CreateFileW(u"/proc/definitely/not/here", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(Text(GetLastError()), "The system cannot find the path specified.\r\n");
}
