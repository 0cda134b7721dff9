#include "script/vm/ScriptContext.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <system_error>

#include "foundation/CExecException.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "graphics/CFontDIB.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerOf.h"
#include "graphics/SpriteLayerRegistry.h"
#include "platform/kernel/CodePageApi.h"
#include "platform/kernel/ErrorApi.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/SelectManager.h"
#include "script/commands/LibraryTable.h"
#include "script/vm/ScriptError.h"

namespace {

// Smallest upper bound of the random draw: every range of up to this many numbers takes its
// number from a draw over this bound, so a given seed gives one sequence whatever the ranges.
constexpr uint32_t RANDOM_MINIMUM_BOUND = 191'932'354;

bool IsLeadByte(uint8_t byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xEF);
}

// Stands in for a missing game state: every bank is empty, so every access is out of range.
FlagBuffer& NoState()
{
    static FlagBuffer s_state;
    s_state.Values.clear();
    return s_state;
}

int32_t Wrap(int64_t value)
{
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

// Shift-JIS bytes to UTF-8, through the system code page.
CStringUTF8 ShiftJisToUtf8(const std::string& bytes)
{
    if (bytes.empty())
        return CStringUTF8();
    const int wide_length =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (wide_length <= 0)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category());
    std::u16string wide(static_cast<size_t>(wide_length), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), wide_length);
    const int utf8_length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
    if (utf8_length <= 0)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category());
    std::string utf8(static_cast<size_t>(utf8_length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, utf8.data(), utf8_length, nullptr, nullptr);
    return CStringUTF8(utf8.c_str());
}

} // namespace

ScriptContext::ScriptContext() = default;

ScriptContext::~ScriptContext() = default;

FlagBuffer* ScriptContext::GetState() const
{
    return GetScriptState().m_current_state.get();
}

bool ScriptContext::IsRecording(uint32_t bits) const
{
    const FlagBuffer* state = GetState();
    return state && !state->Values.empty() && state->TestEngineState(bits);
}

uint8_t ScriptContext::FetchCodeByte(CScript& script)
{
    const uint8_t byte = script.ReadCode(1);
    if (IsRecording(ENGINE_STATE_RECORDING | ENGINE_STATE_RECORD_CODE))
        Backlog.AppendCode(byte);
    return byte;
}

uint32_t ScriptContext::FetchOperand(CScript& script)
{
    if (!IsRecording(ENGINE_STATE_RECORDING | ENGINE_STATE_RECORD_CODE))
        return script.ReadOperand();
    uint32_t operand = 0;
    for (int i = 0; i < 4; ++i)
        operand = operand << 8 | FetchCodeByte(script);
    return operand;
}

uint8_t ScriptContext::FetchTextByte(CScript& script)
{
    const uint8_t byte = script.ReadCode(1);
    if (IsRecording(ENGINE_STATE_RECORDING | ENGINE_STATE_ENTRY_OPEN))
        Backlog.AppendCode(byte);
    return byte;
}

ScriptValue& ScriptContext::PopValue(ScriptValue& out)
{
    out.Clear();
    if (ValueStack.empty()) {
        ReportScriptError(CStringUTF8("スタックが存在しません"));
        return out;
    }
    out = std::move(ValueStack.back());
    ValueStack.pop_back();
    return out;
}

int32_t ScriptContext::PopInteger()
{
    if (ValueStack.empty()) {
        ReportScriptError(CStringUTF8("スタックが存在しません"));
        return 0;
    }
    const int32_t integer = ValueStack.back().Integer;
    ValueStack.pop_back();
    return integer;
}

void ScriptContext::ReplaceTopWithInteger(int32_t integer)
{
    ScriptValue& top = ValueStack.back();
    top.Type = SCRIPT_VALUE_INTEGER;
    top.Integer = integer;
    if (!top.Text.IsEmpty())
        top.Text.Empty();
}

ScriptValue ScriptContext::PopValue()
{
    ScriptValue value;
    PopValue(value);
    return value;
}

