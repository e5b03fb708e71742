#include "res/ProgramResources.h"

#include "platform/Icons.h"
#include "platform/Resources.h"
#include "res/AboutBoxTemplate.h"
#include "res/ApplicationIconImages.h"
#include "res/ButtonIcons.h"
#include "res/MainDialogTemplate.h"
#include "res/OutputSettingsTemplate.h"

namespace {
const DialogTemplate* const kDialogs[] = {&kMainDialogTemplate, &kAboutBoxTemplate,
                                          &kOutputSettingsTemplate};
const StringResource kStrings[] = {{IDS_ABOUTBOX, "&About vidmora..."}};
const ResourceTable kResources{kDialogs, kStrings};
}  // namespace

HINSTANCE ProgramResources() { return &kResources; }

void RegisterProgramIcons() {
  RegisterIconResource(IDR_MAINFRAME, kApplicationIconImages, kApplicationIconImagesCount);
  RegisterButtonIcons();
}
