// The demo played as a player plays it: a virtual X server of its own (Xvfb), the game on SDL's
// x11 driver in full screen, pointer and keys delivered through the server (XTest, by xdotool),
// and every step driven by the frames read back from the server (xwd): each waits, however long
// the machine takes, until its screen shows, and is then checked for what must and must not be
// on it. Skipped where no X server can start.

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "GameProcess.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"

namespace {

namespace fs = std::filesystem;
using Frame = platform::PngPicture;
using namespace std::chrono_literals;

std::string ReadText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), {});
}

uint32_t Be32(const std::string& bytes, size_t at)
{
    return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
           uint32_t(uint8_t(bytes[at + 2])) << 8 | uint8_t(bytes[at + 3]);
}

// A 24-bit TrueColor XWD dump (ZPixmap, 32 bits a pixel, either byte order) as a picture.
std::optional<Frame> DecodeXwd(const std::string& bytes)
{
    if (bytes.size() < 100 || Be32(bytes, 4) != 7 || Be32(bytes, 8) != 2 || Be32(bytes, 44) != 32)
        return std::nullopt;
    Frame frame{int32_t(Be32(bytes, 16)), int32_t(Be32(bytes, 20)), {}};
    const bool msb_first = Be32(bytes, 28) != 0;
    const size_t line = Be32(bytes, 48);
    const size_t data = Be32(bytes, 0) + size_t(Be32(bytes, 76)) * 12;
    if (data + line * frame.height > bytes.size())
        return std::nullopt;
    frame.pixels.resize(size_t(frame.width) * frame.height);
    for (int32_t y = 0; y < frame.height; ++y) {
        for (int32_t x = 0; x < frame.width; ++x) {
            const size_t at = data + y * line + size_t(x) * 4;
            const uint32_t pixel = msb_first ? Be32(bytes, at) : __builtin_bswap32(Be32(bytes, at));
            frame.pixels[size_t(y) * frame.width + x] = 0xFF000000u | (pixel & 0xFFFFFFu);
        }
    }
    return frame;
}

bool Installed(const char* tool)
{
    return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

// One X server for the test, on the first free display, and the game run under it.
class XPlay
{
public:
    explicit XPlay(const HeadlessDemoHome& home)
        : m_home(home)
    {}
    ~XPlay()
    {
        // A game still running (its status not written) and the server, by their own ids.
        if (!fs::exists(m_home.Path() / "status"))
            Kill("game.pid");
        Kill("xvfb.pid");
    }

    bool StartServer()
    {
        const std::string home = m_home.Path().string();
        std::system(("Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>'" + home + "/display' 2>'" +
                     home + "/xvfb.txt' & echo $! >'" + home + "/xvfb.pid'")
                        .c_str());
        for (int i = 0; i < 300 && m_display.empty(); ++i) {
            std::this_thread::sleep_for(100ms);
            const std::string text = ReadText(m_home.Path() / "display");
            if (!text.empty() && text.back() == '\n')
                m_display = ":" + text.substr(0, text.size() - 1);
        }
        return !m_display.empty() && Grab().has_value();
    }

    // Starts the game in the background, windowed for real (not headless as the suite's own
    // process is); its exit status lands in "status".
    void StartGame()
    {
        const std::string home = m_home.Path().string();
        fs::remove(m_home.Path() / "status");
        std::system(("cd '" + (m_home.Build() / "demo").string() +
                     "' && (env -u VESK_HEADLESS -u VESK_FRAME_DUMP DISPLAY=" + m_display +
                     " SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy " + std::string(WINDOWED_LEAK_CHECK) +
                     " XDG_DATA_HOME='" + home +
                     "' XDG_RUNTIME_DIR='" + home + "/run' ./vesk >>'" + home +
                     "/out.txt' 2>&1 & echo $! >'" + home + "/game.pid'; wait $!; echo $? >'" + home +
                     "/status') >/dev/null 2>&1 &")
                        .c_str());
    }

    std::optional<Frame> Grab() const
    {
        const fs::path file = m_home.Path() / "screen.xwd";
        if (std::system(
                ("xwd -root -silent -display " + m_display + " -out '" + file.string() + "' 2>/dev/null")
                    .c_str()) != 0)
            return std::nullopt;
        return DecodeXwd(ReadText(file));
    }

    // Polls the screen until it shows what `shown` looks for; answers that frame.
    std::optional<Frame> WaitFor(const std::function<bool(const Frame&)>& shown,
                                 std::chrono::seconds limit = 120s) const
    {
        std::optional<Frame> last;
        for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
            std::optional<Frame> frame = Grab();
            if (frame && shown(*frame))
                return frame;
            if (frame)
                last = std::move(frame);
            std::this_thread::sleep_for(200ms);
        }
        // The screen that did not show it, for the failure's reader.
        if (last)
            platform::WritePngFile(m_home.Build() / "demo_playthrough_stuck.png", *last);
        return std::nullopt;
    }

    void Xdotool(const std::string& arguments) const
    {
        std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str());
    }

    // As a player clicks: the pointer rests on the spot, then the button is held a moment.
    void Click(int x, int y) const
    {
        Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) +
                " sleep 0.3 mousedown 1 sleep 0.12 mouseup 1");
    }

    // Clicks until the screen shows what the click leads to; a click that lands once is not
    // repeated, so a repeat only covers a click the game never saw.
    std::optional<Frame> ClickUntil(int x, int y, const std::function<bool(const Frame&)>& shown) const
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            Click(x, y);
            if (std::optional<Frame> frame = WaitFor(shown, attempt < 4 ? 20s : 120s))
                return frame;
        }
        return std::nullopt;
    }

    // The game's exit status once it has ended, waiting for it.
    std::optional<int> ExitStatus(std::chrono::seconds limit = 60s) const
    {
        for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
            if (const std::string text = ReadText(m_home.Path() / "status"); !text.empty())
                return std::stoi(text);
            std::this_thread::sleep_for(200ms);
        }
        return std::nullopt;
    }

    const std::string& Display() const { return m_display; }