void ScriptContext::PushInlineString(CScript& script)
{
    std::string bytes;
    for (uint8_t byte = FetchCodeByte(script); byte != 0; byte = FetchCodeByte(script))
        bytes.push_back(static_cast<char>(byte));
    Push(ScriptValue::FromText(CStringUTF8(bytes.c_str())));
}

void ScriptContext::Jump(CScript& script, uint32_t offset)
{
    script.SetPosition(offset);
}

void ScriptContext::ReportBank(const char* bank, int32_t index, size_t size)
{
    CStringUTF8 text;
    text.Format("%s[%d] は範囲外の番号です（%u 個）", bank, index, static_cast<unsigned>(size));
    ReportScriptError(text);
}

void ScriptContext::ReportBankOf(const FlagBuffer& bank, size_t kind, int32_t index)
{
    static const char* const s_names[] = {"Flags",  "Words", "Values",  "Variables",
                                          "Locals", "Bytes", "Bytes16", "Bytes32"};
    const size_t sizes[] = {
        bank.Flags.size(), bank.Words.size(),     bank.Values.size(),   bank.Variables.size(), 0,
        bank.Bytes.size(), bank.Bytes.size() / 2, bank.Bytes.size() / 4};
    ReportBank(s_names[kind], index, sizes[kind]);
}

std::vector<ScriptValue>* ScriptContext::GetLocals()
{
    if (GetScriptState().LocalFrameStack.empty())
        return nullptr;
    return GetScriptState().LocalFrameStack.back().get();
}

void ScriptContext::LoadFromBank(uint8_t opcode)
{
    // The index's place on the stack takes the result, so no value is made for it.
    const bool in_place = !ValueStack.empty();
    const int32_t index = in_place ? ValueStack.back().Integer : PopInteger();
    auto push_integer = [&](int32_t integer) {
        if (in_place)
            ReplaceTopWithInteger(integer);
        else
            PushInteger(integer);
    };
    auto push_value = [&](const ScriptValue& value) {
        if (in_place)
            ValueStack.back() = value;
        else
            Push(value);
    };
    FlagBuffer* state = GetState();
    FlagBuffer& bank = state ? *state : NoState();
    const size_t i = static_cast<size_t>(static_cast<uint32_t>(index));
    const bool negative = index < 0;
    switch (opcode) {
    case 0x02:
        if (negative || i >= bank.Flags.size())
            break;
        push_integer(bank.Flags[i]);
        return;
    case 0x03:
        if (negative || i >= bank.Words.size())
            break;
        push_integer(bank.Words[i]);
        return;
    case 0x04:
        if (negative || i >= bank.Values.size())
            break;
        push_value(bank.Values[i]);
        return;
    case 0x05:
        if (negative || i >= bank.Variables.size())
            break;
        push_value(bank.Variables[i]);
        return;
    case 0x06: {
        std::vector<ScriptValue>* locals = GetLocals();
        if (!locals) {
            CStringUTF8 text;
            text.Format("関数の外で Locals[%d] を読み込んでいます", index);
            ReportScriptError(text);
            push_value(ScriptValue());
            return;
        }
        if (negative || i >= locals->size()) {
            ReportBank("Locals", index, locals->size());
            push_value(ScriptValue());
            return;
        }
        push_value((*locals)[i]);
        return;
    }
    case 0x07:
        if (negative || i >= bank.Bytes.size())
            break;
        push_integer(bank.Bytes[i]);
        return;
    case 0x08: {
        if (negative || i >= bank.Bytes.size() / 2)
            break;
        uint16_t element;
        std::memcpy(&element, bank.Bytes.data() + 2 * i, sizeof element);
        push_integer(element);
        return;
    }
    case 0x09: {
        if (negative || i >= bank.Bytes.size() / 4)
            break;
        int32_t element;
        std::memcpy(&element, bank.Bytes.data() + 4 * i, sizeof element);
        push_integer(element);
        return;
    }
    }
    ReportBankOf(bank, opcode - 0x02, index);
    push_value(ScriptValue());
}

