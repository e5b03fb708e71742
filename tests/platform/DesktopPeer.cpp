// The desktop's services as the desktop tests need them, on the buses the environment names:
// owns the services its options name, records on standard output, one line each, what it is
// asked and which launcher updates it hears, and shows a notice's click when told.
//   --portal          org.freedesktop.portal.Desktop (Inhibit; Request.Close)
//   --portal-refuses  the same, but each request is answered with a refusal
//   --logind          org.freedesktop.login1 on the system bus (Inhibit: the write end of a
//                     pipe whose closing it reports as "logind released")
//   --screensaver     org.freedesktop.ScreenSaver (Inhibit, UnInhibit)
//   --notifications   org.freedesktop.Notifications (Notify, CloseNotification)
// Prints "ready" once every name is its own. A line "click N" on standard input emits
// ActionInvoked(N, "default").
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QStringList>
#include <QVariantMap>
#include <cstdio>
#include <memory>

namespace {

QElapsedTimer sinceStart;

void Record(const QString& line) {
  std::printf("%s\n", line.toUtf8().constData());
  std::fflush(stdout);
}

// Answers every call on the bus it is registered on, whatever the object path.
class Services : public QDBusVirtualObject {
 public:
  Services(QDBusConnection connection, bool refusePortal)
      : bus(std::move(connection)), refuse(refusePortal) {}

  QString introspect(const QString&) const override { return {}; }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
    const QString member = message.interface() + QLatin1Char('.') + message.member();
    const QVariantList in = message.arguments();
    if (member == QLatin1String("org.freedesktop.portal.Inhibit.Inhibit")) {
      const QVariantMap options = qdbus_cast<QVariantMap>(in.value(2));
      QString sender = message.service().mid(1);
      sender.replace(QLatin1Char('.'), QLatin1Char('_'));
      const QString handle = QStringLiteral("/org/freedesktop/portal/desktop/request/") +
                             sender + QLatin1Char('/') + options.value(QStringLiteral("handle_token")).toString();
      Record(QStringLiteral("portal Inhibit flags=%1 reason=%2")
                 .arg(in.value(1).toUInt())
                 .arg(options.value(QStringLiteral("reason")).toString()));
      bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
      if (refuse) {
        QDBusMessage response = QDBusMessage::createSignal(
            handle, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << 2u << QVariantMap();
        bus.send(response);
      }
      return true;
    }
    if (member == QLatin1String("org.freedesktop.portal.Request.Close")) {
      Record(QStringLiteral("portal Close"));
      bus.send(message.createReply());
      return true;
    }
    if (member == QLatin1String("org.freedesktop.login1.Manager.Inhibit")) {
      Record(QStringLiteral("logind Inhibit what=%1 who=%2 why=%3 mode=%4")
                 .arg(in.value(0).toString(), in.value(1).toString(), in.value(2).toString(),
                      in.value(3).toString()));
      int ends[2];
      if (pipe2(ends, O_CLOEXEC) != 0) return false;
      watchRelease(ends[0]);
      bus.send(message.createReply(QVariant::fromValue(QDBusUnixFileDescriptor(ends[1]))));
      close(ends[1]);  // the reply has its own copy; the caller holds the only one left
      return true;
    }
    if (member == QLatin1String("org.freedesktop.ScreenSaver.Inhibit")) {
      Record(QStringLiteral("screensaver Inhibit app=%1 reason=%2 cookie=%3")
                 .arg(in.value(0).toString(), in.value(1).toString())
                 .arg(++lastNumber));
      bus.send(message.createReply(lastNumber));
      return true;
    }
    if (member == QLatin1String("org.freedesktop.ScreenSaver.UnInhibit")) {
      Record(QStringLiteral("screensaver UnInhibit %1").arg(in.value(0).toUInt()));
      bus.send(message.createReply());
      return true;
    }
    if (member == QLatin1String("org.freedesktop.Notifications.Notify")) {
      const QVariantMap hints = qdbus_cast<QVariantMap>(in.value(6));
      Record(QStringLiteral("notify id=%1 app=%2 replaces=%3 icon=%4 title=%5 text=%6 "
                            "actions=%7 desktop-entry=%8")
                 .arg(++lastNumber)
                 .arg(in.value(0).toString())
                 .arg(in.value(1).toUInt())
                 .arg(in.value(2).toString(), in.value(3).toString(), in.value(4).toString(),
                      in.value(5).toStringList().join(QLatin1Char(',')),
                      hints.value(QStringLiteral("desktop-entry")).toString()));
      bus.send(message.createReply(lastNumber));
      return true;
    }
    if (member == QLatin1String("org.freedesktop.Notifications.CloseNotification")) {
      Record(QStringLiteral("close notification %1").arg(in.value(0).toUInt()));
      bus.send(message.createReply());
      return true;
    }
    Record(QStringLiteral("unexpected ") + member);
    return false;
  }

