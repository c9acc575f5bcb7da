// The debug window: an untitled text-editor window on the desktop that the control takes over
// (renaming it "DORAN5 Debug") and writes values into. Shared by every control of the process.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace zorvel {

// Writes the value (numbers, texts, one-dimensional arrays of them) followed by a line end;
// does nothing when no debug window can be found.
void WriteDebugValue(const VARIANT& data);

// Empties the debug window, when there is one.
void ClearDebugWindow();

}  // namespace zorvel
