// What the library keeps for the whole process: its module, its outstanding objects and locks,
// and the type library every object answers IDispatch and class-info calls from.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace zorvel {

// The module whose resources (dialog, strings, type library) the control uses. Zorvel.dll sets
// its own at attach; a program that links the control directly sets its executable.
void SetModuleInstance(HINSTANCE instance);
HINSTANCE ModuleInstance();
std::wstring ModulePath();

// Objects and server locks; DllCanUnloadNow answers from these.
void NoteObjectCreated();
void NoteObjectDestroyed();
void LockModule(bool lock);
bool ModuleInUse();
// Objects alive now, for tests that see an object really go.
long LiveObjects();

// The type information of one interface or class of the library's TYPELIB 1 resource, loaded
// once; null when the resource cannot be read. The caller receives a reference.
ITypeInfo* LoadTypeInfo(REFGUID guid);

// A string of the library's table in the ANSI code page.
std::string LoadAnsiString(UINT id);

}  // namespace zorvel
