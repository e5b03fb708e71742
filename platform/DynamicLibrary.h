#pragma once
#include "platform/WinTypes.h"
// Libraries loaded at run time by name.

using HMODULE = void*;
using FARPROC = void (*)();

// Loads a shared library. A bare name (no '/') is looked up in the program folder first,
// then where the system looks for libraries; a path is taken as it is. Null on failure.
HMODULE LoadLibraryA(const char* name);
// The address of an exported symbol, or null.
FARPROC GetProcAddress(HMODULE module, const char* name);
// Releases a library loaded with LoadLibraryA.
BOOL FreeLibrary(HMODULE module);
