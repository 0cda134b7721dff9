// The demo's first story text, run in-process from demo/script/scene_story.mes: where each glyph
// goes in both writing directions (hand-worked positions), the pictures it makes with the real fonts
// (build/story_text_horizontal.png and build/story_text_vertical.png), and the backlog record it
// leaves, printed through the disassembler and compared with a golden listing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../RecordingFont.h"
#include "../ScriptTestFixture.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "mesasm/MesDisassembler.h"
#include "platform/gdi/PngCodec.h"

namespace {

constexpr int32_t TEXT_SPRITE = 100; // the sprite the scene names in V[53]

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::filesystem::path SourceDir()
{
    const char* folder = std::getenv("VESK_SOURCE_DIR");
    return folder ? folder : ".";
}

struct Glyph
{
    const char* Characters; // each drawn one cell further along
    int32_t X, Y;
    int32_t StepX, StepY;
};

// Expands runs of glyphs into (character, x, y) triples.
std::vector<std::string> Expand(std::initializer_list<Glyph> runs)
{
    std::vector<std::string> out;
    for (const Glyph& run : runs) {
        const CStringUTF8 text(run.Characters);
        for (int i = 0; i < text.GetCharCount(); ++i)
            out.push_back(text.GetCharAt(i) + " " + std::to_string(run.X + i * run.StepX) + "," +
                          std::to_string(run.Y + i * run.StepY));
    }
    return out;
}

std::vector<std::string> Placed(const RecordingFont& font)
{
    std::vector<std::string> out;
    for (const GlyphCall& call : font.Calls)
        out.push_back(call.Character + " " + std::to_string(call.X) + "," + std::to_string(call.Y));
    return out;
}

int InkIn(ILayer& layer, int32_t x, int32_t y, int32_t w, int32_t h)
{
    int ink = 0;
    for (int32_t row = y; row < y + h; ++row) {
        for (int32_t column = x; column < x + w; ++column)
            ink += layer.GetPixelPtr(column, row)[3] != 0;
    }
    return ink;
}

class StoryTextSceneTest : public ScriptTest
{
protected:
    StoryTextSceneTest() { State().Variables.resize(100); }

    // Runs the story scene from the demo's sources to its end, with the text sprite's
    // layer transparent and of the size given (none for a width of 0); answers the layer.
    ILayer* RunScene(int32_t direction, int32_t width, int32_t height)
    {
        ILayer* layer = nullptr;
        if (width > 0) {
            auto sprite = std::make_unique<CSpriteLayer>();
            sprite->Create(0, 0, width, height, -1);
            layer = sprite->GetLayer();
            layer->Clear();
            GetSpriteLayerRegistry().RegisterSpriteLayer(TEXT_SPRITE, sprite.release());
        }
        State().Variables[75] = ScriptValue::FromInteger(direction);
        Run(Assemble(ReadFile(SourceDir() / "demo/script/scene_story.mes"), "scene_story.mes"), 400);
        EXPECT_TRUE(TakeMessageBoxes().empty());
        return layer;
    }
    void UseRealFonts()
    {
        for (auto [index, size] : {std::pair{DOCUMENT_FONT_MAIN, 48}, std::pair{DOCUMENT_FONT_FIFTH, 24}}) {
            auto font = std::make_unique<CFontDIB>();
            font->Create(CStringUTF8("ＭＳ ゴシック"));
            font->SetFontSize(size, size);
            m_saved_fonts.emplace_back(index, GetSpriteLayerRegistry().ReplaceFont(index, std::move(font)));
        }
    }
    ~StoryTextSceneTest() override
    {
        GetSpriteLayerRegistry().UnregisterSpriteLayer(TEXT_SPRITE);
        for (auto& [index, font] : m_saved_fonts)
            GetSpriteLayerRegistry().ReplaceFont(index, std::move(font));
    }
    void WritePng(ILayer& layer, const char* name)
    {
        platform::PngPicture picture{layer.GetWidth(), layer.GetHeight(), {}};
        picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
        for (int32_t y = 0; y < picture.height; ++y)
            std::memcpy(&picture.pixels[static_cast<size_t>(y) * picture.width], layer.GetPixelPtr(0, y),
                        static_cast<size_t>(picture.width) * 4);
        const char* folder = std::getenv("VESK_BINARY_DIR");
        EXPECT_TRUE(platform::WritePngFile(std::filesystem::path(folder ? folder : ".") / name, picture));
    }

