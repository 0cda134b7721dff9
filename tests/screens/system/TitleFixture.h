#pragma once
// The stage of the title tests: the screen stage with the title's sheet, pictures and area files,
// a game state large enough for the title's gates, and a full-screen sprite layer 0 of one colour
// registered with the document. Input comes as a list of steps, one every STEP_PUMPS pumps, so
// each page fade (32 or 64 ticks) ends before the next step.

#include <functional>
#include <string>
#include <vector>

#include "screens/ScreenFixture.h"

class CSpriteLayer;
class FlagBuffer;
class ISelect;

inline constexpr uint32_t TITLE_TEST_LAYER_COLOUR = 0xFF102030;

class TitleFixture : public ScreenFixture
{
protected:
    // With sheet false, no "title_p.akb" is in the archive.
    explicit TitleFixture(bool sheet = true);

    static constexpr int STEP_PUMPS = 90;

    // Runs the screen's run call while each step acts at its turn; a screen still open after the
    // last step is ended, its Result then -99.
    int32_t RunSteps(ISelect& screen, const std::function<void()>& run,
                     std::vector<std::function<void()>> steps);
    // Runs the script through the document's frames while the steps act; after the last step the
    // screen on top is ended at each turn. Answers the number of frames.
    int RunScript(const std::string& source, std::vector<std::function<void()>> steps);
    // A step that waits.
    static std::function<void()> Wait()
    {
        return [] {};
    }
    // Step makers: point at the centre of an item of an area set, then press the left button; press
    // a key.
    std::function<void()> Click(const std::vector<tools::AreaRecord>& areas, uint32_t item);
    std::function<void()> Key(uint32_t scan_code);

    // The sheet cell at the centre of an area on the drawn screen, and on layer 0's own pixels.
    std::pair<uint32_t, int32_t> ShownAt(const tools::AreaRecord& area);
    std::pair<uint32_t, int32_t> LayerZeroAt(const tools::AreaRecord& area);
    static const tools::AreaRecord& Area(const std::vector<tools::AreaRecord>& areas, uint32_t item);

    FlagBuffer& State();
    CSpriteLayer* m_layer_zero = nullptr; // the document's

private:
    // Presses and releases what the last step asked for and runs the step of each turn.
    void Drive(int pump, std::vector<std::function<void()>>& steps,
               const std::function<void()>& past_the_end);

    int m_press_at = -1;
    std::vector<uint32_t> m_key;
};
