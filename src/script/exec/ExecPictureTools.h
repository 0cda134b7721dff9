#pragma once
// What the exec group's picture, train and effect commands share: the screen's size, the drawing
// of the picture slots, the registered sprites' layers, the layer file the pictures load from and
// one pass of a skippable polling loop. Main thread only.

#include <cstdint>

class CInputView;
class CLayerFile;
class GameDocument;
class ILayer;

inline constexpr int32_t SCREEN_W = 1920;
inline constexpr int32_t SCREEN_H = 1080;

// Draws the picture slots into the picture target layer, moved by the offset.
void DrawSlots(int32_t offset_x, int32_t offset_y);
// The layer of the registered sprite of that number; null when none is registered.
ILayer* RegisteredLayer(int32_t number);
// The document's layer file, or the shared one when the document has none.
CLayerFile* LayerFile();
// One pass of a skippable polling loop: false when the application quits or a skip is seen.
bool PollPass(GameDocument* document, CInputView* input_view);
