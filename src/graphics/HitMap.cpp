#include "graphics/HitMap.h"

#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "platform/gdi/GdiApi.h"

#include <algorithm>
#include <cstring>

namespace {

ILayer* LayerOf(CSprite* sprite)
{
    auto* layered = dynamic_cast<CSpriteLayer*>(sprite);
    return layered != nullptr ? layered->GetLayer() : nullptr;
}

} // namespace

HitMap::HitMap() = default;
HitMap::~HitMap() = default;

HitMap& GetHitMap()
{
    static HitMap s_hit_map;
    return s_hit_map;
}

CSprite* LoadHitMapPicture(CStringUTF8 name)
{
    CLayerFile* file = GetDocumentLayerFile();
    if (file == nullptr)
        return nullptr;
    return file->LoadSprite(name, nullptr, LAYER_KIND_DIB_SECTION, 0, -1, nullptr, -1, -1, 0);
}

int32_t HitMap::LoadPictureStretched(CStringUTF8 name)
{
    m_scaled.reset();
    m_source.reset(LoadHitMapPicture(name));
    ILayer* source = LayerOf(m_source.get());
    m_source_width = source != nullptr ? source->GetWidth() : 0;
    m_source_height = source != nullptr ? source->GetHeight() : 0;
    StretchPictureToSprite(0, 1.0f, 1.0f); // a fresh picture is taken at its own size
    return 1;
}

void HitMap::StretchPictureToSprite(int32_t value, float scale_x, float scale_y)
{
    m_caller_value = value;
    m_extra_offset_y = 0;
    m_offset_x = 0;
    m_offset_y = 0;
    m_scale_x = scale_x;
    m_scale_y = scale_y;
    m_scaled_width = static_cast<int32_t>(m_source_width * scale_x + 0.5f);
    m_scaled_height = static_cast<int32_t>(m_source_height * scale_y + 0.5f);
    m_scaled.reset();
    // Without a picture there is nothing to copy; lookups then answer -1.
    ILayer* source = LayerOf(m_source.get());
    if (source == nullptr || m_scaled_width <= 0 || m_scaled_height <= 0)
        return;
    auto scaled = std::make_unique<CSpriteLayer>();
    scaled->SetLayerKind(LAYER_KIND_DIB_SECTION);
    scaled->Create(0, 0, m_scaled_width, m_scaled_height, -1);
    HDC dest = scaled->GetDC();
    HDC from = source->GetDC();
    SetStretchBltMode(dest, HALFTONE);
    SetStretchBltMode(from, HALFTONE);
    StretchBlt(dest, (m_source_width - m_scaled_width) / 2, 0, m_scaled_width, m_scaled_height, from, 0, 0,
               m_source_width, m_source_height, SRCCOPY);
    m_scaled = std::move(scaled);
}

void HitMap::Release()
{
    m_source.reset();
    m_scaled.reset();
}

int32_t HitMap::GetIdAt(int32_t x, int32_t y)
{
    if (m_scaled == nullptr)
        return -1;
    const int32_t px = std::clamp(x - m_offset_x, 0, m_scaled_width - 1);
    const int32_t py = std::clamp(y - m_extra_offset_y - m_offset_y, 0, m_scaled_height - 1);
    m_scaled->Lock();
    const uint8_t* pixel = m_scaled->GetPixelPtr(px, py); // bytes blue, green, red, alpha
    const int32_t id = (int32_t{pixel[1]} << 8) | pixel[2];
    m_scaled->Unlock();
    return id;
}
