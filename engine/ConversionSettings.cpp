#include "engine/ConversionSettings.h"

#include "platform/Paths.h"

ConversionSettings defaultConversionSettings() {
  ConversionSettings settings;
  settings.outputFolder = HomeFolder() + "videooutput/";
  return settings;
}
