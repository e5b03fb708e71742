#include "app/SettingsCommand.h"

#include "app/OutputSettingsDialog.h"

bool editSettings(CWnd* parent, ConversionSettings& settings) {
  OutputSettingsDialog dialog(settings, parent);
  if (dialog.DoModal() != IDOK) return false;
  const std::string outputFolder = settings.outputFolder;  // not the dialog's to change
  settings = dialog.chosenSettings();
  settings.outputFolder = outputFolder;
  return true;
}
