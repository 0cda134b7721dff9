#pragma once
// A 32-bit software picture (bytes blue, green, red, alpha; not premultiplied) and the pixel
// operations the engine composes with. Subclasses decide where the pixels live: CDIB on the heap,
// CDIBDC in a DIB section, texture layers in a buffer mirrored to the GPU, sprite layers in an
// inner layer they forward to. Layers are drawn on by one thread at a time; the owner says which.
//
// Every operation takes its destination rectangle first and clips it to this layer, and the
// matching source rectangle to the source layer, moving both together; a rectangle that is empty
// after clipping changes nothing, not even the modified flag.

#include "foundation/OrderedMutex.h"
#include "platform/gdi/GdiApi.h"
#include "platform/kernel/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class ILayer
{
public:
    ILayer();
    virtual ~ILayer() = default;
    ILayer(const ILayer&) = delete;
    ILayer& operator=(const ILayer&) = delete;

    // The base fills the header for a bottom-up 32-bit picture and returns it.
    virtual BITMAPINFOHEADER* Create(int32_t width, int32_t height);
    virtual void Release() = 0;
    // 0 heap layer, 1 DIB section, 2 texture layer.
    virtual int32_t GetType() = 0;
    virtual ptrdiff_t GetPixelOffset(int32_t x, int32_t y) = 0;
    // The signed step from a row to the row below it on screen.
    virtual ptrdiff_t GetPitch() = 0;
    virtual uint8_t* GetPixelPtr(int32_t x, int32_t y);
    virtual uint8_t* GetBits() = 0;
    virtual HDC GetDC() = 0;
    virtual BITMAPINFOHEADER* GetHeader();
    virtual int32_t GetWidth();
    virtual int32_t GetHeight();
    virtual int32_t GetStride();
    virtual int32_t Lock();
    virtual int32_t Unlock();
    virtual BITMAPINFOHEADER* Resize(int32_t width, int32_t height);
    virtual SIZE GetSize();
    // 256 x 256 bytes; entry [i][j] at i * 256 + j is floor(i * j / 255). Shared by all layers.
    virtual const uint8_t* GetMultiplyTable();

    // Copies and alpha blits. mode 1 copies whole pixels; other modes keep the destination alpha.
    virtual void Blt(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                     int32_t mode);
    virtual void BltAlpha(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy);
    virtual void BltTransparent(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                                int32_t sy);
    virtual void CopyAlpha(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                           int32_t sy);
    virtual void BltOpacity(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                            int32_t sy, int32_t opacity, int32_t mode);
    // second is read at (x, y), the same place as this layer.
    virtual void BltCrossFade(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                              int32_t sy, int32_t ratio, ILayer* second);
    virtual void BltAlphaOpacity(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                                 int32_t sy, int32_t opacity);
    virtual void BltOverOpacity(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                                int32_t sy, int32_t opacity);

    // Blend modes: the mode's colour mixed over the destination by opacity x source alpha.
    virtual void BltMultiply(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                             int32_t sy, int32_t opacity);
    virtual void BltSubtract(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                             int32_t sy, int32_t opacity);
    virtual void BltScreen(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                           int32_t opacity);
    virtual void BltOverlay(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                            int32_t sy, int32_t opacity);
    virtual void BltColorDodge(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                               int32_t sy, int32_t opacity);
    virtual void BltColorBurn(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                              int32_t sy, int32_t opacity);
    virtual void BltDarken(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                           int32_t opacity);
    virtual void BltLighten(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                            int32_t sy, int32_t opacity);
    virtual void BltSoftLight(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                              int32_t sy, int32_t opacity);
    virtual void BltHardLight(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                              int32_t sy, int32_t opacity);
    virtual void BltExclusion(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                              int32_t sy, int32_t opacity);

    // Alpha-channel arithmetic; colour bytes untouched, modified flag left alone.
    virtual void CopyAlphaScaledF(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                                  int32_t sy, float factor);
    virtual void CopyAlphaScaled(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                                 int32_t sy, int32_t factor);
    virtual void AddAlpha(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy);
    virtual void MultiplyAlpha(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                               int32_t sy);
    virtual void AddAlphaScaled(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                                int32_t sy, int32_t factor);

    // Colour keys compare the low 24 bits (0x00RRGGBB).
    virtual void BltColorKey(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                             int32_t sy, uint32_t key);
    virtual void BltColorKeyAlpha(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                                  int32_t sy, uint32_t key);
    virtual void MakeColorKeyMask(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                                  int32_t sy, uint32_t key, uint32_t value);
    // Composition onto a destination that has an alpha of its own.
    virtual void BltOver(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy);
    virtual void BltOverWeighted(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                                 int32_t sy, int32_t weight);

    // Filters.
    virtual void BltAlphaToGray(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                                int32_t sy);
    virtual void BlendColorHalf(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour);
    virtual void HalveBrightness(int32_t x, int32_t y, int32_t w, int32_t h);
    virtual void Invert(int32_t x, int32_t y, int32_t w, int32_t h);
    virtual void BltInvert(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                           int32_t sy);
    virtual void Grayscale(int32_t x, int32_t y, int32_t w, int32_t h);
    virtual void Sepia(int32_t x, int32_t y, int32_t w, int32_t h);

    // Fills.
    virtual void ClearRect(int32_t x, int32_t y, int32_t w, int32_t h);
    virtual void Clear();
    // mode 0 keeps the destination alpha; any other mode writes the whole word.
    virtual void FillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, int32_t mode);
    // colour is 0xAARRGGBB; its alpha mixes it over the destination.
    virtual void FillRectAlpha(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour);
    virtual void SetAlphaRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t alpha);
    virtual void HalveAlphaRect(int32_t x, int32_t y, int32_t w, int32_t h);

    virtual void SetModified(int32_t value);
    virtual int32_t GetModified();

    // Whether the pixels may have changed since the last call, for the display's draw pass,
    // which skips a frame that would be the same and composes only the changed part of one that
    // would not: `written` when an operation changed them (a copy of what is already there does
    // not count) or they were reached directly (pixel pointer, device context), `direct` for the
    // latter, whose writing may still follow and may be anywhere; `rect` holds what operations
    // wrote, and is the whole layer after a direct reach. A new layer counts as written whole.
    // Any thread.
    struct Changes
    {
        bool written = false;
        bool direct = false;
        RECT rect{};
    };
    Changes TakeChanges();
    // Counts the writes noted as above (a direct reach among them); a caller that saw the count
    // after its own drawing knows, while it stands, that the layer still holds that drawing. Any
    // thread.
    uint64_t GetWriteCount();
    // Whether every pixel of the part (clipped to the layer) has alpha 0xFF; not a direct reach.
    bool IsOpaque(const RECT& part);
    // The smallest rectangle of the part (clipped to the layer) holding every pixel whose alpha is
    // below 0xFF; empty when there is none. Not a direct reach.
    RECT TranslucentBounds(const RECT& part);
    // The pixels of the part (clipped to the layer), row by row; none without pixels. Not a
    // direct reach.
    std::vector<uint32_t> ReadPixels(const RECT& part);
    // The pixel every pixel of the layer holds, when they all hold one; none otherwise or
    // without pixels. Not a direct reach.
    std::optional<uint32_t> UniformPixel();

