#include "graphics/CSnowParticle.h"

#include <algorithm>

#include "graphics/CLayerFile.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/EffectRandom.h"

namespace {

constexpr float SNOW_LEFT_EDGE = -100.0f;
constexpr float SNOW_RIGHT_EDGE = 2020.0f;
constexpr float SNOW_BOTTOM_EDGE = 1180.0f;
constexpr size_t SNOW_TRAIL_LENGTH = SNOW_SPRITE_COUNT - 1;

// Bigger flakes are drawn in front.
constexpr int32_t SNOW_PRIORITIES[] = {1, 3, 5, 7};

float Fraction(int32_t n, double divisor, double offset)
{
    return static_cast<float>(EffectRandom::Draw(n) / divisor + offset);
}

} // namespace

SnowRecord::SnowRecord() = default;

SnowRecord::~SnowRecord() = default;

CSpriteTexture* CreateSnowSprite(CTextureLayer* texture, int32_t priority)
{
    auto* sprite = static_cast<CSpriteTexture*>(CreateSpriteLayer(LAYER_KIND_TEXTURE));
    if (sprite == nullptr)
        return nullptr;
    sprite->Create(texture, 0, 0, RECT{0, 0, SNOW_SIZE, SNOW_SIZE}, priority, 0);
    return sprite;
}

int32_t InitSnowflake(SnowRecord& record, CTextureLayer* texture, int32_t size_class)
{
    record.m_size_class = size_class;
    record.m_active = 0;
    const int32_t priority = SNOW_PRIORITIES[std::clamp(size_class, 0, 3)];
    for (auto& sprite : record.m_sprites) {
        sprite.reset(CreateSnowSprite(texture, priority));
        if (sprite == nullptr)
            return 0;
    }
    return 1;
}

void RespawnSnowflake(SnowRecord& record)
{
    record.m_x = static_cast<float>(120 + EffectRandom::Draw(1680));
    record.m_y = -64.0f;
    record.m_vx = Fraction(100, 100, -0.5);
    switch (record.m_size_class) {
    case 0:
        record.m_vx = Fraction(100, 10000, -0.05);
        record.m_vy = Fraction(60, 100, 0.3);
        record.m_scale = 0.1f;
        break;
    case 1:
        record.m_vx = Fraction(100, 10000, -0.05);
        record.m_vy = Fraction(100, 100, 0.5);
        record.m_scale = Fraction(20, 100, 0.1);
        break;
    case 2:
        record.m_vy = Fraction(120, 100, 0.8);
        record.m_scale = Fraction(20, 100, 0.2);
        break;
    default:
        record.m_vy = Fraction(220, 100, 1.3);
        record.m_scale = Fraction(30, 100, 0.5);
        break;
    }
    for (int32_t k = 0; k < SNOW_SPRITE_COUNT; ++k) {
        CSpriteTexture& sprite = *record.m_sprites[static_cast<size_t>(k)];
        sprite.SetZoomCenter(SNOW_SIZE / 2, SNOW_SIZE / 2);
        sprite.SetVisibleFlag(0);
        sprite.SetAlpha(100 - 10 * k);
        const float scale = static_cast<float>(record.m_scale - 0.01 * k);
        sprite.SetScale(scale, scale);
    }
    record.m_active = 1;
    record.m_sprites[0]->SetVisibleFlag(1);
    record.m_frame_counter = 0;
}

void ShowSnowTrail(SnowRecord& record)
{
    const size_t shown = std::min(record.m_history.size(), SNOW_TRAIL_LENGTH);
    for (size_t k = 1; k <= shown; ++k) {
        CSpriteTexture& sprite = *record.m_sprites[k];
        sprite.SetVisibleFlag(1);
        sprite.SetPositionF(record.m_history[k - 1].first, record.m_history[k - 1].second);
    }
}

void RecordSnowPosition(SnowRecord& record)
{
    record.m_history.insert(record.m_history.begin(), {record.m_x, record.m_y});
    if (record.m_history.size() > SNOW_HISTORY_LENGTH)
        record.m_history.resize(SNOW_HISTORY_LENGTH);
}

void HideSnowRecord(SnowRecord& record)
{
    for (auto& sprite : record.m_sprites) {
        if (sprite != nullptr)
            sprite->SetVisibleFlag(0);
    }
    record.m_history.clear();
}

void UpdateSnowflake(SnowRecord& record)
{
    record.m_y += record.m_vy;
    record.m_x += record.m_vx;
    record.m_sprites[0]->SetPositionF(record.m_x, record.m_y);
    ShowSnowTrail(record);
    RecordSnowPosition(record);
    if (record.m_x >= SNOW_RIGHT_EDGE || record.m_x <= SNOW_LEFT_EDGE || record.m_y >= SNOW_BOTTOM_EDGE) {
        record.m_active = 0;
        HideSnowRecord(record);
    }
    ++record.m_frame_counter;
}

CSnowParticle::CSnowParticle() = default;

CSnowParticle::~CSnowParticle()
{
    Shutdown();
}

bool CSnowParticle::BuildSlot(int32_t index)
{
    auto record = std::make_unique<SnowRecord>();
    const bool built = InitSnowflake(*record, m_texture, ParticleSizeClass(index)) != 0;
    m_records[static_cast<size_t>(index)] = std::move(record);
    return built;
}

bool CSnowParticle::IsSlotActive(int32_t index)
{
    const SnowRecord* record = m_records[static_cast<size_t>(index)].get();
    return record != nullptr && record->m_active != 0;
}

void CSnowParticle::RespawnSlot(int32_t index, uint32_t)
{
    RespawnSnowflake(*m_records[static_cast<size_t>(index)]);
}

void CSnowParticle::MoveSlots(uint32_t)
{
    for (auto& record : m_records) {
        if (record != nullptr && record->m_active)
            UpdateSnowflake(*record);
    }
}

unsigned SnowBuilderThread(void* task)
{
    static_cast<CSnowParticle*>(task)->RunBuilder();
    return 0;
}
