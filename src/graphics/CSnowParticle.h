#pragma once
// The falling snow: 200 snowflake slots over one 64 x 64 flake picture, each flake drawn with a
// trail of nine fainter, smaller images where it was on the runs before. Bigger flakes fall
// faster and in front. Owned by the snow effect holder (CSnowEffect); threads as ParticleSet
// says.

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "graphics/ParticleSet.h"

class CSpriteTexture;
class CTextureLayer;

inline constexpr int32_t SNOW_SIZE = 64;
// The flake and its nine trail images.
inline constexpr int32_t SNOW_SPRITE_COUNT = 10;
inline constexpr size_t SNOW_HISTORY_LENGTH = 11;

struct SnowRecord
{
    SnowRecord();
    virtual ~SnowRecord();

    std::array<std::unique_ptr<CSpriteTexture>, SNOW_SPRITE_COUNT> m_sprites;
    float m_x = 0;
    float m_y = 0;
    float m_vy = 0;
    float m_scale = 0;
    int32_t m_size_class = 0;
    float m_vx = 0;
    int32_t m_active = 0;
    int32_t m_frame_counter = 0;
    std::vector<std::pair<float, float>> m_history; // newest first
};

// A texture sprite of the 64 x 64 flake at the priority, hidden; null when it cannot be made.
CSpriteTexture* CreateSnowSprite(CTextureLayer* texture, int32_t priority);
// An inactive flake of the class with its ten sprites: 1 when all ten exist.
int32_t InitSnowflake(SnowRecord& record, CTextureLayer* texture, int32_t size_class);
// A new flake above the screen with speeds and scale drawn for its class.
void RespawnSnowflake(SnowRecord& record);
// One run: moves the flake, lays its trail, and ends it outside the screen.
void UpdateSnowflake(SnowRecord& record);
// Shows trail image k at the position the flake had k runs ago, for as many as the history has.
void ShowSnowTrail(SnowRecord& record);
// Puts the flake's position at the front of its history, which keeps at most 11 entries.
void RecordSnowPosition(SnowRecord& record);
// Hides all ten images and forgets the trail.
void HideSnowRecord(SnowRecord& record);

class CSnowParticle final : public ParticleSet
{
public:
    CSnowParticle();
    ~CSnowParticle() override;

    SnowRecord* GetRecord(int32_t index) { return m_records[static_cast<size_t>(index)].get(); }

protected:
    bool BuildSlot(int32_t index) override;
    bool IsSlotActive(int32_t index) override;
    void RespawnSlot(int32_t index, uint32_t now) override;
    void MoveSlots(uint32_t now) override;

private:
    std::array<std::unique_ptr<SnowRecord>, PARTICLE_COUNT> m_records;
};

// The builder thread's entry; the argument is the CSnowParticle.
unsigned SnowBuilderThread(void* task);
