#pragma once
// The holder of the falling-petal effect: the petal texture and the particle task. The game's
// command group keeps one holder and drives it by sub-command on the main thread: prepare (with
// a builder thread), start, end, or prepare and start at once. Deleting the holder stops and
// frees the task before its texture.

#include <cstdint>
#include <memory>

#include "foundation/CStringUTF8.h"

class CSakuraParticle;
class CTextureLayer;

// Loads a picture of the document's layer file into a new texture layer (a render target, so
// its pixels reach the texture at once); null when it cannot be loaded.
CTextureLayer* LoadEffectTexture(const CStringUTF8& name);

class CSakuraEffect
{
public:
    CSakuraEffect();
    virtual ~CSakuraEffect();
    CSakuraEffect(const CSakuraEffect&) = delete;
    CSakuraEffect& operator=(const CSakuraEffect&) = delete;

    virtual CTextureLayer* LoadTexture(CStringUTF8 name);

    // Loads "hana.akb" and starts building the petals on a thread of their own.
    void Prepare();
    // Loads "hana.akb" and builds all petals on this thread.
    void PrepareNow();
    // Takes the petals built so far and sets them falling; nothing without a task.
    void Start();

    CSakuraParticle* GetParticles() const { return m_particles.get(); }
    CTextureLayer* GetTexture() const { return m_texture.get(); }

private:
    std::unique_ptr<CTextureLayer> m_texture;
    std::unique_ptr<CSakuraParticle> m_particles;
};
