#pragma once
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <optional>

// Keeps the machine from suspending and the session from going idle while held, through the
// first desktop service that grants it: the desktop portal's Inhibit, else logind's Inhibit
// on the system bus (a descriptor whose closing ends the request, also when the program
// dies), else the session's screen saver. The services are asked without waiting on the
// user-interface thread; one that is missing or refuses hands the request to the next.
// Without a bus nothing happens. User-interface thread only.
class SleepInhibitor : public QObject, protected QDBusContext {
  Q_OBJECT

 public:
  // Lets go of what it holds, or is being granted, waiting until the service has been told.
  ~SleepInhibitor() override;

  // Asks for it (suspend, idle or both) with `reason` as the text the desktop shows, unless
  // the same is held or asked for already.
  void hold(bool suspend, bool idle, const QString& reason);
  // Lets go of what is held; a grant that arrives later is given back at once.
  void release();

 private slots:
  // The portal's answer to an Inhibit request: anything but 0 is a refusal.
  void onPortalResponse(uint response, const QVariantMap& results);

 private:
  enum class Service { Portal, Logind, ScreenSaver, None };

  // Asks `service` for the current request; the services after it when it cannot grant it.
  void ask(Service service);
  // The reply of `service` to the request of round `asked`.
  void answered(Service service, unsigned asked, const QDBusMessage& reply);
  // Stops listening for the answer of the portal request of `portalRequest`.
  void forgetPortalRequest();
  // Gives back what `reply` of `service` granted; waits for the service with `wait`.
  void giveBack(Service service, const QDBusMessage& reply, bool wait);
  // Lets go of what is held, waiting for the service with `wait`.
  void letGo(bool wait);

  bool suspendAsked = false;
  bool idleAsked = false;
  QString reasonAsked;
  bool wanted = false;
  unsigned round = 0;  // numbers each request; a reply of an earlier one is given back
  std::optional<QDBusPendingCall> asking;  // the call of the current round not yet answered
  Service askingService = Service::None;
  Service held = Service::None;
  // The granting reply of `held`: the portal's request handle, logind's descriptor (open
  // while any copy of the reply lives) or the screen saver's cookie.
  QDBusMessage grant;
  QString portalRequest;  // the object path of the portal request being asked or held
};
