#include "graphics/CSakuraEffect.h"

#include "graphics/CLayerFile.h"
#include "graphics/CSakuraParticle.h"
#include "graphics/CTextureLayer.h"

CTextureLayer* LoadEffectTexture(const CStringUTF8& name)
{
    CLayerFile* file = GetDocumentLayerFile();
    if (file == nullptr)
        return nullptr;
    ILayer* layer = file->LoadPicture(name, nullptr, LAYER_KIND_TEXTURE, 1, nullptr, -1, -1, 0);
    return dynamic_cast<CTextureLayer*>(layer);
}

CSakuraEffect::CSakuraEffect() = default;

CSakuraEffect::~CSakuraEffect()
{
    if (m_particles != nullptr)
        m_particles->SetRunning(0);
    m_particles.reset();
    m_texture.reset();
}

CTextureLayer* CSakuraEffect::LoadTexture(CStringUTF8 name)
{
    return LoadEffectTexture(name);
}

void CSakuraEffect::Prepare()
{
    m_texture.reset(LoadTexture("hana.akb"));
    m_particles = std::make_unique<CSakuraParticle>();
    m_particles->StartBuilder(m_texture.get(), PetalBuilderThread);
}

void CSakuraEffect::PrepareNow()
{
    m_texture.reset(LoadTexture("hana.akb"));
    m_particles = std::make_unique<CSakuraParticle>();
    m_particles->Create(m_texture.get());
}

void CSakuraEffect::Start()
{
    if (m_particles != nullptr)
        m_particles->Start();
}