 private:
  // Reports once when the last holder of the pipe's write end has closed it.
  void watchRelease(int readEnd) {
    auto* notifier = new QSocketNotifier(readEnd, QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, readEnd] {
      char byte;
      if (read(readEnd, &byte, 1) > 0) return;
      Record(QStringLiteral("logind released"));
      notifier->setEnabled(false);
      close(readEnd);
    });
  }

  QDBusConnection bus;
  const bool refuse;
  uint lastNumber = 0;
};

// Records each launcher entry update it hears, with the milliseconds since the start.
class LauncherListener : public QObject {
  Q_OBJECT

 public slots:
  void onUpdate(const QString& entry, const QVariantMap& properties) {
    QString line = QStringLiteral("launcher %1ms %2 visible=%3")
                       .arg(sinceStart.elapsed())
                       .arg(entry)
                       .arg(properties.value(QStringLiteral("progress-visible")).toBool() ? "true" : "false");
    if (properties.contains(QStringLiteral("progress")))
      line += QStringLiteral(" progress=%1").arg(properties.value(QStringLiteral("progress")).toDouble(), 0, 'f', 4);
    Record(line);
  }
};

bool Own(QDBusConnection& bus, const QString& name) {
  if (!bus.registerService(name)) {
    Record(QStringLiteral("cannot own ") + name);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  sinceStart.start();
  const QStringList options = QCoreApplication::arguments().mid(1);
  QDBusConnection session = QDBusConnection::sessionBus();
  if (!session.isConnected()) {
    Record(QStringLiteral("no session bus"));
    return 1;
  }
  Services sessionServices(session, options.contains(QStringLiteral("--portal-refuses")));
  session.registerVirtualObject(QStringLiteral("/"), &sessionServices,
                                QDBusConnection::SubPath);
  if ((options.contains(QStringLiteral("--portal")) || options.contains(QStringLiteral("--portal-refuses"))) &&
      !Own(session, QStringLiteral("org.freedesktop.portal.Desktop")))
    return 1;
  if (options.contains(QStringLiteral("--screensaver")) &&
      !Own(session, QStringLiteral("org.freedesktop.ScreenSaver")))
    return 1;
  if (options.contains(QStringLiteral("--notifications")) &&
      !Own(session, QStringLiteral("org.freedesktop.Notifications")))
    return 1;
  std::unique_ptr<Services> systemServices;
  if (options.contains(QStringLiteral("--logind"))) {
    QDBusConnection system = QDBusConnection::systemBus();
    systemServices = std::make_unique<Services>(system, false);
    system.registerVirtualObject(QStringLiteral("/"), systemServices.get(),
                                 QDBusConnection::SubPath);
    if (!Own(system, QStringLiteral("org.freedesktop.login1"))) return 1;
  }
  LauncherListener listener;
  session.connect(QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
                  QStringLiteral("Update"), &listener, SLOT(onUpdate(QString, QVariantMap)));

  QSocketNotifier commands(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&commands, &QSocketNotifier::activated, [&] {
    char line[64];
    const ssize_t length = read(STDIN_FILENO, line, sizeof line - 1);
    if (length <= 0) {
      QCoreApplication::quit();
      return;
    }
    line[length] = '\0';
    uint notice = 0;
    if (std::sscanf(line, "click %u", &notice) == 1) {
      QDBusMessage click = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                                      QStringLiteral("org.freedesktop.Notifications"),
                                                      QStringLiteral("ActionInvoked"));
      click << notice << QStringLiteral("default");
      session.send(click);
    }
  });
  Record(QStringLiteral("ready"));
  return QCoreApplication::exec();
}

#include "DesktopPeer.moc"
