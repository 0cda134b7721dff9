#pragma once
// The train-line map screen: the blinking train over the line map scrolling by, after a reveal
// from the fade sprite, then the train sliding 500 pixels along. The exec command builds the
// context, plays it and releases it on the main thread; the context owns every sprite, the task
// and both animations, and its destructor releases whatever is left.

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "foundation/CStringUTF8.h"

class CSprite;
class CSpriteAnime;
class CTrainAnime;
class CTrainMap;

inline constexpr int32_t TRAIN_SLIDE_TICKS = 25;

// The line picture and its overlay for the time of day (HHMM).
std::pair<CStringUTF8, CStringUTF8> SelectTrainLinePictures(int32_t game_time);

struct TrainMapContext
{
    TrainMapContext();
    ~TrainMapContext();
    TrainMapContext(const TrainMapContext&) = delete;
    TrainMapContext& operator=(const TrainMapContext&) = delete;

    std::unique_ptr<CSpriteAnime> m_anime;
    std::unique_ptr<CSprite> m_den_picture; // "DEN.akb": the train's two frames
    std::unique_ptr<CSprite> m_train_display;
    std::unique_ptr<CSprite> m_line_picture;
    std::unique_ptr<CSprite> m_overlay_picture;
    std::unique_ptr<CSprite> m_display_a; // the line map
    std::unique_ptr<CSprite> m_display_b; // its overlay, in front of the train
    std::unique_ptr<CTrainAnime> m_train_anime;
    std::unique_ptr<CTrainMap> m_train_map;
    int32_t m_direction = 0;
};

// Loads the pictures for the current game time and makes the three display sprites, the task
// and both animations.
void CreateTrainMap(TrainMapContext& context, int32_t direction);
// How the screen comes back from behind the fade sprite, over the given ticks; the script's
// screen command group, which lives above the pictures.
using ScreenReveal = std::function<void(int32_t ticks)>;

// Shows both pictures, reveals them, and plays the scroll and the slide to their end.
void PlayTrainMap(TrainMapContext& context, const ScreenReveal& reveal);
// Stops the task and releases everything the context holds; safe on a context never built.
void FinishTrainAnimation(TrainMapContext& context);
