#include "platform/d3d/D2D1Api.h"
#include "platform/d3d/SoftwareDevice.h"

namespace platform {

namespace {

class StubDeviceContext final : public ComObject<ID2D1DeviceContext>
{
public:
    HRESULT CreateBitmapFromDxgiSurface(IDXGISurface*, const D2D1_BITMAP_PROPERTIES1*,
                                        ID2D1Bitmap1** bitmap) override
    {
        if (bitmap)
            *bitmap = nullptr;
        return D2DERR_UNSUPPORTED_OPERATION;
    }
    void SetTarget(ID2D1Image*) override {}
};

} // namespace

ID2D1DeviceContext* CreateStubD2DDeviceContext()
{
    return new StubDeviceContext;
}

} // namespace platform
