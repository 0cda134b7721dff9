#include "script/commands/CFuncString.h"

#include <algorithm>
#include <memory>
#include <string>

#include "foundation/CLangTextFile.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/LineBreakRules.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CFontDIB.h"
#include "graphics/SpriteLayerRegistry.h"
#include "script/ScriptState.h"
#include "script/ScriptWork.h"

namespace {

constexpr int32_t DRAW_TEXT_FONT_SIZE = 40;

// Calls fn(character, full_width) for each whole UTF-8 character of the text.
template <typename Fn>
void ForEachCharacter(const CStringUTF8& text, Fn fn)
{
    const std::string& bytes = text.GetStdString();
    size_t offset = 0;
    while (offset < bytes.size()) {
        const size_t size = std::clamp<size_t>(static_cast<size_t>(text.GetCharSize(bytes[offset])), 1,
                                               bytes.size() - offset);
        const std::string character = bytes.substr(offset, size);
        offset += size;
        if (!fn(character, text.IsFullWidth(character) != 0))
            return;
    }
}

LineBreakBox BoxOf(const TextBox& box)
{
    return LineBreakBox{box.Left, box.Top, box.Right, box.Bottom};
}

} // namespace

void CFuncString::Call(CScript&) {}

CFontDIB* CFuncString::CurrentFont(CFontDIB* font) const
{
    if (font)
        return font;
    switch (GetScriptState().FontIndex) {
    case 1:
        return GetSpriteLayerRegistry().GetFont(DOCUMENT_FONT_SECOND);
    case 2:
        return GetSpriteLayerRegistry().GetFont(DOCUMENT_FONT_THIRD);
    default:
        return GetSpriteLayerRegistry().GetFont(DOCUMENT_FONT_MAIN);
    }
}

void CFuncString::TypesetText(TextBox& box, CFontDIB* font)
{
    if (GetConfigSceneSkip())
        return;
    font = CurrentFont(font);
    const LineBreakBox limits = BoxOf(box);
    ForEachCharacter(box.Text, [&](const std::string& character, bool full_width) {
        if (character == "\n") {
            box.CursorY = AddWrapped(box.CursorY, box.LineHeight);
            box.CursorX = box.Left;
            return int64_t{box.CursorY} + box.LineHeight < box.Bottom;
        }
        const CStringUTF8 glyph(character.c_str());
        if (box.UseLineBreakRules == 1)
            ApplyLineBreakRules(glyph, box.CursorX, box.CursorY, AddWrapped(box.CellWidth, box.CellWidth),
                                box.LineHeight, limits, 1, m_hang_flag);
        if (int64_t{box.CursorY} + box.LineHeight > box.Bottom)
            return false;
        if (font)
            font->DrawText(glyph, box.CursorX, box.CursorY, box.DrawWord1, box.DrawWord2, box.DrawWord4,
                           box.DrawWord3);
        box.CursorX = AddWrapped(box.CursorX, (full_width ? int64_t{2} : int64_t{1}) * box.CellWidth);
        if (box.UseLineBreakRules == 0 && box.CursorX >= box.Right) {
            box.CursorY = AddWrapped(box.CursorY, box.LineHeight);
            box.CursorX = box.Left;
            return int64_t{box.CursorY} + box.LineHeight < box.Bottom;
        }
        return true;
    });
}

void CFuncString::TypesetTextVertical(TextBox& box, CFontDIB* font)
{
    if (GetConfigSceneSkip())
        return;
    font = CurrentFont(font);
    const LineBreakBox limits = BoxOf(box);
    ForEachCharacter(box.Text, [&](const std::string& character, bool) {
        const CStringUTF8 glyph(character.c_str());
        if (box.UseLineBreakRules == 1)
            ApplyLineBreakRulesVertical(glyph, box.CursorX, box.CursorY,
                                        AddWrapped(box.CellWidth, box.CellWidth), box.LineHeight, limits, 1,
                                        m_hang_flag);
        if (int64_t{box.CursorX} - box.CellWidth < box.Left)
            return false;
        if (font)
            font->DrawTextToSprite(glyph, box.CursorX, box.CursorY, box.DrawWord1, box.DrawWord2,
                                   box.DrawWord4, box.DrawWord3);
        box.CursorY = AddWrapped(box.CursorY, box.LineHeight);
        if (box.UseLineBreakRules == 0 && box.CursorY >= box.Bottom) {
            box.CursorX = AddWrapped(box.CursorX, -int64_t{box.CellWidth});
            box.CursorY = box.Top;
            return int64_t{box.CursorX} - box.CellWidth > box.Left;
        }
        return true;
    });
}

namespace {

TextServiceFontSource s_text_service_font = nullptr;

} // namespace

void SetTextServiceFontSource(TextServiceFontSource source)
{
    s_text_service_font = source;
}

int32_t DrawTextString(TextBox& box)
{
    if (box.DrawWord4 == nullptr)
        return 0;
    const std::unique_ptr<CFontDIB> font =
        s_text_service_font != nullptr ? s_text_service_font() : std::make_unique<CFontDIB>();
    font->Create(GetLanguageFontName());
    if (!font->SetFontSize(DRAW_TEXT_FONT_SIZE, DRAW_TEXT_FONT_SIZE)) {
        font->Release();
        return 0;
    }
    CFuncString().TypesetText(box, font.get());
    font->Release();
    return 1;
}

int32_t DrawLangText(int32_t id, TextBox& box)
{
    const ScriptWork* work = GetScriptWork();
    const CLangTextFile* file = work != nullptr ? work->m_text_file.get() : nullptr;
    if (file == nullptr || file->GetTable() == nullptr)
        return 0;
    box.Text = file->GetTable()->GetText(id);
    return DrawTextString(box);
}
