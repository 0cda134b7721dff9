#include "script/exec/CFuncExec.h"

#include "foundation/ConfigSettings.h"
#include "foundation/GameCursor.h"
#include "foundation/GameDocument.h"
#include "graphics/CSakuraEffect.h"
#include "graphics/CSnowEffect.h"
#include "graphics/CSnowFirstOne.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteAnime.h"
#include "script/FlagBuffer.h"
#include "script/IScriptMessageScreen.h"
#include "script/vm/ScriptContext.h"

namespace {

// The command table's last code; the dispatch indexes it with code + 1, taken unsigned.
constexpr uint32_t LAST_CODE = 108;

} // namespace

CFuncExec::CFuncExec()
    : m_task(std::make_unique<CSpriteAnime>())
    , m_stash(std::make_unique<FlagBuffer>())
{}

CFuncExec::~CFuncExec()
{
    m_task.reset();
    m_snow.reset();
    m_petals.reset();
    m_snowball.reset();
    m_train.reset();
    m_message_screen.reset();
    m_stash.reset();
    m_language_file = CStringUTF8();
}

void CFuncExec::PushResult(int32_t result)
{
    Context->PushInteger(result);
}

void CFuncExec::PushScreenResult(ScriptScreen screen, int32_t preset, std::vector<ScriptValue> arguments)
{
    ScriptValue result = ScriptValue::FromInteger(preset);
    RunScriptScreen(screen, &result, ScriptScreenCall{std::move(arguments)});
    PushResult(result.Integer);
}

void CFuncExec::Call(CScript& script)
{
    if (Context == nullptr)
        return;
    const int32_t code = Context->PopInteger();
    if (static_cast<uint32_t>(code) + 1 > LAST_CODE + 1)
        return;
    switch (code) {
    case -1:
        return WriteThumbnail();
    case 5:
        return ShowHeroName();
    case 10:
        return MessageWindow();
    case 12:
        return Picture();
    case 13:
        return StandingCharacter();
    case 14:
        return AutoSave();
    case 15:
        return BackgroundVoice();
    case 16: {
        const int32_t mode = Context->PopInteger();
        return PushScreenResult(ScriptScreen::AreaBase, 0, {ScriptValue::FromInteger(mode)});
    }
    case 17:
        return AreaSelectCommand();
    case 18:
        return NameInput();
    case 19:
        return SetDefaultHeroName();
    case 20:
        RunScriptScreen(ScriptScreen::TownMap, nullptr, ScriptScreenCall{{}, &script});
        return;
    case 21:
        return SetBacklogText();
    case 22:
        return SetBacklogHeroName();
    case 23: {
        ScriptValue result = ScriptValue::FromText(MakeLanguageFileName(Context->PopValue().Text));
        result.Integer = 0;
        return Context->Push(result);
    }
    case 24:
        return LanguageText();
    case 25:
        return WriteCalendar();
    case 26:
        return CopyFlags();
    case 27:
        return GameCursor();
    case 28:
        return Title();
    case 29: {
        const int32_t mode = Context->PopInteger();
        return PushScreenResult(ScriptScreen::TimeSelect, 0, {ScriptValue::FromInteger(mode)});
    }
    case 30:
    case 48: {
        const int32_t number = Context->PopInteger();
        RunScriptScreen(code == 30 ? ScriptScreen::MiniDialog : ScriptScreen::MiniDialog2, nullptr,
                        ScriptScreenCall{{ScriptValue::FromInteger(number)}});
        return;
    }
    case 31:
        return TitleAnimation();
    case 32:
        return ArmAndStepSlot();
    case 33:
        return Pan();
    case 34:
        return RestartSlot();
    case 35:
        return FaceVoice();
    case 36: {
        const int32_t kind = Context->PopInteger();
        return PushScreenResult(ScriptScreen::CharSelect, -1, {ScriptValue::FromInteger(kind)});
    }
    case 37: {
        const int32_t index = Context->PopInteger();
        RunScriptScreen(ScriptScreen::Comment, nullptr, ScriptScreenCall{{ScriptValue::FromInteger(index)}});
        return;
    }
    case 38:
        return Stash();
    case 39:
        return Train();
    case 40:
        return PushScreenResult(ScriptScreen::CharAreaSelect, 0);
    case 41:
        return TrainLineMap();
    case 42:
        return ZoomFlash();
    case 43:
        return Snow();
    case 44:
        return Snowball();
    case 45:
        return PictureSet(script);
    case 46:
        return MessageScreen();
    case 47:
        return RunExtrasMode(4);
    case 49:
        return MarkHeroineSeen();
    case 50:
    case 51:
    case 52:
    case 53:
        return RunExtrasMode(code - 50);
    case 55:
        return Petals();
    case 56:
        return EpiloguePicture(script);
    case 54:
        // No confirmation to ask answers as cancelled.
        return PushScreenResult(ScriptScreen::ConfirmDialog, -1);
    case 108:
        return MiniGame();
    default:
        return;
    }
}

void CFuncExec::GameCursor()
{
    const int32_t change = Context->PopInteger();
    ::GameCursor* cursor = GetGameCursor();
    if (cursor == nullptr)
        return;
    if (change == 0)
        cursor->TurnOn();
    else if (change == 1)
        cursor->HideGameCursor();
}
