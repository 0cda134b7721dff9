// The exec commands of the background voices and the face voices.

#include "script/exec/CFuncExec.h"

#include "foundation/ConfigSettings.h"
#include "script/ScriptScreenTable.h"
#include "script/ScriptWork.h"
#include "script/exec/IBGVPlay.h"
#include "script/vm/ScriptContext.h"

void CFuncExec::BackgroundVoice()
{
    const int32_t sub = Context->PopInteger();
    if (sub < 0 || sub > 4)
        return;
    CStringUTF8 name;
    if (sub == 0 || sub == 2)
        name = Context->PopValue().Text;
    const int32_t player = Context->PopInteger();
    ScriptWork* work = GetScriptWork();
    auto* players = work != nullptr ? work->m_bgv_players.get() : nullptr;
    if (players == nullptr || player < 0 || static_cast<size_t>(player) >= players->size())
        return;
    IBGVPlay& bgv = *(*players)[static_cast<size_t>(player)];
    switch (sub) {
    case 0:
        return bgv.Start(name);
    case 1:
        return bgv.Stop();
    case 2:
        return bgv.AddFile(name);
    case 3:
        return bgv.Restart();
    default:
        return bgv.FadeOut();
    }
}

void CFuncExec::FaceVoice()
{
    // Scene skip leaves the sub-command and its argument on the stack.
    if (GetConfigSceneSkip())
        return;
    const int32_t sub = Context->PopInteger();
    if (sub == 0) {
        const CStringUTF8 name = Context->PopValue().Text;
        RunScriptScreen(ScriptScreen::FaceVoiceStart, nullptr,
                        ScriptScreenCall{{ScriptValue::FromText(name)}});
    } else if (sub == 1) {
        RunScriptScreen(ScriptScreen::FaceVoiceStop, nullptr);
    }
}
