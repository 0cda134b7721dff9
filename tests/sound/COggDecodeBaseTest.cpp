// The decoder against a plain libvorbis loop over the same files: block by block, sample for
// sample; its end states, header errors, entry bounds, length and loop comments.

#include "sound/COggDecodeBase.h"

#include "OggTestSupport.h"
#include "platform/kernel/FileApi.h"
#include "platform/user/MessageBoxApi.h"
#include "platform/user/ScriptedMessageBoxPolicy.h"
#include "sound/CWaveSoundThread.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr WAVEFORMATEX STEREO = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
constexpr WAVEFORMATEX MONO = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};

class OggDecodeTest : public ::testing::Test
{
protected:
    ~OggDecodeTest() override
    {
        for (HANDLE file : m_files)
            CloseHandle(file);
    }

    // Opens the decoder on a fresh one-second output buffer of the format.
    void OpenDecoder(const WAVEFORMATEX& format)
    {
        m_decoder = std::make_unique<COggDecodeUser>();
        m_work.assign(1'048'576, 0);
        m_output.assign(format.nAvgBytesPerSec, 0);
        ASSERT_TRUE(m_decoder->Open(format, m_work.data(), static_cast<uint32_t>(m_work.size()),
                                    m_output.data(), static_cast<uint32_t>(m_output.size())));
    }
    // The entry with other bytes before and after it in one file.
    bool Attach(const std::vector<uint8_t>& entry, const std::vector<uint8_t>& before = {},
                const std::vector<uint8_t>& after = {})
    {
        std::vector<uint8_t> bytes = before;
        bytes.insert(bytes.end(), entry.begin(), entry.end());
        bytes.insert(bytes.end(), after.begin(), after.end());
        HANDLE file = OpenBytes(m_dir.PathOf("entry" + std::to_string(m_files.size()) + ".bin"), bytes);
        m_files.push_back(file);
        SetFilePointer(file, static_cast<LONG>(before.size()), nullptr, FILE_BEGIN);
        return m_decoder->Attach(file, static_cast<uint32_t>(entry.size()),
                                 static_cast<uint32_t>(before.size()), &m_loop);
    }
    // Every block up to the end state 2, joined; the sizes of the blocks in blocks.
    std::vector<int16_t> DecodeBlocks(std::vector<uint32_t>* blocks = nullptr)
    {
        std::vector<int16_t> out;
        for (int guard = 0; guard < 1000; ++guard) {
            int32_t end = -9;
            uint32_t bytes = 0;
            EXPECT_TRUE(m_decoder->GetOutput(&end, &bytes));
            const size_t old = out.size();
            out.resize(old + bytes / 2);
            std::memcpy(out.data() + old, m_output.data(), bytes);
            if (blocks && bytes > 0)
                blocks->push_back(bytes);
            if (end >= COggDecodeBase::END_ALL_DELIVERED)
                break;
        }
        return out;
    }
    std::vector<std::u16string> BoxTexts() const
    {
        std::vector<std::u16string> texts;
        for (const platform::MessageBoxRequest& box : m_boxes.Shown()) {
            EXPECT_EQ(box.caption, u"エラー");
            EXPECT_EQ(box.type, MB_ICONERROR | MB_TOPMOST);
            texts.push_back(box.text);
        }
        return texts;
    }

    TempDir m_dir;
    std::vector<HANDLE> m_files;
    platform::ScriptedMessageBoxPolicy m_boxes;
    std::vector<uint8_t> m_work;
    std::vector<uint8_t> m_output;
    std::unique_ptr<COggDecodeUser> m_decoder = std::make_unique<COggDecodeUser>();
    WaveLoopRecord m_loop{0, 0, CWaveSoundThread::NO_LOOP, 7, 0, 0};
};

} // namespace