void ScriptContext::StoreToBank(uint8_t opcode)
{
    const int32_t index = PopInteger();
    // Integer banks need only the integer, which spares copying the value out of the stack.
    const bool whole_value = opcode == 0x0E || opcode == 0x0F || opcode == 0x10;
    ScriptValue value;
    if (whole_value)
        PopValue(value);
    else
        value.Integer = PopInteger();
    FlagBuffer* state = GetState();
    FlagBuffer& bank = state ? *state : NoState();
    const size_t i = static_cast<size_t>(static_cast<uint32_t>(index));
    const bool negative = index < 0;
    switch (opcode) {
    case 0x0C:
        if (negative || i >= bank.Flags.size())
            break;
        bank.Flags[i] = static_cast<uint8_t>(std::clamp(value.Integer, 0, 255));
        return;
    case 0x0D:
        if (negative || i >= bank.Words.size())
            break;
        bank.Words[i] = static_cast<uint16_t>(std::max(value.Integer, 0));
        return;
    case 0x0E:
        if (negative || i >= bank.Values.size())
            break;
        bank.Values[i] = std::move(value);
        return;
    case 0x0F:
        if (negative || i >= bank.Variables.size())
            break;
        bank.Variables[i] = std::move(value);
        return;
    case 0x10: {
        std::vector<ScriptValue>* locals = GetLocals();
        if (!locals) {
            CStringUTF8 text;
            text.Format("関数の外で Locals[%d] に書き込んでいます", index);
            ReportScriptError(text);
            return;
        }
        if (negative || i >= locals->size()) {
            ReportBank("Locals", index, locals->size());
            return;
        }
        (*locals)[i] = std::move(value);
        return;
    }
    case 0x11:
        if (negative || i >= bank.Bytes.size())
            break;
        bank.Bytes[i] = static_cast<uint8_t>(value.Integer);
        return;
    case 0x12: {
        if (negative || i >= bank.Bytes.size() / 2)
            break;
        const uint16_t element = static_cast<uint16_t>(value.Integer);
        std::memcpy(bank.Bytes.data() + 2 * i, &element, sizeof element);
        return;
    }
    case 0x13: {
        if (negative || i >= bank.Bytes.size() / 4)
            break;
        std::memcpy(bank.Bytes.data() + 4 * i, &value.Integer, sizeof value.Integer);
        return;
    }
    }
    ReportBankOf(bank, opcode - 0x0C, index);
}

int32_t ScriptContext::DrawRandom(int32_t n)
{
    if (n == 0)
        return 0; // no range at all
    // A negative range draws over the minimum bound; the remainder takes the sign of x, so the
    // result lies in [0, |n| - 1].
    const int64_t top = int64_t{n} - 1;
    const uint32_t bound = top > RANDOM_MINIMUM_BOUND ? static_cast<uint32_t>(top) : RANDOM_MINIMUM_BOUND;
    const uint32_t range = bound + 1;
    uint32_t r;
    do {
        r = static_cast<uint32_t>(Random());
    } while (r / range >= UINT32_MAX / range && UINT32_MAX % range != bound);
    return static_cast<int32_t>(r % range) % n;
}

void ScriptContext::SetLibraryGroup(int32_t id, GroupFactory factory)
{
    if (id >= 0 && id < static_cast<int32_t>(m_group_overrides.size()))
        m_group_overrides[static_cast<size_t>(id)] = std::move(factory);
}

int ScriptContext::RegisterFunction(uint32_t id, uint32_t param_count, CScript& script)
{
    if (Functions.contains(id)) {
        CStringUTF8 text;
        text.Format("Liblary ID:%u は既に登録されている関数です", id);
        ReportScriptError(text);
        return 0;
    }
    ScriptRef holder = script.weak_from_this().lock();
    if (param_count > MAX_FUNCTION_PARAMS || !holder) {
        CStringUTF8 text;
        text.Format("Liblary ID:%u は引数 %u 個では登録できない関数です", id, param_count);
        ReportScriptError(text);
        return 0;
    }
    Functions[id] = ScriptFunction{param_count, script.GetPosition(), std::move(holder)};
    return 1;
}

