// The message window's name plates: the speaker's name typeset on the plate strip, the strips of
// the latest speakers kept drawn.

#include "screens/base/CMesWnd.h"

#include "foundation/ConfigSettings.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CFontDIB.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerOf.h"
#include "script/FlagBuffer.h"
#include "script/commands/CFuncString.h"
#include "script/vm/ScriptContext.h"

namespace {

inline constexpr POINT NAME_PLATE_BACKGROUND{600, 560};
inline constexpr int32_t NAME_CELL = 20;
// Bold and outlined. The name lies on the plate's opaque background: its glyph cells are blended
// over it, not copied whole, which would cut a transparent box around each glyph.
inline constexpr uint32_t NAME_DRAW_STYLE = FONT_BOLD | FONT_OUTLINE | FONT_BLEND;

} // namespace

void CMesWnd::DrawNamePlate()
{
    ScriptContext* context = GetScriptContext();
    FlagBuffer* state = CurrentFlagBuffer();
    const int32_t newest = CountBacklogEntries() - 1;
    // A message without a record has no speaker: the box must not move for it.
    if (context == nullptr || state == nullptr || newest < 0 ||
        static_cast<size_t>(newest) >= context->Backlog.Entries.size() ||
        state->Values.size() <= VALUE_ENGINE_STATE)
        return;
    const LogBuffer& entry = *context->Backlog.Entries[static_cast<size_t>(newest)];
    const CStringUTF8 name = entry.HeadText;
    const int32_t name_id = entry.HeadTextId;
    if (name.IsEmpty() && name_id == -1)
        return;
    std::vector<ScriptValue>& values = state->Values;
    CSpriteLayer* layer = FindSpriteLayer(values[53].Integer);
    const RECT& strip = MESWND_NAME_PLATE;
    const int32_t strip_width = strip.right - strip.left;
    const int32_t strip_height = strip.bottom - strip.top;
    // Whether the plate covers the whole strip, so that what was under it no longer shows.
    bool plate_whole = false;
    if (layer != nullptr) {
        if (CSpriteLayer* parts = GetPartsPicture()) {
            LiveDrawLock lock;
            layer->Blt(strip.left, strip.top, strip_width, strip_height, parts, NAME_PLATE_BACKGROUND.x,
                       NAME_PLATE_BACKGROUND.y, 1);
            plate_whole = parts->GetWidth() >= NAME_PLATE_BACKGROUND.x + strip_width &&
                          parts->GetHeight() >= NAME_PLATE_BACKGROUND.y + strip_height &&
                          layer->GetWidth() >= strip.right && layer->GetHeight() >= strip.bottom;
        }
    }
    std::array<ScriptValue, 7> saved;
    for (size_t k = 0; k < 6; ++k)
        saved[k] = values[46 + k];
    saved[6] = values[VALUE_ENGINE_STATE];
    values[VALUE_ENGINE_STATE] = ScriptValue::FromInteger(values[VALUE_ENGINE_STATE].Integer & ~0x80);
    values[VALUE_ENGINE_STATE] = ScriptValue::FromInteger(values[VALUE_ENGINE_STATE].Integer & ~0x100);
    const RECT& box = MESWND_NAME_BOX;
    values[46] = ScriptValue::FromInteger(box.left);
    values[47] = ScriptValue::FromInteger(box.top);
    values[48] = ScriptValue::FromInteger(box.right);
    values[49] = ScriptValue::FromInteger(box.bottom);
    TextBox text;
    text.Text = name;
    text.CursorX = box.left;
    text.CursorY = box.top;
    text.CellWidth = NAME_CELL;
    text.LineHeight = MESWND_NAME_LINE;
    text.DrawWord1 = static_cast<uint32_t>(values[33].Integer);
    text.DrawWord2 = static_cast<uint32_t>(values[32].Integer);
    text.DrawWord3 = NAME_DRAW_STYLE;
    text.Left = box.left;
    text.Top = box.top;
    text.Right = box.right;
    text.Bottom = box.bottom;
    text.UseLineBreakRules = 0;
    text.DrawWord4 = layer;
    if (layer != nullptr) {
        LiveDrawLock lock;
        if (name_id != -1) {
            DrawLangText(name_id, text);
        } else if (GetConfigLanguage() != LANGUAGE_SIMPLIFIED_CHINESE || DrawTextString(text) == 0) {
            m_name_plates->TypesetName(text, *layer, plate_whole, GetPartsPicture());
        }
    }
    for (size_t index : {size_t{46}, size_t{48}, size_t{49}, size_t{50}})
        values[index] = saved[index - 46];
    values[VALUE_ENGINE_STATE] = saved[6];
    values[47] = ScriptValue::FromInteger(saved[1].Integer + MESWND_NAME_SHIFT);
    values[51] = ScriptValue::FromInteger(saved[5].Integer + MESWND_NAME_SHIFT);
    ILayer* target = SpriteLayerOf(m_text_area_sprite.get());
    if (target != nullptr && layer != nullptr) {
        LiveDrawLock lock;
        target->Blt(strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top, layer,
                    strip.left, strip.top, 1);
        AddTextSpriteInk(*target, strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top);
        m_text_area_sprite->Invalidate(1, *m_text_area_sprite->GetRect());
    }
}
