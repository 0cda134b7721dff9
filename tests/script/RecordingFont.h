#pragma once
// A glyph renderer that records every call instead of drawing, for checking layouts by their
// positions and arguments rather than by pixels.

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/CVeskDoc.h"
#include "graphics/CFontDIB.h"
#include "graphics/SpriteLayerRegistry.h"
#include "script/FlagBuffer.h"

struct GlyphCall
{
    std::string Character;
    int32_t X = 0;
    int32_t Y = 0;
    uint32_t Colour = 0;
    uint32_t SecondColour = 0;
    ILayer* Target = nullptr;
    uint32_t Flags = 0;
    bool Vertical = false;
};

class RecordingFont final : public CFontDIB
{
public:
    void DrawText(CStringUTF8 character, int32_t x, int32_t y, uint32_t colour, uint32_t second_colour,
                  ILayer* target, uint32_t flags) override
    {
        Record({character.GetText(), x, y, colour, second_colour, target, flags, false});
    }
    void DrawTextToSprite(CStringUTF8 character, int32_t x, int32_t y, uint32_t colour,
                          uint32_t second_colour, ILayer* target, uint32_t flags) override
    {
        Record({character.GetText(), x, y, colour, second_colour, target, flags, true});
    }

    // The characters drawn, in order, as one text.
    std::string Text() const
    {
        std::string text;
        for (const GlyphCall& call : Calls)
            text += call.Character;
        return text;
    }

    std::vector<GlyphCall> Calls;
    std::function<void()> OnDraw; // runs after each recorded call

private:
    void Record(GlyphCall call)
    {
        Calls.push_back(std::move(call));
        if (OnDraw)
            OnDraw();
    }
};

// Puts a recording font in one of the document's font places for the object's lifetime.
class ScopedRecordingFont
{
public:
    explicit ScopedRecordingFont(int index)
        : m_index(index)
    {
        auto font = std::make_unique<RecordingFont>();
        m_font = font.get();
        m_previous = GetSpriteLayerRegistry().ReplaceFont(index, std::move(font));
    }
    ~ScopedRecordingFont() { GetSpriteLayerRegistry().ReplaceFont(m_index, std::move(m_previous)); }
    ScopedRecordingFont(const ScopedRecordingFont&) = delete;
    ScopedRecordingFont& operator=(const ScopedRecordingFont&) = delete;

    RecordingFont* operator->() const { return m_font; }
    RecordingFont& operator*() const { return *m_font; }

private:
    int m_index;
    RecordingFont* m_font; // not owned: the document's while this object lives
    std::unique_ptr<CFontDIB> m_previous;
};

// A message layout: box (100, 50)-(1900, 1000), pen at its corner, cells of 24 for glyphs of 20,
// lines of 30, the baseline 6 down.
inline void SetTestTextLayout(FlagBuffer& state)
{
    const std::pair<size_t, int32_t> layout[] = {{30, 24}, {31, 30},   {34, 20},   {35, 6},   {46, 100},
                                                 {47, 50}, {48, 1900}, {49, 1000}, {50, 100}, {51, 50}};
    for (const auto& [index, value] : layout)
        state.Values[index] = ScriptValue::FromInteger(value);
}
