#include "platform/qt/SleepInhibitor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QStringList>

#include "platform/Power.h"
#include "platform/qt/ClassProcedures.h"
#include "platform/qt/DesktopServices.h"

namespace {
const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
const char* const kPortalResponseSlot = SLOT(onPortalResponse(uint, QVariantMap));
// The portal's Inhibit flags.
constexpr uint kPortalSuspend = 4;
constexpr uint kPortalIdle = 8;
// A service that has not answered a request by then is taken as missing.
constexpr int kAnswerWait = 5000;
// How long the program's end waits for a service to hear that the request is over.
constexpr int kFarewellWait = 1000;

// The object path of the portal request named `token`, which the portal derives from the
// caller's bus name: known before the call, so that its answer cannot be missed.
QString PortalRequestPath(const QDBusConnection& bus, const QString& token) {
  QString sender = bus.baseService().mid(1);
  sender.replace(QLatin1Char('.'), QLatin1Char('_'));
  return QStringLiteral("/org/freedesktop/portal/desktop/request/") + sender +
         QLatin1Char('/') + token;
}
}  // namespace

SleepInhibitor::~SleepInhibitor() {
  // A grant on its way is waited for, so that it is given back before the program ends.
  if (wanted && asking) {
    asking->waitForFinished();
    if (asking->reply().type() == QDBusMessage::ReplyMessage) {
      held = askingService;
      grant = asking->reply();
    }
  }
  letGo(true);
}

void SleepInhibitor::hold(bool suspend, bool idle, const QString& reason) {
  if (wanted && suspend == suspendAsked && idle == idleAsked && reason == reasonAsked) return;
  letGo(false);
  wanted = true;
  suspendAsked = suspend;
  idleAsked = idle;
  reasonAsked = reason;
  ask(Service::Portal);
}

void SleepInhibitor::release() {
  if (wanted) letGo(false);
}

void SleepInhibitor::ask(Service service) {
  if (service == Service::None) return;
  QDBusConnection bus =
      service == Service::Logind ? QDBusConnection::systemBus() : QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    ask(static_cast<Service>(static_cast<int>(service) + 1));
    return;
  }
  const QString who = QCoreApplication::applicationName();
  QDBusMessage call;
  switch (service) {
    case Service::Portal: {
      const QString token = QStringLiteral("vidmora%1").arg(round);
      portalRequest = PortalRequestPath(bus, token);
      bus.connect(kPortal, portalRequest, kPortalRequest, QStringLiteral("Response"), this,
                  kPortalResponseSlot);
      call = QDBusMessage::createMethodCall(kPortal, QStringLiteral("/org/freedesktop/portal/desktop"),
                                            QStringLiteral("org.freedesktop.portal.Inhibit"),
                                            QStringLiteral("Inhibit"));
      call << QString() << ((suspendAsked ? kPortalSuspend : 0) | (idleAsked ? kPortalIdle : 0))
           << QVariantMap{{QStringLiteral("handle_token"), token},
                          {QStringLiteral("reason"), reasonAsked}};
      break;
    }
    case Service::Logind: {
      QStringList what;
      if (suspendAsked) what << QStringLiteral("sleep");
      if (idleAsked) what << QStringLiteral("idle");
      call = QDBusMessage::createMethodCall(kLogin, QStringLiteral("/org/freedesktop/login1"),
                                            QStringLiteral("org.freedesktop.login1.Manager"),
                                            QStringLiteral("Inhibit"));
      call << what.join(QLatin1Char(':')) << who << reasonAsked << QStringLiteral("block");
      break;
    }
    default:
      call = QDBusMessage::createMethodCall(kScreenSaver, QStringLiteral("/org/freedesktop/ScreenSaver"),
                                            kScreenSaver, QStringLiteral("Inhibit"));
      call << who << reasonAsked;
      break;
  }
  const unsigned asked = round;
  asking.emplace(bus.asyncCall(call, kAnswerWait));
  askingService = service;
  auto* watcher = new QDBusPendingCallWatcher(*asking, this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, service, asked] {
    watcher->deleteLater();
    answered(service, asked, watcher->reply());
  });
}

void SleepInhibitor::answered(Service service, unsigned asked, const QDBusMessage& reply) {
  const bool granted = reply.type() == QDBusMessage::ReplyMessage;
  if (asked != round) {
    if (granted) giveBack(service, reply, false);
    return;
  }
  asking.reset();
  if (granted) {
    held = service;
    grant = reply;
    return;
  }
  if (service == Service::Portal) forgetPortalRequest();
  ask(static_cast<Service>(static_cast<int>(service) + 1));
}

// A refusal comes after the portal has answered the call itself: the request goes on to
// logind. A grant of the call that arrives after this is given back (a new round).
void SleepInhibitor::onPortalResponse(uint response, const QVariantMap&) {
  if (response == 0 || message().path() != portalRequest) return;
  forgetPortalRequest();
  if (held == Service::Portal) {
    held = Service::None;
    grant = QDBusMessage();
  }
  ++round;
  if (wanted) ask(Service::Logind);
}

void SleepInhibitor::forgetPortalRequest() {
  if (portalRequest.isEmpty()) return;
  QDBusConnection::sessionBus().disconnect(kPortal, portalRequest, kPortalRequest,
                                           QStringLiteral("Response"), this, kPortalResponseSlot);
  portalRequest.clear();
}

void SleepInhibitor::giveBack(Service service, const QDBusMessage& reply, bool wait) {
  QDBusMessage farewell;
  switch (service) {
    case Service::Portal: {
      const QString handle = qvariant_cast<QDBusObjectPath>(reply.arguments().value(0)).path();
      farewell = QDBusMessage::createMethodCall(kPortal, handle, kPortalRequest,
                                                QStringLiteral("Close"));
      break;
    }
    case Service::ScreenSaver:
      farewell = QDBusMessage::createMethodCall(kScreenSaver, QStringLiteral("/org/freedesktop/ScreenSaver"),
                                                kScreenSaver, QStringLiteral("UnInhibit"));
      farewell << reply.arguments().value(0).toUInt();
      break;
    default:
      return;  // logind's descriptor closes with the reply's last copy
  }
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (wait) bus.call(farewell, QDBus::Block, kFarewellWait);
  else bus.send(farewell);
}

void SleepInhibitor::letGo(bool wait) {
  wanted = false;
  ++round;  // what is still being asked for is given back when it is granted
  asking.reset();
  forgetPortalRequest();
  if (held != Service::None) giveBack(held, grant, wait);
  held = Service::None;
  grant = QDBusMessage();
}

EXECUTION_STATE SetThreadExecutionState(EXECUTION_STATE flags, const std::string& reason) {
  static EXECUTION_STATE state = ES_CONTINUOUS;
  const EXECUTION_STATE previous = state;
  if (!(flags & ES_CONTINUOUS)) return previous;
  state = flags;
  SleepInhibitor& inhibitor = DesktopSleepInhibitor();
  if (flags & (ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED))
    inhibitor.hold(flags & ES_SYSTEM_REQUIRED, flags & ES_DISPLAY_REQUIRED, FromNarrow(reason));
  else
    inhibitor.release();
  return previous;
}
