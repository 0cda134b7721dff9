#pragma once
// Ways a player leaves the story's route, for any player (a real window or headless), each from a
// new player's first start (the title shown, auto mode off, the exit question off): every step
// waits until its screen shows and checks what must and must not be on it, and no script error
// box may show on the way. A save into the first slot, the game closed and the save loaded on the
// next start; Return to title from the side menu, and from the menu bar where the player has one;
// the flag manager's jump to an event; quick saves on each kind of screen that offers one, loaded
// on the next start; and Continue once the ending has been played (from a save on the train
// trip's epilogue line).

#include <functional>
#include <string>

#include "DemoPlayer.h"

void SaveInTheFirstSlotAndLoadItOnTheNextStart(DemoPlayer& x);
// With `menu_bar` the second way back is the menu bar's Game > Return to title.
void ReturnToTheTitleBothWays(DemoPlayer& x, bool menu_bar);
// The game mode's flag button on (the caller's settings). The jump on a new game, then again once
// a quick save has been loaded in the same run, which leaves its resume point behind as a game
// continued after the ending does. Each event goes on into the town, left for the title.
void JumpToTheNextEventOnANewGame(DemoPlayer& x);
// The game mode's flag button on. The jump, the town and Return to title, then New game read to
// the choice: neither the event's day, time and money on the plate nor a plate at all, and the
// story's morning in the choice's auto save.
void NewGameAfterTheJumpStartsFromTheStorysMorning(DemoPlayer& x);
// The game mode's flag button on and a cleared game's system files (the caller's). The special
// title's start, Return to title from its game (which reloads the new game's state with the
// special scenario on, as the ending leaves it), the title, a new game and the jump: the event
// plays and goes on into the town.
void JumpToTheNextEventAfterTheSpecialScenario(DemoPlayer& x);
void QuickSaveOnEachKindOfScreenAndContinue(DemoPlayer& x);
// The game mode's faces. New game, the story to the choice, the day's screens and the town: the
// day's sub map and the town's show each character at one place at most.
void PlayANewGameToTheTownsSubMap(DemoPlayer& x);
// The story's first two lines quick-saved and the game closed; the older save made into one on
// the train trip's epilogue line (MoveSaveToTheEpilogue, DemoRun.h), which the next start's title
// loads: the epilogue's line over its picture, nothing of the title left over it.
// `continued_line` is the newer save's line (its cells), which Continue loads.
void LoadTheEpilogueOnANewStart(DemoPlayer& x, std::string& continued_line);
// The epilogue loaded, the rest of the route to the special title, its back item, then Continue.
void ContinueAfterTheEnding(DemoPlayer& x);
// A quick save on the first line, the choice (its auto save), the quick load, then the auto save
// loaded from the side menu: the choice comes back without the first line under it; the quick
// save carries the calendar's weekday of its date.
void LoadTheChoicesAutoSaveOverAnotherLine(DemoPlayer& x);
// In a real window, where the layer draws its boxes: a save in the first slot, then the system
// file damaged (the load screen's opening rebuilds it and says so) and the slot damaged (its load
// refused): each box closes on a click on its OK button, at the load screen.
void DamagedSaveBoxesCloseOnAClick(DemoPlayer& x);
// One round of a long session, from the title and back to it, on a new player's settings: the
// settings and their sound page; a new game saved into a new slot, quick saved, its backlog
// opened and closed, read through the choice, the day's screens, the town and its sub map to the
// door, and the side menu's Return to title; the newest save loaded and Return to title again;
// the extras' gallery, a CG in its viewer, a scene replayed and the music room; the slot machine
// played once. `at_title` is told each time the title shows again.
void PlayASessionRound(HeadlessDemoPlayer& x, const std::function<void(const char* after)>& at_title);
