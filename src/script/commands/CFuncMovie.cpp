#include "script/commands/CFuncMovie.h"

#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/IKeyboard.h"
#include "foundation/IMouse.h"
#include "foundation/WaitPass.h"
#include "movie/CMediaStream.h"
#include "movie/CMoviePlayer.h"
#include "movie/MovieVolumeRecord.h"
#include "platform/dshow/DShowApi.h"
#include "platform/kernel/SyncApi.h"
#include "script/FlagBuffer.h"
#include "script/ScriptWork.h"
#include "script/vm/ScriptContext.h"

namespace {

constexpr int32_t MOVIE_FADE_STEP = 32;
constexpr int WAIT_PASSES = 11;

} // namespace

CFuncMovie::CFuncMovie()
    : Player(Document->GetMoviePlayer())
{}

void CFuncMovie::Call(CScript&)
{
    switch (Context->PopInteger()) {
    case 0: {
        const CStringUTF8 name = Context->PopValue().Text;
        const int32_t loop = Context->PopInteger();
        Play(name, loop);
        break;
    }
    case 1:
        if (Player != nullptr)
            Player->StopAll();
        break;
    case 2:
        Context->PushInteger(Wait());
        break;
    case 3:
        SetPaused(Context->PopInteger());
        break;
    default:
        break;
    }
}

void CFuncMovie::Play(CStringUTF8 name, int32_t loop)
{
    if (Player == nullptr || GetConfigSceneSkip())
        return;
    ScriptWork* work = GetScriptWork();
    if (MovieVolumeRecord* record = work != nullptr ? work->m_movie_volume.get() : nullptr) {
        record->Kind = 1;
        record->Index = 0;
    }
    // Silent stays silent: the 0.8 scaling is for volumes that are heard.
    int32_t volume = CMediaStream::SettingsVolume();
    if (volume != VOLUME_SILENT)
        volume = static_cast<int32_t>(volume * 0.8);
    for (auto& stream : Player->Streams) {
        if (!stream)
            continue;
        stream->Volume = volume;
        if (stream->Audio != nullptr)
            stream->Audio->put_Volume(volume);
    }
    // The popped loop value goes on, so a movie played once can end a wait by itself.
    Player->Play(name, static_cast<uint8_t>(loop), MOVIE_FADE_STEP);
}

int32_t CFuncMovie::Wait()
{
    if (Player == nullptr)
        return 0;
    CInputView* input = GetInputView();
    for (;;) {
        for (int pass = 0; pass < WAIT_PASSES; ++pass) {
            if (Player->NewIndex == -1 || Player->Streams[Player->NewIndex]->State != STREAM_PLAYING)
                return 0;
            if (!RunWaitPass(Document))
                return 0;
            if ((Document->GetEngineStateWord() & ENGINE_STATE_MOVIE_CANCEL) == 0)
                continue;
            IKeyboard* keys = input->GetKeyboard();
            IMouse* mouse = input->GetMouse();
            if ((keys != nullptr && (keys->IsKeyDown(SCAN_ESCAPE) || keys->IsKeyDown(SCAN_DELETE))) ||
                (mouse != nullptr && (mouse->IsRightDown() || mouse->GetTouchState())))
                return 1;
        }
        Sleep(1);
    }
}

void CFuncMovie::SetPaused(int32_t pause)
{
    if (Player == nullptr || Player->NewIndex == -1)
        return;
    CMediaStream& stream = *Player->Streams[Player->NewIndex];
    if (pause == 1)
        stream.Pause();
    else
        stream.Resume();
}
