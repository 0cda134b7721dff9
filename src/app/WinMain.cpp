#include "app/WinMain.h"

#include "app/AppMessageBox.h"
#include "app/CWinApp.h"
#include "platform/com/ComApi.h"
#include "platform/user/MessageBoxApi.h"

namespace {

// Process-wide COM use count: COM is set up with the first entry and released with the last.
int g_com_use_count = 0;

} // namespace

int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR command_line, int show_command)
{
    if (g_com_use_count == 0) {
        if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
            AppMessageBox(MB_ICONERROR, "ＣＯＭの初期化に失敗しました。");
        else
            ++g_com_use_count;
    } else {
        ++g_com_use_count;
    }

    // A start-up or a run that ended on a failure it has shown gives a non-zero exit status.
    int status = 1;
    if (CWinApp* app = GetApp()) {
        app->SetStartupArguments(instance, CStringUTF8(command_line ? command_line : u""), show_command);
        app->InitFramework();
        if (app->InitInstance() == 1 && app->Run() == 1)
            status = 0;
        app->ExitInstance();
    }

    if (g_com_use_count >= 1 && --g_com_use_count == 0) {
        CoFreeUnusedLibraries();
        CoUninitialize();
    }
    return status;
}
