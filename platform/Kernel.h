#pragma once
#include <cstddef>
#include <string>

#include "platform/WinHandles.h"
// Kernel calls that are not about files or processes.

// Suspends the calling thread; on the user-interface thread nothing is delivered meanwhile.
void Sleep(DWORD milliseconds);

// lstrcpynA's work for a caller's buffer of `size` bytes: the text NUL-terminated and cut
// to fit; returns the bytes copied without the NUL. Nothing is written to a null buffer or
// one of no bytes.
LRESULT CopyToBuffer(const std::string& text, char* buffer, std::size_t size);
