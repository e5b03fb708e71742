#include "platform/qt/EventTranslator.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include "platform/qt/GdiQt.h"
#include "platform/WinStyles.h"
#include "platform/Wnd.h"
#include "platform/qt/DialogManager.h"
#include "platform/qt/FileDrops.h"
#include "platform/qt/MenuObject.h"
#include "platform/qt/WindowGeometry.h"

namespace {
WPARAM MouseKeyFlags(const QMouseEvent& event) {
  WPARAM flags = 0;
  if (event.buttons() & Qt::LeftButton) flags |= MK_LBUTTON;
  if (event.buttons() & Qt::RightButton) flags |= MK_RBUTTON;
  if (event.modifiers() & Qt::ShiftModifier) flags |= MK_SHIFT;
  if (event.modifiers() & Qt::ControlModifier) flags |= MK_CONTROL;
  return flags;
}

LPARAM MousePoint(const QMouseEvent& event) {
  const QPoint point = event.position().toPoint();
  return MAKELPARAM(static_cast<WORD>(point.x()), static_cast<WORD>(point.y()));
}

// The message a mouse event stands for, or 0.
UINT MouseMessage(const QMouseEvent& event) {
  const bool left = event.button() == Qt::LeftButton, right = event.button() == Qt::RightButton;
  switch (event.type()) {
    case QEvent::MouseMove: return WM_MOUSEMOVE;
    case QEvent::MouseButtonPress: return left ? WM_LBUTTONDOWN : right ? WM_RBUTTONDOWN : 0;
    case QEvent::MouseButtonRelease: return left ? WM_LBUTTONUP : right ? WM_RBUTTONUP : 0;
    case QEvent::MouseButtonDblClick: return left ? WM_LBUTTONDBLCLK : 0;
    default: return 0;
  }
}

WPARAM VirtualKey(int key) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_F4: return 0x73;  // VK_F4
    default: return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') ? key : 0;
  }
}

// The bound objects from the window up to its dialog see an input message first.
bool PreTranslate(MSG& message) {
  for (WindowObject* window = FindWindowObject(message.hwnd); window != nullptr;
       window = FindWindowObject(window->parent))
    if (window->wnd != nullptr && window->wnd->PreTranslateMessage(&message)) return true;
  return false;
}

// Remembers the event being delivered as a message for DefWindowProc, nested deliveries
// included.
class EventScope {
 public:
  EventScope(WindowObject& window, QEvent* event, UINT message)
      : scoped(window),
        outerEvent(window.event),
        outerMessage(window.eventMessage),
        outerDefaultDone(window.eventDefaultDone) {
    window.event = event;
    window.eventMessage = message;
    window.eventDefaultDone = false;
  }
  ~EventScope() {
    scoped.event = outerEvent;
    scoped.eventMessage = outerMessage;
    scoped.eventDefaultDone = outerDefaultDone;
  }

 private:
  WindowObject& scoped;
  QEvent* outerEvent;  // the delivery this one is nested in, restored at its end
  UINT outerMessage;
  bool outerDefaultDone;
};
}  // namespace

EventTranslator::EventTranslator(std::unique_ptr<WindowObject> window)
    : QObject(window->widget), ownWindow(std::move(window)) {
  ownWindow->widget->installEventFilter(this);
}

EventTranslator::~EventTranslator() {
  if (FindWindowObject(ownWindow->handle) == ownWindow.get()) UnregisterWindow(*ownWindow);
}

WindowObject& CreateWindowObject(QWidget* widget, WindowKind kind) {
  auto object = std::make_unique<WindowObject>();
  object->widget = widget;
  object->kind = kind;
  WindowObject& window = *object;
  new EventTranslator(std::move(object));
  RegisterWindow(window);
  return window;
}

bool RunToolkitDefault(WindowObject& window, UINT message) {
  if (window.event == nullptr || window.eventDefaultDone || window.eventMessage != message ||
      !window.widget)
    return false;
  window.eventDefaultDone = true;
  static_cast<QObject*>(window.widget.data())->event(window.event);
  return true;
}

bool EventTranslator::deliverInput(QEvent* event, UINT message, WPARAM wParam, LPARAM lParam) {
  const QPoint cursor = QCursor::pos();
  MSG msg{ownWindow->handle, message, wParam, lParam, {cursor.x(), cursor.y()}};
  if (PreTranslate(msg)) return true;
  EventScope scope(*ownWindow, event, msg.message);
  SendMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
  return true;
}

bool EventTranslator::deliverKey(QEvent* event) {
  const auto& key = static_cast<const QKeyEvent&>(*event);
  const bool alt = key.modifiers() & Qt::AltModifier;
  const QPoint cursor = QCursor::pos();
  MSG msg{ownWindow->handle, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, VirtualKey(key.key()), 0,
          {cursor.x(), cursor.y()}};
  if (PreTranslate(msg)) return true;
  if (WindowObject* dialog = DialogOf(*ownWindow); dialog != nullptr && HandleDialogKey(*dialog, msg))
    return true;
  EventScope scope(*ownWindow, event, msg.message);
  SendMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
  return true;
}

