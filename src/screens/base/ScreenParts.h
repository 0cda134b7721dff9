#pragma once
// Small pieces the message-window family and the side menu share: a memory sprite with its
// pixels, a layer marked drawn, and the current game state's variables. Main thread only.

#include <cstddef>
#include <cstdint>
#include <memory>

class CSpriteLayer;

// A memory sprite in the draw list at the depth; null when its pixels cannot be made.
std::unique_ptr<CSpriteLayer> MakeMemorySprite(int32_t x, int32_t y, int32_t width, int32_t height,
                                               int32_t depth);
// A texture sprite of the size in the draw list at the depth, hidden; null when its texture cannot
// be made.
std::unique_ptr<CSpriteLayer> MakeTextureSprite(int32_t x, int32_t y, int32_t width, int32_t height,
                                                int32_t depth);
// The whole layer is redrawn at the next frame.
void MarkLayerDrawn(CSpriteLayer& layer);
// The integer of a variable of the current game state; 0 without one.
int32_t CurrentVariable(size_t index);
// Replay mode: variable 69 of the current game state is set.
int32_t IsReplayState();
