#include "graphics/EffectFixture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/AppMessageBox.h"
#include "app/CVeskDoc.h"
#include "foundation/IAppTask.h"
#include "foundation/ScopedLock.h"
#include "graphics/CDirect3D.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/CSpriteLayerFile.h"
#include "graphics/CSpriteManager.h"
#include "graphics/ILayer.h"
#include "graphics/PixelWord.h"
#include "mapwrite/MapTableWriter.h"
#include "mesasm/MesAssembler.h"
#include "platform/gdi/PngCodec.h"
#include "platform/kernel/VirtualClock.h"
#include "rulegen/RuleImageWriter.h"
#include "support/HeadlessDisplay.h"
#include "support/StartupPictures.h"

void QuietRunner::AddTask(IAppTask* task)
{
    ScopedLock lock(m_lock);
    if (task != nullptr && !Has(task))
        m_listed.push_back(task);
}

void QuietRunner::RemoveTask(IAppTask* task)
{
    ScopedLock lock(m_lock);
    m_listed.erase(std::remove(m_listed.begin(), m_listed.end(), task), m_listed.end());
}

void QuietRunner::RemoveAll()
{
    ScopedLock lock(m_lock);
    m_listed.clear();
}

uint32_t QuietRunner::RunDueTasks()
{
    ScopedLock lock(m_lock);
    ++m_passes;
    const std::vector<IAppTask*> tasks = m_listed;
    ScopedLock draw(g_draw_lock);
    for (IAppTask* task : tasks) {
        // A task may take itself or another one out while it runs.
        if (Has(task))
            task->Execute();
    }
    return 0;
}

bool QuietRunner::Has(IAppTask* task)
{
    ScopedLock lock(m_lock);
    return std::find(m_listed.begin(), m_listed.end(), task) != m_listed.end();
}

UINT EffectApp::PumpMessage()
{
    if (m_quit)
        return 0;
    if (m_dispatch)
        TestApp::PumpMessage();
    platform::VirtualClock::Advance(16);
    if (m_runner != nullptr)
        m_runner->RunDueTasks();
    return 1;
}

EffectFixture::EffectFixture()
{
    m_app.m_runner = &m_runner;
    m_app.UseConfigFile(m_dir.Path().string() + "/config.xml");
    SetAppMessageBoxHook([this](UINT, const CStringUTF8& text) {
        m_messages.emplace_back(text.GetText());
        return 1;
    });
    platform::VirtualClock::Enable(EFFECT_CLOCK_START);
    platform::VirtualClock::SetAutoAdvance(true);
    m_display = std::make_unique<HeadlessDisplay>();
    m_previous_runner = SetAppTask(&m_runner);
    m_previous_engine = EffectRandom::SetEngine([this] {
        if (m_random.empty())
            return 0u;
        const uint32_t value = m_random.front();
        m_random.pop_front();
        return value;
    });
}

EffectFixture::~EffectFixture()
{
    EffectRandom::SetEngine(std::move(m_previous_engine));
    SetDocumentLayerFile(nullptr);
    m_layer_file.reset();
    DeleteDocument();
    SetAppTask(m_previous_runner);
    m_display.reset();
    platform::VirtualClock::SetAutoAdvance(false);
    platform::VirtualClock::Disable();
    SetAppMessageBoxHook(nullptr);
}

void EffectFixture::OpenLayerArchive(std::vector<tools::ArchiveEntry> extra, bool effect_pictures)
{
    SetDocumentLayerFile(nullptr);
    m_layer_file.reset();
    if (!effect_pictures) {
        m_dir.Write("layer.arc", tools::BuildArchive(extra, tools::ArchiveEncoding::Plain));
        m_layer_file = std::make_unique<CSpriteLayerFile>("layer.arc", false, false);
        SetDocumentLayerFile(m_layer_file.get());
        return;
    }
    tools::AkbPicture petals = tools::MakePicture(64, 640, 0);
    for (int f = 0; f < 10; ++f)
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                petals.At(x, f * 64 + y) = PetalFrameColour(f);
    extra.push_back({"HANA.AKB", tools::EncodeAkb(petals, {})});
    extra.push_back({"SNOWBALL.AKB", tools::EncodeAkb(tools::MakePicture(64, 64, 0xFFFFFFFF), {})});
    m_dir.Write("layer.arc", tools::BuildArchive(extra, tools::ArchiveEncoding::Plain));
    m_layer_file = std::make_unique<CSpriteLayerFile>("layer.arc", false, false);
    SetDocumentLayerFile(m_layer_file.get());
}

