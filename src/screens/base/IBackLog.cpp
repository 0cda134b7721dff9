#include "screens/base/CBacklogScreen.h"

#include <algorithm>

#include "foundation/CInputView.h"
#include "foundation/CLangTextFile.h"
#include "foundation/ConfigSettings.h"
#include "foundation/DocumentLink.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CFontDIB.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/ILayer.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/base/ScreenWork.h"
#include "script/commands/CFuncString.h"
#include "script/commands/CFuncVoice.h"
#include "script/exec/CFuncExec.h"
#include "script/vm/BacklogStore.h"
#include "script/vm/ScriptContext.h"
#include "sound/IWaveManager.h"

namespace {

inline constexpr uint32_t INPUT_BACKSPACE = 14;
inline constexpr int32_t TEXT_FONT_SIZE = 40;

// The message window's text values, in the order they are put back on close.
inline constexpr size_t TEXT_VALUES[] = {46, 47, 48, 49, 30, 31, 34, 35, 50, 51, 33, 32, 53};

// The exec group keeps the name of the script's text table in use.
CFuncExec* ExecGroup(ScriptContext* context)
{
    return context != nullptr ? dynamic_cast<CFuncExec*>(context->GetExecGroup()) : nullptr;
}

} // namespace

IBackLog::IBackLog() = default;

IBackLog::~IBackLog()
{
    if (m_font)
        m_font->Release();
}

void IBackLog::TypesetBox(TextBox& box, const std::function<void(TextBox&)>& draw)
{
    if (box.DrawWord4 == nullptr)
        return;
    // The language may change between openings.
    const CStringUTF8 name = GetLanguageFontName();
    if (!m_font || !(name == m_font_name)) {
        if (m_font)
            m_font->Release();
        m_font = std::make_unique<CFontDIB>();
        m_font->Create(name);
        m_font_name = name;
        if (m_font->SetFontSize(TEXT_FONT_SIZE, TEXT_FONT_SIZE) == 0) {
            m_font->Release();
            m_font.reset();
            return;
        }
    }
    const int32_t first_x = box.CursorX;
    const int32_t first_y = box.CursorY;
    if (draw)
        draw(box);
    else
        CFuncString().TypesetText(box, m_font.get());
    // The cursor moves down a line at a time, and right by at most two cells a byte of text
    // from where a line starts, which is the box's left or one full-width step before it for
    // a hanging mark; on its last line every cell lies left of where it stopped. A cursor that
    // went otherwise counts the whole layer.
    const int64_t width = box.DrawWord4->GetWidth();
    const int64_t height = box.DrawWord4->GetHeight();
    const int64_t advance = 2 * int64_t{box.CellWidth};
    const int64_t cell_width = m_font->GetCellWidth();
    const int64_t cell_height = m_font->GetCellHeight();
    const auto bytes = static_cast<int64_t>(box.Text.GetStdString().size());
    const int64_t left = std::min(first_x, box.Left) - advance;
    const int64_t right = std::max(first_x, box.Left) + advance * bytes + cell_width;
    const int64_t last_line = box.CursorY;
    const int64_t last_right = std::min(right, int64_t{box.CursorX} + cell_width);
    auto add = [&](int64_t l, int64_t t, int64_t r, int64_t b) {
        const InkRect drawn{static_cast<int32_t>(std::clamp<int64_t>(l, 0, width)),
                            static_cast<int32_t>(std::clamp<int64_t>(t, 0, height)),
                            static_cast<int32_t>(std::clamp<int64_t>(r, 0, width)),
                            static_cast<int32_t>(std::clamp<int64_t>(b, 0, height))};
        if (drawn.Left < drawn.Right && drawn.Top < drawn.Bottom)
            Ink.push_back(drawn);
    };
    if (box.LineHeight < 0 || box.CellWidth < 0 || last_line < first_y) {
        add(0, 0, width, height);
    } else if (last_line == first_y) {
        add(left, first_y, last_right, first_y + cell_height);
    } else if (box.LineHeight >= cell_height) {
        // The earlier lines' cells end above the last line's.
        add(left, first_y, right, last_line);
        add(left, last_line, last_right, last_line + cell_height);
    } else {
        add(left, first_y, right, last_line + cell_height);
    }
}

