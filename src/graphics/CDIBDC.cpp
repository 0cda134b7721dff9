#include "graphics/CDIBDC.h"

#include "foundation/CStringUTF8.h"
#include "platform/kernel/HeapApi.h"

CDIBDC::~CDIBDC()
{
    CDIBDC::Release();
}

BITMAPINFOHEADER* CDIBDC::Create(int32_t width, int32_t height)
{
    // A second Create replaces the section instead of leaking the first one.
    CDIBDC::Release();
    FillHeader(width, height);
    m_dc = CreateCompatibleDC(nullptr);
    if (m_dc == nullptr)
        throw CStringUTF8("CDIBDC::Create: Failed to get device context.");
    // With DIB_RGB_COLORS the reference context only has to be screen-compatible, so the
    // screen's own context serves as well as the main window's.
    HDC screen = ::GetDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = m_header;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (m_bitmap == nullptr)
        throw CStringUTF8("CDIBDC::Create: Failed to get DIB section.");
    m_bits = static_cast<uint8_t*>(bits);
    m_old_object = SelectObject(m_dc, m_bitmap);
    if (m_old_object == nullptr)
        throw CStringUTF8("CDIBDC::Create: Failed to get old object.");
    return &m_header;
}

void CDIBDC::Release()
{
    if (m_old_object != nullptr) {
        SelectObject(m_dc, m_old_object);
        m_old_object = nullptr;
    }
    if (m_bitmap != nullptr) {
        DeleteObject(m_bitmap);
        m_bitmap = nullptr;
    }
    if (m_dc != nullptr) {
        DeleteDC(m_dc);
        m_dc = nullptr;
    }
    m_bits = nullptr; // pointed into the section
}

void CDIBDC::ZeroRows(uint8_t* first, size_t bytes)
{
    platform::ZeroHeapBlock(first, bytes);
}
