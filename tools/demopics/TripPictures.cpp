#include "demopics/TripPictures.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "demopics/DemoPictures.h"
#include "graphics/CLayerFile.h"
#include "textpaint/TextPainter.h"

namespace tools {

namespace {

void Fill(AkbPicture& picture, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour)
{
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x)
            picture.At(x, y) = colour;
}

void Disc(AkbPicture& picture, int32_t cx, int32_t cy, int32_t radius, uint32_t colour)
{
    for (int32_t y = cy - radius; y <= cy + radius; ++y)
        for (int32_t x = cx - radius; x <= cx + radius; ++x)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius && x >= 0 && y >= 0 &&
                x < picture.width && y < picture.height)
                picture.At(x, y) = colour;
}

// Dark words on a white board.
void BoardWords(AkbPicture& picture, int32_t x, int32_t y, int32_t width, int32_t height,
                const std::string& words)
{
    TextStyle style;
    style.pixel_height = 30;
    style.colour = 0xFF202028;
    DrawText(picture, {x, y, width, height}, words, style);
}

AkbOptions Opaque()
{
    AkbOptions options;
    options.rgb_alpha = 255;
    return options;
}

// A picture clear around its drawing stores only the rows drawn on: the rest of the new layer it
// loads into is never written, and costs no memory. The loader refuses a layer whose pixels
// outside the stored rows pass a 2048 x 2048 picture's, so the rows grow upwards to that.
AkbOptions ClearAround(const AkbPicture& picture)
{
    AkbRect rows = FindContentRect(picture, 0);
    rows.left = 0;
    rows.right = picture.width;
    const int64_t whole = int64_t{picture.width} * picture.height;
    while (rows.top > 0 && whole - int64_t{picture.width} * (rows.bottom - rows.top) > MAX_UNBACKED_PIXELS)
        --rows.top;
    AkbOptions options;
    options.content = rows;
    return options;
}

} // namespace

AkbPicture DrawDuskPan(WordsLanguage language)
{
    AkbPicture picture = MakePicture(1920, 2160, PAN_UPPER);
    Fill(picture, 0, 1080, 1920, PAN_HILL_TOP, PAN_SUNSET);
    Fill(picture, 0, PAN_HILL_TOP, 1920, 2160, PAN_HILLS);
    // A few stars in the night half and the sun's last disc on the hills.
    for (int32_t k = 0; k < 24; ++k)
        Disc(picture, 80 + k * 77, 120 + (k * 389) % 800, 3, 0xFFFFFFF0);
    Disc(picture, 1300, PAN_HILL_TOP, 90, 0xFFFFD070);
    Fill(picture, 0, PAN_HILL_TOP, 1920, PAN_HILL_TOP + 91, PAN_HILLS);
    // Named in each half: the pan starts on the upper one and ends on the lower.
    for (const int32_t top : {0, 1080})
        DrawSceneCaption(
            picture, WordsIn({"夕暮れの空", "The sky at dusk", "黄昏的天空", "黃昏的天空"}, language), top);
    return picture;
}

AkbPicture DrawStation(WordsLanguage language)
{
    AkbPicture picture = MakePicture(1920, 1080, STATION_SKY);
    Fill(picture, 0, STATION_PLATFORM_TOP, 1920, 1080, STATION_PLATFORM);
    Fill(picture, 0, STATION_PLATFORM_TOP, 1920, STATION_PLATFORM_TOP + 12, 0xFFF0E040); // the edge line
    // A roof on two pillars and a name board.
    Fill(picture, 200, 300, 1720, 340, 0xFF404048);
    Fill(picture, 300, 340, 330, STATION_PLATFORM_TOP, 0xFF404048);
    Fill(picture, 1590, 340, 1620, STATION_PLATFORM_TOP, 0xFF404048);
    Fill(picture, 800, 360, 1120, 440, 0xFFF8F8F8);
    BoardWords(picture, 800, 360, 320, 80, WordsIn({"夕凪駅", "Yunagi", "夕凪站", "夕凪站"}, language));
    DrawSceneCaption(picture,
                     WordsIn({"夕方の駅", "The station at dusk", "傍晚的车站", "傍晚的車站"}, language));
    return picture;
}

AkbPicture DrawTrain()
{
    // Nothing below the train: the picture ends with it.
    AkbPicture picture = MakePicture(TRAIN_LENGTH, TRAIN_BOTTOM, 0);
    for (int32_t car = 0; car * 512 < TRAIN_LENGTH; ++car) {
        const int32_t left = car * 512 + 16;
        Fill(picture, left, TRAIN_TOP, left + 480, TRAIN_BOTTOM, TRAIN_BODY);
        for (int32_t window = 0; window < 4; ++window)
            Fill(picture, left + 40 + window * 110, TRAIN_TOP + 60, left + 110 + window * 110,
                 TRAIN_TOP + 150, TRAIN_WINDOW);
    }
    return picture;
}

AkbPicture DrawLineTrain()
{
    AkbPicture picture = MakePicture(576 * 2, 288, 0);
    for (int32_t frame = 0; frame < 2; ++frame) {
        const int32_t x = frame * 576;
        Fill(picture, x + 48, 84, x + 528, 204, LINE_TRAIN);
        for (int32_t window = 0; window < 5; ++window)
            Fill(picture, x + 80 + window * 88, 108, x + 136 + window * 88, 150, 0xFFFFFFFF);
        Disc(picture, x + 500, 180, 14, frame == 1 ? 0xFFFFF060 : 0xFF603020);
    }
    return picture;
}

