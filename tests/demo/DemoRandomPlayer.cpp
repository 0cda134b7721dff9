#include "DemoRandomPlayer.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

#include "DemoRun.h"
#include "DemoStoryRoute.h"
#include "GameProcess.h"
#include "foundation/CXMLDocument.h"
#include "sheetgen/FlagSheets.h"
#include "sheetgen/MapSheets.h"
#include "sheetgen/SheetGenerator.h"
#include "sheetgen/SlotSheet.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Frame = platform::PngPicture;

namespace {

constexpr int SCREEN_WIDTH = 1920;
constexpr int SCREEN_HEIGHT = 1080;
// A game that draws nothing and takes no input this long has hung; one that draws but takes no
// input has too, after the longer time. A start gets the longer time for its first input.
constexpr auto HANG = 30s;
constexpr auto DEAF = 120s;
// A screen that no input changed over this many inputs has stuck: a pointer over a button alone
// changes its picture.
constexpr int STUCK = 150;
// What a failure's report lists of the inputs before it.
constexpr size_t RECENT = 30;

// The keys a player presses: Return, Escape, Space, the arrows, Page Up and Down, Home, End,
// Delete, Backspace, Tab, Shift, Ctrl, F1 (auto read).
constexpr int KEYS[] = {0x0D, 0x0D, 0x0D, 0x1B, 0x1B, 0x20, 0x25, 0x26, 0x27, 0x28,
                        0x21, 0x22, 0x24, 0x23, 0x2E, 0x08, 0x09, 0x10, 0x11, 0x70};
constexpr const char* NAMES[] = {"Yuki", "Ao", "Hikari", "雪", "ミナト", "a", "Zz"};

// Where the walks click: the title's New game and Extras, the extras page's gallery and slot
// page, the slot page's machine, the side menu at the right edge, the flag manager's first
// heroine and her next event, a question's yes; and a spot on the title that no button is under.
constexpr int TITLE_X = 300, NEW_GAME_Y = 540, CONTINUE_Y = 627;
constexpr int EXTRAS_X = 370, EXTRAS_Y = 920, GALLERY_Y = 679, SLOT_PAGE_Y = 867, SLOT_Y = 773;
constexpr int EDGE_X = 1915, SIDE_X = 1720, SIDE_FLAG_MANAGER_Y = 152 + 98 * 4 + 44;
constexpr int HEROINE_X = 328, HEROINE_Y = 336, EVENT_X = 212 + 87 + 43, EVENT_Y = 146 + 42;
constexpr int YES_X = 828, NO_X = 1090, ANSWER_Y = 557;
// A question's buttons are known by their colour above their words, which cross their middle.
constexpr int ANSWER_READ_Y = 534;
constexpr int CLEAR_X = 1500, CLEAR_Y = 300;
// Pixels that may differ between two looks at the same title (none were seen to): a caption
// left over is thousands.
constexpr int TITLE_DIFFERENCE = 200;

// The title's six buttons, each its own cell (0 to 5): a map's grid has cells there too.
bool TitleButtonsShown(const Frame& frame)
{
    for (uint32_t button = 0; button < 6; ++button)
        if (FrameCellAt(frame, TITLE_X, NEW_GAME_Y + 87 * static_cast<int>(button)) != button)
            return false;
    return !StoryPromptShown(frame);
}

bool ExtrasPageShown(const Frame& frame)
{
    return FrameCellAt(frame, 300, SLOT_PAGE_Y) == 0x102u || FrameCellAt(frame, 300, GALLERY_Y) == 0x100u;
}

bool GalleryShown(const Frame& frame)
{
    return FrameCellAt(frame, 633, 245) == 0x3531u;
}

bool SlotMachineShown(const Frame& frame)
{
    const std::optional<uint32_t> digit = FrameCellAt(frame, 710, 256);
    return FrameCellAt(frame, 293, 648) == tools::SLOT_CELL_LEVER && digit &&
           *digit >= tools::SLOT_CELL_DIGIT && *digit < tools::SLOT_CELL_DIGIT + 10;
}

bool YesNoShown(const Frame& frame)
{
    return FrameCellAt(frame, YES_X, ANSWER_READ_Y) == 0u && FrameCellAt(frame, NO_X, ANSWER_READ_Y) == 1u;
}

// The calendar plate as its cells read along its rows (date, weekday, time, money), or empty
// when none is shown.
std::string PlateText(const Frame& frame)
{
    if (!route::PlateShown(frame))
        return "";
    std::string text;
    for (int y = 20; y < 200; y += 10) {
        std::optional<uint32_t> last;
        for (int x = 0; x < 700; x += 3) {
            const std::optional<uint32_t> cell = FrameCellAt(frame, x, y);
            if (!cell || *cell == tools::PLATE_CALENDAR || *cell < tools::PLATE_CALENDAR ||
                *cell > tools::PLATE_MONEY_DIGIT + 9 || cell == last)
                continue;
            last = cell;
            char hex[8];
            std::snprintf(hex, sizeof hex, "%X ", *cell);
            text += hex;
        }
        text += y + 10 < 200 ? "/" : "";
    }
    return text;
}

// Pixels that differ by more than a shade between two titles, its buttons aside: Continue and
// Load may come and go with the saves.
int DifferingPixels(const Frame& a, const Frame& b)
{
    if (a.width != b.width || a.height != b.height)
        return a.width * a.height;
    int count = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        const int x = static_cast<int>(i % static_cast<size_t>(a.width));
        const int y = static_cast<int>(i / static_cast<size_t>(a.width));
        if (x >= 60 && x < 560 && y >= 500 && y < 1020)
            continue;
        for (int shift = 0; shift < 24; shift += 8) {
            if (std::abs(int((a.pixels[i] >> shift) & 0xFF) - int((b.pixels[i] >> shift) & 0xFF)) > 24) {
                ++count;
                break;
            }
        }
    }
    return count;
}

