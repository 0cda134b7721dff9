#pragma once
// The story's route as a player takes it, in phases, for any player (a real window or headless):
// each step waits until its screen shows and is then checked for what must and must not be on it.
// From a new player's first start (the title not skipped, auto mode off) the phases run in order:
// the story to a quick save, a close and Continue on a second start; the choice and the exec
// scene's question; the town's day through the area screens; the town, its sub map and door; the
// name entry, the notices, the train trip and the movies to the ending and the special title,
// where the game is closed; a last start shows the special title again and its back item the
// title.

#include "DemoPlayer.h"

void PlayToContinue(DemoPlayer& x);
void PlayTheChoice(DemoPlayer& x);
void PlayTheDay(DemoPlayer& x);
void PlayTheTown(DemoPlayer& x);
void PlayToTheEnd(DemoPlayer& x);
void PlayTheNextStart(DemoPlayer& x);
