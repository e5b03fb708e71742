#pragma once
#include "platform/Icons.h"

// A grey copy of `icon` with the same mask: each pixel that is not black becomes the grey of
// its luminance (0.299 R + 0.587 G + 0.114 B, truncated); black pixels stay unwritten.
// Null when the icon cannot be read. The caller owns the result.
HICON makeGreyIcon(HICON icon);
