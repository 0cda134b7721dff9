#include "script/commands/CFuncFont.h"

#include "foundation/GameDocument.h"
#include "graphics/CFontDIB.h"
#include "graphics/SpriteLayerRegistry.h"
#include "script/vm/ScriptContext.h"

void CFuncFont::Call(CScript&)
{
    const int32_t function = Context->PopInteger();
    if (function != 0 && function != 1)
        return;
    const int32_t width = Context->PopInteger();
    const int32_t height = Context->PopInteger();
    if (function == 0) {
        // The four text fonts, in the document's order.
        for (int index : {DOCUMENT_FONT_MAIN, DOCUMENT_FONT_SECOND, DOCUMENT_FONT_THIRD, DOCUMENT_FONT_VERTICAL}) {
            if (CFontDIB* font = GetSpriteLayerRegistry().GetFont(index))
                font->SetFontSize(width, height);
        }
    } else if (CFontDIB* font = GetSpriteLayerRegistry().GetFont(DOCUMENT_FONT_FIFTH)) {
        font->SetFontSize(width, height);
    }
}
