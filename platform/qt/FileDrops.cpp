#include "platform/qt/FileDrops.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QSysInfo>
#include <QUrl>

#include "platform/MessageQueue.h"
#include "platform/WinStyles.h"
#include "platform/qt/WindowObject.h"

namespace {
// A file URL names a file of this machine: no host, "localhost" or the machine's own name.
bool IsLocalFileUrl(const QUrl& url) {
  return url.scheme() == QLatin1String("file") &&
         (url.host().isEmpty() || url.host() == QLatin1String("localhost") ||
          url.host() == QSysInfo::machineHostName());
}

// A window under a modal dialog takes no input, drops included, as a disabled window.
bool BlockedByModalWindow(const QWidget& widget) {
  const QWidget* modal = QApplication::activeModalWidget();
  return modal != nullptr && modal != widget.window();
}

// Copies only: a move would let the file manager delete the source after the drop.
bool AcceptAsCopy(QDropEvent& event) {
  if (!(event.possibleActions() & Qt::CopyAction)) return false;
  event.setDropAction(Qt::CopyAction);
  event.accept();
  return true;
}
}  // namespace

std::vector<std::string> DroppedFilePaths(const QMimeData& data) {
  std::vector<std::string> paths;
  for (const QUrl& url : data.urls()) {
    if (!IsLocalFileUrl(url)) continue;
    // The bytes of the name as the file system has them, whatever their encoding.
    const QByteArray path =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (!path.isEmpty()) paths.push_back(path.toStdString());
  }
  return paths;
}

bool DeliverFileDrag(WindowObject& window, QEvent* event) {
  if (!(window.exStyle & WS_EX_ACCEPTFILES)) return false;
  if (event->type() == QEvent::DragLeave) return true;
  auto& drag = static_cast<QDropEvent&>(*event);
  std::vector<std::string> paths = DroppedFilePaths(*drag.mimeData());
  if (paths.empty() || BlockedByModalWindow(*window.widget) || !AcceptAsCopy(drag)) {
    drag.ignore();
    return true;
  }
  // Posted, as the system does: the file manager is not kept waiting while the window
  // handles the files.
  if (event->type() == QEvent::Drop)
    PostMessage(window.handle, WM_DROPFILES,
                reinterpret_cast<WPARAM>(NewDrop(window.handle, std::move(paths))), 0);
  return true;
}
