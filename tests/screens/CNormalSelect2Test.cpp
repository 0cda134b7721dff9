// The choice window on the screen stage, with the generated "sel_p.akb" and the message window's
// row and side menu: page layouts read back from drawn frames, picking, cancelling, the
// restricted mode and the game-mode icons, the auto save at opening under each of its gates, the
// keyboard moves and the side menu over the window.

#include "screens/base/CNormalSelect2.h"

#include <algorithm>
#include <filesystem>
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "foundation/ConfigSettings.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CFontDIB.h"
#include "graphics/SpriteLayerRegistry.h"
#include "mesasm/MesAssembler.h"
#include "screens/ScreenFixture.h"
#include "screens/base/CMesWnd.h"
#include "screens/base/ScreenParts.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/vm/CScript.h"
#include "script/vm/ScriptContext.h"
#include "sheetgen/ChoiceSheet.h"

namespace {

constexpr int32_t KEY = 5;

std::vector<tools::ArchiveEntry> Pictures()
{
    std::vector<tools::ArchiveEntry> pictures = MessageWindowPictureEntries();
    pictures.push_back({"SEL_P.AKB", tools::EncodeAkb(tools::BuildChoiceSheet(), {})});
    return pictures;
}

class CNormalSelect2ThreadTest : public ScreenFixture
{
protected:
    CNormalSelect2ThreadTest()
        : ScreenFixture(MessageWindowDataEntries(), Pictures())
    {
        FlagBuffer& state = State();
        state.Flags.assign(9000, 0);
        state.Variables.assign(100, ScriptValue::FromInteger(0));
        state.Values.resize(FLAG_BUFFER_VALUE_COUNT);
        for (int32_t v = 0; v < 20; ++v)
            state.Variables[30 + static_cast<size_t>(v)] = ScriptValue::FromInteger(-1);
        m_window = GetGameWork()->GetChoiceWindow(); // its parts made by the start-up
        // An opaque screen under the window, so every frame is drawn whole.
        m_background = MakeMemorySprite(0, 0, 1920, 1080, 0);
        m_background->FillRect(0, 0, 1920, 1080, 0xFF000000u, 1);
        m_background->SetVisibleFlag(1);
        MarkLayerDrawn(*m_background);
    }
    ~CNormalSelect2ThreadTest() override
    {
        if (IRightMenu::IsMenuOpen())
            m_window->CloseMenu();
        IRightMenu::SetManualFlag(0);
    }

    FlagBuffer& State() { return *GetScriptState().m_current_state; }
    void SetConfig(const char* key, int32_t value) { m_app.Config().SetInt(key, value); }

    // The choices under the current key: each text is its own piece of code.
    void SetChoices(const std::vector<std::string>& texts, std::vector<int32_t> values = {})
    {
        std::vector<std::string> sources;
        for (const std::string& text : texts)
            sources.push_back("text \"" + text + "\"\nend");
        SetChoiceCode(sources, std::move(values));
    }
    void SetChoiceCode(const std::vector<std::string>& sources, std::vector<int32_t> values)
    {
        const std::vector<std::string>& texts = sources;
        std::vector<uint8_t> code;
        std::vector<uint32_t> offsets;
        for (const std::string& source : sources) {
            offsets.push_back(static_cast<uint32_t>(code.size()));
            const tools::AssembledScript piece = tools::AssembleScript(source);
            ASSERT_TRUE(piece.Ok) << piece.Error;
            const std::vector<uint8_t> bytes = tools::CodeOf(piece.File);
            code.insert(code.end(), bytes.begin(), bytes.end());
        }
        auto script = std::make_shared<CScript>();
        script->LoadCode(code, "choices");
        ScriptContext& context = *GetScriptState().m_script_context;
        context.CurrentChoiceKey = KEY;
        auto& list = context.ChoiceBranches[KEY];
        list.clear();
        for (size_t i = 0; i < texts.size(); ++i)
            list.push_back(
                {CodeAddress{script, offsets[i]}, values.empty() ? static_cast<int32_t>(i) : values[i]});
    }

