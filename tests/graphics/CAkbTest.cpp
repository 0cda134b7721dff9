// The AKB decoder against hand-built files and pictures made by the writer in tools/akbwriter.

#include "graphics/CAkb.h"

#include "akbwriter/AkbWriter.h"
#include "graphics/LayerTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include <sys/mman.h>

namespace {

// The largest block this thread asked for while the probe is on.
thread_local bool t_probing = false;
thread_local size_t t_largest = 0;

} // namespace

// Every new of the test binary goes through here, so a test can see what a decode holds.
void* operator new(size_t size)
{
    if (t_probing)
        t_largest = std::max(t_largest, size);
    if (void* p = std::malloc(size != 0 ? size : 1))
        return p;
    throw std::bad_alloc();
}

// The nothrow form too: the sanitizers' own would mark its blocks as theirs, which the free below
// then takes for a mismatched delete.
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    if (t_probing)
        t_largest = std::max(t_largest, size);
    return std::malloc(size != 0 ? size : 1);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}

namespace {

// The 32-byte header of a plain picture, little-endian fields.
std::vector<uint8_t> Header(uint16_t w, uint16_t h, uint32_t flags, uint32_t fill, int32_t l, int32_t t,
                            int32_t r, int32_t b)
{
    std::vector<uint8_t> out = {'A', 'K', 'B', ' '};
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    put(w, 2);
    put(h, 2);
    put(flags, 4);
    put(fill, 4);
    put(static_cast<uint32_t>(l), 4);
    put(static_cast<uint32_t>(t), 4);
    put(static_cast<uint32_t>(r), 4);
    put(static_cast<uint32_t>(b), 4);
    return out;
}

// An LZSS stream of literals only: a flag byte of eight 1 bits before every eight bytes.
std::vector<uint8_t> Literals(const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % 8 == 0)
            out.push_back(0xFF);
        out.push_back(bytes[i]);
    }
    return out;
}

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

bool Decode(const std::vector<uint8_t>& file, ILayer& layer, int x = 0, int y = 0, RECT* out = nullptr,
            int fill_mode = 0)
{
    CAkb akb(file.data(), file.size());
    return DecodeAkb(akb, &layer, x, y, out, fill_mode);
}

// A picture with smooth areas and hard edges, so the filter and the matches both have work.
tools::AkbPicture TestPicture(int w, int h)
{
    tools::AkbPicture picture = tools::MakePicture(w, h, 0);
    uint32_t noise = 12345;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            noise = noise * 1103515245 + 12345;
            const uint32_t a = (x < w / 3) ? 255 : (x * 7 + y) & 0xFF;
            const uint32_t r = (x * 255) / std::max(1, w - 1);
            const uint32_t g = (y * 255) / std::max(1, h - 1);
            const uint32_t b = ((x / 4 + y / 4) % 2) ? 200 : (noise >> 24);
            picture.At(x, y) = Argb(a, r, g, b);
        }
    }
    return picture;
}

} // namespace

TEST(CAkbTest, FilterRestoresTopRowFromTheLeftAndLowerRowsFromAbove)
{
    // Rows stored bottom first: p10 p11, then p00 p01 (bytes B, G, R, A).
    const std::vector<uint8_t> p00 = {1, 2, 3, 4}, p01 = {10, 20, 30, 40}, p10 = {100, 0, 255, 1},
                               p11 = {200, 250, 2, 3};
    std::vector<uint8_t> pixels;
    for (const auto* p : {&p10, &p11, &p00, &p01})
        pixels.insert(pixels.end(), p->begin(), p->end());
    const std::vector<uint8_t> file = Concat(Header(2, 2, 0, 0, 0, 0, 2, 2), Literals(pixels));
    auto layer = MakeLayer(2, 2);
    ASSERT_TRUE(Decode(file, *layer));
    // Top: p00, p00 + p01. Bottom: p00 + p10, p00 + p01 + p11, byte by byte modulo 256.
    EXPECT_EQ(PixelAt(*layer, 0, 0), 0x04030201u);
    EXPECT_EQ(PixelAt(*layer, 1, 0), 0x2C21160Bu);
    EXPECT_EQ(PixelAt(*layer, 0, 1), 0x05020265u);
    EXPECT_EQ(PixelAt(*layer, 1, 1), 0x2F2310D3u);
}

