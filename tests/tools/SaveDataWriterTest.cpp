// flagwrite's other files: save data and already-read files from listings, the damage statements,
// and dumps that a listing parser turns back into the same bytes.

#include "flagwrite/SaveDataWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>

using Bytes = std::vector<uint8_t>;
using tools::GameFileKind;

TEST(SaveDataWriterTest, RecordsAreKeyCountAndValues)
{
    EXPECT_EQ(tools::WriteGameFile(GameFileKind::SaveData, "record 2 1\nvalue 5\n"),
              (Bytes{1, 0, 0, 0, 1, 0, 2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(tools::WriteGameFile(GameFileKind::SaveData, "record 65535 3\nvalue text ab\n"),
              (Bytes{1, 0, 0, 0, 3, 0, 0xFF, 0xFF, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 'a', 'b'}));
    EXPECT_EQ(tools::WriteGameFile(GameFileKind::SaveData, ""), (Bytes{0, 0, 0, 0}));
}

TEST(SaveDataWriterTest, AlreadyReadBitsCountFromTheTopBit)
{
    EXPECT_EQ(tools::WriteGameFile(GameFileKind::ReadBuffer, "messages 9\nread 0\nread 7\nread 8\n"),
              (Bytes{0x81, 0x80}));
    EXPECT_EQ(tools::WriteGameFile(GameFileKind::ReadBuffer, "messages 0\n"), Bytes{});
}

TEST(SaveDataWriterTest, DamageCutsAndOverwrites)
{
    EXPECT_EQ(tools::WriteGameFile(GameFileKind::ReadBuffer, "messages 32\ntruncate 2\npatch 1 0xff 7\npatch 5 1"),
              (Bytes{0, 0xFF, 7, 0, 0, 1}));
}

TEST(SaveDataWriterTest, DumpsReadBackToTheSameBytes)
{
    const std::vector<std::pair<GameFileKind, std::string>> listings = {
        {GameFileKind::SaveData, "record 1 1\nvalue 42\nvalue text 雪\nrecord 65535 0\nvalue -1\n"},
        {GameFileKind::ReadBuffer, "messages 64\nread 0\nread 9\nread 63\n"},
        {GameFileKind::Flag, "name a.mes\nvalues 3\nvalue 2 text x\nflags 2\nflag 1 9\nwords 1\nword 0 65535\n"
                             "variables 1\nvariable 0 -5\nbytes 2\nbyte 1 1\n"},
    };
    for (const auto& [kind, listing] : listings) {
        SCOPED_TRACE(listing);
        const Bytes file = tools::WriteGameFile(kind, listing);
        const std::string dump = tools::DumpGameFile(kind, file);
        EXPECT_EQ(tools::WriteGameFile(kind, dump), file) << dump;
    }
    EXPECT_EQ(tools::DumpGameFile(GameFileKind::SaveData, Bytes{1, 0, 0, 0}),
              "# not a whole save data file (4 bytes)\n");
    EXPECT_EQ(tools::DumpGameFile(GameFileKind::Flag, tools::WriteGameFile(GameFileKind::Flag, "patch 952 0")),
              "# not a whole flag file (953 bytes)\n");
}

TEST(SaveDataWriterTest, MistakesNameTheirLine)
{
    struct Mistake
    {
        GameFileKind kind;
        std::string listing;
        std::string line;
    };
    const std::vector<Mistake> mistakes = {
        {GameFileKind::SaveData, "value 1\n", "line 1: "},
        {GameFileKind::SaveData, "record 1 1\nrecord 70000 1\n", "line 2: "},
        {GameFileKind::ReadBuffer, "messages 8\nread 8\n", "line 2: "},
        {GameFileKind::ReadBuffer, "messages 8\n\nbogus\n", "line 3: "},
        {GameFileKind::Flag, "flags 1\npatch 0 256\n", "line 2: "},
    };
    for (const Mistake& mistake : mistakes) {
        SCOPED_TRACE(mistake.listing);
        try {
            tools::WriteGameFile(mistake.kind, mistake.listing);
            ADD_FAILURE() << "accepted";
        } catch (const std::invalid_argument& error) {
            EXPECT_EQ(std::string(error.what()).substr(0, mistake.line.size()), mistake.line) << error.what();
        }
    }
}
