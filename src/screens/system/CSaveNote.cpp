#include "screens/system/CSaveNote.h"

#include <algorithm>

#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/MainView.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CFontDIB.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteContainer.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/EffectClock.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "platform/imm/ImmApi.h"
#include "platform/kernel/IdleWait.h"
#include "platform/kernel/Unicode.h"
#include "screens/base/ScreenWork.h"
#include "script/FlagBuffer.h"
#include "script/save/SaveSlotTable.h"

namespace {

constexpr int32_t WINDOW_X = 520;
constexpr int32_t WINDOW_Y = 375;
constexpr int32_t WINDOW_WIDTH = 880;
constexpr int32_t WINDOW_HEIGHT = 330;
constexpr int32_t TEXT_X = 727;
constexpr int32_t TEXT_Y = 494;
constexpr int32_t TEXT_WIDTH = 440;
constexpr int32_t TEXT_HEIGHT = 28;
constexpr int32_t HALF_CELL = 14;
constexpr int32_t CARET_WIDTH = 2;
constexpr uint32_t CARET_BLINK_MS = 300;
constexpr int32_t SHADE_PRIORITY = 141;
constexpr uint32_t SHADE_COLOUR = 0x7F000000;
constexpr int32_t CAPTION_X = 38;
constexpr int32_t CAPTION_Y = 38;
constexpr int32_t CAPTION_WIDTH = 805;
constexpr int32_t CAPTION_HEIGHT = 52;
constexpr int32_t CAPTION_SOURCE_X = 880;
constexpr int32_t CAPTION_SOURCE_Y = 54;
constexpr int32_t CAPTION_STEP = 106;
constexpr int32_t FADE_STEPS = 12;
constexpr int32_t TYPING_LANGUAGE = 1;
constexpr size_t VALUE_TEXT_FLAGS = 29;

struct ButtonPicture
{
    int32_t id, x, y, width, height, source_x, source_y;
};
constexpr ButtonPicture BUTTONS[] = {
    {NOTE_SAVE, 198, 170, 222, 73, 1685, 0},
    {NOTE_CANCEL, 459, 170, 222, 73, 1685, 292},
    {NOTE_SHOW_AGAIN, 507, 249, 44, 44, 54, 1430},
    {NOTE_CLEAR, 636, 105, 54, 54, 0, 1430},
};

std::unique_ptr<CSpriteLayer> MakeLayer(int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority)
{
    std::unique_ptr<CSprite> sprite(CreateSpriteOfType(x, y, width, height, priority, LAYER_KIND_MEMORY));
    auto* layer = dynamic_cast<CSpriteLayer*>(sprite.get());
    if (layer == nullptr || layer->GetBits() == nullptr)
        return nullptr;
    sprite.release();
    return std::unique_ptr<CSpriteLayer>(layer);
}

void MarkDrawn(CSpriteLayer* layer)
{
    if (layer != nullptr)
        layer->Invalidate(1, *layer->GetRect());
}

// Control characters never reach the comment: a pasted line break or tab would break its line.
CStringUTF8 WithoutControls(const std::u16string& text)
{
    std::u16string kept;
    for (char16_t unit : text)
        if (unit >= 0x20 && unit != 0x7F)
            kept.push_back(unit);
    return CStringUTF8(platform::Utf16ToUtf8(kept));
}

} // namespace

CSaveNote::CSaveNote() = default;

CSaveNote::~CSaveNote()
{
    if (m_hooked)
        GetMainView().RemoveWindowHook(this);
    if (GameWork != nullptr)
        GameWork->RemoveActiveScreen(this);
    ReleaseParts();
}

void CSaveNote::ReleaseParts()
{
    Group.reset();
    ShadeLayer.reset();
    WindowLayer.reset();
    ButtonLayer.reset();
    TextLayer.reset();
    PartsSprite.reset();
    if (Font)
        Font->Release();
    Font.reset();
}

bool CSaveNote::UsesHook() const
{
    return (Document != nullptr ? Document->GetLanguage() : static_cast<int32_t>(GetConfigLanguage())) ==
           TYPING_LANGUAGE;
}

int32_t CSaveNote::DialogNumber() const
{
    return DialogKind == NOTE_KIND_OVERWRITE ? 5 : 0;
}

