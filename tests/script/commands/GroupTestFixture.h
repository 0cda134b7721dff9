#pragma once
// A stage for the command-group tests: a started game over a folder the tools write (system
// tables, a layer archive with the test's pictures, a script archive with the test's scripts),
// with a test application whose message pump moves the virtual clock on by 1 ms, runs the frame
// tasks and a per-test hook, and quits after a watchdog count of pumps (failing the test);
// scripted keyboard and mouse in the input view; a live headless display, which the game makes
// before its start-up as the application does.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../ScriptTestFixture.h"
#include "app/InputFakes.h"
#include "app/TestApp.h"
#include "arcpack/ArchiveWriter.h"
#include "graphics/CAppTask.h"
#include "support/HeadlessDisplay.h"
#include "support/WorkingDir.h"

class PumpedApp final : public TestApp
{
public:
    UINT PumpMessage() override;

    std::function<void(int)> on_pump; // called with the count of pumps so far
    CAppTask* runner = nullptr;       // not owned
    int pumps = 0;
    int watchdog = 200'000;
    bool watchdog_fired = false;
    bool quitting = false;
};

// What the folder holds besides the system tables, the cursor and a bare "start.mes".
struct GameFiles
{
    std::vector<tools::ArchiveEntry> pictures; // layer.arc
    std::vector<tools::ArchiveEntry> data;     // data.arc
    std::map<std::string, std::string> scripts;
};

class GroupTest : public ScriptTest
{
protected:
    GroupTest();
    ~GroupTest() override;

    // Writes the folder and starts the game; a start-up failure fails the test.
    void StartGame(GameFiles files = {});
    // Assembles the source and runs it as the only script to its end.
    void RunSource(const std::string& source);
    void SetEngineBits(uint32_t bits);
    // Pumps run so far, for waits that should or should not have pumped.
    int Pumps() const { return m_app.pumps; }

    WorkingDir m_dir;
    PumpedApp m_app;
    CAppTask m_runner;
    ScriptedKeyboard m_keyboard;
    ScriptedMouse m_mouse;
    std::unique_ptr<HeadlessDisplay> m_display;

private:
    CAppTask* m_previous_runner = nullptr;
};
