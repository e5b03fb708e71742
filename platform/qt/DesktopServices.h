#pragma once
// The desktop's services the program asks for over the session and system buses, one of
// each for the process: made at first use, ended with the application object (AfxWinTerm),
// when whatever they still hold is let go.

class LauncherEntry;
class NotificationArea;
class SleepInhibitor;

SleepInhibitor& DesktopSleepInhibitor();
LauncherEntry& DesktopLauncherEntry();
NotificationArea& DesktopNotificationArea();
// Ends the three, before the application object goes.
void EndDesktopServices();
