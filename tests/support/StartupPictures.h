#pragma once
// The pictures the game's start-up loads besides the cursor (the calendar plate's sheet in every
// language's name, the icon sheet, the message window's, the side menu's and the save screens'
// parts), as tiny
// placeholders: a test's game folder that lacks them would see a message box for each at start-up.

#include <vector>

#include "arcpack/ArchiveWriter.h"

std::vector<tools::ArchiveEntry> StartupPictureEntries();
// The data files the start-up reads: the message window's and the side menu's areas.
std::vector<tools::ArchiveEntry> StartupDataEntries();
