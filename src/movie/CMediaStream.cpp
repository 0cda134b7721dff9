#include "movie/CMediaStream.h"

#include <new>

#include "foundation/AppLink.h"
#include "foundation/CArchiveManager.h"
#include "foundation/CExecException.h"
#include "foundation/CString.h"
#include "foundation/CXMLDocument.h"
#include "foundation/ConfigSettings.h"
#include "foundation/CreationFault.h"
#include "foundation/GameDocument.h"
#include "foundation/MainView.h"
#include "foundation/PlayerMessage.h"
#include "movie/CMediaFile.h"
#include "movie/CVideoRender.h"
#include "platform/com/ComApi.h"

namespace {

template <typename T>
void ReleaseInterface(T*& object)
{
    if (object != nullptr)
        object->Release();
    object = nullptr;
}

// The text from the last "." of the name's file part, or empty.
std::string ExtensionOf(const std::string& name)
{
    const size_t slash = name.find_last_of("/\\");
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    return name.substr(dot);
}

} // namespace

CMediaStream::CMediaStream(GameDocument* document)
    : m_document(document)
{}

CMediaStream::~CMediaStream()
{
    GetMainView().RemoveWindowHook(this);
    if (Control != nullptr)
        Stop();
    ReleaseGraph();
    Archive.reset();
    File.reset();
}

int32_t CMediaStream::SettingsVolume()
{
    if (!GetConfigMusicEnable() || !GetConfigSoundEnable())
        return VOLUME_SILENT;
    return -5000 - static_cast<int32_t>(GetConfigMasterVolume() * (GetConfigMusicVolume() * -5000.0));
}

int32_t CMediaStream::Create()
{
    if (!IsCreationFaultInjected("Failed to create the Media File"))
        File.reset(new (std::nothrow) CMediaFile);
    if (File == nullptr)
        throw CExecException("Failed to create the Media File");
    AppLink* app = GetAppLink();
    const CStringUTF8 list = app != nullptr ? app->GetFileInfoString("/GameFile/MovieArchive/File", "movie.arc")
                                            : CStringUTF8("movie.arc");
    CXMLDocument* info = app != nullptr ? app->GetFileInfoDocument() : nullptr;
    const bool compressed = (info != nullptr ? info->GetInt("/GameFile/MovieArchive/Encode", 1) : 1) == 1;
    // A missing movie archive only shows when a movie is asked for.
    if (!IsCreationFaultInjected("Failed to create the Movie Archive"))
        Archive.reset(new (std::nothrow) CArchiveManager(list, compressed, false));
    if (Archive == nullptr)
        throw CExecException("Failed to create the Movie Archive");
    Volume = SettingsVolume();
    return 0;
}

bool CMediaStream::Open(CStringUTF8 name, uint8_t loop)
{
    Stop();
    Name = name;
    Loop = loop;
    return BuildGraph() == S_OK;
}

HANDLE CMediaStream::OpenEntry()
{
    try {
        Archive->OpenEntry(Name);
        EntrySize = Archive->GetSize();
        EntryOffset = Archive->GetPosition();
        return Archive->DuplicateEntryHandle();
    } catch (const CString& message) {
        ShowPlayerMessage(0, m_document->FormatScriptError(message));
    } catch (const CStringUTF8& message) {
        ShowPlayerMessage(0, m_document->FormatScriptError(message));
    }
    return nullptr;
}

HRESULT CMediaStream::BuildGraph()
{
    HRESULT result;
    if (ExtensionOf(Name.GetStdString()) == ".mpg") {
        HANDLE handle = OpenEntry();
        result = handle != nullptr && handle != INVALID_HANDLE_VALUE ? BuildArchiveGraph(handle) : E_FAIL;
    } else {
        result = BuildFileGraph();
    }
    // A graph that could not be built is not kept half made.
    if (FAILED(result))
        ReleaseGraph();
    if (Events != nullptr)
        Events->SetNotifyWindow(reinterpret_cast<OAHWND>(GetMainView().GetMainWindow()), WM_GRAPH_NOTIFY, 0);
    return result;
}

CSprite* CMediaStream::CurrentTarget()
{
    return Target != nullptr ? Target : CVideoRender::LookUpLayerZero();
}

// Steps 1 to 3 of either graph: the graph, its builder and the renderer added to it.
HRESULT CMediaStream::CreateGraphWithRenderer(IGraphBuilder** builder)
{
    HRESULT result = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterGraph,
                                      reinterpret_cast<void**>(&Graph));
    if (FAILED(result))
        return result;
    result = Graph->QueryInterface(IID_IGraphBuilder, reinterpret_cast<void**>(builder));
    if (FAILED(result))
        return result;
    CSprite* target = CurrentTarget();
    if (target == nullptr)
        return E_FAIL;
    HRESULT made = S_OK;
    // A filter starts with one reference, which the stream adopts; Release frees it.
    Renderer = ComPtr<CVideoRender>(new CVideoRender(target, FadeStep, &made));
    if (FAILED(made))
        return made;
    return Graph->AddFilter(Renderer.Get(), nullptr);
}

HRESULT CMediaStream::QueryControls()
{
    HRESULT result = Graph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&Audio));
    if (FAILED(result))
        return result;
    result = Graph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&Events));
    if (FAILED(result))
        return result;
    return Graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&Control));
}

