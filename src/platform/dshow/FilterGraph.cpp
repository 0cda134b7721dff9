#include "platform/dshow/FilterGraph.h"

#include "platform/com/ComObject.h"
#include "platform/dshow/BaseClasses.h"
#include "platform/dsound/DirectSoundDevice.h"
#include "platform/kernel/PosixPath.h"
#include "platform/user/MessageApi.h"

namespace platform {

namespace {

// Walks the graph's live list, so that a filter removed during the walk is seen after Reset.
class FilterEnumerator final : public ComObject<IEnumFilters, IID_IEnumFilters>
{
public:
    explicit FilterEnumerator(FilterGraph* graph)
        : m_graph(graph)
    {
        m_graph->AddRef();
    }

    HRESULT Next(ULONG count, IBaseFilter** filters, ULONG* fetched) override
    {
        if (!filters)
            return E_POINTER;
        ULONG got = 0;
        while (got < count) {
            IBaseFilter* filter = m_graph->GetFilter(m_index);
            if (!filter)
                break;
            filters[got++] = filter;
            ++m_index;
        }
        if (fetched)
            *fetched = got;
        return got == count ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG count) override
    {
        m_index += count;
        return S_OK;
    }
    HRESULT Reset() override
    {
        m_index = 0;
        return S_OK;
    }

private:
    ~FilterEnumerator() override { m_graph->Release(); }