    // Runs the window with a script of inputs, counted in pumps from the end of its opening;
    // answers its result, or -100 when it was still running after the pumps. The opening (the
    // texts, the window's fade, then the message window's fade with the row and the side menu)
    // takes a varying number of pumps and reads no input; it ends when the message window is
    // shown again, and the window's loop turns from the next pump on.
    int32_t Run(int pumps, std::function<void(int)> step)
    {
        bool cut = false;
        int opened = -1;
        CMesWnd* message = GetGameWork()->GetMessageWindow();
        OnPump([&](int pump) {
            if (opened < 0) {
                if (m_window->IsShown() != 0 && (message == nullptr || message->IsShown() != 0))
                    opened = pump;
                return;
            }
            pump -= opened;
            step(pump);
            // Closing pumps too (the message window's fade): only a window still running is cut.
            if (pump >= pumps && m_window->Running != 0) {
                cut = true;
                m_window->Running = 0;
            }
        });
        ScriptValue out;
        m_window->Run(&out);
        OnPump(nullptr);
        return cut ? -100 : out.Integer;
    }
    // Points at an area and holds the left button over pumps 20 to 22: a turn of the window's
    // loop can take more than one pump.
    std::function<void(int)> ClickAt(const HitArea& area)
    {
        return [this, area](int pump) {
            PointAt((area.Left + area.Right) / 2, (area.Top + area.Bottom) / 2);
            m_mouse.left_down = pump >= 20 && pump < 23 ? 1 : 0;
        };
    }
    const HitArea* Area(int32_t id)
    {
        for (const HitArea& area : m_window->GetChoiceAreas())
            if (area.Id == static_cast<uint32_t>(id))
                return &area;
        return nullptr;
    }
    std::vector<HitArea> Areas() { return m_window->GetChoiceAreas(); }
    // The sheet cell shown inside a plate, dx from its left edge.
    std::pair<uint32_t, int32_t> PlateCell(int32_t id, int32_t dx)
    {
        const HitArea* area = Area(id);
        return area == nullptr ? std::pair<uint32_t, int32_t>{0xFFFFFFFFu, -1}
                               : ShownCell(area->Left + dx, area->Top + 60);
    }

