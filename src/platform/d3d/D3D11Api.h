#pragma once
// The Direct3D 11 subset the display, the texture layers and the sprite batch use, over CPU
// memory: textures in their declared byte order, views, state objects that keep their
// descriptions, and an immediate context that clears, copies and maps. Shaders, input layouts,
// constant buffers, the rasterizer and depth states are accepted and inert: the sprite batch
// draws with its own rules. The device is free-threaded; the context is used under the
// display's device lock.

#include "platform/com/Unknown.h"
#include "platform/d3d/DxgiApi.h"
#include "platform/kernel/WinTypes.h"

enum D3D_DRIVER_TYPE : UINT
{
    D3D_DRIVER_TYPE_UNKNOWN = 0,
    D3D_DRIVER_TYPE_HARDWARE = 1,
    D3D_DRIVER_TYPE_REFERENCE = 2,
    D3D_DRIVER_TYPE_NULL = 3,
    D3D_DRIVER_TYPE_SOFTWARE = 4,
    D3D_DRIVER_TYPE_WARP = 5,
};

enum D3D_FEATURE_LEVEL : UINT
{
    D3D_FEATURE_LEVEL_9_1 = 0x9100,
    D3D_FEATURE_LEVEL_9_2 = 0x9200,
    D3D_FEATURE_LEVEL_9_3 = 0x9300,
    D3D_FEATURE_LEVEL_10_0 = 0xa000,
    D3D_FEATURE_LEVEL_10_1 = 0xa100,
    D3D_FEATURE_LEVEL_11_0 = 0xb000,
    D3D_FEATURE_LEVEL_11_1 = 0xb100,
};

inline constexpr UINT D3D11_CREATE_DEVICE_BGRA_SUPPORT = 0x20;
inline constexpr UINT D3D11_SDK_VERSION = 7;

enum D3D11_USAGE : UINT
{
    D3D11_USAGE_DEFAULT = 0,
    D3D11_USAGE_IMMUTABLE = 1,
    D3D11_USAGE_DYNAMIC = 2,
    D3D11_USAGE_STAGING = 3,
};

inline constexpr UINT D3D11_BIND_CONSTANT_BUFFER = 0x4;
inline constexpr UINT D3D11_BIND_SHADER_RESOURCE = 0x8;
inline constexpr UINT D3D11_BIND_RENDER_TARGET = 0x20;
inline constexpr UINT D3D11_BIND_DEPTH_STENCIL = 0x40;
inline constexpr UINT D3D11_CPU_ACCESS_WRITE = 0x10000;
inline constexpr UINT D3D11_CPU_ACCESS_READ = 0x20000;

enum D3D11_MAP : UINT
{
    D3D11_MAP_READ = 1,
    D3D11_MAP_WRITE = 2,
    D3D11_MAP_READ_WRITE = 3,
    D3D11_MAP_WRITE_DISCARD = 4,
    D3D11_MAP_WRITE_NO_OVERWRITE = 5,
};

inline constexpr UINT D3D11_CLEAR_DEPTH = 0x1;
inline constexpr UINT D3D11_CLEAR_STENCIL = 0x2;

struct D3D11_TEXTURE2D_DESC
{
    UINT Width;
    UINT Height;
    UINT MipLevels;
    UINT ArraySize;
    DXGI_FORMAT Format;
    DXGI_SAMPLE_DESC SampleDesc;
    D3D11_USAGE Usage;
    UINT BindFlags;
    UINT CPUAccessFlags;
    UINT MiscFlags;
};

struct D3D11_BUFFER_DESC
{
    UINT ByteWidth;
    D3D11_USAGE Usage;
    UINT BindFlags;
    UINT CPUAccessFlags;
    UINT MiscFlags;
    UINT StructureByteStride;
};

struct D3D11_SUBRESOURCE_DATA
{
    const void* pSysMem;
    UINT SysMemPitch;
    UINT SysMemSlicePitch;
};

struct D3D11_MAPPED_SUBRESOURCE
{
    void* pData;
    UINT RowPitch;
    UINT DepthPitch;
};

