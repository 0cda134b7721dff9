#include "graphics/CSnowParticleOne.h"

#include <algorithm>
#include <cmath>

#include "foundation/DocumentLink.h"
#include "graphics/CAppTask.h"
#include "graphics/CSpriteTexture.h"

namespace {

constexpr float SNOWBALL_START_Y = 100.0f;
constexpr float SNOWBALL_SPEED = 0.75f;
constexpr float SNOWBALL_SCALE = 0.3f;

// Alpha of trail image k when a fall begins: the flake at 101, each image 10 fainter.
int32_t StartAlpha(int32_t k)
{
    return 101 - 10 * k;
}

} // namespace

double SnowballSway(int32_t counter)
{
    return 0.3 * std::sin((counter + 15) * 3.141592 / 180);
}

int32_t InitSnowball(SnowballRecord& record, CTextureLayer* texture, int32_t start_x, int32_t stop_y)
{
    record.m_size_class = 0;
    record.m_active = 0;
    record.m_start_x = start_x;
    record.m_stop_y = stop_y;
    for (int32_t k = 0; k < SNOW_SPRITE_COUNT; ++k) {
        auto& sprite = record.m_sprites[static_cast<size_t>(k)];
        sprite.reset(CreateSnowSprite(texture, SNOWBALL_PRIORITY));
        if (sprite == nullptr)
            return 0;
        sprite->SetZoomCenter(SNOW_SIZE / 2, SNOW_SIZE / 2);
        sprite->SetVisibleFlag(0);
        sprite->SetAlpha(StartAlpha(k));
    }
    return 1;
}

CSnowParticleOne::CSnowParticleOne()
    : IAppTask(PARTICLE_TASK_PERIOD)
{}

CSnowParticleOne::~CSnowParticleOne()
{
    m_running = 0;
    if (CAppTask* runner = GetAppTask())
        runner->RemoveTask(this);
}

int32_t CSnowParticleOne::Create(CTextureLayer* texture, int32_t start_x, int32_t stop_y)
{
    auto record = std::make_unique<SnowballRecord>();
    const int32_t built = InitSnowball(*record, texture, start_x, stop_y);
    m_record = std::move(record);
    m_active = 0;
    return built;
}

void CSnowParticleOne::Execute()
{
    if (m_record == nullptr || m_record->m_sprites[SNOW_SPRITE_COUNT - 1] == nullptr)
        return;
    if (m_running && !m_record->m_active)
        Restart();
    UpdateSnowball();
    RequestRedraw();
}

void CSnowParticleOne::Restart()
{
    SnowballRecord& record = *m_record;
    record.m_y = SNOWBALL_START_Y;
    record.m_vx = 0;
    record.m_vy = SNOWBALL_SPEED;
    record.m_scale = SNOWBALL_SCALE;
    record.m_x = static_cast<float>(record.m_start_x);
    for (int32_t k = 0; k < SNOW_SPRITE_COUNT; ++k) {
        CSpriteTexture& sprite = *record.m_sprites[static_cast<size_t>(k)];
        const float scale = static_cast<float>(SNOWBALL_SCALE - 0.01 * k);
        sprite.SetScale(scale, scale);
        // The last fade left every image at alpha 0; a new fall must be seen again.
        sprite.SetAlpha(StartAlpha(k));
    }
    record.m_active = 1;
    m_active = 1;
    record.m_sprites[0]->SetVisibleFlag(1);
    record.m_frame_counter = 0;
    record.m_state = 0;
}

void CSnowParticleOne::UpdateSnowball()
{
    if (m_record == nullptr || !m_record->m_active)
        return;
    SnowballRecord& record = *m_record;
    if (record.m_state == 0) {
        record.m_y += record.m_vy;
        record.m_x = static_cast<float>(record.m_x + SnowballSway(record.m_frame_counter));
        record.m_sprites[0]->SetPositionF(record.m_x, record.m_y);
        ShowSnowTrail(record);
        RecordSnowPosition(record);
        if (record.m_y >= static_cast<float>(record.m_stop_y)) {
            PlayLandingSound();
            record.m_state = 1;
        }
    } else {
        if (!record.m_history.empty())
            record.m_history.pop_back();
        for (size_t k = 1; k < SNOW_SPRITE_COUNT; ++k)
            record.m_sprites[k]->SetVisibleFlag(0);
        ShowSnowTrail(record);
        for (auto& sprite : record.m_sprites)
            sprite->SetAlpha(std::max(sprite->GetAlpha() - 1, 0));
        if (record.m_sprites[0]->GetAlpha() == 0) {
            record.m_active = 0;
            m_active = 0;
        }
    }
    if (!record.m_active)
        HideSnowRecord(record);
    ++record.m_frame_counter;
}

void CSnowParticleOne::PlayLandingSound()
{
    if (DocumentLink* link = GetDocumentLink())
        link->PlayEffectSound(CStringUTF8("DREAM.wav"));
}
