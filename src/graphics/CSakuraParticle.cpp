#include "graphics/CSakuraParticle.h"

#include "graphics/CLayerFile.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/EffectRandom.h"

namespace {

// The petals live between these edges; one that reaches them ends.
constexpr float PETAL_LEFT_EDGE = 180.0f;
constexpr float PETAL_RIGHT_EDGE = 1740.0f;
constexpr float PETAL_BOTTOM_EDGE = 1018.0f;

// random(n) / divisor + offset, worked in double precision and kept as a float.
float Fraction(int32_t n, double divisor, double offset)
{
    return static_cast<float>(EffectRandom::Draw(n) / divisor + offset);
}

} // namespace

PetalRecord::PetalRecord() = default;

PetalRecord::~PetalRecord() = default;

CSpriteTexture* CreatePetalSprite(CTextureLayer* texture)
{
    auto* sprite = static_cast<CSpriteTexture*>(CreateSpriteLayer(LAYER_KIND_TEXTURE));
    if (sprite == nullptr)
        return nullptr;
    sprite->Create(texture, 0, 0, RECT{0, 0, PETAL_SIZE, PETAL_SIZE}, PETAL_PRIORITY, 0);
    return sprite;
}

int32_t InitPetal(PetalRecord& record, CTextureLayer* texture, int32_t size_class)
{
    record.m_size_class = size_class;
    record.m_active = 0;
    record.m_texture = texture;
    record.m_sprite.reset(CreatePetalSprite(texture));
    return record.m_sprite != nullptr ? 1 : 0;
}

void RespawnPetal(PetalRecord& record, uint32_t now)
{
    record.m_x = static_cast<float>(280 + EffectRandom::Draw(1360));
    record.m_y = 100.0f;
    record.m_vx = Fraction(100, 100, -2.0);
    switch (record.m_size_class) {
    case 0:
        record.m_vx = Fraction(70, 100, -1.0);
        record.m_vy = Fraction(60, 100, 0.3);
        record.m_scale = 0.4f;
        record.m_frame_period = 30;
        break;
    case 1:
        record.m_vx = Fraction(100, 100, -2.0);
        record.m_vy = Fraction(100, 100, 0.5);
        record.m_scale = Fraction(20, 100, 0.4);
        record.m_frame_period = 40;
        break;
    case 2:
        record.m_vy = Fraction(120, 100, 0.8);
        record.m_scale = Fraction(20, 100, 0.6);
        record.m_frame_period = 50;
        break;
    default:
        record.m_vy = Fraction(220, 100, 1.3);
        record.m_scale = Fraction(20, 100, 0.8);
        record.m_frame_period = 60;
        break;
    }
    CSpriteTexture& sprite = *record.m_sprite;
    sprite.SetZoomCenter(PETAL_SIZE / 2, PETAL_SIZE / 2);
    sprite.SetVisibleFlag(0);
    sprite.SetAlpha(255);
    sprite.SetScale(record.m_scale, record.m_scale);
    record.m_frame_index = 0;
    record.m_active = 1;
    sprite.SetVisibleFlag(1);
    record.m_last_frame_time = now;
}

void MovePetal(PetalRecord& record, uint32_t now)
{
    CSpriteTexture& sprite = *record.m_sprite;
    record.m_y += record.m_vy;
    record.m_x += record.m_vx;
    sprite.SetPositionF(record.m_x, record.m_y);
    // The difference survives the 32-bit clock's wrap; a sum compared with now would not.
    if (now - record.m_last_frame_time >= record.m_frame_period) {
        const LONG top = PETAL_SIZE * record.m_frame_index;
        sprite.SetSourceRect(RECT{0, top, PETAL_SIZE, top + PETAL_SIZE});
        record.m_frame_index = (record.m_frame_index + 1) % PETAL_FRAME_COUNT;
        record.m_last_frame_time = now;
    }
    if (record.m_x >= PETAL_RIGHT_EDGE || record.m_x <= PETAL_LEFT_EDGE || record.m_y >= PETAL_BOTTOM_EDGE) {
        record.m_active = 0;
        sprite.SetVisibleFlag(0);
    }
}

CSakuraParticle::CSakuraParticle() = default;

CSakuraParticle::~CSakuraParticle()
{
    Shutdown();
}

bool CSakuraParticle::BuildSlot(int32_t index)
{
    auto record = std::make_unique<PetalRecord>();
    const bool built = InitPetal(*record, m_texture, ParticleSizeClass(index)) != 0;
    m_records[static_cast<size_t>(index)] = std::move(record);
    return built;
}

bool CSakuraParticle::IsSlotActive(int32_t index)
{
    const PetalRecord* record = m_records[static_cast<size_t>(index)].get();
    return record != nullptr && record->m_active != 0;
}

void CSakuraParticle::RespawnSlot(int32_t index, uint32_t now)
{
    RespawnPetal(*m_records[static_cast<size_t>(index)], now);
}

void CSakuraParticle::MoveSlots(uint32_t now)
{
    for (auto& record : m_records) {
        if (record != nullptr && record->m_active)
            MovePetal(*record, now);
    }
}

unsigned PetalBuilderThread(void* task)
{
    static_cast<CSakuraParticle*>(task)->RunBuilder();
    return 0;
}
