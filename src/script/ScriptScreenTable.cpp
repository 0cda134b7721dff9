#include "script/ScriptScreenTable.h"

#include <array>
#include <cstddef>
#include <utility>

#include "script/IScriptMessageScreen.h"
#include "script/IScriptMessageWindow.h"

namespace {

std::array<ScriptScreenRun, static_cast<size_t>(ScriptScreen::Count)>& Table()
{
    static std::array<ScriptScreenRun, static_cast<size_t>(ScriptScreen::Count)> s_table;
    return s_table;
}

std::function<IScriptMessageWindow*()>& MessageWindowFinder()
{
    static std::function<IScriptMessageWindow*()> s_find;
    return s_find;
}

std::function<std::unique_ptr<IScriptMessageScreen>()>& MessageScreenMaker()
{
    static std::function<std::unique_ptr<IScriptMessageScreen>()> s_make;
    return s_make;
}

} // namespace

void RegisterScriptScreen(ScriptScreen screen, ScriptScreenRun run)
{
    Table()[static_cast<size_t>(screen)] = std::move(run);
}

bool RunScriptScreen(ScriptScreen screen, ScriptValue* out, const ScriptScreenCall& call)
{
    // A copy, so a screen that unregisters itself while it runs does not destroy the running call.
    const ScriptScreenRun run = Table()[static_cast<size_t>(screen)];
    if (!run)
        return false;
    run(call, out);
    return true;
}

void RegisterScriptMessageWindow(std::function<IScriptMessageWindow*()> find)
{
    MessageWindowFinder() = std::move(find);
}

IScriptMessageWindow* FindScriptMessageWindow()
{
    const std::function<IScriptMessageWindow*()>& find = MessageWindowFinder();
    return find ? find() : nullptr;
}

void RegisterScriptMessageScreen(std::function<std::unique_ptr<IScriptMessageScreen>()> make)
{
    MessageScreenMaker() = std::move(make);
}

std::unique_ptr<IScriptMessageScreen> MakeScriptMessageScreen()
{
    const std::function<std::unique_ptr<IScriptMessageScreen>()>& make = MessageScreenMaker();
    return make ? make() : nullptr;
}
