#pragma once
// The story's route as a player takes it, in phases, for any player (a real window or headless):
// each step waits until its screen shows and is then checked for what must and must not be on it.
// From a new player's first start (the title not skipped, auto mode off) the phases run in order:
// the story to a quick save, a close and Continue on a second start; the choice and the exec
// scene's question; the town's day through the area screens; the town, its sub map and door; the
// name entry, the notices, the train trip and the movies to the ending and the special title,
// where the game is closed; a last start shows the special title again and its back item the
// title.

#include <string>

#include "DemoPlayer.h"

void PlayToContinue(DemoPlayer& x);
void PlayTheChoice(DemoPlayer& x);
void PlayTheDay(DemoPlayer& x);
// The day in two halves: up to the character-area screen, and from it to the area screens.
void PlayTheDayToTheCharacterArea(DemoPlayer& x);
void PlayTheDayFromTheCharacterArea(DemoPlayer& x);
void PlayTheTown(DemoPlayer& x);
// The town in two halves: drawn with its sub map opened and closed, and the walk to the door.
void PlayTheTownAndItsSubMap(DemoPlayer& x);
void WalkToTheDoor(DemoPlayer& x);
// The name entry, the name in a message, the two notices, the train trip, the movies, the ending
// and the special title: the two phases below.
void PlayToTheSpecialTitle(DemoPlayer& x);
void PlayTheNameAndTheNotices(DemoPlayer& x);
// From the train trip (or a line of it) on: its lines clicked on, the movies, the ending and the
// special title.
void PlayTheTripToTheSpecialTitle(DemoPlayer& x);
// PlayToTheSpecialTitle, then the close box ends the game.
void PlayToTheEnd(DemoPlayer& x);
void PlayTheNextStart(DemoPlayer& x);

// What the steps look for on a frame.
namespace route {
// Pure #00FF00 is the demo pictures' colour key: a pixel of it on screen is a key not applied.
int KeyGreenIn(const platform::PngPicture& frame);
// The title with its six buttons, no message window over it.
bool TitleShown(const platform::PngPicture& frame);
bool SpecialTitleShown(const platform::PngPicture& frame);
bool LogoShown(const platform::PngPicture& frame);
// A story line typed out to its click prompt.
bool StoryLineShown(const platform::PngPicture& frame);
// The calendar plate in the top left corner.
bool PlateShown(const platform::PngPicture& frame);
// A dialog's question with its yes and no, as the exec scene asks it.
bool QuestionShown(const platform::PngPicture& frame);
// The character-area screen: its help bar and back button.
bool CharacterAreaShown(const platform::PngPicture& frame);
// The town map drawn.
bool TownShown(const platform::PngPicture& frame);
// The first sub map over whatever ran it.
bool SubMapShown(const platform::PngPicture& frame);
// The first sub map with its buttons, as it stands once its faces are drawn.
bool SubMapFacesShown(const platform::PngPicture& frame);
// The characters whose face the first sub map shows at more than one of its places, as
// "character: count" items; empty when each stands at one place at most.
std::string CharactersAtSeveralPlaces(const platform::PngPicture& frame);
// The story text the scenes typeset into sprite 100: its first line.
bool SceneTextShown(const platform::PngPicture& frame);
} // namespace route
