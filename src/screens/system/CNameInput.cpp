#include "screens/system/CNameInput.h"

#include <algorithm>
#include <functional>

#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "foundation/MainView.h"
#include "graphics/CDirect3D.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CFontDIB.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/EffectClock.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerRegistry.h"
#include "platform/imm/ImmApi.h"
#include "platform/kernel/FullWidthApi.h"
#include "platform/kernel/IdleWait.h"
#include "platform/kernel/Unicode.h"
#include "platform/user/RectApi.h"
#include "screens/base/CMiniDialog.h"
#include "screens/base/ScreenWork.h"
#include "screens/system/NamePalette.h"
#include "screens/system/ReservedNames.h"
#include "script/FlagBuffer.h"
#include "script/commands/CFuncScreen.h"
#include "script/commands/CFuncString.h"

namespace {

constexpr int32_t SPRITE_PRIORITY = 10;
constexpr int32_t COMMIT_WIDTH = 12;
constexpr int32_t PASTE_WIDTH = 10;
constexpr int32_t PASTE_CARET_BOUND = 5;
constexpr int32_t TYPED_WIDTH = 10;
constexpr int32_t LIMIT_HALF_WIDTH = 12;
constexpr int32_t LIMIT = 6;
constexpr uint32_t CARET_BLINK_MS = 300;
constexpr int32_t CELL_X = 450;
constexpr int32_t CELL_Y = 51;
constexpr int32_t CELL_STEP_X = 60;
constexpr int32_t CELL_STEP_Y = 58;
constexpr int32_t CELL_SIZE = 58;
constexpr int32_t NAME_X = 733;
constexpr int32_t NAME_Y = 949;
// The strip of the button layer under the name that the caret's pictures are drawn in.
constexpr RECT NAME_STRIP{NAME_X, NAME_Y, NAME_X + 657, NAME_Y + 59};
constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr int32_t NOTICE_RESERVED = 0;
constexpr int32_t NOTICE_DEPTH = 50;
constexpr int32_t FADE_OUT_TICKS = 64;
constexpr int32_t OPEN_TRANSITION = 12;
constexpr int32_t VALUE_TEXT_FLAGS = 29;

bool IsBlank(char32_t c)
{
    return c == U'\u3000' || c == U' ';
}

} // namespace

int32_t NameWidth(const std::u32string& name)
{
    int32_t width = 0;
    for (char32_t c : name)
        width += c < 0x100 || c == 0x2014 ? 1 : 2;
    return width;
}

void CutNameToWidth(std::u32string& name, int32_t width)
{
    int32_t used = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        used += NameWidth(name.substr(i, 1));
        if (used > width) {
            name.resize(i);
            return;
        }
    }
}

void MergeCommitted(std::u32string& name, int32_t& caret, const std::u32string& incoming)
{
    caret = std::clamp(caret, 0, static_cast<int32_t>(name.size()));
    const auto at = static_cast<size_t>(caret);
    if (at < name.size() && at + incoming.size() <= name.size()) {
        name.replace(at, incoming.size(), incoming);
        caret += static_cast<int32_t>(incoming.size());
        CutNameToWidth(name, COMMIT_WIDTH);
    } else {
        name.resize(at);
        name += incoming;
        CutNameToWidth(name, COMMIT_WIDTH);
        caret = static_cast<int32_t>(name.size());
    }
    caret = std::min(caret, static_cast<int32_t>(name.size()));
}

void MergePasted(std::u32string& name, int32_t& caret, const std::u32string& incoming)
{
    caret = std::clamp(caret, 0, static_cast<int32_t>(name.size()));
    const auto at = static_cast<size_t>(caret);
    if (at + incoming.size() > name.size()) {
        name.resize(at);
        name += incoming;
        CutNameToWidth(name, PASTE_WIDTH);
        caret = static_cast<int32_t>(name.size());
        return;
    }
    const auto span = static_cast<size_t>(
        std::clamp(std::min(PASTE_CARET_BOUND - caret, static_cast<int32_t>(incoming.size())), 0,
                   static_cast<int32_t>(incoming.size())));
    name.replace(at, span, incoming);
    // A replaced span may be shorter than the text put in: the name keeps the paste's width.
    CutNameToWidth(name, PASTE_WIDTH);
    caret = std::min({caret + static_cast<int32_t>(incoming.size()), PASTE_CARET_BOUND,
                      static_cast<int32_t>(name.size())});
}

std::u32string FilterPasted(const std::u32string& text, int32_t language)
{
    const auto accepted = [](char32_t c) {
        return (c >= 0x20 && c <= 0x2A) || (c >= 0x2C && c <= 0x3B) || (c >= 0x3E && c <= 0x5A) ||
               c == 0x5C || (c >= 0x61 && c <= 0x7A) || c == 0x7D || c == 0x7E || c == 0xD7 || c == 0xE0 ||
               c == 0xE9 || c == 0xF6 || c == 0x2014;
    };
    std::u32string kept;
    for (char32_t c : text) {
        // No line break or tab may reach the name, whatever the language.
        if (c < 0x20 || c == 0x7F)
            continue;
        if (language == 0 && !accepted(c))
            continue;
        kept += c;
    }
    return kept;
}

