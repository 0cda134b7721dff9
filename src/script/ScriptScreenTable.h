#pragma once
// The screens script commands open. Screens sit above the script, so the shell registers each
// one here when it builds it and removes it when it destroys it; a command that finds no entry
// opens nothing. Main thread only.

#include <functional>

struct ScriptValue;

enum class ScriptScreen
{
    Choice, // the choice window: its answer is the picked branch, -1 when none
};

// Runs the screen modally and leaves its answer in out.
using ScriptScreenRun = std::function<void(ScriptValue* out)>;

// An empty run removes the entry.
void RegisterScriptScreen(ScriptScreen screen, ScriptScreenRun run);
// False, with out untouched, when no screen is registered.
bool RunScriptScreen(ScriptScreen screen, ScriptValue* out);
