#pragma once
#include <QString>
#include <string>

#include "platform/WinHandles.h"
// What each window class does with the messages that reach its default processing.

class QTreeWidget;
struct WindowObject;

// The class's default processing (after the toolkit's own handling of the event the
// message stands for, when there is one).
LRESULT ClassWindowProc(WindowObject& window, UINT message, WPARAM wParam, LPARAM lParam);
// The list-view messages (LVM_) of a report-view list.
LRESULT ListViewProc(WindowObject& window, UINT message, WPARAM wParam, LPARAM lParam);
// Lets the list ask its parent for tooltips (LVN_GETINFOTIPA) once it has LVS_EX_INFOTIP.
void WatchInfoTips(QTreeWidget& list);
// The combo box messages (CB_) of a drop-down list.
LRESULT ComboBoxProc(WindowObject& window, UINT message, WPARAM wParam, LPARAM lParam);

// Program text (narrow, in the system code page) to and from toolkit text.
QString FromNarrow(const std::string& text);
QString FromNarrow(const char* text);
std::string ToNarrow(const QString& text);
