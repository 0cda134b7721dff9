#pragma once
// The DXGI subset the display uses: one software adapter whose outputs are the machine's
// displays, their mode lists, the swap chain over a CPU back buffer and the device's adapter.
// Objects are free-threaded; a swap chain's Present may run on any thread.

#include "platform/com/Unknown.h"
#include "platform/kernel/WinTypes.h"

enum DXGI_FORMAT : UINT
{
    DXGI_FORMAT_UNKNOWN = 0,
    DXGI_FORMAT_R32G32B32_FLOAT = 6,
    DXGI_FORMAT_R32G32_FLOAT = 16,
    DXGI_FORMAT_R8G8B8A8_UNORM = 28,
    DXGI_FORMAT_D24_UNORM_S8_UINT = 45,
    DXGI_FORMAT_B8G8R8A8_UNORM = 87,
};

enum DXGI_MODE_SCANLINE_ORDER : UINT
{
    DXGI_MODE_SCANLINE_ORDER_UNSPECIFIED = 0,
    DXGI_MODE_SCANLINE_ORDER_PROGRESSIVE = 1,
};

enum DXGI_MODE_SCALING : UINT
{
    DXGI_MODE_SCALING_UNSPECIFIED = 0,
    DXGI_MODE_SCALING_CENTERED = 1,
    DXGI_MODE_SCALING_STRETCHED = 2,
};

enum DXGI_SWAP_EFFECT : UINT
{
    DXGI_SWAP_EFFECT_DISCARD = 0,
    DXGI_SWAP_EFFECT_SEQUENTIAL = 1,
};

enum DXGI_MODE_ROTATION : UINT
{
    DXGI_MODE_ROTATION_UNSPECIFIED = 0,
    DXGI_MODE_ROTATION_IDENTITY = 1,
};

struct DXGI_RATIONAL
{
    UINT Numerator;
    UINT Denominator;
};

struct DXGI_MODE_DESC
{
    UINT Width;
    UINT Height;
    DXGI_RATIONAL RefreshRate;
    DXGI_FORMAT Format;
    DXGI_MODE_SCANLINE_ORDER ScanlineOrdering;
    DXGI_MODE_SCALING Scaling;
};

struct DXGI_SAMPLE_DESC
{
    UINT Count;
    UINT Quality;
};

using DXGI_USAGE = UINT;
inline constexpr DXGI_USAGE DXGI_USAGE_RENDER_TARGET_OUTPUT = 0x20;

inline constexpr UINT DXGI_SWAP_CHAIN_FLAG_ALLOW_MODE_SWITCH = 2;
inline constexpr UINT DXGI_MWA_NO_WINDOW_CHANGES = 0x1;
inline constexpr UINT DXGI_MWA_NO_ALT_ENTER = 0x2;
inline constexpr UINT DXGI_PRESENT_DO_NOT_SEQUENCE = 0x2;

struct DXGI_SWAP_CHAIN_DESC
{
    DXGI_MODE_DESC BufferDesc;
    DXGI_SAMPLE_DESC SampleDesc;
    DXGI_USAGE BufferUsage;
    UINT BufferCount;
    HWND OutputWindow;
    BOOL Windowed;
    DXGI_SWAP_EFFECT SwapEffect;
    UINT Flags;
};

struct DXGI_OUTPUT_DESC
{
    WCHAR DeviceName[32];
    RECT DesktopCoordinates;
    BOOL AttachedToDesktop;
    DXGI_MODE_ROTATION Rotation;
    HMONITOR Monitor;
};

// Result codes (the display's error table names them all; the layer produces a few).
inline constexpr HRESULT DXGI_ERROR_INVALID_CALL = static_cast<HRESULT>(0x887A0001);
inline constexpr HRESULT DXGI_ERROR_NOT_FOUND = static_cast<HRESULT>(0x887A0002);
inline constexpr HRESULT DXGI_ERROR_MORE_DATA = static_cast<HRESULT>(0x887A0003);
inline constexpr HRESULT DXGI_ERROR_UNSUPPORTED = static_cast<HRESULT>(0x887A0004);
inline constexpr HRESULT DXGI_ERROR_DEVICE_REMOVED = static_cast<HRESULT>(0x887A0005);

inline constexpr IID IID_IDXGIObject = {
    0xaec22fb8, 0x76f3, 0x4639, {0x9b, 0xe0, 0x28, 0xeb, 0x43, 0xa6, 0x7a, 0x2e}};
inline constexpr IID IID_IDXGIFactory = {
    0x7b7166ec, 0x21c7, 0x44ae, {0xb2, 0x1a, 0xc9, 0xae, 0x32, 0x1a, 0xe3, 0x69}};
