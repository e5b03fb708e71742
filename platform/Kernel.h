#pragma once
#include "platform/WinTypes.h"
// Kernel calls that are not about files or processes.

// Suspends the calling thread; on the user-interface thread nothing is delivered meanwhile.
void Sleep(DWORD milliseconds);