int32_t CSaveNote::Setup(const CStringUTF8& comment, uint8_t used)
{
    DialogKind = used != 0 ? NOTE_KIND_OVERWRITE : NOTE_KIND_NEW;
    if (!GetConfigDialogEnable(DialogNumber()))
        return 0;
    ReleaseParts();
    // A language without its own sheet uses the common one.
    CStringUTF8 sheet = MakeLanguageFileName("dialog_p.akb");
    CStringUTF8 entry = sheet;
    entry.MakeUpper();
    if (LayerFile() == nullptr || LayerFile()->Exists(entry) == 0)
        sheet = "dialog_p.akb";
    try {
        PartsSprite.reset(LoadSprite(sheet, nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    } catch (...) {
        PartsSprite.reset();
    }
    auto* parts = dynamic_cast<CSpriteLayer*>(PartsSprite.get());
    auto group = std::make_unique<CSpriteContainer>();
    group->Create(nullptr, 0.0f, 0.0f, RECT{0, 0, 1920, 1080}, SHADE_PRIORITY, 0);
    ShadeLayer = MakeLayer(0, 0, 1920, 1080, SHADE_PRIORITY);
    WindowLayer = MakeLayer(WINDOW_X, WINDOW_Y, WINDOW_WIDTH, WINDOW_HEIGHT, SHADE_PRIORITY + 1);
    ButtonLayer = MakeLayer(WINDOW_X, WINDOW_Y, WINDOW_WIDTH, WINDOW_HEIGHT, SHADE_PRIORITY + 2);
    TextLayer = MakeLayer(TEXT_X, TEXT_Y, TEXT_WIDTH, TEXT_HEIGHT, SHADE_PRIORITY + 2);
    if (parts == nullptr || group->GetLayer() == nullptr || !ShadeLayer || !WindowLayer || !ButtonLayer ||
        !TextLayer) {
        ReleaseParts();
        return -1;
    }
    try {
        Font = std::make_unique<CFontDIB>();
        Font->Create(GetLanguageFontName());
    } catch (...) {
        Font.reset();
    }
    if (!Font || Font->SetFontSize(TEXT_HEIGHT, TEXT_HEIGHT) == 0) {
        ReleaseParts();
        return -1;
    }
    if (UsesHook()) {
        GetMainView().AddWindowHook(this);
        m_hooked = true;
    } else if (Ime.CreateCompositionFont() == 0) {
        ReleaseParts();
        return -1;
    }
    Group = std::move(group);
    for (CSpriteLayer* layer : {ShadeLayer.get(), WindowLayer.get(), ButtonLayer.get(), TextLayer.get()}) {
        Group->AddSprite(layer);
        layer->SetAlpha(255);
        layer->SetVisibleFlag(1);
    }
    ShadeLayer->FillRect(0, 0, 1920, 1080, SHADE_COLOUR, 1);
    WindowLayer->Blt(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, parts, 0, 0, 1);
    WindowLayer->Blt(CAPTION_X, CAPTION_Y, CAPTION_WIDTH, CAPTION_HEIGHT, parts, CAPTION_SOURCE_X,
                     CAPTION_SOURCE_Y + CAPTION_STEP * DialogKind, 1);
    for (const ButtonPicture& button : BUTTONS)
        DrawButton(button.id, 0, false);
    MarkDrawn(ShadeLayer.get());
    MarkDrawn(WindowLayer.get());

    Text = comment;
    Text.TruncateToWidth(NOTE_WIDTH_LIMIT);
    Caret = Text.GetWidth();
    CaretShown = 1;
    DrawNoteText(false);
    const FlagBuffer* state = CurrentFlagBuffer();
    const uint32_t flags = state != nullptr && state->Values.size() > VALUE_TEXT_FLAGS
                               ? static_cast<uint32_t>(state->Values[VALUE_TEXT_FLAGS].Integer)
                               : 0;
    ImeSettings = {TEXT_HEIGHT, TEXT_HEIGHT, TEXT_HEIGHT, TEXT_HEIGHT, flags | FONT_BLEND, 0xFFFFFF, 0, 0,
                   0x88CCFF, 0, 0, TEXT_WIDTH, TEXT_HEIGHT, 0, m_ime_text.data(), IME_TEXT_UNITS,
                   TextLayer.get()};
    return 1;
}

void CSaveNote::DrawButton(int32_t id, int32_t state, bool present)
{
    auto* parts = dynamic_cast<CSpriteLayer*>(PartsSprite.get());
    if (parts == nullptr || !ButtonLayer)
        return;
    for (const ButtonPicture& button : BUTTONS) {
        if (button.id != id)
            continue;
        int32_t shown = state;
        if (id == NOTE_SHOW_AGAIN && !GetConfigDialogEnable(DialogNumber()))
            shown = 3;
        {
            LiveDrawLock lock;
            ButtonLayer->Blt(button.x, button.y, button.width, button.height, parts, button.source_x,
                             button.source_y + button.height * shown, 1);
            MarkDrawn(ButtonLayer.get());
        }
        if (present)
            RedrawFrameNow();
    }
}

void CSaveNote::DrawCaret()
{
    if (!TextLayer)
        return;
    const int32_t x = HALF_CELL * Caret;
    if (CaretShown != 0 && Caret <= NOTE_WIDTH_LIMIT)
        TextLayer->FillRect(x, 0, CARET_WIDTH, TEXT_HEIGHT, 0xFFFFFFFF, 1);
    else
        TextLayer->FillRect(x, 0, CARET_WIDTH, TEXT_HEIGHT, 0, 1);
    // A blink changes the caret's box alone: the note's window composes that much again.
    const RECT& at = *TextLayer->GetRect();
    TextLayer->Invalidate(1, RECT{at.left + x, at.top, at.left + x + CARET_WIDTH, at.top + TEXT_HEIGHT});
}

void CSaveNote::DrawNoteText(bool present)
{
    if (!TextLayer || !Font)
        return;
    {
        LiveDrawLock lock;
        TextLayer->FillRect(0, 0, TEXT_WIDTH, TEXT_HEIGHT, 0, 1);
        int32_t x = 0;
        const int count = Text.GetCharCount();
        for (int i = 0; i < count; ++i) {
            const std::string c = Text.GetCharAt(i);
            Font->DrawText(c, x, 0, 0xFFFFFFFF, 0, TextLayer.get(), 0);
            x += IsFullWidthChar(c) ? 2 * HALF_CELL : HALF_CELL;
        }
        DrawCaret();
        MarkDrawn(TextLayer.get());
    }
    if (present)
        RedrawFrameNow();
}

void CSaveNote::Take(const CStringUTF8& text, bool replace)
{
    CStringUTF8 joined = replace ? text : Text + text;
    joined.TruncateToWidth(NOTE_WIDTH_LIMIT);
    // The slot header keeps 21 UTF-16 units: the entry stops where the stored note ends, so what
    // the player sees is what is saved.
    std::u16string wide = joined.ToWide();
    if (wide.size() > SLOT_COMMENT_UNITS) {
        size_t keep = SLOT_COMMENT_UNITS;
        if (wide[keep - 1] >= 0xD800 && wide[keep - 1] <= 0xDBFF)
            --keep; // never half of a surrogate pair
        wide.resize(keep);
        joined = CStringUTF8(wide);
    }
    Text = joined;
    Caret = Text.GetWidth();
    DrawNoteText(true);
}

void CSaveNote::ReopenIme(int32_t remaining)
{
    if (UsesHook())
        return;
    Ime.Close();
    WINNLSEnableIME(nullptr, FALSE);
    WINNLSEnableIME(nullptr, TRUE);
    ImeSettings.max_length = std::max(remaining, 0);
    ImeSettings.band_left = HALF_CELL * Caret;
    Ime.Open(&ImeSettings);
}

void CSaveNote::Show()
{
    if (!Group)
        return;
    CSpriteAnime anime;
    SpriteAnimRecord record(FADE_STEPS);
    record.SetVisible(1);
    record.SetAlpha(0x00, 0xFF);
    Group->AddAnimation(record);
    anime.AddSprite(Group.get());
    anime.PlayAndWait();
    RedrawFrameNow();
}

void CSaveNote::OnOpen()
{
    Running = 1;
    Hovered = -1;
    if (!UsesHook()) {
        WINNLSEnableIME(nullptr, TRUE);
        ImeSettings.max_length = NOTE_WIDTH_LIMIT - Caret;
        ImeSettings.band_left = HALF_CELL * Caret;
        Ime.Open(&ImeSettings);
    }
    HitAreas.Load("savenote.area");
    Show();
    BlinkDeadline = GetEffectTime() + CARET_BLINK_MS;
}

void CSaveNote::OnClose()
{
    if (UsesHook()) {
        if (m_hooked)
            GetMainView().RemoveWindowHook(this);
        m_hooked = false;
    } else {
        Ime.Close();
        WINNLSEnableIME(nullptr, FALSE);
    }
    if (Group)
        Group->Hide();
    ISelect::OnClose();
}

void CSaveNote::Update()
{
    const uint32_t now = GetEffectTime();
    if (static_cast<int32_t>(now - BlinkDeadline) > 0) {
        CaretShown = CaretShown != 0 ? 0 : 1;
        {
            LiveDrawLock lock;
            DrawCaret();
        }
        RedrawFrameNow();
        BlinkDeadline = now + CARET_BLINK_MS;
    }
    // The caret's blink is all that moves on the note by itself.
    platform::NoteNextStep(BlinkDeadline + 1);
    if (!UsesHook() && Ime.IsComposing() && Caret < NOTE_WIDTH_LIMIT - 1) {
        m_ime_text.fill(0);
        ImeSettings.buffer = m_ime_text.data();
        Ime.RunEntryLoop(HALF_CELL * Caret, 0, TEXT_WIDTH - HALF_CELL * Caret, 0);
        if (Ime.GetState() == IME_STATE_COMMITTED)
            Take(WithoutControls(std::u16string(m_ime_text.data())), false);
        else
            DrawNoteText(true);
        ReopenIme((NOTE_WIDTH_LIMIT + 1 - Caret) / 2 * 2);
        WaitInputRelease(SCAN_BACKSPACE);
        return;
    }
    // Text committed without a composition (typed with no input method) ended within one turn:
    // the input method already put it in the buffer.
    if (!UsesHook() && Ime.GetState() == IME_STATE_COMMITTED) {
        Take(WithoutControls(std::u16string(m_ime_text.data())), false);
        ReopenIme((NOTE_WIDTH_LIMIT + 1 - Caret) / 2 * 2);
        return;
    }
    const int32_t id = HitTestCursor();
    if (id == Hovered)
        return;
    if (Hovered != -1)
        DrawButton(Hovered, 0, true);
    Hovered = id;
    if (Hovered != -1)
        DrawButton(Hovered, 1, true);
}

void CSaveNote::OnDecide()
{
    switch (Hovered) {
    case NOTE_SAVE:
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        DrawButton(Hovered, 2, true);
        Result = ScriptValue::FromInteger(0);
        Running = 0;
        break;
    case NOTE_CANCEL:
        PlayCancelSound(SCREEN_SOUND_CHANNEL);
        DrawButton(Hovered, 2, true);
        Result = ScriptValue::FromInteger(1);
        Running = 0;
        break;
    case NOTE_SHOW_AGAIN:
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        SetConfigDialogEnable(DialogNumber(), GetConfigDialogEnable(DialogNumber()) ? 0 : 1);
        DrawButton(Hovered, 1, true);
        break;
    case NOTE_CLEAR:
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        Take(CStringUTF8(), true);
        ReopenIme(NOTE_WIDTH_LIMIT);
        break;
    default:
        break;
    }
    ISelect::OnDecide();
}

void CSaveNote::OnCancel()
{
    PlayCancelSound(SCREEN_SOUND_CHANNEL);
    Result = ScriptValue::FromInteger(-1);
    Running = 0;
    ISelect::OnCancel();
}

void CSaveNote::OnBackspaceKey()
{
    if (Caret > 0) {
        Text.TruncateToWidth(Caret - 1);
        Caret = Text.GetWidth();
        DrawNoteText(true);
        ReopenIme((NOTE_WIDTH_LIMIT + 1 - Caret) / 2 * 2);
    }
    WaitInputRelease(SCAN_BACKSPACE);
}

void CSaveNote::OnPaste()
{
    WaitInputRelease(SCAN_V);
    const std::optional<std::u16string> text = ClipboardText();
    if (!text)
        return;
    Take(WithoutControls(*text), true);
    ReopenIme((NOTE_WIDTH_LIMIT + 1 - Caret) / 2 * 2);
}

int32_t CSaveNote::HookProc(HWND, UINT message, WPARAM w_param, LPARAM)
{
    if (!UsesHook() || message != WM_CHAR)
        return 0;
    const auto c = static_cast<char>(w_param);
    // The space too: a note of several words typed here would otherwise run them together.
    if (c == ' ' || (c >= '0' && c <= '9') || (c >= '@' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        Take(CStringUTF8(std::string(1, c)), false);
    return 0;
}

int32_t CSaveNote::OnUpKey()
{
    int32_t target = -1;
    if (Hovered == -1)
        target = NOTE_SAVE;
    else if (Hovered == NOTE_SAVE || Hovered == NOTE_CANCEL)
        target = NOTE_CLEAR;
    else if (Hovered == NOTE_SHOW_AGAIN)
        target = NOTE_CANCEL;
    return StepCursorTo(target, SCAN_UP);
}

int32_t CSaveNote::OnDownKey()
{
    int32_t target = -1;
    if (Hovered == -1)
        target = NOTE_SAVE;
    else if (Hovered == NOTE_SAVE || Hovered == NOTE_CANCEL)
        target = NOTE_SHOW_AGAIN;
    else if (Hovered == NOTE_CLEAR)
        target = NOTE_CANCEL;
    return StepCursorTo(target, SCAN_DOWN);
}

int32_t CSaveNote::OnLeftKey()
{
    return StepCursorTo(Hovered == -1 || Hovered == NOTE_CANCEL ? NOTE_SAVE : -1, SCAN_LEFT);
}

int32_t CSaveNote::OnRightKey()
{
    return StepCursorTo(Hovered == -1 ? NOTE_SAVE : Hovered == NOTE_SAVE ? NOTE_CANCEL : -1, SCAN_RIGHT);
}
