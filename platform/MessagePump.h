#pragma once

// Dispatches every window message waiting for this thread, then returns. Long work on the
// user-interface thread calls it so that Pause, Cancel and timers run nested inside the work.
// A WM_QUIT met here is taken off the queue and remembered, not posted again: posted again, every
// later call would meet it once more, and a modal loop opened afterwards would end at once. The outer
// message loop takes the remembered quit (TakePendingQuit) once the nested work has unwound.
// Returns false while a quit is remembered, whether met by this call or an earlier one.
bool ProcessPendingMessages();

// The same, but only when at least `intervalMs` have passed since it last did so; otherwise returns
// at once. Under Wine each look at the queue is a round trip to the server: looking after every
// 256 KiB of a copy slowed large copies by half, while a look every few milliseconds keeps the
// window just as responsive.
bool ProcessPendingMessagesEvery(unsigned intervalMs);

// Remembers a quit that a nested loop took off the queue (a later one replaces the exit code).
void RememberQuit(int exitCode);

// True while a quit is remembered and has not yet been taken by the outer loop.
bool QuitPending();

// For the outer loop: true once for a remembered quit, with its exit code; it is then forgotten.
bool TakePendingQuit(int& exitCode);
