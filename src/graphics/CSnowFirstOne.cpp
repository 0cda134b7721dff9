#include "graphics/CSnowFirstOne.h"

#include "graphics/CAppTask.h"
#include "graphics/CSakuraEffect.h"
#include "graphics/CSnowParticleOne.h"
#include "graphics/CTextureLayer.h"

CSnowFirstOne::CSnowFirstOne() = default;

CSnowFirstOne::~CSnowFirstOne()
{
    if (m_particle != nullptr)
        m_particle->SetRunning(0);
    m_particle.reset();
    m_texture.reset();
}

CTextureLayer* CSnowFirstOne::LoadTexture(CStringUTF8 name)
{
    return LoadEffectTexture(name);
}

void CSnowFirstOne::Start()
{
    m_texture.reset(LoadTexture("SnowBall.akb"));
    m_particle = std::make_unique<CSnowParticleOne>();
    m_particle->Create(m_texture.get(), SNOWBALL_START_X, SNOWBALL_STOP_Y);
    m_particle->SetRunning(1);
    if (CAppTask* runner = GetAppTask())
        runner->AddTask(m_particle.get());
}
