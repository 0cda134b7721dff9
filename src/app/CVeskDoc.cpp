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
    return m_engine_state;
}

bool CVeskDoc::EventFlagOp(uint32_t op, uint32_t bits)
{
    switch (op) {
    case 0:
        m_request_word &= ~bits;
        return false;
    case 1:
        m_request_word |= bits;
        return false;
    case 2:
        return (m_request_word & bits) != 0;
    case 3:
        // FIXME: the event tick that serves the requests comes with the document's frame.
        return false;
    default:
        return false;
    }
}

CVeskDoc* GetDocument()
{
    static auto* s_document = new CVeskDoc;
    return s_document;
}
