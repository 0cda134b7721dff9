#pragma once
// Sleep(0) and Sleep(1) on the thread that owns the windows rest until that thread has something
// to do or something falls due: the window layer installs the rest, the kernel only calls it.
// Every other thread, and every thread under the virtual clock, keeps the plain yield and sleep.
// Layer-internal, but for NoteDueTime, which a loop that polls the clock calls.

#include <cstdint>
#include <optional>

namespace platform {

// Rests the owner until its next input, message or frame, a timer, the moment noted with
// NoteDueTime or a bound of the window layer's; at least `min_ms` unless input or a message
// ends it sooner. Answers true when input or a message ended it.
using IdleWaitFunction = bool (*)(uint32_t min_ms);

// Makes the calling thread the one whose short sleeps call `wait`; null removes it.
void SetIdleWait(IdleWaitFunction wait);

// Ends the owner's rest from any thread, for a change its loop polls rather than receives (a
// sound that stopped). The window layer installs the wake; without one this does nothing.
using IdleWakeFunction = void (*)();
void SetIdleWake(IdleWakeFunction wake);
void WakeIdleOwner();
// The wake for a frame presented on another thread; without one, the plain wake.
void SetFrameWake(IdleWakeFunction wake);

// A frame was presented, from any thread: the owner's loop is animating (its rests go back to
// the millisecond pace), or another thread drew something it may wait for (its rest ends).
void NoteFramePresented();
// The rest's side: whether the owner presented since the last call.
bool TakeOwnerPresented();

// The owner's loop wants to turn again by `time_ms` on timeGetTime's clock, so its rests end by
// then. Notes from other threads are ignored; the earliest of several counts until its time.
void NoteDueTime(uint32_t time_ms);
// The rest's side: the note; one whose time has come is answered a last time and cleared, and a
// note made since then follows it. Once a rest lasted until the time (DueTimeServed), a note made
// since then shows that the loop has turned at the time: it is answered at once instead.
std::optional<uint32_t> TakeDueTime();
// The rest's side: a rest that the note taken as `time_ms` bounded lasted until that time.
void DueTimeServed(uint32_t time_ms);

// The owner's loop changes its picture only at the times it notes: the frame it presents in this
// turn is a step, and its next step is due at `time_ms`. Its rests after that frame then last
// until the note rather than pacing a loop that animates by polling. Notes the time too.
void NoteNextStep(uint32_t time_ms);
// The rest's side: whether the owner noted its next step since the last call.
bool TakeStepNoted();

} // namespace platform
