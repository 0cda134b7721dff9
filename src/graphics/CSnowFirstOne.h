#pragma once
// The holder of the single snowball: the flake texture and the snowball task. Made and started
// in one step; deleting it takes the task off the task list before its texture goes. Main thread.

#include <cstdint>
#include <memory>

#include "foundation/CStringUTF8.h"

class CSnowParticleOne;
class CTextureLayer;

class CSnowFirstOne
{
public:
    CSnowFirstOne();
    virtual ~CSnowFirstOne();
    CSnowFirstOne(const CSnowFirstOne&) = delete;
    CSnowFirstOne& operator=(const CSnowFirstOne&) = delete;

    virtual CTextureLayer* LoadTexture(CStringUTF8 name);

    // Loads "SnowBall.akb", builds the snowball over (665, 360) and sets it falling.
    void Start();

    CSnowParticleOne* GetParticle() const { return m_particle.get(); }
    CTextureLayer* GetTexture() const { return m_texture.get(); }

private:
    std::unique_ptr<CTextureLayer> m_texture;
    std::unique_ptr<CSnowParticleOne> m_particle;
};
