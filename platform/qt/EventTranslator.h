#pragma once
#include <QObject>
#include <memory>

#include "platform/WinHandles.h"
// Turns the toolkit's events for one widget into the window's WM_ messages, delivered to
// its procedure before the toolkit handles them. Input, paint and close events are the
// window's to handle: the toolkit sees them only through DefWindowProc. Notification
// events (focus, enabling, activation, resizing, leaving) reach the window and then the
// toolkit as usual. Drags bringing files reach a window that accepts files (FileDrops.h).

#include "platform/qt/WindowObject.h"
class QEvent;
class QWidget;

class EventTranslator : public QObject {
 public:
  // Owns `window`; installed on window.widget and destroyed with it.
  explicit EventTranslator(std::unique_ptr<WindowObject> window);
  ~EventTranslator() override;
  WindowObject& window() { return *ownWindow; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool deliverInput(QEvent* event, UINT message, WPARAM wParam, LPARAM lParam);
  bool deliverKey(QEvent* event);
  bool deliverPaint(QEvent* event);
  void askStaticColors();
  void notify(UINT message, WPARAM wParam, LPARAM lParam);

  std::unique_ptr<WindowObject> ownWindow;
};

// Makes a widget a window: a window object of this kind, registered, with its translator.
WindowObject& CreateWindowObject(QWidget* widget, WindowKind kind);
// The toolkit's own handling of the event the window is handling as a message right now,
// when `message` stands for it and it has not run yet. True when it ran.
bool RunToolkitDefault(WindowObject& window, UINT message);
