#pragma once
// The stage of the flag screen tests: the flag screens' sheets, area files and system-menu map
// from the sheet generator, the dialog's sheet, and a game state at 1222 08:00 with every hint
// slot seeded.

#include <string>
#include <vector>

#include "app/CVeskDoc.h"
#include "castnames/CastNamesWriter.h"
#include "mesasm/MesAssembler.h"
#include "foundation/CArchiveManager.h"
#include "game/hints/CastNames.h"
#include "script/ScriptState.h"
#include "script/vm/CScript.h"
#include "screens/ScreenFixture.h"
#include "sheetgen/FlagSheets.h"
#include "support/HintStateFactory.h"

inline std::vector<tools::ArchiveEntry> FlagEntries(const std::vector<tools::NamedFile>& files,
                                                    std::vector<tools::ArchiveEntry> more = {})
{
    for (const tools::NamedFile& file : files)
        more.push_back({tools::UpperCaseName(file.name), file.bytes});
    return more;
}

// The help lines name the heroines: the demo's cast, so no missing-names report interferes.
inline std::vector<tools::ArchiveEntry> WithCastNames(std::vector<tools::ArchiveEntry> entries)
{
    const std::string names = tools::WriteCastNames(tools::DemoCastNames());
    entries.push_back({"CASTNAMES.TXT", std::vector<uint8_t>(names.begin(), names.end())});
    return entries;
}

class FlagScreenFixture : public ScreenFixture
{
protected:
    explicit FlagScreenFixture(std::vector<tools::ArchiveEntry> pictures = FlagEntries(tools::FlagPictureFiles()),
                               bool dialog_sheet = true)
        : ScreenFixture(FlagEntries(tools::FlagDataFiles(), WithCastNames(DialogDataEntries())), std::move(pictures),
                        dialog_sheet)
    {
        m_app.Config().SetInt("/Config/Language", 3);
        CVeskDoc* document = GetDocument();
        GetScriptState().m_current_state = std::make_unique<FlagBuffer>(MakeHintState());
        document->SetLanguage(3);
        ResetCastNames();
    }

    // Adds scenes (each a line and its end) to the script archive; the next attach reopens it.
    void AddScenes(const std::vector<std::string>& names)
    {
        std::vector<tools::ArchiveEntry> scripts;
        for (const std::string& name : names)
            scripts.push_back({tools::UpperCaseName(name), tools::AssembleScript("line 1\nend").File});
        for (const char* name : {"start.mes", "main.mes"})
            scripts.push_back({tools::UpperCaseName(name), tools::AssembleScript("line 1\nend").File});
        m_dir.Write("script.arc", tools::BuildArchive(scripts, tools::ArchiveEncoding::Lzss));
        CScript::SetScriptArchive(nullptr);
    }

    ~FlagScreenFixture() override { ResetCastNames(); }

    FlagBuffer& State() { return *GetScriptState().m_current_state; }

    // Runs step at each pump once a screen's opening transition has had time to end, with the
    // pump counted from there.
    static constexpr int SETTLE = 20;
    void Step(std::function<void(int)> step)
    {
        if (!step) {
            OnPump(nullptr);
            return;
        }
        OnPump([step](int pump) {
            if (pump > SETTLE)
                step(pump - SETTLE);
        });
    }

    // How many of the OK (or cancel) sounds channel 4 played since the last call.
    int TakeSounds(bool ok)
    {
        int count = 0;
        for (const std::string& call : TakeOkCancelSounds())
            count += call.find(ok ? "ses_001" : "ses_002") != std::string::npos ? 1 : 0;
        return count;
    }

    // Presses and releases a key or the left button over a few pumps from the given one.
    void PressAt(int pump, int at, uint32_t scan_code)
    {
        if (pump == at)
            m_keyboard.down.insert(scan_code);
        if (pump == at + 2)
            m_keyboard.down.erase(scan_code);
    }
    void ClickAt(int pump, int at)
    {
        if (pump == at)
            m_mouse.left_down = 1;
        if (pump == at + 2)
            m_mouse.left_down = 0;
    }
};
