#pragma once
// A layer whose pixels live in a GDI DIB section selected into a memory device context, so GDI
// calls (glyphs, StretchBlt) can draw into the same memory the pixel operations address.

#include "graphics/CDIB.h"

class CDIBDC : public CDIB
{
public:
    CDIBDC() = default;
    ~CDIBDC() override;

    // Throws a CStringUTF8 naming the step that failed; what was made before stays in the object
    // and goes with Release.
    BITMAPINFOHEADER* Create(int32_t width, int32_t height) override;
    void Release() override;
    int32_t GetType() override { return 1; }
    HDC GetDC() override
    {
        NoteDirectAccess();
        return m_dc;
    }

protected:
    // The section is made without a mapping: its pixels are a heap block of their own, and rows
    // cleared whole go back to the system.
    void ZeroRows(uint8_t* first, size_t bytes) override;

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old_object = nullptr;
};