inline constexpr IID IID_IDXGIAdapter = {
    0x2411e7e1, 0x12ac, 0x4ccf, {0xbd, 0x14, 0x97, 0x98, 0xe8, 0x53, 0x4d, 0xc0}};
inline constexpr IID IID_IDXGIOutput = {
    0xae02eedb, 0xc735, 0x4690, {0x8d, 0x52, 0x5a, 0x8d, 0xc2, 0x02, 0x13, 0xaa}};
inline constexpr IID IID_IDXGIDevice = {
    0x54ec77fa, 0x1377, 0x44e6, {0x8c, 0x32, 0x88, 0xfd, 0x5f, 0x44, 0xc8, 0x4c}};
inline constexpr IID IID_IDXGIDevice1 = {
    0x77db970f, 0x6276, 0x48ba, {0xba, 0x28, 0x07, 0x01, 0x43, 0xb4, 0x39, 0x2c}};
inline constexpr IID IID_IDXGIDevice2 = {
    0x05008617, 0xfbfd, 0x4051, {0xa7, 0x90, 0x14, 0x48, 0x84, 0xb4, 0xf6, 0xa9}};
inline constexpr IID IID_IDXGISurface = {
    0xcafcb56c, 0x6ac3, 0x4889, {0xbf, 0x47, 0x9e, 0x23, 0xbb, 0xd2, 0x60, 0xec}};
inline constexpr IID IID_IDXGISwapChain = {
    0x310d36a0, 0xd2e7, 0x4c0a, {0xaa, 0x04, 0x6a, 0x9d, 0x23, 0xb8, 0x88, 0x6a}};
inline constexpr IID IID_IDXGISwapChain1 = {
    0x790a45f7, 0x0d42, 0x4876, {0x98, 0x3a, 0x0a, 0x55, 0xcf, 0xe6, 0xf4, 0xaa}};

struct IDXGIAdapter;
struct IDXGIOutput;

struct IDXGIObject : IUnknown
{
    virtual HRESULT GetParent(REFIID riid, void** parent) = 0;
};

struct IDXGIFactory : IDXGIObject
{
    // DXGI_ERROR_NOT_FOUND past the last adapter.
    virtual HRESULT EnumAdapters(UINT index, IDXGIAdapter** adapter) = 0;
    virtual HRESULT MakeWindowAssociation(HWND window, UINT flags) = 0;
};

struct IDXGIAdapter : IDXGIObject
{
    // DXGI_ERROR_NOT_FOUND past the last output.
    virtual HRESULT EnumOutputs(UINT index, IDXGIOutput** output) = 0;
};

struct IDXGIOutput : IDXGIObject
{
    virtual HRESULT GetDesc(DXGI_OUTPUT_DESC* desc) = 0;
    // With a null list, the count of modes; else fills up to *count of them
    // (DXGI_ERROR_MORE_DATA when that is too few).
    virtual HRESULT GetDisplayModeList(DXGI_FORMAT format, UINT flags, UINT* count,
                                       DXGI_MODE_DESC* modes) = 0;
    // The mode nearest in size, then in refresh rate; fields of 0 in the wanted mode match any.
    virtual HRESULT FindClosestMatchingMode(const DXGI_MODE_DESC* wanted, DXGI_MODE_DESC* closest,
                                            IUnknown* device) = 0;
};

struct IDXGIDevice : IDXGIObject
{
    virtual HRESULT GetAdapter(IDXGIAdapter** adapter) = 0;
};

struct IDXGIDevice1 : IDXGIDevice
{
    virtual HRESULT SetMaximumFrameLatency(UINT max_latency) = 0;
};

struct IDXGIDevice2 : IDXGIDevice1
{};

struct IDXGISurface : IDXGIObject
{};

struct IDXGISwapChain : IDXGIObject
{
    // Hands the back buffer to the presenter; any thread.
    virtual HRESULT Present(UINT sync_interval, UINT flags) = 0;
    virtual HRESULT GetBuffer(UINT index, REFIID riid, void** surface) = 0;
    virtual HRESULT SetFullscreenState(BOOL fullscreen, IDXGIOutput* target) = 0;
    virtual HRESULT GetFullscreenState(BOOL* fullscreen, IDXGIOutput** target) = 0;
    virtual HRESULT GetDesc(DXGI_SWAP_CHAIN_DESC* desc) = 0;
    virtual HRESULT ResizeBuffers(UINT count, UINT width, UINT height, DXGI_FORMAT format, UINT flags) = 0;
};

struct IDXGISwapChain1 : IDXGISwapChain
{};

HRESULT CreateDXGIFactory(REFIID riid, void** factory);
