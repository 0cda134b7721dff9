#pragma once
// The document: owner of the game state and of the sprite layers registered by number.
// FIXME: only the members graphics code calls until the document is in.

#include <cstdint>
#include <map>
#include <memory>

class CSpriteLayer;

class CVeskDoc
{
public:
    CVeskDoc();
    ~CVeskDoc();

    // The registry owns its layers; registering a number again replaces (and frees) the old one.
    void RegisterSpriteLayer(int32_t number, CSpriteLayer* layer);
    void UnregisterSpriteLayer(int32_t number);
    CSpriteLayer* GetSpriteLayer(int32_t number);

    // The current game state's engine state word; 0 when there is no game state.
    uint32_t GetEngineStateWord();

private:
    std::map<int32_t, std::unique_ptr<CSpriteLayer>> m_sprite_layers;
};

CVeskDoc* GetDocument();
