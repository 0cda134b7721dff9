#include "foundation/PlayerMessage.h"

#include <atomic>
#include <utility>

#include "foundation/LineBreakRules.h"
#include "platform/kernel/ModuleApi.h"
#include "platform/user/MessageBoxApi.h"
#include "platform/user/MessageBoxPolicy.h"

namespace {

std::atomic<PlayerMessageSink> g_sink{nullptr}; // constant-initialised: usable before main

// The boxes wrap their texts by the line-start table of every other text; the tables' list, the
// longer one, as their texts are the program's own.
const platform::LineStartRule g_previous_rule = platform::SetMessageBoxLineStartRule(
    [](char16_t unit) { return IsLineStartForbidden(unit, ClosingMarks::TableText); });

} // namespace

PlayerMessageSink SetPlayerMessageSink(PlayerMessageSink sink)
{
    return g_sink.exchange(sink);
}

int ShowPlayerMessage(UINT flags, CStringUTF8 text)
{
    if (PlayerMessageSink sink = g_sink.load())
        return sink(flags, std::move(text));
    char16_t module_path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module_path, MAX_PATH);
    return MessageBoxW(nullptr, text.GetWideText(), module_path, flags);
}
