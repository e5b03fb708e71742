#pragma once
#include <string>

#include "platform/WinHandles.h"

// Drags `uriList` (text/uri-list and text/plain, one URL per line) from outside the program over the
// top-level window `window`, enters at `clientPoint` and drops there, through the window the
// toolkit shows, as a file manager's drag arrives. True when the drop was taken.
bool DropUriList(HWND window, POINT clientPoint, const std::string& uriList);

// A file URL for a path, with the characters a file manager percent-encodes encoded.
std::string FileUrl(const std::string& path);
