#pragma once
// The screens script commands open or drive. Screens sit above the script, so they register here:
// the shell the screens it holds for the whole game (reading its own pointers at each call, so a
// screen it replaces or frees is never reached), the screens area the ones a command builds, runs
// and destroys itself. A command that finds no entry opens nothing and keeps its answer as preset.
// Main thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "script/ScriptValue.h"

class CScript;
class IScriptMessageScreen;
class IScriptMessageWindow;

enum class ScriptScreen
{
    Choice, // the choice window: its answer is the picked branch, -1 when none

    // Held by the shell.
    AreaBase,            // (mode): the search base's answer
    AreaSelectSource,    // (hit file name): the search screen's hit source
    AreaSelect,          // the search screen's answer
    AreaSelectClear,     // the search screen's files dropped
    TownMap,             // one town-map command; the map pops its own arguments
    StatusPlateShow,     // the information plate, animated in
    StatusPlateHide,     // and out
    StatusPlateCalendar, // its calendar drawn again
    AutoSave,            // the save screen's auto save
    FaceVoiceStart,      // (table name): the table loaded and, when it loads, its items started
    FaceVoiceStop,       // the face voices' task removed and their items cleared
    PictureBegin,        // (picture name): the picture registry starts a combination
    PictureOverlay,      // (picture name, index): an overlay of the combination
    PictureRegister,     // the combination registered

    // Built, run and destroyed for one command.
    TimeSelect,      // (mode): its answer, 0 when it cannot be built
    MiniDialog,      // (number): a notice
    MiniDialog2,     // (number): the second kind of notice
    CharSelect,      // (kind): its answer, -1 when it cannot be built
    Comment,         // (index): a diary page
    CharAreaSelect,  // its answer
    ConfirmDialog,   // the confirmation's answer
    NameInput,       // 1 when the entry ran, 0 when it could not be built
    Title,           // (page): the title's answer
    TitleSP,         // the special title's answer
    TitleAnimation,  // the title animation played
    Extras,          // (mode): an extras page's answer, -1 when it cannot be built
    MarkHeroineSeen, // (heroine): her pictures and scenes marked seen
    MiniGame,        // (sub-command, its four or two integers): the slot machine

    Count,
};

// What a command hands the screen: the values it popped for it, in popping order, and the
// running script.
struct ScriptScreenCall
{
    std::vector<ScriptValue> Arguments;
    CScript* Script = nullptr;

    int32_t IntegerAt(size_t i) const { return i < Arguments.size() ? Arguments[i].Integer : 0; }
    CStringUTF8 TextAt(size_t i) const { return i < Arguments.size() ? Arguments[i].Text : CStringUTF8(); }
};

// Runs the screen and leaves its answer in out (which may be null when the command wants none).
using ScriptScreenRun = std::function<void(const ScriptScreenCall& call, ScriptValue* out)>;

// An empty run removes the entry.
void RegisterScriptScreen(ScriptScreen screen, ScriptScreenRun run);
// False, with out untouched, when no screen is registered.
bool RunScriptScreen(ScriptScreen screen, ScriptValue* out, const ScriptScreenCall& call = {});

// The message window the story's message commands drive, asked for at each command: null while
// the shell holds none. An empty finder removes it.
void RegisterScriptMessageWindow(std::function<IScriptMessageWindow*()> find);
IScriptMessageWindow* FindScriptMessageWindow();

// The message screen a script builds and keeps until it drops it; null when none is registered
// or the screen cannot be built.
void RegisterScriptMessageScreen(std::function<std::unique_ptr<IScriptMessageScreen>()> make);
std::unique_ptr<IScriptMessageScreen> MakeScriptMessageScreen();
