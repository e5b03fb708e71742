#pragma once
#include <cstddef>

#include "platform/Icons.h"
// The application icon's renderings at every size of the desktop's icon theme, made from
// res/icon128.svg at build time.

extern const EncodedImage kApplicationIconImages[];
extern const std::size_t kApplicationIconImagesCount;
