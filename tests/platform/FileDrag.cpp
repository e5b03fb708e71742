#include "tests/platform/FileDrag.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <QWindow>

#include "platform/qt/WindowObject.h"

bool DropUriList(HWND window, POINT clientPoint, const std::string& uriList) {
  QWidget* widget = FindWindowObject(window)->widget;
  QWindow* shown = widget->windowHandle();
  if (shown == nullptr) return false;
  QMimeData data;
  data.setData(QStringLiteral("text/uri-list"), QByteArray::fromStdString(uriList));
  // File managers offer the list as plain text too, which a text box would take.
  data.setData(QStringLiteral("text/plain"), QByteArray::fromStdString(uriList));
  const QPoint point(clientPoint.x, clientPoint.y);
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
  QDragEnterEvent enter(point, actions, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(shown, &enter);
  QDragMoveEvent move(point, actions, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(shown, &move);
  // The system drops only where the last move was taken.
  if (!move.isAccepted()) return false;
  QDropEvent drop(point, actions, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(shown, &drop);
  return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

std::string FileUrl(const std::string& path) {
  return QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded).toStdString();
}
