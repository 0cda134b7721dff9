#pragma once
// The seven picture slots of the scene picture: overlays composed over the base picture of
// registered layer 1 through the work layer 2 into a target layer, and brought on screen by a
// fade or a rule transition of layer 6 over the scene layer 0. The slots and the names last
// shown live for the whole process. Main thread only; the fades wait on the app-task thread's
// animation task.

#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "platform/kernel/WinTypes.h"

class CSprite;
class CSpriteLayer;

inline constexpr int32_t PICTURE_SLOT_COUNT = 7;
// Pixels of this colour in an overlay of mode 0 leave the base visible.
inline constexpr uint32_t PICTURE_SLOT_KEY = 0xFF00;
// Registered layers of the composition.
inline constexpr int32_t PICTURE_LAYER_SCENE = 0;
inline constexpr int32_t PICTURE_LAYER_BASE = 1;
inline constexpr int32_t PICTURE_LAYER_WORK = 2;
inline constexpr int32_t PICTURE_LAYER_FADE = 6;

struct PictureSlot
{
    uint32_t m_in_use = 0;
    uint32_t m_mode = 0; // 0 colour-keyed overlay, anything else an overlay with alpha
    int32_t m_x = 0;     // where the overlay lies in the composed picture
    int32_t m_y = 0;
    CStringUTF8 m_name; // an AKB picture of the layer archive
};

// Slot index (0 to 6), for the picture command to set a position directly.
PictureSlot& GetPictureSlot(int32_t index);
// The name last set for slot index, read by the thumbnail writer and the seen-picture registry.
CStringUTF8& GetShownPictureName(int32_t index);
// The full-screen picture the script last drew as the base, read by the thumbnail writer.
CStringUTF8& GetShownBaseName();

// Makes sure the work layer is known; returns its argument. The registry is asked anew each time,
// so a layer 2 registered again later is the one drawn through.
int32_t CacheSpriteLayerTwo(int32_t value);
// Fills slot index (0 to 6; others do nothing) with the name at (0, 0); the mode as given.
void SetPictureSlotName(CStringUTF8 name, uint32_t mode, int32_t index);
// Decodes the picture at (0, 0) of the sprite's layer: (0, 0, width, height), or all zero when
// nothing was loaded (no sprite, no such picture, or a picture larger than the layer).
RECT LoadPictureSlot(CStringUTF8 name, CSprite* sprite);
// Composes the view (source x, source y, w, h) of the picture: the base, then each slot in use in
// order, into the target's layer at (x, y). Overlays are cut to the view.
void DrawPictureSlot(CSpriteLayer* target, int32_t x, int32_t y, int32_t w, int32_t h, int32_t source_x,
                     int32_t source_y);
// Fades layer 6 in over the scene in duration ticks (at least 1), copies it into layer 0 and hides
// it again.
void FadeInPictureSlot(int32_t duration);
// The same with the rule transition of the rule number.
void TransitionPictureSlot(uint32_t rule, int32_t duration);
// Every slot out of use, mode 0; the names stay.
void ClearPictureSlots();
// Layer 0 while the fade sprite covers the screen, else layer 6; null when not registered.
CSpriteLayer* GetPictureTargetLayer();
