#pragma once

// Dispatches every window message waiting for this thread, then returns. Long work on the
// user-interface thread calls it so that Pause, Cancel and timers run nested inside the work.
// Returns false when WM_QUIT was met (it is posted again so the outer loop still sees it).
bool ProcessPendingMessages();

// The same, but only when at least `intervalMs` have passed since it last did so; otherwise returns
// at once. Under Wine each look at the queue is a round trip to the server: looking after every
// 256 KiB of a copy slowed large copies by half, while a look every few milliseconds keeps the
// window just as responsive.
bool ProcessPendingMessagesEvery(unsigned intervalMs);