AkbPicture DrawLineMap(uint32_t paper, WordsLanguage language)
{
    AkbPicture picture = MakePicture(6000, 1080, paper);
    Fill(picture, 0, LINE_TRACK_Y - 6, 6000, LINE_TRACK_Y + 6, LINE_TRACK);
    for (int32_t x = 0; x < 6000; x += 60)
        Fill(picture, x, LINE_TRACK_Y - 14, x + 8, LINE_TRACK_Y + 14, LINE_TRACK);
    DrawSceneCaption(picture, WordsIn({"路線図", "Line map", "路线图", "路線圖"}, language));
    return picture;
}

AkbPicture DrawLineStations(WordsLanguage language)
{
    // Nothing under the stations' names: the picture ends with them, and the map's copies of it
    // read no clear rows below.
    AkbPicture picture = MakePicture(6000, LINE_MARKS_HEIGHT, 0);
    for (int32_t x = 300; x < 6000; x += 1000) {
        Disc(picture, x, LINE_TRACK_Y, 36, LINE_TRACK);
        Disc(picture, x, LINE_TRACK_Y, 26, LINE_STATION);
        Fill(picture, x - 120, LINE_TRACK_Y + 200, x + 120, LINE_TRACK_Y + 260, LINE_STATION);
        const std::string n = std::to_string(x / 1000 + 1);
        BoardWords(picture, x - 120, LINE_TRACK_Y + 200, 240, 60,
                   WordsIn({"駅 " + n, "Station " + n, "第" + n + "站", "第" + n + "站", n}, language));
    }
    return picture;
}

AkbPicture DrawSetSky(WordsLanguage language)
{
    AkbPicture picture = MakePicture(1920, 1080, SET_SKY);
    Disc(picture, 400, 220, 70, 0xFFF8F0D0);
    DrawSceneCaption(
        picture, WordsIn({"ホームからの眺め", "From the platform", "从月台望去", "從月台望去"}, language));
    return picture;
}

AkbPicture DrawSetMountains()
{
    AkbPicture picture = MakePicture(1920, 1080, 0);
    for (int32_t x = 0; x < 1920; ++x) {
        // Two peaks; the middle column is below both of their slopes' tops.
        const int32_t peak = std::min(std::abs(x - 600), std::abs(x - 1400)) / 2;
        for (int32_t y = SET_MOUNTAIN_TOP + std::min(peak, 200); y < 1080; ++y)
            picture.At(x, y) = SET_MOUNTAINS;
    }
    return picture;
}

AkbPicture DrawSetFence()
{
    AkbPicture picture = MakePicture(1920, 1080, 0);
    Fill(picture, 0, SET_FENCE_TOP, 1920, SET_FENCE_TOP + 30, SET_FENCE);
    Fill(picture, 0, SET_FENCE_TOP + 110, 1920, SET_FENCE_TOP + 140, SET_FENCE);
    for (int32_t x = 20; x < 1920; x += 160)
        Fill(picture, x, SET_FENCE_TOP - 40, x + 40, 1080, SET_FENCE);
    return picture;
}

AkbPicture DrawEpilogue(WordsLanguage language)
{
    AkbPicture picture = MakePicture(1920, 1080, EPILOGUE_SKY);
    Fill(picture, 0, EPILOGUE_SNOW_TOP, 1920, 1080, EPILOGUE_SNOW);
    // A house with a lit window in the snow.
    Fill(picture, 1200, 480, 1560, EPILOGUE_SNOW_TOP + 40, 0xFF8C6450);
    Fill(picture, 1330, 560, 1430, 640, 0xFFFFD880);
    DrawSceneCaption(picture, WordsIn({"雪の朝", "A snowy morning", "下雪的早晨", "下雪的早晨"}, language));
    return picture;
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> BuildTripPictures()
{
    const AkbPicture train = DrawTrain();
    std::vector<std::pair<std::string, std::vector<uint8_t>>> pictures = {
        {"Y04BTR.AKB", EncodeAkb(train, ClearAround(train))},
        {"DEN.AKB", EncodeAkb(DrawLineTrain(), {})},
        {"S04B.AKB", EncodeAkb(DrawSetMountains(), {})},
        {"S04A.AKB", EncodeAkb(DrawSetFence(), {})},
    };
    // The pictures with words, in each language; the game shows the plain name in every language,
    // so that one carries marks alone.
    for (int32_t language = 0; language < 4; ++language) {
        const WordsLanguage words = language == 3 ? WordsLanguage::Marks : LanguageOfIndex(language);
        const auto add = [&](const std::string& name, std::vector<uint8_t> bytes) {
            pictures.push_back({LanguageName(name, language), std::move(bytes)});
        };
        add("DUSK_PAN.AKB", EncodeAkb(DrawDuskPan(words), Opaque()));
        add("Y04BB.AKB", EncodeAkb(DrawStation(words), Opaque()));
        add("S04C.AKB", EncodeAkb(DrawSetSky(words), Opaque()));
        add("EPILOGUE03_BG.AKB", EncodeAkb(DrawEpilogue(words), Opaque()));
        const AkbPicture station_marks = DrawLineStations(words);
        const std::vector<uint8_t> stations = EncodeAkb(station_marks, ClearAround(station_marks));
        for (int32_t time = 1; time <= 4; ++time) {
            const std::string name = "SENRO_" + std::to_string(time);
            add(name + ".AKB", EncodeAkb(DrawLineMap(LINE_PAPER[time - 1], words), Opaque()));
            add(name + "_O.AKB", stations);
        }
    }
    return pictures;
}

} // namespace tools
