// The null presenter's frame dump: every frame presented is a file of its own, and one that shows
// what the frame before it showed is that frame's file linked again rather than encoded again,
// unless a reader has taken the earlier file away. Dumping only as asked, frames are counted and
// none is written until an ask, which the newest frame answers under its number, or while an
// "every" file stands.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/d3d/null/NullPresenter.h"
#include "platform/gdi/PngCodec.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

std::shared_ptr<platform::PresentedFrame> Frame(uint8_t red, RECT changed)
{
    auto frame = std::make_shared<platform::PresentedFrame>();
    frame->width = 4;
    frame->height = 2;
    frame->changed = changed;
    for (int pixel = 0; pixel < 8; ++pixel)
        frame->pixels.insert(frame->pixels.end(), {red, 20, 30, 255});
    return frame;
}

ino_t Inode(const fs::path& path)
{
    struct stat info
    {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

uint32_t FirstPixel(const fs::path& path)
{
    const std::optional<platform::PngPicture> picture = platform::ReadPngFile(path);
    return picture && !picture->pixels.empty() ? picture->pixels[0] & 0xFFFFFFu : 0;
}

TEST(NullPresenterTest, AnUnchangedFrameIsDumpedAsTheFileBeforeItUntilThatIsGone)
{
    const TempDir dir;
    platform::NullPresenter presenter(false);
    presenter.SetDumpFolder(dir.Path().string());
    const fs::path first = dir.Path() / "frame00001.png";
    const fs::path second = dir.Path() / "frame00002.png";
    const fs::path third = dir.Path() / "frame00003.png";
    const fs::path fourth = dir.Path() / "frame00004.png";

    presenter.Publish(Frame(10, platform::WHOLE_PICTURE));
    presenter.Publish(Frame(10, RECT{}));
    ASSERT_TRUE(fs::exists(second));
    EXPECT_EQ(Inode(second), Inode(first)) << "the unchanged frame encoded again";
    EXPECT_EQ(FirstPixel(second), 0x0A141Eu);

    // A reader that keeps only the newest frame removes the others as it goes.
    fs::remove(first);
    fs::remove(second);
    presenter.Publish(Frame(10, RECT{}));
    EXPECT_EQ(FirstPixel(third), 0x0A141Eu) << "no frame where the link had nothing to name";

    presenter.Publish(Frame(90, RECT{0, 0, 1, 1}));
    EXPECT_NE(Inode(fourth), Inode(third));
    EXPECT_EQ(FirstPixel(fourth), 0x5A141Eu);
    EXPECT_EQ(presenter.GetFrameCount(), 4u);
}

TEST(NullPresenterTest, DumpingAsAskedWritesTheNewestFrameOnlyForAnAsk)
{
    const TempDir dir;
    ::setenv("VESK_FRAME_DUMP_ASKED", "1", 1);
    platform::NullPresenter presenter(false);
    ::unsetenv("VESK_FRAME_DUMP_ASKED");
    ASSERT_TRUE(presenter.DumpsAsked());
    presenter.SetDumpFolder(dir.Path().string());
    const fs::path ask = dir.Path() / "ask";

    presenter.ServeAsk();
    presenter.Publish(Frame(10, platform::WHOLE_PICTURE));
    presenter.Publish(Frame(90, platform::WHOLE_PICTURE));
    EXPECT_TRUE(fs::is_empty(dir.Path())) << "a frame dumped unasked";
    EXPECT_EQ(presenter.GetFrameCount(), 2u);

    std::ofstream(ask).flush();
    presenter.ServeAsk();
    EXPECT_FALSE(fs::exists(ask)) << "the ask left unanswered";
    EXPECT_EQ(FirstPixel(dir.Path() / "frame00002.png"), 0x5A141Eu);
    EXPECT_FALSE(fs::exists(dir.Path() / "frame00001.png"));

    // Asked again with nothing new drawn: the same frame, still there once read.
    std::ofstream(ask).flush();
    presenter.ServeAsk();
    EXPECT_FALSE(fs::exists(ask));
    EXPECT_EQ(FirstPixel(dir.Path() / "frame00002.png"), 0x5A141Eu);
}

TEST(NullPresenterTest, DumpingAsAskedWritesEveryFrameWhileAskedForAll)
{
    const TempDir dir;
    ::setenv("VESK_FRAME_DUMP_ASKED", "1", 1);
    platform::NullPresenter presenter(false);
    ::unsetenv("VESK_FRAME_DUMP_ASKED");
    presenter.SetDumpFolder(dir.Path().string());
    const fs::path every = dir.Path() / "every";

    std::ofstream(every).flush();
    presenter.Publish(Frame(10, platform::WHOLE_PICTURE));
    presenter.Publish(Frame(10, RECT{}));
    EXPECT_EQ(FirstPixel(dir.Path() / "frame00002.png"), 0x0A141Eu);
    fs::remove(every);
    presenter.Publish(Frame(90, platform::WHOLE_PICTURE));
    EXPECT_FALSE(fs::exists(dir.Path() / "frame00003.png")) << "a frame dumped once no longer asked";

    // Unchanged from the frame not dumped: its own picture, not the last file dumped.
    std::ofstream(every).flush();
    presenter.Publish(Frame(90, RECT{}));
    EXPECT_EQ(FirstPixel(dir.Path() / "frame00004.png"), 0x5A141Eu);
}

} // namespace
