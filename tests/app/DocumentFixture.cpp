#include "DocumentFixture.h"

#include <utility>

#include "akbwriter/AkbWriter.h"
#include "app/AppMessageBox.h"
#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "arcpack/ArchiveWriter.h"
#include "foundation/CreationFault.h"
#include "mapwrite/MapTableWriter.h"
#include "mesasm/MesAssembler.h"
#include "support/StartupPictures.h"

namespace {

const char* const SYSTEM_MAP_NAMES[] = {"system_en.map", "system_cn.map", "system_tw.map", "system.map"};

std::u16string Widen(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

} // namespace

std::string SystemText(int id, int language)
{
    return "text " + std::to_string(id) + " of " + std::to_string(language);
}

DocumentFixture::DocumentFixture()
{
    SetAppMessageBoxHook([this](UINT, const CStringUTF8& text) {
        m_boxes.emplace_back(text.GetText());
        return 1;
    });
    m_app.UseConfigFile(m_dir.Path().string() + "/config.xml");
    m_app.SetSaveFolders((m_dir.Path().string() + "/").c_str(), (m_dir.Path().string() + "/").c_str());

    std::vector<tools::ArchiveEntry> data;
    for (int language = 0; language < 4; ++language) {
        std::vector<tools::MapText> texts;
        for (int id = 0; id < 16; ++id)
            texts.push_back({id, Widen(SystemText(id, language))});
        data.push_back({tools::UpperCaseName(SYSTEM_MAP_NAMES[language]), tools::BuildMapTable(texts)});
    }
    for (tools::ArchiveEntry& entry : StartupDataEntries())
        data.push_back(std::move(entry));
    m_dir.Write("data.arc", tools::BuildArchive(data, tools::ArchiveEncoding::Lzss));

    // The cursor sheet: two frames of 64 x 64 pixels in each of three rows.
    const tools::AkbPicture sheet = tools::MakePicture(128, 192, 0xFF102030);
    std::vector<tools::ArchiveEntry> layers = StartupPictureEntries();
    layers.push_back({"CURSOR.AKB", tools::EncodeAkb(sheet, {})});
    m_dir.Write("layer.arc", tools::BuildArchive(layers, tools::ArchiveEncoding::Plain));
}

DocumentFixture::~DocumentFixture()
{
    InjectCreationFault(nullptr);
    DeleteDocument();
    SetAppMessageBoxHook(nullptr);
}

void DocumentFixture::WriteScripts(const std::map<std::string, std::string>& sources)
{
    std::vector<tools::ArchiveEntry> entries;
    for (const auto& [name, source] : sources) {
        const tools::AssembledScript script = tools::AssembleScript(source);
        EXPECT_TRUE(script.Ok) << name << ": " << script.Error;
        entries.push_back({tools::UpperCaseName(name), script.File});
    }
    m_dir.Write("script.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Lzss));
}

CVeskDoc* DocumentFixture::StartDocument()
{
    WriteScripts({{"start.mes", "line 1\nend"}, {"main.mes", "line 1\nend"}});
    CVeskDoc* document = GetDocument();
    document->StartGame();
    return document;
}

std::vector<std::string> DocumentFixture::TakeMessageBoxes()
{
    return std::exchange(m_boxes, {});
}
