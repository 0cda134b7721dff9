#pragma once
// A game folder made for the document's tests: "data.arc" with the four system language tables,
// "layer.arc" with the cursor sheet and "script.arc" with assembled scripts, all written by the
// tools, in a working folder that is current while the fixture lives, with a test application
// object over it and the live headless display the application makes before the start-up.
// Message boxes are recorded instead of shown.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "TestApp.h"
#include "support/HeadlessDisplay.h"
#include "support/ThreadTest.h"
#include "support/WorkingDir.h"

class CVeskDoc;

class DocumentFixture : public ThreadTest
{
protected:
    DocumentFixture();
    ~DocumentFixture() override;

    // Assembles each source (failing the test on an error) and writes them as "script.arc".
    void WriteScripts(const std::map<std::string, std::string>& sources);
    // Writes the default scripts and the other archives, then starts the game.
    CVeskDoc* StartDocument();
    std::vector<std::string> TakeMessageBoxes();

    WorkingDir m_dir;
    TestApp m_app;
    HeadlessDisplay m_display;
    std::vector<std::string> m_boxes;
};

// The text of the system table entry id in each language file, as the data archive holds it.
std::string SystemText(int id, int language);
