#pragma once
// Turns a point into an area number through an id picture, whose pixel colours encode the numbers
// as (green << 8) | red. The picture is loaded from the document's layer file and copied, scaled,
// into a DIB-section sprite that answers the lookups. One process-wide instance serves the screens;
// the standing-character command keeps one of its own. Main thread only.

#include "foundation/CStringUTF8.h"

#include <cstdint>
#include <memory>

class CSprite;
class CSpriteLayer;

class HitMap
{
public:
    HitMap();
    ~HitMap();
    HitMap(const HitMap&) = delete;
    HitMap& operator=(const HitMap&) = delete;

    // Loads the id picture and copies it at scale 1; 1.
    int32_t LoadPictureStretched(CStringUTF8 name);
    // Copies the source picture into a new sprite of its size times the scales (rounded), keeping
    // the caller's value and clearing the offsets.
    void StretchPictureToSprite(int32_t value, float scale_x, float scale_y);
    // Lets the picture go; the map then answers -1 everywhere.
    void Release();
    bool HasPicture() const { return m_scaled != nullptr; }
    // The id under the point, the nearest edge pixel's for points outside; -1 without a picture.
    int32_t GetIdAt(int32_t x, int32_t y);

    void SetOffset(int32_t x, int32_t y)
    {
        m_offset_x = x;
        m_offset_y = y;
    }
    void SetExtraOffsetY(int32_t y) { m_extra_offset_y = y; }
    int32_t GetScaledWidth() const { return m_scaled_width; }
    int32_t GetScaledHeight() const { return m_scaled_height; }
    int32_t GetCallerValue() const { return m_caller_value; }

private:
    float m_scale_x = 1.0f;
    float m_scale_y = 1.0f;
    int32_t m_scaled_width = 2048;
    int32_t m_scaled_height = 2048;
    int32_t m_source_width = 0;
    int32_t m_source_height = 0;
    int32_t m_offset_x = 0;
    int32_t m_offset_y = 0;
    int32_t m_caller_value = 0;
    int32_t m_extra_offset_y = 0;
    std::unique_ptr<CSprite> m_source;      // the loaded id picture
    std::unique_ptr<CSpriteLayer> m_scaled; // a DIB-section sprite
};

// The screens' hit map.
HitMap& GetHitMap();

// The id picture as a DIB-section sprite from the document's layer file; null when it cannot be
// loaded.
CSprite* LoadHitMapPicture(CStringUTF8 name);
