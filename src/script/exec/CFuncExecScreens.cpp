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
constexpr int32_t TITLE_BUTTON_X = 64;
constexpr int32_t TITLE_BUTTON_Y = 678;
constexpr int32_t TITLE_BUTTON_STEP = 87;
constexpr int32_t TITLE_BUTTON_WIDTH = 492;
constexpr int32_t TITLE_BUTTON_HEIGHT = 79;
constexpr int32_t TITLE_LAST_BUTTON_HEIGHT = 94;

} // namespace

void CFuncExec::NameInput()
{
    CNameInput screen;
    screen.Setup();
    screen.Run(nullptr);
    screen.Release();
}

void CFuncExec::Title()
{
    const int32_t mode = Context->PopInteger();
    if (CurrentState->SpMode() == 1) {
        CTitleSP screen;
        if (CLayerFile* file = GetDocumentLayerFile())
            screen.m_sheet.reset(file->LoadSprite(MakeLanguageFileName("title_p.akb"), nullptr, LAYER_KIND_MEMORY, 0,
                                                  -1, nullptr, -1, -1, 0));
        for (int32_t i = 0; i < TITLE_SP_BUTTONS; ++i) {
            const int32_t height = i == TITLE_SP_BUTTONS - 1 ? TITLE_LAST_BUTTON_HEIGHT : TITLE_BUTTON_HEIGHT;
            CSprite* button = CreateSpriteOfType(TITLE_BUTTON_X, TITLE_BUTTON_Y + TITLE_BUTTON_STEP * i,
                                                 TITLE_BUTTON_WIDTH, height, 0, LAYER_KIND_MEMORY);
            if (button == nullptr)
                break;
            screen.m_buttons[static_cast<size_t>(i)].reset(button);
            screen.DrawButton(i, 0, 0);
        }
        PushResult(screen.Register());
        screen.Release();
        return;
    }
    CTitle screen;
    screen.Setup();
    PushResult(screen.RunWithMode(mode));
    screen.Release();
}

void CFuncExec::TitleAnimation()
{
    CTitleAnime anime;
    anime.LoadImages();
    anime.PlayAndWait();
    anime.DeleteLayers();
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
    if (mode == EXTRAS_MUSIC)
        IOmakeParts::SetOpenCount(2);
    // A screen whose sheets or sprites are missing is never run.
    if (screen->CreateParts() == 0) {
        screen->ReleaseParts();
        if (mode == EXTRAS_SCENES)
            AppMessageBox(0, CStringUTF8("シーンモードの作成に失敗しました"));
        else if (mode == EXTRAS_MUSIC)
            AppMessageBox(0, CStringUTF8("Failed to create music mode."));
        else
            ReportScriptError(CStringUTF8().Format("Extras screen %d cannot be created.", mode));
        PushResult(-1);
    } else {
        PushResult(screen->RunScreen());
        screen->ReleaseParts();
    }
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
    slot.m_picture.reset();
}
