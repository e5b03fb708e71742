#include "platform/qt/ClassProcedures.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QPixmap>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <algorithm>

#include "platform/qt/GdiQt.h"
#include "platform/Kernel.h"
#include "platform/MessageQueue.h"
#include "platform/WinStyles.h"
#include "platform/WindowCalls.h"
#include "platform/qt/WindowObject.h"

QString FromNarrow(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}
QString FromNarrow(const char* text) {
  return text == nullptr ? QString() : QString::fromLocal8Bit(text);
}
std::string ToNarrow(const QString& text) { return text.toLocal8Bit().toStdString(); }

namespace {
QString WidgetText(const WindowObject& window) {
  QWidget* widget = window.widget;
  switch (window.kind) {
    case WindowKind::Dialog: return widget->windowTitle();
    case WindowKind::Button:
      if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
      return static_cast<QAbstractButton*>(widget)->text();
    case WindowKind::Static: return static_cast<QLabel*>(widget)->text();
    case WindowKind::Edit: return static_cast<QLineEdit*>(widget)->text();
    case WindowKind::ComboBox: return static_cast<QComboBox*>(widget)->currentText();
    default: return widget->windowTitle();
  }
}

void SetWidgetText(WindowObject& window, const QString& text) {
  QWidget* widget = window.widget;
  switch (window.kind) {
    case WindowKind::Dialog: widget->setWindowTitle(text); break;
    case WindowKind::Button:
      if (auto* group = qobject_cast<QGroupBox*>(widget)) group->setTitle(text);
      else static_cast<QAbstractButton*>(widget)->setText(text);
      break;
    case WindowKind::Static: static_cast<QLabel*>(widget)->setText(text); break;
    case WindowKind::Edit: static_cast<QLineEdit*>(widget)->setText(text); break;
    default: widget->setWindowTitle(text); break;
  }
}

LRESULT DialogCode(const WindowObject& window) {
  switch (window.kind) {
    case WindowKind::Button:
      switch (window.style & BS_TYPEMASK) {
        case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX: return DLGC_STATIC;
        default: return DLGC_BUTTON;
      }
    case WindowKind::Static: return DLGC_STATIC;
    case WindowKind::Edit: return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WindowKind::ListView:
    case WindowKind::ComboBox: return DLGC_WANTCHARS | DLGC_WANTARROWS;
    default: return 0;
  }
}

// WM_GETFONT returns a handle of the font the window shows, kept until the window goes or
// WM_SETFONT gives it another (which stays the sender's).
LRESULT FontMessage(WindowObject& window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETFONT) {
    if (window.font == nullptr) {
      window.font = CreateFontFromQt(window.widget->font());
      window.ownsFont = true;
    }
    return reinterpret_cast<LRESULT>(window.font);
  }
  HFONT font = reinterpret_cast<HFONT>(wParam);
  if (font == nullptr) return 0;
  if (window.ownsFont) DeleteObject(window.font);
  window.font = font;
  window.ownsFont = false;
  window.widget->setFont(QtFont(font));
  if (lParam) window.widget->update();
  return 0;
}

LRESULT DialogProc(WindowObject& window, UINT message, WPARAM wParam, LPARAM lParam) {
  QWidget& widget = *window.widget;
  switch (message) {
    case WM_SETICON: {
      HICON& slot = window.icons[wParam == ICON_BIG ? 1 : 0];
      HICON previous = slot;
      slot = reinterpret_cast<HICON>(lParam);
      QIcon icon;
      for (HICON each : window.icons) AddToWindowIcon(icon, each);
      widget.setWindowIcon(icon);
      return reinterpret_cast<LRESULT>(previous);
    }
    case WM_CLOSE:
      // A dialog closes the way Esc does.
      PostMessage(window.handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                  reinterpret_cast<LPARAM>(GetDlgItem(window.handle, IDCANCEL)));
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE: SendMessage(window.handle, WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: widget.showMinimized(); break;
        // Only a window with a maximise button maximises: a fixed dialog keeps its size.
        case SC_MAXIMIZE:
          if (window.style & WS_MAXIMIZEBOX) widget.showMaximized();
          break;
        case SC_RESTORE: widget.showNormal(); break;
        default: break;
      }
      return 0;
    default:
      return 0;
  }
}

LRESULT ButtonProc(WindowObject& window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* button = qobject_cast<QAbstractButton*>(window.widget.data());
  switch (message) {
    case BM_CLICK:
      if (button != nullptr && button->isEnabled()) button->click();
      return 0;
    case BM_SETSTYLE:
      window.style = (window.style & ~BS_TYPEMASK) | (static_cast<DWORD>(wParam) & BS_TYPEMASK);
      if (lParam) window.widget->update();
      return 0;
    case BM_GETCHECK:
      return button != nullptr && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
      if (button != nullptr && button->isCheckable()) button->setChecked(wParam == BST_CHECKED);
      return 0;
    default:
      return 0;
  }
}

LRESULT StaticProc(WindowObject& window, UINT message, WPARAM, LPARAM) {
  if (message == WM_LBUTTONUP && (window.style & SS_NOTIFY))
    SendMessage(window.parent, WM_COMMAND,
                MAKEWPARAM(static_cast<WORD>(window.id), STN_CLICKED),
                reinterpret_cast<LPARAM>(window.handle));
  return 0;
}

LRESULT ProgressProc(WindowObject& window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& bar = static_cast<QProgressBar&>(*window.widget);
  switch (message) {
    case PBM_SETRANGE32: {
      const LRESULT previous = MAKELPARAM(static_cast<WORD>(bar.minimum()),
                                          static_cast<WORD>(bar.maximum()));
      bar.setRange(static_cast<int>(wParam), static_cast<int>(lParam));
      return previous;
    }
    case PBM_SETPOS: {
      const int previous = bar.value() < bar.minimum() ? bar.minimum() : bar.value();
      bar.setValue(std::clamp(static_cast<int>(wParam), bar.minimum(), bar.maximum()));
      return previous;
    }
    case PBM_GETPOS: return bar.value() < bar.minimum() ? bar.minimum() : bar.value();
    case PBM_GETRANGE: return wParam ? bar.minimum() : bar.maximum();
    default: return 0;
  }
}
}  // namespace

LRESULT ClassWindowProc(WindowObject& window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window.widget) return 0;
  switch (message) {
    case WM_SETTEXT:
      SetWidgetText(window, FromNarrow(reinterpret_cast<const char*>(lParam)));
      return TRUE;
    case WM_GETTEXT:
      return CopyToBuffer(ToNarrow(WidgetText(window)), reinterpret_cast<char*>(lParam),
                          static_cast<std::size_t>(wParam));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(ToNarrow(WidgetText(window)).size());
    case WM_GETDLGCODE:
      return DialogCode(window);
    case WM_GETFONT:
    case WM_SETFONT:
      return FontMessage(window, message, wParam, lParam);
    default:
      break;
  }
  switch (window.kind) {
    case WindowKind::Dialog: return DialogProc(window, message, wParam, lParam);
    case WindowKind::Button: return ButtonProc(window, message, wParam, lParam);
    case WindowKind::Static: return StaticProc(window, message, wParam, lParam);
    case WindowKind::ListView: return ListViewProc(window, message, wParam, lParam);
    case WindowKind::Progress: return ProgressProc(window, message, wParam, lParam);
    case WindowKind::ComboBox: return ComboBoxProc(window, message, wParam, lParam);
    default: return 0;
  }
}
