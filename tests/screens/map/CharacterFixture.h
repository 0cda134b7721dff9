#pragma once
// The stage of the character selection, diary viewer and comment mode: their sheets and area
// files from the sheet writer, the area screens' "select_p.akb", the gallery's "cgscenemode_p.akb",
// language texts "T<id>" for every help id, and a game state large enough for every field read.

#include <algorithm>
#include <functional>
#include <string>

#include "app/CVeskDoc.h"
#include "mapwrite/MapTableWriter.h"
#include "screens/ScreenFixture.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "sheetgen/CharacterSheets.h"
#include "sound/SoundChannels.h"
#include "support/FakeWaveManager.h"

inline std::vector<tools::ArchiveEntry> CharacterEntries(std::vector<tools::NamedFile> files)
{
    std::vector<tools::ArchiveEntry> out;
    for (tools::NamedFile& file : files)
        out.push_back({tools::UpperCaseName(file.name), std::move(file.bytes)});
    return out;
}

inline std::vector<tools::ArchiveEntry> CharacterData()
{
    std::vector<tools::ArchiveEntry> data = CharacterEntries(tools::CharacterDataFiles());
    std::vector<tools::MapText> texts;
    const auto add = [&texts](int32_t id) {
        const std::string digits = std::to_string(id);
        texts.push_back({id, u"T" + std::u16string(digits.begin(), digits.end())});
    };
    for (int32_t id : {35, 36, 45, 46, 252})
        add(id);
    for (int32_t id = 311; id <= 353; ++id)
        add(id);
    for (const char* name : {"system_en.map", "system_cn.map", "system_tw.map", "system.map"})
        data.push_back({tools::UpperCaseName(name), tools::BuildMapTable(texts)});
    return data;
}

inline std::vector<tools::ArchiveEntry> CharacterPictures()
{
    std::vector<tools::ArchiveEntry> pictures = CharacterEntries(tools::CharacterPictureFiles());
    const std::vector<uint8_t> select = tools::EncodeAkb(
        tools::BuildSheet(tools::AREA_SHEET_WIDTH, tools::AREA_SHEET_HEIGHT, tools::AreaSelectSheetCells()),
        {});
    const std::vector<uint8_t> modes = tools::EncodeAkb(tools::GalleryModeSheet(), {});
    for (const char* suffix : {"", "_EN"}) {
        pictures.push_back({std::string("SELECT_P") + suffix + ".AKB", select});
        pictures.push_back({std::string("CGSCENEMODE_P") + suffix + ".AKB", modes});
    }
    return pictures;
}

class CharacterFixture : public ScreenFixture
{
protected:
    CharacterFixture()
        : ScreenFixture(CharacterData(), CharacterPictures())
    {
        State().Flags.resize(8192);
        State().Variables.resize(80);
        State().Values.resize(64);
    }
    static FlagBuffer& State() { return *GetScriptState().m_current_state; }
    // What an effect channel was asked to play, then forgotten.
    static std::vector<std::string> TakeSounds(size_t channel)
    {
        auto& channels = GetGameSoundChannels()[SOUND_GROUP_EFFECT];
        auto* fake =
            channel < channels.size() ? dynamic_cast<FakeWaveManager*>(channels[channel].get()) : nullptr;
        if (fake == nullptr)
            return {"no recording channel"};
        std::vector<std::string> calls = fake->Calls();
        fake->ClearCalls();
        return calls;
    }
    static bool Played(const std::vector<std::string>& calls, const std::string& name)
    {
        return std::find(calls.begin(), calls.end(), "play " + name) != calls.end();
    }

    // Runs a screen's loop with the step at each pump until the screen ends or the budget.
    template <typename Screen>
    void RunUntil(Screen& screen, std::function<void(int)> step, int budget, std::function<void()> run)
    {
        screen.Result = ScriptValue::FromInteger(99);
        OnPump([&](int pump) {
            if (step)
                step(pump);
            if (pump == budget)
                screen.Running = 0;
        });
        run();
        OnPump(nullptr);
    }
    // Points at the spot from pump 1 and holds the left button for two pumps from the pump given.
    std::function<void(int)> ClickAt(int32_t x, int32_t y, int at)
    {
        return [this, x, y, at](int pump) {
            if (pump == 1)
                PointAt(x, y);
            m_mouse.left_down = pump >= at && pump < at + 2 ? 1 : 0;
        };
    }
    // Holds the key for two pumps from the pump given.
    std::function<void(int)> KeyAt(uint32_t key, int at)
    {
        return [this, key, at](int pump) {
            if (pump == at)
                m_keyboard.down = {key};
            if (pump == at + 2)
                m_keyboard.down.clear();
        };
    }
};
