#pragma once
#include "platform/DialogTemplate.h"

// Template 102: the main dialog with its controls in tab order.
constexpr int IDD_MAIN_DIALOG = 102;
extern const DialogTemplate kMainDialogTemplate;
