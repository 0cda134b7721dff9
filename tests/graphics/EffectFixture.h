#pragma once
// A stage for the effect tests: a test application with default settings, the virtual clock
// (sleeps move it on at once), a live headless display, a frame-task runner that the test steps
// by hand, the document's layer file over a "layer.arc" written by the tools, and a scripted
// random engine whose raw values the test chooses. Everything is put back when the fixture goes.
//
// Waits that pump messages (an animation task played to its end) run one task tick per pump on
// the test's own thread, so a wait of n ticks takes n pumps and no real time, and the frames of
// those ticks are not drawn: tests draw the frames they look at.

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "akbwriter/AkbWriter.h"
#include "app/TestApp.h"
#include "arcpack/ArchiveWriter.h"
#include "foundation/CCriticalSection.h"
#include "graphics/CAppTask.h"
#include "graphics/EffectRandom.h"
#include "support/ThreadTest.h"
#include "support/WorkingDir.h"

class CSpriteLayerFile;
class HeadlessDisplay;
class IAppTask;
class CSpriteLayer;
class ILayer;

inline constexpr uint32_t EFFECT_CLOCK_START = 100'000;

// The colour of petal frame f in the test's "hana.akb".
constexpr uint32_t PetalFrameColour(int f)
{
    return 0xFF000000u | (uint32_t(0x40 + f * 0x10) << 16) | 0x2080u;
}

// A runner that ticks every listed task once per pass and draws no frame.
class QuietRunner final : public CAppTask
{
public:
    void AddTask(IAppTask* task) override;
    void RemoveTask(IAppTask* task) override;
    void RemoveAll() override;
    uint32_t RunDueTasks() override;
    bool Contains(IAppTask* task) override { return Has(task); }
    bool Has(IAppTask* task);
    int GetPasses() const { return m_passes; }

private:
    std::vector<IAppTask*> m_listed; // not owned
    int m_passes = 0;
    CCriticalSection m_lock{LOCK_LEVEL_FRAME_TASK_LIST}; // the test's task list; guards m_listed
};

// The application with a message pump that ticks the runner once per call, or reports that the
// application quits once the test says so. With m_dispatch it first hands the window layer's
// waiting messages to their windows, as the game's own pump does.
class EffectApp final : public TestApp
{
public:
    UINT PumpMessage() override;
    QuietRunner* m_runner = nullptr; // not owned: the fixture's
    bool m_quit = false;
    bool m_dispatch = false;
};

class EffectFixture : public ThreadTest
{
protected:
    EffectFixture();
    ~EffectFixture() override;

    // Writes "layer.arc" with "hana.akb" (ten 64 x 64 frames in a column), "SnowBall.akb" (64 x
    // 64 opaque white) unless told not to, and the extra entries, and makes it the document's
    // layer file.
    void OpenLayerArchive(std::vector<tools::ArchiveEntry> extra = {}, bool effect_pictures = true);
    // Raw engine values for the next draws (each reduced modulo n by the draw); 0 once used up.
    void QueueRandom(std::initializer_list<uint32_t> values);
    size_t RandomLeft() const { return m_random.size(); }
    // Moves the clock on by step and lets the runner tick its tasks, runs times.
    void RunTasks(int runs, uint32_t step = 16);
    // Moves the clock on by step and runs the one task, without drawing, runs times.
    void StepTask(IAppTask& task, int runs, uint32_t step = 16);

    WorkingDir m_dir;
    EffectApp m_app;
    std::unique_ptr<HeadlessDisplay> m_display;
    QuietRunner m_runner;
    std::unique_ptr<CSpriteLayerFile> m_layer_file;
    std::vector<std::string> m_messages; // message boxes, recorded instead of shown

private:
    std::deque<uint32_t> m_random;
    CAppTask* m_previous_runner = nullptr;
    EffectRandom::Engine m_previous_engine;
};

// What a document needs to start besides its pictures: "data.arc" with the four system language
// tables and the radial rule 1, "script.arc" with a "start.mes" and a "main.mes" that end at once.
void WriteStartableGameFolder(WorkingDir& dir);
// The pixel at (x, y) of any layer as 0xAARRGGBB.
uint32_t EffectPixel(ILayer& layer, int x, int y);
// A picture of one colour with the rectangle (left, top, right, bottom) in another.
tools::AkbPicture PictureWithBox(int w, int h, uint32_t colour, int left, int top, int right, int bottom,
                                 uint32_t box_colour);
// Writes the layer's pixels as a PNG named name into the build folder; false when it cannot.
bool WriteCapturePng(ILayer& layer, const std::string& name);
// Draws and presents one frame of the live display and reads it back into the 1920 x 1080
// layer; writes it as a PNG when named.
void CaptureFrame(CSpriteLayer& target, const std::string& png = {});