int32_t IsNameAllowed(const CStringUTF8& name)
{
    const std::string text = name.GetStdString();
    for (const auto& group : ReservedNameGroups())
        for (std::string_view entry : group)
            if (entry == text)
                return 0;
    return 1;
}

CNameInput::CNameInput()
{
    for (auto& row : CellGrid)
        row.fill(-1);
}

CNameInput::~CNameInput()
{
    if (m_hooked)
        GetMainView().RemoveWindowHook(this);
}

int32_t CNameInput::Language() const
{
    return Document != nullptr ? Document->GetLanguage() : static_cast<int32_t>(GetConfigLanguage());
}

int32_t CNameInput::Limit() const
{
    return Language() == PALETTE_HALF_WIDTH_LANGUAGE ? LIMIT_HALF_WIDTH : LIMIT;
}

CSpriteLayer* CNameInput::GetButtonLayer() const
{
    return dynamic_cast<CSpriteLayer*>(ButtonSprite.get());
}

CSpriteLayer* CNameInput::GetTextLayer() const
{
    return dynamic_cast<CSpriteLayer*>(TextSprite.get());
}

CSpriteLayer* CNameInput::PartsLayer() const
{
    return dynamic_cast<CSpriteLayer*>(PartsSprite.get());
}

void CNameInput::MarkDrawn()
{
    for (CSpriteLayer* layer : {GetButtonLayer(), GetTextLayer()})
        if (layer != nullptr)
            layer->Invalidate(1, *layer->GetRect());
}

void CNameInput::Present()
{
    MarkDrawn();
    RedrawFrameNow();
}

