#include "controls/AboutBox.h"

#include "res/AboutBoxTemplate.h"

AboutBox::AboutBox(CWnd* parent) : CDialog(IDD_ABOUTBOX, parent) {}
