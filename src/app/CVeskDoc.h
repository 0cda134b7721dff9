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
    void SetEngineStateBits(uint32_t bits) { m_engine_state |= bits; }
    void ClearEngineStateBits(uint32_t bits) { m_engine_state &= ~bits; }

    // The request word that menu commands and dialogs post to: op 0 clears bits, 1 sets them,
    // 2 answers whether any of them is set, 3 runs the event tick once. False for op 0, 1, 3 and
    // any op above 3.
    bool EventFlagOp(uint32_t op, uint32_t bits);

private:
    std::map<int32_t, std::unique_ptr<CSpriteLayer>> m_sprite_layers;
    uint32_t m_engine_state = 0; // FIXME: the game state's own word once the game state is held here
    uint32_t m_request_word = 0; // main thread only
};

CVeskDoc* GetDocument();
