#pragma once
// The document's drawing state: the numbered sprite layers the scripts register, the numbered
// sprites and sprite animations of the sprite commands, the layer file, the fade, work and stack
// layers, the fonts and the animation manager. The document makes one and builds its parts at
// the start of the game, in its own order, and frees them again at teardown.
// Main thread only, except the layer registry: the animation tasks look layers up and blit from
// them on the app-task thread, holding GetSpriteLayerLock() for the whole use, and registering or
// freeing a layer takes it too. The animation manager runs on the app-task thread once started.

#include <array>
#include <cstdint>
#include <map>
#include <memory>

#include "foundation/CCriticalSection.h"
#include "foundation/CStringUTF8.h"
#include "foundation/LockOrder.h"

class CAnimeManager;
class CFadeSprite;
class CFontDIB;
class CSprite;
class CSpriteLayer;
class CSpriteLayerFile;
class IAppTask;

// Fonts of the document, in their order.
inline constexpr int DOCUMENT_FONT_MAIN = 0;
inline constexpr int DOCUMENT_FONT_SECOND = 1;
inline constexpr int DOCUMENT_FONT_THIRD = 2;
inline constexpr int DOCUMENT_FONT_VERTICAL = 3;
inline constexpr int DOCUMENT_FONT_FIFTH = 4;
inline constexpr int DOCUMENT_FONT_COUNT = 5;

inline constexpr int32_t STACK_LAYER_SIZE = 2048;

inline constexpr uint32_t ANIME_MANAGER_PERIOD = 20;

class SpriteLayerRegistry
{
public:
    SpriteLayerRegistry();
    ~SpriteLayerRegistry();
    SpriteLayerRegistry(const SpriteLayerRegistry&) = delete;
    SpriteLayerRegistry& operator=(const SpriteLayerRegistry&) = delete;

    // The registry owns its layers. A number registered again under another layer frees the
    // old one; either way the script author is told.
    void RegisterSpriteLayer(int32_t number, CSpriteLayer* layer);
    void UnregisterSpriteLayer(int32_t number);
    CSpriteLayer* GetSpriteLayer(int32_t number);
    CCriticalSection& GetSpriteLayerLock() { return m_lock; }
    // The layer registered under the number, or null; unlike GetSpriteLayer it takes no lock.
    CSpriteLayer* FindSpriteLayer(int32_t number);

    // The sprite commands' numbered sprites and sprite animations; owned.
    std::map<int32_t, std::unique_ptr<CSprite>>& Sprites() { return m_sprites; }
    std::map<int32_t, std::unique_ptr<IAppTask>>& SpriteAnimes() { return m_sprite_animes; }

    CSpriteLayerFile* GetLayerFile() { return m_layer_file.get(); }
    CFadeSprite* GetFadeSprite() { return m_fade_sprite.get(); }
    CSpriteLayer* GetWorkLayer() { return m_work_layer.get(); }
    CSpriteLayer* GetStackLayer() { return m_stack_layer.get(); }
    CFontDIB* GetFont(int index) { return m_fonts[static_cast<size_t>(index)].get(); }
    CAnimeManager* GetAnimeManager() { return m_anime_manager.get(); }

    // The start of the game's parts; each throws CExecException with its start-up text.
    void CreateFonts();
    // Opens the layer archive and makes it the document's layer file.
    void CreateLayerFile(const CStringUTF8& archive);
    // The fade, work and stack layers; after the layer file.
    void CreateLayers();
    // Puts a glyph renderer in a font's place and hands back the one it replaces.
    std::unique_ptr<CFontDIB> ReplaceFont(int index, std::unique_ptr<CFontDIB> font);
    // Makes the animation manager and adds it to the app task; nothing when it cannot be made.
    void StartAnimeManager();

    // The teardown's steps, each safe on a half-made registry and a second call.
    void StopAnimeManager();
    void ReleaseFonts();
    // The numbered sprites and animations, the fade, work and stack layers and every
    // registered layer.
    void ReleaseLayers();
    void ReleaseLayerFile();

private:
    CCriticalSection m_lock{LOCK_LEVEL_SPRITE_LAYER_REGISTRY}; // guards m_layers
    std::map<int32_t, std::unique_ptr<CSpriteLayer>> m_layers;
    std::map<int32_t, std::unique_ptr<CSprite>> m_sprites;
    std::map<int32_t, std::unique_ptr<IAppTask>> m_sprite_animes;
    std::unique_ptr<CSpriteLayerFile> m_layer_file;
    std::unique_ptr<CFadeSprite> m_fade_sprite;
    std::unique_ptr<CSpriteLayer> m_work_layer;
    std::unique_ptr<CSpriteLayer> m_stack_layer;
    std::array<std::unique_ptr<CFontDIB>, DOCUMENT_FONT_COUNT> m_fonts;
    std::unique_ptr<CAnimeManager> m_anime_manager;
};

// The document's registry, made with it on first use. The shell installs the source once before
// main; any thread may ask. Without one the registry is one of its own.
SpriteLayerRegistry& GetSpriteLayerRegistry();
void SetSpriteLayerRegistrySource(SpriteLayerRegistry* (*source)());