void ScriptContext::CallFunction(CScript&)
{
    const uint32_t id = static_cast<uint32_t>(PopValue().Integer);
    const auto found = Functions.find(id);
    if (found == Functions.end()) {
        CStringUTF8 text;
        text.Format("Liblary ID:%u は登録されていない関数です", id);
        ReportScriptError(text);
        return;
    }
    if (GetScriptState().LocalFrameStack.size() >= MAX_FUNCTION_CALL_DEPTH) {
        CStringUTF8 text;
        text.Format("Liblary ID:%u の呼び出しが %u 段を超えています", id,
                    static_cast<unsigned>(MAX_FUNCTION_CALL_DEPTH));
        ReportScriptError(text);
        return;
    }
    const ScriptFunction function = found->second; // the reference keeps the body's script alive
    std::unique_ptr<std::vector<ScriptValue>> frame;
    try {
        frame = std::make_unique<std::vector<ScriptValue>>(function.ParamCount);
    } catch (const std::bad_alloc&) {
        throw CExecException(CStringUTF8("Failed to create the Exclusive Flag"));
    }
    for (ScriptValue& value : *frame)
        PopValue(value);
    GetScriptState().LocalFrameStack.push_back(std::move(frame));
    GetScriptState().CallScript(function.Script);
    function.Script->SetPosition(function.BodyPosition);
}

void ScriptContext::CallBuiltinLibrary(CScript& script)
{
    const int32_t id = PopValue().Integer;
    std::unique_ptr<IFunc> group;
    if (IsPerCallLibraryId(id)) {
        const GroupFactory& factory = m_group_overrides[static_cast<size_t>(id)];
        group = factory ? factory() : CreateLibraryGroup(id);
    } else if (id == LIBRARY_ID_EXEC && m_exec) {
        m_exec->Call(script);
        return;
    }
    if (!group) {
        ReportScriptError(CStringUTF8("登録されていないファンクションの呼び出しです"));
        return;
    }
    group->Call(script);
}

void ScriptContext::PrepareBacklogEntry()
{
    FlagBuffer* state = GetState();
    if (!IsRecording(ENGINE_STATE_RECORDING))
        return;
    if (!state->TestEngineState(ENGINE_STATE_ENTRY_OPEN) && !Backlog.NextEntry()) {
        ReportScriptError(CStringUTF8("履歴バッファが作成されていません"));
        return;
    }
    state->SetEngineStateBits(ENGINE_STATE_ENTRY_OPEN);
}

void ScriptContext::ReadTextRun(CScript& script)
{
    std::string bytes;
    for (uint8_t byte = FetchTextByte(script); byte != 0; byte = FetchTextByte(script)) {
        if (IsLeadByte(byte)) {
            // A lead byte without its trail byte must not swallow the 0 that ends the run.
            const uint8_t trail = FetchTextByte(script);
            if (trail == 0)
                break;
            bytes.push_back(static_cast<char>(byte));
            bytes.push_back(static_cast<char>(trail));
        } else {
            // One-byte form of a two-byte character: the code is the byte, sign-extended, less
            // 0x7D62, so 0x01-0x53 are the hiragana from 0x829F.
            const uint16_t code =
                static_cast<uint16_t>(static_cast<int16_t>(static_cast<int8_t>(byte)) - 0x7D62);
            bytes.push_back(static_cast<char>(code >> 8));
            bytes.push_back(static_cast<char>(code & 0xFF));
        }
    }
    ShowMessageText(ShiftJisToUtf8(bytes));
}

