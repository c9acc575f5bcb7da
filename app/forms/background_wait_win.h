// A wait for work that cannot pump messages itself (a blocking network query), during which the
// window thread keeps every window painted and the form takes no input, as under a modal box.
#pragma once

#include <windows.h>

#include <functional>

// Runs `work` on a thread of its own while this thread dispatches its messages, with `form`
// disabled meanwhile (and its focus given back after). An exception of `work` is raised here.
// False when `work` has not ended within `boundMs`: it then goes on unobserved, so it must own
// everything it uses. A WM_QUIT that arrives is left for the loop that owns it, and the wait
// goes on without dispatching.
bool WaitWithFormDisabled(HWND form, std::function<void()> work, DWORD boundMs);