    CNormalSelect2* m_window = nullptr;
    std::unique_ptr<CSpriteLayer> m_background;
};

using Cell = std::pair<uint32_t, int32_t>;

MATCHER_P5(AreaIs, id, left, top, right, bottom, "")
{
    return arg.Id == static_cast<uint32_t>(id) && arg.Left == left && arg.Top == top && arg.Right == right &&
           arg.Bottom == bottom;
}

TEST_F(CNormalSelect2ThreadTest, EightChoicesMakeOnePageInTwoColumnsWithoutArrows)
{
    SetChoices({"ＡＢ", "ＡＢＣＤ", "Ａ", "ＡＢ", "ＡＢ", "ＡＢ", "ＡＢ", "ＡＢ"});
    m_window->OnOpen();
    // The widest text (four full-width characters) sizes every plate: 36 x 4 + 294.
    ASSERT_EQ(m_window->GetPlateWidth(), 438);
    EXPECT_EQ(m_window->GetLastPage(), 0);
    // Four rows centred over the 780 pixels above the window: (780 - 464) / 2 = 158.
    std::vector<::testing::Matcher<HitArea>> expected;
    for (int32_t i = 0; i < 8; ++i) {
        const int32_t x = i % 2 == 0 ? 458 : 1024;
        const int32_t y = 158 + 116 * (i / 2);
        expected.push_back(AreaIs(i, x, y, x + 438, y + 108));
    }
    EXPECT_THAT(Areas(), ::testing::ElementsAreArray(expected));
    Capture();
    for (int32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(PlateCell(i, 35), Cell(tools::CHOICE_CELL_LEFT, 0)) << i;
        EXPECT_EQ(PlateCell(i, 438 - 20), Cell(tools::CHOICE_CELL_RIGHT, 0)) << i;
        EXPECT_EQ(PlateCell(i, 200), Cell(tools::CHOICE_CELL_MIDDLE, 0)) << i;
    }
    EXPECT_EQ(ShownCell(960, 700).first, 0xFFFFFFFFu); // no arrow below
}

TEST_F(CNormalSelect2ThreadTest, NineChoicesTurnToASecondPageAndReopenOnTheFirst)
{
    SetChoices({"ＡＢ", "ＡＢ", "ＡＢ", "ＡＢ", "ＡＢ", "ＡＢ", "ＡＢ", "ＡＢ", "ＡＢ"});
    m_window->OnOpen();
    ASSERT_EQ(m_window->GetPlateWidth(), 366);
    EXPECT_EQ(m_window->GetLastPage(), 1);
    // Several pages: the page's block is 572 high from (780 - 572) / 2 = 104, plates 60 lower.
    std::vector<HitArea> areas = Areas();
    ASSERT_EQ(areas.size(), 9u);
    EXPECT_THAT(areas[0], AreaIs(0, 530, 164, 896, 272));
    EXPECT_THAT(areas[7], AreaIs(7, 1024, 512, 1390, 620));
    EXPECT_THAT(areas[8], AreaIs(CHOICE_NEXT_ARROW, 757, 636, 1163, 688));
    Capture();
    EXPECT_EQ(ShownCell(960, 670), Cell(tools::CHOICE_CELL_NEXT, 0));

    // Hover, then click the arrow.
    TakeOkCancelSounds();
    PointAt(960, 662);
    m_window->Update();
    Capture();
    EXPECT_EQ(ShownCell(960, 670), Cell(tools::CHOICE_CELL_NEXT, 1));
    m_window->OnDecide();
    EXPECT_FALSE(TakeOkCancelSounds().empty());
    EXPECT_EQ(m_window->GetPage(), 1);
    areas = Areas();
    ASSERT_EQ(areas.size(), 2u);
    EXPECT_THAT(areas[0], AreaIs(0, 777, 164, 1143, 272)); // one column
    EXPECT_THAT(areas[1], AreaIs(CHOICE_PREV_ARROW, 757, 104, 1163, 156));
    Capture("choice_page1.png");
    EXPECT_EQ(ShownCell(960, 140), Cell(tools::CHOICE_CELL_PREV, 0));
    EXPECT_EQ(PlateCell(0, 35), Cell(tools::CHOICE_CELL_LEFT, 0));
    EXPECT_EQ(ShownCell(600, 218).first, 0xFFFFFFFFu); // the left column is gone

    m_window->OnOpen();
    EXPECT_EQ(m_window->GetPage(), 0);
    EXPECT_EQ(Areas().size(), 9u);
}

TEST_F(CNormalSelect2ThreadTest, LaterPagesWriteTheirTextsInCellsOf36Too)
{
    // The ninth choice's code keeps the text width it runs with in variable 50.
    std::vector<std::string> sources(8, "text \"Ａ\"\nend");
    sources.push_back("ldvalue 30\nstvar 50\ntext \"Ａ\"\nend");
    SetChoiceCode(sources, {});
    m_window->OnOpen();
    // The opening gives the script its own cells back (here the story's) before a page turns.
    State().Values[30] = ScriptValue::FromInteger(48);
    State().Variables[50] = ScriptValue::FromInteger(0);
    m_window->DrawPage(1);
    EXPECT_EQ(State().Variables[50].Integer, 36);
    EXPECT_EQ(State().Values[30].Integer, 48);
}

// Each language's choice is drawn with the language's face in cells of 36, whatever size the
// story left its fonts at: the plate shows every stroke the font alone draws, and no other.
TEST_F(CNormalSelect2ThreadTest, EveryLanguagesChoiceShowsItsTextAsTheFontDrawsIt)
{
    constexpr int32_t TEXT_SPRITE = 101;
    constexpr int32_t STORY_SIZE = 48;
    GetSpriteLayerRegistry().RegisterSpriteLayer(TEXT_SPRITE,
                                                 MakeMemorySprite(0, 0, 1920, 864, -1).release());
    const char* texts[] = {"North park", "北公园", "鐘樓下", "北の公園"};
    for (int language : {1, 2, 3, 0}) {
        // The document's fonts as a game in this language makes them, at the story's size.
        GetDocument()->SetLanguage(language);
        std::vector<std::unique_ptr<CFontDIB>> kept;
        const CStringUTF8 faces[] = {GetLanguageFontName(), "SimHei", "SimHei"};
        for (int index : {DOCUMENT_FONT_MAIN, DOCUMENT_FONT_SECOND, DOCUMENT_FONT_THIRD}) {
            auto font = std::make_unique<CFontDIB>();
            font->Create(faces[index == DOCUMENT_FONT_MAIN ? 0 : 1]);
            font->SetFontSize(STORY_SIZE, STORY_SIZE);
            kept.push_back(GetSpriteLayerRegistry().ReplaceFont(index, std::move(font)));
        }
        // The story's text box, as the demo's choice scene sets it.
        State().Values[53] = ScriptValue::FromInteger(TEXT_SPRITE);
        State().Values[34] = ScriptValue::FromInteger(36);
        State().Values[35] = ScriptValue::FromInteger(36);
        State().Values[48] = ScriptValue::FromInteger(1920);
        State().Values[49] = ScriptValue::FromInteger(864);
        const std::string text = texts[language];
        SetChoiceCode({"rawtext \"" + text + "\"\nend"}, {});
        // Opened as the story opens it, and read back while it waits for the player: the text
        // over its plate, then the bare plate (the text sprite cleared).
        HitArea plate{};
        std::vector<uint32_t> shown;
        std::vector<uint32_t> bare;
        Run(2, [&](int pump) {
            if (pump != 1)
                return;
            plate = *Area(0);
            for (std::vector<uint32_t>* pixels : {&shown, &bare}) {
                Capture();
                for (int y = plate.Top; y < plate.Bottom; ++y)
                    for (int x = plate.Left; x < plate.Right; ++x)
                        pixels->push_back(Shown(x, y));
                CSpriteLayer* text_layer = GetSpriteLayerRegistry().GetSpriteLayer(TEXT_SPRITE);
                text_layer->FillRect(0, 0, text_layer->GetWidth(), text_layer->GetHeight(), 0, 1);
                m_window->DrawChoiceState(0, 0);
            }
        });
        const int32_t width = plate.Right - plate.Left;
        const int32_t height = plate.Bottom - plate.Top;
        ASSERT_GT(width, 0) << language;

        // The same text drawn by the font alone, white and opaque where the glyphs are whole.
        CFontDIB alone;
        alone.Create(GetLanguageFontName());
        alone.SetFontSize(36, 36);
        std::unique_ptr<CSpriteLayer> reference = MakeMemorySprite(0, 0, 400, 36, -1);
        reference->FillRect(0, 0, 400, 36, 0, 1);
        const CStringUTF8 characters(text.c_str());
        for (int i = 0, x = 0; i < characters.GetCharCount(); ++i) {
            const std::string c = characters.GetCharAt(i);
            alone.DrawText(c, x, 0, 0xFFFFFF, 0, reference.get(), 0);
            x += IsFullWidthChar(c) ? 36 : 18;
        }
        // Both as the points of full white, from the top left corner of their box.
        auto points = [](auto white, int width, int height) {
            std::vector<std::pair<int, int>> found;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    if (white(x, y))
                        found.emplace_back(x, y);
            int left = width, top = height;
            for (const auto& [x, y] : found) {
                left = std::min(left, x);
                top = std::min(top, y);
            }
            for (auto& [x, y] : found) {
                x -= left;
                y -= top;
            }
            std::sort(found.begin(), found.end());
            return found;
        };
        const auto drawn = points(
            [&](int x, int y) {
                const auto at = static_cast<size_t>(y * width + x);
                return shown[at] == 0xFFFFFFFFu && bare[at] != 0xFFFFFFFFu;
            },
            width, height);
        const auto expected =
            points([&](int x, int y) { return EffectPixel(*reference, x, y) == 0xFFFFFFFFu; }, 400, 36);
        EXPECT_GT(expected.size(), 100u) << language;
        EXPECT_EQ(drawn, expected) << "language " << language << ": " << drawn.size()
                                   << " white points shown, " << expected.size() << " drawn by the font";
        for (int index : {DOCUMENT_FONT_MAIN, DOCUMENT_FONT_SECOND, DOCUMENT_FONT_THIRD})
            GetSpriteLayerRegistry().ReplaceFont(index, std::move(kept[static_cast<size_t>(index)]));
    }
    GetDocument()->SetLanguage(GetConfigLanguage());
    GetSpriteLayerRegistry().UnregisterSpriteLayer(TEXT_SPRITE);
}

TEST_F(CNormalSelect2ThreadTest, AnEmptyListOpensAnEmptyPage)
{
    GetScriptState().m_script_context->ChoiceBranches.clear();
    m_window->OnOpen();
    EXPECT_TRUE(Areas().empty());
    EXPECT_EQ(m_window->GetLastPage(), 0);
    m_window->OnUpKey();
    m_window->HoverId = 3; // a stale id finds no plate
    m_window->OnDecide();
    EXPECT_EQ(m_window->Running, 1);
}

TEST_F(CNormalSelect2ThreadTest, ChoiceValuesOutsideTheArraysReadAsNoTextIdAndFlagZero)
{
    // Variables[30 + V] outside the array read -1 (the script's own text is measured), flag
    // bytes V + 1920 outside it read 0 (locked in the restricted mode).
    SetChoices({"ＡＢ", "ＡＢ"}, {100000, -5000});
    State().Variables[69] = ScriptValue::FromInteger(1);
    m_window->OnOpen();
    EXPECT_EQ(m_window->GetPlateWidth(), 366);
    ASSERT_EQ(Areas().size(), 2u);
    m_window->HideAll();
    TakeOkCancelSounds();
    EXPECT_EQ(Run(40, ClickAt(*Area(1))), -100);
    EXPECT_TRUE(TakeOkCancelSounds().empty());
}

TEST_F(CNormalSelect2ThreadTest, DrawingAPageGivesSceneSkipBackWhenATextEndsTheScript)
{
    // A language text (variable 30 not -1) is written after its code runs plainly; this code
    // returns from the script, which unwinds through the page drawing.
    SetChoiceCode({"text \"Ａ\"\nreturn"}, {0});
    State().Variables[30] = ScriptValue::FromInteger(0);
    SetConfigSceneSkip(1);
    EXPECT_THROW(m_window->DrawPage(0), CVeskDoc::tagDOCUMENT_CODE);
    EXPECT_TRUE(GetConfigSceneSkip());
    SetConfigSceneSkip(0);
}

TEST_F(CNormalSelect2ThreadTest, PickingAnswersTheValuePlusOneAndCancelAnswersZeroWhenAllowed)
{
    SetChoices({"Ａ", "Ｂ", "Ｃ"}, {0, 7, 3});
    m_window->OnOpen(); // for the areas
    const HitArea first = *Area(0);
    const HitArea second = *Area(1);
    m_window->HideAll();
    TakeOkCancelSounds();
    EXPECT_EQ(Run(40, ClickAt(first)), 1);
    EXPECT_FALSE(TakeOkCancelSounds().empty());
    EXPECT_EQ(Run(40, ClickAt(second)), 8);

    // The right button ends it only while flag 7077 is set. Each run starts hidden, so its pumps
    // count from the end of the opening (the message window's fade among them).
    auto right_click = [this](int pump) { m_mouse.right_down = pump >= 20 && pump < 23 ? 1 : 0; };
    SetConfig("/Config/System", 1); // a cancel otherwise toggles auto mode
    SetConfigAutoRead(0);
    m_window->HideAll();
    EXPECT_EQ(Run(40, right_click), -100);
    EXPECT_TRUE(GetConfigAutoRead()); // the click was taken, as a cancel
    SetConfigAutoRead(0);
    State().Flags[FLAG_CHOICE_CANCEL_ENDS] = 1;
    m_window->HideAll();
    EXPECT_EQ(Run(40, right_click), 0);
}

TEST_F(CNormalSelect2ThreadTest, TheMessageWindowFadesInTogetherWithTheChoices)
{
    SetChoices({"Ａ", "Ｂ"});
    m_window->OnOpen();
    m_window->HideAll();
    CSpriteLayer* window = m_window->GetWindowSprite();
    CSpriteLayer* row = CMesButton::GetButtonSprite(MESBUTTON_AUTO_READ);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(row->IsVisible(), 0);
    // Every pump that finds the choices half faded in finds the message window's row fading too.
    int together = 0;
    int apart = 0;
    OnPump([&](int) {
        const int32_t alpha = window->GetAlpha();
        if (window->IsVisible() == 0 || alpha == 0 || alpha == 255)
            return;
        ++(row->IsVisible() != 0 && row->GetAlpha() < 255 ? together : apart);
    });
    m_window->PlayOpenAnimation();
    OnPump(nullptr);
    EXPECT_GT(together, 0);
    EXPECT_EQ(apart, 0);
    EXPECT_EQ(row->IsVisible(), 1);
    EXPECT_EQ(GetGameWork()->GetMessageWindow()->IsShown(), 1);
}

TEST_F(CNormalSelect2ThreadTest, RestrictedModeLeavesLockedChoicesGreySilentAndInert)
{
    SetChoices({"Ａ", "Ｂ"}, {0, 1});
    State().Variables[69] = ScriptValue::FromInteger(1);
    State().Flags[CHOICE_FLAG_BASE + 1] = 1;
    m_window->OnOpen();
    const HitArea locked = *Area(0);
    const HitArea open = *Area(1);
    PointAt(locked.Left + 35, locked.Top + 60);
    m_window->Update();
    Capture();
    EXPECT_EQ(PlateCell(0, 35), Cell(tools::CHOICE_CELL_LEFT, 0)); // no hover
    m_window->HideAll();
    TakeOkCancelSounds();
    EXPECT_EQ(Run(40, ClickAt(locked)), -100);
    EXPECT_TRUE(TakeOkCancelSounds().empty());
    EXPECT_EQ(Run(40, ClickAt(open)), 2);
}

TEST_F(CNormalSelect2ThreadTest, GameModeShowsTheIconsOfFlagBytesTwoAndThree)
{
    SetChoices({"ＡＢ", "ＡＢ", "ＡＢ"}, {0, 1, 2});
    State().Flags[CHOICE_FLAG_BASE + 0] = 2;
    State().Flags[CHOICE_FLAG_BASE + 1] = 3;
    State().Flags[CHOICE_FLAG_BASE + 2] = 1;
    struct Case
    {
        int32_t mode;
        std::vector<uint32_t> icons; // the cell under each plate's icon place
    };
    const Case cases[] = {
        {1, {tools::CHOICE_CELL_ICON + 2, tools::CHOICE_CELL_ICON + 3, tools::CHOICE_CELL_MIDDLE}},
        {0, {tools::CHOICE_CELL_MIDDLE, tools::CHOICE_CELL_MIDDLE, tools::CHOICE_CELL_MIDDLE}},
    };
    for (const Case& c : cases) {
        SetConfig("/Config/GameMode", c.mode);
        m_window->OnOpen();
        Capture();
        for (int32_t i = 0; i < 3; ++i) {
            const HitArea& area = *Area(i);
            const int32_t x = area.Left + m_window->GetPlateWidth() - 151 + 54;
            EXPECT_EQ(ShownCell(x, area.Top + 9 + 60).first, c.icons[static_cast<size_t>(i)])
                << "mode " << c.mode << " plate " << i;
        }
    }
}

TEST_F(CNormalSelect2ThreadTest, AutoSaveAtOpeningUnderEachGate)
{
    SetChoices({"Ａ", "Ｂ"});
    struct Case
    {
        const char* name;
        std::function<void()> change;
        bool saved;
    };
    const Case cases[] = {
        {"all open", [] {}, true},
        {"flag 7076", [this] { State().Flags[FLAG_NO_CHOICE_AUTO_SAVE] = 1; }, false},
        {"variable 68", [this] { State().Variables[68] = ScriptValue::FromInteger(1); }, false},
        {"variable 69", [this] { State().Variables[69] = ScriptValue::FromInteger(2); }, false},
        {"variable 54", [this] { State().Variables[54] = ScriptValue::FromInteger(1); }, false},
        {"variable 51", [this] { State().Variables[51] = ScriptValue::FromInteger(1); }, false},
        {"setting off", [this] { SetConfig("/Config/AutoSave/Enable", 0); }, false},
        {"engine bit", [this] { State().ClearEngineStateBits(0x4); }, false},
    };
    const std::filesystem::path folder = m_dir.Path();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(folder / "FLAG101");
        std::filesystem::remove(folder / "SaveData101.dat");
        State().Flags[FLAG_NO_CHOICE_AUTO_SAVE] = 0;
        for (size_t v : {51, 54, 68, 69})
            State().Variables[v] = ScriptValue::FromInteger(0);
        SetConfig("/Config/AutoSave/Enable", 1);
        State().SetEngineStateBits(0x4);
        State().SetMoney(4321);
        c.change();
        const bool guarded = State().Flags[FLAG_NO_CHOICE_AUTO_SAVE] != 0;
        const int32_t before = State().Variables[54].Integer;
        m_window->OnOpen();
        EXPECT_EQ(std::filesystem::exists(folder / "FLAG101"), c.saved);
        EXPECT_EQ(std::filesystem::exists(folder / "SaveData101.dat"), c.saved);
        EXPECT_EQ(State().Variables[54].Integer, guarded ? before : 0);
        if (c.saved) {
            FlagBuffer stored;
            const std::vector<uint8_t> bytes = m_dir.Read("FLAG101");
            ByteCursor cursor(bytes);
            ASSERT_TRUE(stored.ReadFrom(cursor));
            EXPECT_EQ(stored.Money(), 4321);
            EXPECT_EQ(stored.Variables[54].Integer, 1); // saved while the save runs
        }
    }
}

