#pragma once
#include <QObject>
#include <QString>
#include <vector>

#include "platform/NotifyIcon.h"

// The program's icons of Shell_NotifyIconA and their notices, shown as the desktop's
// notifications (org.freedesktop.Notifications on the session bus) when a notification
// service runs. A notice's default action (a click on it) posts its icon's callback message
// with NIN_BALLOONUSERCLICK. User-interface thread only.
class NotificationArea : public QObject {
  Q_OBJECT

 public:
  NotificationArea();
  // Closes the notices still shown.
  ~NotificationArea() override;

  // NIM_ADD, NIM_MODIFY or NIM_DELETE, as Shell_NotifyIconA describes them.
  BOOL change(DWORD message, const NOTIFYICONDATAA& data);

 private slots:
  void onActionInvoked(uint notification, const QString& action);
  void onNotificationClosed(uint notification, uint reason);

 private:
  struct Icon {
    HWND window;
    UINT id;
    UINT callbackMessage;
    uint notice = 0;       // the server's number of the icon's notice shown, 0 for none
    unsigned asked = 0;    // numbers the icon's notices asked for; an earlier one is closed
  };

  Icon* find(HWND window, UINT id);
  // Shows the icon's notice, replacing the one it shows.
  void show(Icon& icon, const QString& title, const QString& text);
  // Closes a notice shown (none for 0); waits for the server with `wait`.
  void close(uint notice, bool wait = false);

  std::vector<Icon> icons;
};