struct D3D11_BOX
{
    UINT left;
    UINT top;
    UINT front;
    UINT right;
    UINT bottom;
    UINT back;
};

using D3D11_RECT = RECT;

struct D3D11_VIEWPORT
{
    float TopLeftX;
    float TopLeftY;
    float Width;
    float Height;
    float MinDepth;
    float MaxDepth;
};

enum D3D11_RTV_DIMENSION : UINT
{
    D3D11_RTV_DIMENSION_TEXTURE2D = 4,
};
enum D3D11_DSV_DIMENSION : UINT
{
    D3D11_DSV_DIMENSION_TEXTURE2D = 3,
};
enum D3D11_SRV_DIMENSION : UINT
{
    D3D11_SRV_DIMENSION_TEXTURE2D = 4,
};

struct D3D11_TEX2D_RTV
{
    UINT MipSlice;
};
struct D3D11_RENDER_TARGET_VIEW_DESC
{
    DXGI_FORMAT Format;
    D3D11_RTV_DIMENSION ViewDimension;
    D3D11_TEX2D_RTV Texture2D;
};

struct D3D11_TEX2D_DSV
{
    UINT MipSlice;
};
struct D3D11_DEPTH_STENCIL_VIEW_DESC
{
    DXGI_FORMAT Format;
    D3D11_DSV_DIMENSION ViewDimension;
    UINT Flags;
    D3D11_TEX2D_DSV Texture2D;
};

struct D3D11_TEX2D_SRV
{
    UINT MostDetailedMip;
    UINT MipLevels;
};
struct D3D11_SHADER_RESOURCE_VIEW_DESC
{
    DXGI_FORMAT Format;
    D3D11_SRV_DIMENSION ViewDimension;
    D3D11_TEX2D_SRV Texture2D;
};

enum D3D11_BLEND : UINT
{
    D3D11_BLEND_ZERO = 1,
    D3D11_BLEND_ONE = 2,
    D3D11_BLEND_SRC_COLOR = 3,
    D3D11_BLEND_INV_SRC_COLOR = 4,
    D3D11_BLEND_SRC_ALPHA = 5,
    D3D11_BLEND_INV_SRC_ALPHA = 6,
    D3D11_BLEND_DEST_ALPHA = 7,
    D3D11_BLEND_INV_DEST_ALPHA = 8,
};

enum D3D11_BLEND_OP : UINT
{
    D3D11_BLEND_OP_ADD = 1,
    D3D11_BLEND_OP_SUBTRACT = 2,
};

inline constexpr BYTE D3D11_COLOR_WRITE_ENABLE_ALL = 0xF;

struct D3D11_RENDER_TARGET_BLEND_DESC
{
    BOOL BlendEnable;
    D3D11_BLEND SrcBlend;
    D3D11_BLEND DestBlend;
    D3D11_BLEND_OP BlendOp;
    D3D11_BLEND SrcBlendAlpha;
    D3D11_BLEND DestBlendAlpha;
    D3D11_BLEND_OP BlendOpAlpha;
    BYTE RenderTargetWriteMask;
};

struct D3D11_BLEND_DESC
{
    BOOL AlphaToCoverageEnable;
    BOOL IndependentBlendEnable;
    D3D11_RENDER_TARGET_BLEND_DESC RenderTarget[8];
};

enum D3D11_FILTER : UINT
{
    D3D11_FILTER_MIN_MAG_MIP_POINT = 0,
    D3D11_FILTER_MIN_MAG_MIP_LINEAR = 0x15,
};

enum D3D11_TEXTURE_ADDRESS_MODE : UINT
{
    D3D11_TEXTURE_ADDRESS_WRAP = 1,
    D3D11_TEXTURE_ADDRESS_MIRROR = 2,
    D3D11_TEXTURE_ADDRESS_CLAMP = 3,
};

