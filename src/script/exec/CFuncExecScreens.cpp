// The exec commands that open a screen of another subsystem for one command: the screen is
// built, run modally and destroyed by the screen table's entry before the command returns.

#include "foundation/ConfigSettings.h"
#include "foundation/PlayerMessage.h"
#include "script/FlagBuffer.h"
#include "script/ScriptScreenTable.h"
#include "script/commands/CFuncMusic.h"
#include "script/exec/CFuncExec.h"
#include "script/exec/HeroName.h"
#include "script/vm/ScriptContext.h"
#include "sound/IWaveManager.h"

void CFuncExec::NameInput()
{
    ScriptValue built = ScriptValue::FromInteger(0);
    RunScriptScreen(ScriptScreen::NameInput, &built);
    if (built.Integer == 0) {
        // The story still needs a name: the language's default stands in for the entry.
        ShowPlayerMessage(0, "名前入力画面を開けませんでした。既定の名前で続けます。");
        StoreHeroName(CurrentState->Bytes, GetDefaultHeroName(GetConfigLanguage()));
    }
}

void CFuncExec::Title()
{
    const int32_t page = Context->PopInteger();
    if (CurrentState->SpMode() == 1)
        return PushScreenResult(ScriptScreen::TitleSP, 0);
    PushScreenResult(ScriptScreen::Title, 0, {ScriptValue::FromInteger(page)});
}

void CFuncExec::TitleAnimation()
{
    RunScriptScreen(ScriptScreen::TitleAnimation, nullptr);
}

void CFuncExec::RunExtrasMode(int32_t mode)
{
    CFuncMusic music;
    IWaveManager* channel = music.GetManager(0);
    if (channel == nullptr || !channel->IsPlaying())
        music.Play("SWEET_EN.wav", 0, 1);
    PushScreenResult(ScriptScreen::Extras, -1, {ScriptValue::FromInteger(mode)});
}

void CFuncExec::MarkHeroineSeen()
{
    const int32_t heroine = Context->PopInteger();
    RunScriptScreen(ScriptScreen::MarkHeroineSeen, nullptr,
                    ScriptScreenCall{{ScriptValue::FromInteger(heroine)}});
}

void CFuncExec::MiniGame()
{
    const int32_t sub = Context->PopInteger();
    std::vector<ScriptValue> arguments = {ScriptValue::FromInteger(sub)};
    // The slot's set-up and its run take four integers, the scroll two.
    const int32_t count = sub == 0 || sub == 1 ? 4 : sub == 2 ? 2 : 0;
    for (int32_t i = 0; i < count; ++i)
        arguments.push_back(ScriptValue::FromInteger(Context->PopInteger()));
    RunScriptScreen(ScriptScreen::MiniGame, nullptr, ScriptScreenCall{std::move(arguments)});
}

void CFuncExec::AreaSelectCommand()
{
    const int32_t sub = Context->PopInteger();
    switch (sub) {
    case 0: {
        const CStringUTF8 name = Context->PopValue().Text;
        RunScriptScreen(ScriptScreen::AreaSelectSource, nullptr,
                        ScriptScreenCall{{ScriptValue::FromText(name)}});
        return;
    }
    case 1:
        return PushScreenResult(ScriptScreen::AreaSelect, 0);
    case 2:
        RunScriptScreen(ScriptScreen::AreaSelectClear, nullptr);
        return;
    default:
        return;
    }
}
