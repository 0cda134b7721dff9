#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "app/InputFakes.h"
#include "foundation/CInputView.h"
#include "foundation/ConfigAccess.h"
#include "movie/CMediaStream.h"
#include "movie/CMoviePlayer.h"
#include "movie/MovieFixture.h"
#include "movie/MovieVolumeRecord.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/commands/CFuncMovie.h"
#include "script/vm/CScript.h"
#include "script/vm/ScriptContext.h"

namespace {

class CFuncMovieThreadTest : public MovieFixture
{
protected:
    CFuncMovieThreadTest()
    {
        WriteMovieArchive(StandardClips());
        CreatePlayer();
        GetScriptState().m_script_context = std::make_unique<ScriptContext>();
        GetGameWork()->m_movie_volume = std::make_unique<MovieVolumeRecord>();
        GetInputView()->SetKeyboard(&m_keys);
    }
    ~CFuncMovieThreadTest() override
    {
        GetInputView()->SetKeyboard(nullptr);
        GetGameWork()->m_movie_volume.reset();
        GetScriptState().m_script_context.reset();
    }

    // Pushes the arguments, last popped first, then the sub-function, and calls the group.
    std::vector<ScriptValue>& Call(int32_t function, std::vector<ScriptValue> arguments = {})
    {
        ScriptContext& context = *GetScriptState().m_script_context;
        for (auto it = arguments.rbegin(); it != arguments.rend(); ++it)
            context.Push(*it);
        context.PushInteger(function);
        CFuncMovie group;
        group.Player = m_player.get(); // the fixture's player stands for the document's
        group.Call(m_script);
        return context.ValueStack;
    }
    void Play(const char* name, int32_t loop)
    {
        Call(0, {ScriptValue::FromText(name), ScriptValue::FromInteger(loop)});
    }
    int32_t Wait()
    {
        std::vector<ScriptValue>& stack = Call(2);
        EXPECT_EQ(stack.size(), 1u);
        const int32_t result = stack.empty() ? -1 : stack.back().Integer;
        stack.clear();
        return result;
    }
    CMediaStream& Stream(int index) { return *m_player->Streams[index]; }

    CScript m_script;
    ScriptedKeyboard m_keys;
};

TEST_F(CFuncMovieThreadTest, SceneSkipTakesTheArgumentsAndPlaysNothing)
{
    m_app.Config().SetInt(foundation::KEY_SCENE_SKIP, 1);
    Play("A.mpg", 1);
    EXPECT_TRUE(GetScriptState().m_script_context->ValueStack.empty());
    EXPECT_EQ(Stream(0).State, 0u);
    EXPECT_EQ(GetGameWork()->m_movie_volume->Kind, 0u);
    EXPECT_EQ(Wait(), 0);
}

TEST_F(CFuncMovieThreadTest, MoviePlayedOnceEndsTheWaitByItself)
{
    Play("A.mpg", 0);
    EXPECT_EQ(GetGameWork()->m_movie_volume->Kind, 1u);
    EXPECT_EQ(GetGameWork()->m_movie_volume->Index, 0);
    EXPECT_EQ(Stream(0).Loop, 0) << "the popped loop value is played";
    EXPECT_EQ(Wait(), 0);
    EXPECT_EQ(Stream(0).State, 0u);
    EXPECT_EQ(ReadLayerNumber(m_sprite0), 9);
}

TEST_F(CFuncMovieThreadTest, WaitOnAPausedMovieAnswersAtOnce)
{
    Play("LONG.mpg", 1);
    Call(3, {ScriptValue::FromInteger(1)});
    EXPECT_EQ(Stream(0).State, STREAM_PLAYING | STREAM_PAUSED);
    EXPECT_EQ(Wait(), 0);
    Call(3, {ScriptValue::FromInteger(0)});
    EXPECT_EQ(Stream(0).State, STREAM_PLAYING);
    Call(1);
    EXPECT_EQ(Stream(0).State, 0u);
    EXPECT_EQ(m_player->NewIndex, -1);
}

TEST_F(CFuncMovieThreadTest, EscapeEndsAWaitOnlyWithTheCancelBit)
{
    m_keys.down = {SCAN_ESCAPE};
    Play("A.mpg", 0);
    EXPECT_EQ(Wait(), 0);
    EXPECT_EQ(ReadLayerNumber(m_sprite0), 9) << "Escape ended the wait without bit 0x800";
    m_document->SetEngineStateBits(ENGINE_STATE_MOVIE_CANCEL);
    Play("LONG.mpg", 1);
    EXPECT_EQ(Wait(), 1);
    EXPECT_EQ(Stream(0).State, STREAM_PLAYING) << "the wait stopped the movie";
    m_keys.down = {SCAN_DELETE};
    EXPECT_EQ(Wait(), 1);
}

} // namespace
