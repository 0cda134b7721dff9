#include "sound/SoundSystem.h"

#include "SoundTestSupport.h"
#include "app/AppMessageBox.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

class SoundPoolThreadTest : public SoundThreadTest
{
protected:
    void SetUp() override
    {
        SoundThreadTest::SetUp();
        SetAppMessageBoxHook([this](UINT, const CStringUTF8& text) {
            m_messages.emplace_back(text.GetText());
            return 1;
        });
    }
    void TearDown() override
    {
        SetAppMessageBoxHook(nullptr);
        SoundThreadTest::TearDown();
    }
    std::vector<std::string> m_messages;
};

} // namespace

TEST_F(SoundPoolThreadTest, EachBlockTakesTheNextMultipleOf64KiBAboveItsSize)
{
    EXPECT_EQ(GetSoundMemoryFree(), 17'130'016u);
    void* small = AllocSoundMemory(65'536);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(GetSoundMemoryFree(), 17'130'016u - 131'072u);
    void* work = AllocSoundMemory(1'048'576);
    ASSERT_NE(work, nullptr);
    EXPECT_EQ(GetSoundMemoryFree(), 17'130'016u - 131'072u - 1'114'112u);
    // Giving back counts the size asked for, not the rounded size.
    FreeSoundMemory(work, 1'048'576);
    EXPECT_EQ(GetSoundMemoryFree(), 17'130'016u - 131'072u - 65'536u);
    FreeSoundMemory(small, 65'536);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(SoundPoolThreadTest, ARequestAboveTheFreeCountFailsSilently)
{
    EXPECT_EQ(AllocSoundMemory(17'130'017), nullptr);
    EXPECT_EQ(GetSoundMemoryFree(), 17'130'016u);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(SoundPoolThreadTest, ARoundedSizeBeyondTheFreeCountWarnsAndEmptiesThePool)
{
    void* block = AllocSoundMemory(17'130'000); // fits, but its rounded size does not
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(m_messages, std::vector<std::string>{"Sound Buffer Memory out"});
    EXPECT_EQ(GetSoundMemoryFree(), 0u);
    EXPECT_EQ(AllocSoundMemory(1), nullptr);
    FreeSoundMemory(block, 17'130'000);
}

// Returning a block that is not the last one taken must not let a later block land on one
// still in use.
TEST_F(SoundPoolThreadTest, BlocksNeverOverlapWhateverTheOrderOfGivingBack)
{
    constexpr uint32_t SIZE = 1'048'576;
    auto* first = static_cast<uint8_t*>(AllocSoundMemory(SIZE));
    auto* second = static_cast<uint8_t*>(AllocSoundMemory(SIZE));
    ASSERT_TRUE(first && second);
    std::memset(second, 0xA5, SIZE);
    FreeSoundMemory(first, SIZE);
    auto* third = static_cast<uint8_t*>(AllocSoundMemory(SIZE));
    ASSERT_NE(third, nullptr);
    EXPECT_TRUE(third + SIZE <= second || second + SIZE <= third);
    std::memset(third, 0x11, SIZE);
    for (uint32_t i = 0; i < SIZE; i += 4093)
        ASSERT_EQ(second[i], 0xA5) << "byte " << i << " of a block in use was overwritten";
    EXPECT_EQ(GetSoundMemoryFree(), 17'130'016u - 3 * 1'114'112u + SIZE);
    FreeSoundMemory(second, SIZE);
    FreeSoundMemory(third, SIZE);
}

TEST_F(SoundPoolThreadTest, ReleasingTwiceIsHarmlessAndEmptiesEverything)
{
    ReleaseSoundSystem();
    ReleaseSoundSystem();
    EXPECT_EQ(g_direct_sound, nullptr);
    EXPECT_EQ(g_primary_buffer, nullptr);
    EXPECT_EQ(GetSoundMemoryFree(), 0u);
    EXPECT_EQ(AllocSoundMemory(16), nullptr);
}
