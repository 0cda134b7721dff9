#pragma once
// A started document on the effect stage for the exec group's picture and character commands:
// registered scene (0), background (1), work (2), part (3), face (5) and fade (6) layers, the
// game work's standing characters and picture registry, and a layer archive of test pictures.
// Characters are 2048 wide: a clear picture with a body box at (824, 200)-(1224, 1100).

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "graphics/CSpriteLayer.h"
#include "graphics/EffectFixture.h"
#include "script/vm/CScript.h"

class CFuncExec;
class StandingCharacterSet;

inline constexpr uint32_t BODY_A1 = 0xFFC04040;
inline constexpr uint32_t BODY_A2 = 0xFF40C040;
inline constexpr uint32_t BODY_B = 0xFF4040C0;
inline constexpr uint32_t BODY_C = 0xFFC0C040;
inline constexpr uint32_t FACE = 0xFFF0F0F0;
inline constexpr uint32_t PART = 0xFF101010;
inline constexpr uint32_t STAGE_BLACK = 0xFF203040;
inline constexpr uint32_t STAGE_BASE = 0xFF305070;    // "bg.akb", full screen
inline constexpr uint32_t STAGE_OVERLAY = 0xFF907050; // "ov.akb", 100 x 100
inline constexpr uint32_t STAGE_STATION = 0xFF506030; // "y04bb.akb", full screen
// The body box in picture coordinates.
inline constexpr RECT BODY_BOX = {824, 200, 1224, 1100};
// The face box of "a_face.akb", inside the body box.
inline constexpr RECT FACE_BOX = {924, 250, 1124, 350};
// The hit id painted over the body box of "a_hit.akb": red 3, green 1.
inline constexpr int32_t BODY_HIT_ID = 0x103;

// One popped argument: an integer or a text.
using ExecArg = std::variant<int32_t, const char*>;

// Pushes the arguments so that the group pops them in the order given, then calls it.
void CallExec(CFuncExec& exec, CScript& script, const std::vector<ExecArg>& popped);

// The weather commands alone: the effect stage's pictures and a script context of the document's
// with an exec group of the test's, no started document (the thread tests run it).
class WeatherStage : public EffectFixture
{
protected:
    WeatherStage();
    ~WeatherStage() override;
    void Exec(const std::vector<ExecArg>& popped) { CallExec(*m_exec, m_script, popped); }

    std::unique_ptr<CFuncExec> m_exec;
    CScript m_script;
};

class ExecStage : public EffectFixture
{
protected:
    ExecStage();
    ~ExecStage() override;

    void Exec(const std::vector<ExecArg>& popped) { CallExec(*m_exec, m_script, popped); }
    // Draws and presents a frame and reads it back; a PNG in the build folder when named.
    void Capture(const std::string& png = {}) { CaptureFrame(m_capture, png); }
    uint32_t Shown(int x, int y) { return EffectPixel(m_capture, x, y) | 0xFF000000u; }
    CSpriteLayer& Layer(int32_t number);
    StandingCharacterSet& Characters();
    size_t StackSize();

    CFuncExec* m_exec = nullptr; // not owned: the script context's
    CScript m_script;
    CSpriteLayer m_capture;
};
