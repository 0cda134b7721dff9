#include "screens/flags/CFlagManager.h"

#include "foundation/CExecException.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/PlayerMessage.h"
#include "game/hints/CastNames.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/GlobalDataBuffer.h"
#include "graphics/ILayer.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/flags/CFlagDetails.h"

namespace {

inline constexpr int32_t HELP_WIDTH = 1000;
inline constexpr int32_t HELP_HEIGHT = 40;
inline constexpr int32_t HELP_FONT_SIZE = 25;
inline constexpr POINT HELP_AT{109, 1004};
inline constexpr int32_t HEROINES = 15;
inline constexpr int32_t COLUMNS = 5;

ILayer* LayerOf(const std::unique_ptr<CSprite>& sprite)
{
    return sprite ? SpriteLayerOf(sprite.get()) : nullptr;
}

} // namespace

CFlagManager::CFlagManager() = default;

CFlagManager::~CFlagManager()
{
    CFlagManager::ReleaseParts();
    ISystemParts::ReleaseParts();
}

int32_t CFlagManager::CreateParts()
{
    try {
        if (ISystemParts::CreateParts() == 0)
            return 0;
        PartsSheet.reset(LoadPictureIfPresent(MakeLanguageFileName("flaglist_p.akb").GetText()));
        if (PartsSheet)
            HelpTextLayer.reset(CreateSprite(0, 0, HELP_WIDTH, HELP_HEIGHT, -1, LAYER_KIND_MEMORY, 0));
        if (HelpTextLayer)
            BackgroundSheet.reset(LoadPictureIfPresent(MakeLanguageFileName("flaglist_bg.akb").GetText()));
        if (BackgroundSheet)
            return 1;
    } catch (const CExecException&) {
    }
    // Nothing stays held, so a later opening tries again.
    CFlagManager::ReleaseParts();
    return 0;
}

void CFlagManager::ReleaseParts()
{
    PartsSheet.reset();
    HelpTextLayer.reset();
    BackgroundSheet.reset();
    ISystemParts::ReleaseParts();
}

void CFlagManager::BuildParts(int32_t)
{
    PartsSheet.reset(LoadPictureIfPresent(MakeLanguageFileName("flaglist_p.akb").GetText()));
    BackgroundSheet.reset(LoadPictureIfPresent(MakeLanguageFileName("flaglist_bg.akb").GetText()));
}

ScriptValue* CFlagManager::Run(ScriptValue* out)
{
    EnsureParts();
    // A code thrown from the details screen leaves the view kept for it; the close fades it out.
    return RunLoopAndClose(out, [this](bool unwinding) {
        if (unwinding)
            KeepView = 0;
    });
}

void CFlagManager::Show()
{
    OpenTransition(nullptr);
}

void CFlagManager::Hide()
{
    CloseTransition(nullptr);
}

void CFlagManager::OnClose()
{
    Hide();
}

void CFlagManager::OnOpen()
{
    CurrentId = -1;
    Running = 1;
    KeepView = 0;
    CurrentPage = FLAG_PAGE;
    DrawToImage = 1;
    BuildParts(-1);
    DrawScreen();
    if (ViewImageLayer() != nullptr)
        ViewImageLayer()->SetVisibleFlag(1);
    Show();
    DrawToImage = 0;
}

void CFlagManager::DrawScreen()
{
    if (ILayer* upper = MaskTarget())
        upper->SetAlphaRect(0, 0, 1920, 1080, 0);
    if (ILayer* lower = ViewTarget(); lower != nullptr && BackgroundSheet)
        lower->Blt(0, 0, 1920, 1080, LayerOf(BackgroundSheet), 0, 0, 1);
    for (int32_t n = 0; n < HEROINES; ++n)
        DrawButton(n, 0, 0);
    DrawButton(FLAG_MANAGER_BACK, 0, 0);
    HitAreas.Load("FlagMng.area");
}

void CFlagManager::DrawButton(int32_t id, int32_t state, int32_t redraw)
{
    if (id == -1)
        return;
    const int32_t group = id / 256;
    const int32_t item = id % 256;
    ILayer* lower = ViewTarget();
    ILayer* sheet = LayerOf(PartsSheet);
    ILayer* background = LayerOf(BackgroundSheet);
    if (group == 0) {
        const int32_t r = item / COLUMNS;
        const int32_t c = item % COLUMNS;
        if (lower != nullptr && sheet != nullptr)
            lower->Blt(168 + 320 * c, 224 * (r + 1), 320, 224, sheet, 320 * c, 224 * (3 * r + state), 0);
        ShowHelpText(id, redraw);
    } else if (group == 1) {
        if (lower != nullptr && background != nullptr)
            lower->Blt(1712, 913, 158, 158, background, 1712, 913, 1);
        if (lower != nullptr && sheet != nullptr)
            lower->BltAlpha(1712, 913, 158, 158, sheet, 1600, 158 * state);
        ShowHelpText(id, redraw);
    }
    if (redraw != 0)
        RedrawFrameNow();
}

