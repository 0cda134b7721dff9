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
// Among the random inputs it walks on purpose where players go: full screen and back (Alt+Return,
// also at random), from the title into the extras (the gallery or the slot machine) and out again,
// New game, Continue, the side menu's Return to title (then New game) and, in the game mode, the
// flag manager's jump to an event (then New game). Each walk's step is given
// again, with pauses, until its screen shows; a walk the play's state does not allow is given up.
//
// A failure is a message box the game printed, an end that was not the player's (a crash or a
// failed status), a game that took no input and drew no frame for 30 s (or drew but took no
// input for 120 s), a screen that no input changed (not even a pointer over a button) through
// 150 inputs, a last start that did not reach the title, a title that keeps a caption or picture
// of the extras the player has left (the title before and after, compared), or a new game whose
// calendar plate differs from the one a fresh start's new game showed. Its report names the seed, the start
// and the inputs that led there, with the screen then and, for a hang, the threads' stacks;
// each start's whole input script stays in the build folder (demo_random_<seed>_<start>.txt), in
// the script's own form, to replay it.

#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

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
    // Plays in the game mode (the calendar plate shown, the flag manager in the side menu), on
    // the demo's seeded save folder instead of a new player's.
    void SetGameMode(const bool game_mode) { m_game_mode = game_mode; }

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

    // A step of a walk: its script lines (turns after the step's own) again until `shown` holds
    // on the screen, `tries` inputs at most, pauses among them; `seen` then looks at that screen.
    struct Step
    {
        std::string kind;
        std::vector<std::pair<long, std::string>> lines;
        std::function<bool(const platform::PngPicture&)> shown;
        int tries = 12;
        std::function<void(const platform::PngPicture&)> seen;
        // The screen the input is for: given again only while it shows (none: always).
        std::function<bool(const platform::PngPicture&)> again;
    };

    void Start();
    // Starts a walk where the screen allows one; false when none starts.
    bool StartWalk(const platform::PngPicture& frame);
    // The walk's next input; a failure its screens showed.
    std::optional<std::string> Walk();
    std::vector<Step> ExtrasWalk();
    std::vector<Step> NewGameWalk();
    std::vector<Step> FlagJumpWalk();
    std::vector<Step> ContinueWalk();
    // The side menu's Return to title, yes, then the walk `then` makes.
    std::vector<Step> ReturnToTitleWalk(const std::function<std::vector<Step>()>& then);
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
    bool m_game_mode = false;
    std::deque<Step> m_walk;
    int m_walk_tries = 0;
    // The title before the extras walk, and what the walk found.
    std::optional<platform::PngPicture> m_under;
    std::string m_walk_failure;
    // The calendar plates a fresh start's new game showed (empty: none), once seen, and the game
    // mode they were seen in; whether a flag jump or a return to the title was made since the
    // last new game (the title's next walk is then one).
    std::vector<std::string> m_fresh_plates;
    int m_fresh_mode = 0;
    bool m_fresh_seen = false;
    bool m_jumped = false;
};