TEST(CAkbTest, MatchesCopyFromTheZeroedRingAndOverlapThemselves)
{
    // Literal 0x41 at ring position 4078, then a match of 7 from 4078: it reads what it writes.
    const std::vector<uint8_t> body = {0x01 /* literal, match */, 0x41, 0xEE, 0xF4};
    auto layer = MakeLayer(2, 1);
    ASSERT_TRUE(Decode(Concat(Header(2, 1, 0, 0, 0, 0, 2, 1), body), *layer));
    EXPECT_EQ(PixelAt(*layer, 0, 0), 0x41414141u);
    EXPECT_EQ(PixelAt(*layer, 1, 0), 0x82828282u); // the top row adds its left neighbour

    // A match from position 0 before anything was written there gives zeros.
    const std::vector<uint8_t> zeros = {0x02 /* match, literal */, 0x00, 0x00, 0x7F};
    auto second = MakeLayer(1, 1, 0xFFFFFFFF);
    ASSERT_TRUE(Decode(Concat(Header(1, 1, 0, 0, 0, 0, 1, 1), zeros), *second));
    EXPECT_EQ(PixelAt(*second, 0, 0), 0x7F000000u);
}

TEST(CAkbTest, WriterPicturesRoundTripWithAndWithoutContentRectangle)
{
    const tools::AkbPicture picture = TestPicture(97, 61);
    const std::vector<uint8_t> whole = tools::EncodeAkb(picture, {});
    // Real matches: the body is well under the raw size.
    EXPECT_LT(whole.size(), picture.pixels.size() * 4 * 3 / 4);
    auto layer = MakeLayer(97 + 5, 61 + 3, 0x12345678);
    RECT rect{};
    ASSERT_TRUE(Decode(whole, *layer, 5, 3, &rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, 97);
    EXPECT_EQ(rect.bottom, 61);
    for (int y = 0; y < 61; ++y)
        for (int x = 0; x < 97; ++x)
            ASSERT_EQ(PixelAt(*layer, x + 5, y + 3), picture.At(x, y)) << x << "," << y;
    EXPECT_EQ(PixelAt(*layer, 4, 3), 0x12345678u);
    EXPECT_EQ(PixelAt(*layer, 5, 2), 0x12345678u);

    // Only the content rectangle is stored and written; the rest keeps the layer's pixels.
    tools::AkbOptions options;
    options.content = tools::AkbRect{10, 7, 50, 40};
    auto part = MakeLayer(97, 61, 0xDEADBEEF);
    ASSERT_TRUE(Decode(tools::EncodeAkb(picture, options), *part, 0, 0, &rect));
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 7);
    EXPECT_EQ(rect.right, 50);
    EXPECT_EQ(rect.bottom, 40);
    for (int y = 0; y < 61; ++y) {
        for (int x = 0; x < 97; ++x) {
            const bool inside = x >= 10 && x < 50 && y >= 7 && y < 40;
            ASSERT_EQ(PixelAt(*part, x, y), inside ? picture.At(x, y) : 0xDEADBEEFu) << x << "," << y;
        }
    }
}

// A large picture is decoded straight into its layer: nothing near its size is held beside the
// layer while it is placed (a town map would otherwise cost its size twice at its load).
TEST(CAkbTest, ALargePictureDecodesWithoutACopyBesideTheLayer)
{
    const tools::AkbPicture picture = TestPicture(1200, 700);
    for (const bool three_bytes : {false, true}) {
        tools::AkbOptions options;
        if (three_bytes)
            options.rgb_alpha = 0xFF;
        const std::vector<uint8_t> file = tools::EncodeAkb(picture, options);
        auto layer = MakeLayer(1200, 700, 0);
        t_largest = 0;
        t_probing = true;
        const bool decoded = Decode(file, *layer);
        t_probing = false;
        ASSERT_TRUE(decoded);
        EXPECT_LT(t_largest, size_t{1} << 20) << "three bytes: " << three_bytes;
        for (int y = 0; y < 700; ++y)
            for (int x = 0; x < 1200; ++x)
                ASSERT_EQ(PixelAt(*layer, x, y),
                          three_bytes ? picture.At(x, y) | 0xFF000000u : picture.At(x, y))
                    << x << "," << y;
    }
}