enum D3D11_COMPARISON_FUNC : UINT
{
    D3D11_COMPARISON_NEVER = 1,
    D3D11_COMPARISON_LESS = 2,
    D3D11_COMPARISON_EQUAL = 3,
    D3D11_COMPARISON_LESS_EQUAL = 4,
    D3D11_COMPARISON_GREATER = 5,
    D3D11_COMPARISON_NOT_EQUAL = 6,
    D3D11_COMPARISON_GREATER_EQUAL = 7,
    D3D11_COMPARISON_ALWAYS = 8,
};

inline constexpr float D3D11_FLOAT32_MAX = 3.402823466e+38F;

struct D3D11_SAMPLER_DESC
{
    D3D11_FILTER Filter;
    D3D11_TEXTURE_ADDRESS_MODE AddressU;
    D3D11_TEXTURE_ADDRESS_MODE AddressV;
    D3D11_TEXTURE_ADDRESS_MODE AddressW;
    float MipLODBias;
    UINT MaxAnisotropy;
    D3D11_COMPARISON_FUNC ComparisonFunc;
    float BorderColor[4];
    float MinLOD;
    float MaxLOD;
};

enum D3D11_FILL_MODE : UINT
{
    D3D11_FILL_WIREFRAME = 2,
    D3D11_FILL_SOLID = 3,
};

enum D3D11_CULL_MODE : UINT
{
    D3D11_CULL_NONE = 1,
    D3D11_CULL_FRONT = 2,
    D3D11_CULL_BACK = 3,
};

struct D3D11_RASTERIZER_DESC
{
    D3D11_FILL_MODE FillMode;
    D3D11_CULL_MODE CullMode;
    BOOL FrontCounterClockwise;
    INT DepthBias;
    float DepthBiasClamp;
    float SlopeScaledDepthBias;
    BOOL DepthClipEnable;
    BOOL ScissorEnable;
    BOOL MultisampleEnable;
    BOOL AntialiasedLineEnable;
};

enum D3D11_DEPTH_WRITE_MASK : UINT
{
    D3D11_DEPTH_WRITE_MASK_ZERO = 0,
    D3D11_DEPTH_WRITE_MASK_ALL = 1,
};

enum D3D11_STENCIL_OP : UINT
{
    D3D11_STENCIL_OP_KEEP = 1,
};

struct D3D11_DEPTH_STENCILOP_DESC
{
    D3D11_STENCIL_OP StencilFailOp;
    D3D11_STENCIL_OP StencilDepthFailOp;
    D3D11_STENCIL_OP StencilPassOp;
    D3D11_COMPARISON_FUNC StencilFunc;
};

struct D3D11_DEPTH_STENCIL_DESC
{
    BOOL DepthEnable;
    D3D11_DEPTH_WRITE_MASK DepthWriteMask;
    D3D11_COMPARISON_FUNC DepthFunc;
    BOOL StencilEnable;
    BYTE StencilReadMask;
    BYTE StencilWriteMask;
    D3D11_DEPTH_STENCILOP_DESC FrontFace;
    D3D11_DEPTH_STENCILOP_DESC BackFace;
};

enum D3D11_INPUT_CLASSIFICATION : UINT
{
    D3D11_INPUT_PER_VERTEX_DATA = 0,
};
inline constexpr UINT D3D11_APPEND_ALIGNED_ELEMENT = 0xffffffff;

struct D3D11_INPUT_ELEMENT_DESC
{
    LPCSTR SemanticName;
    UINT SemanticIndex;
    DXGI_FORMAT Format;
    UINT InputSlot;
    UINT AlignedByteOffset;
    D3D11_INPUT_CLASSIFICATION InputSlotClass;
    UINT InstanceDataStepRate;
};

// Direct3D result codes the display's error table names.
inline constexpr HRESULT D3D11_ERROR_TOO_MANY_UNIQUE_STATE_OBJECTS = static_cast<HRESULT>(0x887C0001);
inline constexpr HRESULT D3D11_ERROR_FILE_NOT_FOUND = static_cast<HRESULT>(0x887C0002);

