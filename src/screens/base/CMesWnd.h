#pragma once
// The message window: story text with its typewriter, auto and skip modes.
// FIXME: the least the game work needs until the message window is in.

#include <array>
#include <cstdint>
#include <memory>

#include "app/IAppTask.h"
#include "graphics/CSprite.h"
#include "screens/base/CMesButton.h"

inline constexpr size_t MESWND_SHARED_SPRITES = 7;

class CMesWnd : public CMesButton, public IAppTask
{
public:
    CMesWnd()
        : IAppTask(15)
    {}
    void Execute() override {}
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }
    // No sprites of its own yet, and a message ends at once with 0.
    int32_t CreateParts() override { return 1; }
    void RunMessage(ScriptValue& out, int32_t, int32_t) override { out = ScriptValue::FromInteger(0); }
    // Brings the window back after a system screen, with a fade-in; the option comes from the
    // game state.
    virtual void RestoreWindow(int32_t option)
    {
        (void)option;
        Show();
    }
    // Hidden by its sprites alone: IsShown answers 0 afterwards.
    void ClearShown() { Shown = 0; }

    // Parts the exec commands reach; null until the window builds them. The face sheet holds
    // the faces as 144 x 144 cells, five to a row.
    std::unique_ptr<CSprite> m_text_area_sprite;
    std::unique_ptr<CSprite> m_window_sprite;
    std::unique_ptr<CSprite> m_face_sprite;
    std::unique_ptr<CSprite> m_face_sheet;
    std::array<CSprite*, MESWND_SHARED_SPRITES> m_shared_sprites{}; // not owned
    int32_t m_window_y = 0;
    int32_t m_face_shown = 0;
};