TEST_F(CNormalSelect2ThreadTest, KeyboardTableFromEveryStart)
{
    struct Case
    {
        int32_t n, page, last_page;
        std::vector<int32_t> up, down, left, right; // from -1, 0 .. 9
    };
    const Case cases[] = {
        // Eight plates, page 0 of 2.
        {8,
         0,
         1,
         {0, -1, -1, 0, 1, 2, 3, 4, 5, -1, 7},
         {0, 2, 3, 4, 5, 6, 7, 9, 9, 0, 1},
         {0, -1, 0, -1, 2, -1, 4, -1, 6, -1, 8},
         {0, 1, -1, 3, -1, 5, -1, 7, -1, -1, -1}},
        // One plate on page 1 of 2.
        {1,
         1,
         1,
         {0, 8, 0, 1, 2, 3, 4, 5, 6, -1, 0},
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1},
         {0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1},
         {0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}},
        // Six plates on a single page.
        {6,
         0,
         0,
         {0, -1, -1, 0, 1, 2, 3, 4, 5, -1, 5},
         {0, 2, 3, 4, 5, 1, 1, 1, 1, 0, 1},
         {0, -1, 0, -1, 2, -1, 4, -1, 6, -1, 8},
         {0, 1, -1, 3, -1, 5, -1, -1, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        for (int32_t from = -1; from <= 9; ++from) {
            const size_t k = static_cast<size_t>(from + 1);
            SCOPED_TRACE("n " + std::to_string(c.n) + " from " + std::to_string(from));
            EXPECT_EQ(CNormalSelect2::KeyTarget(SCAN_UP, from, c.n, c.page, c.last_page), c.up[k]);
            EXPECT_EQ(CNormalSelect2::KeyTarget(SCAN_DOWN, from, c.n, c.page, c.last_page), c.down[k]);
            EXPECT_EQ(CNormalSelect2::KeyTarget(SCAN_LEFT, from, c.n, c.page, c.last_page), c.left[k]);
            EXPECT_EQ(CNormalSelect2::KeyTarget(SCAN_RIGHT, from, c.n, c.page, c.last_page), c.right[k]);
        }
    }

    // Live: the keys warp the pointer to the target's centre, and a target the page lacks stays.
    SetChoices({"Ａ", "Ｂ", "Ｃ"});
    m_window->OnOpen();
    PointAt(10, 10);
    m_window->Update();
    m_mouse.warps.clear();
    m_window->OnDownKey(); // nothing hovered: plate 0
    const HitArea first = *Area(0);
    ASSERT_EQ(m_mouse.warps.size(), 1u);
    EXPECT_EQ(m_mouse.warps[0].x, (first.Left + first.Right) / 2);
    EXPECT_EQ(m_window->HoverId, 0);
    m_window->OnDownKey();
    m_window->OnDownKey();
    EXPECT_EQ(m_window->HoverId, 2);
    m_window->OnDownKey(); // the last plate of a single page: 1
    EXPECT_EQ(m_window->HoverId, 1);
    m_window->OnUpKey();
    m_window->OnUpKey(); // plate 0 of the first page: no arrow to go to
    EXPECT_EQ(m_window->HoverId, 0);
}

TEST_F(CNormalSelect2ThreadTest, SideMenuAndButtonRowActOverTheWindow)
{
    SetChoices({"Ａ", "Ｂ"});
    m_window->OnOpen();
    TakeOkCancelSounds();
    // The pointer at the right edge opens the menu; its tab closes it again by hand.
    PointAt(1900, 500);
    m_window->Update();
    ASSERT_TRUE(IRightMenu::IsMenuOpen());
    ASSERT_TRUE(IRightMenu::MoveCursorToMenuArea(SIDE_MENU_GROUP));
    m_window->Update();
    EXPECT_EQ(m_window->GetButtonHover(), SIDE_MENU_GROUP);
    EXPECT_EQ(m_window->HoverId, -1);
    m_window->OnDecide();
    EXPECT_FALSE(TakeOkCancelSounds().empty());
    EXPECT_FALSE(IRightMenu::IsMenuOpen());
    EXPECT_EQ(IRightMenu::GetManualFlag(), 1);
    EXPECT_EQ(m_window->Running, 1);

    // The row's hide button hides the window; the next click brings it back and picks nothing.
    CMesButton::MoveCursorToWindowArea(MESBUTTON_EDGE);
    m_window->Update();
    ASSERT_EQ(m_window->GetButtonHover(), MESBUTTON_EDGE);
    m_window->OnDecide();
    EXPECT_EQ(m_window->IsShown(), 0);
    EXPECT_EQ(m_window->GetButtonHover(), -2);
    m_window->OnDecide();
    EXPECT_EQ(m_window->IsShown(), 1);
    EXPECT_EQ(m_window->Running, 1);
}

// While flag byte 7078 is set the pointer at the screen's edge leaves the side menu shut.
TEST_F(CNormalSelect2ThreadTest, AFrozenSideMenuIgnoresThePointerAtTheEdge)
{
    SetChoices({"Ａ", "Ｂ"});
    m_window->OnOpen();
    PointAt(1900, 500);
    State().Flags[FLAG_SIDE_MENU_FROZEN] = 1;
    m_window->Update();
    EXPECT_FALSE(IRightMenu::IsMenuOpen());
    State().Flags[FLAG_SIDE_MENU_FROZEN] = 0;
    m_window->Update();
    EXPECT_TRUE(IRightMenu::IsMenuOpen());
}

} // namespace
