#include "script/vm/CScript.h"

#include <gtest/gtest.h>

#include <fstream>

#include "../ScriptTestFixture.h"
#include "foundation/CArchiveManager.h"
#include "foundation/CString.h"
#include "mesasm/MesAssembler.h"
#include "script/ScriptState.h"
#include "support/TempDir.h"

using ::testing::ElementsAre;

namespace {

std::vector<uint8_t> Le32(std::initializer_list<uint32_t> words)
{
    std::vector<uint8_t> bytes;
    for (uint32_t word : words) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<uint8_t>(word >> shift));
    }
    return bytes;
}

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

class CScriptTest : public ScriptTest
{};

TEST_F(CScriptTest, ScriptWithoutTablesStartsRightAfterTheCounts)
{
    auto script = std::make_shared<CScript>();
    ASSERT_TRUE(script->LoadImage(Concat(Le32({0, 0}), {0x32, 0, 0, 0, 9, 0x00}), CStringUTF8("a.mes")));
    EXPECT_EQ(script->ReadCode(0), 0x32);
    EXPECT_EQ(script->ReadCode(0), 0x32);
    EXPECT_EQ(script->GetPosition(), 0u);
    EXPECT_EQ(script->ReadCode(1), 0x32);
    EXPECT_EQ(script->GetPosition(), 1u);
    EXPECT_STREQ(script->GetName().GetText(), "a.mes");
    EXPECT_EQ(script->GetCodeSize(), 6u);
}

TEST_F(CScriptTest, TableJumpsGoToTheStoredOffsetsFromAnywhere)
{
    // Two resume points (offsets 3 and 1) and one choice point (offset 2) over 4 code bytes.
    auto script = std::make_shared<CScript>();
    ASSERT_TRUE(script->LoadImage(Concat(Le32({2, 1, 3, 1, 2}), {0xA, 0xB, 0xC, 0xD}), CStringUTF8("t.mes")));
    script->SetPosition(3);
    EXPECT_EQ(script->JumpToTableA(1), 1u);
    EXPECT_EQ(script->ReadCode(0), 0xB);
    EXPECT_EQ(script->JumpToTableA(0), 3u);
    EXPECT_EQ(script->JumpToTableB(0), 2u);
    EXPECT_EQ(script->ReadCode(1), 0xC);
    EXPECT_TRUE(TakeMessageBoxes().empty());
}

TEST_F(CScriptTest, TableIndexOutsideTheTableIsReportedAndEndsTheCode)
{
    auto script = std::make_shared<CScript>();
    ASSERT_TRUE(script->LoadImage(Concat(Le32({1, 0, 0}), {0x32, 0, 0, 0, 1}), CStringUTF8("t.mes")));
    EXPECT_EQ(script->JumpToTableA(1), 5u);
    EXPECT_EQ(script->ReadCode(1), 0); // the END instruction
    EXPECT_EQ(script->GetPosition(), 5u);
    EXPECT_EQ(script->JumpToTableB(0), 5u);
    EXPECT_EQ(script->SetPosition(6), 5u);
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0], "再開位置 1 は再開テーブルの範囲外です（1 個）");
    EXPECT_EQ(boxes[1], "選択位置 0 は選択テーブルの範囲外です（0 個）");
}

TEST_F(CScriptTest, MalformedFilesAreRefusedAndRunAsAnImmediateEnd)
{
    struct Case
    {
        const char* what;
        std::vector<uint8_t> file;
    };
    const std::vector<Case> cases = {
        {"empty", {}},
        {"shorter than the counts", {1, 0, 0, 0, 0, 0, 0}},
        {"huge counts", Concat(Le32({0xFFFFFFFF, 0xFFFFFFFF}), {0x32, 0, 0, 0, 1})},
        {"counts that wrap in 32 bits", Concat(Le32({0x40000000, 0x40000000}), {0x32, 0, 0, 0, 1})},
        {"one table entry more than the file holds", Concat(Le32({2, 0, 0}), {})},
        {"resume entry past the code", Concat(Le32({1, 0, 6}), {0x32, 0, 0, 0, 1})},
        {"choice entry past the code", Concat(Le32({0, 1, 0xFFFFFFF0}), {0x00})},
    };
    for (const Case& bad : cases) {
        SCOPED_TRACE(bad.what);
        auto script = std::make_shared<CScript>();
        EXPECT_FALSE(script->LoadImage(bad.file, CStringUTF8("bad.mes")));
        EXPECT_EQ(script->GetCodeSize(), 0u);
        const std::vector<std::string> boxes = TakeMessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].find("スクリプトファイル bad.mes は使用できません："), std::string::npos) << boxes[0];
        GetScriptState().ReplaceScript(script);
        EXPECT_EQ(StepCurrent(), CVeskDoc::DOCUMENT_SCRIPT_END);
        EXPECT_TRUE(script->JumpToTableA(0) == 0);
        TakeMessageBoxes();
    }
}

