#pragma once
class QWidget;
// An SS_ICON static: the icon resource named by the template text ("#128") at its own size
// in the control's top left corner; nothing when there is no such icon.
QWidget* CreateIconStatic(const char* text, QWidget* parent);
