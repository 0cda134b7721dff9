#pragma once
// The string command group: no library ID and nothing to call, only the two typesetters that lay
// a text character by character into a TextBox and hand each character to a glyph renderer.
// Built on the stack by whoever draws a text; the hang flag of the line-break rules lives with
// the object, so it starts at 0 for each object. Main thread only.

#include <cstdint>
#include <memory>

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

// Draws the box's own text with a glyph renderer of the interface language's face at 40 x 40
// into the box's layer. 0 when nothing could be drawn: no layer, or no renderer of that size.
int32_t DrawTextString(TextBox& box);
// Where the text service takes its renderer from; null puts the plain one back. A layout that
// must go through the service is checked with a renderer that records its calls.
using TextServiceFontSource = std::unique_ptr<CFontDIB> (*)();
void SetTextServiceFontSource(TextServiceFontSource source);
// The same for the text of an id of the game's language message table (the one the exec
// group's language messages open); 0 as well while no table is open.
int32_t DrawLangText(int32_t id, TextBox& box);