void EffectFixture::QueueRandom(std::initializer_list<uint32_t> values)
{
    m_random.insert(m_random.end(), values);
}

void EffectFixture::RunTasks(int runs, uint32_t step)
{
    for (int i = 0; i < runs; ++i) {
        platform::VirtualClock::Advance(step);
        m_runner.RunDueTasks();
    }
}

void EffectFixture::StepTask(IAppTask& task, int runs, uint32_t step)
{
    for (int i = 0; i < runs; ++i) {
        platform::VirtualClock::Advance(step);
        task.Execute();
    }
}

void WriteStartableGameFolder(WorkingDir& dir)
{
    const char* const maps[] = {"system_en.map", "system_cn.map", "system_tw.map", "system.map"};
    std::vector<tools::ArchiveEntry> data;
    for (const char* name : maps) {
        std::vector<tools::MapText> texts;
        for (int id = 0; id < 16; ++id) {
            const std::string text = "text " + std::to_string(id);
            texts.push_back({id, std::u16string(text.begin(), text.end())});
        }
        data.push_back({tools::UpperCaseName(name), tools::BuildMapTable(texts)});
    }
    data.push_back({"01.BIN", tools::MakeRuleImage(tools::RulePattern::Radial, 1920, 1080)});
    for (tools::ArchiveEntry& entry : StartupDataEntries())
        data.push_back(std::move(entry));
    dir.Write("data.arc", tools::BuildArchive(data, tools::ArchiveEncoding::Lzss));
    std::vector<tools::ArchiveEntry> scripts;
    for (const char* name : {"start.mes", "main.mes"}) {
        const tools::AssembledScript script = tools::AssembleScript("line 1\nend");
        EXPECT_TRUE(script.Ok) << script.Error;
        scripts.push_back({tools::UpperCaseName(name), script.File});
    }
    dir.Write("script.arc", tools::BuildArchive(scripts, tools::ArchiveEncoding::Lzss));
}

uint32_t EffectPixel(ILayer& layer, int x, int y)
{
    const uint8_t* p = layer.GetPixelPtr(x, y);
    return (uint32_t{p[3]} << 24) | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

tools::AkbPicture PictureWithBox(int w, int h, uint32_t colour, int left, int top, int right, int bottom,
                                 uint32_t box_colour)
{
    tools::AkbPicture picture = tools::MakePicture(w, h, colour);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            picture.At(x, y) = box_colour;
    return picture;
}

bool WriteCapturePng(ILayer& layer, const std::string& name)
{
    platform::PngPicture picture;
    picture.width = layer.GetWidth();
    picture.height = layer.GetHeight();
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = layer.GetPixelPtr(0, y);
        uint32_t* out = &picture.pixels[static_cast<size_t>(y) * picture.width];
        // Bytes B, G, R, A are the word 0xAARRGGBB the picture takes, read whole: byte by byte, a
        // capture under the thread sanitizer costs as much as the frame it shows.
        for (int x = 0; x < picture.width; ++x, row += 4)
            out[x] = graphics::LoadPixel(row);
    }
    const char* folder = std::getenv("VESK_BINARY_DIR");
    return platform::WritePngFile(std::string(folder ? folder : ".") + "/" + name, picture);
}

void CaptureFrame(CSpriteLayer& target, const std::string& png)
{
    CDirect3D* display = CDirect3D::GetInstance();
    {
        ScopedLock lock(g_draw_lock);
        display->GetSpriteManager()->SetMatrices();
        display->DrawFrame();
    }
    display->CaptureScreen(&target);
    if (!png.empty()) {
        EXPECT_TRUE(WriteCapturePng(target, png));
    }
}
