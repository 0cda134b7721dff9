#pragma once
// A layer whose pixels live in a plain heap buffer, rows bottom-up. Owned by whoever made it.

#include "graphics/ILayer.h"

class CDIB : public ILayer
{
public:
    CDIB() = default;
    ~CDIB() override;

    // Allocates zeroed pixels, replacing any it had; throws the CStringUTF8
    // "CDIB::Create: Failed to allocate buffer." when memory runs out (the old pixels stay then).
    BITMAPINFOHEADER* Create(int32_t width, int32_t height) override;
    void Release() override;
    int32_t GetType() override { return 0; }
    ptrdiff_t GetPixelOffset(int32_t x, int32_t y) override;
    ptrdiff_t GetPitch() override;
    uint8_t* GetBits() override
    {
        NoteDirectAccess();
        return m_bits;
    }
    HDC GetDC() override { return nullptr; }
    BITMAPINFOHEADER* Resize(int32_t width, int32_t height) override;

protected:
    void ZeroRows(uint8_t* first, size_t bytes) override;

    uint8_t* m_bits = nullptr; // owned here; CDIBDC points it into its DIB section instead
};
