#include "script/commands/CFuncFlag.h"

#include <algorithm>
#include <array>

#include "foundation/CExecException.h"
#include "foundation/GameDocument.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/save/SaveStore.h"
#include "script/vm/ScriptContext.h"
#include "script/vm/ScriptError.h"

namespace {

template <typename Vector>
void ResizeArray(Vector& array, int32_t count)
{
    array.resize(static_cast<size_t>(std::max(count, 0)));
}

} // namespace

void IFuncFlag::Call(CScript&)
{
    if (Context == nullptr)
        return;
    ScriptContext& context = *Context;
    const int32_t sub = context.PopInteger();
    if (sub < 0 || sub > 14)
        return;
    if (sub == 0) {
        const int32_t flags = context.PopInteger();
        const int32_t words = context.PopInteger();
        const int32_t bytes = context.PopInteger();
        const int32_t variables = context.PopInteger();
        ResizeFlags(flags, words, bytes, variables);
        return;
    }
    if (sub == 13) {
        ClearFlags();
        return;
    }
    if (sub == 14) {
        const int32_t start = context.PopInteger();
        const int32_t end = context.PopInteger();
        FillFlags(start, end, context.PopInteger());
        return;
    }
    const auto file = static_cast<uint32_t>(context.PopInteger());
    switch (sub) {
    case 1:
        LoadAndRestart(file);
        return;
    case 2:
        (void)SaveFlagFile(file); // a failure is reported by the save; scripts get no result
        return;
    case 11:
        MergeIntoFlagFile(file);
        return;
    case 12:
        ReloadFlagFile(file);
        return;
    default:
        break;
    }
    const int32_t start = context.PopInteger();
    const int32_t count = context.PopInteger();
    constexpr FlagArray ARRAYS[] = {FlagArray::Flags, FlagArray::Words, FlagArray::Bytes,
                                    FlagArray::Variables};
    if (sub <= 6)
        LoadRangeFromFile(ARRAYS[sub - 3], file, start, count);
    else
        StoreRangeToFile(ARRAYS[sub - 7], file, start, count);
}

int IFuncFlag::LoadFlagFile(uint32_t file, FlagBuffer* target)
{
    if (target == nullptr)
        target = CurrentState;
    FlagBuffer scratch;
    return SaveStore::ReadFlagFile(file, target != nullptr ? *target : scratch) == SaveFileRead::Loaded ? 1
                                                                                                        : 0;
}

void IFuncFlag::ReloadFlagFile(uint32_t file)
{
    LoadFlagFile(file, CurrentState);
}

int IFuncFlag::SaveFlagFile(uint32_t file, const FlagBuffer* source)
{
    if (source == nullptr)
        source = CurrentState;
    if (source == nullptr)
        return 0;
    return SaveStore::WriteFlagFile(file, *source) ? 1 : 0;
}

void IFuncFlag::SetCurrentState(const FlagBuffer& source)
{
    if (CurrentState != nullptr)
        CurrentState->Assign(source);
}

void IFuncFlag::ResizeFlags(int32_t flags, int32_t words, int32_t bytes, int32_t variables)
{
    if (CurrentState == nullptr)
        return;
    // Far past what any flag file holds, a count is a script's fault: refused whole, before it
    // asks for more memory than the machine has.
    if (std::max({flags, words, bytes}) > MAX_FLAG_ARRAY_SIZE || variables > MAX_FLAG_VARIABLES) {
        ReportScriptError(CStringUTF8("フラグバッファの大きさが上限を超えています"));
        return;
    }
    // A negative count empties the array rather than asking for a gigantic one.
    ResizeArray(CurrentState->Flags, flags);
    ResizeArray(CurrentState->Words, words);
    ResizeArray(CurrentState->Bytes, bytes);
    ResizeArray(CurrentState->Variables, variables);
}

void IFuncFlag::LoadAndRestart(uint32_t file)
{
    FlagBuffer loaded;
    const bool read = SaveStore::ReadFlagFile(file, loaded) == SaveFileRead::Loaded;
    if (Document != nullptr && CurrentState != nullptr) {
        // A restart the game cannot carry out would end it: refused before anything changes,
        // and the script goes on with the state it has.
        CStringUTF8 reason = GetScriptState().SaveDataTable
                                 ? GetScriptState().CheckScriptStack(*GetScriptState().SaveDataTable)
                                 : CStringUTF8();
        const CStringUTF8 name = read ? loaded.Name : CurrentState->Name;
        std::shared_ptr<CScript> script;
        if (reason.IsEmpty()) {
            try {
                script = GetScriptState().AttachScript(name);
            } catch (const CExecException&) {
                reason = ScriptState::MissingScriptReason(name);
            }
        }
        if (!reason.IsEmpty()) {
            static constexpr std::array<const char*, 4> TEXTS = {
                "The game cannot start again from flag file %u.\n%s",
                "无法从标志文件 %u 重新开始。\n%s",
                "無法從旗標檔案 %u 重新開始。\n%s",
                "フラグファイル %u からは始め直せません。\n%s",
            };
            CStringUTF8 text;
            ReportScriptError(text.Format(SaveStore::InPlayerLanguage(TEXTS), file, reason.GetText()));
            return;
        }
        if (read)
            CurrentState->Assign(loaded);
        GetScriptState().ReplaceScript(script);
    } else if (read && CurrentState != nullptr) {
        CurrentState->Assign(loaded);
    }
    throw GameDocument::DOCUMENT_RESTORE_STACK;
}

