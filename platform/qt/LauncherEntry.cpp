#include "platform/qt/LauncherEntry.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QVariantMap>
#include <algorithm>

#include "platform/Taskbar.h"
#include "platform/qt/DesktopServices.h"

namespace {
// The desktop is told at most this often.
constexpr int kUpdateInterval = 250;  // milliseconds
}  // namespace

LauncherEntry::LauncherEntry() {
  due.setSingleShot(true);
  QObject::connect(&due, &QTimer::timeout, &due, [this] { update(true); });
}

void LauncherEntry::showProgress(double fraction) {
  latest = std::clamp(fraction, 0.0, 1.0);
  if (due.isActive()) return;  // the update then tells the latest fraction
  if (sinceUpdate.isValid() && sinceUpdate.elapsed() < kUpdateInterval)
    due.start(kUpdateInterval - static_cast<int>(sinceUpdate.elapsed()));
  else
    update(true);
}

void LauncherEntry::hideProgress() {
  due.stop();
  update(false);
}

void LauncherEntry::update(bool visible) {
  sinceUpdate.start();
  const QString entry = QGuiApplication::desktopFileName();
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (entry.isEmpty() || !bus.isConnected()) return;
  // An object path of the entry's own: its name with '/' between the parts.
  QString path = entry;
  path.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.]")), QStringLiteral("_"));
  path = QLatin1Char('/') + path.replace(QLatin1Char('.'), QLatin1Char('/'));
  QDBusMessage signal = QDBusMessage::createSignal(path, QStringLiteral("com.canonical.Unity.LauncherEntry"),
                                                   QStringLiteral("Update"));
  QVariantMap properties{{QStringLiteral("progress-visible"), visible}};
  if (visible) properties.insert(QStringLiteral("progress"), latest);
  signal << QStringLiteral("application://") + entry + QStringLiteral(".desktop") << properties;
  bus.send(signal);
}

HRESULT ITaskbarList3::SetProgressValue(HWND, ULONGLONG completed, ULONGLONG total) {
  DesktopLauncherEntry().showProgress(
      total == 0 ? 0.0 : static_cast<double>(completed) / static_cast<double>(total));
  return S_OK;
}

HRESULT ITaskbarList3::SetProgressState(HWND, TBPFLAG state) {
  if (state != TBPF_NOPROGRESS) return E_FAIL;
  DesktopLauncherEntry().hideProgress();
  return S_OK;
}