TextBox ScriptContext::MakeMessageBox(bool shifted_run)
{
    TextBox box;
    const FlagBuffer* state = GetState();
    if (!state || state->Values.size() < FLAG_BUFFER_VALUE_COUNT)
        return box;
    const std::vector<ScriptValue>& v = state->Values;
    const int32_t direction = VARIABLE_WRITING_DIRECTION < state->Variables.size()
                                  ? state->Variables[VARIABLE_WRITING_DIRECTION].Integer
                                  : 0;
    if (shifted_run) {
        box.CursorX = v[50].Integer;
        box.CursorY = v[51].Integer;
        box.CellWidth = v[38].Integer / 2;
        box.LineHeight = v[39].Integer;
    } else {
        box.CursorX = direction == 0 ? Wrap(int64_t{v[50].Integer} + CentringOffset()) : v[50].Integer;
        box.CursorY = Wrap(int64_t{v[51].Integer} - v[35].Integer + v[31].Integer);
        box.CellWidth = v[30].Integer / 2;
        box.LineHeight = v[31].Integer;
    }
    box.DrawWord1 = static_cast<uint32_t>(v[33].Integer);
    box.DrawWord2 = static_cast<uint32_t>(v[32].Integer);
    box.DrawWord3 = static_cast<uint32_t>(v[29].Integer);
    if (shifted_run && (box.DrawWord3 & FONT_OUTLINE) != 0)
        box.DrawWord3 = (box.DrawWord3 & ~FONT_OUTLINE) | FONT_SHADOW;
    box.Left = v[46].Integer;
    box.Top = v[47].Integer;
    box.Right = v[48].Integer;
    box.Bottom = v[49].Integer;
    box.UseLineBreakRules = 1;
    // A number that names no sprite lays the text out without drawing it, so the pen still moves.
    if (CSpriteLayer* sprite = GetSpriteLayerRegistry().GetSpriteLayer(v[VALUE_TEXT_SPRITE].Integer))
        box.DrawWord4 = SpriteLayerOf(sprite);
    return box;
}

void ScriptContext::TypesetIntoTextSprite(const std::function<void()>& typeset)
{
    const FlagBuffer* state = GetState();
    CSpriteLayer* sprite = state && state->Values.size() > VALUE_TEXT_SPRITE
                               ? GetSpriteLayerRegistry().GetSpriteLayer(state->Values[VALUE_TEXT_SPRITE].Integer)
                               : nullptr;
    {
        LiveDrawLock draw_lock;
        typeset();
    }
    // Nothing else draws while the script goes on or waits after its text: a line typed into a
    // sprite on screen would stay unseen until something did. Text for a window's own layer,
    // never shown itself, is left to the window, which shows it as it types.
    if (sprite != nullptr && sprite->IsVisible() && sprite->GetPriority() != -1)
        RedrawFrameNow();
}

int32_t ScriptContext::CentringOffset() const
{
    const FlagBuffer* state = GetState();
    if (!state || state->Values.size() < FLAG_BUFFER_VALUE_COUNT)
        return 0;
    return Wrap(int64_t{state->Values[30].Integer} - state->Values[34].Integer) / 2;
}

void ScriptContext::AddMeasuredWidth(int32_t width)
{
    if (GetScriptState().MeasuredLineWidths.empty() || width == -1)
        GetScriptState().MeasuredLineWidths.push_back(0);
    if (width == -1)
        return;
    int32_t& line = GetScriptState().MeasuredLineWidths.back();
    line = Wrap(int64_t{line} + width);
    GetScriptState().MeasuredWidthTotal = Wrap(int64_t{GetScriptState().MeasuredWidthTotal} + width);
}

bool ScriptContext::IsMeasuring() const
{
    const FlagBuffer* state = GetState();
    return state && (state->TestEngineState(ENGINE_STATE_MEASURE) ||
                     state->TestEngineState(ENGINE_STATE_MEASURE_LINES));
}

