#include "app/CVeskDoc.h"

#include "graphics/CSpriteLayer.h"

CVeskDoc::CVeskDoc() = default;

CVeskDoc::~CVeskDoc() = default;

void CVeskDoc::RegisterSpriteLayer(int32_t number, CSpriteLayer* layer)
{
    m_sprite_layers[number].reset(layer);
}

void CVeskDoc::UnregisterSpriteLayer(int32_t number)
{
    m_sprite_layers.erase(number);
}

CSpriteLayer* CVeskDoc::GetSpriteLayer(int32_t number)
{
    auto it = m_sprite_layers.find(number);
    return it == m_sprite_layers.end() ? nullptr : it->second.get();
}

uint32_t CVeskDoc::GetEngineStateWord()
{
    return 0;
}

CVeskDoc* GetDocument()
{
    static auto* s_document = new CVeskDoc;
    return s_document;
}
