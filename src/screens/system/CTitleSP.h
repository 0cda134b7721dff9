#pragma once
// The title screen of the second scenario.
// FIXME: the least the exec commands need until the title is in: it holds the sheet and the four
// buttons the command makes for it and ends at once.

#include <array>
#include <cstdint>
#include <memory>

#include "graphics/CSprite.h"
#include "screens/base/ScreenResult.h"

inline constexpr int32_t TITLE_SP_BUTTONS = 4;

class CTitleSP : public ISelect
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }

    virtual void DrawButton(int32_t button, int32_t state, int32_t present)
    {
        (void)button, (void)state, (void)present;
    }
    // Runs the screen among the active screens and answers its result.
    virtual int32_t Register()
    {
        return RunForResult(*this);
    }
    virtual void Release()
    {
        for (auto& button : m_buttons)
            button.reset();
        m_sheet.reset();
    }

    std::unique_ptr<CSprite> m_sheet;
    std::array<std::unique_ptr<CSprite>, TITLE_SP_BUTTONS> m_buttons;
};
