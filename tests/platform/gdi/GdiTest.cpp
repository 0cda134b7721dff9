#include "platform/gdi/GdiApi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace {

// A memory context with a fresh bottom-up 32-bit section selected into it.
class Surface
{
public:
    Surface(int width, int height)
        : m_width(width)
        , m_height(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        HDC screen = GetDC(nullptr);
        m_bitmap =
            CreateDIBSection(screen, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        ReleaseDC(nullptr, screen);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~Surface()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC Dc() const { return m_dc; }
    HGDIOBJ Old() const { return m_old; }
    uint8_t* Bits() const { return m_bits; }
    // Pixel (x, y) counted from the top: rows are stored bottom-up.
    uint32_t Get(int x, int y) const
    {
        uint32_t value;
        std::memcpy(&value, m_bits + (size_t(m_height - 1 - y) * m_width + x) * 4, 4);
        return value;
    }
    void Set(int x, int y, uint32_t value)
    {
        std::memcpy(m_bits + (size_t(m_height - 1 - y) * m_width + x) * 4, &value, 4);
    }

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    uint8_t* m_bits = nullptr;
};

// The process's resident memory in bytes, from the kernel's page counts.
size_t ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    size_t resident = 0;
    statm >> pages >> resident;
    return resident * 4096;
}

} // namespace

TEST(GdiDibSection, FreshBitsAreZeroAndStoredBottomUp)
{
    Surface surface(3, 2);
    ASSERT_NE(surface.Bits(), nullptr);
    for (int i = 0; i < 3 * 2 * 4; ++i)
        EXPECT_EQ(surface.Bits()[i], 0) << i;
    // The first row in memory is the bottom row of the picture.
    surface.Bits()[0] = 0x11;
    EXPECT_EQ(surface.Get(0, 1), 0x11u);
    EXPECT_EQ(surface.Get(0, 0), 0u);
    EXPECT_NE(surface.Old(), nullptr); // the stock bitmap comes back on the first selection
}

// A large section nothing has drawn into yet (the save snapshot's, a layer for a later screen)
// holds no memory; what is written into it does.
TEST(GdiDibSection, LargeSectionIsCommittedOnlyWhereWritten)
{
    constexpr size_t SECTION_BYTES = size_t{2048} * 2048 * 4;
    const size_t before = ResidentBytes();
    Surface surface(2048, 2048);
    ASSERT_NE(surface.Bits(), nullptr);
    const size_t made = ResidentBytes();
    EXPECT_LT(made, before + SECTION_BYTES / 4) << "a fresh section was committed whole";
    std::memset(surface.Bits(), 0x7F, SECTION_BYTES / 2);
    EXPECT_GT(ResidentBytes(), made + SECTION_BYTES / 4) << "the resident figure does not follow writes";
}

TEST(GdiDibSection, RefusesWhatIsNotA32BitRgbSection)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, 4, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biWidth = 0;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    info.bmiHeader.biWidth = 100000;
    info.bmiHeader.biHeight = 100000; // 40 GB
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(GdiDibSection, SelectedBitmapIsNeitherDeletedNorSelectedTwice)
{
    Surface surface(2, 2);
    HDC other = CreateCompatibleDC(nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(SelectObject(surface.Dc(), surface.Old()), sizeof(info), &info), int(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 2);
    EXPECT_EQ(info.bmBitsPixel, 32);
    // Put the section back, then try to reach it from a second context while it is selected.
    HGDIOBJ section = SelectObject(surface.Dc(), nullptr);
    EXPECT_EQ(section, nullptr); // a null object is refused
    BITMAPINFO header{};
    header.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HBITMAP bitmap = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, nullptr, nullptr, 0);
    HGDIOBJ stock = SelectObject(surface.Dc(), bitmap);
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(SelectObject(surface.Dc(), stock), bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap)); // stale handle
    EXPECT_TRUE(DeleteDC(other));
    EXPECT_FALSE(DeleteDC(other));
}

