// The executable: the one application object and the process entry.
#include "app/CVeskApp.h"
#include "app/WinMain.h"
#include "platform/ProcessEntry.h"
#include "platform/TerminationSignals.h"

// Built before main and destroyed after it returns; its destructor writes the configuration back.
CVeskApp g_app;

int main(int argc, char** argv)
{
    platform::InstallTerminationHandlers();
    return platform::RunWinMain(argc, argv, WinMain);
}
