// The program lives on window events and ends when its last form is unloaded.
#pragma once

// Every form notes its load and unload; the message loop ends after the last unload.
void NoteFormLoaded();
void NoteFormUnloaded();

// Dispatches messages while any form is loaded; returns at once when none is.
int RunMessageLoop();

// Ends the message loop at once, whatever forms are still loaded.
void EndProgram();
