#include "foundation/PlayerMessage.h"

#include <atomic>
#include <utility>

#include "platform/kernel/ModuleApi.h"
#include "platform/user/MessageBoxApi.h"

namespace {

std::atomic<PlayerMessageSink> g_sink{nullptr}; // constant-initialised: usable before main

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