int32_t IBackLog::RunBacklog(ScriptValue* result, int32_t start_index)
{
    const FlagBuffer* state = CurrentFlagBuffer();
    if (state != nullptr)
        SavedState.Assign(*state);
    else
        SavedState = FlagBuffer();
    RecordingWasOn =
        state != nullptr && !state->Values.empty() && (state->EngineStateWord() & ENGINE_STATE_RECORDING) != 0
            ? 1
            : 0;
    Top = start_index;
    SavedTextTable = CStringUTF8();
    if (GameWork->m_text_file != nullptr)
        if (const CFuncExec* exec = ExecGroup(GetScriptContext()))
            SavedTextTable = exec->GetLanguageFileName();
    ClearEngineState(ENGINE_STATE_RECORDING);
    ScriptValue out;
    Run(&out);
    if (result != nullptr)
        *result = out;
    return out.Integer;
}

void IBackLog::OpenCommon()
{
    SetEngineState(ENGINE_STATE_BACKLOG_OPEN);
    Running = 1;
    HoverId = -1;
    KeepView = 0;
    SetValue(VALUE_TEXT_SPRITE, BACKLOG_TEXT_LAYER);
    ResetWheel();
    WaitInputRelease(INPUT_BACKSPACE);
    ResetPage();
}

void IBackLog::ResetPage()
{
    if (ILayer* text = SpriteLayerOf(FindSpriteLayer(BACKLOG_TEXT_LAYER)))
        ClearTextLayer(text);
    EntryCount = CountBacklogEntries();
    MaxTop = std::max(0, EntryCount - GetRowsPerPage());
    Top = std::max(0, std::min(Top, MaxTop));
}

void IBackLog::ClearTextLayer(ILayer* text)
{
    text->FillRect(0, 0, 1920, 1080, 0, 1);
}

void IBackLog::OnOpen()
{
    OpenCommon();
}

void IBackLog::OnClose()
{
    ISelect::OnClose();
    CFuncVoice voice;
    if (IWaveManager* channel = voice.GetManager(0))
        channel->ClearName();
    ScriptContext* context = GetScriptContext();
    if (context != nullptr)
        context->CollectedVoiceNames.clear();
    if (FlagBuffer* state = CurrentFlagBuffer()) {
        for (size_t index : TEXT_VALUES)
            if (index < state->Values.size() && index < SavedState.Values.size())
                state->Values[index] = SavedState.Values[index];
    }
    if (GameWork->m_text_file != nullptr) {
        if (CFuncExec* exec = ExecGroup(context))
            exec->SetLanguageFileName(SavedTextTable);
        // No table was named before the run: there is nothing to open again.
        if (!SavedTextTable.IsEmpty())
            GameWork->m_text_file->Open(SavedTextTable);
    }
    if (RecordingWasOn != 0)
        SetEngineState(ENGINE_STATE_RECORDING);
    CloseTransition(nullptr);
    ClearEngineState(ENGINE_STATE_BACKLOG_OPEN);
}

void IBackLog::Update()
{
    const int32_t id = HitTestCursor();
    if (id == HoverId)
        return;
    if (HoverId != -1)
        DrawButton(HoverId, BACKLOG_NORMAL, 1);
    HoverId = id;
    if (id != -1)
        DrawButton(id, BACKLOG_HOVERED, 1);
}

void IBackLog::OnBackspaceKey()
{
    OnCancel();
    WaitInputRelease(INPUT_BACKSPACE);
}

