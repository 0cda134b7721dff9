#pragma once
// The turn of every loop that polls while it waits on the main thread.

class GameDocument;

// Pumps the messages, yields (the window thread rests there until something is due) and runs one
// event tick of the document, when there is one. False when the application is quitting, and
// nothing else is done then; without an application there is no pump and the pass goes on.
bool RunWaitPass(GameDocument* document);
