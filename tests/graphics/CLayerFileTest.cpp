// Pictures from a "layer.arc" made by the tools: plain, alpha, border-filled and difference
// pictures into new and given layers and sprites, the range errors, and damaged or circular files.

#include "graphics/CLayerFile.h"

#include "akbwriter/AkbWriter.h"
#include "app/AppMessageBox.h"
#include "app/TestApp.h"
#include "arcpack/ArchiveWriter.h"
#include "graphics/CSpriteLayerFile.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/CTextureLayer.h"
#include "graphics/LayerTestSupport.h"
#include "support/FakeDocumentLink.h"
#include "support/HeadlessDisplay.h"
#include "support/TempDir.h"
#include "support/WorkingDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using tools::AkbOptions;
using tools::AkbPicture;

AkbPicture Gradient(int w, int h, uint32_t seed)
{
    AkbPicture picture = tools::MakePicture(w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.At(x, y) = Argb(255, (x * 8 + seed) & 0xFF, (y * 8) & 0xFF, (x * y + seed) & 0xFF);
    return picture;
}

std::vector<uint8_t> Difference(const std::string& base, const AkbPicture& picture)
{
    AkbOptions options;
    options.base_name = base;
    options.content = tools::FindContentRect(picture, 0xFF00FF00);
    return tools::EncodeAkb(picture, options);
}

uint32_t Pixel(ILayer& layer, int x, int y)
{
    uint32_t value;
    std::memcpy(&value, layer.GetPixelPtr(x, y), 4);
    return value;
}

// A picture with no body: an empty content rectangle, with an opaque black border fill or none.
std::vector<uint8_t> FillHeader(int width, int height, bool fill)
{
    std::vector<uint8_t> header = {'A', 'K', 'B', ' '};
    header.resize(32, 0);
    header[4] = static_cast<uint8_t>(width);
    header[5] = static_cast<uint8_t>(width >> 8);
    header[6] = static_cast<uint8_t>(height);
    header[7] = static_cast<uint8_t>(height >> 8);
    header[11] = fill ? 0x80 : 0;
    header[15] = 0xFF;
    return header;
}

} // namespace