void IFuncFlag::LoadFlagsFromFile(uint32_t file, int32_t start, int32_t count)
{
    LoadRangeFromFile(FlagArray::Flags, file, start, count);
}

void IFuncFlag::LoadWordsFromFile(uint32_t file, int32_t start, int32_t count)
{
    LoadRangeFromFile(FlagArray::Words, file, start, count);
}

void IFuncFlag::LoadBytesFromFile(uint32_t file, int32_t start, int32_t count)
{
    LoadRangeFromFile(FlagArray::Bytes, file, start, count);
}

void IFuncFlag::LoadVariablesFromFile(uint32_t file, int32_t start, int32_t count)
{
    LoadRangeFromFile(FlagArray::Variables, file, start, count);
}

void IFuncFlag::StoreFlagsToFile(uint32_t file, int32_t start, int32_t count)
{
    StoreRangeToFile(FlagArray::Flags, file, start, count);
}

void IFuncFlag::StoreWordsToFile(uint32_t file, int32_t start, int32_t count)
{
    StoreRangeToFile(FlagArray::Words, file, start, count);
}

void IFuncFlag::StoreBytesToFile(uint32_t file, int32_t start, int32_t count)
{
    StoreRangeToFile(FlagArray::Bytes, file, start, count);
}

void IFuncFlag::StoreVariablesToFile(uint32_t file, int32_t start, int32_t count)
{
    StoreRangeToFile(FlagArray::Variables, file, start, count);
}

void IFuncFlag::ClearFlags()
{
    if (CurrentState == nullptr)
        return;
    std::ranges::fill(CurrentState->Flags, uint8_t{0});
    std::ranges::fill(CurrentState->Words, uint16_t{0});
    std::ranges::fill(CurrentState->Bytes, uint8_t{0});
    for (ScriptValue& variable : CurrentState->Variables)
        SetIntegerValue(variable, 0);
}

void IFuncFlag::FillFlags(int32_t start, int32_t end, int32_t value)
{
    if (CurrentState == nullptr)
        return;
    std::vector<uint8_t>& flags = CurrentState->Flags;
    const int64_t first = std::max<int64_t>(start, 0);
    const int64_t last = std::min<int64_t>(end, static_cast<int64_t>(flags.size()));
    for (int64_t i = first; i < last; ++i)
        flags[static_cast<size_t>(i)] = static_cast<uint8_t>(value);
}

void IFuncFlag::LoadRangeFromImage(FlagArray array, const FlagBuffer& image, int32_t start, int32_t count)
{
    if (CurrentState != nullptr)
        SaveStore::LoadRangeFromImage(array, *CurrentState, image, start, count);
}

bool IFuncFlag::StoreRangeToImage(FlagArray array, FlagBuffer& image, int32_t start, int32_t count)
{
    return CurrentState != nullptr && SaveStore::StoreRangeToImage(array, image, *CurrentState, start, count);
}

void IFuncFlag::MergeFlagsIntoImage(FlagBuffer& image, const FlagBuffer& source)
{
    SaveStore::MergeFlagsIntoImage(image, source);
}

void IFuncFlag::LoadRangeFromFile(FlagArray array, uint32_t file, int32_t start, int32_t count)
{
    if (CurrentState != nullptr)
        SaveStore::LoadRangeFromFile(array, file, *CurrentState, start, count);
}

void IFuncFlag::StoreRangeToFile(FlagArray array, uint32_t file, int32_t start, int32_t count)
{
    if (CurrentState != nullptr)
        SaveStore::StoreRangeToFile(array, file, *CurrentState, start, count);
}

void CFuncFlag::MergeIntoFlagFile(uint32_t file, const FlagBuffer* source)
{
    if (source == nullptr)
        source = CurrentState;
    if (source != nullptr)
        SaveStore::MergeIntoFlagFile(file, *source);
}
