#pragma once
#include <string>

#include "platform/WinHandles.h"

// The window metrics kept between runs in "option.ini", section "Status": the main dialog's
// outer size and the widths of the visible list's columns. The file lies in the program
// folder when the program may write there (a build folder, a portable copy); otherwise, as
// for a copy installed into a system folder, in vidmora/ of the user's application data
// folder, made when first written. Until that file exists, one beside the program is read.

struct ColumnWidths {
  int w0;
  int w1;
  int w2;
};

// "w0", "w1", "w2"; 310, 100 and 80 when missing.
ColumnWidths loadColumnWidths(const std::string& programFolder);
// "Width" and "Height"; 560 and 375 when missing.
SIZE loadWindowSize(const std::string& programFolder);
// Writes "Width", "Height", "w0", "w1", "w2" in this order, keeping the rest of the file.
void saveWindowMetrics(const std::string& programFolder, SIZE outerSize,
                       const ColumnWidths& widths);
