// The Ogg writer: what it writes decodes back to its samples' length and channels with the
// comments given, and its damaged variants are damaged where they say.

#include "oggwriter/OggWriter.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(OggWriter, WritesStreamsThatDecodeToTheirLength)
{
    struct Case
    {
        uint16_t channels;
        size_t frames;
    };
    for (const Case& c : {Case{1, 20'000}, Case{2, 20'000}, Case{1, 200'000}, Case{2, 200'000}}) {
        SCOPED_TRACE(testing::Message() << c.channels << " x " << c.frames);
        tools::OggContents ogg;
        ogg.channels = c.channels;
        ogg.samples = tools::SineSamples(c.frames, c.channels, 440.0, 3000.0);
        ogg.comments = tools::OggLoopComments(100, 900);
        const std::vector<uint8_t> file = tools::WriteOgg(ogg);
        ASSERT_GT(file.size(), 100u);
        EXPECT_EQ(std::memcmp(file.data(), "OggS", 4), 0);
        const tools::PlainOggDecoding decoded = tools::DecodeOggPlain(file);
        EXPECT_EQ(decoded.channels, c.channels);
        EXPECT_EQ(decoded.granule, static_cast<int64_t>(c.frames));
        EXPECT_EQ(decoded.samples.size(), c.frames * c.channels);
        const std::string text(file.begin(), file.end());
        EXPECT_NE(text.find("SampleStart=100"), std::string::npos);
        EXPECT_NE(text.find("SampleEnd=900"), std::string::npos);
    }
}

TEST(OggWriter, DamagedVariants)
{
    tools::OggContents ogg;
    ogg.samples = tools::SineSamples(30'000, 1, 440.0, 3000.0);
    const std::vector<uint8_t> file = tools::WriteOgg(ogg);
    const std::vector<uint8_t> cut = tools::CutAfterIdentification(file);
    // The first page holds the 30-byte identification packet alone: a 28-byte header around it.
    ASSERT_EQ(cut.size(), 58u);
    EXPECT_TRUE(std::equal(cut.begin(), cut.end(), file.begin()));
    EXPECT_TRUE(tools::DecodeOggPlain(cut).samples.empty());

    const tools::PlainOggDecoding longer = tools::DecodeOggPlain(tools::WithLastGranule(file, 90'000));
    EXPECT_EQ(longer.granule, 90'000) << "the page still passes its checksum";
    // The end is no longer trimmed to the claimed length: at most one block more comes out.
    EXPECT_LE(longer.samples.size(), 30'000u + 2048u) << "but holds what it held";

    const std::vector<uint8_t> prefixed = tools::WithGarbagePrefix(file, 5000);
    ASSERT_EQ(prefixed.size(), file.size() + 5000);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), prefixed.begin() + 5000));
    EXPECT_EQ(std::string(prefixed.begin(), prefixed.begin() + 5000).find("OggS"), std::string::npos);
}