void IBackLog::OnMouseWheel(int32_t count)
{
    if (count == 0)
        return;
    if (count < 0 && Top == 0) {
        OnCancel();
        return;
    }
    const int32_t top = std::max(0, std::min(Top + count, MaxTop));
    if (top != Top) {
        Top = top;
        RedrawPage(0, 1);
    }
    ResetWheel();
}

void IBackLog::OnCancel()
{
    Running = 0;
    Result = ScriptValue::FromInteger(-1);
    ResetWheel();
    ISelect::OnCancel();
}

int32_t IBackLog::ReplayVoice(int32_t n)
{
    ScriptContext* context = GetScriptContext();
    if (context == nullptr || n < 0 || static_cast<size_t>(n) >= context->CollectedVoiceNames.size())
        return 0;
    const CStringUTF8 name = GetEnabledVoiceName(context->CollectedVoiceNames[static_cast<size_t>(n)]);
    if (name.IsEmpty())
        return 0;
    CFuncVoice voice;
    voice.Play(name, 0, 1);
    return 2;
}

int32_t GetBacklogLayoutSwitch()
{
    // The document's language as the game started: simplified Chinese names go through the text
    // service, as the message window's name plate draws them.
    DocumentLink* document = GetDocumentLink();
    return document != nullptr && document->GetLanguage() == LANGUAGE_SIMPLIFIED_CHINESE ? 1 : 0;
}

void IBackLog::DrawEntry(int32_t index)
{
    const LogBuffer* record = Record(index);
    if (record == nullptr || (record->HeadText.IsEmpty() && record->HeadTextId == -1))
        return;
    TextBox box = MakeTextBox(record->HeadText);
    if (record->HeadTextId != -1) {
        // The id names a text of the table the script had open when it named the speaker, not
        // of whatever table a later scene or the row above left open.
        if (!record->TextTable.IsEmpty() && GameWork->m_text_file != nullptr)
            GameWork->m_text_file->Open(record->TextTable);
        const int32_t id = record->HeadTextId;
        TypesetBox(box, [id](TextBox& text) { DrawLangText(id, text); });
    } else if (GetBacklogLayoutSwitch() == 1) {
        TypesetBox(box, [](TextBox& text) { DrawTextString(text); });
    } else {
        TypesetBox(box);
    }
}

void IBackLog::DrawLogText(CStringUTF8 text)
{
    TextBox box = MakeTextBox(text);
    TypesetBox(box);
}

void IBackLog::ResetWheel()
{
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
}

LogBuffer* IBackLog::Record(int32_t index)
{
    ScriptContext* context = GetScriptContext();
    if (context == nullptr || index < 0 || static_cast<size_t>(index) >= context->Backlog.Entries.size())
        return nullptr;
    return context->Backlog.Entries[static_cast<size_t>(index)].get();
}

TextBox IBackLog::MakeTextBox(const CStringUTF8& text)
{
    TextBox box;
    box.Text = text;
    box.CursorX = GetValue(50);
    box.CursorY = GetValue(51);
    box.CellWidth = GetValue(30) / 2;
    box.LineHeight = GetValue(31);
    box.DrawWord1 = static_cast<uint32_t>(GetValue(33));
    box.DrawWord2 = static_cast<uint32_t>(GetValue(32));
    box.Left = GetValue(46);
    box.Top = GetValue(47);
    box.Right = GetValue(48);
    box.Bottom = GetValue(49);
    box.UseLineBreakRules = 1;
    box.DrawWord4 = SpriteLayerOf(FindSpriteLayer(GetValue(VALUE_TEXT_SPRITE)));
    return box;
}

void IBackLog::SetValue(size_t index, int32_t value)
{
    FlagBuffer* state = CurrentFlagBuffer();
    if (state != nullptr && index < state->Values.size())
        state->Values[index] = ScriptValue::FromInteger(value);
}

int32_t IBackLog::GetValue(size_t index)
{
    const FlagBuffer* state = CurrentFlagBuffer();
    return state != nullptr && index < state->Values.size() ? state->Values[index].Integer : 0;
}
