#pragma once
#include <QSize>

#include "platform/WinHandles.h"
// Outer and client sizes of top-level windows, and WM_SIZE / WM_GETMINMAXINFO.

struct WindowObject;

// The outer rectangle's extra size over the client area: the decorations a window manager
// adds (nothing without one, e.g. on the offscreen platform).
QSize FrameExtra(const WindowObject& window);
// WM_GETMINMAXINFO answered by the window, outer sizes; the defaults are no minimum and
// the screen size (with decorations) as the maximum.
MINMAXINFO QueryMinMaxInfo(WindowObject& window);
// A window with a sizing border (WS_THICKFRAME) resizes; any other stays at the size it
// was made or set to, without resize handles or a maximise button.
bool HasSizingBorder(const WindowObject& window);
// Applies the window's minimum tracking size to what the user can drag it to; a window
// without a sizing border is held at its size.
void ApplyTrackingLimits(WindowObject& window);
// Gives a top-level window a new client size, also one without a sizing border.
void SetClientSize(WindowObject& window, QSize size);
// An outer size held within the window's tracking limits.
QSize ClampOuterSize(WindowObject& window, QSize outer);
// WM_SIZE when the client size or the size type changed since the last one.
void SendSizeIfChanged(WindowObject& window);
// Centres the window's outer rectangle in the screen's work area and keeps it centred while
// the decorations change, until the window is moved otherwise.
void CentreOnScreen(WindowObject& window);
// Follows a show, move or resize of a top-level window: works the outer size asked for, the
// tracking limits and the centring out again when the decorations have changed; forgets the
// outer size or the centring when the window was resized or moved otherwise.
void FollowFrame(WindowObject& window);