// The frames in the frames folder, oldest first.
std::vector<fs::path> FrameFiles(const fs::path& folder)
{
    std::vector<fs::path> frames;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().starts_with("frame"))
            frames.push_back(entry.path());
    // frame99999.png comes before frame100000.png.
    std::sort(frames.begin(), frames.end(), [](const fs::path& a, const fs::path& b) {
        const std::string x = a.filename().string(), y = b.filename().string();
        return x.size() != y.size() ? x.size() < y.size() : x < y;
    });
    return frames;
}

// The game's count of frames drawn, told beside its turns (<script>.turn) while it dumps frames
// only as asked.
uint64_t DrawnCount(const fs::path& script)
{
    const std::string text = ReadWholeFile(script.string() + ".turn");
    const size_t space = text.find(' ', text.find_first_not_of(' '));
    return space == std::string::npos ? 0 : std::strtoull(text.c_str() + space, nullptr, 10);
}

} // namespace

DemoRandomPlayer::DemoRandomPlayer(const HeadlessDemoHome& home, uint32_t seed)
    : m_home(home)
    , m_seed(seed)
    , m_random(seed)
{
    if (const char* every = std::getenv("VESK_RANDOM_KEEP_EVERY"); every != nullptr)
        m_keep_every = std::atoi(every);
}

DemoRandomPlayer::~DemoRandomPlayer()
{
    if (m_game)
        m_game->Kill();
}

std::string DemoRandomPlayer::Play(int inputs)
{
    if (m_game_mode) {
        m_home.EditConfig([](CXMLDocument& config) {
            config.SetInt("/Config/Demo/SkipTitle", 0);
            config.SetInt("/Config/AutoRead", 0);
            config.SetInt("/Config/GameMode", 1);
        });
    } else {
        // A new player: no save folder yet, so the first start makes it as it does for anyone.
        fs::remove_all(m_home.Path() / "vesk");
    }
    Start();
    for (m_input = 0; m_input < inputs; ++m_input) {
        if (std::optional<std::string> failure = Settle(); failure && !Survey(*failure))
            return *failure;
        if (!m_walk.empty() || !m_fresh_seen) {
            if (std::optional<std::string> failure = Walk(); failure && !Survey(*failure))
                return *failure;
            continue;
        }
        SendRandomInput();
    }
    if (std::optional<std::string> failure = Settle(); failure && !Survey(*failure))
        return *failure;
    std::string failure = EndAndStartOnceMore();
    if (!failure.empty() && !Survey(failure))
        return failure;
    std::string found;
    for (const auto& [what, report] : m_found)
        found += report + "\n";
    return found;
}

bool DemoRandomPlayer::Survey(const std::string& failure)
{
    if (!m_survey)
        return false;
    // Each distinct failure once, under its first line's words without the numbers.
    std::string what = failure.substr(failure.find(": ") + 2);
    what = what.substr(0, what.find("\nthe inputs before it"));
    what.erase(std::remove_if(what.begin(), what.end(), [](char c) { return c >= '0' && c <= '9'; }),
               what.end());
    m_found.emplace(what, failure);
    if (m_game->IsRunning() && m_hung) {
        m_game->Kill();
    }
    if (!m_game->IsRunning()) {
        m_recent.push_back("(started again after the failure)");
        Start();
    }
    return true;
}

std::optional<std::string> DemoRandomPlayer::Settle()
{
    const Wait wait = WaitUntilTaken();
    m_hung = wait == Wait::Hung;
    if (std::optional<std::string> boxes = NewBoxes())
        return Failure("message box:\n" + *boxes);
    if (wait == Wait::Hung)
        return Failure("the game hung: " + std::to_string(m_taken.steps) + " of " +
                       std::to_string(m_steps_sent) + " steps taken, " + std::to_string(m_taken.held) +
                       " presses held\n" + Stacks());
    if (m_unchanged >= STUCK) {
        m_hung = true;
        m_unchanged = 0;
        return Failure("the screen stayed the same through " + std::to_string(STUCK) + " inputs, since " +
                       m_changed_at + "\n" + Stacks());
    }
    if (wait == Wait::Ended) {
        const std::optional<int> status = m_game->WaitForEnd(10s);
        if (status != 0)
            return Failure("the game ended with status " + (status ? std::to_string(*status) : "none"));
        // The player ended it (Exit): the next start goes on the same folder.
        m_recent.push_back("(the game ended; started again)");
        Start();
    }
    return std::nullopt;
}

