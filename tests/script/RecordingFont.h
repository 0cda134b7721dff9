#pragma once
// A glyph renderer that records every call instead of drawing, for checking layouts by their
// positions and arguments rather than by pixels.

#include <functional>
#include <string>
#include <vector>

#include "graphics/CFontDIB.h"

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
    void DrawTextToSprite(CStringUTF8 character, int32_t x, int32_t y, uint32_t colour, uint32_t second_colour,
                          ILayer* target, uint32_t flags) override
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
