#pragma once
// The filter base classes the movie player builds on: a media type holder, the renderer bases
// whose input pin the graph connects through CheckMediaType and SetMediaType and whose
// DoRenderSample it calls from the render thread, and the asynchronous reader bases that serve a
// byte stream to the graph's I/O thread as Lock, SetPointer, Read, Unlock.

#include "platform/dshow/DShowApi.h"

#include <atomic>
#include <string>
#include <vector>

class CMediaType : public AM_MEDIA_TYPE
{
public:
    CMediaType();
    CMediaType(const CMediaType& other);
    CMediaType& operator=(const CMediaType& other);
    ~CMediaType();

    const GUID* Type() const { return &majortype; }
    const GUID* Subtype() const { return &subtype; }
    const GUID* FormatType() const { return &formattype; }
    BYTE* Format() const { return pbFormat; }
    void SetType(const GUID* type) { majortype = *type; }
    void SetSubtype(const GUID* type) { subtype = *type; }
    // Copies the format block; an empty one sets FORMAT_None.
    void SetFormat(const GUID& type, const void* format, ULONG bytes);
};

class CBasePin;

// IUnknown and IBaseFilter for the filters below; the graph holds references while a filter is
// added to it. Pins forward their references to their filter.
class CBaseFilter : public IBaseFilter
{
public:
    CBaseFilter(const CLSID& clsid, const char16_t* name);
    CBaseFilter(const CBaseFilter&) = delete;
    CBaseFilter& operator=(const CBaseFilter&) = delete;

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetClassID(CLSID* clsid) override;
    HRESULT JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;

    IFilterGraph* GetGraph() const { return m_graph; }
    const std::u16string& GetName() const { return m_name; }

protected:
    virtual ~CBaseFilter() = default;

private:
    platform::RefCount m_references;
    CLSID m_clsid;
    std::u16string m_name;
    IFilterGraph* m_graph = nullptr; // not owned: the graph the filter was added to
};

class CBasePin : public IPin
{
public:
    CBasePin(CBaseFilter* filter, const char16_t* name, PIN_DIRECTION direction);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override { return m_filter->AddRef(); }
    ULONG Release() override { return m_filter->Release(); }
    HRESULT QueryPinInfo(PIN_INFO* info) override;
    HRESULT QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT ConnectionMediaType(AM_MEDIA_TYPE* type) override;

    void SetConnection(const CMediaType* type);
    // The pin with a reference as a one-pin filter's pin 0; null for any other index.
    IPin* Give(int index);

private:
    CBaseFilter* m_filter;
    std::u16string m_name;
    PIN_DIRECTION m_direction;
    bool m_connected = false;
    CMediaType m_type;
};

class CBaseRenderer : public CBaseFilter
{
public:
    CBaseRenderer(const CLSID& clsid, const char16_t* name, IUnknown* outer, HRESULT* result);

    IPin* GetPin(int index) override;

    // S_OK when the renderer takes frames of this type, S_FALSE otherwise.
    virtual HRESULT CheckMediaType(const CMediaType* type) = 0;
    virtual HRESULT SetMediaType(const CMediaType* type);
    // Called on the render thread at the sample's presentation time.
    virtual HRESULT DoRenderSample(IMediaSample* sample) = 0;

    // The graph's half of a connection: CheckMediaType, then SetMediaType.
    HRESULT Connect(const CMediaType& type);

private:
    CBasePin m_input;
};

class CBaseVideoRenderer : public CBaseRenderer
{
public:
    CBaseVideoRenderer(const CLSID& clsid, const char16_t* name, IUnknown* outer, HRESULT* result);
};

// The byte stream an asynchronous reader serves.
class CAsyncStream
{
public:
    virtual ~CAsyncStream() = default;
    virtual HRESULT SetPointer(LONGLONG position) = 0;
    virtual HRESULT Read(BYTE* buffer, DWORD count, BOOL align, LPDWORD bytes_read) = 0;
    virtual LONGLONG Size(LONGLONG* available = nullptr) = 0;
    virtual DWORD Alignment() = 0;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
};

// Serves read requests from a stream: one request at a time, in the order Lock, SetPointer,
// Read, Unlock. Runs on the graph's I/O thread.
class CAsyncIo
{
public:
    explicit CAsyncIo(CAsyncStream* stream)
        : m_stream(stream)
    {}
    // S_OK with the bytes read (fewer at the end); S_FALSE when the position is outside the
    // stream, a failure when the stream's read fails.
    HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer, LONG* bytes_read);
    LONGLONG Length() { return m_stream->Size(); }

private:
    CAsyncStream* m_stream;
};

class CAsyncReader : public CBaseFilter
{
public:
    CAsyncReader(const char16_t* name, IUnknown* outer, CAsyncStream* stream, HRESULT* result,
                 const CLSID& clsid);

    IPin* GetPin(int index) override;

    const CMediaType& GetMediaType() const { return m_mt; }
    CAsyncIo& GetIo() { return m_io; }

protected:
    CMediaType m_mt; // what the output pin offers; the derived filter sets it
    CAsyncStream* m_stream;

private:
    CAsyncIo m_io;
    CBasePin m_output;
};
