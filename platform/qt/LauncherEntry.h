#pragma once
#include <QElapsedTimer>
#include <QString>
#include <QTimer>

// The program's entry in the desktop's task bar or dock as com.canonical.Unity.LauncherEntry
// has it: Update signals on the session bus naming the program's desktop entry
// ("application://" + the desktop file's name) with the progress of its work. Nothing
// without a session bus. User-interface thread only.
class LauncherEntry {
 public:
  LauncherEntry();

  // Shows `fraction` (0 to 1): told at once, or, within a quarter of a second of the last
  // update, when that quarter is over (the latest fraction given by then).
  void showProgress(double fraction);
  // Hides the progress, at once; a fraction waiting to be told is dropped.
  void hideProgress();

 private:
  void update(bool visible);

  QTimer due;  // the end of the quarter of a second after the last update
  QElapsedTimer sinceUpdate;
  double latest = 0;
};
