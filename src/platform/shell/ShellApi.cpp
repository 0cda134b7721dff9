#include "platform/shell/ShellApi.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/kernel/Unicode.h"

namespace {

// $HOME, or the password database's home when HOME is unset, as XDG clients do.
std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return {};
}

std::string DataHome()
{
    // A relative XDG_DATA_HOME is invalid by the base-directory rules and is ignored.
    const char* data_home = std::getenv("XDG_DATA_HOME");
    if (data_home && data_home[0] == '/')
        return data_home;
    const std::string home = HomeFolder();
    if (home.empty())
        return {};
    return home + "/.local/share";
}

// mkdir -p: creates every missing component; true when the folder exists afterwards.
bool MakeFolders(const std::string& path)
{
    struct stat info
    {};
    if (stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    const std::string::size_type slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash)))
        return false;
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace

HRESULT SHGetFolderPathW(HWND, int folder, HANDLE, DWORD, LPWSTR path)
{
    if (!path || (folder & ~CSIDL_FLAG_CREATE) != CSIDL_APPDATA)
        return E_INVALIDARG;
    path[0] = 0;
    std::string data_home = DataHome();
    while (data_home.size() > 1 && data_home.back() == '/')
        data_home.pop_back();
    if (data_home.empty() || !MakeFolders(data_home))
        return E_FAIL;
    const std::u16string wide = platform::Utf8ToUtf16(data_home);
    if (wide.size() >= MAX_PATH)
        return E_FAIL;
    wide.copy(path, wide.size());
    path[wide.size()] = 0;
    return S_OK;
}