TEST(CAkbTest, ThreeByteBodiesTakeTheirAlphaFromTheFlags)
{
    tools::AkbPicture picture = TestPicture(16, 9);
    for (uint8_t alpha : {uint8_t{0xFF}, uint8_t{0x80}}) {
        tools::AkbOptions options;
        options.rgb_alpha = alpha;
        const std::vector<uint8_t> file = tools::EncodeAkb(picture, options);
        auto layer = MakeLayer(16, 9, 0x11000000);
        ASSERT_TRUE(Decode(file, *layer));
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(PixelAt(*layer, x, y), (uint32_t{alpha} << 24) | (picture.At(x, y) & 0xFFFFFF));
    }
}

TEST(CAkbTest, BorderFillFollowsTheFillMode)
{
    const tools::AkbPicture picture = tools::MakePicture(6, 5, 0xFF102030);
    tools::AkbOptions options;
    options.content = tools::AkbRect{1, 2, 4, 3};
    options.fill = 0xFFAABBCC;
    const std::vector<uint8_t> file = tools::EncodeAkb(picture, options);

    auto plain = MakeLayer(6, 5, 0x01010101);
    ASSERT_TRUE(Decode(file, *plain, 0, 0, nullptr, 0));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(PixelAt(*plain, x, y), (x >= 1 && x < 4 && y == 2) ? 0xFF102030u : 0xFFAABBCCu);

    auto clear_alpha = MakeLayer(6, 5, 0x01010101);
    ASSERT_TRUE(Decode(file, *clear_alpha, 0, 0, nullptr, 2));
    EXPECT_EQ(PixelAt(*clear_alpha, 0, 0), 0x00AABBCCu);
    EXPECT_EQ(PixelAt(*clear_alpha, 5, 4), 0x00AABBCCu);
    EXPECT_EQ(PixelAt(*clear_alpha, 2, 2), 0xFF102030u);

    // Mode 1 skips a transparent fill colour.
    options.fill = 0x00AABBCC;
    auto skipped = MakeLayer(6, 5, 0x01010101);
    ASSERT_TRUE(Decode(tools::EncodeAkb(picture, options), *skipped, 0, 0, nullptr, 1));
    EXPECT_EQ(PixelAt(*skipped, 0, 0), 0x01010101u);
    EXPECT_EQ(PixelAt(*skipped, 2, 2), 0xFF102030u);

    // A full content rectangle leaves no band; an empty one fills the whole picture.
    options.fill = 0xFF00FF00;
    options.content = tools::AkbRect{0, 0, 6, 5};
    auto full = MakeLayer(8, 7, 0x01010101);
    ASSERT_TRUE(Decode(tools::EncodeAkb(picture, options), *full, 1, 1));
    EXPECT_EQ(PixelAt(*full, 0, 0), 0x01010101u);
    EXPECT_EQ(PixelAt(*full, 7, 6), 0x01010101u);
    options.content = tools::AkbRect{3, 3, 3, 3};
    auto empty = MakeLayer(8, 7, 0x01010101);
    ASSERT_TRUE(Decode(tools::EncodeAkb(picture, options), *empty, 1, 1));
    EXPECT_EQ(PixelAt(*empty, 1, 1), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(*empty, 6, 5), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(*empty, 7, 6), 0x01010101u);
}

