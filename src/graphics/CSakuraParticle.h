#pragma once
// The falling cherry petals: 200 petal slots over one texture (a column of ten 64 x 64 frames),
// spawned at the top of the screen, drifting left and down while their frames turn. Owned by
// the petal effect holder (CSakuraEffect); threads as ParticleSet says.

#include <array>
#include <cstdint>
#include <memory>

#include "graphics/ParticleSet.h"

class CSpriteTexture;
class CTextureLayer;

inline constexpr int32_t PETAL_SIZE = 64;
inline constexpr int32_t PETAL_FRAME_COUNT = 10;
inline constexpr int32_t PETAL_PRIORITY = 13;

struct PetalRecord
{
    PetalRecord();
    ~PetalRecord();

    std::unique_ptr<CSpriteTexture> m_sprite;
    CTextureLayer* m_texture = nullptr; // not owned
    float m_x = 0;
    float m_y = 0;
    float m_vy = 0;
    float m_scale = 0;
    int32_t m_size_class = 0;
    float m_vx = 0;
    int32_t m_active = 0;
    uint32_t m_frame_period = 0;
    int32_t m_frame_index = 0;
    uint32_t m_last_frame_time = 0;
};

// A texture sprite of one 64 x 64 frame at priority 13, hidden; null when it cannot be made.
CSpriteTexture* CreatePetalSprite(CTextureLayer* texture);
// An inactive petal of the class with its sprite: 1 when the sprite exists.
int32_t InitPetal(PetalRecord& record, CTextureLayer* texture, int32_t size_class);
// A new petal at the top of the screen with speeds and scale drawn for its class.
void RespawnPetal(PetalRecord& record, uint32_t now);
// One run: moves the petal, turns its frame when due, and ends it at the screen's edges.
void MovePetal(PetalRecord& record, uint32_t now);

class CSakuraParticle final : public ParticleSet
{
public:
    CSakuraParticle();
    ~CSakuraParticle() override;

    PetalRecord* GetRecord(int32_t index) { return m_records[static_cast<size_t>(index)].get(); }

protected:
    bool BuildSlot(int32_t index) override;
    bool IsSlotActive(int32_t index) override;
    void RespawnSlot(int32_t index, uint32_t now) override;
    void MoveSlots(uint32_t now) override;

private:
    std::array<std::unique_ptr<PetalRecord>, PARTICLE_COUNT> m_records;
};

// The builder thread's entry; the argument is the CSakuraParticle.
unsigned PetalBuilderThread(void* task);
