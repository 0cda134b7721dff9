#include "GameDataWriter.h"

#include <fstream>
#include <gtest/gtest.h>

#include "akbwriter/AkbWriter.h"
#include "arcpack/ArchiveWriter.h"
#include "mapwrite/MapTableWriter.h"
#include "mesasm/MesAssembler.h"
#include "support/StartupPictures.h"

namespace {

void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

void WriteMinimalGameData(const std::string& start_script)
{
    std::vector<tools::ArchiveEntry> data;
    for (const char* name : {"system_en.map", "system_cn.map", "system_tw.map", "system.map"})
        data.push_back(
            {tools::UpperCaseName(name), tools::BuildMapTable(std::vector<tools::MapText>{{0, u"text"}})});
    for (tools::ArchiveEntry& entry : StartupDataEntries())
        data.push_back(std::move(entry));
    WriteFile("data.arc", tools::BuildArchive(data, tools::ArchiveEncoding::Lzss));

    const tools::AkbPicture sheet = tools::MakePicture(128, 192, 0xFF102030);
    std::vector<tools::ArchiveEntry> layers = StartupPictureEntries();
    layers.push_back({"CURSOR.AKB", tools::EncodeAkb(sheet, {})});
    WriteFile("layer.arc", tools::BuildArchive(layers, tools::ArchiveEncoding::Plain));

    const tools::AssembledScript script = tools::AssembleScript(start_script);
    EXPECT_TRUE(script.Ok) << script.Error;
    WriteFile("script.arc", tools::BuildArchive(std::vector<tools::ArchiveEntry>{{"START.MES", script.File}},
                                                tools::ArchiveEncoding::Lzss));
}
