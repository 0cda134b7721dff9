// The game start-up over generated archives: what it builds, in which order, and for a failure
// at each step the exact text and a clean teardown of what was made before it.

#include "DocumentFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "akbwriter/AkbWriter.h"
#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "arcpack/ArchiveWriter.h"
#include "foundation/CExecException.h"
#include "foundation/CLangTextTable.h"
#include "foundation/CreationFault.h"
#include "graphics/CAnimeManager.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/CSpriteLayerFile.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/SpriteLayerRegistry.h"
#include "movie/CMediaStream.h"
#include "movie/CMoviePlayer.h"
#include "screens/base/CBacklogScreen.h"
#include "screens/base/CMesWnd.h"
#include "screens/base/CNormalSelect2.h"
#include "screens/flags/CFlagManager.h"
#include "screens/map/CCps.h"
#include "screens/map/CSubMap.h"
#include "screens/system/CConfig.h"
#include "screens/system/CLoadDialog.h"
#include "screens/system/CSaveDialog.h"
#include "screens/system/CSoundConfig.h"
#include "script/FlagBuffer.h"
#include "script/ScriptValueTable.h"
#include "script/vm/CScript.h"
#include "script/vm/ScriptContext.h"
#include "sound/SoundSystem.h"
#include "support/StartupPictures.h"

