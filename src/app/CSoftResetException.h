#pragma once
// Thrown to restart the game without ending the process: the run loop runs the exit and the
// initialisation again and goes on with the new document.

class CSoftResetException
{};