void ScriptContext::ShowMessageText(CStringUTF8 text)
{
    FlagBuffer* state = GetState();
    const bool shifted_run = state && state->TestEngineState(ENGINE_STATE_SHIFTED_RUN);
    if (IsRecording(ENGINE_STATE_RECORDING | ENGINE_STATE_ENTRY_OPEN) && !shifted_run)
        Backlog.AppendText(text);
    if (GetConfigSceneSkip())
        return;
    if (!state || state->Values.size() < FLAG_BUFFER_VALUE_COUNT)
        return;
    if (IsMeasuring()) {
        if (!shifted_run)
            AddMeasuredWidth(text.GetWidth());
        return;
    }
    TextBox box = MakeMessageBox(shifted_run);
    box.Text = std::move(text);
    CFontDIB* font = shifted_run ? GetSpriteLayerRegistry().GetFont(DOCUMENT_FONT_FIFTH) : nullptr;
    const int32_t direction = VARIABLE_WRITING_DIRECTION < state->Variables.size()
                                  ? state->Variables[VARIABLE_WRITING_DIRECTION].Integer
                                  : 0;
    CFuncString typesetter;
    if (direction == 0)
        TypesetIntoTextSprite([&] { typesetter.TypesetText(box, font); });
    else if (direction == 1)
        TypesetIntoTextSprite([&] { typesetter.TypesetTextVertical(box, font); });
    std::vector<ScriptValue>& v = state->Values;
    if (shifted_run) {
        SetIntegerValue(v[50], box.CursorX);
        SetIntegerValue(v[51], box.CursorY);
    } else {
        SetIntegerValue(v[50], Wrap(int64_t{box.CursorX} - CentringOffset()));
        SetIntegerValue(v[51], Wrap(int64_t{box.CursorY} - v[31].Integer + v[35].Integer));
    }
}

void ScriptContext::RunEscape(CScript& script)
{
    const uint8_t code = FetchCodeByte(script);
    switch (code) {
    case 0:
        NewLine();
        return;
    case 1:
        ShiftedRun(script);
        return;
    default:
        ReportScriptError(CStringUTF8("不明なエスケープシーケンスが使われています。"));
        return;
    }
}

void ScriptContext::NewLine()
{
    FlagBuffer* state = GetState();
    if (!state || state->Values.size() < FLAG_BUFFER_VALUE_COUNT)
        return;
    if (IsMeasuring()) {
        if (state->TestEngineState(ENGINE_STATE_MEASURE_LINES))
            GetScriptState().MeasuredLineWidths.push_back(0);
        return;
    }
    if (IsRecording(ENGINE_STATE_RECORDING | ENGINE_STATE_ENTRY_OPEN)) {
        Backlog.AppendCode(0);
        Backlog.AppendText(CStringUTF8("\n"));
    }
    if (GetConfigSceneSkip())
        return;
    std::vector<ScriptValue>& v = state->Values;
    const int32_t direction = VARIABLE_WRITING_DIRECTION < state->Variables.size()
                                  ? state->Variables[VARIABLE_WRITING_DIRECTION].Integer
                                  : 0;
    if (direction == 0) {
        v[50] = v[46];
        if (v[51].Type == SCRIPT_VALUE_INTEGER)
            v[51].Integer = Wrap(static_cast<int64_t>(v[51].Integer) + v[31].Integer);
        else if (v[51].Type == SCRIPT_VALUE_TEXT)
            v[51].Text.Append(v[31].Text.GetText());
    } else if (direction == 1) {
        if (v[50].Type == SCRIPT_VALUE_INTEGER)
            v[50].Integer = Wrap(static_cast<int64_t>(v[50].Integer) - v[30].Integer);
        v[51] = v[47];
    }
    m_text_area_word = 0;
}

