#pragma once
#include <QApplication>
#include <QString>
#include <QWidget>

// The shown top-level window with this title, or null: how a test finds a modal dialog
// that the code under test opened.
inline QWidget* VisibleTopLevel(const QString& title) {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->isVisible() && widget->windowTitle() == title) return widget;
  return nullptr;
}
