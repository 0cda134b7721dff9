#pragma once
// The demo game's pictures, drawn by code: the cursor sheet (two frames of 64 x 64 in each of
// three rows), a full-screen background and a small title plate.

#include <string>
#include <utility>
#include <vector>

#include "akbwriter/AkbWriter.h"

namespace tools {

AkbPicture DrawCursorSheet();
AkbPicture DrawBackground(int32_t width, int32_t height);
AkbPicture DrawTitlePlate();

// Archive entry names and their AKB bytes.
std::vector<std::pair<std::string, std::vector<uint8_t>>> BuildDemoPictures();

} // namespace tools
