#pragma once
// A random player of the demo, headless, from a fixed seed: clicks weighted towards whatever the
// screen shows (the sheet cells a dumped frame carries, each cell as likely as another), clicks
// anywhere, right clicks, wheel turns, keys, skip held on Ctrl, the side menu's edge, the menu
// bar's commands (all but Minimize, which only the desktop undoes) and typed names. Each input
// goes in once the game has taken the one before (VESK_INPUT_TAKEN), a few turns of the game
// later, so the budget is counted in inputs, not seconds. A game the player ended is started
// again on the same save folder; once the inputs are spent, the close box ends it and one more
// start must reach the title.
//
// A failure is a message box the game printed, an end that was not the player's (a crash or a
// failed status), a game that took no input and drew no frame for 30 s (or drew but took no
// input for 120 s), a screen that no input changed (not even a pointer over a button) through
// 150 inputs, or a last start that did not reach the title. Its report names the seed, the start
// and the inputs that led there, with the screen then and, for a hang, the threads' stacks;
// each start's whole input script stays in the build folder (demo_random_<seed>_<start>.txt), in
// the script's own form, to replay it.

#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "platform/gdi/PngCodec.h"

class GameProcess;
class HeadlessDemoHome;

class DemoRandomPlayer
{
public:
    DemoRandomPlayer(const HeadlessDemoHome& home, uint32_t seed);
    ~DemoRandomPlayer();
    DemoRandomPlayer(const DemoRandomPlayer&) = delete;
    DemoRandomPlayer& operator=(const DemoRandomPlayer&) = delete;

    // Plays the inputs, then the close box and the last start; answers the first failure's
    // report, empty when there was none. A survey plays on past failures and answers each
    // distinct one's first report.
    std::string Play(int inputs);
    void SetSurvey(bool survey) { m_survey = survey; }

    // How often each kind of input was sent and the save slots the play left, for the reader of a
    // run ("cell-click 812 key 301 ... | saves 001 101 201").
    std::string Tally() const;

private:
    enum class Wait
    {
        Taken,
        Ended,
        Hung,
    };
    struct Taken
    {
        size_t steps = 0;
        size_t held = 0;
        long turn = 0;
    };

    void Start();
    Wait WaitUntilTaken();
    // Waits for the last input to be taken; a game the player ended starts again. Answers a
    // failure's report.
    std::optional<std::string> Settle();
    // In a survey, notes the failure and plays on (a game that hung or ended starts again);
    // answers whether it did.
    bool Survey(const std::string& failure);
    // Failures the game's output shows since the last look: message boxes.
    std::optional<std::string> NewBoxes();
    std::optional<platform::PngPicture> NewestFrame();
    void SendRandomInput();
    // Appends the input's script lines, which hold `steps` steps, and notes it as the kind.
    void Send(const std::string& kind, const std::string& lines, size_t steps);
    std::string Failure(const std::string& what);
    std::string Stacks() const;
    std::string EndAndStartOnceMore();
    bool TitleShown(const platform::PngPicture& frame) const;

    const HeadlessDemoHome& m_home;
    const uint32_t m_seed;
    std::mt19937 m_random;
    std::unique_ptr<GameProcess> m_game;
    int m_start = 0;
    int m_input = 0;
    std::filesystem::path m_script;
    std::filesystem::path m_taken_file;
    std::filesystem::path m_output;
    size_t m_output_seen = 0;
    size_t m_steps_sent = 0;
    Taken m_taken;
    bool m_ctrl_held = false;
    std::deque<std::string> m_recent;
    uint64_t m_drawn_seen = 0;
    int m_unchanged = 0;
    std::string m_changed_at;
    std::filesystem::path m_frame_path;
    std::optional<platform::PngPicture> m_frame;
    std::map<std::string, int> m_tally;
    bool m_survey = false;
    int m_keep_every = 0;
    bool m_hung = false;
    std::map<std::string, std::string> m_found;
};
