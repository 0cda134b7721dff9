#pragma once
// The string command group: no library ID and nothing to call, only the two typesetters that lay
// a text character by character into a TextBox and hand each character to a glyph renderer.
// Built on the stack by whoever draws a text; the hang flag of the line-break rules lives with
// the object, so it starts at 0 for each object. Main thread only.

#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "script/commands/IFunc.h"

class CFontDIB;
class ILayer;

// The record a text is typeset into. The caller fills it; the typesetters move the cursor.
struct TextBox
{
    CStringUTF8 Text;
    int32_t CursorX = 0;
    int32_t CursorY = 0;
    int32_t CellWidth = 0;  // horizontal: half-width advance; vertical: the column distance
    int32_t LineHeight = 0; // horizontal: the line distance; vertical: the advance down a column
    uint32_t DrawWord1 = 0; // character colour
    uint32_t DrawWord2 = 0; // outline or shadow colour
    uint32_t DrawWord3 = 0; // drawing flags of the glyph renderer
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    uint8_t UseLineBreakRules = 0;
    ILayer* DrawWord4 = nullptr; // not owned: the target layer; none lays out without drawing
};

class CFuncString : public IFunc
{
public:
    void Call(CScript& script) override;

    // Without a font the document's current font draws.
    void TypesetText(TextBox& box, CFontDIB* font = nullptr);
    void TypesetTextVertical(TextBox& box, CFontDIB* font = nullptr);

private:
    CFontDIB* CurrentFont(CFontDIB* font) const;

    int32_t m_hang_flag = 0;
};
