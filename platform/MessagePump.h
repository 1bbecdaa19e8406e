#pragma once

// Dispatches every window message waiting for this thread, then returns. Long work on the
// user-interface thread calls it so that Pause, Cancel and timers run nested inside the work.
// Returns false when WM_QUIT was met (it is posted again so the outer loop still sees it).
bool ProcessPendingMessages();