    FilterGraph* m_graph;
    size_t m_index = 0;
};

template <typename T>
HRESULT Give(T* self, void** object)
{
    self->AddRef();
    *object = self;
    return S_OK;
}

} // namespace

FilterGraph::FilterGraph() = default;

FilterGraph::~FilterGraph()
{
    m_pipeline.reset();
    for (IBaseFilter* filter : m_filters) {
        filter->JoinFilterGraph(nullptr, nullptr);
        filter->Release();
    }
}

HRESULT FilterGraph::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IFilterGraph || riid == IID_IGraphBuilder)
        return Give(static_cast<IGraphBuilder*>(this), object);
    if (riid == IID_IMediaControl)
        return Give(static_cast<IMediaControl*>(this), object);
    if (riid == IID_IMediaEventEx || riid == IID_IMediaEvent)
        return Give(static_cast<IMediaEventEx*>(this), object);
    if (riid == IID_IMediaSeeking)
        return Give(static_cast<IMediaSeeking*>(this), object);
    if (riid == IID_IBasicAudio)
        return Give(static_cast<IBasicAudio*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FilterGraph::AddRef()
{
    return m_references.Increment();
}

ULONG FilterGraph::Release()
{
    const ULONG left = m_references.Decrement();
    if (left == 0)
        delete this;
    return left;
}

HRESULT FilterGraph::AddFilter(IBaseFilter* filter, LPCWSTR name)
{
    if (!filter)
        return E_POINTER;
    std::lock_guard lock(m_lock);
    for (IBaseFilter* held : m_filters) {
        if (held == filter)
            return E_INVALIDARG;
    }
    filter->AddRef();
    m_filters.push_back(filter);
    filter->JoinFilterGraph(this, name);
    return S_OK;
}

HRESULT FilterGraph::RemoveFilter(IBaseFilter* filter)
{
    bool connected;
    {
        std::lock_guard lock(m_lock);
        connected = m_renderer && static_cast<IBaseFilter*>(m_renderer) == filter;
    }
    // The pipeline feeds the renderer and reads through the reader: it goes first.
    if (connected || (m_pipeline && dynamic_cast<CAsyncReader*>(filter))) {
        m_pipeline.reset();
        std::lock_guard lock(m_lock);
        m_renderer = nullptr;
        m_state = State_Stopped;
    }
    std::lock_guard lock(m_lock);
    for (auto it = m_filters.begin(); it != m_filters.end(); ++it) {
        if (*it == filter) {
            m_filters.erase(it);
            filter->JoinFilterGraph(nullptr, nullptr);
            filter->Release();
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

HRESULT FilterGraph::EnumFilters(IEnumFilters** enumerator)
{
    if (!enumerator)
        return E_POINTER;
    *enumerator = new FilterEnumerator(this);
    return S_OK;
}

IBaseFilter* FilterGraph::GetFilter(size_t index)
{
    std::lock_guard lock(m_lock);
    if (index >= m_filters.size())
        return nullptr;
    m_filters[index]->AddRef();
    return m_filters[index];
}

CBaseRenderer* FilterGraph::FindRenderer()
{
    std::lock_guard lock(m_lock);
    for (IBaseFilter* filter : m_filters) {
        if (auto* renderer = dynamic_cast<CBaseRenderer*>(filter))
            return renderer;
    }
    return nullptr;
}

HRESULT FilterGraph::OpenAndConnect(std::unique_ptr<MoviePipeline> pipeline, CAsyncIo* io, bool force_mpeg,
                                    const std::string& path)
{
    const HRESULT opened = pipeline->Open(io, force_mpeg, path);
    if (FAILED(opened))
        return opened;
    CBaseRenderer* renderer = nullptr;
    if (pipeline->HasVideo()) {
        renderer = FindRenderer();
        if (!renderer)
            return VFW_E_CANNOT_RENDER;
        VIDEOINFOHEADER info{};
        info.AvgTimePerFrame = pipeline->FrameInterval();
        info.rcSource = RECT{0, 0, pipeline->Width(), pipeline->Height()};
        info.rcTarget = info.rcSource;
        BITMAPINFOHEADER& header = info.bmiHeader;
        header.biSize = sizeof(BITMAPINFOHEADER);
        header.biWidth = pipeline->Width();
        header.biHeight = pipeline->Height(); // bottom-up
        header.biPlanes = 1;
        header.biBitCount = 32;
        header.biCompression = BI_RGB;
        header.biSizeImage = static_cast<DWORD>(pipeline->Width() * pipeline->Height() * 4);
        CMediaType type;
        type.SetType(&MEDIATYPE_Video);
        type.SetSubtype(&MEDIASUBTYPE_RGB32);
        type.bFixedSizeSamples = TRUE;
        type.lSampleSize = header.biSizeImage;
        type.SetFormat(FORMAT_VideoInfo, &info, sizeof(info));
        const HRESULT connected = renderer->Connect(type);
        if (FAILED(connected))
            return connected;
    }
    if (IDirectSound8* device = AcquireLiveDirectSound()) {
        pipeline->SetVolume(m_volume);
        pipeline->EnableAudio(device);
        device->Release();
    }
    std::lock_guard lock(m_lock);
    m_renderer = renderer;
    m_pipeline = std::move(pipeline);
    m_state = State_Stopped;
    return S_OK;
}

HRESULT FilterGraph::Render(IPin* output)
{
    if (!output)
        return E_POINTER;
    PIN_INFO info{};
    if (FAILED(output->QueryPinInfo(&info)) || !info.pFilter)
        return VFW_E_CANNOT_RENDER;
    auto* reader = dynamic_cast<CAsyncReader*>(info.pFilter);
    info.pFilter->Release();
    if (!reader || info.dir != PINDIR_OUTPUT)
        return VFW_E_CANNOT_RENDER;
    m_pipeline.reset();
    const bool mpeg = reader->GetMediaType().subtype == MEDIASUBTYPE_MPEG1System;
    return OpenAndConnect(std::make_unique<MoviePipeline>(*this), &reader->GetIo(), mpeg, std::string());
}

HRESULT FilterGraph::RenderFile(LPCWSTR file, LPCWSTR)
{
    if (!file)
        return E_POINTER;
    m_pipeline.reset();
    const std::string path = ResolveCaseInsensitive(ToPosixPath(file));
    return OpenAndConnect(std::make_unique<MoviePipeline>(*this), nullptr, false, path);
}

HRESULT FilterGraph::Run()
{
    if (m_pipeline)
        m_pipeline->Run();
    {
        std::lock_guard lock(m_lock);
        m_state = State_Running;
    }
    // A graph that renders nothing has nothing to wait for.
    if (!m_pipeline)
        OnComplete();
    return S_OK;
}

HRESULT FilterGraph::Pause()
{
    if (m_pipeline)
        m_pipeline->Pause();
    std::lock_guard lock(m_lock);
    m_state = State_Paused;
    return S_OK;
}

HRESULT FilterGraph::Stop()
{
    if (m_pipeline)
        m_pipeline->Stop();
    std::lock_guard lock(m_lock);
    m_state = State_Stopped;
    return S_OK;
}

HRESULT FilterGraph::GetState(LONG, OAFilterState* state)
{
    if (!state)
        return E_POINTER;
    std::lock_guard lock(m_lock);
    *state = m_state;
    return S_OK;
}

HRESULT FilterGraph::GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG)
{
    if (!code || !param1 || !param2)
        return E_POINTER;
    std::lock_guard lock(m_lock);
    if (m_events.empty())
        return E_ABORT;
    *code = m_events.front();
    m_events.pop_front();
    *param1 = 0;
    *param2 = 0;
    return S_OK;
}

HRESULT FilterGraph::FreeEventParams(LONG, LONG_PTR, LONG_PTR)
{
    return S_OK;
}

HRESULT FilterGraph::SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instance)
{
    std::lock_guard lock(m_lock);
    m_notify_window = window;
    m_notify_message = message;
    m_notify_instance = instance;
    return S_OK;
}

void FilterGraph::RenderSample(IMediaSample* sample)
{
    // The renderer stays in the list while the pipeline runs: removing it stops the pipeline first.
    if (CBaseRenderer* renderer = m_renderer)
        renderer->DoRenderSample(sample);
}

void FilterGraph::OnComplete()
{
    std::lock_guard lock(m_lock);
    m_events.push_back(EC_COMPLETE);
    if (m_notify_window)
        PostMessageW(reinterpret_cast<HWND>(m_notify_window), static_cast<UINT>(m_notify_message), 0,
                     m_notify_instance);
}

HRESULT FilterGraph::GetDuration(LONGLONG* duration)
{
    if (!duration)
        return E_POINTER;
    *duration = m_pipeline ? m_pipeline->Duration() : 0;
    return m_pipeline ? S_OK : E_UNEXPECTED;
}

HRESULT FilterGraph::GetStopPosition(LONGLONG* stop)
{
    return GetDuration(stop);
}

HRESULT FilterGraph::GetCurrentPosition(LONGLONG* current)
{
    if (!current)
        return E_POINTER;
    *current = m_pipeline ? m_pipeline->Position() : 0;
    return m_pipeline ? S_OK : E_UNEXPECTED;
}

HRESULT FilterGraph::GetPositions(LONGLONG* current, LONGLONG* stop)
{
    if (current && FAILED(GetCurrentPosition(current)))
        return E_UNEXPECTED;
    if (stop && FAILED(GetStopPosition(stop)))
        return E_UNEXPECTED;
    return S_OK;
}

HRESULT FilterGraph::SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG*, DWORD)
{
    if (!m_pipeline)
        return E_UNEXPECTED;
    const DWORD how = current_flags & AM_SEEKING_PositioningBitsMask;
    if (how == AM_SEEKING_NoPositioning)
        return S_OK;
    if (!current)
        return E_POINTER;
    const LONGLONG target = how == AM_SEEKING_RelativePositioning ? m_pipeline->Position() + *current : *current;
    m_pipeline->Seek(target);
    return S_OK;
}

HRESULT FilterGraph::put_Volume(LONG volume)
{
    if (volume < -10000 || volume > 0)
        return E_INVALIDARG;
    m_volume = volume;
    if (m_pipeline)
        m_pipeline->SetVolume(volume);
    return S_OK;
}

HRESULT FilterGraph::get_Volume(LONG* volume)
{
    if (!volume)
        return E_POINTER;
    *volume = m_volume;
    return S_OK;
}

MovieCounters FilterGraph::GetCounters()
{
    return m_pipeline ? m_pipeline->Counters() : MovieCounters{};
}

IUnknown* CreateFilterGraph()
{
    return static_cast<IGraphBuilder*>(new FilterGraph);
}

} // namespace platform
