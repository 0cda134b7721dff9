// The demo played as a player plays it: in a real X server (Xvfb) with SDL's x11 driver, full
// screen, with input delivered through the X server (xdotool) and frames read back from it (xwd).
// The title comes up; a press on New game, repeated until it lands, starts the story, whose first
// message shows in the message window (build/demo_window_story.png). Skipped, with the reason,
// where xvfb-run, xdotool or xwd is missing or no X server starts.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"

namespace {

namespace fs = std::filesystem;

std::string ReadLine(const fs::path& path)
{
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

// The root window in an XWD dump ("xwd -root"): ZPixmap, 32 bits a pixel, least significant byte
// first, as Xvfb's 24-bit screen writes it; none when the file is anything else.
std::optional<platform::PngPicture> ReadXwd(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
    if (bytes.size() < 100)
        return std::nullopt;
    const auto field = [&](size_t k) {
        const uint8_t* p = bytes.data() + 4 * k;
        return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    };
    const uint32_t header = field(0);
    const uint32_t width = field(4);
    const uint32_t height = field(5);
    const uint32_t line = field(12);
    const uint32_t colours = field(19);
    const size_t start = size_t{header} + size_t{colours} * 12;
    if (field(2) != 2 || field(7) != 0 || width == 0 || width > 8192 || height > 8192 || line < width * 4 ||
        start + size_t{line} * height > bytes.size())
        return std::nullopt;
    platform::PngPicture picture;
    picture.width = static_cast<int32_t>(width);
    picture.height = static_cast<int32_t>(height);
    picture.pixels.resize(size_t{width} * height);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = bytes.data() + start + size_t{line} * y;
        for (uint32_t x = 0; x < width; ++x)
            picture.pixels[size_t{y} * width + x] =
                0xFF000000u | uint32_t(row[4 * x + 2]) << 16 | uint32_t(row[4 * x + 1]) << 8 | row[4 * x];
    }
    return picture;
}

class DemoWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (std::system("command -v xvfb-run >/dev/null && command -v xdotool >/dev/null && "
                        "command -v xwd >/dev/null") != 0)
            GTEST_SKIP() << "xvfb-run, xdotool or xwd is missing (scripts/install-deps.sh installs them)";
        const std::string x = (m_home.Path() / "x").string();
        fs::create_directories(x);
        // The server lives as long as the shell it runs, which records its display and its pid.
        std::system(("xvfb-run -a -s '-screen 0 1920x1080x24' sh -c 'echo $$ > \"" + x +
                     "/pid\"; echo $XAUTHORITY > \"" + x + "/auth\"; echo $DISPLAY > \"" + x +
                     "/display\"; exec sleep 600' >\"" + x + "/log\" 2>&1 &")
                        .c_str());
        for (int k = 0; k < 300 && ReadLine(m_home.Path() / "x/display").empty(); ++k)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        m_display = ReadLine(m_home.Path() / "x/display");
        if (m_display.empty())
            GTEST_SKIP() << "no X server could start: " << ReadLine(m_home.Path() / "x/log");
        m_environment =
            "export DISPLAY='" + m_display + "' XAUTHORITY='" + ReadLine(m_home.Path() / "x/auth") + "'; ";
    }

    void TearDown() override
    {
        for (const char* name : {"game.pid", "x/pid"}) {
            const std::string pid = ReadLine(m_home.Path() / name);
            if (!pid.empty())
                std::system(("kill -KILL " + pid + " 2>/dev/null").c_str());
        }
    }

    int X(const std::string& command) const { return std::system((m_environment + command).c_str()); }

    std::optional<platform::PngPicture> Capture() const
    {
        const fs::path file = m_home.Path() / "frame.xwd";
        if (X("xwd -root -silent > '" + file.string() + "'") != 0)
            return std::nullopt;
        return ReadXwd(file);
    }

    // Captures the screen until a frame matches, doing the action between captures every few of
    // them; the frame, or none once the deadline (a bound for a stuck game, not a pace) is past.
    std::optional<platform::PngPicture>
    WaitFor(const std::function<bool(const platform::PngPicture&)>& matches,
            const std::function<void()>& action = nullptr)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(180);
        for (int k = 0; std::chrono::steady_clock::now() < deadline; ++k) {
            if (std::optional<platform::PngPicture> frame = Capture(); frame && matches(*frame))
                return frame;
            if (action && k % 6 == 5)
                action();
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        return std::nullopt;
    }

    HeadlessDemoHome m_home;
    std::string m_display;
    std::string m_environment;
};

TEST_F(DemoWindowTest, TheTitleStartsTheStoryInARealWindow)
{
    ASSERT_TRUE(fs::exists(m_home.Build() / "demo/vesk")) << "build the demo target first";
    m_home.EditConfig([](CXMLDocument& config) {
        config.SetInt("/Screen/Status", 2); // full screen: the window's pixels are the game's
        config.SetInt("/Config/Demo/SkipTitle", 0);
        config.SetInt("/Config/AutoRead", 0); // the story waits on its first message
    });
    const std::string home = m_home.Path().string();
    X("cd '" + (m_home.Build() / "demo").string() +
      "' && env -u VESK_HEADLESS SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy XDG_DATA_HOME='" + home +
      "' XDG_RUNTIME_DIR='" + home + "/run' ./vesk >'" + home + "/out.txt' 2>&1 & echo $! >'" + home +
      "/game.pid'");

    // The title's first button, New game, at rest.
    const std::optional<platform::PngPicture> title = WaitFor([](const platform::PngPicture& frame) {
        return FrameCellStateAt(frame, 310, 543) == FrameCell{0, 0};
    });
    ASSERT_TRUE(title.has_value()) << "no title in the window";

    // A player's press: the pointer rests on the button, then the button is held a moment.
    const auto press = [&] { X("xdotool mousemove 300 540 sleep 0.3 mousedown 1 sleep 0.12 mouseup 1"); };
    press();
    const std::optional<platform::PngPicture> story = WaitFor(
        [](const platform::PngPicture& frame) {
            return StoryTextIn(frame, 0, 1, STORY_LINE_Y) > 50 && StoryPromptShown(frame);
        },
        [&] {
            if (const std::optional<platform::PngPicture> frame = Capture();
                frame && FrameCellStateAt(*frame, 310, 543).has_value())
                press(); // still the title: the press did not land
        });
    std::ifstream log(m_home.Path() / "out.txt");
    ASSERT_TRUE(story.has_value()) << "the story's first message never showed\n"
                                   << std::string((std::istreambuf_iterator<char>(log)), {});
    const std::vector<uint8_t> png = platform::EncodePng(story->width, story->height, story->pixels);
    std::ofstream(m_home.Build() / "demo_window_story.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
}

} // namespace
