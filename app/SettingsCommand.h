#pragma once
#include "engine/ConversionSettings.h"

class CWnd;

// The Settings command: the Output Settings dialog, run modally over `parent` on a copy of
// `settings`. OK writes every field but outputFolder back and returns true (the caller then
// rebuilds its summary line); Cancel or the close box changes nothing and returns false.
bool editSettings(CWnd* parent, ConversionSettings& settings);
