#include "GroupTestFixture.h"

#include <algorithm>

#include "akbwriter/AkbWriter.h"
#include "app/CVeskDoc.h"
#include "foundation/CInputView.h"
#include "mapwrite/MapTableWriter.h"
#include "mesasm/MesAssembler.h"
#include "platform/kernel/VirtualClock.h"
#include "support/StartupPictures.h"

using platform::VirtualClock;

UINT PumpedApp::PumpMessage()
{
    ++pumps;
    VirtualClock::Advance(1);
    if (runner != nullptr)
        runner->RunDueTasks();
    if (on_pump)
        on_pump(pumps);
    if (pumps > watchdog) {
        watchdog_fired = true;
        return 0;
    }
    return quitting ? 0 : 1;
}

GroupTest::GroupTest()
{
    VirtualClock::Enable(10'000);
    VirtualClock::SetAutoAdvance(true);
    m_app.UseConfigFile(m_dir.Path().string() + "/config.xml");
    m_app.SetSaveFolders((m_dir.Path().string() + "/").c_str(), (m_dir.Path().string() + "/").c_str());
    m_app.runner = &m_runner;
    m_previous_runner = SetAppTask(&m_runner);
    GetInputView()->SetKeyboard(&m_keyboard);
    GetInputView()->SetMouse(&m_mouse);
    GetInputView()->SetExtraInput(0, 0);
    GetInputView()->SetExtraInput(1, 0);
}

GroupTest::~GroupTest()
{
    EXPECT_FALSE(m_app.watchdog_fired) << "a wait did not end";
    m_app.on_pump = nullptr;
    m_document->Teardown();
    m_display.reset();
    SetAppTask(m_previous_runner);
    GetInputView()->SetKeyboard(nullptr);
    GetInputView()->SetMouse(nullptr);
    VirtualClock::SetAutoAdvance(false);
    VirtualClock::Disable();
}

void GroupTest::StartGame(GameFiles files)
{
    const std::vector<tools::MapText> texts{{0, u"text"}};
    std::vector<tools::ArchiveEntry> data = std::move(files.data);
    for (const char* name : {"system_en.map", "system_cn.map", "system_tw.map", "system.map"})
        data.push_back({tools::UpperCaseName(name), tools::BuildMapTable(texts)});
    for (tools::ArchiveEntry& entry : StartupDataEntries())
        if (std::none_of(data.begin(), data.end(),
                         [&](const auto& given) { return given.name == entry.name; }))
            data.push_back(std::move(entry));
    m_dir.Write("data.arc", tools::BuildArchive(data, tools::ArchiveEncoding::Lzss));

    std::vector<tools::ArchiveEntry> pictures = std::move(files.pictures);
    pictures.push_back({"CURSOR.AKB", tools::EncodeAkb(tools::MakePicture(128, 192, 0xFF102030), {})});
    for (tools::ArchiveEntry& entry : StartupPictureEntries())
        pictures.push_back(std::move(entry));
    m_dir.Write("layer.arc", tools::BuildArchive(pictures, tools::ArchiveEncoding::Plain));

    std::map<std::string, std::string> scripts = std::move(files.scripts);
    scripts.emplace("start.mes", "line 1\nend");
    std::vector<tools::ArchiveEntry> entries;
    for (const auto& [name, source] : scripts) {
        const tools::AssembledScript script = tools::AssembleScript(source);
        EXPECT_TRUE(script.Ok) << name << ": " << script.Error;
        entries.push_back({tools::UpperCaseName(name), script.File});
    }
    m_dir.Write("script.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Lzss));

    m_display = std::make_unique<HeadlessDisplay>();
    m_document->StartGame();
    EXPECT_EQ(TakeMessageBoxes(), std::vector<std::string>{});
}

void GroupTest::RunSource(const std::string& source)
{
    Run(Assemble(source));
}

void GroupTest::SetEngineBits(uint32_t bits)
{
    m_document->SetEngineStateBits(bits);
}
