#pragma once
// The filter graph manager over FFmpeg: one object answering IGraphBuilder, IMediaControl,
// IMediaEventEx, IMediaSeeking and IBasicAudio. Rendering the reader's output pin opens the
// reader's stream in a MoviePipeline and connects the added renderer through its
// CheckMediaType; RenderFile does the same for an operating-system path. State changes are
// synchronous. At the end of the movie EC_COMPLETE is queued and the notify message posted.

#include "platform/dshow/DShowApi.h"
#include "platform/dshow/MoviePipeline.h"

#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class CBaseRenderer;

namespace platform {

class FilterGraph final : public IGraphBuilder,
                          public IMediaControl,
                          public IMediaEventEx,
                          public IMediaSeeking,
                          public IBasicAudio,
                          public MovieSink
{
public:
    FilterGraph();

    // IUnknown (shared by every interface)
    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // IFilterGraph, IGraphBuilder
    HRESULT AddFilter(IBaseFilter* filter, LPCWSTR name) override;
    HRESULT RemoveFilter(IBaseFilter* filter) override;
    HRESULT EnumFilters(IEnumFilters** enumerator) override;
    HRESULT Render(IPin* output) override;
    HRESULT RenderFile(LPCWSTR file, LPCWSTR play_list) override;

    // IMediaControl
    HRESULT Run() override;
    HRESULT Pause() override;
    HRESULT Stop() override;
    HRESULT GetState(LONG timeout_ms, OAFilterState* state) override;

    // IMediaEventEx
    HRESULT GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG timeout_ms) override;
    HRESULT FreeEventParams(LONG code, LONG_PTR param1, LONG_PTR param2) override;
    HRESULT SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instance) override;

    // IMediaSeeking
    HRESULT GetDuration(LONGLONG* duration) override;
    HRESULT GetStopPosition(LONGLONG* stop) override;
    HRESULT GetCurrentPosition(LONGLONG* current) override;
    HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG* stop, DWORD stop_flags) override;

    // IBasicAudio
    HRESULT put_Volume(LONG volume) override;
    HRESULT get_Volume(LONG* volume) override;

    // The filter at index, with a reference; null past the end.
    IBaseFilter* GetFilter(size_t index);
    // Pictures shown and dropped so far (tests and the benchmark).
    MovieCounters GetCounters();

private:
    ~FilterGraph() override;

    void RenderSample(IMediaSample* sample) override;
    void OnComplete() override;
    HRESULT OpenAndConnect(std::unique_ptr<MoviePipeline> pipeline, CAsyncIo* io, bool force_mpeg,
                           const std::string& path);
    CBaseRenderer* FindRenderer();

    RefCount m_references;
    std::mutex m_lock; // guards the filter list, the events and the notify target; a leaf lock
    std::vector<IBaseFilter*> m_filters; // one reference each
    std::deque<LONG> m_events;
    OAHWND m_notify_window = 0;
    LONG m_notify_message = 0;
    LONG_PTR m_notify_instance = 0;
    OAFilterState m_state = State_Stopped;
    LONG m_volume = 0;
    CBaseRenderer* m_renderer = nullptr; // the connected renderer; in m_filters
    std::unique_ptr<MoviePipeline> m_pipeline;
};

IUnknown* CreateFilterGraph();

} // namespace platform