std::string DemoRandomPlayer::Tally() const
{
    std::string text;
    for (const auto& [kind, count] : m_tally)
        text += kind + " " + std::to_string(count) + " ";
    // The saves the play left: which slots the player's saves reached.
    std::vector<std::string> saves;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(m_home.Path() / "vesk/demo/Save", error))
        if (entry.path().filename().string().starts_with("SaveData"))
            saves.push_back(entry.path().filename().string().substr(8, 3));
    std::sort(saves.begin(), saves.end());
    text += "| saves";
    for (const std::string& slot : saves)
        text += " " + slot;
    return text;
}

void DemoRandomPlayer::Start()
{
    ++m_start;
    const std::string name = "demo_random_" + std::to_string(m_seed) + "_" + std::to_string(m_start);
    // Kept in the build folder: the script that led to a failure replays it.
    m_script = m_home.Build() / (name + ".txt");
    m_taken_file = m_home.Path() / (name + ".taken");
    m_output = m_home.Path() / (name + ".out");
    std::ofstream(m_script, std::ios::trunc) << "# seed " << m_seed << ", start " << m_start << "\n";
    fs::remove(m_taken_file);
    fs::remove(m_script.string() + ".turn"); // an earlier run's, in the build folder
    for (const fs::path& frame : FrameFiles(m_home.Path() / "frames"))
        fs::remove(frame);
    m_frame_path.clear();
    m_frame.reset();
    m_walk.clear();
    m_walk_tries = 0;
    m_under.reset();
    m_output_seen = 0;
    m_steps_sent = 0;
    m_taken = Taken{};
    m_ctrl_held = false;
    m_drawn_seen = 0;
    m_unchanged = 0;
    std::vector<std::string> environment = HeadlessGameEnvironment(m_home.Path());
    environment.push_back("VESK_INPUT_SCRIPT=" + m_script.string());
    // The player looks at a frame for a few of its inputs only: the game encodes just those.
    environment.push_back("VESK_FRAME_DUMP_ASKED=1");
    environment.push_back("VESK_INPUT_TAKEN=" + m_taken_file.string());
    m_game.reset();
    m_game = std::make_unique<GameProcess>(m_home.Build() / "demo", std::vector<std::string>{"./vesk"},
                                           environment, m_output);
}

DemoRandomPlayer::Wait DemoRandomPlayer::WaitUntilTaken()
{
    auto progress = std::chrono::steady_clock::now();
    auto taken_at = progress;
    // A start draws its first frames after loading; a loaded machine may take its time.
    const bool starting = m_taken.turn == 0;
    std::string last_taken;
    uint64_t last_drawn = 0;
    for (;;) {
        // Looked at before the files: a game that ended has written its last.
        const bool running = m_game->IsRunning();
        const auto now = std::chrono::steady_clock::now();
        if (std::string text = ReadWholeFile(m_taken_file); !text.empty() && text != last_taken) {
            last_taken = text;
            std::istringstream(text) >> m_taken.steps >> m_taken.held >> m_taken.turn;
            progress = taken_at = now;
        }
        if (m_taken.steps >= m_steps_sent && m_taken.held == 0) {
            // A screen that answers nothing (not even a pointer over a button) has stuck.
            const uint64_t drawn = DrawnCount(m_script);
            m_unchanged = drawn == m_drawn_seen ? m_unchanged + 1 : 0;
            if (m_unchanged == 0)
                m_changed_at = "input #" + std::to_string(m_input) + ", turn " + std::to_string(m_taken.turn);
            m_drawn_seen = drawn;
            return Wait::Taken;
        }
        if (!running)
            return Wait::Ended;
        if (const uint64_t drawn = DrawnCount(m_script); drawn != last_drawn) {
            last_drawn = drawn;
            progress = now;
        }
        if (now - progress > (starting ? DEAF : HANG) || now - taken_at > DEAF)
            return Wait::Hung;
        std::this_thread::sleep_for(5ms);
    }
}

