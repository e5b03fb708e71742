#include <cstdio>

#include "engine/ConversionSettings.h"
#include "platform/Paths.h"

// Start-up until the main window lands: prepares the output folder and says what is coming.
int main() {
  const ConversionSettings settings = defaultConversionSettings();
  CreateDirectoryA(settings.outputFolder);
  std::printf("Vidmora: the main window is coming in the next build.\n"
              "Output folder: %s\n", settings.outputFolder.c_str());
  return 0;
}
