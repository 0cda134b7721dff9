#pragma once
// Hands a failure that ended a worker thread to the main thread. A thread posts the text at its
// top-level catch; the main thread's message pump takes it and ends the game the way its own
// failures do (message box, normal exit, settings written). Only the first failure is kept: the
// later ones are usually its consequences. Any thread.

#include <optional>
#include <string>

namespace platform {

// text: UTF-8, as the player will read it.
void PostThreadFailure(std::string text);
// The pending failure, cleared by the call; nothing when no thread failed.
std::optional<std::string> TakeThreadFailure();
bool IsThreadFailurePending();

// The text for the exception being handled (inside a catch block): the what() of a standard
// exception, else a generic text.
std::string DescribeStandardException();

// Test hook: the next `count` thread starts fail as if the system had no resources left.
void FailNextThreadStarts(int count);

} // namespace platform
