#include <stdexcept>

#include <gtest/gtest.h>

#include "flagpack/FlagImageWriter.h"
#include "foundation/NameScramble.h"

using Bytes = std::vector<uint8_t>;

TEST(FlagImageWriter, LaysOutCountRecordsAndStreams)
{
    const tools::ArchiveEntry entries[] = {{"F0", {}}, {"G", {'x'}}};
    const Bytes image = tools::BuildFlagImage(entries);
    ASSERT_EQ(image.size(), 4 + 2 * 272 + 2u); // "x" is one flag byte and one literal
    EXPECT_EQ(Bytes(image.begin(), image.begin() + 4), (Bytes{2, 0, 0, 0}));
    Bytes first(image.begin() + 4, image.begin() + 4 + 272);
    EXPECT_EQ(first[0], ScrambleNameByte('F', 0));
    EXPECT_EQ(first[1], ScrambleNameByte('0', 1));
    EXPECT_EQ(Bytes(first.begin() + 2, first.begin() + 260), Bytes(258, 0));
    EXPECT_EQ(Bytes(first.begin() + 260, first.end()), (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x02, 0x24}));
    const Bytes second(image.begin() + 276, image.begin() + 276 + 272);
    EXPECT_EQ(second[0], ScrambleNameByte('G', 0));
    EXPECT_EQ(Bytes(second.begin() + 260, second.end()), (Bytes{0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0x02, 0x24}));
    EXPECT_EQ(Bytes(image.end() - 2, image.end()), (Bytes{0x01, 'x'}));
}

TEST(FlagImageWriter, RefusesNamesTheRecordCannotHold)
{
    for (const std::string& name : {std::string(), std::string(260, 'A'), std::string("A\0B", 3)}) {
        const tools::ArchiveEntry entries[] = {{name, {}}};
        EXPECT_THROW(tools::BuildFlagImage(entries), std::invalid_argument);
    }
    const tools::ArchiveEntry longest[] = {{std::string(259, 'A'), {}}};
    EXPECT_NO_THROW(tools::BuildFlagImage(longest));
}