private:
    void Kill(const char* pid_file) const
    {
        if (const std::string id = ReadText(m_home.Path() / pid_file); !id.empty())
            std::system(("kill -9 " + id + " 2>/dev/null").c_str());
    }

    const HeadlessDemoHome& m_home;
    std::string m_display;
};

// Pure #00FF00 is the demo pictures' colour key: a pixel of it on screen is a key not applied.
int KeyGreenIn(const Frame& frame)
{
    int count = 0;
    for (uint32_t pixel : frame.pixels)
        count += (pixel & 0xFFFFFFu) == 0x00FF00u;
    return count;
}

// The choice panel's cells (0x7A01 on the choice sheet).
constexpr uint32_t CHOICE_CELL = 0x7A01;

// The title: its six buttons down the left (New game, Continue, Load, Settings, Extras, Exit), and
// no message window.
bool TitleShown(const Frame& frame)
{
    for (int button = 0; button < 6; ++button)
        if (!FrameCellAt(frame, 300, 540 + 87 * button))
            return false;
    return !StoryPromptShown(frame);
}

// A story line typed out to its click prompt.
bool StoryLineShown(const Frame& frame)
{
    return StoryPromptShown(frame) && StoryTextIn(frame, 0, 19, STORY_LINE_Y) > 200;
}

