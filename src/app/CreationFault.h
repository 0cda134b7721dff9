#pragma once
// A switch that makes one named creation step fail as if memory had run out, so that every
// failure path of the start-up can be walked. Off unless a test sets it. Main thread only.

// The step whose failure text equals the text fails; null switches it off.
void InjectCreationFault(const char* failure_text);
// True when the step with this failure text is to fail.
bool IsCreationFaultInjected(const char* failure_text);
