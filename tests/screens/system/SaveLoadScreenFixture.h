#pragma once
// The save and load screens over a started document with their generated pictures and areas, the
// dialog's, and a real save folder; slots are made by the save operations themselves. The
// screens run with a per-pump script of clicks, keys and wheel steps, and are cancelled by Escape
// when the script has not closed them.

#include <functional>
#include <string>

#include "screens/ScreenFixture.h"
#include "screens/system/CLoadDialog.h"
#include "screens/system/CSaveDialog.h"
#include "screens/system/SaveLoadLayout.h"
#include "sheetgen/SaveLoadSheets.h"

class FlagBuffer;

class SaveLoadScreenFixture : public ScreenFixture
{
protected:
    // Without "_tw" pictures when told, to see the traditional Chinese fallback.
    explicit SaveLoadScreenFixture(bool with_tw_pictures = true);
    ~SaveLoadScreenFixture() override;

    FlagBuffer& State();
    // Saves into the slot (in order from a group's first) with the game values given.
    void MakeSlot(uint32_t slot, int32_t money, int32_t date = 401, int32_t time = 900, int32_t weekday = 0,
                  const char* comment = "");
    void MakeSlots(uint32_t first, int32_t count);
    // Runs the screen with the step at every pump; Escape at end_pump if it is still open.
    int32_t RunScreen(ISaveLoad& screen, std::function<void(int)> step, int end_pump = 300);
    // Pointer at the centre of the control at the pump, button down one pump later for two.
    void ClickAt(int pump, int at, int32_t id);
    void ClickPoint(int pump, int at, POINT point);
    static POINT Centre(int32_t id);
    // The flag file's money, -1 when missing.
    int32_t MoneyInFlagFile(uint32_t slot) const;
    uint16_t ContinueOnDisk() const;
    void SetLanguage(int32_t language);

    CSaveDialog m_save{2};
    CLoadDialog m_load{3};
};