TEST(DemoPlayThroughTest, APlayerPlaysTheRouteInARealWindow)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    if (!Installed("Xvfb") || !Installed("xdotool") || !Installed("xwd"))
        GTEST_SKIP() << "no X server for the play-through: scripts/install-deps.sh installs xvfb, xdotool "
                        "and x11-apps";
    XPlay x(home);
    if (!x.StartServer())
        GTEST_SKIP() << "Xvfb did not start: " << ReadText(home.Path() / "xvfb.txt");
    setenv("DISPLAY", x.Display().c_str(), 1); // for xdotool
    // A new player's settings, full screen so the game's pixels are the server's (and so no menu
    // bar), the exit question off: Alt+F4 ends the game.
    home.EditConfig([](CXMLDocument& config) {
        config.SetInt("/Config/Demo/SkipTitle", 0);
        config.SetInt("/Config/AutoRead", 0);
        config.SetInt("/Screen/Status", 2);
    });
    x.StartGame();

    auto title = x.WaitFor(TitleShown, 180s);
    ASSERT_TRUE(title) << "no title\n" << ReadText(home.Path() / "out.txt");
    // Continue stands disabled with no save to continue from.
    EXPECT_EQ(FrameCellStateAt(*title, 300, 540 + 87)->second, 3);

    // New game: the first story line, typed out, over the first scene.
    auto first = x.ClickUntil(300, 540, StoryLineShown);
    ASSERT_TRUE(first) << "no story line after New game";
    EXPECT_EQ(KeyGreenIn(*first), 0);
    EXPECT_FALSE(FrameCellAt(*first, 300, 540 + 87)) << "title buttons left over the story";

    // A click in the scene: the next line.
    std::string line = MessageLineCells(*first, 20);
    const auto next_line = [&](const Frame& frame) {
        return StoryLineShown(frame) && MessageLineCells(frame, 20) != line;
    };
    auto second = x.ClickUntil(700, 300, next_line);
    ASSERT_TRUE(second) << "the story did not go on from its first line";
    EXPECT_EQ(KeyGreenIn(*second), 0);
    line = MessageLineCells(*second, 20);

    // The message window's quick save button writes slot 201 and leaves the line as it was.
    const fs::path quick = home.Path() / "vesk/demo/Save/SaveData201.dat";
    ASSERT_TRUE(x.ClickUntil(1540, 1032, [&](const Frame&) { return fs::exists(quick); })) << "no quick save";
    auto saved = x.WaitFor(StoryLineShown, 30s);
    ASSERT_TRUE(saved);
    EXPECT_EQ(MessageLineCells(*saved, 20), line);
    const std::string saved_line = line;

    // Yuki's line under her name plate, then the hero's answer without one.
    auto yuki = x.ClickUntil(
        700, 300, [&](const Frame& frame) { return next_line(frame) && StoryNamePlateShown(frame); });
    ASSERT_TRUE(yuki) << "no line of Yuki's under her plate";
    EXPECT_EQ(KeyGreenIn(*yuki), 0);
    line = MessageLineCells(*yuki, 20);
    auto answer = x.ClickUntil(
        700, 300, [&](const Frame& frame) { return next_line(frame) && !StoryNamePlateShown(frame); });
    ASSERT_TRUE(answer) << "no answer to Yuki";

    // The choice: eight places in two columns of sheet cells; the second on the left is taken
    // and the scene it leads to types its line in white over its own background.
    auto choice = x.ClickUntil(700, 300, [](const Frame& frame) {
        return FrameCellAt(frame, 500, 222) == CHOICE_CELL && FrameCellAt(frame, 1100, 570) == CHOICE_CELL;
    });
    ASSERT_TRUE(choice) << "no choice after Yuki's lines";
    auto chosen = x.ClickUntil(500, 330, [&](const Frame& frame) {
        return FrameCellAt(frame, 500, 222) != CHOICE_CELL && !StoryPromptShown(frame) &&
               WhiteIn(frame, 160, 800, 1340, 850) > 500;
    });
    ASSERT_TRUE(chosen) << "no scene after the choice";
    EXPECT_EQ(KeyGreenIn(*chosen), 0);

    // Alt+F4 asks to close; with the question off the game ends at once, cleanly.
    x.Xdotool("key alt+F4");
    EXPECT_EQ(x.ExitStatus(), 0) << ReadText(home.Path() / "out.txt");

    // Started again on the same folder: the title offers Continue now.
    x.StartGame();
    title = x.WaitFor(TitleShown, 180s);
    ASSERT_TRUE(title) << "no title on the second start";
    EXPECT_NE(FrameCellStateAt(*title, 300, 540 + 87)->second, 3) << "Continue still disabled after a save";
    // Continue brings back the quick-saved line over its scene, with no title left, and the
    // story goes on from it to Yuki's line.
    auto continued = x.ClickUntil(300, 540 + 87, [&](const Frame& frame) {
        return StoryLineShown(frame) && MessageLineCells(frame, 20) == saved_line;
    });
    ASSERT_TRUE(continued) << "Continue did not bring the saved line back";
    EXPECT_FALSE(FrameCellAt(*continued, 300, 540)) << "title buttons left over the continued story";
    EXPECT_EQ(KeyGreenIn(*continued), 0);
    line = saved_line;
    EXPECT_TRUE(x.ClickUntil(
        700, 300, [&](const Frame& frame) { return next_line(frame) && StoryNamePlateShown(frame); }))
        << "the continued story did not go on to Yuki's line";
    x.Xdotool("key alt+F4");
    EXPECT_EQ(x.ExitStatus(), 0) << ReadText(home.Path() / "out.txt");
}

} // namespace
