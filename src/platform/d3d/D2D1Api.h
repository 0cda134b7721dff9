#pragma once
// Direct2D: only the device context calls a texture layer would make to draw into its texture.
// There is no Direct2D on this platform; bitmap creation fails, so callers keep their pixels in
// their own buffers.

#include "platform/com/Unknown.h"
#include "platform/d3d/DxgiApi.h"

enum D2D1_ALPHA_MODE : UINT
{
    D2D1_ALPHA_MODE_UNKNOWN = 0,
    D2D1_ALPHA_MODE_PREMULTIPLIED = 1,
};

enum D2D1_BITMAP_OPTIONS : UINT
{
    D2D1_BITMAP_OPTIONS_NONE = 0,
    D2D1_BITMAP_OPTIONS_TARGET = 1,
    D2D1_BITMAP_OPTIONS_CANNOT_DRAW = 2,
};

struct D2D1_PIXEL_FORMAT
{
    DXGI_FORMAT format;
    D2D1_ALPHA_MODE alphaMode;
};

struct D2D1_BITMAP_PROPERTIES1
{
    D2D1_PIXEL_FORMAT pixelFormat;
    float dpiX;
    float dpiY;
    D2D1_BITMAP_OPTIONS bitmapOptions;
    void* colorContext;
};

struct ID2D1Image : IUnknown
{};
struct ID2D1Bitmap1 : ID2D1Image
{};

struct ID2D1DeviceContext : IUnknown
{
    virtual HRESULT CreateBitmapFromDxgiSurface(IDXGISurface* surface,
                                                const D2D1_BITMAP_PROPERTIES1* properties,
                                                ID2D1Bitmap1** bitmap) = 0;
    virtual void SetTarget(ID2D1Image* image) = 0;
};

inline constexpr HRESULT D2DERR_UNSUPPORTED_OPERATION = static_cast<HRESULT>(0x88990003);

namespace platform {

// A device context whose bitmap creation always fails with D2DERR_UNSUPPORTED_OPERATION.
ID2D1DeviceContext* CreateStubD2DDeviceContext();

} // namespace platform
