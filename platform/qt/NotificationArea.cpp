#include "platform/qt/NotificationArea.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QGuiApplication>
#include <QStringList>
#include <QVariantMap>
#include <algorithm>
#include <cstring>

#include "platform/MessageQueue.h"
#include "platform/qt/DesktopServices.h"

namespace {
const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");
const QString kNotificationsPath = QStringLiteral("/org/freedesktop/Notifications");
// The action a click on the notice's body invokes.
const QString kDefaultAction = QStringLiteral("default");
// How long the program's end waits for the server to close a notice.
constexpr int kFarewellWait = 1000;

// A text of a fixed-size field, which need not end in a NUL when it fills the field.
template <std::size_t size>
QString FieldText(const char (&field)[size]) {
  return QString::fromLocal8Bit(field, static_cast<qsizetype>(strnlen(field, size)));
}
}  // namespace

NotificationArea::NotificationArea() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.connect(QString(), kNotificationsPath, kNotifications, QStringLiteral("ActionInvoked"), this,
              SLOT(onActionInvoked(uint, QString)));
  bus.connect(QString(), kNotificationsPath, kNotifications, QStringLiteral("NotificationClosed"),
              this, SLOT(onNotificationClosed(uint, uint)));
}

NotificationArea::~NotificationArea() {
  for (const Icon& icon : icons) close(icon.notice, true);
}

NotificationArea::Icon* NotificationArea::find(HWND window, UINT id) {
  const auto found = std::find_if(icons.begin(), icons.end(), [&](const Icon& icon) {
    return icon.window == window && icon.id == id;
  });
  return found == icons.end() ? nullptr : &*found;
}

BOOL NotificationArea::change(DWORD message, const NOTIFYICONDATAA& data) {
  Icon* icon = find(data.hWnd, data.uID);
  switch (message) {
    case NIM_ADD:
      if (icon != nullptr) return FALSE;
      icon = &icons.emplace_back(Icon{data.hWnd, data.uID, 0});
      break;
    case NIM_MODIFY:
      if (icon == nullptr) return FALSE;
      break;
    case NIM_DELETE:
      if (icon == nullptr) return FALSE;
      close(icon->notice);
      icons.erase(icons.begin() + (icon - icons.data()));
      return TRUE;
    default:
      return FALSE;
  }
  if (data.uFlags & NIF_MESSAGE) icon->callbackMessage = data.uCallbackMessage;
  if (data.uFlags & NIF_INFO) show(*icon, FieldText(data.szInfoTitle), FieldText(data.szInfo));
  return TRUE;
}

void NotificationArea::show(Icon& icon, const QString& title, const QString& text) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  const QString entry = QGuiApplication::desktopFileName();
  QDBusMessage call = QDBusMessage::createMethodCall(kNotifications, kNotificationsPath,
                                                     kNotifications, QStringLiteral("Notify"));
  call << QCoreApplication::applicationName() << icon.notice << entry << title << text
       << QStringList{kDefaultAction, QString()}
       << QVariantMap{{QStringLiteral("desktop-entry"), entry}} << -1;
  const HWND window = icon.window;
  const UINT id = icon.id;
  const unsigned asked = ++icon.asked;
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, window, id, asked] {
    watcher->deleteLater();
    const QDBusMessage reply = watcher->reply();
    if (reply.type() != QDBusMessage::ReplyMessage) return;
    const uint notice = reply.arguments().value(0).toUInt();
    Icon* shown = find(window, id);
    // A notice of an icon that is gone, or that a later notice of the icon replaces.
    if (shown == nullptr || shown->asked != asked) close(notice);
    else shown->notice = notice;
  });
}

void NotificationArea::close(uint notice, bool wait) {
  if (notice == 0) return;
  QDBusMessage call = QDBusMessage::createMethodCall(kNotifications, kNotificationsPath,
                                                     kNotifications, QStringLiteral("CloseNotification"));
  call << notice;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (wait) bus.call(call, QDBus::Block, kFarewellWait);
  else bus.send(call);
}

void NotificationArea::onActionInvoked(uint notification, const QString& action) {
  if (action != kDefaultAction) return;
  for (const Icon& icon : icons)
    if (icon.notice == notification && icon.callbackMessage != 0)
      PostMessage(icon.window, icon.callbackMessage, icon.id, NIN_BALLOONUSERCLICK);
}

void NotificationArea::onNotificationClosed(uint notification, uint) {
  for (Icon& icon : icons)
    if (icon.notice == notification) icon.notice = 0;
}

BOOL Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data) {
  return DesktopNotificationArea().change(message, *data);
}
