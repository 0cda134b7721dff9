#include "script/commands/CFuncValue.h"

#include <algorithm>
#include <string>

#include "script/FlagBuffer.h"
#include "script/vm/ScriptContext.h"

namespace {

constexpr const char* FULL_WIDTH_DIGITS[10] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};

// More padding than any line shows; a damaged digit count would otherwise ask for gigabytes of
// zeros.
constexpr uint32_t MAX_NUMBER_DIGITS = 256;

// Backlog markers before a recorded number.
constexpr uint8_t RECORDED_FULL_WIDTH_NUMBER = 10;
constexpr uint8_t RECORDED_HALF_WIDTH_NUMBER = 11;

} // namespace

void CFuncValue::Call(CScript&)
{
    if (Context->PopInteger() == 0)
        ShowNumber();
}

CStringUTF8 FormatNumber(const NumberDisplaySpec& spec)
{
    CStringUTF8 format("%");
    if (spec.Digits != 0)
        format.AppendFormat("0%u", std::min(spec.Digits, MAX_NUMBER_DIGITS));
    format.Append(spec.Signed != 0 ? "d" : "u");
    CStringUTF8 text;
    text.Format(format.GetText(), spec.Value);
    if (spec.FullWidth != 1)
        return text;
    CStringUTF8 wide;
    for (char digit : text.GetStdString()) {
        const int index = CStringUTF8(std::string(1, digit)).ToInt();
        if (index >= 0 && index <= 9)
            wide.Append(FULL_WIDTH_DIGITS[index]);
    }
    return wide;
}

void CFuncValue::ShowNumber()
{
    const int32_t value = Context->PopInteger();
    if (!CurrentState || CurrentState->Values.size() < FLAG_BUFFER_VALUE_COUNT)
        return;
    std::vector<ScriptValue>& v = CurrentState->Values;
    NumberDisplaySpec spec;
    spec.Box = Context->MakeMessageBox(false);
    // The number starts at the pen itself, without the message text's centring.
    spec.Box.CursorX = v[50].Integer;
    spec.FullWidth = v[40].Integer;
    spec.Digits = static_cast<uint32_t>(v[41].Integer);
    spec.Value = value;
    spec.Signed = 0;
    spec.Box.Text = FormatNumber(spec);
    if (Context->IsMeasuring()) {
        Context->AddMeasuredWidth(spec.Box.Text.GetCharCount());
        return;
    }
    DrawNumber(spec, CurrentState->TestEngineState(ENGINE_STATE_RECORDING));
    SetIntegerValue(v[50], spec.Box.CursorX);
}

void CFuncValue::DrawNumber(NumberDisplaySpec& spec, bool recording)
{
    if (recording && CurrentState &&
        CurrentState->TestEngineState(ENGINE_STATE_RECORDING | ENGINE_STATE_ENTRY_OPEN)) {
        BacklogStore& backlog = Context->Backlog;
        if (spec.FullWidth == 1)
            backlog.AppendCode(RECORDED_FULL_WIDTH_NUMBER);
        else if (spec.FullWidth == 0)
            backlog.AppendCode(RECORDED_HALF_WIDTH_NUMBER);
        const int count = spec.Box.Text.GetCharCount();
        for (int i = 0; i < count; ++i) {
            const CStringUTF8 character(spec.Box.Text.GetCharAt(i).c_str());
            // The replay reads marker 10 as a Shift-JIS text run, so full-width digits go in as
            // Shift-JIS; in UTF-8 they would come back as other characters.
            const std::string bytes = spec.FullWidth == 1 ? character.ToAnsi() : character.GetStdString();
            for (char byte : bytes)
                backlog.AppendCode(static_cast<uint8_t>(byte));
            backlog.AppendText(character);
        }
        backlog.AppendCode(0);
    }
    CFuncString typesetter;
    Context->TypesetIntoTextSprite([&] { typesetter.TypesetText(spec.Box); });
}