inline constexpr IID IID_ID3D11Device = {
    0xdb6f6ddb, 0xac77, 0x4e88, {0x82, 0x53, 0x81, 0x9d, 0xf9, 0xbb, 0xf1, 0x40}};
inline constexpr IID IID_ID3D11DeviceContext = {
    0xc0bfa96c, 0xe089, 0x44fb, {0x8e, 0xaf, 0x26, 0xf8, 0x79, 0x61, 0x90, 0xda}};
inline constexpr IID IID_ID3D11Resource = {
    0xdc8e63f3, 0xd12b, 0x4952, {0xb4, 0x7b, 0x5e, 0x45, 0x02, 0x6a, 0x86, 0x2d}};
inline constexpr IID IID_ID3D11Texture2D = {
    0x6f15aaf2, 0xd208, 0x4e89, {0x9a, 0xb4, 0x48, 0x95, 0x35, 0xd3, 0x4f, 0x9c}};

struct ID3D11Device;

struct ID3D11DeviceChild : IUnknown
{
    virtual void GetDevice(ID3D11Device** device) = 0;
};

struct ID3D11Resource : ID3D11DeviceChild
{};

struct ID3D11Texture2D : ID3D11Resource
{
    virtual void GetDesc(D3D11_TEXTURE2D_DESC* desc) = 0;
};

struct ID3D11Buffer : ID3D11Resource
{
    virtual void GetDesc(D3D11_BUFFER_DESC* desc) = 0;
};

struct ID3D11View : ID3D11DeviceChild
{
    // Adds a reference to the viewed resource.
    virtual void GetResource(ID3D11Resource** resource) = 0;
};

struct ID3D11RenderTargetView : ID3D11View
{};
struct ID3D11DepthStencilView : ID3D11View
{};
struct ID3D11ShaderResourceView : ID3D11View
{};

struct ID3D11BlendState : ID3D11DeviceChild
{
    virtual void GetDesc(D3D11_BLEND_DESC* desc) = 0;
};
struct ID3D11SamplerState : ID3D11DeviceChild
{
    virtual void GetDesc(D3D11_SAMPLER_DESC* desc) = 0;
};
struct ID3D11RasterizerState : ID3D11DeviceChild
{
    virtual void GetDesc(D3D11_RASTERIZER_DESC* desc) = 0;
};
struct ID3D11DepthStencilState : ID3D11DeviceChild
{};
struct ID3D11InputLayout : ID3D11DeviceChild
{};
struct ID3D11VertexShader : ID3D11DeviceChild
{};
struct ID3D11PixelShader : ID3D11DeviceChild
{};
struct ID3D11ClassLinkage;
struct ID3D11ClassInstance;

struct ID3D11DeviceContext : ID3D11DeviceChild
{
    virtual void OMSetRenderTargets(UINT count, ID3D11RenderTargetView* const* views,
                                    ID3D11DepthStencilView* depth) = 0;
    virtual void OMSetBlendState(ID3D11BlendState* state, const float blend_factor[4], UINT sample_mask) = 0;
    virtual void OMSetDepthStencilState(ID3D11DepthStencilState* state, UINT stencil_ref) = 0;
    virtual void ClearRenderTargetView(ID3D11RenderTargetView* view, const float color[4]) = 0;
    virtual void ClearDepthStencilView(ID3D11DepthStencilView* view, UINT flags, float depth,
                                       BYTE stencil) = 0;
    virtual void VSSetShader(ID3D11VertexShader* shader, ID3D11ClassInstance* const* instances,
                             UINT count) = 0;
    virtual void PSSetShader(ID3D11PixelShader* shader, ID3D11ClassInstance* const* instances,
                             UINT count) = 0;
    virtual void VSSetConstantBuffers(UINT slot, UINT count, ID3D11Buffer* const* buffers) = 0;
    virtual void PSSetSamplers(UINT slot, UINT count, ID3D11SamplerState* const* samplers) = 0;
    virtual void PSSetShaderResources(UINT slot, UINT count, ID3D11ShaderResourceView* const* views) = 0;
    virtual void RSSetState(ID3D11RasterizerState* state) = 0;
    virtual void RSSetViewports(UINT count, const D3D11_VIEWPORT* viewports) = 0;
    // Consulted by draws whose rasterizer state enables the scissor test.
    virtual void RSSetScissorRects(UINT count, const D3D11_RECT* rects) = 0;
    // With a null array, the count of bound viewports.
    virtual void RSGetViewports(UINT* count, D3D11_VIEWPORT* viewports) = 0;
    virtual void IASetInputLayout(ID3D11InputLayout* layout) = 0;
    virtual HRESULT Map(ID3D11Resource* resource, UINT subresource, D3D11_MAP type, UINT flags,
                        D3D11_MAPPED_SUBRESOURCE* mapped) = 0;
    virtual void Unmap(ID3D11Resource* resource, UINT subresource) = 0;
    virtual void UpdateSubresource(ID3D11Resource* resource, UINT subresource, const D3D11_BOX* box,
                                   const void* data, UINT row_pitch, UINT depth_pitch) = 0;
    virtual void CopyResource(ID3D11Resource* destination, ID3D11Resource* source) = 0;
    virtual void ClearState() = 0;
    virtual void Flush() = 0;
};