bool EventTranslator::deliverPaint(QEvent* event) {
  WindowObject& window = *ownWindow;
  const bool ownerDrawn =
      window.kind == WindowKind::Button && (window.style & BS_TYPEMASK) == BS_OWNERDRAW;
  if (window.kind == WindowKind::Static) askStaticColors();
  if (!ownerDrawn) {
    EventScope scope(window, event, WM_PAINT);
    SendMessage(window.handle, WM_PAINT, 0, 0);
    return true;
  }
  // An owner-drawn button is painted by whoever answers its parent's WM_DRAWITEM (the
  // button object itself, through reflection).
  auto* button = static_cast<QAbstractButton*>(window.widget.data());
  QPainter painter(button);
  UINT state = 0;
  if (button->isDown()) state |= ODS_SELECTED;
  if (button->hasFocus()) state |= ODS_FOCUS;
  if (!button->isEnabled()) state |= ODS_DISABLED;
  HDC dc = CreatePainterDC(&painter, button);
  DRAWITEMSTRUCT item{ODT_BUTTON, static_cast<UINT>(window.id), 0, ODA_DRAWENTIRE, state,
                      window.handle, dc, {0, 0, button->width(), button->height()}};
  SendMessage(window.parent, WM_DRAWITEM, static_cast<WPARAM>(window.id),
              reinterpret_cast<LPARAM>(&item));
  ReleasePainterDC(dc);
  return true;
}

void EventTranslator::askStaticColors() {
  // The parent (or, reflected, the static itself) chooses the text colour; the toolkit
  // paints the text. An unanswered question leaves the palette's colour.
  WindowObject& window = *ownWindow;
  DeviceContext dc;
  dc.widget = window.widget;
  dc.textColor = ToColorRef(window.widget->palette().color(QPalette::WindowText));
  const LRESULT brush = SendMessage(window.parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(&dc),
                                    reinterpret_cast<LPARAM>(window.handle));
  if (brush == 0 || !window.widget) return;
  QPalette palette = window.widget->palette();
  if (palette.color(QPalette::WindowText) == ToQColor(dc.textColor)) return;
  palette.setColor(QPalette::WindowText, ToQColor(dc.textColor));
  window.widget->setPalette(palette);
}

void EventTranslator::notify(UINT message, WPARAM wParam, LPARAM lParam) {
  SendMessage(ownWindow->handle, message, wParam, lParam);
}

bool EventTranslator::eventFilter(QObject* watched, QEvent* event) {
  if (watched != ownWindow->widget || FindWindowObject(ownWindow->handle) != ownWindow.get())
    return false;
  WindowObject& window = *ownWindow;
  QWidget& widget = *window.widget;
  switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
      const auto& mouse = static_cast<const QMouseEvent&>(*event);
      const UINT message = MouseMessage(mouse);
      if (message == 0) return false;
      if (message == WM_MOUSEMOVE)
        notify(WM_SETCURSOR, reinterpret_cast<WPARAM>(window.handle),
               MAKELPARAM(HTCLIENT, static_cast<WORD>(WM_MOUSEMOVE)));
      return deliverInput(event, message, MouseKeyFlags(mouse), MousePoint(mouse));
    }
    case QEvent::KeyPress:
      return deliverKey(event);
    case QEvent::Paint:
      return deliverPaint(event);
    case QEvent::Close:
      if (!widget.isWindow()) return false;
      event->ignore();
      notify(WM_CLOSE, 0, 0);
      return true;
    case QEvent::ContextMenu:
      if (window.kind != WindowKind::Dialog) return false;
      ShowWindowMenu(window.handle, {static_cast<QContextMenuEvent*>(event)->globalPos().x(),
                                     static_cast<QContextMenuEvent*>(event)->globalPos().y()});
      return true;
    case QEvent::Leave:
      if (window.trackLeave) {
        window.trackLeave = false;
        notify(WM_MOUSELEAVE, 0, 0);
      }
      return false;
    case QEvent::FocusIn:
      notify(WM_SETFOCUS, 0, 0);
      if (WindowObject* dialog = DialogOf(window); dialog != nullptr && dialog != &window)
        FocusMovedTo(*dialog, window);
      return false;
    case QEvent::FocusOut:
      notify(WM_KILLFOCUS, 0, 0);
      return false;
    case QEvent::EnabledChange:
      notify(WM_ENABLE, widget.isEnabled(), 0);
      return false;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      notify(WM_ACTIVATE,
             MAKEWPARAM(event->type() == QEvent::WindowActivate ? WA_ACTIVE : WA_INACTIVE,
                        widget.window()->isMinimized()),
             0);
      return false;
    case QEvent::Resize:
    case QEvent::WindowStateChange:
      SendSizeIfChanged(window);
      if (widget.isVisible()) FollowFrame(window);
      return false;
    case QEvent::Move:
    case QEvent::Show:
      if (widget.isVisible()) FollowFrame(window);
      return false;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
      return DeliverFileDrag(window, event);
    case QEvent::ApplicationPaletteChange:
      notify(WM_SYSCOLORCHANGE, 0, 0);
      return false;
    default:
      return false;
  }
}
