#include "graphics/SpriteLayerRegistry.h"

#include <new>
#include <utility>

#include "foundation/CExecException.h"
#include "foundation/CreationFault.h"
#include "foundation/DocumentLink.h"
#include "foundation/IAppTask.h"
#include "foundation/InstalledSource.h"
#include "foundation/PlayerMessage.h"
#include "foundation/ScopedLock.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CAnimeManager.h"
#include "graphics/CAppTask.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CFontDIB.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/CSpriteLayerFile.h"

namespace {

InstalledSource<SpriteLayerRegistry> s_source;

// A layer sprite for the document; the failure text when it cannot be made.
std::unique_ptr<CSpriteLayer> MakeLayerSprite(int32_t width, int32_t height, int32_t type,
                                              const char* failure)
{
    std::unique_ptr<CSpriteLayer> sprite;
    if (!IsCreationFaultInjected(failure))
        sprite = CreateSpriteOfType(0, 0, width, height, -1, type);
    if (sprite == nullptr)
        throw CExecException(failure);
    return sprite;
}

} // namespace

SpriteLayerRegistry::SpriteLayerRegistry() = default;

SpriteLayerRegistry::~SpriteLayerRegistry()
{
    StopAnimeManager();
    ReleaseFonts();
    ReleaseLayers();
    ReleaseLayerFile();
}

void SpriteLayerRegistry::RegisterSpriteLayer(int32_t number, CSpriteLayer* layer)
{
    {
        ScopedLock lock(m_lock);
        auto it = m_layers.find(number);
        if (it == m_layers.end()) {
            m_layers.emplace(number, std::unique_ptr<CSpriteLayer>(layer));
            return;
        }
        // The same layer again must not be freed under the caller.
        if (it->second.get() != layer)
            it->second.reset(layer);
    }
    // Told outside the lock: the box pumps messages while the tasks go on.
    CStringUTF8 text;
    text.Format("既に%u番のスプライトレイヤーは登録されています。", static_cast<uint32_t>(number));
    DocumentLink* link = GetDocumentLink();
    ShowPlayerMessage(0, link != nullptr ? link->FormatScriptError(text) : text);
}

void SpriteLayerRegistry::UnregisterSpriteLayer(int32_t number)
{
    ScopedLock lock(m_lock);
    m_layers.erase(number);
}

CSpriteLayer* SpriteLayerRegistry::GetSpriteLayer(int32_t number)
{
    ScopedLock lock(m_lock);
    auto it = m_layers.find(number);
    return it == m_layers.end() ? nullptr : it->second.get();
}

CSpriteLayer* SpriteLayerRegistry::FindSpriteLayer(int32_t number)
{
    auto it = m_layers.find(number);
    return it == m_layers.end() ? nullptr : it->second.get();
}

void SpriteLayerRegistry::CreateFonts()
{
    const char* failure = "Failed to create the Font Object";
    m_fonts[DOCUMENT_FONT_MAIN] = Make<CFontDIB>(failure);
    m_fonts[DOCUMENT_FONT_THIRD] = Make<CFontDIB>(failure);
    m_fonts[DOCUMENT_FONT_SECOND] = Make<CFontDIB>(failure);
    const CStringUTF8 face = GetLanguageFontName();
    m_fonts[DOCUMENT_FONT_MAIN]->Create(face);
    m_fonts[DOCUMENT_FONT_THIRD]->Create("SimHei");
    m_fonts[DOCUMENT_FONT_SECOND]->Create("SimHei");
    m_fonts[DOCUMENT_FONT_VERTICAL] = Make<CFontDIB>(failure);
    const CStringUTF8 vertical = CStringUTF8("@") + face;
    m_fonts[DOCUMENT_FONT_VERTICAL]->Create(vertical);
    m_fonts[DOCUMENT_FONT_FIFTH] = Make<CFontDIB>(failure);
    m_fonts[DOCUMENT_FONT_FIFTH]->Create(face);
}

void SpriteLayerRegistry::CreateLayerFile(const CStringUTF8& archive)
{
    m_layer_file = Make<CSpriteLayerFile>("Failed to create the Sprite Archive", archive, false, true);
    SetDocumentLayerFile(m_layer_file.get());
}

void SpriteLayerRegistry::CreateLayers()
{
    m_fade_sprite = Make<CFadeSprite>("Failed to create the Fade Sprite");
    m_fade_sprite->ResetDrawParams();
    m_fade_sprite->CreateRenderTargets();
    const SIZE screen = GetScreenOriginalSize(1);
    m_work_layer = MakeLayerSprite(screen.cx, screen.cy, 0, "Failed to create the Work Layer");
    m_layer_file->SetWorkLayer(m_work_layer->GetLayer());
    m_stack_layer =
        MakeLayerSprite(STACK_LAYER_SIZE, STACK_LAYER_SIZE, 1, "Failed to create the Stack Layer");
}

std::unique_ptr<CFontDIB> SpriteLayerRegistry::ReplaceFont(int index, std::unique_ptr<CFontDIB> font)
{
    return std::exchange(m_fonts[static_cast<size_t>(index)], std::move(font));
}

void SpriteLayerRegistry::StartAnimeManager()
{
    m_anime_manager.reset(new (std::nothrow) CAnimeManager(ANIME_MANAGER_PERIOD));
    if (m_anime_manager == nullptr)
        return;
    if (CAppTask* runner = GetAppTask())
        runner->AddTask(m_anime_manager.get());
}

void SpriteLayerRegistry::StopAnimeManager()
{
    if (!m_anime_manager)
        return;
    if (CAppTask* runner = GetAppTask())
        runner->RemoveTask(m_anime_manager.get());
    m_anime_manager.reset();
}

void SpriteLayerRegistry::ReleaseFonts()
{
    for (auto& font : m_fonts) {
        if (font)
            font->Release();
        font.reset();
    }
}

void SpriteLayerRegistry::ReleaseLayers()
{
    m_sprites.clear();
    m_sprite_animes.clear();
    m_fade_sprite.reset();
    m_work_layer.reset();
    m_stack_layer.reset();
    ScopedLock lock(m_lock);
    m_layers.clear();
}

void SpriteLayerRegistry::ReleaseLayerFile()
{
    if (m_layer_file)
        SetDocumentLayerFile(nullptr);
    m_layer_file.reset();
}

SpriteLayerRegistry& GetSpriteLayerRegistry()
{
    if (SpriteLayerRegistry* object = s_source.Get())
        return *object;
    static SpriteLayerRegistry unowned;
    return unowned;
}

void SetSpriteLayerRegistrySource(SpriteLayerRegistry* (*source)())
{
    s_source.Set(source);
}
