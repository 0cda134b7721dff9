#pragma once
// The holder of the falling-snow effect: the flake texture and the particle task, driven like the
// petal effect's holder (CSakuraEffect).

#include <cstdint>
#include <memory>

#include "foundation/CStringUTF8.h"

class CSnowParticle;
class CTextureLayer;

class CSnowEffect
{
public:
    CSnowEffect();
    virtual ~CSnowEffect();
    CSnowEffect(const CSnowEffect&) = delete;
    CSnowEffect& operator=(const CSnowEffect&) = delete;

    virtual CTextureLayer* LoadTexture(CStringUTF8 name);

    // Loads "SnowBall.akb" and starts building the flakes on a thread of their own.
    void Prepare();
    // Loads "SnowBall.akb" and builds all flakes on this thread.
    void PrepareNow();
    // Takes the flakes built so far and sets them falling; nothing without a task.
    void Start();

    CSnowParticle* GetParticles() const { return m_particles.get(); }
    CTextureLayer* GetTexture() const { return m_texture.get(); }

private:
    std::unique_ptr<CTextureLayer> m_texture;
    std::unique_ptr<CSnowParticle> m_particles;
};