std::optional<std::string> DemoRandomPlayer::NewBoxes()
{
    const std::string output = ReadWholeFile(m_output);
    // Headless, a message box is "[caption] (0xflags) text", its text's further lines below; the
    // layer's own notes end in "(headless)".
    std::vector<std::string> boxes;
    size_t at = m_output_seen;
    int box_lines = 0;
    for (size_t end; (end = output.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string line = output.substr(at, end - at);
        if (line.starts_with("[") && line.find("] (0x") != std::string::npos) {
            boxes.push_back("");
            box_lines = 4;
        } else if (line.ends_with("(headless)")) {
            box_lines = 0;
        }
        if (box_lines > 0 && !line.empty()) {
            boxes.back() += (boxes.back().empty() ? "" : " / ") + line;
            --box_lines;
        }
    }
    m_output_seen = at;
    if (boxes.empty())
        return std::nullopt;
    // The same box again and again is told once, with its count.
    std::string text;
    for (size_t i = 0, shown = 0; i < boxes.size() && shown < 6; ++shown) {
        size_t same = i;
        while (same < boxes.size() && boxes[same] == boxes[i])
            ++same;
        text += boxes[i] + (same - i > 1 ? " (" + std::to_string(same - i) + " times)" : "") + "\n";
        i = same;
    }
    return text;
}

std::optional<Frame> DemoRandomPlayer::NewestFrame()
{
    // Asked for; the game answers on its loop's next turn, a hung one never (then the last one
    // seen stands for the screen).
    const fs::path ask = m_home.Path() / "frames/ask";
    std::ofstream(ask).flush();
    for (const auto asked = std::chrono::steady_clock::now();
         fs::exists(ask) && m_game->IsRunning() && std::chrono::steady_clock::now() - asked < HANG;)
        std::this_thread::sleep_for(5ms);
    fs::remove(ask);
    std::vector<fs::path> frames = FrameFiles(m_home.Path() / "frames");
    if (frames.empty())
        return m_frame;
    // Only the newest is the screen; the older ones go, so a long play leaves no pile of them.
    for (size_t i = 0; i + 1 < frames.size(); ++i)
        fs::remove(frames[i]);
    if (frames.back() != m_frame_path) {
        m_frame_path = frames.back();
        m_frame = platform::ReadPngFile(m_frame_path);
    }
    return m_frame;
}

void DemoRandomPlayer::SendRandomInput()
{
    const auto below = [&](int n) { return static_cast<int>(m_random() % static_cast<uint32_t>(n)); };
    const auto between = [&](int low, int high) { return low + below(high - low + 1); };
    // Most inputs come once the screen has had a moment; some come at once, some after a while.
    const int pace = below(100);
    long turn = m_taken.turn + (pace < 15 ? between(1, 4) : pace < 85 ? between(6, 24) : between(25, 120));
    const auto at = [](long t, const std::string& action) { return std::to_string(t) + " " + action + "\n"; };
    const auto point = [](int x, int y) { return std::to_string(x) + " " + std::to_string(y); };

    // Now and then a walk where the screen allows one, and full screen and back at random.
    if (!m_ctrl_held && below(4) == 0) {
        if (const std::optional<Frame> frame = NewestFrame(); frame && StartWalk(*frame)) {
            Walk(); // its first input: no screen of the walk is looked at before it
            return;
        }
    }
    if (below(50) == 0) {
        Send("full-screen", at(turn, "down 0x12") + at(turn + 20, "key 0x0D") + at(turn + 40, "up 0x12"), 3);
        return;
    }
    if (m_ctrl_held && below(4) == 0) {
        m_ctrl_held = false;
        Send("ctrl-up", at(turn, "up 0x11"), 1);
        return;
    }
    const int pick = below(100);
    if (pick < 45) {
        // A click on one of the cells the screen shows, each cell as likely as another.
        std::map<uint32_t, std::vector<std::pair<int, int>>> cells;
        if (const std::optional<Frame> frame = NewestFrame();
            frame && frame->width == SCREEN_WIDTH && frame->height == SCREEN_HEIGHT) {
            for (int y = 3; y < SCREEN_HEIGHT; y += 6)
                for (int x = 3; x < SCREEN_WIDTH; x += 6)
                    if (std::optional<uint32_t> id = FrameCellAt(*frame, x, y))
                        cells[*id].emplace_back(x, y);
        }
        int x = below(SCREEN_WIDTH);
        int y = below(SCREEN_HEIGHT);
        if (m_keep_every > 0 && m_frame && m_input % m_keep_every == 0) {
            // For a reader who wants to see where the player went.
            const fs::path seen = m_home.Build() / ("demo_random_" + std::to_string(m_seed) + "_seen");
            fs::create_directories(seen);
            platform::WritePngFile(seen / (std::to_string(m_start) + "_" + std::to_string(m_input) + ".png"),
                                   *m_frame);
        }
        if (!cells.empty()) {
            auto cell = cells.begin();
            std::advance(cell, below(static_cast<int>(cells.size())));
            std::tie(x, y) = cell->second[static_cast<size_t>(below(static_cast<int>(cell->second.size())))];
        }
        Send("cell-click", at(turn, "click " + point(x, y)), 2);
    } else if (pick < 55) {
        Send("click", at(turn, "click " + point(below(SCREEN_WIDTH), below(SCREEN_HEIGHT))), 2);
    } else if (pick < 61) {
        Send("right-click", at(turn, "rclick " + point(below(SCREEN_WIDTH), below(SCREEN_HEIGHT))), 2);
    } else if (pick < 66) {
        const int steps = between(1, 3) * (below(2) == 0 ? 1 : -1);
        Send("wheel", at(turn, "wheel " + std::to_string(steps)), 1);
    } else if (pick < 80) {
        const int key = KEYS[below(static_cast<int>(std::size(KEYS)))];
        Send("key", at(turn, "key " + std::to_string(key)), 1);
    } else if (pick < 82) {
        if (!m_ctrl_held) {
            m_ctrl_held = true;
            Send("ctrl-down", at(turn, "down 0x11"), 1);
        } else {
            m_ctrl_held = false;
            Send("ctrl-up", at(turn, "up 0x11"), 1);
        }
    } else if (pick < 86) {
        // The right edge, where the side menu's tab waits.
        Send("edge", at(turn, "move " + point(between(1880, 1919), below(SCREEN_HEIGHT))), 1);
    } else if (pick < 91) {
        // The menu bar above the picture: its first title opens, the arrows walk the titles and
        // their items, and Return takes one (or Escape closes the drop-down).
        std::string lines = at(turn, "click " + point(20, -10));
        size_t steps = 2;
        turn += 30;
        const int right = below(4);
        for (int k = 0; k < right; ++k, turn += 10, ++steps)
            lines += at(turn, "key 0x27");
        // Not the window's Minimize (the second title's first item): nothing in the game brings
        // a minimised window back, only the desktop does.
        const int first = right == 1 ? 2 : 1;
        for (int down = between(first, 4); down > 0; --down, turn += 10, ++steps)
            lines += at(turn, "key 0x28");
        lines += at(turn, below(8) == 0 ? "key 0x1B" : "key 0x0D");
        Send("menu-bar", lines, steps + 1);
    } else if (pick < 93) {
        Send("text", at(turn, "text " + std::string(NAMES[below(static_cast<int>(std::size(NAMES)))])), 1);
    } else if (pick < 95) {
        // A drag: pressed, moved and let go elsewhere.
        std::string lines = at(turn, "move " + point(below(SCREEN_WIDTH), below(SCREEN_HEIGHT)));
        lines += at(turn + 5, "down 1");
        lines += at(turn + 15, "move " + point(below(SCREEN_WIDTH), below(SCREEN_HEIGHT)));
        lines += at(turn + 25, "up 1");
        Send("drag", lines, 4);
    } else {
        // A pause to read: the pointer moves and the story is left alone a while.
        turn += between(100, 400);
        Send("wait", at(turn, "move " + point(below(SCREEN_WIDTH), below(SCREEN_HEIGHT))), 1);
    }
}

std::optional<std::string> DemoRandomPlayer::Walk()
{
    const std::optional<Frame> frame = NewestFrame();
    if (m_walk.empty()) {
        // The play's first walk is a fresh start's new game, from the title the first start
        // comes to; its plate is what every later new game must show.
        if (frame && TitleButtonsShown(*frame)) {
            for (Step& step : NewGameWalk())
                m_walk.push_back(std::move(step));
            m_walk_tries = 0;
        } else {
            Send("title-click", std::to_string(m_taken.turn + 100) + " click 960 540\n", 2);
            return std::nullopt;
        }
    }
    while (!m_walk.empty() && frame && m_walk_tries > 0 && m_walk.front().shown(*frame)) {
        if (m_walk.front().seen)
            m_walk.front().seen(*frame);
        m_walk.pop_front();
        m_walk_tries = 0;
        if (!m_walk_failure.empty()) {
            m_walk.clear();
            return Failure(std::exchange(m_walk_failure, ""));
        }
    }
    if (m_walk.empty())
        return std::nullopt;
    Step& step = m_walk.front();
    if (m_walk_tries >= step.tries) {
        // The play's state does not allow the walk (a screen it did not expect): given up.
        m_recent.push_back("(walk given up at " + step.kind + ")");
        if (frame && m_keep_every > 0)
            platform::WritePngFile(m_home.Build() / ("demo_random_" + std::to_string(m_seed) + "_gave_up_" +
                                                     std::to_string(m_input) + "_" + step.kind + ".png"),
                                   *frame);
        m_walk.clear();
        m_walk_tries = 0;
        m_fresh_seen = true;
        return std::nullopt;
    }
    // The step's input, then two pauses to let its screen come, and again.
    const long turn = m_taken.turn + 20;
    const bool again = !step.again || (frame && step.again(*frame));
    if (m_walk_tries++ % 3 == 0 && (again || m_walk_tries == 1)) {
        std::string lines;
        size_t steps = 0;
        for (const auto& [after, action] : step.lines) {
            lines += std::to_string(turn + after) + " " + action + "\n";
            steps += action.starts_with("click") || action.starts_with("rclick") ? 2 : 1;
        }
        Send(step.kind, lines, steps);
    } else {
        Send("walk-pause", std::to_string(turn + 150) + " move " + std::to_string(CLEAR_X) + " " +
                               std::to_string(CLEAR_Y) + "\n",
             1);
    }
    return std::nullopt;
}

bool DemoRandomPlayer::StartWalk(const Frame& frame)
{
    const auto below = [&](int n) { return static_cast<int>(m_random() % static_cast<uint32_t>(n)); };
    std::vector<Step> walk;
    if (TitleButtonsShown(frame) && (m_jumped || below(3) != 0)) {
        const int pick = below(3);
        walk = m_jumped ? NewGameWalk() : pick == 0 ? ExtrasWalk() : pick == 1 ? NewGameWalk() : ContinueWalk();
        m_jumped = false;
    } else if (StoryPromptShown(frame) && below(3) == 0) {
        walk = m_game_mode && below(2) == 0 ? FlagJumpWalk() : ReturnToTitleWalk([this] { return NewGameWalk(); });
    }
    for (Step& step : walk)
        m_walk.push_back(std::move(step));
    m_walk_tries = 0;
    return !m_walk.empty();
}

std::vector<DemoRandomPlayer::Step> DemoRandomPlayer::ExtrasWalk()
{
    const auto below = [&](int n) { return static_cast<int>(m_random() % static_cast<uint32_t>(n)); };
    const auto click = [](int x, int y) { return std::vector<std::pair<long, std::string>>{
                                              {0, "click " + std::to_string(x) + " " + std::to_string(y)}}; };
    const auto any = [](const Frame&) { return true; };
    const std::vector<std::pair<long, std::string>> alt_return = {{0, "down 0x12"}, {20, "key 0x0D"}, {40, "up 0x12"}};
    const std::vector<std::pair<long, std::string>> clear = {
        {0, "move " + std::to_string(CLEAR_X) + " " + std::to_string(CLEAR_Y)}};
    std::vector<Step> walk;
    // Full screen and back: in half the walks the extras are seen in full screen.
    const bool full_screen = below(2) == 0;
    if (full_screen)
        walk.push_back({"full-screen", alt_return, any, 3, {}, {}});
    // The title as it stands under the extras, the pointer off its buttons.
    walk.push_back(
        {"walk-clear", clear, TitleButtonsShown, 6, [this](const Frame& frame) { m_under = frame; }, {}});
    walk.push_back({"extras", click(EXTRAS_X, EXTRAS_Y), ExtrasPageShown, 12, {}, TitleButtonsShown});
    if (below(2) == 0) {
        walk.push_back({"gallery", click(EXTRAS_X, GALLERY_Y), GalleryShown, 12, {}, ExtrasPageShown});
    } else {
        const auto slot_page = [](const Frame& frame) { return FrameCellAt(frame, 300, SLOT_Y) == 0x300u; };
        walk.push_back({"slot-page", click(EXTRAS_X, SLOT_PAGE_Y), slot_page, 12, {}, ExtrasPageShown});
        walk.push_back({"slot-machine", click(EXTRAS_X, SLOT_Y), SlotMachineShown, 12, {}, slot_page});
    }
    // Out again as a player leaves: Escape or a right click, until the title is back.
    const std::vector<std::pair<long, std::string>> leave =
        below(2) == 0 ? std::vector<std::pair<long, std::string>>{{0, "key 0x1B"}}
                      : std::vector<std::pair<long, std::string>>{{0, "rclick 960 540"}};
    walk.push_back({"leave", leave, TitleButtonsShown, 30, {}, {}});
    // The title after them, the pointer where it was: nothing of the extras may stay on it.
    walk.push_back({"walk-clear", clear, TitleButtonsShown, 6, [this](const Frame& frame) {
                        const int differing = m_under ? DifferingPixels(*m_under, frame) : 0;
                        if (differing > TITLE_DIFFERENCE) {
                            const fs::path before = m_home.Build() / ("demo_random_" + std::to_string(m_seed) +
                                                                      "_title_before.png");
                            platform::WritePngFile(before, *m_under);
                            m_walk_failure = "a caption or picture of the extras the player left stays on the "
                                             "title: " +
                                             std::to_string(differing) + " pixels differ from the title before (" +
                                             before.string() + ")";
                        }
                    },
                    {}});
    if (full_screen)
        walk.push_back({"full-screen", alt_return, any, 3, {}, {}});
    return walk;
}

std::vector<DemoRandomPlayer::Step> DemoRandomPlayer::NewGameWalk()
{
    // The game mode as the settings now hold it: the plate is the game mode's, so a new game is
    // held against a fresh start's in the same mode only.
    const auto game_mode = [this] {
        CXMLDocument config(CStringUTF8((m_home.Path() / "vesk/demo/Save/config.xml").string().c_str()));
        return config.Load() == 1 ? config.GetInt("/Config/GameMode", 0) : (m_game_mode ? 1 : 0);
    };
    const int mode = game_mode();
    // The plate on the first line (none in the novel mode) as a fresh start's new game showed it.
    const auto check = [this, mode](size_t at, const std::string& plate) {
        if (!m_fresh_seen) {
            m_fresh_mode = mode;
            m_fresh_plates.push_back(plate);
        } else if (mode == m_fresh_mode && at < m_fresh_plates.size() && plate != m_fresh_plates[at]) {
            m_walk_failure = "a new game's calendar plate differs from a fresh start's: [" + plate +
                             "] where a fresh start showed [" + m_fresh_plates[at] + "]";
        }
    };
    std::vector<Step> walk;
    walk.push_back({"new-game",
                    {{0, "click " + std::to_string(TITLE_X) + " " + std::to_string(NEW_GAME_Y)}},
                    route::StoryLineShown,
                    18,
                    [check](const Frame& frame) { check(0, PlateText(frame)); },
                    TitleButtonsShown});
    // After the fresh start's, in the game mode, the way a player meets a game left behind: back
    // to the title, Continue the saved game, back again, New game.
    walk.push_back({"walk-clear", {{0, "move " + std::to_string(CLEAR_X) + " " + std::to_string(CLEAR_Y)}},
                    [](const Frame&) { return true; }, 3,
                    [this](const Frame&) {
                        if (!m_fresh_seen && m_game_mode)
                            for (Step& step : ReturnToTitleWalk([this] { return ContinueWalk(); }))
                                m_walk.push_back(std::move(step));
                        m_fresh_seen = true;
                    },
                    {}});
    return walk;
}

std::vector<DemoRandomPlayer::Step> DemoRandomPlayer::ContinueWalk()
{
    // Continue, then the side menu's Return to title (its fifth button, the sixth in the game
    // mode) and yes: the title's next walk is a new game, which must not keep the game left.
    std::vector<Step> walk;
    walk.push_back({"continue", {{0, "click " + std::to_string(TITLE_X) + " " + std::to_string(CONTINUE_Y)}},
                    StoryPromptShown, 12, {}, TitleButtonsShown});
    for (Step& step : ReturnToTitleWalk([this] { return NewGameWalk(); }))
        walk.push_back(std::move(step));
    return walk;
}

std::vector<DemoRandomPlayer::Step> DemoRandomPlayer::ReturnToTitleWalk(const std::function<std::vector<Step>()>& then)
{
    const auto side_menu = [](const Frame& frame) {
        return FrameCellAt(frame, 1900, 1000) == tools::SIDE_MENU_SHEET_PANEL;
    };
    const int slot = m_game_mode ? 6 : 5;
    std::vector<Step> walk;
    walk.push_back({"edge",
                    {{0, "move " + std::to_string(EDGE_X - 40) + " 540"}, {10, "move " + std::to_string(EDGE_X) + " 540"}},
                    side_menu, 6, {}, StoryPromptShown});
    walk.push_back({"return-to-title",
                    {{0, "click " + std::to_string(SIDE_X) + " " + std::to_string(152 + 98 * (slot - 1) + 44)}},
                    YesNoShown, 9, {}, side_menu});
    walk.push_back({"yes", {{0, "click " + std::to_string(YES_X) + " " + std::to_string(ANSWER_Y)}},
                    [](const Frame& frame) { return !YesNoShown(frame); }, 12, {}, YesNoShown});
    // The title's opening cut short by clicks where it has no button, then at once the next walk.
    walk.push_back({"to-title", {{0, "click 960 540"}}, TitleButtonsShown, 45,
                    [this, then](const Frame&) {
                        for (Step& step : then())
                            m_walk.push_back(std::move(step));
                    },
                    {}});
    return walk;
}

std::vector<DemoRandomPlayer::Step> DemoRandomPlayer::FlagJumpWalk()
{
    const auto click = [](int x, int y) { return std::vector<std::pair<long, std::string>>{
                                              {0, "click " + std::to_string(x) + " " + std::to_string(y)}}; };
    std::vector<Step> walk;
    // The side menu slides in while the pointer rests at the edge; its fifth button in the game
    // mode is the flag manager; heroine 0's schedule, her next event, yes.
    const auto side_menu = [](const Frame& frame) {
        return FrameCellAt(frame, 1900, 1000) == tools::SIDE_MENU_SHEET_PANEL;
    };
    const auto manager = [](const Frame& frame) {
        return FrameCellAt(frame, HEROINE_X, HEROINE_Y) == 0u && FrameCellAt(frame, 648, 336) == 1u;
    };
    const auto schedule = [](const Frame& frame) {
        return FrameCellAt(frame, 1000, 1075) == tools::FLAG_SCHEDULE_BACKGROUND &&
               FrameCellAt(frame, 215, 280) == tools::FLAG_SHEET_ROW_PLATE;
    };
    walk.push_back({"edge",
                    {{0, "move " + std::to_string(EDGE_X - 40) + " 540"}, {10, "move " + std::to_string(EDGE_X) + " 540"}},
                    side_menu, 6, {}, StoryPromptShown});
    walk.push_back({"flag-manager", click(SIDE_X, SIDE_FLAG_MANAGER_Y), manager, 9, {}, side_menu});
    walk.push_back({"heroine", click(HEROINE_X, HEROINE_Y), schedule, 12, {}, manager});
    walk.push_back({"event", click(EVENT_X, EVENT_Y), YesNoShown, 12, {}, schedule});
    walk.push_back({"flag-jump", click(YES_X, ANSWER_Y), [](const Frame& frame) { return !YesNoShown(frame); }, 12,
                    [this](const Frame&) { m_jumped = true; }, YesNoShown});
    return walk;
}

void DemoRandomPlayer::Send(const std::string& kind, const std::string& lines, size_t steps)
{
    AppendToInputScript(m_script, lines);
    m_steps_sent += steps;
    ++m_tally[kind];
    std::string shown = lines;
    std::replace(shown.begin(), shown.end(), '\n', ';');
    m_recent.push_back("#" + std::to_string(m_input) + " " + kind + ": " + shown);
    while (m_recent.size() > RECENT)
        m_recent.pop_front();
}

std::string DemoRandomPlayer::Failure(const std::string& what)
{
    std::string report = "seed " + std::to_string(m_seed) + ", start " + std::to_string(m_start) +
                         ", input " + std::to_string(m_input) + " (turn " + std::to_string(m_taken.turn) +
                         "): " + what + "\nthe inputs before it:\n";
    for (const std::string& line : m_recent)
        report += "  " + line + "\n";
    report += "the start's whole script: " + m_script.string() + "\n";
    const fs::path output = m_home.Build() / m_output.filename();
    fs::copy_file(m_output, output, fs::copy_options::overwrite_existing);
    report += "the game's output: " + output.string() + "\n";
    if (const std::optional<Frame> frame = NewestFrame()) {
        const fs::path kept =
            m_home.Build() / ("demo_random_" + std::to_string(m_seed) + "_" + std::to_string(m_start) + "_" +
                              std::to_string(m_input) + ".png");
        platform::WritePngFile(kept, *frame);
        report += "the screen then: " + kept.string() + "\n";
    }
    report += "replay: VESK_RANDOM_SEEDS=" + std::to_string(m_seed) +
              " build/tests/demo_tests --gtest_filter='DemoRandomPlayerLongTest.ManySeeds'\n";
    return report;
}

std::string DemoRandomPlayer::Stacks() const
{
    // Where a hung game's threads stand, where a debugger is at hand.
    if (std::system("command -v gdb >/dev/null 2>&1") != 0)
        return "(no gdb for the threads' stacks)\n";
    const fs::path stacks = m_home.Build() / ("demo_random_" + std::to_string(m_seed) + "_stacks.txt");
    std::system(("gdb -p " + std::to_string(m_game->Pid()) + " -batch -ex 'thread apply all bt 30' >'" +
                 stacks.string() + "' 2>&1")
                    .c_str());
    return "the threads' stacks: " + stacks.string() + "\n";
}

std::string DemoRandomPlayer::EndAndStartOnceMore()
{
    m_recent.push_back("(the close box)");
    // A close box needs a window: a game still loading its libraries has no handler yet, and a
    // TERM then ends it the system's way. Its loop has run once it counts its turns.
    for (const auto since = std::chrono::steady_clock::now();
         m_game->IsRunning() && ReadWholeFile(m_script.string() + ".turn").empty();) {
        if (std::chrono::steady_clock::now() - since > DEAF)
            return Failure("the game reached no turn to take the close box in\n" + Stacks());
        std::this_thread::sleep_for(5ms);
    }
    if (m_game->IsRunning()) {
        m_game->Signal(SIGTERM);
        const std::optional<int> status = m_game->WaitForEnd(60s);
        if (status != 0)
            return Failure(status ? "the close box ended the game with status " + std::to_string(*status)
                                  : "the close box did not end the game in 60 s\n" + Stacks());
    }
    if (std::optional<std::string> boxes = NewBoxes())
        return Failure("message box:\n" + *boxes);
    // The next start on the folder the play left: the logo, cut short by clicks, then the title.
    m_recent.push_back("(started again to the title)");
    Start();
    for (int attempt = 0; attempt < 200; ++attempt) {
        const Wait wait = WaitUntilTaken();
        if (std::optional<std::string> boxes = NewBoxes())
            return Failure("message box on the start after the play:\n" + *boxes);
        if (wait != Wait::Taken)
            return Failure(wait == Wait::Hung ? "the start after the play hung"
                                              : "the start after the play ended on its own");
        if (const std::optional<Frame> frame = NewestFrame(); frame && TitleShown(*frame)) {
            m_game->Signal(SIGTERM);
            const std::optional<int> status = m_game->WaitForEnd(60s);
            if (std::optional<std::string> boxes = NewBoxes())
                return Failure("message box on the start after the play:\n" + *boxes);
            return status == 0 ? std::string() : Failure("the start after the play ended with a failure");
        }
        Send("title-click", std::to_string(m_taken.turn + 100) + " click 960 540\n", 2);
    }
    return Failure("the start after the play never showed the title");
}

bool DemoRandomPlayer::TitleShown(const Frame& frame) const
{
    if (frame.width != SCREEN_WIDTH || frame.height != SCREEN_HEIGHT || StoryPromptShown(frame))
        return false;
    // The title's six buttons down the left; the special title's four lower ones and its back.
    const auto button = [&](int k) { return FrameCellAt(frame, 300, 540 + 87 * k).has_value(); };
    const bool title = button(0) && button(1) && button(2) && button(3) && button(4) && button(5);
    const bool special = !button(0) && button(2) && button(3) && button(4) && FrameCellAt(frame, 300, 986);
    return title || special;
}
