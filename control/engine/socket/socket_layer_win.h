// Module-wide part of the socket layer: WinSock start-up, the hidden-window class and the table
// that routes a window's socket messages to its connection.
#pragma once

#include <windows.h>
#include <winsock2.h>

class SocketConnection;

// Called when the library is attached (test programs call it once themselves): WinSock 1.1
// start-up, an empty connection table and the "ZORVELWindow" class. Calling it again does nothing.
void SocketLayerStartup(HINSTANCE module);

// Called when the library is detached: undoes what the start-up achieved.
void SocketLayerCleanup();

// A hidden window of class "ZORVELWindow", entered into the first free slot of the table. When
// all 16 slots are taken the window still exists but its messages reach no connection.
HWND CreateSocketWindow(SocketConnection* connection);

// Destroys the window and frees its slot.
void DestroySocketWindow(HWND window);

// Dispatches one message of the thread if there is one; otherwise waits until input arrives,
// for at most 50 ms, so that a wait reacts to a reply at once without spinning.
void PumpOneMessage();
