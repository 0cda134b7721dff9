#pragma once
// The layer's own GDI objects behind HDC and HGDIOBJ handles. A handle is the address of its
// object; the registry knows which addresses are live, so a stale or foreign handle is refused
// instead of followed. The registry lock is a leaf: nothing is called while it is held.

#include "platform/gdi/GdiApi.h"
#include "platform/kernel/HeapApi.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace platform::gdi {

enum class ObjectKind
{
    Bitmap,
    Font
};

struct GdiObject
{
    explicit GdiObject(ObjectKind object_kind)
        : kind(object_kind)
    {}
    virtual ~GdiObject() = default;
    ObjectKind kind;
    bool stock = false; // never deleted
};

struct DeviceContext;

// Pixels come zeroed from calloc, which maps fresh pages for a large section: a section's memory
// is only committed where it is written, as a section nothing draws into costs nothing.
struct FreePixels
{
    void operator()(uint8_t* pixels) const { std::free(pixels); }
};
using PixelBuffer = std::unique_ptr<uint8_t[], FreePixels>;

// Zeroed pixels of that many bytes (at least one); null when they cannot be had.
inline PixelBuffer AllocatePixels(size_t bytes)
{
    PixelBuffer pixels(static_cast<uint8_t*>(std::calloc(bytes > 0 ? bytes : 1, 1)));
    PreferHugePages(pixels.get(), bytes);
    return pixels;
}

// A DIB section (or the stock 1 x 1 bitmap every memory context starts with).
struct Bitmap final : GdiObject
{
    Bitmap()
        : GdiObject(ObjectKind::Bitmap)
    {}
    int width = 0;
    int height = 0; // always positive
    bool top_down = false;
    int bit_count = 32;
    PixelBuffer pixels;
    DeviceContext* selected_in = nullptr; // a bitmap is selected into at most one context

    size_t Stride() const { return static_cast<size_t>(width) * 4; }
    // Address of pixel (x, y), y counted from the top of the picture.
    uint8_t* Row(int y) const
    {
        const size_t row = top_down ? static_cast<size_t>(y) : static_cast<size_t>(height - 1 - y);
        return pixels.get() + row * Stride();
    }
};

enum class ContextKind
{
    Memory,
    Window
};

struct DeviceContext
{
    ContextKind kind = ContextKind::Memory;
    Bitmap* bitmap = nullptr; // selected bitmap (the stock one when none of ours)
    GdiObject* font = nullptr;
    int stretch_mode = BLACKONWHITE;
};

class Registry
{
public:
    static Registry& GetInstance();

    // All members below expect the caller to hold Lock().
    HDC AddContext(std::unique_ptr<DeviceContext> context);
    HGDIOBJ AddObject(std::unique_ptr<GdiObject> object);
    DeviceContext* FindContext(HDC dc);
    GdiObject* FindObject(HGDIOBJ object);
    // Frees a context; the objects it had selected stay alive and become selectable again.
    bool DeleteContext(HDC dc);
    // Refuses stock objects (answering success, as Windows does) and selected bitmaps.
    bool DeleteObject(HGDIOBJ object);
    HGDIOBJ Select(HDC dc, HGDIOBJ object);
    Bitmap* StockBitmap() { return m_stock_bitmap; }

    std::mutex& Lock() { return m_lock; }

private:
    Registry();

    std::mutex m_lock; // guards both tables, every selection link and the pixels during a blit
    std::unordered_map<DeviceContext*, std::unique_ptr<DeviceContext>> m_contexts;
    std::unordered_map<GdiObject*, std::unique_ptr<GdiObject>> m_objects;
    Bitmap* m_stock_bitmap; // owned by m_objects
};

} // namespace platform::gdi
