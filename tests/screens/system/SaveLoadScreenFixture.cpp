#include "screens/system/SaveLoadScreenFixture.h"

#include <cstdio>

#include "app/CVeskDoc.h"
#include "foundation/ByteCursor.h"
#include "mapwrite/MapTableWriter.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/save/SaveSlotTable.h"

using namespace saveload_layout;

namespace {

std::vector<tools::ArchiveEntry> Data()
{
    std::vector<tools::ArchiveEntry> data = DialogDataEntries();
    data.push_back({"SAVELOAD.AREA", tools::BuildAreaFile(tools::SaveLoadAreas())});
    data.push_back({"SAVENOTE.AREA", tools::BuildAreaFile(tools::SaveNoteAreas())});
    std::vector<tools::MapText> texts{{0, u"text"}};
    for (int id : {133, 154, 169, 170, 180, 181, 260, 307})
        texts.push_back({id, u"HELP TEXT"});
    for (const char* name : {"SYSTEM_EN.MAP", "SYSTEM_CN.MAP", "SYSTEM_TW.MAP", "SYSTEM.MAP"})
        data.push_back({name, tools::BuildMapTable(texts)});
    return data;
}

std::vector<tools::ArchiveEntry> Pictures(bool with_tw)
{
    std::vector<tools::ArchiveEntry> pictures;
    const std::vector<std::string> sheets = tools::SaveLoadSheetNames();
    const std::vector<std::string> backgrounds = tools::SaveLoadBackgroundNames();
    for (size_t language = 0; language < sheets.size(); ++language) {
        if (language == 2 && !with_tw)
            continue;
        pictures.push_back({tools::UpperCaseName(sheets[language]), tools::EncodeAkb(tools::BuildSaveLoadSheet(), {})});
        pictures.push_back({tools::UpperCaseName(backgrounds[language]),
                            tools::EncodeAkb(tools::BuildSaveLoadBackground(static_cast<int32_t>(language)), {})});
    }
    return pictures;
}

} // namespace

SaveLoadScreenFixture::SaveLoadScreenFixture(bool with_tw_pictures)
    : ScreenFixture(Data(), Pictures(with_tw_pictures))
{
    State().Variables.resize(90);
    State().Flags.assign(16, 0);
    GetScriptState().SaveDataSnapshot->Free();
    SetLanguage(3);
    State().Values[55] = ScriptValue::FromInteger(0x4); // a story runs: the save page is usable
    EXPECT_EQ(m_save.CreateParts(), 1);
    EXPECT_EQ(m_load.CreateParts(), 1);
}

SaveLoadScreenFixture::~SaveLoadScreenFixture() = default;

FlagBuffer& SaveLoadScreenFixture::State()
{
    return *GetScriptState().m_current_state;
}

void SaveLoadScreenFixture::SetLanguage(int32_t language)
{
    m_app.Config().SetInt("/Config/Language", language);
    GetDocument()->SetLanguage(language);
}

void SaveLoadScreenFixture::MakeSlot(uint32_t slot, int32_t money, int32_t date, int32_t time, int32_t weekday,
                                     const char* comment)
{
    State().SetMoney(money);
    State().SetGameDate(date);
    State().SetGameTime(time);
    State().SetWeekday(weekday);
    ASSERT_TRUE(m_save.SaveToSlot(slot, comment)) << slot;
}

void SaveLoadScreenFixture::MakeSlots(uint32_t first, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        MakeSlot(first + static_cast<uint32_t>(i), 100 + i);
}

int32_t SaveLoadScreenFixture::RunScreen(ISaveLoad& screen, std::function<void(int)> step, int end_pump)
{
    // Escape every 20 pumps from end_pump closes what a step left open (a question, a note),
    // then the screen; a screen still open after that fails the test instead of hanging it.
    OnPump([&](int pump) {
        step(pump);
        if (pump >= end_pump && (pump - end_pump) % 20 == 0)
            m_keyboard.down = {1};
        if (pump >= end_pump && (pump - end_pump) % 20 == 2)
            m_keyboard.down.clear();
        if (pump == end_pump + 200) {
            ADD_FAILURE() << "the screen did not close";
            m_app.m_quit = true;
        }
    });
    PointAt(0, 0);
    ScriptValue out = ScriptValue::FromInteger(99);
    screen.Run(&out);
    OnPump(nullptr);
    m_app.m_quit = false;
    m_keyboard.down.clear();
    m_mouse.left_down = 0;
    return out.Integer;
}

POINT SaveLoadScreenFixture::Centre(int32_t id)
{
    for (const tools::AreaRecord& area : tools::SaveLoadAreas())
        if (static_cast<int32_t>(area.id) == id)
            return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    for (const tools::AreaRecord& area : tools::SaveNoteAreas())
        if (static_cast<int32_t>(area.id) == (id & ~0x10000))
            return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    return {0, 0};
}

void SaveLoadScreenFixture::ClickPoint(int pump, int at, POINT point)
{
    if (pump == at)
        PointAt(point.x, point.y);
    if (pump == at + 1)
        m_mouse.left_down = 1;
    if (pump == at + 3)
        m_mouse.left_down = 0;
}

void SaveLoadScreenFixture::ClickAt(int pump, int at, int32_t id)
{
    ClickPoint(pump, at, Centre(id));
}

int32_t SaveLoadScreenFixture::MoneyInFlagFile(uint32_t slot) const
{
    char name[16];
    std::snprintf(name, sizeof name, "FLAG%03u", slot);
    if (!std::filesystem::exists(m_dir.Path() / name))
        return -1;
    const std::vector<uint8_t> bytes = m_dir.Read(name);
    ByteCursor cursor(bytes);
    FlagBuffer flag;
    return flag.ReadFrom(cursor) ? flag.Money() : -1;
}

uint16_t SaveLoadScreenFixture::ContinueOnDisk() const
{
    const std::vector<uint8_t> bytes = m_dir.Read("FLAG000");
    ByteCursor cursor(bytes);
    FlagBuffer system;
    if (!system.ReadFrom(cursor))
        return 0;
    GrowToSlotTable(system.Bytes);
    return SaveSlotTable(system.Bytes).GetContinue();
}
