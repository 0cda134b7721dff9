#include "screens/ScriptScreens.h"

#include <memory>

#include "foundation/PlayerMessage.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteLayer.h"
#include "screens/base/CDialog.h"
#include "screens/base/CMesScreen.h"
#include "screens/base/CMiniDialog.h"
#include "screens/base/ScreenResult.h"
#include "screens/extras/CCGFlag.h"
#include "screens/extras/CCGMode.h"
#include "screens/extras/CMusicMode.h"
#include "screens/extras/COmakeHMode.h"
#include "screens/extras/CScMode.h"
#include "screens/extras/CSlot.h"
#include "screens/map/CCharAreaSelect.h"
#include "screens/map/CCharSelect.h"
#include "screens/map/CComment.h"
#include "screens/map/CCommentMode.h"
#include "screens/map/CTimeSelect.h"
#include "screens/system/CNameInput.h"
#include "screens/system/CTitle.h"
#include "screens/system/CTitleAnime.h"
#include "screens/system/CTitleSP.h"
#include "script/ScriptScreenTable.h"
#include "script/vm/ScriptError.h"

namespace {

constexpr int32_t MINI_DIALOG_DEPTH = 50;
constexpr int32_t CONFIRM_DIALOG_KIND = 12;
constexpr int32_t EXTRAS_PICTURES = 0;
constexpr int32_t EXTRAS_SCENES = 1;
constexpr int32_t EXTRAS_MUSIC = 2;
constexpr int32_t EXTRAS_COMMENTS = 3;
constexpr int32_t HEROINE_COUNT = 17;

void Answer(ScriptValue* out, int32_t answer)
{
    if (out != nullptr)
        *out = ScriptValue::FromInteger(answer);
}

void RunTimeSelect(const ScriptScreenCall& call, ScriptValue* out)
{
    CTimeSelect screen;
    // Without its sheet or sprites the screen could draw nothing: 0, the back answer.
    if (!screen.Setup()) {
        ReportScriptError("The time selection cannot be created.");
        return Answer(out, 0);
    }
    Answer(out, screen.RunWithMode(call.IntegerAt(0)));
}

void RunMiniDialog(std::unique_ptr<CMiniDialog> dialog, const ScriptScreenCall& call)
{
    // A notice that could not be built is not run: its loop would wait on nothing.
    if (dialog->Setup(call.IntegerAt(0), MINI_DIALOG_DEPTH) == 1)
        dialog->Run(nullptr);
}

void RunCharSelect(const ScriptScreenCall& call, ScriptValue* out)
{
    CCharSelect screen;
    // A screen whose parts are missing is not run: the script gets the back answer.
    if (!screen.Setup()) {
        ReportScriptError("The character selection cannot be created.");
        return Answer(out, -1);
    }
    Answer(out, screen.RunWithMode(call.IntegerAt(0)).Integer);
}

void RunComment(const ScriptScreenCall& call, ScriptValue*)
{
    const int32_t index = call.IntegerAt(0);
    CComment screen;
    if (!screen.Setup(index)) {
        // An index without a sheet shows nothing and says nothing.
        if (CComment::SheetName(index) != nullptr)
            ReportScriptError("The diary page cannot be created.");
        return;
    }
    screen.Run(nullptr);
}

void RunCharAreaSelect(const ScriptScreenCall&, ScriptValue* out)
{
    CCharAreaSelect screen;
    screen.CreateParts();
    Answer(out, screen.RunScreen());
}

void RunConfirmDialog(const ScriptScreenCall&, ScriptValue* out)
{
    // A dialog switched off by the player answers yes at once; one that cannot be built
    // answers as cancelled rather than leaving the script without its value.
    CDialog dialog;
    const int32_t setup = dialog.Setup(CONFIRM_DIALOG_KIND, MINI_DIALOG_DEPTH);
    if (setup != 1)
        return Answer(out, setup == 0 ? DIALOG_ANSWER_YES : DIALOG_ANSWER_CANCEL);
    Answer(out, RunForResult(dialog));
}

void RunNameInput(const ScriptScreenCall&, ScriptValue* out)
{
    CNameInput screen;
    const bool built = screen.Setup() == 1;
    if (built)
        screen.Run(nullptr);
    screen.Release();
    Answer(out, built ? 1 : 0);
}

void RunTitle(const ScriptScreenCall& call, ScriptValue* out)
{
    CTitle screen;
    screen.Setup();
    ScriptValue result = ScriptValue::FromInteger(0);
    screen.RunFromPage(&result, call.IntegerAt(0));
    Answer(out, result.Integer);
}

void RunTitleSP(const ScriptScreenCall&, ScriptValue* out)
{
    CTitleSP screen;
    screen.Setup();
    Answer(out, screen.Register());
}

void RunTitleAnimation(const ScriptScreenCall&, ScriptValue*)
{
    CTitleAnime anime;
    anime.LoadImages();
    anime.Play();
}

void RunExtras(const ScriptScreenCall& call, ScriptValue* out)
{
    const int32_t mode = call.IntegerAt(0);
    std::unique_ptr<IOmakeParts> screen;
    if (mode == EXTRAS_PICTURES)
        screen = std::make_unique<CCGMode>();
    else if (mode == EXTRAS_SCENES)
        screen = std::make_unique<CScMode>();
    else if (mode == EXTRAS_MUSIC)
        screen = std::make_unique<CMusicMode>();
    else if (mode == EXTRAS_COMMENTS)
        screen = std::make_unique<CCommentMode>();
    else
        screen = std::make_unique<COmakeHMode>();
    // A screen whose sheets or sprites are missing is never run.
    if (screen->CreateParts() == 0) {
        if (mode == EXTRAS_SCENES)
            ShowPlayerMessage(0, CStringUTF8("シーンモードの作成に失敗しました"));
        else if (mode == EXTRAS_MUSIC)
            ShowPlayerMessage(0, CStringUTF8("Failed to create music mode."));
        else
            ReportScriptError(CStringUTF8().Format("Extras screen %d cannot be created.", mode));
        Answer(out, -1);
    } else {
        Answer(out, screen->RunScreen());
    }
    screen->ReleaseParts();
    if (mode >= EXTRAS_MUSIC)
        IOmakeParts::ResetOpenCount();
}

void MarkHeroineSeen(const ScriptScreenCall& call, ScriptValue*)
{
    const int32_t heroine = call.IntegerAt(0);
    if (heroine < 0 || heroine >= HEROINE_COUNT)
        return;
    auto pictures = std::make_unique<CCGMode>();
    auto registry = std::make_unique<CCGFlag>();
    const int32_t first = CCGMode::GetGroupFirstRow(heroine);
    for (int32_t r = first; r < first + CCGMode::GetGroupRowCount(heroine); ++r) {
        const CGRow* row = pictures->GetRow(r);
        if (row == nullptr || row->FirstVariant == -1)
            continue;
        for (const int32_t variant : row->Variants)
            registry->MarkSeen(variant);
    }
    auto scenes = std::make_unique<CScMode>();
    for (int32_t i = 0; i < SCENES_PER_HEROINE; ++i) {
        const int32_t scene = scenes->GetScene(heroine, i);
        if (scene == -1)
            break;
        scenes->SetFlag(scene, 1);
    }
}

void RunMiniGame(const ScriptScreenCall& call, ScriptValue*)
{
    const int32_t sub = call.IntegerAt(0);
    CSlot slot;
    if (sub == 0) {
        slot.Setup(call.IntegerAt(1), call.IntegerAt(2), call.IntegerAt(3), call.IntegerAt(4));
    } else if (sub == 1) {
        slot.RunWithReels(call.IntegerAt(1), call.IntegerAt(2), call.IntegerAt(3), call.IntegerAt(4));
    } else if (sub == 2) {
        CSlotScrollImage scroll;
        scroll.RunScroll(call.IntegerAt(1), call.IntegerAt(2));
    }
}

std::unique_ptr<IScriptMessageScreen> MakeMessageScreen()
{
    auto screen = std::make_unique<CMesScreen>();
    screen->CreateParts();
    return screen;
}

constexpr ScriptScreen OWN_SCREENS[] = {
    ScriptScreen::TimeSelect,      ScriptScreen::MiniDialog,     ScriptScreen::MiniDialog2,
    ScriptScreen::CharSelect,      ScriptScreen::Comment,        ScriptScreen::CharAreaSelect,
    ScriptScreen::ConfirmDialog,   ScriptScreen::NameInput,      ScriptScreen::Title,
    ScriptScreen::TitleSP,         ScriptScreen::TitleAnimation, ScriptScreen::Extras,
    ScriptScreen::MarkHeroineSeen, ScriptScreen::MiniGame,
};

} // namespace