    std::vector<std::pair<int, std::unique_ptr<CFontDIB>>> m_saved_fonts;
};

// Lines of cells 48 wide, 72 apart, from (160, 40); the reading 24 above the word, 12 in.
TEST_F(StoryTextSceneTest, HorizontalGlyphsLandOnTheirCells)
{
    ScopedRecordingFont font(DOCUMENT_FONT_MAIN);
    ScopedRecordingFont small_font(DOCUMENT_FONT_FIFTH);
    RunScene(0, 1920, 280);
    EXPECT_THAT(Placed(*font), ::testing::ElementsAreArray(Expand({
                                   {"冬休みの最初の朝、駅前の広場へ向かった。", 160, 40, 48, 0},
                                   {"待ち合わせは時計塔の下だ。", 160, 112, 48, 0},
                                   {"今日の最高気温は、マイナス３", 160, 184, 48, 0},
                               })));
    EXPECT_THAT(Placed(*small_font), ::testing::ElementsAreArray(Expand({{"とけいとう", 460, 88, 24, 0}})));
    EXPECT_EQ(State().Values[50].Integer, 832);
    EXPECT_EQ(State().Values[51].Integer, 184);
}

// Columns 80 apart from x 536, characters 48 down from y 40, twelve to a column; the reading 50
// to the right. The closing mark hangs below the column's end; the number lies across.
TEST_F(StoryTextSceneTest, VerticalGlyphsLandOnTheirCells)
{
    ScopedRecordingFont font(DOCUMENT_FONT_MAIN);
    ScopedRecordingFont small_font(DOCUMENT_FONT_FIFTH);
    RunScene(1, 640, 720);
    EXPECT_THAT(Placed(*font), ::testing::ElementsAreArray(Expand({
                                   {"冬休みの最初の朝、駅前の", 536, 40, 0, 48},
                                   {"広場へ向かった。", 456, 40, 0, 48},
                                   {"待ち合わせは時計塔の下だ。", 376, 40, 0, 48},
                                   {"今日の最高気温は、マイナ", 296, 40, 0, 48},
                                   {"ス", 216, 40, 0, 48},
                                   {"３", 216, 88, 0, 0},
                               })));
    EXPECT_FALSE(font->Calls.back().Vertical);
    EXPECT_TRUE(font->Calls.front().Vertical);
    EXPECT_THAT(Placed(*small_font), ::testing::ElementsAreArray(Expand({{"とけいとう", 426, 328, 0, 24}})));
}

TEST_F(StoryTextSceneTest, RealGlyphsInkTheirCellsAndNothingBetween)
{
    UseRealFonts();
    struct Cell
    {
        int32_t X, Y, Size;
        bool Inked;
    };
    struct Case
    {
        int32_t Direction, Width, Height;
        const char* Png;
        std::vector<Cell> Cells;
    };
    const Case cases[] = {
        {0,
         1920,
         280,
         "story_text_horizontal.png",
         {{160, 40, 48, true},   // 冬
          {1072, 40, 48, true},  // 。 ending the first line
          {1120, 40, 48, false}, // after it
          {112, 40, 48, false},  // left of the box
          {460, 88, 24, true},   // と of the reading
          {556, 88, 24, true},   // う of the reading
          {448, 112, 48, true},  // 時 under it
          {784, 184, 48, true},  // the number
          {832, 184, 48, false}}},
        {1,
         640,
         720,
         "story_text_vertical.png",
         {{536, 40, 48, true},  // 冬
          {536, 568, 48, true}, // の ending the first column
          {456, 424, 48, false},
          {426, 328, 24, true},   // と of the reading
          {376, 616, 48, true},   // 。 hanging below the column
          {216, 40, 48, true},    // ス wrapped to the last column
          {216, 88, 48, true},    // the number
          {136, 40, 48, false}}}, // no further column
    };
    for (const Case& c : cases) {
        ILayer* layer = RunScene(c.Direction, c.Width, c.Height);
        WritePng(*layer, c.Png);
        for (const Cell& cell : c.Cells) {
            const int ink = InkIn(*layer, cell.X, cell.Y, cell.Size, cell.Size);
            EXPECT_EQ(ink > 0, cell.Inked) << c.Png << " at " << cell.X << "," << cell.Y << ": " << ink;
        }
        GetSpriteLayerRegistry().UnregisterSpriteLayer(TEXT_SPRITE);
        Context().Backlog = BacklogStore();
    }
}

// The record as the backlog replays it: the code, then the text.
std::string PrintRecords(const BacklogStore& backlog)
{
    std::string out;
    for (size_t k = 0; k < backlog.Entries.size(); ++k) {
        const LogBuffer& entry = *backlog.Entries[k];
        if (entry.Code.empty())
            continue;
        std::vector<uint8_t> file = entry.Code;
        file.insert(file.begin(), 8, 0); // no resume or choice tables
        out += "record " + std::to_string(k) + "\n" + tools::DisassembleScript(file) + "text:\n" +
               entry.BodyText.GetText() + "\n";
    }
    return out;
}

TEST_F(StoryTextSceneTest, BacklogRecordMatchesTheGolden)
{
    RunScene(0, 0, 0);
    EXPECT_EQ(Context().Backlog.CountEntries(), 1);
    EXPECT_FALSE(State().TestEngineState(0x100));
    const std::string printed = PrintRecords(Context().Backlog);
    const std::filesystem::path golden = SourceDir() / "tests/golden/story_text_backlog.txt";
    EXPECT_EQ(printed, ReadFile(golden)) << "golden: " << golden;
}

} // namespace