class CLayerFileTest : public ::testing::Test
{
protected:
    CLayerFileTest()
    {
        m_app.UseConfigFile(m_config_dir.PathOf("config.xml"));
        m_display = std::make_unique<HeadlessDisplay>(); // texture layers need a live device
        SetAppMessageBoxHook([this](UINT, const CStringUTF8& text) {
            m_messages.push_back(text.GetText());
            return 1;
        });
        m_plain = Gradient(40, 30, 3);
        m_base = Gradient(40, 30, 100);
        m_changed = m_base;
        for (int y = 10; y < 20; ++y)
            for (int x = 5; x < 15; ++x)
                m_changed.At(x, y) = Argb(255, 250, 10, 10);
        m_changed_again = m_changed;
        m_changed_again.At(30, 2) = Argb(255, 1, 2, 3);

        std::vector<tools::ArchiveEntry> entries;
        auto add = [&](const std::string& name, std::vector<uint8_t> bytes) {
            entries.push_back({name, std::move(bytes)});
        };
        add("PLAIN.AKB", tools::EncodeAkb(m_plain, {}));
        add("PLAIN_CH.AKB", tools::EncodeAkb(m_base, {}));
        AkbOptions alpha;
        alpha.rgb_alpha = 0x80;
        add("ALPHA.AKB", tools::EncodeAkb(m_plain, alpha));
        AkbOptions border;
        border.content = tools::AkbRect{4, 3, 20, 12};
        border.fill = 0xFF0000FF;
        add("BORDER.AKB", tools::EncodeAkb(m_plain, border));
        add("BASE.AKB", tools::EncodeAkb(m_base, {}));
        add("DIFF.AKB", Difference("base.png", tools::MakeDifference(m_base, m_changed)));
        add("DIFF2.AKB", Difference("DIFF.bmp", tools::MakeDifference(m_changed, m_changed_again)));
        add("LOOP.AKB", Difference("loop.akb", tools::MakeDifference(m_base, m_changed)));
        add("CYCLEA.AKB", Difference("cycleb.akb", tools::MakeDifference(m_base, m_changed)));
        add("CYCLEB.AKB", Difference("cyclea.akb", tools::MakeDifference(m_base, m_changed)));
        add("ORPHAN.AKB", Difference("gone.akb", tools::MakeDifference(m_base, m_changed)));
        AkbPicture wide = Gradient(64, 30, 5);
        add("WIDEBASE.AKB", tools::EncodeAkb(wide, {}));
        add("WIDEDIFF.AKB", Difference("widebase.akb", tools::MakeDifference(wide, wide)));
        std::vector<uint8_t> damaged = tools::EncodeAkb(m_plain, {});
        damaged.resize(damaged.size() - 3);
        add("DAMAGED.AKB", damaged);
        add("TEXT.AKB", {'h', 'e', 'l', 'l', 'o'});
        m_dir.Write("layer.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Lzss));

        m_file = std::make_unique<CSpriteLayerFile>("layer.arc", true, false);
        m_work = MakeLayer(48, 32);
        m_file->SetWorkLayer(m_work.get());
    }
    ~CLayerFileTest() override { SetAppMessageBoxHook(nullptr); }

    std::unique_ptr<ILayer> Load(const char* name, ILayer* layer = nullptr, RECT* out = nullptr, int x = -1,
                                 int y = -1, int fill_mode = 0, int kind = 0)
    {
        ILayer* result = m_file->LoadPicture(name, layer, kind, 0, out, x, y, fill_mode);
        if (result == layer)
            return nullptr;
        return std::unique_ptr<ILayer>(result);
    }

    void ExpectPicture(ILayer& layer, const AkbPicture& picture, int dx = 0, int dy = 0)
    {
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                ASSERT_EQ(Pixel(layer, x + dx, y + dy), picture.At(x, y)) << x << "," << y;
    }

    WorkingDir m_dir;
    FakeDocumentLink m_document;
    TempDir m_config_dir;
    TestApp m_app;
    std::unique_ptr<HeadlessDisplay> m_display;
    std::vector<std::string> m_messages;
    AkbPicture m_plain, m_base, m_changed, m_changed_again;
    std::unique_ptr<CSpriteLayerFile> m_file;
    std::unique_ptr<CDIB> m_work;
};

TEST_F(CLayerFileTest, PlainPicturesLoadIntoNewLayersOfEachKind)
{
    RECT rect{};
    auto layer = Load("plain.akb", nullptr, &rect);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->GetType(), 0);
    EXPECT_EQ(layer->GetWidth(), 40);
    EXPECT_EQ(layer->GetHeight(), 30);
    ExpectPicture(*layer, m_plain);
    EXPECT_EQ(rect.right, 40);
    EXPECT_EQ(rect.bottom, 30);

    // At (5, 7) the new layer reaches to the picture's far corner; a fill mode other than 0
    // reports the placed rectangle.
    auto placed = Load("plain.akb", nullptr, &rect, 5, 7, 1, 1);
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->GetType(), 1);
    EXPECT_EQ(placed->GetWidth(), 45);
    EXPECT_EQ(placed->GetHeight(), 37);
    ExpectPicture(*placed, m_plain, 5, 7);
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.top, 7);
    EXPECT_EQ(rect.right, 45);
    EXPECT_EQ(rect.bottom, 37);

    auto texture = Load("plain.akb", nullptr, nullptr, -1, -1, 0, 2);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetType(), 2);
    ExpectPicture(*texture, m_plain);
    EXPECT_TRUE(m_messages.empty());
}