namespace {

// The parts of the game in the order the start-up makes them; each answers whether it exists.
struct Part
{
    const char* failure; // the text its failure is reported with
    bool (*exists)(CVeskDoc&);
};

const Part PARTS[] = {
    {"Failed to initialize the DirectSound", [](CVeskDoc&) { return g_direct_sound != nullptr; }},
    {"Failed to create the Flag Object",
     [](CVeskDoc& d) { return d.GetScript().m_current_state != nullptr; }},
    {"Failed to create the SaveManager",
     [](CVeskDoc& d) { return d.GetScript().SaveDataSnapshot != nullptr; }},
    {"Failed to create the Select Manager",
     [](CVeskDoc& d) { return d.GetScript().m_select_manager != nullptr; }},
    {"Failed to create the Event Manager", [](CVeskDoc& d) { return d.GetEventManager() != nullptr; }},
    {"Failed to create the App Event Object",
     [](CVeskDoc& d) {
         return d.GetEventManager() != nullptr && d.GetEventManager()->RequestWord != nullptr;
     }},
    {"Failed to create the Font Object",
     [](CVeskDoc& d) { return d.GetSpriteLayers().GetFont(DOCUMENT_FONT_FIFTH) != nullptr; }},
    {"Failed to create the Sprite Archive",
     [](CVeskDoc& d) { return d.GetSpriteLayers().GetLayerFile() != nullptr; }},
    {"Failed to create the Fade Sprite",
     [](CVeskDoc& d) { return d.GetSpriteLayers().GetFadeSprite() != nullptr; }},
    {"Failed to create the Work Layer",
     [](CVeskDoc& d) { return d.GetSpriteLayers().GetWorkLayer() != nullptr; }},
    {"Failed to create the Stack Layer",
     [](CVeskDoc& d) { return d.GetSpriteLayers().GetStackLayer() != nullptr; }},
    {"Failed to create the Movie Object",
     [](CVeskDoc& d) { return d.GetMoviePlayer() != nullptr && d.GetMoviePlayer()->Streams[1] != nullptr; }},
    {"Failed to create the Data Archive", [](CVeskDoc& d) { return d.GetDataArchive() != nullptr; }},
    {"Failed to create the Script Manager",
     [](CVeskDoc& d) { return d.GetScript().m_script_context != nullptr; }},
    {"Status Object Create Failed", [](CVeskDoc&) { return GetGameWork()->m_status != nullptr; }},
    {"Failed to create CGFlag object.", [](CVeskDoc&) { return GetGameWork()->GetCGFlags() != nullptr; }},
    {"Failed to create the Script Object",
     [](CVeskDoc& d) { return d.GetScript().m_current_script != nullptr; }},
};

class CVeskDocStartupThreadTest : public DocumentFixture
{};

TEST_F(CVeskDocStartupThreadTest, BuildsTheGameAndRunsTheStartScript)
{
    WriteScripts({{"start.mes", "push 7\nstvar 3\nend"}});
    CVeskDoc* document = GetDocument();
    document->StartGame();

    for (const Part& part : PARTS)
        EXPECT_TRUE(part.exists(*document)) << part.failure;
    EXPECT_EQ(document->GetUpdateFlag(), 0u) << "no update.arc here";
    EXPECT_EQ(document->GetUpdateArchive(), nullptr);
    const FlagBuffer& state = *document->GetScript().m_current_state;
    EXPECT_EQ(state.EngineStateWord(), 0x53u);
    EXPECT_EQ(state.Values[35].Integer, 0xFFFFFF);
    EXPECT_EQ(state.Values[32].Integer, 0);
    EXPECT_EQ(state.Values[40].Integer, 1);
    EXPECT_EQ(GetSpriteLayerRegistry().GetStackLayer()->GetLayer()->GetWidth(), 2048);
    EXPECT_EQ(GetSpriteLayerRegistry().GetWorkLayer()->GetLayer()->GetWidth(), 1920);
    EXPECT_EQ(GetSpriteLayerRegistry().GetWorkLayer()->GetLayer()->GetHeight(), 1080);
    ASSERT_NE(GetSpriteLayerRegistry().GetAnimeManager(), nullptr);
    EXPECT_EQ(GetSpriteLayerRegistry().GetAnimeManager()->GetPeriod(), 20u);

    // The language tables came from the data archive, in every language.
    EXPECT_EQ(GetGameWork()->m_system_language->GetText(5, 0).GetText(), SystemText(5, 0));
    EXPECT_EQ(GetGameWork()->m_system_language->GetText(12, 3).GetText(), SystemText(12, 3));

    ASSERT_NE(document->GetScript().m_current_script, nullptr);
    EXPECT_STREQ(document->GetScript().m_current_script->GetName().GetText(), "start.mes");
    ASSERT_EQ(document->GetScript().m_script_stack.size(), 1u);
    document->GetScript().m_current_state->Variables.resize(8);
    int frames = 0;
    while (frames < 100 && document->OnFrame() != 0)
        ++frames;
    EXPECT_LT(frames, 100) << "the start script ended with no caller";
    EXPECT_EQ(document->GetScript().m_current_state->Variables[3].Integer, 7);
    EXPECT_TRUE(TakeMessageBoxes().empty());
}

TEST_F(CVeskDocStartupThreadTest, UpdateArchiveIsOpenedWhenPresent)
{
    std::vector<tools::ArchiveEntry> none;
    m_dir.Write("update.arc", tools::BuildArchive(none, tools::ArchiveEncoding::Plain));
    CVeskDoc* document = StartDocument();
    EXPECT_EQ(document->GetUpdateFlag(), 1u);
    EXPECT_NE(document->GetUpdateArchive(), nullptr);
}

TEST_F(CVeskDocStartupThreadTest, StartScriptNameComesFromTheConfiguration)
{
    m_app.Config().SetString("/GameFile/Script/StartUp", "other.mes");
    WriteScripts({{"other.mes", "end"}});
    CVeskDoc* document = GetDocument();
    document->StartGame();
    EXPECT_STREQ(document->GetScript().m_current_script->GetName().GetText(), "other.mes");
}

TEST_F(CVeskDocStartupThreadTest, MissingStartScriptIsReportedWithItsText)
{
    WriteScripts({{"main.mes", "end"}});
    CVeskDoc* document = GetDocument();
    try {
        document->StartGame();
        FAIL() << "no start script, yet the start-up went on";
    } catch (const CExecException& failure) {
        EXPECT_STREQ(failure.GetMessage().GetText(), "ファイルオープンエラー\nstart.mes");
    }
    EXPECT_EQ(document->GetScript().m_current_script, nullptr);
}

// Each failure stops the start-up with its own text; everything made before it exists, nothing
// after it, and deleting the document frees it all (the sanitizer build checks the freeing).
TEST_F(CVeskDocStartupThreadTest, EachFailureStopsInOrderWithItsText)
{
    WriteScripts({{"start.mes", "end"}});
    for (size_t failing = 0; failing < std::size(PARTS); ++failing) {
        SCOPED_TRACE(PARTS[failing].failure);
        InjectCreationFault(PARTS[failing].failure);
        CVeskDoc* document = GetDocument();
        try {
            document->StartGame();
            ADD_FAILURE() << "the start-up went on";
        } catch (const CExecException& failure) {
            EXPECT_STREQ(failure.GetMessage().GetText(), PARTS[failing].failure);
        }
        for (size_t k = 0; k < std::size(PARTS); ++k)
            EXPECT_EQ(PARTS[k].exists(*document), k < failing) << PARTS[k].failure;
        InjectCreationFault(nullptr);
        DeleteDocument();
        EXPECT_EQ(g_direct_sound, nullptr);
        EXPECT_EQ(GetGameWork()->m_status, nullptr);
        EXPECT_EQ(CScript::GetLiveScriptCount(), 0);
    }
}

TEST_F(CVeskDocStartupThreadTest, OtherStepFailuresHaveTheirTexts)
{
    WriteScripts({{"start.mes", "end"}});
    const char* const texts[] = {
        "Failed to create the Work Memory",
        "Failed to create the MediaManager Object",
        "Lock Status Object Create Failed",
        "Sytem Language Object Create Failed",
        "Message Frame Object Create Failed",
        "Select Object Create Failed",
        "Save Object Create Failed",
        "Load Object Create Failed",
        "Log Object Create Failed",
        "Config Object Create Failed",
        "Map Object Create Failed",
        "Search Base Object Create Failed",
        "Search Object Create Failed",
        "Sound Config Object Create Failed",
        "Character Object Create Failed",
        "BGV Object Create Failed",
        "Failed to create movie volume object.",
        "Failed to create Infomation plate.",
        "Failed to create Flag Manager.",
        "Failed to create SubMap.",
        "Failed to create the expression object.",
        "Failed to create the Script Archive",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        InjectCreationFault(text);
        try {
            GetDocument()->StartGame();
            ADD_FAILURE() << "the start-up went on";
        } catch (const CExecException& failure) {
            EXPECT_STREQ(failure.GetMessage().GetText(), text);
        }
        InjectCreationFault(nullptr);
        DeleteDocument();
        EXPECT_EQ(g_direct_sound, nullptr);
    }
}

// Every screen makes its parts at start-up and keeps them for the game; the choice window draws
// its page into a texture sprite.
TEST_F(CVeskDocStartupThreadTest, EveryScreenHoldsItsPartsFromTheStartUp)
{
    WriteScripts({{"start.mes", "end"}});
    GetDocument()->StartGame();
    CGameWork* work = GetGameWork();
    const CMesWnd& window = *work->GetMessageWindow();
    for (const CSprite* sprite : {static_cast<const CSprite*>(window.m_window_sprite.get()),
                                  static_cast<const CSprite*>(window.m_text_area_sprite.get()),
                                  static_cast<const CSprite*>(window.m_face_sheet.get())})
        EXPECT_NE(sprite, nullptr);
    EXPECT_NE(dynamic_cast<CSpriteTexture*>(work->GetChoiceWindow()->GetWindowSprite()), nullptr);
    EXPECT_NE(work->GetChoiceWindow()->GetPlateLayer(), nullptr);
    EXPECT_NE(work->GetTownMap()->Composite, nullptr);
    EXPECT_NE(work->GetTownMap()->MapPicture, nullptr);
    EXPECT_NE(work->GetTownMap()->OverlayPicture, nullptr);
    EXPECT_NE(work->GetSubMap()->GetContainer(), nullptr);
    EXPECT_NE(work->GetSubMap()->GetBackgroundLayer(), nullptr);
    EXPECT_NE(work->GetSubMap()->GetPartsLayer(), nullptr);
    EXPECT_NE(work->GetSubMap()->GetIconLayer(), nullptr);
    for (ISystemParts* page :
         {static_cast<ISystemParts*>(work->GetSaveDialog()), static_cast<ISystemParts*>(work->GetLoadDialog()),
          static_cast<ISystemParts*>(work->GetBacklog()), static_cast<ISystemParts*>(work->GetConfig()),
          static_cast<ISystemParts*>(work->GetSoundConfig()), static_cast<ISystemParts*>(work->GetFlagManager())})
        EXPECT_TRUE(page->HoldsParts());
}

// A sheet several screens copy from is decoded once at start-up and held once: the message
// window and the sub map share the icon sheet, the settings and the sound settings their parts
// sheet.
TEST_F(CVeskDocStartupThreadTest, EachSheetIsDecodedOnceAtStartUp)
{
    std::vector<tools::ArchiveEntry> layers = StartupPictureEntries();
    layers.push_back({"SYSTEMSOUND_P.AKB", tools::EncodeAkb(tools::MakePicture(4, 4, 0xFF405060), {})});
    layers.push_back({"CURSOR.AKB", tools::EncodeAkb(tools::MakePicture(128, 192, 0xFF102030), {})});
    m_dir.Write("layer.arc", tools::BuildArchive(layers, tools::ArchiveEncoding::Plain));
    WriteScripts({{"start.mes", "end"}});
    GetDocument()->StartGame();
    CLayerFile* file = GetDocument()->GetSpriteLayers().GetLayerFile();
    ASSERT_NE(file, nullptr);
    for (const tools::ArchiveEntry& entry : layers)
        EXPECT_LE(file->GetDecodeCount(entry.name.c_str()), 1u) << entry.name;
    EXPECT_EQ(file->GetDecodeCount("icon_p.akb"), 1u);
    EXPECT_EQ(file->GetDecodeCount("systemsound_p.akb"), 1u);
    CGameWork* work = GetGameWork();
    ASSERT_NE(work->GetMessageWindow()->m_face_sheet, nullptr);
    // The shared sheet goes with its last holder: no cache keeps it.
    std::weak_ptr<CSprite> sheet = work->GetMessageWindow()->m_face_sheet;
    DeleteDocument();
    EXPECT_TRUE(sheet.expired());
}

// The layer archive of the start-up pictures with one picture's bytes replaced, or added damaged.
std::vector<uint8_t> LayersWithDamaged(const char* stem)
{
    const std::vector<uint8_t> damaged(64, 0x5A);
    std::vector<tools::ArchiveEntry> layers;
    bool found = false;
    for (tools::ArchiveEntry& entry : StartupPictureEntries()) {
        if (entry.name.starts_with(stem)) {
            entry.data = damaged;
            found = true;
        }
        layers.push_back(std::move(entry));
    }
    if (!found)
        layers.push_back({std::string(stem) + ".AKB", damaged});
    layers.push_back({"CURSOR.AKB", tools::EncodeAkb(tools::MakePicture(128, 192, 0xFF102030), {})});
    return tools::BuildArchive(layers, tools::ArchiveEncoding::Plain);
}

void ExpectStartUpFails(const char* failure)
{
    try {
        GetDocument()->StartGame();
        ADD_FAILURE() << "the start-up went on";
    } catch (const CExecException& thrown) {
        EXPECT_STREQ(thrown.GetMessage().GetText(), failure);
    }
}

// Data without a screen's sheets, or with one there but unreadable, stops the start-up with the
// screen's text, before the player can reach the screen.
TEST_F(CVeskDocStartupThreadTest, NoScreenWithoutItsPartsSheets)
{
    WriteScripts({{"start.mes", "end"}});
    const struct
    {
        const char* sheet;
        bool damaged; // present but not a picture, rather than missing
        const char* failure;
    } cases[] = {{"SAVELOAD_P", false, "Save Object Create Failed"},
                 {"FLAGLIST_BG", false, "Failed to create Flag Manager."},
                 {"MESSAGE_P", true, "Message Frame Object Create Failed"},
                 {"ICON_P", true, "Message Frame Object Create Failed"},
                 {"SEL_P", true, "Select Object Create Failed"},
                 {"FLAGLIST_BG", true, "Failed to create Flag Manager."},
                 {"LOG_P", true, "Log Object Create Failed"},
                 {"LOG_COVER", true, "Log Object Create Failed"}};
    for (const auto& [sheet, damaged, text] : cases) {
        SCOPED_TRACE(sheet);
        std::vector<tools::ArchiveEntry> layers;
        for (tools::ArchiveEntry& entry : StartupPictureEntries())
            if (!entry.name.starts_with(sheet))
                layers.push_back(std::move(entry));
        layers.push_back({"CURSOR.AKB", tools::EncodeAkb(tools::MakePicture(128, 192, 0xFF102030), {})});
        m_dir.Write("layer.arc", damaged ? LayersWithDamaged(sheet)
                                         : tools::BuildArchive(layers, tools::ArchiveEncoding::Plain));
        ExpectStartUpFails(text);
        DeleteDocument();
        TakeMessageBoxes();
    }
}

// A save sheet that is there but cannot be read stops the start-up with the save screen's text,
// and the start-up has not gone on to the screens after it.
TEST_F(CVeskDocStartupThreadTest, AnUnreadableSaveSheetStopsTheStartUp)
{
    WriteScripts({{"start.mes", "end"}});
    m_dir.Write("layer.arc", LayersWithDamaged("SAVELOAD_P"));
    ExpectStartUpFails("Save Object Create Failed");
    EXPECT_EQ(GetGameWork()->GetLoadDialog(), nullptr);
    EXPECT_EQ(GetDocument()->GetScript().m_current_script, nullptr);
}

// A system page made but whose parts could not be stops the start-up with the page's text, and
// the start-up has not gone on to the next screen.
TEST_F(CVeskDocStartupThreadTest, APageWithoutItsPartsStopsTheStartUpWithItsText)
{
    WriteScripts({{"start.mes", "end"}});
    CGameWork* work = GetGameWork();
    const struct
    {
        const char* failure;
        bool (*made)(CGameWork*);
        bool (*next_made)(CGameWork*);
    } cases[] = {
        {"Load Object Create Failed", [](CGameWork* w) { return w->GetLoadDialog() != nullptr; },
         [](CGameWork* w) { return w->GetBacklog() != nullptr; }},
        {"Log Object Create Failed", [](CGameWork* w) { return w->GetBacklog() != nullptr; },
         [](CGameWork* w) { return w->GetConfig() != nullptr; }},
        {"Config Object Create Failed", [](CGameWork* w) { return w->GetConfig() != nullptr; },
         [](CGameWork* w) { return w->GetTownMap() != nullptr; }},
        {"Sound Config Object Create Failed", [](CGameWork* w) { return w->GetSoundConfig() != nullptr; },
         [](CGameWork* w) { return w->GetStatusPlate() != nullptr; }},
    };
    for (const auto& [failure, made, next_made] : cases) {
        SCOPED_TRACE(failure);
        const std::string step = std::string(failure) + " (parts)";
        InjectCreationFault(step.c_str());
        ExpectStartUpFails(failure);
        EXPECT_TRUE(made(work)) << "the page itself was made";
        EXPECT_FALSE(next_made(work));
        InjectCreationFault(nullptr);
        DeleteDocument();
    }
}

// The town map and the sub map, whose layers cannot be had, stop the start-up with their texts.
TEST_F(CVeskDocStartupThreadTest, MapsWithoutTheirLayersStopTheStartUp)
{
    WriteScripts({{"start.mes", "end"}});
    const SIZE size = CCps::GetMapPictureSize();
    CCps::SetMapPictureSize(100000, 100000); // more than a layer may hold
    ExpectStartUpFails("Map Object Create Failed");
    CCps::SetMapPictureSize(size.cx, size.cy);
    DeleteDocument();

    InjectCreationFault("sub map layers");
    ExpectStartUpFails("Failed to create SubMap.");
    InjectCreationFault(nullptr);
}

TEST_F(CVeskDocStartupThreadTest, AMissingOrDamagedArchiveStopsOnOneBoxInThePlayersLanguage)
{
    WriteScripts({{"start.mes", "end"}});
    const std::vector<uint8_t> data = m_dir.Read("data.arc");
    m_dir.Write("data.arc", std::vector<uint8_t>(data.begin(), data.begin() + 100));
    m_app.Config().SetInt("/Config/Language", 0);
    try {
        GetDocument()->StartGame();
        ADD_FAILURE() << "the start-up went on";
    } catch (const CExecException& failure) {
        EXPECT_STREQ(failure.GetMessage().GetText(),
                     "data.arc is missing or damaged.\nPlease install the game again.");
    }
    EXPECT_TRUE(TakeMessageBoxes().empty()) << "the caller shows the one box";
    DeleteDocument();

    m_dir.Write("data.arc", data);
    std::filesystem::remove(m_dir.Path() / "script.arc");
    m_app.Config().SetInt("/Config/Language", 3);
    try {
        GetDocument()->StartGame();
        ADD_FAILURE() << "the start-up went on";
    } catch (const CExecException& failure) {
        EXPECT_STREQ(
            failure.GetMessage().GetText(),
            "script.arc が見つからないか、壊れています。\nゲームをもう一度インストールしてください。");
    }
    EXPECT_TRUE(TakeMessageBoxes().empty());
}

TEST_F(CVeskDocStartupThreadTest, MoviePlayerThatCannotBeMadeIsSkipped)
{
    WriteScripts({{"start.mes", "end"}});
    InjectCreationFault("media manager");
    CVeskDoc* document = GetDocument();
    document->StartGame();
    EXPECT_EQ(document->GetMoviePlayer(), nullptr);
    EXPECT_NE(document->GetScript().m_current_script, nullptr);
}

TEST_F(CVeskDocStartupThreadTest, DocumentThatCannotBeMadeThrows)
{
    InjectCreationFault("Failed to create the Document Object");
    try {
        GetDocument();
        FAIL();
    } catch (const CExecException& failure) {
        EXPECT_STREQ(failure.GetMessage().GetText(), "Failed to create the Document Object");
    }
}

} // namespace
