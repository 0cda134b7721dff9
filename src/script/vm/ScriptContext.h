#pragma once
// The interpreter state that the document owns: the value stack, the script functions, the
// choice branches, the backlog ring, the exec group and the random engine. Step runs exactly
// one instruction or one text run of a script and returns; scripts end and return by throwing
// the document's codes. Main thread only.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "script/ScriptValue.h"
#include "script/commands/CFuncString.h"
#include "script/commands/IFunc.h"
#include "script/vm/BacklogStore.h"
#include "script/vm/CScript.h"

class FlagBuffer;

// A script-defined function. The reference keeps the script that holds the body alive for as
// long as the function can be called.
struct ScriptFunction
{
    uint32_t ParamCount = 0;
    uint32_t BodyPosition = 0;
    ScriptRef Script;
};

struct ChoiceBranch
{
    CodeAddress BodyAddress;
    int32_t Value = 0;
};

// More parameters than any script passes; a larger count is refused at definition, so that a
// damaged count cannot pop and report without end or allocate gigabytes at the call.
inline constexpr uint32_t MAX_FUNCTION_PARAMS = 256;

// Nesting limits that keep a looping or damaged script from exhausting the stack or memory: a
// shifted run nests a frame loop on the machine stack, a script function call a frame and a
// suspended caller on the document.
inline constexpr int MAX_SHIFTED_RUN_DEPTH = 16;
inline constexpr size_t MAX_FUNCTION_CALL_DEPTH = 10'000;

// Engine-state bits of the text code.
inline constexpr uint32_t ENGINE_STATE_MEASURE_LINES = 0x20000000;
inline constexpr uint32_t ENGINE_STATE_SHIFTED_RUN = 0x40000000;
inline constexpr uint32_t ENGINE_STATE_MEASURE = 0x80000000;

class ScriptContext
{
public:
    using GroupFactory = std::function<std::unique_ptr<IFunc>()>;

    ScriptContext();
    ~ScriptContext();
    ScriptContext(const ScriptContext&) = delete;
    ScriptContext& operator=(const ScriptContext&) = delete;

    // One instruction or one text run.
    void Step(CScript& script);

    // Consumes one code byte; records it for the backlog while bits 0x80 and 0x200 are set.
    uint8_t FetchCodeByte(CScript& script);
    // A four-byte big-endian operand.
    uint32_t FetchOperand(CScript& script);
    // Consumes one text byte; records it while bits 0x80 and 0x100 are set.
    uint8_t FetchTextByte(CScript& script);

    void Push(const ScriptValue& value) { ValueStack.push_back(value); }
    // Made in place: the hottest push, and a moved value costs its text's move.
    void PushInteger(int32_t integer) { ValueStack.emplace_back().Integer = integer; }
    // The top value moved into the record, or the empty value with a report when the stack is
    // empty.
    ScriptValue& PopValue(ScriptValue& out);
    ScriptValue PopValue();
    // The top value's integer, popped; reports and answers 0 as PopValue does on an empty stack.
    int32_t PopInteger();
    void PushInlineString(CScript& script);

    // 1 when registered; 0, with a report, when the ID is taken or the count is impossible.
    int RegisterFunction(uint32_t id, uint32_t param_count, CScript& script);
    void CallFunction(CScript& script);
    void CallBuiltinLibrary(CScript& script);

    void ReadTextRun(CScript& script);
    // Records the text for the backlog, then measures it or typesets it into the layer of the
    // sprite that V[53] names, and writes the pen back.
    void ShowMessageText(CStringUTF8 text);
    // A text box filled from the layout values: the message's own, or a shifted run's.
    TextBox MakeMessageBox(bool shifted_run);
    // Runs `typeset`, which draws into the layer of the sprite that V[53] names, under the draw
    // lock; when that sprite is on screen, presents the frame that shows what it drew.
    void TypesetIntoTextSprite(const std::function<void()>& typeset);
    // Adds a measured width to the current line and the total; -1 starts a new line only.
    void AddMeasuredWidth(int32_t width);
    // Either measure-mode bit is set.
    bool IsMeasuring() const;
    void RunEscape(CScript& script);
    // Opens a backlog record before message text unless one is open.
    void PrepareBacklogEntry();

    // A uniform draw in [0, |n|) by the engine's own rejection method; 0 for a range of 0.
    int32_t DrawRandom(int32_t n);
    void SeedRandom(uint32_t seed) { Random.seed(seed); }

    // Replaces the group a per-call library ID builds (the table of built-in groups otherwise).
    void SetLibraryGroup(int32_t id, GroupFactory factory);
    void SetExecGroup(std::unique_ptr<IFunc> exec) { m_exec = std::move(exec); }
    IFunc* GetExecGroup() { return m_exec.get(); }

    // Drops everything the context holds.
    void Release();

    std::vector<ScriptValue> ValueStack;
    std::map<uint32_t, ScriptFunction> Functions;
    int32_t CurrentChoiceKey = 0;
    std::map<int32_t, std::vector<ChoiceBranch>> ChoiceBranches;
    BacklogStore Backlog;
    std::vector<uint8_t> ReadBuffer; // already-read bits: message n is 0x80 >> (n & 7) of byte n >> 3
    // Voice names the voice group's load collects while bit 0x400 is set; the backlog empties it.
    std::vector<CStringUTF8> CollectedVoiceNames;
    std::mt19937 Random;
    uint32_t RandomSeed = 0;      // the seed drawn from the hardware at start-up
    int32_t m_text_area_word = 0; // cleared by a new line; the message window reads it

private:
    FlagBuffer* GetState() const;
    bool IsRecording(uint32_t bits) const;
    void ReportBank(const char* bank, int32_t index, size_t size);
    // kind counts the banks in opcode order: Flags, Words, Values, Variables, Locals, Bytes, ...
    void ReportBankOf(const FlagBuffer& bank, size_t kind, int32_t index);
    std::vector<ScriptValue>* GetLocals();
    void LoadFromBank(uint8_t opcode);
    void RunBinary(uint8_t opcode);
    void ReplaceTopWithInteger(int32_t integer);
    void StoreToBank(uint8_t opcode);
    void Jump(CScript& script, uint32_t offset);
    void NewLine();
    void ShiftedRun(CScript& script);
    // (V[30] - V[34]) / 2: centres a glyph narrower than its cell.
    int32_t CentringOffset() const;

    std::unique_ptr<IFunc> m_exec;
    std::array<GroupFactory, 30> m_group_overrides;
    int m_shifted_run_depth = 0;
};