TEST_F(CScriptTest, EntryAtTheVeryEndOfTheCodeIsAccepted)
{
    auto script = std::make_shared<CScript>();
    EXPECT_TRUE(script->LoadImage(Concat(Le32({1, 0, 2}), {0x01, 0x02}), CStringUTF8("t.mes")));
    EXPECT_EQ(script->JumpToTableA(0), 2u);
    EXPECT_EQ(script->ReadCode(1), 0);
}

TEST_F(CScriptTest, LiveCountFollowsTheLastReference)
{
    const int before = CScript::GetLiveScriptCount();
    auto script = std::make_shared<CScript>();
    EXPECT_EQ(CScript::GetLiveScriptCount(), before + 1);
    CodeAddress address = script->GetCodeAddress();
    std::weak_ptr<CScript> watch = script;
    script.reset();
    EXPECT_FALSE(watch.expired()); // the code address holds it
    address.Script.reset();
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(CScript::GetLiveScriptCount(), before);
}

class CScriptArchiveTest : public ScriptTest
{
protected:
    // Packs the sources into an LZSS script archive and opens it as the shared script archive.
    void OpenArchive(const std::vector<tools::ScriptSource>& sources)
    {
        const tools::AssembledArchive archive =
            tools::BuildScriptArchive(sources, tools::ArchiveEncoding::Lzss);
        ASSERT_TRUE(archive.Ok) << archive.Error;
        const std::string path = m_dir.PathOf("script.arc");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(archive.File.data()),
                   static_cast<std::streamsize>(archive.File.size()));
        CScript::SetScriptArchive(std::make_unique<CArchiveManager>(CStringUTF8(path.c_str()), true, true));
    }

    TempDir m_dir;
};

TEST_F(CScriptArchiveTest, ScriptsLoadFromTheArchiveWhichClosesWithTheLastOne)
{
    OpenArchive({{"start.mes", ".resume go\npush 1\ngo: push 2\nend"}, {"other.mes", "push 3\nend"}});
    auto start = std::make_shared<CScript>();
    ASSERT_TRUE(start->Load(CStringUTF8("start.mes")));
    EXPECT_EQ(start->GetResumeCount(), 1u);
    EXPECT_EQ(start->JumpToTableA(0), 5u);
    auto other = std::make_shared<CScript>();
    ASSERT_TRUE(other->Load(CStringUTF8("other.mes")));
    start->SetPosition(0);
    Run(start);
    EXPECT_THAT(StackIntegers(), ElementsAre(1, 2));
    EXPECT_STREQ(start->GetName().GetText(), "start.mes");

    start.reset();
    EXPECT_NE(CScript::GetScriptArchive(), nullptr); // "other" still lives
    other.reset();
    EXPECT_EQ(CScript::GetScriptArchive(), nullptr);
}

TEST_F(CScriptArchiveTest, MissingEntryIsThrownByTheArchive)
{
    OpenArchive({{"start.mes", "end"}});
    auto script = std::make_shared<CScript>();
    try {
        script->Load(CStringUTF8("absent.mes"));
        ADD_FAILURE() << "nothing thrown";
    } catch (const CString& error) {
        EXPECT_STREQ(error.GetText(), "ファイルオープンエラー\nabsent.mes");
    }
}

TEST_F(CScriptArchiveTest, LoadWithoutAnArchiveIsRefused)
{
    CScript::SetScriptArchive(nullptr);
    auto script = std::make_shared<CScript>();
    EXPECT_FALSE(script->Load(CStringUTF8("start.mes")));
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "スクリプトファイル start.mes は使用できません：スクリプトアーカイブが開かれていません");
}
