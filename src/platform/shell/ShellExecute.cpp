#include "platform/shell/ShellExecuteApi.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/Environment.h"
#include "platform/kernel/Unicode.h"

extern char** environ;

namespace {

HINSTANCE Result(intptr_t value)
{
    return reinterpret_cast<HINSTANCE>(value);
}

} // namespace

HINSTANCE ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, int)
{
    if (file == nullptr || *file == 0)
        return Result(SE_ERR_FNF);
    if (verb != nullptr && std::u16string_view(verb) != u"open")
        return Result(SE_ERR_NOASSOC);
    std::string target = platform::Utf16ToUtf8(file);
    // A Windows path opens as the same POSIX path.
    if (target.find("://") == std::string::npos) {
        for (char& c : target) {
            if (c == '\\')
                c = '/';
        }
    }
    if (platform::IsNullBackend(platform::Service::Shell)) {
        std::fprintf(stderr, "open %s (headless)\n", target.c_str());
        return Result(42);
    }
    char program[] = "xdg-open";
    char* arguments[] = {program, target.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program, nullptr, nullptr, arguments, environ) != 0)
        return Result(SE_ERR_NOASSOC);
    // xdg-open hands the document over and ends; its status says whether a handler took it.
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return Result(SE_ERR_NOASSOC);
    return Result(42);
}
