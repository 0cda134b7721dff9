#include "graphics/CSnowEffect.h"

#include "graphics/CSakuraEffect.h"
#include "graphics/CSnowParticle.h"
#include "graphics/CTextureLayer.h"

CSnowEffect::CSnowEffect() = default;

CSnowEffect::~CSnowEffect()
{
    if (m_particles != nullptr)
        m_particles->SetRunning(0);
    m_particles.reset();
    m_texture.reset();
}

CTextureLayer* CSnowEffect::LoadTexture(CStringUTF8 name)
{
    return LoadEffectTexture(name);
}

void CSnowEffect::Prepare()
{
    m_texture.reset(LoadTexture("SnowBall.akb"));
    m_particles = std::make_unique<CSnowParticle>();
    m_particles->StartBuilder(m_texture.get(), SnowBuilderThread);
}

void CSnowEffect::PrepareNow()
{
    m_texture.reset(LoadTexture("SnowBall.akb"));
    m_particles = std::make_unique<CSnowParticle>();
    m_particles->Create(m_texture.get());
}

void CSnowEffect::Start()
{
    if (m_particles != nullptr)
        m_particles->Start();
}
