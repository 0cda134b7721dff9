#pragma once
// One movie player over the movie archive: builds a filter graph per movie (the archive source
// and the video renderer, or an operating-system path), starts, pauses, resumes and stops it,
// and, as a hook of the main window, takes the graph's end events to loop or end the movie.
// Main thread only; the graph's threads call the renderer and the source.

#include <cstdint>
#include <memory>

#include "foundation/CStringUTF8.h"
#include "foundation/IWinHook.h"
#include "platform/com/ComPtr.h"
#include "platform/dshow/DShowApi.h"

class CArchiveManager;
class CMediaFile;
class CMediaFileReader;
class CSprite;
class GameDocument;
class CVideoRender;

inline constexpr UINT WM_GRAPH_NOTIFY = 0x8001;
inline constexpr uint32_t STREAM_PLAYING = 0x1;
inline constexpr uint32_t STREAM_PAUSED = 0x2;
inline constexpr uint32_t ENGINE_STATE_MOVIE_CANCEL = 0x800;
inline constexpr uint32_t ENGINE_STATE_MOVIE = 0x2000;
inline constexpr int32_t VOLUME_SILENT = -10000;

class CMediaStream : public IWinHook
{
public:
    explicit CMediaStream(GameDocument* document);
    ~CMediaStream() override;
    CMediaStream(const CMediaStream&) = delete;
    CMediaStream& operator=(const CMediaStream&) = delete;

    // 0 on success: the media file and the movie archive exist and the volume is taken from the
    // settings. Throws CExecException for a part that cannot be made.
    int32_t Create();
    bool Open(CStringUTF8 name, uint8_t loop);
    int32_t Start();
    void Stop();
    void Pause();
    void Resume();
    HRESULT WaitForState(OAFilterState state);
    void SetRendererTarget();
    int32_t HookProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;

    // The attenuation a stream starts at: the music volume, silent while music or sound is off.
    static int32_t SettingsVolume();

    CArchiveManager* GetArchive() const { return Archive.get(); }
    CVideoRender* GetRenderer() const { return Renderer.Get(); }

    // The current graph's interfaces; empty without a movie. One reference each.
    IFilterGraph* Graph = nullptr;
    IMediaControl* Control = nullptr;
    IMediaEventEx* Events = nullptr;
    IMediaSeeking* Seeking = nullptr;
    IBasicAudio* Audio = nullptr;
    // The filters are reference-counted objects the graph shares; each holds our one reference.
    ComPtr<CVideoRender> Renderer;
    ComPtr<CMediaFileReader> Reader;
    std::unique_ptr<CMediaFile> File;
    std::unique_ptr<CArchiveManager> Archive;
    CSprite* Target = nullptr; // not owned; null means the document's sprite 0
    LONGLONG StartPosition = 0;
    LONGLONG StopPosition = 0;
    int32_t Volume = 0;
    uint32_t State = 0;
    CStringUTF8 Name;
    uint8_t Loop = 0;
    uint32_t EntrySize = 0;
    uint32_t EntryOffset = 0;
    int32_t FadeStep = 0;

private:
    HRESULT BuildGraph();
    HANDLE OpenEntry();
    HRESULT BuildArchiveGraph(HANDLE handle);
    HRESULT BuildFileGraph();
    HRESULT CreateGraphWithRenderer(IGraphBuilder** builder);
    HRESULT QueryControls();
    void ReleaseGraph();
    CSprite* CurrentTarget();

    GameDocument* m_document; // not owned
};
