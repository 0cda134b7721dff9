#include "platform/dshow/BaseClasses.h"

#include <cstdlib>
#include <cstring>

#include "platform/com/ComApi.h"

CMediaType::CMediaType()
    : AM_MEDIA_TYPE{}
{
    formattype = FORMAT_None;
}

CMediaType::CMediaType(const CMediaType& other)
    : CMediaType()
{
    *this = other;
}

CMediaType& CMediaType::operator=(const CMediaType& other)
{
    if (this == &other)
        return *this;
    const GUID format_type = other.formattype;
    const BYTE* format = other.pbFormat;
    const ULONG bytes = other.cbFormat;
    CoTaskMemFree(pbFormat);
    static_cast<AM_MEDIA_TYPE&>(*this) = other;
    pbFormat = nullptr;
    cbFormat = 0;
    SetFormat(format_type, format, bytes);
    return *this;
}

CMediaType::~CMediaType()
{
    CoTaskMemFree(pbFormat);
}

void CMediaType::SetFormat(const GUID& type, const void* format, ULONG bytes)
{
    CoTaskMemFree(pbFormat);
    pbFormat = nullptr;
    cbFormat = 0;
    formattype = bytes ? type : FORMAT_None;
    if (bytes) {
        pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(bytes));
        std::memcpy(pbFormat, format, bytes);
        cbFormat = bytes;
    }
}

CBaseFilter::CBaseFilter(const CLSID& clsid, const char16_t* name)
    : m_clsid(clsid)
    , m_name(name ? name : u"")
{}

HRESULT CBaseFilter::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IBaseFilter) {
        AddRef();
        *object = static_cast<IBaseFilter*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CBaseFilter::AddRef()
{
    return m_references.Increment();
}

ULONG CBaseFilter::Release()
{
    const ULONG left = m_references.Decrement();
    if (left == 0)
        delete this;
    return left;
}

HRESULT CBaseFilter::GetClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = m_clsid;
    return S_OK;
}

HRESULT CBaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name)
{
    m_graph = graph;
    if (name)
        m_name = name;
    return S_OK;
}

CBasePin::CBasePin(CBaseFilter* filter, const char16_t* name, PIN_DIRECTION direction)
    : m_filter(filter)
    , m_name(name)
    , m_direction(direction)
{}

HRESULT CBasePin::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IPin) {
        AddRef();
        *object = static_cast<IPin*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CBasePin::QueryPinInfo(PIN_INFO* info)
{
    if (!info)
        return E_POINTER;
    info->pFilter = m_filter;
    m_filter->AddRef();
    info->dir = m_direction;
    const size_t count = std::min<size_t>(m_name.size(), 127);
    std::memcpy(info->achName, m_name.data(), count * sizeof(WCHAR));
    info->achName[count] = 0;
    return S_OK;
}

HRESULT CBasePin::QueryDirection(PIN_DIRECTION* direction)
{
    if (!direction)
        return E_POINTER;
    *direction = m_direction;
    return S_OK;
}

HRESULT CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* type)
{
    if (!type)
        return E_POINTER;
    if (!m_connected)
        return VFW_E_NOT_CONNECTED;
    *type = m_type;
    type->pbFormat = nullptr;
    type->cbFormat = 0;
    if (m_type.cbFormat) {
        type->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(m_type.cbFormat));
        std::memcpy(type->pbFormat, m_type.pbFormat, m_type.cbFormat);
        type->cbFormat = m_type.cbFormat;
    }
    return S_OK;
}

IPin* CBasePin::Give(int index)
{
    if (index != 0)
        return nullptr;
    AddRef();
    return this;
}

void CBasePin::SetConnection(const CMediaType* type)
{
    m_connected = type != nullptr;
    if (type)
        m_type = *type;
}

CBaseRenderer::CBaseRenderer(const CLSID& clsid, const char16_t* name, IUnknown*, HRESULT* result)
    : CBaseFilter(clsid, name)
    , m_input(this, u"In", PINDIR_INPUT)
{
    if (result)
        *result = S_OK;
}

IPin* CBaseRenderer::GetPin(int index)
{
    return m_input.Give(index);
}

HRESULT CBaseRenderer::SetMediaType(const CMediaType*)
{
    return S_OK;
}

HRESULT CBaseRenderer::Connect(const CMediaType& type)
{
    if (CheckMediaType(&type) != S_OK)
        return VFW_E_CANNOT_CONNECT;
    const HRESULT result = SetMediaType(&type);
    if (FAILED(result))
        return result;
    m_input.SetConnection(&type);
    return S_OK;
}

CBaseVideoRenderer::CBaseVideoRenderer(const CLSID& clsid, const char16_t* name, IUnknown* outer, HRESULT* result)
    : CBaseRenderer(clsid, name, outer, result)
{}

HRESULT CAsyncIo::SyncRead(LONGLONG position, LONG length, BYTE* buffer, LONG* bytes_read)
{
    *bytes_read = 0;
    if (length < 0)
        return E_INVALIDARG;
    m_stream->Lock();
    HRESULT result = m_stream->SetPointer(position);
    if (result == S_OK) {
        DWORD read = 0;
        result = m_stream->Read(buffer, static_cast<DWORD>(length), FALSE, &read);
        *bytes_read = static_cast<LONG>(read);
    }
    m_stream->Unlock();
    return result;
}

CAsyncReader::CAsyncReader(const char16_t* name, IUnknown*, CAsyncStream* stream, HRESULT* result,
                           const CLSID& clsid)
    : CBaseFilter(clsid, name)
    , m_stream(stream)
    , m_io(stream)
    , m_output(this, u"Output", PINDIR_OUTPUT)
{
    if (result)
        *result = stream ? S_OK : E_POINTER;
}

IPin* CAsyncReader::GetPin(int index)
{
    return m_output.Give(index);
}
