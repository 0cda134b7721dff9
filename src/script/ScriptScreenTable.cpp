#include "script/ScriptScreenTable.h"

#include <array>
#include <cstddef>
#include <utility>

namespace {

std::array<ScriptScreenRun, 1>& Table()
{
    static std::array<ScriptScreenRun, 1> s_table;
    return s_table;
}

} // namespace

void RegisterScriptScreen(ScriptScreen screen, ScriptScreenRun run)
{
    Table()[static_cast<size_t>(screen)] = std::move(run);
}

bool RunScriptScreen(ScriptScreen screen, ScriptValue* out)
{
    // A copy, so a screen that unregisters itself while it runs does not destroy the running call.
    const ScriptScreenRun run = Table()[static_cast<size_t>(screen)];
    if (!run)
        return false;
    run(out);
    return true;
}
