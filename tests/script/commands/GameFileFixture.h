#pragma once
// Script tests over a save folder: a fresh working folder that is also the application's save
// folder, with the tool's writers and dumps of the game-state files in it.

#include <string>
#include <vector>

#include "app/TestApp.h"
#include "flagwrite/SaveDataWriter.h"
#include "script/ScriptTestFixture.h"
#include "support/WorkingDir.h"

class GameFileTest : public ScriptTest
{
protected:
    using Bytes = std::vector<uint8_t>;

    GameFileTest()
    {
        m_folder = m_dir.Path().string() + "/";
        m_app.SetSaveFolders(m_folder.c_str(), "");
    }

    // Assembles and runs the source to its end.
    void RunSource(const std::string& source) { Run(Assemble(source)); }

    void Put(const std::string& name, tools::GameFileKind kind, const std::string& listing)
    {
        m_dir.Write(name, tools::WriteGameFile(kind, listing));
    }
    Bytes Get(const std::string& name) const { return m_dir.Read(name); }
    // The file's bytes as the tool writes the listing, with both dumps on a mismatch.
    void ExpectFile(const std::string& name, tools::GameFileKind kind, const std::string& listing) const
    {
        const Bytes expected = tools::WriteGameFile(kind, listing);
        const Bytes actual = Get(name);
        EXPECT_EQ(actual, expected) << name << " holds:\n"
                                    << tools::DumpGameFile(kind, actual) << "expected:\n"
                                    << tools::DumpGameFile(kind, expected);
    }

    WorkingDir m_dir;
    TestApp m_app;
    std::string m_folder;
};
