#pragma once
// What the fuzz targets share: a headless process set up once, and inputs handed to readers that
// want a file, through files of the process's own scratch folder.

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/CWinApp.h"
#include "foundation/CStringUTF8.h"

// Headless drivers, message boxes answered at once without showing anything. Idempotent.
void PrepareFuzzProcess();

// Writes the bytes to the named file of the scratch folder (replacing it) and returns its path.
CStringUTF8 WriteFuzzFile(const std::string& name, const uint8_t* data, size_t size);

// The process's scratch folder, created on first use.
std::string FuzzScratchFolder();

// Stands for the application: each nested frame loop pumps messages once a step, so a budget of
// pumps bounds the steps of shifted runs as the player's quit would end them in the game. The
// save folder it names is the scratch folder.
class FuzzApp : public CWinApp
{
public:
    int InitInstance() override { return 1; }
    int Run() override { return 0; }
    int ExitInstance() override { return 0; }
    UINT PumpMessage() override { return m_pumps_left > 0 ? (--m_pumps_left, 1) : 0; }
    CStringUTF8 GetAppString() override { return CStringUTF8(FuzzScratchFolder() + "/"); }

    int m_pumps_left = 0;
};

// The process's application from the first call on, never destroyed.
FuzzApp& FuzzApplication();