void ScriptContext::ShiftedRun(CScript& script)
{
    FlagBuffer* state = GetState();
    if (!state || state->Values.size() < FLAG_BUFFER_VALUE_COUNT)
        return;
    if (m_shifted_run_depth >= MAX_SHIFTED_RUN_DEPTH) {
        ReportScriptError(CStringUTF8("シフトテキストの入れ子が深すぎます"));
        return;
    }
    if (!IsMeasuring() && IsRecording(ENGINE_STATE_RECORDING | ENGINE_STATE_ENTRY_OPEN))
        Backlog.AppendCode(1);
    state->SetEngineStateBits(ENGINE_STATE_SHIFTED_RUN);
    std::vector<ScriptValue>& v = state->Values;
    int32_t saved[6];
    for (int k = 0; k < 6; ++k)
        saved[k] = v[46 + k].Integer;
    v[50].Integer = Wrap(static_cast<int64_t>(v[50].Integer) + v[36].Integer);
    v[51].Integer = Wrap(static_cast<int64_t>(v[51].Integer) + v[37].Integer);
    v[46] = AddScriptValues(v[46], v[36]);
    v[47] = AddScriptValues(v[47], v[37]);
    // A document code or a skip thrown inside the nested run must not leave the next text drawn
    // small and shifted, so the bit and the box come back on every way out. The nested code may
    // have replaced the game state's arrays; the values are looked up again.
    auto restore = [&] {
        --m_shifted_run_depth;
        FlagBuffer* after = GetState();
        if (!after || after->Values.size() < FLAG_BUFFER_VALUE_COUNT)
            return false;
        after->ClearEngineStateBits(ENGINE_STATE_SHIFTED_RUN);
        for (int k = 0; k < 6; ++k)
            SetIntegerValue(after->Values[46 + k], saved[k]);
        return true;
    };
    ++m_shifted_run_depth;
    try {
        GetScriptState().RunNestedFrames(script);
    } catch (...) {
        restore();
        throw;
    }
    if (restore() && IsRecording(ENGINE_STATE_RECORDING | ENGINE_STATE_ENTRY_OPEN))
        Backlog.AppendCode(0);
}

namespace {

// Operators 0x35-0x43 (0x39 aside) on the integers and types of a and b.
int32_t Compute(uint8_t opcode, const ScriptValue& a, const ScriptValue& b)
{
    const int64_t x = a.Integer;
    const int64_t y = b.Integer;
    const bool integer_left = a.Type == SCRIPT_VALUE_INTEGER;
    switch (opcode) {
    case 0x35:
        return integer_left ? Wrap(x - y) : 0;
    case 0x36:
        return integer_left ? Wrap(x * y) : 0;
    case 0x37:
        // A zero divisor and INT_MIN / -1 have no 32-bit quotient; they give 0.
        return integer_left && y != 0 && !(x == INT_MIN && y == -1) ? Wrap(x / y) : 0;
    case 0x38:
        return integer_left && y != 0 ? Wrap(x % y) : 0;
    case 0x3A:
        return x == 1 && y == 1;
    case 0x3B:
        return x == 1 || y == 1;
    case 0x3C:
        return integer_left && b.Type == SCRIPT_VALUE_INTEGER ? a.Integer & b.Integer : 0;
    case 0x3D:
        return integer_left && b.Type == SCRIPT_VALUE_INTEGER ? a.Integer | b.Integer : 0;
    case 0x3E:
        return x < y;
    case 0x3F:
        return x > y;
    case 0x40:
        return x <= y;
    case 0x41:
        return x >= y;
    case 0x42:
    case 0x43: {
        const bool equal = a.Type == b.Type &&
                           (a.Type == SCRIPT_VALUE_INTEGER ? a.Integer == b.Integer
                                                           : a.Text.GetStdString() == b.Text.GetStdString());
        return opcode == 0x42 ? equal : !equal;
    }
    default:
        return 0;
    }
}

} // namespace

void ScriptContext::RunBinary(uint8_t opcode)
{
    if (ValueStack.size() >= 2 && opcode != 0x34) {
        // The result takes the left operand's place, so no value is made or copied.
        ScriptValue& a = ValueStack[ValueStack.size() - 2];
        const int32_t result = Compute(opcode, a, ValueStack.back());
        ValueStack.pop_back();
        ReplaceTopWithInteger(result);
        return;
    }
    const ScriptValue b = PopValue();
    const ScriptValue a = PopValue();
    if (opcode == 0x34)
        Push(AddScriptValues(a, b));
    else
        PushInteger(Compute(opcode, a, b));
}

void ScriptContext::Release()
{
    Backlog.Entries.clear();
    Backlog.CurrentIndex = -1;
    m_exec.reset();
    Functions.clear();
    ChoiceBranches.clear();
    ValueStack.clear();
}

