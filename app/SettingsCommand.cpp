#include "app/SettingsCommand.h"

#include "app/OutputSettingsDialog.h"

bool editSettings(CWnd* parent, ConversionSettings& settings) {
  OutputSettingsDialog dialog(settings, parent);
  if (dialog.DoModal() != IDOK) return false;
  dialog.copyTo(settings);
  return true;
}
