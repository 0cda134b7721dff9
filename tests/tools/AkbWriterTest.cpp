// The AKB writer's bytes against the format, decoded with the archive's LZSS decoder rather than
// the picture decoder.

#include "akbwriter/AkbWriter.h"

#include "foundation/Lzss.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t at)
{
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (uint32_t(bytes[at + 3]) << 24);
}

std::vector<uint8_t> Body(const std::vector<uint8_t>& file, size_t header, size_t size)
{
    std::vector<uint8_t> out(size);
    const std::span<const uint8_t> input(file.data() + header, file.size() - header);
    EXPECT_TRUE(LzssDecode(input, out).Complete(size));
    return out;
}

} // namespace

TEST(AkbWriter, HeaderFieldsAndFilteredBodyRowsFromTheBottomUp)
{
    tools::AkbPicture picture = tools::MakePicture(3, 2, 0);
    picture.At(0, 0) = 0x04030201;
    picture.At(1, 0) = 0x2C21160B; // top row, second pixel: p00 + (10, 20, 30, 40)
    picture.At(2, 0) = 0x00000000;
    picture.At(0, 1) = 0x05020265; // below p00: p00 + (100, 0, 255, 1)
    picture.At(1, 1) = 0x2C21160B;
    picture.At(2, 1) = 0x00000001;
    tools::AkbOptions options;
    options.content = tools::AkbRect{0, 0, 2, 2};
    options.fill = 0x80112233;
    const std::vector<uint8_t> file = tools::EncodeAkb(picture, options);

    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "AKB ");
    EXPECT_EQ(file[4] | (file[5] << 8), 3);
    EXPECT_EQ(file[6] | (file[7] << 8), 2);
    EXPECT_EQ(U32At(file, 8), 0x80000000u);
    EXPECT_EQ(U32At(file, 12), 0x80112233u);
    EXPECT_EQ(U32At(file, 16), 0u);
    EXPECT_EQ(U32At(file, 24), 2u);
    EXPECT_EQ(U32At(file, 28), 2u);
    // Bottom row first, each pixel against the one above; then the top row against the left.
    const std::vector<uint8_t> expected = {100, 0, 255, 1, 0, 0, 0, 0, 1, 2, 3, 4, 10, 20, 30, 40};
    EXPECT_EQ(Body(file, 32, 16), expected);
}

TEST(AkbWriter, ThreeByteBodiesAndDifferenceHeaders)
{
    tools::AkbPicture picture = tools::MakePicture(2, 1, 0xFF102030);
    tools::AkbOptions options;
    options.rgb_alpha = 0x80;
    options.base_name = "base.png";
    const std::vector<uint8_t> file = tools::EncodeAkb(picture, options);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "AKB+");
    EXPECT_EQ(U32At(file, 8), 0x40000080u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data() + 32)), "base.png");
    EXPECT_EQ(file[63], 0);
    EXPECT_EQ(Body(file, 64, 6), (std::vector<uint8_t>{0x30, 0x20, 0x10, 0, 0, 0}));
}

TEST(AkbWriter, LongRunsCompressWithMatches)
{
    const tools::AkbPicture picture = tools::MakePicture(256, 256, 0xFF336699);
    const std::vector<uint8_t> file = tools::EncodeAkb(picture, {});
    EXPECT_LT(file.size(), 256u * 256u * 4u / 8u);
    const std::vector<uint8_t> body = Body(file, 32, 256 * 256 * 4);
    // Every row below the top equals the row above; the top row's first pixel comes last.
    EXPECT_EQ(body[0], 0);
    EXPECT_EQ(body[255 * 256 * 4], 0x99);
    EXPECT_EQ(body[255 * 256 * 4 + 4], 0);
}

TEST(AkbWriter, RefusesWhatTheFormatCannotHold)
{
    tools::AkbOptions options;
    options.content = tools::AkbRect{0, 0, 5, 1};
    EXPECT_THROW(tools::EncodeAkb(tools::MakePicture(4, 1, 0), options), std::invalid_argument);
    tools::AkbOptions named;
    named.base_name = std::string(32, 'x');
    EXPECT_THROW(tools::EncodeAkb(tools::MakePicture(1, 1, 0), named), std::invalid_argument);
    EXPECT_THROW(tools::EncodeAkb(tools::MakePicture(70000, 1, 0), {}), std::invalid_argument);
}

TEST(AkbWriter, ContentRectanglesAndDifferences)
{
    tools::AkbPicture base = tools::MakePicture(8, 6, 0xFF000000);
    tools::AkbPicture changed = base;
    changed.At(2, 1) = 0xFFFFFFFF;
    changed.At(5, 4) = 0xFF123456;
    const tools::AkbPicture difference = tools::MakeDifference(base, changed);
    EXPECT_EQ(difference.At(0, 0), 0xFF00FF00u);
    EXPECT_EQ(difference.At(5, 4), 0xFF123456u);
    const tools::AkbRect rect = tools::FindContentRect(difference, 0xFF00FF00);
    EXPECT_EQ(rect.left, 2);
    EXPECT_EQ(rect.top, 1);
    EXPECT_EQ(rect.right, 6);
    EXPECT_EQ(rect.bottom, 5);
    const tools::AkbRect none = tools::FindContentRect(base, 0xFF000000);
    EXPECT_EQ(none.right - none.left, 0);
}