TEST(CAkbTest, MalformedFilesAreRefusedWithoutTouchingTheLayer)
{
    const std::vector<uint8_t> good_body = Literals(std::vector<uint8_t>(2 * 2 * 4, 0x33));
    std::vector<uint8_t> difference_short = Header(2, 2, 0, 0, 0, 0, 2, 2);
    difference_short[3] = '+';
    difference_short.resize(40); // a difference header needs 64 bytes
    std::vector<uint8_t> truncated = Concat(Header(2, 2, 0, 0, 0, 0, 2, 2), good_body);
    truncated.pop_back();
    std::vector<uint8_t> cut_match = Concat(Header(2, 2, 0, 0, 0, 0, 2, 2), {0x00, 0xEE});
    const std::vector<uint8_t> long_body =
        Concat(Header(2, 2, 0, 0, 0, 0, 2, 2), Literals(std::vector<uint8_t>(2 * 2 * 4 + 1, 0x33)));
    const std::vector<uint8_t> rgb_body_as_argb =
        Concat(Header(2, 2, 0, 0, 0, 0, 2, 2), Literals(std::vector<uint8_t>(2 * 2 * 3, 0x33)));
    std::vector<uint8_t> wrong_magic = Concat(Header(2, 2, 0, 0, 0, 0, 2, 2), good_body);
    wrong_magic[3] = '!';

    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"shorter than a header", std::vector<uint8_t>{'A', 'K', 'B', ' ', 2, 0, 2, 0}},
        {"difference header cut", difference_short},
        {"wrong magic", wrong_magic},
        {"rectangle past the right edge", Concat(Header(2, 2, 0, 0, 0, 0, 3, 2), good_body)},
        {"negative rectangle", Concat(Header(2, 2, 0, 0, -1, 0, 1, 2), good_body)},
        {"inverted rectangle", Concat(Header(2, 2, 0, 0, 2, 0, 0, 2), good_body)},
        {"body one byte short", truncated},
        {"body ends inside a match", cut_match},
        {"body one byte long", long_body},
        {"three-byte body without the flag", rgb_body_as_argb},
    };
    for (const auto& [what, file] : cases) {
        auto layer = MakeLayer(4, 4, 0x5A5A5A5A);
        RECT rect{-7, -7, -7, -7};
        EXPECT_FALSE(Decode(file, *layer, 0, 0, &rect)) << what;
        EXPECT_EQ(rect.left, -7) << what;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                ASSERT_EQ(PixelAt(*layer, x, y), 0x5A5A5A5Au) << what;
        // A new layer is decoded in one pass, and is refused all the same.
        auto blank = MakeLayer(4, 4);
        const CAkb akb(file.data(), file.size());
        EXPECT_FALSE(DecodeAkb(akb, blank.get(), 0, 0, &rect, 0, true)) << what;
        EXPECT_EQ(rect.left, -7) << what;
    }

    // A sound picture that does not fit where it is asked to go is refused as well.
    const std::vector<uint8_t> file = Concat(Header(2, 2, 0, 0, 0, 0, 2, 2), good_body);
    auto small = MakeLayer(2, 2, 0x5A5A5A5A);
    EXPECT_FALSE(Decode(file, *small, 1, 0));
    EXPECT_FALSE(Decode(file, *small, -1, 0));
    EXPECT_EQ(PixelAt(*small, 1, 0), 0x5A5A5A5Au);
    EXPECT_TRUE(Decode(file, *small, 0, 0));
}

TEST(CAkbTest, BaseNameIsReadWithinItsThirtyTwoBytes)
{
    tools::AkbPicture picture = tools::MakePicture(1, 1, 0xFF000000);
    tools::AkbOptions options;
    options.base_name = "bg01.png";
    std::vector<uint8_t> file = tools::EncodeAkb(picture, options);
    CAkb akb(file.data(), file.size());
    EXPECT_EQ(akb.GetKind(), CAkb::Kind::Difference);
    EXPECT_EQ(akb.GetBaseFileName(), "bg01.akb");
    EXPECT_TRUE(akb.IsWellFormed());

    // A name that fills all 32 bytes without a terminator or a dot stops at the field's end.
    std::memset(file.data() + 32, 'n', 32);
    CAkb unterminated(file.data(), file.size());
    EXPECT_EQ(unterminated.GetBaseFileName(), std::string(32, 'n') + ".akb");
}

