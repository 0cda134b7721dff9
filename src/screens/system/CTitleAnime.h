#pragma once
// The opening animation of the title: a flower moves along a fixed curve from above the top-left
// corner down and across the screen, turning, shrinking, growing and now and then flipping; then it
// fades out while the title background comes in, and the background is left painted on sprite
// layer 0. A user animation of one step of 320 ticks on layer 0; one exec command builds, plays
// and destroys it, the script waiting.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "graphics/CSprite.h"
#include "graphics/IUserAnime.h"

class CSpriteLayer;

inline constexpr int32_t TITLE_ANIME_TICKS = 320;
inline constexpr int32_t TITLE_ANIME_FADE_TICKS = 64;

class CTitleAnime : public IUserAnime
{
public:
    CTitleAnime() = default;
    ~CTitleAnime() override;

    // The flower as a texture sprite, the background (in the player's language) as a memory one.
    void LoadImages();
    // Runs both phases and returns at their end. Without the flower, the background or layer 0
    // nothing moves; the background is still painted when it and layer 0 exist.
    void Play();
    void Cleanup() override;
    void Begin() override;
    // A skipped step leaves the flower where it is.
    void End() override {}
    void Update(int32_t step, int32_t steps) override;

    float GetScale() const { return m_scale; }
    float GetRotation() const { return m_rotation; }
    float GetX() const { return m_x; }
    float GetY() const { return m_y; }

    std::unique_ptr<CSprite> m_flower;
    std::unique_ptr<CSprite> m_background;

private:
    void StepPath(int32_t tick);
    CSpriteLayer* FindLayerZero();
    // Hides the flower and copies the background's colours onto layer 0.
    void Finish();

    float m_scale = 1.5f;
    float m_rotation = 60.0f;
    float m_x = -200.0f;
    float m_y = -200.0f;
    double m_step = 0.0;
    double m_t = 0.0;
    std::vector<std::pair<int32_t, int32_t>> m_points;
};