void CFlagManager::ShowHelpText(int32_t id, int32_t show)
{
    ILayer* help = LayerOf(HelpTextLayer);
    if (help != nullptr)
        help->SetAlphaRect(0, 0, HELP_WIDTH, HELP_HEIGHT, 0);
    if (show == 0 && id != -1)
        return;
    if (id != -1 && help != nullptr) {
        CStringUTF8 text;
        if (id >= 0 && id < HEROINES) {
            const CastNames& names = GetCastNames();
            text = CStringUTF8("『") + names.HeroineFamily(static_cast<uint32_t>(id)) + CStringUTF8("　") +
                   names.HeroineGiven(static_cast<uint32_t>(id)) + CStringUTF8("』詳細フラグ確認");
        } else if (id == FLAG_MANAGER_BACK) {
            text = "フラグ確認画面から抜けます";
        }
        if (!text.IsEmpty())
            DrawTextInRect(text, help, 0xFFFFFF, HELP_FONT_SIZE, 0, 0, HELP_WIDTH, HELP_HEIGHT);
    }
    if (ILayer* upper = MaskTarget(); upper != nullptr && help != nullptr)
        upper->Blt(HELP_AT.x, HELP_AT.y, HELP_WIDTH, HELP_HEIGHT, help, 0, 0, 1);
}

int32_t CFlagManager::HoverId()
{
    const int32_t id = HitTestCursor();
    if (id != -1)
        return id;
    const POINT at = PointerOnScreen();
    if (at.x < 0 || at.x >= 1920 || at.y < 0 || at.y >= 1080)
        return -1;
    const auto offset = static_cast<uint32_t>(at.y * 1920 + at.x);
    const uint8_t* map = GetGlobalBuffer();
    if (map == nullptr || offset >= GetGlobalBufferSize() || map[offset] == 255)
        return -1;
    return FLAG_MANAGER_MENU_MAP | map[offset];
}

void CFlagManager::Update()
{
    const int32_t id = HoverId();
    if (id == CurrentId)
        return;
    if (CurrentId != -1)
        DrawButton(CurrentId, 0, 1);
    CurrentId = id;
    if (id != -1) {
        DrawButton(id, 1, 1);
        return;
    }
    ILayer* help = LayerOf(HelpTextLayer);
    if (help != nullptr) {
        help->SetAlphaRect(0, 0, HELP_WIDTH, HELP_HEIGHT, 0);
        if (ILayer* upper = MaskTarget())
            upper->Blt(HELP_AT.x, HELP_AT.y, HELP_WIDTH, HELP_HEIGHT, help, 0, 0, 1);
    }
    RedrawFrameNow();
}

int32_t CFlagManager::KeyTarget(int32_t current, uint32_t scan_code)
{
    if (current == -1)
        return 0;
    if (current >= 256 && current < 512)
        return scan_code == SCAN_UP ? HEROINES - 1 : -1;
    if (current < 0 || current >= HEROINES)
        return -1;
    switch (scan_code) {
    case SCAN_UP:
        return current >= COLUMNS ? current - COLUMNS : -1;
    case SCAN_DOWN:
        return current < 10 ? current + COLUMNS : FLAG_MANAGER_BACK;
    case SCAN_LEFT:
        return current % COLUMNS != 0 ? current - 1 : -1;
    default:
        return current % COLUMNS != COLUMNS - 1 ? current + 1 : -1;
    }
}

void CFlagManager::MoveByKey(uint32_t scan_code)
{
    StepCursorTo(KeyTarget(CurrentId, scan_code), scan_code);
}

int32_t CFlagManager::OnUpKey()
{
    MoveByKey(SCAN_UP);
    return 0;
}

int32_t CFlagManager::OnDownKey()
{
    MoveByKey(SCAN_DOWN);
    return 0;
}

int32_t CFlagManager::OnLeftKey()
{
    MoveByKey(SCAN_LEFT);
    return 0;
}

int32_t CFlagManager::OnRightKey()
{
    MoveByKey(SCAN_RIGHT);
    return 0;
}

void CFlagManager::WaitOkRelease()
{
    for (const int32_t input : OkInputs)
        WaitInputRelease(static_cast<uint32_t>(input));
}

void CFlagManager::ShowDetails(int32_t heroine)
{
    KeepView = 1;
    Hide();
    CFlagDetails details;
    if (details.CreateParts() == 0) {
        // A schedule without its pictures would show nothing to go back from.
        ShowPlayerMessage(0, "フラグ詳細画面の作成に失敗しました。");
        KeepView = 0;
        Result = ScriptValue::FromInteger(-1);
    } else {
        details.RunForHeroine(&Result, heroine);
        KeepView = 0;
        if (Result.Integer != -1) {
            Result = ScriptValue::FromInteger(-1);
            Running = 0;
            return;
        }
    }
    DrawToImage = 1;
    DrawScreen();
    if (ViewImageLayer() != nullptr)
        ViewImageLayer()->SetVisibleFlag(1);
    Show();
    CurrentId = -1;
    DrawToImage = 0;
}

void CFlagManager::OnDecide()
{
    if (CurrentId == -1)
        return;
    PlayOkSound(SCREEN_SOUND_CHANNEL);
    DrawButton(CurrentId, 2, 1);
    WaitOkRelease();
    const int32_t group = CurrentId / 256;
    if (group == 0) {
        ShowDetails(CurrentId % 256);
    } else if (group == 1) {
        Result = ScriptValue::FromInteger(-1);
        Running = 0;
        KeepView = 0;
    }
    WaitOkRelease();
}

void CFlagManager::OnCancel()
{
    PlayCancelSound(SCREEN_SOUND_CHANNEL);
    for (const int32_t input : CancelInputs)
        WaitInputRelease(static_cast<uint32_t>(input));
    Result = ScriptValue::FromInteger(-1);
    Running = 0;
    KeepView = 0;
}
