// Area numbers from an id picture made by the AKB writer, and the shared data buffer.

#include "graphics/HitMap.h"

#include "akbwriter/AkbWriter.h"
#include "app/AppMessageBox.h"
#include "arcpack/ArchiveWriter.h"
#include "foundation/CString.h"
#include "graphics/CSpriteLayerFile.h"
#include "graphics/GlobalDataBuffer.h"
#include "support/FakeDocumentLink.h"
#include "support/WorkingDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An id picture of 60 x 40: area 0x0102 on the left half, area 0x0A0B on the right half, and
// area 7 in a 4 x 4 square at (28, 18). Ids are (green << 8) | red.
tools::AkbPicture IdPicture()
{
    tools::AkbPicture picture = tools::MakePicture(60, 40, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            picture.At(x, y) = x < 30 ? 0xFF020100 : 0xFF0B0A00; // 0xAARRGGBB
    for (int y = 18; y < 22; ++y)
        for (int x = 28; x < 32; ++x)
            picture.At(x, y) = 0xFF070030; // red 7, green 0, blue 0x30
    return picture;
}

} // namespace

class HitMapTest : public ::testing::Test
{
protected:
    HitMapTest()
    {
        SetAppMessageBoxHook([](UINT, const CStringUTF8&) { return 1; });
        tools::AkbPicture ids = IdPicture();
        m_dir.Write("layer.arc", tools::BuildArchive(
                                     std::vector<tools::ArchiveEntry>{{"IDS.AKB", tools::EncodeAkb(ids, {})}},
                                     tools::ArchiveEncoding::Lzss));
        m_dir.Write("data.arc",
                    tools::BuildArchive(std::vector<tools::ArchiveEntry>{{"TABLE.BIN", {1, 2, 3, 4, 5}}},
                                        tools::ArchiveEncoding::Lzss));
        m_layers = std::make_unique<CSpriteLayerFile>("layer.arc", true, false);
        m_data = std::make_unique<CArchiveManager>("data.arc", true, false);
        m_document.m_data_archive = m_data.get();
        SetDocumentLayerFile(m_layers.get());
    }
    ~HitMapTest() override
    {
        SetDocumentLayerFile(nullptr);
        SetAppMessageBoxHook(nullptr);
    }

    WorkingDir m_dir;
    FakeDocumentLink m_document;
    std::unique_ptr<CSpriteLayerFile> m_layers;
    std::unique_ptr<CArchiveManager> m_data;
};

TEST_F(HitMapTest, AnswersIdsFromTheColoursAndClampsToTheEdges)
{
    HitMap map;
    EXPECT_EQ(map.GetIdAt(0, 0), -1);
    EXPECT_EQ(map.LoadPictureStretched("ids.akb"), 1);
    EXPECT_EQ(map.GetScaledWidth(), 60);
    EXPECT_EQ(map.GetScaledHeight(), 40);
    EXPECT_EQ(map.GetIdAt(3, 3), 0x0102);
    EXPECT_EQ(map.GetIdAt(45, 3), 0x0A0B);
    EXPECT_EQ(map.GetIdAt(29, 19), 0x0007);
    EXPECT_EQ(map.GetIdAt(31, 21), 0x0007);
    EXPECT_EQ(map.GetIdAt(32, 21), 0x0A0B);
    // Far outside: the nearest edge pixel.
    EXPECT_EQ(map.GetIdAt(-500, 20), 0x0102);
    EXPECT_EQ(map.GetIdAt(5000, -7), 0x0A0B);

    // Offsets move the picture under the point.
    map.SetOffset(10, 0);
    map.SetExtraOffsetY(5);
    EXPECT_EQ(map.GetIdAt(39, 24), 0x0007);
}

TEST_F(HitMapTest, ScaledCopiesTakeTheRoundedSize)
{
    HitMap map;
    map.LoadPictureStretched("ids.akb");
    map.StretchPictureToSprite(-64, 0.5f, 0.25f);
    EXPECT_EQ(map.GetScaledWidth(), 30);
    EXPECT_EQ(map.GetScaledHeight(), 10);
    EXPECT_EQ(map.GetCallerValue(), -64);
    map.StretchPictureToSprite(0, 1.0f, 1.0f);
    EXPECT_EQ(map.GetIdAt(29, 19), 0x0007);

    // A later load takes the new picture at its own size, not at the last scale.
    map.StretchPictureToSprite(0, 0.5f, 0.25f);
    map.LoadPictureStretched("ids.akb");
    EXPECT_EQ(map.GetScaledWidth(), 60);
    EXPECT_EQ(map.GetScaledHeight(), 40);
}

TEST_F(HitMapTest, MissingPictureLeavesNoMap)
{
    HitMap map;
    EXPECT_EQ(map.LoadPictureStretched("absent.akb"), 1);
    EXPECT_EQ(map.GetIdAt(0, 0), -1);
}

TEST_F(HitMapTest, DataFilesGoToTheSharedBuffer)
{
    LoadFileToGlobalBuffer("table.bin");
    ASSERT_EQ(GetGlobalBufferSize(), 5u);
    EXPECT_EQ(std::vector<uint8_t>(GetGlobalBuffer(), GetGlobalBuffer() + 5),
              (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_THROW(LoadFileToGlobalBuffer("none.bin"), CString);
    EXPECT_EQ(GetGlobalBufferSize(), 0u);
}