void ScriptContext::Step(CScript& script)
{
    const uint8_t peek = script.ReadCode(0);
    if (IsLeadByte(peek)) {
        PrepareBacklogEntry();
        ReadTextRun(script);
        return;
    }
    if (peek == 0x0A || peek == 0x0B || peek == 0x1C) {
        PrepareBacklogEntry();
        if (IsRecording(ENGINE_STATE_RECORDING))
            Backlog.AppendCode(peek);
    }
    // Nothing runs between the opcode and its operands, so one look at the state serves them all.
    const bool record_code = IsRecording(ENGINE_STATE_RECORDING | ENGINE_STATE_RECORD_CODE);
    const uint8_t opcode = script.ReadCode(1);
    if (record_code)
        Backlog.AppendCode(opcode);
    const auto fetch_operand = [&] { return record_code ? FetchOperand(script) : script.ReadOperand(); };
    switch (opcode) {
    case 0x00:
        throw GameDocument::DOCUMENT_SCRIPT_END;
    case 0x01:
        throw GameDocument::DOCUMENT_SCRIPT_RETURN;
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x06:
    case 0x07:
    case 0x08:
    case 0x09:
        LoadFromBank(opcode);
        return;
    case 0x0A:
        ReadTextRun(script);
        return;
    case 0x0B: {
        std::string bytes;
        for (uint8_t byte = FetchTextByte(script); byte != 0; byte = FetchTextByte(script))
            bytes.push_back(static_cast<char>(byte));
        ShowMessageText(CStringUTF8(bytes.c_str()));
        return;
    }
    case 0x0C:
    case 0x0D:
    case 0x0E:
    case 0x0F:
    case 0x10:
    case 0x11:
    case 0x12:
    case 0x13:
        StoreToBank(opcode);
        return;
    case 0x14: {
        const uint32_t target = fetch_operand();
        if (PopInteger() == 0)
            Jump(script, target);
        return;
    }
    case 0x15:
        Jump(script, fetch_operand());
        return;
    case 0x16: {
        const uint32_t after_body = FetchOperand(script);
        const uint32_t id = static_cast<uint32_t>(PopValue().Integer);
        const uint32_t param_count = static_cast<uint32_t>(PopValue().Integer);
        RegisterFunction(id, param_count, script);
        Jump(script, after_body);
        return;
    }
    case 0x17:
        CallFunction(script);
        return;
    case 0x18:
        CallBuiltinLibrary(script);
        return;
    case 0x19:
    case 0x1A: {
        const uint32_t index = FetchOperand(script);
        if (FlagBuffer* state = GetState()) {
            const size_t slot = opcode == 0x19 ? VALUE_RESUME_POSITION : VALUE_CHOICE_POSITION;
            if (slot < state->Values.size())
                SetIntegerValue(state->Values[slot], static_cast<int32_t>(index));
        }
        if (GetScriptState().SaveDataSnapshot && GetScriptState().SaveDataTable)
            GetScriptState().SaveDataSnapshot->Assign(*GetScriptState().SaveDataTable);
        if (opcode == 0x1A && GetScriptState().m_select_manager && GetScriptState().SaveDataTable) {
            if (FlagBuffer* state = GetState())
                PushSelectBuffer(*GetScriptState().m_select_manager, *state, *GetScriptState().SaveDataTable, GetScriptState());
        }
        return;
    }
    case 0x1B: {
        const uint32_t target = FetchOperand(script);
        const int32_t value = PopValue().Integer;
        ChoiceBranches[CurrentChoiceKey].push_back(ChoiceBranch{script.GetCodeAddress(), value});
        Jump(script, target);
        return;
    }
    case 0x1C:
        RunEscape(script);
        return;
    case 0x32:
        PushInteger(static_cast<int32_t>(fetch_operand()));
        return;
    case 0x33:
        PushInlineString(script);
        return;
    default:
        break;
    }
    if (opcode >= 0x34 && opcode <= 0x43) {
        if (opcode == 0x39) {
            PushInteger(DrawRandom(PopInteger()));
            return;
        }
        RunBinary(opcode);
        return;
    }
    if (opcode == 0xFE) {
        for (int k = 0; k < 3; ++k)
            PopValue();
        return;
    }
    if (opcode == 0xFF) {
        script.Line = static_cast<uint32_t>(PopValue().Integer);
        return;
    }
    // Every other byte is consumed and ignored.
}
