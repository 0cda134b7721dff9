#pragma once
// The pictures of the demo's train trip at dusk: the tall dusk sky the pan runs down, the station
// and the long train that pulls in along it, the line map with its blinking train for each time
// of day, the three layers of the platform view and the epilogue's snowy morning. Every colour a
// headless test reads is named here.

#include <string>
#include <utility>
#include <vector>

#include "akbwriter/AkbWriter.h"
#include "textpaint/LanguageWords.h"

namespace tools {

// "DUSK_PAN.AKB", 1920 x 2160: a night-blue upper half, then a sunset band over dark hills from
// row PAN_HILL_TOP; its caption in the top-left corner of each half.
inline constexpr uint32_t PAN_UPPER = 0xFF1E2858;
inline constexpr uint32_t PAN_SUNSET = 0xFFE08848;
inline constexpr uint32_t PAN_HILLS = 0xFF2A2030;
inline constexpr int32_t PAN_HILL_TOP = 1800;
AkbPicture DrawDuskPan(WordsLanguage language);

// "Y04BB.AKB": the station at dusk, a sky over a grey platform from row STATION_PLATFORM_TOP.
inline constexpr uint32_t STATION_SKY = 0xFFC8785A;
inline constexpr uint32_t STATION_PLATFORM = 0xFF7C7C84;
inline constexpr int32_t STATION_PLATFORM_TOP = 820;
AkbPicture DrawStation(WordsLanguage language);

// "Y04BTR.AKB", TRAIN_LENGTH wide and TRAIN_BOTTOM high: cars of TRAIN_BODY with lit windows from
// row TRAIN_TOP, clear above. At rest the train stands with the picture's
// column 6244 at the screen's left edge.
inline constexpr int32_t TRAIN_LENGTH = 8192;
inline constexpr int32_t TRAIN_TOP = 520;
inline constexpr int32_t TRAIN_BOTTOM = 830;
inline constexpr uint32_t TRAIN_BODY = 0xFF2E7850;
inline constexpr uint32_t TRAIN_WINDOW = 0xFFFFE8A0;
AkbPicture DrawTrain();

// "DEN.AKB": the line map's train, two 576 x 288 frames (lamp off, lamp on) side by side.
inline constexpr uint32_t LINE_TRAIN = 0xFFE04040;
AkbPicture DrawLineTrain();
// "SENRO_n.AKB", 6000 x 1080: the map's paper in the time of day's colour with the track along
// row LINE_TRACK_Y; "SENRO_n_O.AKB", 6000 x LINE_MARKS_HEIGHT: the station marks over it with
// their names under the track, clear elsewhere.
inline constexpr uint32_t LINE_TRACK = 0xFF303030;
inline constexpr uint32_t LINE_STATION = 0xFFFFFFFF;
inline constexpr int32_t LINE_TRACK_Y = 377;
inline constexpr int32_t LINE_MARKS_HEIGHT = LINE_TRACK_Y + 263;
inline constexpr uint32_t LINE_PAPER[4] = {0xFFB4D2F0, 0xFFE8E0C8, 0xFFF0B48C, 0xFF50608C}; // 1 to 4
AkbPicture DrawLineMap(uint32_t paper, WordsLanguage language);
AkbPicture DrawLineStations(WordsLanguage language);

// "S04C.AKB", "S04B.AKB", "S04A.AKB": the platform view in three layers, far to near: the sky,
// the mountains from row SET_MOUNTAIN_TOP, the fence from row SET_FENCE_TOP.
inline constexpr uint32_t SET_SKY = 0xFF5078B4;
inline constexpr uint32_t SET_MOUNTAINS = 0xFF465A50;
inline constexpr uint32_t SET_FENCE = 0xFF785030;
inline constexpr int32_t SET_MOUNTAIN_TOP = 500;
inline constexpr int32_t SET_FENCE_TOP = 880;
AkbPicture DrawSetSky(WordsLanguage language);
AkbPicture DrawSetMountains();
AkbPicture DrawSetFence();

// "EPILOGUE03_BG.AKB": a pale morning over snow from row EPILOGUE_SNOW_TOP.
inline constexpr uint32_t EPILOGUE_SKY = 0xFFDCE6F0;
inline constexpr uint32_t EPILOGUE_SNOW = 0xFFF8F8FF;
inline constexpr int32_t EPILOGUE_SNOW_TOP = 700;
AkbPicture DrawEpilogue(WordsLanguage language);

// Archive entry names and their AKB bytes.
std::vector<std::pair<std::string, std::vector<uint8_t>>> BuildTripPictures();

} // namespace tools
