// The exec commands that open a screen of another subsystem for one command: built, run
// modally and destroyed before the command returns, also when the screen unwinds with an
// exception.

#include <memory>

#include "app/AppMessageBox.h"
#include "app/CVeskDoc.h"
#include "app/ConfigSettings.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteLayer.h"
#include "screens/extras/CCGFlag.h"
#include "screens/extras/CCGMode.h"
#include "screens/extras/CMusicMode.h"
#include "screens/extras/COmakeHMode.h"
#include "screens/extras/CScMode.h"
#include "screens/extras/CSlot.h"
#include "screens/map/CCommentMode.h"
#include "screens/system/CNameInput.h"
#include "screens/system/CTitle.h"
#include "screens/system/CTitleAnime.h"
#include "screens/system/CTitleSP.h"
#include "script/FlagBuffer.h"
#include "script/commands/CFuncMusic.h"
#include "script/exec/CFuncExec.h"
#include "script/vm/ScriptContext.h"
#include "script/vm/ScriptError.h"
#include "sound/IWaveManager.h"

namespace {

constexpr int32_t EXTRAS_PICTURES = 0;
constexpr int32_t EXTRAS_SCENES = 1;
constexpr int32_t EXTRAS_MUSIC = 2;
constexpr int32_t HEROINE_COUNT = 17;

} // namespace

void CFuncExec::NameInput()
{
    CNameInput screen;
    if (screen.Setup() == 1) {
        screen.Run(nullptr);
    } else {
        // The story still needs a name: the language's default stands in for the entry.
        AppMessageBox(0, "名前入力画面を開けませんでした。既定の名前で続けます。");
        StoreHeroName(CurrentState->Bytes, GetDefaultHeroName(GetConfigLanguage()));
    }
    screen.Release();
}

void CFuncExec::Title()
{
    const int32_t page = Context->PopInteger();
    if (CurrentState->SpMode() == 1) {
        CTitleSP screen;
        screen.Setup();
        PushResult(screen.Register());
        return;
    }
    CTitle screen;
    screen.Setup();
    ScriptValue result = ScriptValue::FromInteger(0);
    screen.RunFromPage(&result, page);
    PushResult(result.Integer);
}

void CFuncExec::TitleAnimation()
{
    CTitleAnime anime;
    anime.LoadImages();
    anime.Play();
}

void CFuncExec::Extras(int32_t mode)
{
    CFuncMusic music;
    IWaveManager* channel = music.GetManager(0);
    if (channel == nullptr || !channel->IsPlaying())
        music.Play("SWEET_EN.wav", 0, 1);

    std::unique_ptr<IOmakeParts> screen;
    if (mode == EXTRAS_PICTURES)
        screen = std::make_unique<CCGMode>();
    else if (mode == EXTRAS_SCENES)
        screen = std::make_unique<CScMode>();
    else if (mode == EXTRAS_MUSIC)
        screen = std::make_unique<CMusicMode>();
    else if (mode == 3)
        screen = std::make_unique<CCommentMode>();
    else
        screen = std::make_unique<COmakeHMode>();
    // A screen whose sheets or sprites are missing is never run.
    if (screen->CreateParts() == 0) {
        if (mode == EXTRAS_SCENES)
            AppMessageBox(0, CStringUTF8("シーンモードの作成に失敗しました"));
        else if (mode == EXTRAS_MUSIC)
            AppMessageBox(0, CStringUTF8("Failed to create music mode."));
        else
            ReportScriptError(CStringUTF8().Format("Extras screen %d cannot be created.", mode));
        PushResult(-1);
    } else {
        PushResult(screen->RunScreen());
    }
    screen->ReleaseParts();
    if (mode >= EXTRAS_MUSIC)
        IOmakeParts::ResetOpenCount();
}

void CFuncExec::MarkHeroineSeen()
{
    const int32_t heroine = Context->PopInteger();
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

void CFuncExec::MiniGame()
{
    const int32_t sub = Context->PopInteger();
    CSlot slot;
    if (sub == 0) {
        const int32_t a = Context->PopInteger();
        const int32_t b = Context->PopInteger();
        const int32_t c = Context->PopInteger();
        const int32_t d = Context->PopInteger();
        slot.Setup(a, b, c, d);
    } else if (sub == 1) {
        const int32_t d1 = Context->PopInteger();
        const int32_t d2 = Context->PopInteger();
        const int32_t d3 = Context->PopInteger();
        const int32_t mode = Context->PopInteger();
        slot.RunWithReels(d1, d2, d3, mode);
    } else if (sub == 2) {
        const int32_t value = Context->PopInteger();
        const int32_t height = Context->PopInteger();
        CSlotScrollImage scroll;
        scroll.RunScroll(value, height);
    }
}
