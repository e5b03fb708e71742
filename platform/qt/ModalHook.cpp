#include "platform/ModalHook.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QUrl>
#include <algorithm>

#include "platform/WindowCalls.h"
#include "platform/qt/ClassProcedures.h"
#include "platform/qt/WindowObject.h"

namespace {
ModalHook realDialogs;
ModalHook* currentHook = &realDialogs;

QWidget* OwnerWidget(HWND owner) {
  WindowObject* window = FindWindowObject(owner);
  return window == nullptr ? nullptr : window->widget.data();
}

QMessageBox::Icon BoxIcon(UINT type) {
  switch (type & 0xF0) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// A message box sizes itself to its text, so a short text gave a box whose title bar cut
// its caption ("Wa...ng"). This one is at least as wide as the title bar needs: the caption
// in a bold face (as window managers draw titles), the window icon, the close box and the
// frame's margins.
class CaptionWideMessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  // A shown box fixes its size to its text when shown and again at every layout request.
  // The widening starts from that laid-out size, never from the box's geometry of the
  // moment: a window manager may hand a new window its first, unlaid-out size back (100x30)
  // just before a layout request, and the box then takes its laid-out size again.
  bool event(QEvent* event) override {
    const bool handled = QMessageBox::event(event);
    if ((event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest) &&
        isVisible()) {
      QFont titleFont = font();
      titleFont.setBold(true);
      const QFontMetrics metrics(titleFont);
      const int needed = metrics.horizontalAdvance(windowTitle()) + 6 * metrics.height();
      const QSize laidOut = minimumSize();
      const QSize wanted(std::max(laidOut.width(), needed), laidOut.height());
      if (laidOut != wanted) setFixedSize(wanted);
      if (size() != wanted) resize(wanted);
    }
    return handled;
  }
};

// A modal call begins: the window holding the mouse capture gives it up.
void CancelMode() {
  if (HWND capture = GetCapture()) {
    SendMessage(capture, WM_CANCELMODE, 0, 0);
    ReleaseCapture();
  }
}
}  // namespace

int ModalHook::messageBox(HWND owner, const std::string& text, const std::string& caption,
                          UINT type) {
  CaptionWideMessageBox box(BoxIcon(type), FromNarrow(caption), FromNarrow(text),
                            QMessageBox::Ok, OwnerWidget(owner));
  // A message box has a title and a close box only: no minimise or maximise button.
  box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                     Qt::WindowCloseButtonHint);
  box.exec();
  return IDOK;
}

std::vector<std::string> ModalHook::openFileNames(HWND owner, const std::string& filterName,
                                                  const std::string& pattern) {
  // The toolkit shows a filter as "name (pattern)"; a name that already ends in its
  // pattern in parentheses ("Flv files(*.flv)") is shown as it is.
  const QString name = FromNarrow(filterName);
  const QString patternPart = QStringLiteral("(") + FromNarrow(pattern) + QStringLiteral(")");
  const QString filter = name.endsWith(patternPart) ? name : name + QStringLiteral(" ") + patternPart;
  std::vector<std::string> paths;
  for (const QString& path : QFileDialog::getOpenFileNames(OwnerWidget(owner), QString(), QString(), filter))
    paths.push_back(ToNarrow(path));
  return paths;
}

std::string ModalHook::browseForFolder(HWND owner, const std::string& title) {
  return ToNarrow(QFileDialog::getExistingDirectory(OwnerWidget(owner), FromNarrow(title)));
}

bool ModalHook::shellOpen(const std::string&, const std::string& address, int) {
  return QDesktopServices::openUrl(QUrl::fromUserInput(FromNarrow(address)));
}

ModalHook* SetModalHook(ModalHook* hook) {
  ModalHook* previous = currentHook == &realDialogs ? nullptr : currentHook;
  currentHook = hook != nullptr ? hook : &realDialogs;
  return previous;
}

ModalHook& CurrentModalHook() { return *currentHook; }

int MessageBoxA(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  CancelMode();
  return currentHook->messageBox(owner, text, caption, type);
}

std::vector<std::string> GetOpenFileNames(HWND owner, const std::string& filterName,
                                          const std::string& pattern) {
  CancelMode();
  return currentHook->openFileNames(owner, filterName, pattern);
}

std::string BrowseForFolder(HWND owner, const std::string& title) {
  CancelMode();
  return currentHook->browseForFolder(owner, title);
}

INT_PTR ShellExecuteA(HWND, const char* verb, const char* file, const char*, const char*,
                      int showCommand) {
  const bool opened = currentHook->shellOpen(verb != nullptr ? verb : "",
                                             file != nullptr ? file : "", showCommand);
  return opened ? 33 : SE_ERR_NOASSOC;  // any value above 32 means handed over
}