void RegisterScriptScreens()
{
    RegisterScriptScreen(ScriptScreen::TimeSelect, RunTimeSelect);
    RegisterScriptScreen(ScriptScreen::MiniDialog, [](const ScriptScreenCall& call, ScriptValue*) {
        RunMiniDialog(std::make_unique<CMiniDialog>(), call);
    });
    RegisterScriptScreen(ScriptScreen::MiniDialog2, [](const ScriptScreenCall& call, ScriptValue*) {
        RunMiniDialog(std::make_unique<CMiniDialog2>(), call);
    });
    RegisterScriptScreen(ScriptScreen::CharSelect, RunCharSelect);
    RegisterScriptScreen(ScriptScreen::Comment, RunComment);
    RegisterScriptScreen(ScriptScreen::CharAreaSelect, RunCharAreaSelect);
    RegisterScriptScreen(ScriptScreen::ConfirmDialog, RunConfirmDialog);
    RegisterScriptScreen(ScriptScreen::NameInput, RunNameInput);
    RegisterScriptScreen(ScriptScreen::Title, RunTitle);
    RegisterScriptScreen(ScriptScreen::TitleSP, RunTitleSP);
    RegisterScriptScreen(ScriptScreen::TitleAnimation, RunTitleAnimation);
    RegisterScriptScreen(ScriptScreen::Extras, RunExtras);
    RegisterScriptScreen(ScriptScreen::MarkHeroineSeen, MarkHeroineSeen);
    RegisterScriptScreen(ScriptScreen::MiniGame, RunMiniGame);
    RegisterScriptMessageScreen(MakeMessageScreen);
}

void UnregisterScriptScreens()
{
    for (const ScriptScreen screen : OWN_SCREENS)
        RegisterScriptScreen(screen, nullptr);
    RegisterScriptMessageScreen(nullptr);
}