// A picture is read by the name it is asked for, in every language: an archive holding both
// "plain.akb" and "plain_ch.akb" shows plain.akb for its own name, and the language form only to
// whoever asks for that form.
TEST_F(CLayerFileTest, APictureIsReadByTheNameItIsAskedFor)
{
    for (const int language : {0, 1, 2, 3}) {
        m_app.Config().SetInt("/Config/Language", language);
        auto plain = Load("plain.akb");
        ASSERT_NE(plain, nullptr) << "language " << language;
        ExpectPicture(*plain, m_plain);
        auto form = Load("plain_ch.akb");
        ASSERT_NE(form, nullptr) << "language " << language;
        ExpectPicture(*form, m_base);
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(CLayerFileTest, AlphaAndBorderPictures)
{
    auto alpha = Load("alpha.akb");
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(Pixel(*alpha, 7, 9), (m_plain.At(7, 9) & 0x00FFFFFF) | 0x80000000);

    auto given = MakeLayer(40, 30, 0x11223344);
    RECT rect{};
    EXPECT_EQ(m_file->LoadPicture("border.akb", given.get(), 0, 0, &rect, 0, 0, 0), given.get());
    EXPECT_EQ(rect.left, 4);
    EXPECT_EQ(rect.top, 3);
    EXPECT_EQ(rect.right, 20);
    EXPECT_EQ(rect.bottom, 12);
    EXPECT_EQ(PixelAt(*given, 4, 3), m_plain.At(4, 3));
    EXPECT_EQ(PixelAt(*given, 19, 11), m_plain.At(19, 11));
    EXPECT_EQ(PixelAt(*given, 3, 3), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(*given, 39, 29), 0xFF0000FFu);
}

TEST_F(CLayerFileTest, DifferencePicturesShowTheirBaseThroughTheKeyColour)
{
    auto layer = Load("diff.akb");
    ASSERT_NE(layer, nullptr);
    ExpectPicture(*layer, m_changed);
    auto chained = Load("diff2.akb");
    ASSERT_NE(chained, nullptr);
    ExpectPicture(*chained, m_changed_again);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(CLayerFileTest, DifferencePicturesWhoseBaseFailsStillDrawTheDifference)
{
    // A cycle stops at the depth guard with one message; a missing base shows the archive's.
    const std::pair<const char*, const char*> cases[] = {
        {"loop.akb", "script(1)\nLoadPicture base image error"},
        {"cyclea.akb", "script(1)\nLoadPicture base image error"},
        {"orphan.akb", "script(1)\nファイルオープンエラー\ngone.akb"},
    };
    for (const auto& [name, message] : cases) {
        SCOPED_TRACE(name);
        m_messages.clear();
        auto given = MakeLayer(40, 30, 0x5A5A5A5A);
        EXPECT_EQ(m_file->LoadPicture(name, given.get(), 0, 0, nullptr, 0, 0, 0), given.get());
        ASSERT_EQ(m_messages.size(), 1u);
        EXPECT_EQ(m_messages[0].rfind(message, 0), 0u) << m_messages[0];
        EXPECT_EQ(PixelAt(*given, 0, 0), 0x5A5A5A5Au) << "no base: the layer shows through the key";
        // The key blit carries colour; the alpha stays the layer's.
        EXPECT_EQ(PixelAt(*given, 5, 10) & 0xFFFFFF, m_changed.At(5, 10) & 0xFFFFFF)
            << "the difference is drawn";
        auto made = Load(name);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(PixelAt(*made, 14, 19) & 0xFFFFFF, m_changed.At(14, 19) & 0xFFFFFF);
    }
}

TEST_F(CLayerFileTest, HeadersAskingForHugePicturesAreRangeErrors)
{
    // 32-byte headers with an empty content rectangle and a border fill: nothing to decode, but
    // a layer of the claimed size would be made.
    std::vector<tools::ArchiveEntry> entries;
    for (auto [name, width, height] :
         {std::tuple{"HUGE.AKB", 65535, 65535}, std::tuple{"WIDE.AKB", 65535, 8192},
          std::tuple{"TALL.AKB", 100, 9000}, std::tuple{"MAPWIDE.AKB", 8401, 5040},
          std::tuple{"MAPTALL.AKB", 8400, 5041}})
        entries.push_back({name, FillHeader(width, height, true)});
    m_dir.Write("huge.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Lzss));
    CSpriteLayerFile file("huge.arc", true, false);
    for (const char* name : {"huge.akb", "wide.akb", "tall.akb", "mapwide.akb", "maptall.akb"}) {
        m_messages.clear();
        EXPECT_EQ(file.LoadPicture(name, nullptr, 0, 0, nullptr, -1, -1, 0), nullptr) << name;
        ASSERT_EQ(m_messages.size(), 1u) << name;
        EXPECT_EQ(m_messages[0].rfind("LoadPicture image range error", 0), 0u) << m_messages[0];
    }
}

// A layer of its own holds the picture's content, which the entry must carry, and at most a
// 2048 x 2048 picture's worth of border and offset besides: a 32-byte header gets no town map's
// layer (the map screen draws into its own), while a picture whose body holds its pixels may be
// larger than that.
TEST_F(CLayerFileTest, ALayerOfItsOwnIsTheEntrysContentAndAScreenPictureMore)
{
    tools::AkbPicture wide = tools::MakePicture(4200, 1100, 0xFF336699);
    wide.At(4199, 1099) = 0xFF000000;
    const std::vector<tools::ArchiveEntry> entries = {{"MAP.AKB", FillHeader(8400, 5040, false)},
                                                      {"FRAME.AKB", FillHeader(2048, 2048, true)},
                                                      {"OVER.AKB", FillHeader(2048, 2049, true)},
                                                      {"WIDE.AKB", tools::EncodeAkb(wide, {})}};
    m_dir.Write("map.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Lzss));
    CSpriteLayerFile file("map.arc", true, false);
    for (const auto& [name, bottom] : {std::pair{"map.akb", 5040}, {"over.akb", 2049}}) {
        m_messages.clear();
        EXPECT_EQ(file.LoadPicture(name, nullptr, 0, 0, nullptr, -1, -1, 0), nullptr) << name;
        ASSERT_EQ(m_messages.size(), 1u) << name;
        EXPECT_EQ(m_messages[0].rfind("LoadPicture image range error : " + std::string(name) + "\n", 0), 0u)
            << m_messages[0];
        EXPECT_NE(m_messages[0].find("Bottom = " + std::to_string(bottom)), std::string::npos)
            << m_messages[0];
    }
    m_messages.clear();
    std::unique_ptr<ILayer> frame(file.LoadPicture("frame.akb", nullptr, 0, 0, nullptr, -1, -1, 0));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(PixelAt(*frame, 2047, 2047), 0xFF000000u);
    std::unique_ptr<ILayer> loaded(file.LoadPicture("wide.akb", nullptr, 0, 0, nullptr, -1, -1, 0));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetWidth(), 4200);
    EXPECT_EQ(PixelAt(*loaded, 4199, 1099), 0xFF000000u);
    EXPECT_EQ(PixelAt(*loaded, 0, 0), 0xFF336699u);
    EXPECT_TRUE(m_messages.empty());
    // Placed lower, the rows above it cost the entry nothing and pass the bound.
    EXPECT_EQ(file.LoadPicture("wide.akb", nullptr, 0, 0, nullptr, 0, 1000, 0), nullptr);
    ASSERT_EQ(m_messages.size(), 1u);
}

TEST_F(CLayerFileTest, DifferenceWiderThanTheWorkLayerIsARangeError)
{
    EXPECT_EQ(Load("widediff.akb"), nullptr);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "LoadPicture image range error : widediff.akb\n"
                             "  Image range > Left =    0, Top =    0, Right =   64, Bottom =   30\n"
                             "  Layer range > Left =    0, Top =    0, Right =   48, Bottom =   32\n");
}

TEST_F(CLayerFileTest, PositionsAndLayersOutOfRangeShowTheRangeError)
{
    EXPECT_EQ(Load("plain.akb", nullptr, nullptr, -2, 0), nullptr);
    auto small = MakeLayer(40, 29, 0x77777777);
    EXPECT_EQ(m_file->LoadPicture("plain.akb", small.get(), 0, 0, nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(PixelAt(*small, 0, 0), 0x77777777u);
    ASSERT_EQ(m_messages.size(), 2u);
    EXPECT_EQ(m_messages[0], "LoadPicture image range error : plain.akb\n"
                             "  Image range > Left =   -2, Top =    0, Right =   38, Bottom =   30\n");
    EXPECT_EQ(m_messages[1], "LoadPicture image range error : plain.akb\n"
                             "  Image range > Left =    0, Top =    0, Right =   40, Bottom =   30\n"
                             "  Layer range > Left =    0, Top =    0, Right =   40, Bottom =   29\n");
}

TEST_F(CLayerFileTest, UnreadableAndDamagedEntriesGiveBackTheGivenLayer)
{
    auto given = MakeLayer(40, 30, 0x5A5A5A5A);
    for (const char* name : {"damaged.akb", "text.akb", "missing.akb"}) {
        EXPECT_EQ(Load(name), nullptr) << name;
        EXPECT_EQ(m_file->LoadPicture(name, given.get(), 0, 0, nullptr, 0, 0, 0), given.get()) << name;
        EXPECT_EQ(PixelAt(*given, 0, 0), 0x5A5A5A5Au) << name;
    }
    // Only the missing entry speaks: the archive's message through the script error prefix.
    ASSERT_EQ(m_messages.size(), 2u);
    EXPECT_EQ(m_messages[0], "script(1)\nファイルオープンエラー\nmissing.akb");
}

TEST_F(CLayerFileTest, SpritesCarryTheLoadedPictureAndDrawIt)
{
    std::unique_ptr<CSprite> sprite(m_file->LoadSprite("alpha.akb", nullptr, 0, 0, 5, nullptr, -1, -1, 0));
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->GetPriority(), 5);
    auto* layered = dynamic_cast<CSpriteLayer*>(sprite.get());
    ASSERT_NE(layered, nullptr);
    ASSERT_NE(layered->GetLayer(), nullptr);
    EXPECT_EQ(Pixel(*layered->GetLayer(), 3, 4), (m_plain.At(3, 4) & 0x00FFFFFF) | 0x80000000);

    // Drawn at (10, 20) over an opaque grey screen, half-transparent pixels mix half and half.
    sprite->SetPosition(10, 20);
    sprite->Show();
    auto screen = MakeLayer(64, 64, 0xFF808080);
    sprite->DrawToLayer(screen.get());
    EXPECT_EQ(PixelAt(*screen, 9, 20), 0xFF808080u);
    const uint32_t source = m_plain.At(0, 0);
    const uint32_t drawn = PixelAt(*screen, 10, 20);
    for (int shift : {0, 8, 16}) {
        const int expected = (int((source >> shift) & 0xFF) + 0x80) / 2;
        EXPECT_NEAR(int((drawn >> shift) & 0xFF), expected, 1) << shift;
    }

    // A texture sprite owns the texture layer it was given; rows are top-down in its buffer.
    std::unique_ptr<CSprite> texture(m_file->LoadSprite("plain.akb", nullptr, 2, 0, 7, nullptr, -1, -1, 0));
    ASSERT_NE(texture, nullptr);
    auto* texture_sprite = dynamic_cast<CSpriteTexture*>(texture.get());
    ASSERT_NE(texture_sprite, nullptr);
    ILayer* texture_layer = texture_sprite->GetLayer();
    ASSERT_NE(dynamic_cast<CTextureLayer*>(texture_layer), nullptr);
    uint32_t first;
    std::memcpy(&first, texture_layer->GetBits(), 4);
    EXPECT_EQ(first, m_plain.At(0, 0));

    // Into a given sprite's own layer.
    std::unique_ptr<CSprite> target(CreateSpriteLayer(1));
    target->Create(0, 0, 40, 30, -1);
    EXPECT_EQ(m_file->LoadSprite("diff.akb", target.get(), 1, 0, 3, nullptr, 0, 0, 0), target.get());
    ExpectPicture(*dynamic_cast<CSpriteLayer*>(target.get())->GetLayer(), m_changed);
}

TEST(LayerFactoryTest, UnknownKindsMakeNothing)
{
    EXPECT_EQ(CreateLayer(3), nullptr);
    EXPECT_EQ(CreateSpriteLayer(3), nullptr);
    EXPECT_EQ(CreateLayer(-1), nullptr);
    std::unique_ptr<ILayer> dib_section(CreateLayer(1));
    ASSERT_NE(dib_section, nullptr);
    EXPECT_EQ(dib_section->GetType(), 1);
    std::unique_ptr<CSprite> texture(CreateSpriteLayer(2));
    EXPECT_NE(dynamic_cast<CSpriteTexture*>(texture.get()), nullptr);
}
