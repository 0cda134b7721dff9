// The demo's story tables ("story" and "trip", read by the scripts through the language-table
// command): every line the Japanese table has is there in each language, and the English lines
// are English, so no screen mixes a language into another.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "mapwrite/MapTableWriter.h"

namespace {

std::map<int32_t, std::u16string> Table(const std::string& name)
{
    std::ifstream file(std::filesystem::path(std::getenv("VESK_SOURCE_DIR")) / "demo/text" / name);
    const std::string listing((std::istreambuf_iterator<char>(file)), {});
    std::map<int32_t, std::u16string> texts;
    for (tools::MapText& text : tools::ParseMapListing(listing))
        texts.emplace(text.id, std::move(text.text));
    return texts;
}

bool HasKanaOrKanji(const std::u16string& text)
{
    for (const char16_t c : text)
        if ((c >= 0x3040 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF))
            return true;
    return false;
}

TEST(DemoTextTables, EveryStoryLineIsThereInEachLanguage)
{
    for (const std::string base : {"story", "trip"}) {
        SCOPED_TRACE(base);
        const std::map<int32_t, std::u16string> japanese = Table(base + ".txt");
        ASSERT_FALSE(japanese.empty());
        for (const char* suffix : {"_en", "_cn", "_tw"}) {
            SCOPED_TRACE(suffix);
            const std::map<int32_t, std::u16string> other = Table(base + suffix + ".txt");
            for (const auto& [id, text] : japanese) {
                const auto found = other.find(id);
                ASSERT_NE(found, other.end()) << "line " << id << " missing";
                EXPECT_FALSE(found->second.empty()) << id;
                if (std::string(suffix) == "_en") {
                    EXPECT_FALSE(HasKanaOrKanji(found->second)) << "line " << id << " is not English";
                }
            }
            EXPECT_EQ(other.size(), japanese.size()) << "lines the Japanese table lacks";
        }
    }
}

} // namespace