namespace {

// A memory layer over pages of its own, so that a test can make rows of it read-only: a decode
// that stores into them faults. 1024 pixels a row make each row one page.
class PagedLayer : public CDIB
{
public:
    static constexpr int WIDTH = 1024;

    explicit PagedLayer(int height)
        : m_bytes(size_t{WIDTH} * 4 * static_cast<size_t>(height))
    {
        FillHeader(WIDTH, height);
        void* pages = ::mmap(nullptr, m_bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        m_bits = pages != MAP_FAILED ? static_cast<uint8_t*>(pages) : nullptr;
    }
    ~PagedLayer() override
    {
        if (m_bits != nullptr)
            ::munmap(m_bits, m_bytes);
        m_bits = nullptr;
    }
    // Picture rows [first, last) read-only (rows lie bottom-up in memory).
    void Protect(int first, int last, int protection)
    {
        for (int y = first; y < last; ++y)
            ::mprotect(GetPixelPtr(0, y), size_t{WIDTH} * 4, protection);
    }

private:
    size_t m_bytes;
};

} // namespace

// A sheet's blank parts cost nothing: decoded into a new layer, the rows the picture leaves clear
// are neither read nor stored into (a page first read costs memory as one written does), also
// below a drawn band, where the filtered bytes step back to zero. Over a layer that holds pixels
// the same picture still clears them.
TEST(CAkbTest, ClearRowsOfAPictureAreNotTouchedInANewLayer)
{
    constexpr int HEIGHT = 64;
    tools::AkbPicture picture = tools::MakePicture(PagedLayer::WIDTH, HEIGHT, 0);
    const tools::AkbPicture band = TestPicture(PagedLayer::WIDTH, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 100; x < 900; ++x)
            picture.At(x, 20 + y) = band.At(x, y) | 0xFF000000u;
    const std::vector<uint8_t> file = tools::EncodeAkb(picture, {});
    const CAkb akb(file.data(), file.size());

    PagedLayer layer(HEIGHT);
    ASSERT_NE(layer.GetBits(), nullptr);
    // The band's rows and the row under it (its filtered bytes undo the band) may be touched.
    layer.Protect(0, 20, PROT_NONE);
    layer.Protect(29, HEIGHT, PROT_NONE);
    EXPECT_EXIT(std::_Exit(DecodeAkb(akb, &layer, 0, 0, nullptr, 0, true) ? 0 : 1),
                ::testing::ExitedWithCode(0), "")
        << "a clear row was touched";
    ASSERT_TRUE(DecodeAkb(akb, &layer, 0, 0, nullptr, 0, true));
    layer.Protect(0, HEIGHT, PROT_READ | PROT_WRITE);
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < PagedLayer::WIDTH; ++x)
            ASSERT_EQ(PixelAt(layer, x, y), picture.At(x, y)) << x << "," << y;

    // A picture of every kind of row decodes alike both ways.
    const tools::AkbPicture busy = TestPicture(300, 90);
    const std::vector<uint8_t> busy_file = tools::EncodeAkb(busy, {});
    const CAkb busy_akb(busy_file.data(), busy_file.size());
    auto blank = MakeLayer(300, 90);
    ASSERT_TRUE(DecodeAkb(busy_akb, blank.get(), 0, 0, nullptr, 0, true));
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 300; ++x)
            ASSERT_EQ(PixelAt(*blank, x, y), busy.At(x, y)) << x << "," << y;

    auto held = MakeLayer(PagedLayer::WIDTH, HEIGHT, 0x55555555u);
    ASSERT_TRUE(Decode(file, *held));
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < PagedLayer::WIDTH; ++x)
            ASSERT_EQ(PixelAt(*held, x, y), picture.At(x, y)) << x << "," << y;
}