protected:
    // The part within the layer; right or bottom not past left or top when nothing is.
    RECT ClipToLayer(const RECT& part);
    void FillHeader(int32_t width, int32_t height);
    // Subclasses call this from their pixel pointer and device context accessors; the layer's
    // own operations reach pixels without it and note what they wrote themselves.
    void NoteDirectAccess();
    void NoteWritten();
    void NoteWritten(const RECT& rect);

    int32_t m_modified = 1;
    int32_t m_recorded_width = 0;
    int32_t m_recorded_height = 0;
    BITMAPINFOHEADER m_header{};

    // Zeroes whole rows of pixels, one run of bytes: a layer that owns its block gives the pages
    // back, so a layer cleared whole costs nothing until it is drawn into again.
    virtual void ZeroRows(uint8_t* first, size_t bytes);

private:
    // A sprite's layer facade hands its clears on to the layer it fronts.
    friend class CSpriteLayer;

    // Clears the rectangle; rows of the whole width are zeroed as one run.
    void ClearRows(int32_t x, int32_t y, int32_t w, int32_t h);

    OrderedMutex m_change_lock{LOCK_LEVEL_LAYER_CHANGES}; // guards the members below
    bool m_written = true;
    bool m_direct = false;
    uint64_t m_write_count = 0;
    bool m_written_whole = true;
    RECT m_written_rect{};

    template <typename RowFn>
    bool WalkRows(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                  bool mark_modified, RowFn&& row_fn);
    template <typename RowFn>
    bool WalkRows(int32_t x, int32_t y, int32_t w, int32_t h, bool mark_modified, RowFn&& row_fn);
    template <typename ModeFn>
    void BlendMode(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                   int32_t opacity, ModeFn&& mode_fn);
};