TEST(GdiStretchBlt, OneToOneCopiesEveryByteInEveryMode)
{
    Surface source(4, 3);
    Surface dest(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            source.Set(x, y, 0x01020304u * uint32_t(1 + x + 4 * y) ^ 0x80FF0000u);
    for (int mode : {BLACKONWHITE, HALFTONE}) {
        SetStretchBltMode(dest.Dc(), mode);
        ASSERT_TRUE(StretchBlt(dest.Dc(), 0, 0, 4, 3, source.Dc(), 0, 0, 4, 3, SRCCOPY));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(dest.Get(x, y), source.Get(x, y)) << mode << " " << x << "," << y;
    }
}

TEST(GdiStretchBlt, OneToOneClipsAtEveryEdge)
{
    Surface source(4, 4);
    Surface dest(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source.Set(x, y, uint32_t(0x10 * y + x + 1));
    // Two pixels hang off the left and top of the destination, one off the source's right.
    ASSERT_TRUE(StretchBlt(dest.Dc(), -2, -1, 4, 4, source.Dc(), 1, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(dest.Get(0, 0), source.Get(3, 1));
    EXPECT_EQ(dest.Get(1, 0), 0u); // its source column 4 lies outside the source
    EXPECT_EQ(dest.Get(0, 2), source.Get(3, 3));
    EXPECT_EQ(dest.Get(0, 3), 0u);
    EXPECT_TRUE(StretchBlt(dest.Dc(), 100, 100, 4, 4, source.Dc(), 0, 0, 4, 4, SRCCOPY));
}

TEST(GdiStretchBlt, HalftoneAveragesAllFourBytes)
{
    // 20 x 20 down to 2 x 2: each destination pixel is the rounded mean of a 10 x 10 block.
    Surface source(20, 20);
    Surface dest(2, 2);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            source.Set(x, y, (x < 10 && y < 10) ? ((x + y) % 2 ? 0xFF0000FFu : 0x00000000u) : 0x40302010u);
    source.Set(19, 19, 0x40302075u); // one blue byte 0x65 above the rest: mean 0x10 + 101/100
    SetStretchBltMode(dest.Dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(dest.Dc(), 0, 0, 2, 2, source.Dc(), 0, 0, 20, 20, SRCCOPY));
    // Checkerboard of (255, 0, 0, 255) and 0: 50 of 100 pixels -> 127.5 rounds to 128.
    EXPECT_EQ(dest.Get(0, 0), 0x80000080u);
    EXPECT_EQ(dest.Get(1, 0), 0x40302010u);
    EXPECT_EQ(dest.Get(1, 1), 0x40302011u);
}

TEST(GdiStretchBlt, HalftoneWeighsPartlyCoveredPixels)
{
    // 3 pixels onto 2: the middle source pixel is shared half and half.
    Surface source(3, 1);
    Surface dest(2, 1);
    source.Set(0, 0, 0x00000000u);
    source.Set(1, 0, 0x00000090u);
    source.Set(2, 0, 0x000000F0u);
    SetStretchBltMode(dest.Dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(dest.Dc(), 0, 0, 2, 1, source.Dc(), 0, 0, 3, 1, SRCCOPY));
    // Left: (0 x 1 + 0x90 x 0.5) / 1.5 = 48; right: (0x90 x 0.5 + 0xF0 x 1) / 1.5 = 208.
    EXPECT_EQ(dest.Get(0, 0), 48u);
    EXPECT_EQ(dest.Get(1, 0), 208u);
}

TEST(GdiStretchBlt, DefaultModeSamplesNearestPixel)
{
    Surface source(2, 1);
    Surface dest(4, 1);
    source.Set(0, 0, 0x11111111u);
    source.Set(1, 0, 0x22222222u);
    ASSERT_TRUE(StretchBlt(dest.Dc(), 0, 0, 4, 1, source.Dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dest.Get(0, 0), 0x11111111u);
    EXPECT_EQ(dest.Get(1, 0), 0x11111111u);
    EXPECT_EQ(dest.Get(2, 0), 0x22222222u);
    EXPECT_EQ(dest.Get(3, 0), 0x22222222u);
}

TEST(GdiStretchBlt, RefusesContextsWithoutSections)
{
    Surface dest(2, 2);
    HDC empty = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(StretchBlt(dest.Dc(), 0, 0, 2, 2, empty, 0, 0, 2, 2, SRCCOPY));
    EXPECT_FALSE(StretchBlt(dest.Dc(), 0, 0, 2, 2, nullptr, 0, 0, 2, 2, SRCCOPY));
    EXPECT_FALSE(StretchBlt(dest.Dc(), 0, 0, 0, 2, dest.Dc(), 0, 0, 2, 2, SRCCOPY));
    DeleteDC(empty);
}

TEST(GdiStretchBlt, HalftoneByWholeFactorsMatchesTheBoxMeansWhereverTheSpanIsClipped)
{
    // 60 x 40 down to 6 x 4 drawn 2 pixels left of the destination and from a source corner:
    // each pixel drawn is the rounded mean of its own 10 x 10 box, the half rounding up.
    Surface source(70, 45);
    Surface dest(6, 4);
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 70; ++x)
            source.Set(x, y, static_cast<uint32_t>((x * 7919 + y * 104729) * 2654435761u));
    SetStretchBltMode(dest.Dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(dest.Dc(), -2, 0, 6, 4, source.Dc(), 5, 3, 60, 40, SRCCOPY));
    for (int dy = 0; dy < 4; ++dy) {
        for (int dx = 0; dx < 4; ++dx) {
            uint32_t expected = 0;
            for (int c = 0; c < 4; ++c) {
                uint32_t sum = 0;
                for (int y = 0; y < 10; ++y)
                    for (int x = 0; x < 10; ++x)
                        sum += (source.Get(5 + (dx + 2) * 10 + x, 3 + dy * 10 + y) >> (8 * c)) & 0xFF;
                expected |= ((sum + 50) / 100) << (8 * c);
            }
            EXPECT_EQ(dest.Get(dx, dy), expected) << dx << "," << dy;
        }
    }
}