TEST_F(OggDecodeTest, BlocksEqualAPlainDecodingLoop)
{
    struct Case
    {
        const char* name;
        uint32_t frames;
        uint16_t channels;
        WAVEFORMATEX format;
    };
    // Stereo into the mono voice format stays interleaved stereo: the channels are the stream's.
    for (const Case& c : {Case{"stereo", 150'000, 2, STEREO}, Case{"mono", 110'000, 1, MONO},
                          Case{"stereo into mono", 100'000, 2, MONO}}) {
        SCOPED_TRACE(c.name);
        OpenDecoder(c.format);
        const std::vector<uint8_t> file = QuietOgg(c.frames, c.channels);
        const ReferenceDecoding reference = DecodeReference(file);
        ASSERT_TRUE(Attach(file));
        EXPECT_EQ(m_decoder->GetChannels(), c.channels);
        EXPECT_EQ(m_decoder->GetTotalBytes(), reference.granule * c.channels * 2);
        EXPECT_EQ(reference.granule, c.frames);
        std::vector<uint32_t> blocks;
        std::vector<int16_t> decoded = DecodeBlocks(&blocks);
        ASSERT_FALSE(blocks.empty());
        const uint32_t second = c.format.nAvgBytesPerSec; // a copy: the format is packed
        for (size_t i = 0; i + 1 < blocks.size(); ++i)
            EXPECT_EQ(blocks[i], second) << "block " << i << " is not a full second";
        // The last block may be a second padded with silence.
        ASSERT_GE(decoded.size(), reference.samples.size());
        EXPECT_TRUE(std::all_of(decoded.begin() + static_cast<std::ptrdiff_t>(reference.samples.size()),
                                decoded.end(), [](int16_t s) { return s == 0; }));
        decoded.resize(reference.samples.size());
        for (size_t i = 0; i < decoded.size(); ++i)
            ASSERT_EQ(decoded[i], reference.samples[i]) << "sample " << i;
        EXPECT_TRUE(BoxTexts().empty());
    }
}

TEST_F(OggDecodeTest, AnEntryUnderASecondEndsThroughStatesZeroTwoThree)
{
    OpenDecoder(MONO);
    const std::vector<uint8_t> file = QuietOgg(20'000, 1);
    const ReferenceDecoding reference = DecodeReference(file);
    ASSERT_TRUE(Attach(file));
    int32_t end = -9;
    uint32_t bytes = 99;
    ASSERT_TRUE(m_decoder->GetOutput(&end, &bytes));
    EXPECT_EQ(end, 0);
    EXPECT_EQ(bytes, 0u);
    ASSERT_TRUE(m_decoder->GetOutput(&end, &bytes));
    EXPECT_EQ(end, 2);
    EXPECT_EQ(bytes, reference.samples.size() * 2);
    EXPECT_EQ(std::memcmp(m_output.data(), reference.samples.data(), bytes), 0);
    for (int i = 0; i < 2; ++i) {
        std::fill(m_output.begin(), m_output.end(), 0x55);
        ASSERT_TRUE(m_decoder->GetOutput(&end, &bytes));
        EXPECT_EQ(end, 3);
        ASSERT_EQ(bytes, MONO.nAvgBytesPerSec);
        EXPECT_TRUE(std::all_of(m_output.begin(), m_output.end(), [](uint8_t b) { return b == 0; }));
    }
}

TEST_F(OggDecodeTest, BrokenHeadersFailWithTheirTexts)
{
    const std::vector<uint8_t> good = QuietOgg(30'000, 1);
    struct Case
    {
        const char* name;
        std::vector<uint8_t> bytes;
        std::u16string text;
    };
    const std::vector<Case> cases = {
        {"cut after the identification header", tools::CutAfterIdentification(good),
         u"データの構築に失敗しました。ファイルが不正です"},
        {"first page beyond 4096 bytes", tools::WithGarbagePrefix(good, 5000),
         u"return error [ ogg_sync_pageout() ]"},
        {"not Ogg at all", std::vector<uint8_t>(9000, 0x41), u"return error [ ogg_sync_pageout() ]"},
    };
    OpenDecoder(MONO);
    size_t boxes = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Attach(c.bytes));
        const std::vector<std::u16string> texts = BoxTexts();
        ASSERT_EQ(texts.size(), boxes + 1) << "one box per failure";
        EXPECT_EQ(texts.back(), c.text);
        boxes = texts.size();
        m_decoder->Reset();
    }
    // A failed decoder attaches again once reset.
    EXPECT_TRUE(Attach(good));
}

TEST_F(OggDecodeTest, TheReaderStaysInsideItsEntry)
{
    OpenDecoder(MONO);
    // An entry cut mid-stream (no end page), with another stream right behind it in the file.
    const std::vector<uint8_t> whole = QuietOgg(400'000, 1);
    const std::vector<uint8_t> entry(whole.begin(),
                                     whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
    const ReferenceDecoding reference = DecodeReference(whole);
    ASSERT_TRUE(Attach(entry, std::vector<uint8_t>(777, 0x4F), QuietOgg(88'200, 1)));
    std::vector<int16_t> decoded = DecodeBlocks();
    decoded.resize(std::min<size_t>(decoded.size(), m_decoder->GetTotalBytes() / 2));
    ASSERT_GT(decoded.size(), 0u);
    ASSERT_LT(decoded.size(), reference.samples.size() * 3 / 4) << "decoding went past the entry";
    for (size_t i = 0; i < decoded.size(); ++i)
        ASSERT_EQ(decoded[i], reference.samples[i]) << "sample " << i;
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(OggDecodeTest, LoopCommentsAreReadAfterTheKeysLength)
{
    struct Case
    {
        std::vector<std::string> comments;
        uint32_t start;
        uint32_t end;
    };
    const std::vector<Case> cases = {
        {{"SampleStart=44100", "SampleEnd=88200"}, 44100, 88200},
        {{"abcdeSampleStart=10"}, 0, 7},                 // read from byte 12: "tart=10"
        {{"TITLE=voice"}, CWaveSoundThread::NO_LOOP, 7}, // the owner's values stay
        {{"SampleStart=5", "SampleStart=6"}, 6, 7},      // a later comment wins
    };
    OpenDecoder(MONO);
    for (const Case& c : cases) {
        m_loop = {0, 0, CWaveSoundThread::NO_LOOP, 7, 0, 0};
        ASSERT_TRUE(Attach(QuietOgg(5000, 1, c.comments)));
        EXPECT_EQ(m_loop.start, c.start) << c.comments[0];
        EXPECT_EQ(m_loop.end, c.end) << c.comments[0];
        m_decoder->Reset();
    }
}

TEST_F(OggDecodeTest, AttachWithoutAHandleDecodesAgainFromTheStart)
{
    OpenDecoder(MONO);
    ASSERT_TRUE(Attach(QuietOgg(100'000, 1)));
    const std::vector<int16_t> first = DecodeBlocks();
    m_decoder->Reset();
    EXPECT_EQ(m_decoder->GetTotalBytes(), 0u);
    int32_t end = 0;
    uint32_t bytes = 0;
    EXPECT_FALSE(m_decoder->GetOutput(&end, &bytes)) << "a reset decoder has nothing to decode";
    ASSERT_TRUE(m_decoder->Attach(nullptr, 0, 0, nullptr));
    EXPECT_EQ(DecodeBlocks(), first);
}

TEST_F(OggDecodeTest, DecodeAllStopsAtTheEndOfItsBuffer)
{
    OpenDecoder(MONO);
    const std::vector<uint8_t> file = QuietOgg(100'000, 1);
    const ReferenceDecoding reference = DecodeReference(file);
    ASSERT_TRUE(Attach(file));
    int32_t end = 0;
    uint32_t bytes = 0;
    ASSERT_TRUE(m_decoder->DecodeAll(&end, &bytes));
    EXPECT_EQ(end, 2);
    ASSERT_EQ(bytes, m_output.size());
    EXPECT_EQ(std::memcmp(m_output.data(), reference.samples.data(), bytes), 0);
}

TEST_F(OggDecodeTest, EightBitOutputIsTheSameSamplesCentredOn128)
{
    constexpr WAVEFORMATEX MONO_8 = {WAVE_FORMAT_PCM, 1, 44100, 44100, 1, 8, 0};
    OpenDecoder(MONO_8);
    const std::vector<uint8_t> file = QuietOgg(30'000, 1);
    const ReferenceDecoding reference = DecodeReference(file);
    ASSERT_TRUE(Attach(file));
    EXPECT_EQ(m_decoder->GetTotalBytes(), 30'000u) << "one byte a frame";
    std::vector<uint8_t> decoded;
    for (int32_t end = 0; end < COggDecodeBase::END_ALL_DELIVERED;) {
        uint32_t bytes = 0;
        ASSERT_TRUE(m_decoder->GetOutput(&end, &bytes));
        decoded.insert(decoded.end(), m_output.begin(), m_output.begin() + bytes);
    }
    ASSERT_GE(decoded.size(), reference.samples.size());
    // Scaling by 128 instead of 32768 is exact in single precision: the 8-bit value is the 16-bit
    // one divided by 256, truncated the same way.
    for (size_t i = 0; i < reference.samples.size(); ++i)
        ASSERT_EQ(decoded[i], reference.samples[i] / 256 + 128) << "sample " << i;
    for (size_t i = reference.samples.size(); i < decoded.size(); ++i)
        ASSERT_EQ(decoded[i], 128) << "8-bit silence";
}
