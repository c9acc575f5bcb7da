// Module-wide part of the socket layer: WinSock start-up, the hidden-window class and the table
// that routes a window's socket messages to its connection.
#pragma once

#include <windows.h>
#include <winsock2.h>

class SocketConnection;

// What holds the layer: every control while it lives, every connection while it exists. WinSock
// 1.1 and the "ZORVELWindow" class are set up by the first connection, never while the library is
// being attached (under the loader lock), and undone when the last holder lets go. Controls may
// live on several apartment threads of one process: all of it is safe to call from any thread.
void HoldSocketLayer();
void ReleaseSocketLayer();
// Sets the layer up unless it is; the caller holds it.
void StartSocketLayer();

// A hidden window of class "ZORVELWindow", entered into the first free slot of the table. When
// all 16 slots are taken the window still exists but its messages reach no connection.
HWND CreateSocketWindow(SocketConnection* connection);

// Destroys the window and frees its slot.
void DestroySocketWindow(HWND window);

// A host that quits while an upload waits in a nested loop must still get its WM_QUIT, and the
// upload must end. The observer of the thread (the run in progress) is told of every WM_QUIT a
// nested loop takes; Set returns the one it replaces, so that nested runs can restore it.
using QuitObserver = void (*)(void* context);
struct QuitObserverEntry {
  QuitObserver observer = nullptr;
  void* context = nullptr;
};
QuitObserverEntry SetQuitObserver(QuitObserverEntry entry);

// Dispatches one pending message of the thread, if any; never waits. A WM_QUIT is posted again
// for the host's own loop and reported to the thread's observer; the answer is then true.
bool DispatchPendingMessage();
// The same; `found` tells whether there was a message at all.
bool DispatchPendingMessage(bool& found);
// Dispatches what is pending now, at most `limit` messages, so that a backlog (a flood of posted
// messages with a click behind it) drains in a few looks. An empty queue is told by its status,
// which costs less than a look for a message that is not there. Returns how many were
// dispatched; it stops at a WM_QUIT, handled as above.
int DispatchPendingMessages(int limit);

// As DispatchPendingMessage, but when nothing is pending waits until input arrives, for at most
// 50 ms, so that a wait reacts to a reply at once without spinning. True when a WM_QUIT came.
bool PumpOneMessage();