int32_t CNameInput::Setup()
{
    PartsSprite.reset(LoadSprite("keybord_p.akb", nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    ButtonSprite.reset(CreateSprite(0, 0, 1920, 1080, SPRITE_PRIORITY, LAYER_KIND_MEMORY, 0));
    TextSprite.reset(CreateSprite(0, 0, 1920, 1080, SPRITE_PRIORITY + 1, LAYER_KIND_MEMORY, 0));
    if (PartsLayer() == nullptr || GetButtonLayer() == nullptr || GetTextLayer() == nullptr)
        return -1;
    try {
        Font = std::make_unique<CFontDIB>();
        Font->Create("MS Gothic");
    } catch (...) {
        Font.reset();
    }
    if (Font == nullptr || Font->SetFontSize(40, 40) == 0)
        return -1;
    const int32_t language = Language();
    if (language == PALETTE_HALF_WIDTH_LANGUAGE) {
        GetMainView().AddWindowHook(this);
        m_hooked = true;
    } else if (Ime.CreateCompositionFont() == 0) {
        return -1;
    }
    Name = GetDefaultHeroName(language);
    Caret = 0;
    CaretVisible = 1;
    DrawName(0);
    if (language != PALETTE_HALF_WIDTH_LANGUAGE) {
        FlagBuffer* state = CurrentFlagBuffer();
        const uint32_t flags = state != nullptr && state->Values.size() > VALUE_TEXT_FLAGS
                                   ? static_cast<uint32_t>(state->Values[VALUE_TEXT_FLAGS].Integer)
                                   : 0;
        ImeSettings = {40,
                       40,
                       42,
                       42,
                       flags | 4,
                       0xFFFFFF,
                       0,
                       0,
                       0x88CCFF,
                       400,
                       886,
                       1398,
                       928,
                       0,
                       m_ime_text.data(),
                       IME_TEXT_UNITS,
                       GetTextLayer()};
    }
    return 1;
}

void CNameInput::Release()
{
    if (GameWork != nullptr)
        GameWork->RemoveActiveScreen(this);
    // Marked and hidden first, so the next frame draws what lies under them.
    MarkDrawn();
    for (const auto& sprite : {std::cref(ButtonSprite), std::cref(TextSprite)})
        if (sprite.get())
            sprite.get()->Hide();
    ButtonSprite.reset();
    PartsSprite.reset();
    TextSprite.reset();
}

void CNameInput::DrawButton(int32_t id, int32_t state, int32_t present)
{
    CSpriteLayer* layer = GetButtonLayer();
    CSpriteLayer* parts = PartsLayer();
    if (layer == nullptr || parts == nullptr || id < 0)
        return;
    const bool kanji = Page == NAME_PAGE_KANJI;
    if (id <= NAME_JUMP + 9) {
        if (kanji)
            layer->Blt(368 + 120 * id, 766, 104, 36, parts, 104 * id, 36 * state, 1);
        else
            layer->FillRect(368 + 120 * id, 766, 104, 36, 0, 1);
    } else if (id >= NAME_TAB && id <= NAME_TAB + 2) {
        if (Language() == PALETTE_HALF_WIDTH_LANGUAGE)
            return;
        const int32_t k = id - NAME_TAB;
        layer->Blt(316 + 210 * k, 810, 188, 58, parts, 188 * k, 144 + 58 * (k == Page ? 2 : state), 1);
    } else if (id == NAME_CARET_LEFT || id == NAME_CARET_RIGHT) {
        const int32_t k = id - NAME_CARET_LEFT;
        layer->Blt(946 + 210 * k, 810, 188, 58, parts, 188 * (k + 3), 144 + 58 * state, 1);
    } else if (id == NAME_DELETE) {
        layer->Blt(1366, 810, 238, 58, parts, 940, 144 + 58 * state, 1);
    } else if (id == NAME_SCROLL_UP || id == NAME_SCROLL_DOWN) {
        const int32_t k = id - NAME_SCROLL_UP;
        if (!kanji) {
            layer->FillRect(1577, 45 + 360 * k, 73, 349, 0, 1);
        } else {
            const bool disabled = k == 0 ? TopRow == 0 : TopRow > KANJI_LAST_FULL_TOP - 1;
            layer->Blt(1577, 45 + 360 * k, 73, 349, parts, 264 + 73 * ((disabled ? 3 : state) + 4 * k), 376,
                       1);
        }
    } else if (id == NAME_DEFAULT) {
        layer->Blt(268, 940, 264, 86, parts, 0, 376 + 86 * state, 1);
    } else if (id == NAME_CONFIRM) {
        layer->Blt(1436, 875, 232, 152, parts, 1178, 152 * (Name.IsEmpty() ? 3 : state), 1);
    } else if (id >= NAME_CELL) {
        const int32_t i = id - NAME_CELL - TopRow * Columns;
        const int32_t row = i / Columns;
        if (i < 0 || row >= PALETTE_SCREEN_ROWS)
            return;
        layer->Blt(CELL_X + CELL_STEP_X * (i % Columns), CELL_Y + CELL_STEP_Y * row, CELL_SIZE, CELL_SIZE,
                   parts, 846, 376 + 58 * state, 1);
    }
    if (present)
        Present();
    else
        MarkDrawn();
}

void CNameInput::ShowPage(int32_t present)
{
    CSpriteLayer* layer = GetButtonLayer();
    CSpriteLayer* parts = PartsLayer();
    if (layer == nullptr || parts == nullptr)
        return;
    layer->FillRect(0, 0, 1920, 1080, 0, 1);
    m_caret_marks = RECT{};
    for (int32_t k = 0; k < 10; ++k)
        DrawButton(NAME_JUMP + k, 0, 0);
    for (int32_t id : {NAME_TAB, NAME_TAB + 1, NAME_TAB + 2, NAME_CARET_LEFT, NAME_CARET_RIGHT, NAME_DELETE,
                       NAME_SCROLL_UP, NAME_SCROLL_DOWN, NAME_DEFAULT, NAME_CONFIRM})
        DrawButton(id, 0, 0);
    layer->Blt(269, 874, 120, 64, parts, 904, 434, 1);
    TopRow = 0;
    if (Page == NAME_PAGE_KANA) {
        BuildKanaPage();
    } else if (Page == NAME_PAGE_KANJI) {
        LoadKanjiRows();
        DrawKanjiPage(0);
    } else {
        BuildLetterPage();
    }
    ButtonSprite->SetVisibleFlag(1);
    TextSprite->SetVisibleFlag(1);
    DrawName(0);
    if (present)
        Present();
    else
        MarkDrawn();
}

void CNameInput::LayOutRows(int32_t first, int32_t count, bool labels)
{
    CSpriteLayer* text = GetTextLayer();
    CSpriteLayer* buttons = GetButtonLayer();
    CSpriteLayer* parts = PartsLayer();
    CellAreas.clear();
    for (auto& row : CellGrid)
        row.fill(-1);
    if (text == nullptr || buttons == nullptr || parts == nullptr)
        return;
    text->FillRect(254, 34, 1306, 720, 0, 1);
    if (labels)
        buttons->FillRect(254, 34, 1306, 720, 0, 1);
    for (int32_t r = 0; r < count; ++r) {
        const int32_t absolute = first + r;
        if (absolute < 0 || absolute >= static_cast<int32_t>(FullRows.size()))
            break;
        const std::u32string row = ToCodePoints(FullRows[static_cast<size_t>(absolute)]);
        for (int32_t c = 0; c < static_cast<int32_t>(row.size()) && c < Columns; ++c) {
            if (IsBlank(row[static_cast<size_t>(c)]))
                continue;
            const int32_t x = CELL_X + CELL_STEP_X * c;
            const int32_t y = CELL_Y + CELL_STEP_Y * r;
            buttons->Blt(x, y, CELL_SIZE, CELL_SIZE, parts, 846, 376, 1);
            const int32_t id = NAME_CELL + absolute * Columns + c;
            CellAreas.push_back({static_cast<uint32_t>(id), x, y, x + CELL_SIZE, y + CELL_SIZE});
            CellGrid[static_cast<size_t>(r)][static_cast<size_t>(c)] = id;
        }
        DrawText(460, 59 + CELL_STEP_Y * r, FullRows[static_cast<size_t>(absolute)]);
        if (const char* reading = labels ? KanjiGroupReading(absolute) : nullptr) {
            buttons->Blt(269, CELL_Y + CELL_STEP_Y * r, 152, 58, parts, 904, 376, 1);
            DrawText(302, 59 + CELL_STEP_Y * r, reading);
        }
    }
}

void CNameInput::BuildKanaPage()
{
    Columns = PALETTE_COLUMNS;
    FullRows = KanaPaletteRows();
    LayOutRows(0, PALETTE_SCREEN_ROWS, false);
}

void CNameInput::BuildLetterPage()
{
    Columns = PALETTE_COLUMNS;
    const int32_t language = Language();
    FullRows = LetterPaletteRows(language);
    HalfRows = HalfLetterPaletteRows();
    LayOutRows(0, language == PALETTE_HALF_WIDTH_LANGUAGE ? 6 : 7, false);
}

void CNameInput::LoadKanjiRows()
{
    Columns = PALETTE_COLUMNS;
    FullRows = KanjiPaletteRows();
}

void CNameInput::DrawKanjiPage(int32_t present)
{
    const int32_t end = std::min(TopRow + PALETTE_SCREEN_ROWS, static_cast<int32_t>(FullRows.size()));
    LayOutRows(TopRow, std::max(end - TopRow, 0), true);
    if (present)
        Present();
}

void CNameInput::DrawText(int32_t x, int32_t y, const CStringUTF8& text)
{
    CSpriteLayer* layer = GetTextLayer();
    if (layer == nullptr || Font == nullptr)
        return;
    TextBox box;
    box.Text = text;
    box.CursorX = x;
    box.CursorY = y;
    box.CellWidth = 30;
    box.LineHeight = 60;
    box.DrawWord1 = WHITE;
    box.DrawWord2 = 0xFF000000;
    box.DrawWord3 = 3;
    box.Left = x;
    box.Top = y;
    box.Right = 1920;
    box.Bottom = y + 60;
    box.DrawWord4 = layer;
    CFuncString typesetter;
    typesetter.TypesetText(box, Font.get());
}

void CNameInput::DrawName(int32_t present)
{
    CSpriteLayer* layer = GetTextLayer();
    if (layer == nullptr)
        return;
    layer->SetAlphaRect(733, 948, 636, 60, 0);
    DrawText(742, 958, Name);
    DrawCaret();
    if (present)
        Present();
    else
        MarkDrawn();
}

void CNameInput::DrawCaret()
{
    CSpriteLayer* layer = GetButtonLayer();
    CSpriteLayer* parts = PartsLayer();
    if (layer == nullptr || parts == nullptr)
        return;
    if (CaretVisible != 1) {
        layer->FillRect(398, 886, 2, 40, 0, 1);
        // Only where carets were drawn: a blink then redraws the caret's box, not the strip's
        // width of the screen.
        RECT clear;
        if (IntersectRect(&clear, &m_caret_marks, &NAME_STRIP))
            layer->FillRect(clear.left, clear.top, clear.right - clear.left, clear.bottom - clear.top, 0, 1);
        m_caret_marks = RECT{};
        return;
    }
    RECT mark{};
    if (Language() == PALETTE_HALF_WIDTH_LANGUAGE) {
        // Letters typed here go straight into the name, with no composition in the band: a bar
        // at the band's start would stand as a second caret beside the name's.
        // The name is drawn in cells of 30 pixels a width unit: the bar stands after the
        // characters before the caret, the default name's Chinese characters two units each.
        if (Caret <= 11) {
            const std::u32string name = ToCodePoints(Name);
            const int32_t x =
                NAME_X + 30 * NameWidth(name.substr(0, std::min(static_cast<size_t>(Caret), name.size())));
            layer->FillRect(x, NAME_Y, 2, 59, WHITE, 1);
            mark = RECT{x, NAME_Y, x + 2, NAME_Y + 59};
        }
    } else {
        layer->FillRect(398, 886, 2, 40, WHITE, 1);
        if (Caret <= 5) {
            layer->Blt(NAME_X + 60 * Caret, NAME_Y, 59, 59, parts, 1040, 0, 1);
            mark = RECT{NAME_X + 60 * Caret, NAME_Y, NAME_X + 60 * Caret + 59, NAME_Y + 59};
        }
    }
    RECT both;
    UnionRect(&both, &m_caret_marks, &mark);
    m_caret_marks = both;
}

void CNameInput::SetName(const std::u32string& name)
{
    Name = FromCodePoints(name);
    ClampCaret(name);
}

void CNameInput::ClampCaret(const std::u32string& name)
{
    Caret = std::clamp(Caret, 0, static_cast<int32_t>(name.size()));
}

void CNameInput::OnOpen()
{
    Running = 1;
    HoverId = -1;
    const int32_t language = Language();
    if (language != PALETTE_HALF_WIDTH_LANGUAGE) {
        WINNLSEnableIME(nullptr, TRUE);
        ImeSettings.max_length = 24 - Caret;
        Ime.Open(&ImeSettings);
    }
    Page = language == 3 ? NAME_PAGE_KANA : NAME_PAGE_LETTERS;
    HitAreas.Load("NameInput.area");
    CSpriteLayer* parts = PartsLayer();
    if (CSpriteLayer* ground = FindSpriteLayer(0); ground != nullptr && parts != nullptr) {
        ground->BltAlpha(268, 874, 1157, 64, parts, 0, 805);
        ground->BltAlpha(547, 942, 878, 80, parts, 0, 725);
        ground->Invalidate(1, *ground->GetRect());
    }
    ShowPage(0);
    if (!GetConfigSceneSkip()) {
        CFuncScreen screen;
        screen.RunTransition(OPEN_TRANSITION);
    }
    CaretDeadline = GetEffectTime() + CARET_BLINK_MS;
}

void CNameInput::OnClose()
{
    if (!GetConfigSceneSkip() && Document != nullptr)
        if (CFadeSprite* fade = GetSpriteLayerRegistry().GetFadeSprite())
            fade->FadeToColor(0, FADE_OUT_TICKS);
    if (Language() == PALETTE_HALF_WIDTH_LANGUAGE) {
        if (m_hooked)
            GetMainView().RemoveWindowHook(this);
        m_hooked = false;
    } else {
        Ime.Close();
        WINNLSEnableIME(nullptr, FALSE);
    }
    ISelect::OnClose();
}

void CNameInput::Update()
{
    const uint32_t now = GetEffectTime();
    if (static_cast<int32_t>(now - CaretDeadline) > 0) {
        CaretVisible = CaretVisible == 1 ? 0 : 1;
        DrawCaret();
        Present();
        CaretDeadline = now + CARET_BLINK_MS;
    }
    // The caret's blink is all that moves on the page by itself.
    platform::NoteNextStep(CaretDeadline + 1);
    if (Language() != PALETTE_HALF_WIDTH_LANGUAGE) {
        // Text committed with no composition before it (typing where no input method runs)
        // starts and ends within one turn: it is taken as a composition's commit is.
        const bool whole = !Ime.IsComposing() && Ime.GetState() == IME_STATE_COMMITTED;
        m_ime_text.fill(0);
        ImeSettings.buffer = m_ime_text.data();
        if ((whole || Ime.IsComposing()) && Caret < 23) {
            if (whole)
                Ime.CopyText(m_ime_text.data(), IME_TEXT_UNITS, -1, nullptr);
            else
                Ime.RunEntryLoop(400, 886, 998, 20);
            TakeCommittedText();
            if (CSpriteLayer* text = GetTextLayer())
                text->FillRect(400, 886, 998, 42, 0, 1);
            Ime.Close();
            WINNLSEnableIME(nullptr, FALSE);
            WINNLSEnableIME(nullptr, TRUE);
            ImeSettings.max_length = (25 - Caret) / 2 * 2;
            Ime.Open(&ImeSettings);
            WaitInputRelease(SCAN_BACKSPACE);
            return;
        }
    }
    int32_t id = HitTestCursor();
    if (id == -1 && InputView != nullptr) {
        if (IMouse* mouse = InputView->GetMouse()) {
            POINT position{};
            mouse->GetPosition(&position);
            const POINT screen = CDirect3D::GetInstance()->WindowToLogical(position);
            for (const HitArea& area : CellAreas)
                if (area.Contains(screen.x, screen.y)) {
                    id = static_cast<int32_t>(area.Id);
                    break;
                }
        }
    }
    if (id == HoverId)
        return;
    if (HoverId != -1)
        DrawButton(HoverId, 0, 1);
    HoverId = id;
    if (HoverId != -1)
        DrawButton(HoverId, 1, 1);
}

void CNameInput::TakeCommittedText()
{
    if (Ime.GetState() != IME_STATE_COMMITTED || Caret >= LIMIT)
        return;
    std::array<char16_t, IME_TEXT_UNITS> wide{};
    const int32_t units = LCMapStringW(LOCALE_SYSTEM_DEFAULT, LCMAP_FULLWIDTH, m_ime_text.data(), -1,
                                       wide.data(), IME_TEXT_UNITS);
    Incoming =
        CStringUTF8(platform::Utf16ToUtf8(std::u16string_view(wide.data(), units > 0 ? units - 1 : 0)));
    std::u32string name = ToCodePoints(Name);
    MergeCommitted(name, Caret, FilterPasted(ToCodePoints(Incoming), -1));
    SetName(name);
    CaretVisible = 1;
    DrawButton(NAME_CONFIRM, 0, 0);
    DrawName(1);
}

void CNameInput::WaitOkRelease()
{
    ISelect::OnDecide();
}

void CNameInput::Feedback(int32_t id)
{
    PlayOkSound(SCREEN_SOUND_CHANNEL);
    DrawButton(id, 2, 1);
    WaitOkRelease();
    DrawButton(id, 0, 1);
}

void CNameInput::OnDecide()
{
    if (HoverId == -1)
        return;
    const int32_t id = HoverId;
    DrawButton(id, 2, 1);
    std::u32string name = ToCodePoints(Name);
    ClampCaret(name);
    if (id <= NAME_JUMP + 9) {
        if (Page != NAME_PAGE_KANJI)
            return;
        Feedback(id);
        TopRow = KANJI_JUMP_ROWS[id - NAME_JUMP];
        DrawButton(NAME_SCROLL_UP, 0, 0);
        DrawButton(NAME_SCROLL_DOWN, 0, 0);
        DrawKanjiPage(1);
        WaitOkRelease();
    } else if (id >= NAME_TAB && id <= NAME_TAB + 2) {
        if (Language() == PALETTE_HALF_WIDTH_LANGUAGE || id - NAME_TAB == Page)
            return;
        Feedback(id);
        Page = id - NAME_TAB;
        ShowPage(1);
        WaitOkRelease();
    } else if (id == NAME_CARET_LEFT) {
        if (Caret <= 0)
            return;
        Feedback(id);
        --Caret;
        WaitOkRelease();
    } else if (id == NAME_CARET_RIGHT) {
        if (Caret >= std::min(Limit(), static_cast<int32_t>(name.size())))
            return;
        Feedback(id);
        if (CSpriteLayer* layer = GetButtonLayer())
            layer->FillRect(NAME_X + 60 * Caret, NAME_Y, 59, 59, 0, 1);
        ++Caret;
        WaitOkRelease();
    } else if (id == NAME_DELETE) {
        if (Caret <= 0)
            return;
        Feedback(id);
        name.erase(static_cast<size_t>(Caret - 1), 1);
        --Caret;
        SetName(name);
        CaretVisible = 1;
        DrawName(1);
        DrawButton(NAME_CONFIRM, 0, 1);
        WaitOkRelease();
    } else if (id == NAME_SCROLL_UP || id == NAME_SCROLL_DOWN) {
        const bool up = id == NAME_SCROLL_UP;
        if (Page != NAME_PAGE_KANJI || (up ? TopRow <= 0 : TopRow >= KANJI_LAST_FULL_TOP))
            return;
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        TopRow += up ? -1 : 1;
        DrawButton(id, 2, 0);
        DrawButton(up ? NAME_SCROLL_DOWN : NAME_SCROLL_UP, 0, 0);
        DrawKanjiPage(1);
    } else if (id == NAME_DEFAULT) {
        Feedback(id);
        Name = GetDefaultHeroName(Language());
        Caret = Name.GetCharCount();
        CaretVisible = 1;
        DrawButton(NAME_CONFIRM, 0, 0);
        DrawName(1);
        WaitOkRelease();
    } else if (id == NAME_CONFIRM) {
        if (Name.IsEmpty())
            return;
        Feedback(id);
        Confirm();
        WaitOkRelease();
    } else if (id >= NAME_CELL) {
        if (Caret >= Limit())
            return;
        DecideCell(id);
    }
}

void CNameInput::Confirm()
{
    if (!IsNameAllowed(Name)) {
        CMiniDialog notice;
        if (notice.Setup(NOTICE_RESERVED, NOTICE_DEPTH) == 1)
            notice.Run(nullptr);
        return;
    }
    Result = ScriptValue::FromInteger(0);
    Running = 0;
    if (FlagBuffer* state = CurrentFlagBuffer())
        StoreHeroName(state->Bytes, Name);
}

void CNameInput::DecideCell(int32_t id)
{
    const int32_t i = id - NAME_CELL;
    const std::vector<CStringUTF8>& rows = Language() == PALETTE_HALF_WIDTH_LANGUAGE ? HalfRows : FullRows;
    const auto row = static_cast<size_t>(i / Columns);
    if (row >= rows.size())
        return;
    const std::u32string cells = ToCodePoints(rows[row]);
    const auto column = static_cast<size_t>(i % Columns);
    if (column >= cells.size() || IsBlank(cells[column]))
        return;
    Feedback(id);
    std::u32string name = ToCodePoints(Name);
    ClampCaret(name);
    if (static_cast<size_t>(Caret) < name.size())
        name[static_cast<size_t>(Caret)] = cells[column];
    else
        name += cells[column];
    ++Caret;
    SetName(name);
    CaretVisible = 1;
    DrawButton(NAME_CONFIRM, 0, 0);
    DrawName(1);
    WaitOkRelease();
}

void CNameInput::OnBackspaceKey()
{
    std::u32string name = ToCodePoints(Name);
    ClampCaret(name);
    if (Caret > 0) {
        name.erase(static_cast<size_t>(Caret - 1), 1);
        --Caret;
        SetName(name);
        CaretVisible = 0;
        DrawCaret();
        DrawName(1);
        DrawButton(NAME_CONFIRM, 0, 1);
    }
    WaitInputRelease(SCAN_BACKSPACE);
}

int32_t CNameInput::HookProc(HWND, UINT message, WPARAM w_param, LPARAM)
{
    if (Language() != PALETTE_HALF_WIDTH_LANGUAGE || message != WM_CHAR)
        return 0;
    const auto c = static_cast<char32_t>(w_param);
    if (!((c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z')))
        return 0;
    std::u32string name = ToCodePoints(Name) + c;
    CutNameToWidth(name, TYPED_WIDTH);
    Caret = static_cast<int32_t>(name.size());
    SetName(name);
    CaretVisible = 0;
    DrawCaret();
    DrawButton(NAME_CONFIRM, 0, 0);
    DrawName(1);
    return 0;
}

void CNameInput::OnPaste()
{
    WaitInputRelease(SCAN_V);
    const std::optional<std::u16string> text = ClipboardText();
    if (!text)
        return;
    Incoming = CStringUTF8(platform::Utf16ToUtf8(*text));
    std::u32string name = ToCodePoints(Name);
    MergePasted(name, Caret, FilterPasted(ToCodePoints(Incoming), Language()));
    SetName(name);
    CaretVisible = 1;
    DrawButton(NAME_CONFIRM, 0, 0);
    DrawName(1);
}

bool CNameInput::FindCell(int32_t id, int32_t& column, int32_t& row) const
{
    for (int32_t r = 0; r < PALETTE_SCREEN_ROWS; ++r)
        for (int32_t c = 0; c < PALETTE_COLUMNS; ++c)
            if (CellGrid[static_cast<size_t>(r)][static_cast<size_t>(c)] == id) {
                column = c;
                row = r;
                return true;
            }
    return false;
}

int32_t CNameInput::LowestInColumn(int32_t column) const
{
    for (int32_t r = PALETTE_SCREEN_ROWS - 1; r >= 0; --r)
        if (const int32_t id = CellGrid[static_cast<size_t>(r)][static_cast<size_t>(column)]; id != -1)
            return id;
    return -1;
}

int32_t CNameInput::NextInColumn(int32_t column, int32_t row, int32_t step) const
{
    for (int32_t r = row + step; r >= 0 && r < PALETTE_SCREEN_ROWS; r += step)
        if (const int32_t id = CellGrid[static_cast<size_t>(r)][static_cast<size_t>(column)]; id != -1)
            return id;
    return -1;
}

int32_t CNameInput::NextInRow(int32_t column, int32_t row, int32_t step) const
{
    for (int32_t c = column + step; c >= 0 && c < PALETTE_COLUMNS; c += step)
        if (const int32_t id = CellGrid[static_cast<size_t>(row)][static_cast<size_t>(c)]; id != -1)
            return id;
    return -1;
}

int32_t CNameInput::MoveTo(int32_t target, uint32_t scan_code)
{
    if (target >= NAME_CELL) {
        for (const HitArea& area : CellAreas)
            if (static_cast<int32_t>(area.Id) == target) {
                const POINT window = CDirect3D::GetInstance()->LogicalToWindow(
                    POINT{(area.Left + area.Right) / 2, (area.Top + area.Bottom) / 2});
                if (IMouse* mouse = InputView != nullptr ? InputView->GetMouse() : nullptr)
                    mouse->SetPosition(window.x, window.y);
                break;
            }
    } else if (target != -1) {
        HitAreas.MoveCursorToArea(static_cast<uint32_t>(target));
    }
    Update();
    WaitInputRelease(scan_code);
    return 0;
}

int32_t CNameInput::OnUpKey()
{
    static constexpr int32_t JUMP_COLUMNS[10] = {0, 1, 3, 5, 7, 9, 11, 13, 15, 17};
    const bool kanji = Page == NAME_PAGE_KANJI;
    const int32_t from = HoverId;
    int32_t target = -1;
    int32_t column = 0;
    int32_t row = 0;
    if (from == -1)
        target = NAME_JUMP;
    else if (from <= NAME_JUMP + 9)
        target = kanji ? LowestInColumn(JUMP_COLUMNS[from]) : NAME_CONFIRM;
    else if (from >= NAME_TAB && from <= NAME_TAB + 2)
        target = kanji ? NAME_JUMP + std::array{0, 1, 3}[static_cast<size_t>(from - NAME_TAB)]
                       : LowestInColumn(std::array{0, 2, 6}[static_cast<size_t>(from - NAME_TAB)]);
    else if (from >= NAME_CARET_LEFT && from <= NAME_DELETE)
        target = kanji ? NAME_JUMP + std::array{5, 7, 9}[static_cast<size_t>(from - NAME_CARET_LEFT)]
                       : LowestInColumn(std::array{9, 13, 16}[static_cast<size_t>(from - NAME_CARET_LEFT)]);
    else if (from == NAME_SCROLL_DOWN)
        target = kanji ? NAME_SCROLL_UP : NAME_CONFIRM;
    else if (from == NAME_SCROLL_UP)
        target = kanji ? -1 : NAME_CONFIRM;
    else if (from == NAME_DEFAULT)
        target = NAME_TAB;
    else if (from == NAME_CONFIRM)
        target = NAME_DELETE;
    else if (FindCell(from, column, row))
        target = NextInColumn(column, row, -1);
    return MoveTo(target, SCAN_UP);
}

int32_t CNameInput::OnDownKey()
{
    const bool kanji = Page == NAME_PAGE_KANJI;
    const int32_t from = HoverId;
    int32_t target = -1;
    int32_t column = 0;
    int32_t row = 0;
    if (from == -1) {
        target = NAME_CONFIRM;
    } else if (from <= NAME_JUMP + 9) {
        static constexpr int32_t BELOW_JUMP[10] = {
            NAME_TAB,        NAME_TAB + 1,    NAME_TAB + 1,     NAME_TAB + 2, NAME_TAB + 2,
            NAME_CARET_LEFT, NAME_CARET_LEFT, NAME_CARET_RIGHT, NAME_DELETE,  NAME_DELETE};
        target = kanji ? BELOW_JUMP[from - NAME_JUMP] : NAME_CONFIRM;
    } else if (from >= NAME_TAB && from <= NAME_TAB + 2) {
        target = NAME_DEFAULT;
    } else if (from >= NAME_CARET_LEFT && from <= NAME_DELETE) {
        target = NAME_CONFIRM;
    } else if (from == NAME_SCROLL_UP) {
        target = kanji ? NAME_SCROLL_DOWN : NAME_CONFIRM;
    } else if (from == NAME_SCROLL_DOWN) {
        target = kanji ? NAME_DELETE : NAME_CONFIRM;
    } else if (from >= NAME_CELL && FindCell(from, column, row)) {
        target = NextInColumn(column, row, 1);
        if (target == -1) {
            if (kanji)
                target = NAME_JUMP + (column < 2 ? column : (column + 2) / 2);
            else
                target = column == 0    ? NAME_TAB
                         : column <= 3  ? NAME_TAB + 1
                         : column <= 7  ? NAME_TAB + 2
                         : column <= 11 ? NAME_CARET_LEFT
                         : column <= 14 ? NAME_CARET_RIGHT
                                        : NAME_DELETE;
        }
    }
    return MoveTo(target, SCAN_DOWN);
}

int32_t CNameInput::OnLeftKey()
{
    const bool kanji = Page == NAME_PAGE_KANJI;
    const int32_t from = HoverId;
    int32_t target = -1;
    int32_t column = 0;
    int32_t row = 0;
    const auto right_most = [&](std::array<int32_t, 6> rows) {
        for (int32_t r : rows)
            if (const int32_t id = NextInRow(PALETTE_COLUMNS, r, -1); id != -1)
                return id;
        return -1;
    };
    if (from == -1)
        target = NAME_CONFIRM;
    else if (from <= NAME_JUMP + 9)
        target = kanji ? (from > NAME_JUMP ? from - 1 : -1) : NAME_CONFIRM;
    else if (from >= NAME_TAB && from <= NAME_TAB + 2)
        target = from > NAME_TAB ? from - 1 : -1;
    else if (from == NAME_CARET_LEFT)
        target = NAME_TAB + 2;
    else if (from == NAME_CARET_RIGHT || from == NAME_DELETE)
        target = from - 1;
    else if (from == NAME_SCROLL_UP)
        target = kanji ? right_most({2, 3, 1, 4, 0, 5}) : NAME_CONFIRM;
    else if (from == NAME_SCROLL_DOWN)
        target = kanji ? right_most({8, 9, 7, 10, 6, 11}) : NAME_CONFIRM;
    else if (from == NAME_CONFIRM)
        target = NAME_DEFAULT;
    else if (from >= NAME_CELL && FindCell(from, column, row))
        target = NextInRow(column, row, -1);
    return MoveTo(target, SCAN_LEFT);
}

int32_t CNameInput::OnRightKey()
{
    const bool kanji = Page == NAME_PAGE_KANJI;
    const int32_t from = HoverId;
    int32_t target = -1;
    int32_t column = 0;
    int32_t row = 0;
    if (from == -1)
        target = NAME_CONFIRM;
    else if (from <= NAME_JUMP + 9)
        target = kanji ? (from < NAME_JUMP + 9 ? from + 1 : -1) : NAME_CONFIRM;
    else if (from >= NAME_TAB && from <= NAME_TAB + 2)
        target = from < NAME_TAB + 2 ? from + 1 : NAME_CARET_LEFT;
    else if (from == NAME_CARET_LEFT || from == NAME_CARET_RIGHT)
        target = from + 1;
    else if (from == NAME_DEFAULT)
        target = NAME_CONFIRM;
    else if (from >= NAME_CELL && FindCell(from, column, row)) {
        target = NextInRow(column, row, 1);
        if (target == -1 && kanji)
            target = row < 6 ? NAME_SCROLL_UP : NAME_SCROLL_DOWN;
    }
    return MoveTo(target, SCAN_RIGHT);
}
