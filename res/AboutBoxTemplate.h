#pragma once
#include "platform/DialogTemplate.h"

// Template 100: the About box.
constexpr int IDD_ABOUTBOX = 100;
extern const DialogTemplate kAboutBoxTemplate;