namespace {

// The start-up baseline offset 0xFFFFFF puts text far above any layer, and a pen far to the right
// puts it past one: the glyph drawing clips it, and the pen still comes back.
TEST_F(StoryTextSceneTest, TextOutsideTheLayerIsClippedAndThePenWrittenBack)
{
    UseRealFonts();
    SetTestTextLayout(State());
    State().Values[53] = ScriptValue::FromInteger(TEXT_SPRITE);
    auto sprite = std::make_unique<CSpriteLayer>();
    sprite->Create(0, 0, 64, 64, -1);
    ILayer* layer = sprite->GetLayer();
    layer->Clear();
    GetSpriteLayerRegistry().RegisterSpriteLayer(TEXT_SPRITE, sprite.release());
    struct Case
    {
        int32_t Baseline, PenX, Right;
    };
    for (const Case& c :
         {Case{0xFFFFFF, 10, 1900}, Case{6, 0x7FFF0000, 0x7FFFFF00}, Case{6, -0x7FFF0000, 1900}}) {
        std::vector<ScriptValue>& v = State().Values;
        v[35] = ScriptValue::FromInteger(c.Baseline);
        v[46] = ScriptValue::FromInteger(c.PenX);
        v[48] = ScriptValue::FromInteger(c.Right);
        v[50] = ScriptValue::FromInteger(c.PenX);
        Run(Assemble("text \"あい\"\nend"));
        EXPECT_EQ(InkIn(*layer, 0, 0, 64, 64), 0) << c.Baseline << " " << c.PenX;
        EXPECT_EQ(v[50].Integer, c.PenX + 48);
        EXPECT_EQ(v[51].Integer, 50);
    }
}

} // namespace
