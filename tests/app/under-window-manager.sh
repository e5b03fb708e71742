#!/bin/sh
# Runs a GUI test program on a virtual display (Xvfb) whose windows openbox manages, so that
# they get the decorations a desktop gives them.
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c \
  'openbox >/dev/null 2>&1 & QT_QPA_PLATFORM=xcb "$@"; status=$?; kill $! 2>/dev/null; exit $status' \
  sh "$@"