struct ID3D11Device : IUnknown
{
    virtual HRESULT CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initial,
                                    ID3D11Texture2D** texture) = 0;
    virtual HRESULT CreateBuffer(const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* initial,
                                 ID3D11Buffer** buffer) = 0;
    virtual HRESULT CreateShaderResourceView(ID3D11Resource* resource,
                                             const D3D11_SHADER_RESOURCE_VIEW_DESC* desc,
                                             ID3D11ShaderResourceView** view) = 0;
    virtual HRESULT CreateRenderTargetView(ID3D11Resource* resource,
                                           const D3D11_RENDER_TARGET_VIEW_DESC* desc,
                                           ID3D11RenderTargetView** view) = 0;
    virtual HRESULT CreateDepthStencilView(ID3D11Resource* resource,
                                           const D3D11_DEPTH_STENCIL_VIEW_DESC* desc,
                                           ID3D11DepthStencilView** view) = 0;
    virtual HRESULT CreateDepthStencilState(const D3D11_DEPTH_STENCIL_DESC* desc,
                                            ID3D11DepthStencilState** state) = 0;
    virtual HRESULT CreateBlendState(const D3D11_BLEND_DESC* desc, ID3D11BlendState** state) = 0;
    virtual HRESULT CreateSamplerState(const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** state) = 0;
    virtual HRESULT CreateRasterizerState(const D3D11_RASTERIZER_DESC* desc,
                                          ID3D11RasterizerState** state) = 0;
    virtual HRESULT CreateInputLayout(const D3D11_INPUT_ELEMENT_DESC* elements, UINT count,
                                      const void* bytecode, SIZE_T bytecode_length,
                                      ID3D11InputLayout** layout) = 0;
    virtual HRESULT CreateVertexShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                                       ID3D11VertexShader** shader) = 0;
    virtual HRESULT CreatePixelShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                                      ID3D11PixelShader** shader) = 0;
    virtual D3D_FEATURE_LEVEL GetFeatureLevel() = 0;
    virtual void GetImmediateContext(ID3D11DeviceContext** context) = 0;
};

// Every driver type maps to the one software device (feature level 11.0, so textures reach 16384
// texels a side). HARDWARE, WARP and REFERENCE succeed unless a test made them fail.
HRESULT D3D11CreateDeviceAndSwapChain(IDXGIAdapter* adapter, D3D_DRIVER_TYPE driver_type, HMODULE software,
                                      UINT flags, const D3D_FEATURE_LEVEL* feature_levels, UINT level_count,
                                      UINT sdk_version, const DXGI_SWAP_CHAIN_DESC* swap_chain_desc,
                                      IDXGISwapChain** swap_chain, ID3D11Device** device,
                                      D3D_FEATURE_LEVEL* feature_level, ID3D11DeviceContext** context);