HRESULT CMediaStream::BuildArchiveGraph(HANDLE handle)
{
    IGraphBuilder* builder = nullptr;
    HRESULT result = CreateGraphWithRenderer(&builder);
    if (SUCCEEDED(result)) {
        result = File->Attach(handle, EntrySize, EntryOffset);
        handle = nullptr; // the file owns it now
    }
    if (SUCCEEDED(result)) {
        HRESULT made = S_OK;
        Reader = ComPtr<CMediaFileReader>(new (std::nothrow) CMediaFileReader(File.get(), &made));
        result = !Reader || FAILED(made) ? E_FAIL : Graph->AddFilter(Reader.Get(), nullptr);
    }
    if (SUCCEEDED(result)) {
        IPin* pin = Reader->GetPin(0);
        result = builder->Render(pin);
        pin->Release();
    }
    ReleaseInterface(builder);
    if (handle != nullptr)
        CloseHandle(handle);
    if (SUCCEEDED(result))
        result = QueryControls();
    if (FAILED(result))
        return result;
    result = Graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&Seeking));
    if (FAILED(result))
        return result;
    return Seeking->GetPositions(&StartPosition, &StopPosition);
}

HRESULT CMediaStream::BuildFileGraph()
{
    IGraphBuilder* builder = nullptr;
    HRESULT result = CreateGraphWithRenderer(&builder);
    if (SUCCEEDED(result)) {
        builder->RenderFile(Name.ToWide().c_str(), nullptr);
        result = QueryControls();
    }
    if (SUCCEEDED(result) && SUCCEEDED(Graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&Seeking)))) {
        Seeking->GetCurrentPosition(&StartPosition);
        Seeking->GetStopPosition(&StopPosition);
    }
    ReleaseInterface(builder);
    return result;
}

int32_t CMediaStream::Start()
{
    // A movie stays silent while music or sound is off, whatever volume it was given.
    Volume = (!GetConfigMusicEnable() || !GetConfigSoundEnable()) ? VOLUME_SILENT
                                                                   : static_cast<int32_t>(Volume * 0.8);
    if (Audio != nullptr)
        Audio->put_Volume(Volume);
    if (Renderer)
        Renderer->SetDrawing();
    if (Control != nullptr) {
        Control->Run();
        WaitForState(State_Running);
    }
    State |= STREAM_PLAYING;
    m_document->SetEngineStateBits(ENGINE_STATE_MOVIE);
    return 1;
}

void CMediaStream::Stop()
{
    Name = CStringUTF8();
    if (Control != nullptr) {
        if (Renderer)
            Renderer->SetDrawing();
        Control->Stop();
        WaitForState(State_Stopped);
        ReleaseGraph();
    }
    m_document->ClearEngineStateBits(ENGINE_STATE_MOVIE);
    State = 0;
}

void CMediaStream::Pause()
{
    if (State & STREAM_PAUSED)
        return;
    if (Control != nullptr) {
        Control->Pause();
        WaitForState(State_Paused);
    }
    State |= STREAM_PAUSED;
}

void CMediaStream::Resume()
{
    if (!(State & STREAM_PAUSED))
        return;
    if (Control != nullptr) {
        Control->Run();
        WaitForState(State_Running);
    }
    State &= ~STREAM_PAUSED;
}

HRESULT CMediaStream::WaitForState(OAFilterState state)
{
    if (Control == nullptr)
        return 0;
    for (;;) {
        OAFilterState now = State_Stopped;
        const HRESULT result = Control->GetState(50, &now);
        if (FAILED(result))
            return result;
        if (now == state)
            return result;
    }
}

void CMediaStream::SetRendererTarget()
{
    if (Renderer)
        Renderer->SetNewTarget(CurrentTarget(), FadeStep);
}

void CMediaStream::ReleaseGraph()
{
    ReleaseInterface(Control);
    if (Events != nullptr)
        Events->SetNotifyWindow(0, 0, 0);
    ReleaseInterface(Events);
    ReleaseInterface(Seeking);
    ReleaseInterface(Audio);
    if (Graph != nullptr) {
        IEnumFilters* filters = nullptr;
        if (SUCCEEDED(Graph->EnumFilters(&filters))) {
            IBaseFilter* filter = nullptr;
            while (filters->Next(1, &filter, nullptr) == S_OK) {
                Graph->RemoveFilter(filter);
                filters->Reset();
                filter->Release();
            }
            filters->Release();
        }
    }
    ReleaseInterface(Graph);
    Renderer.Reset();
    Reader.Reset();
}

int32_t CMediaStream::HookProc(HWND, UINT message, WPARAM, LPARAM)
{
    if (message != WM_GRAPH_NOTIFY || Control == nullptr || Events == nullptr)
        return 0;
    LONG code = 0;
    LONG_PTR first = 0;
    LONG_PTR second = 0;
    if (FAILED(Events->GetEvent(&code, &first, &second, 0)))
        return 0;
    Events->FreeEventParams(code, first, second);
    if (code != EC_COMPLETE)
        return 0;
    if (Loop == 0)
        State = 0;
    else if (Loop == 1 && Seeking != nullptr)
        Seeking->SetPositions(&StartPosition, AM_SEEKING_AbsolutePositioning, &StopPosition,
                              AM_SEEKING_AbsolutePositioning);
    return 0;
}
