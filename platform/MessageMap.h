#pragma once
#include <functional>
#include <vector>

#include "platform/WinMessages.h"
// Message tables. Each window class lists the messages it handles, one line per message or
// control notification, naming a member handler; the table of a class chains to its base
// class's table. A class declares its table with DECLARE_MESSAGE_MAP() and defines
//
//   const MessageMap* MyDialog::GetThisMessageMap() {
//     static const MessageMap map{CDialog::GetThisMessageMap(), {
//         ON_WM_SIZE(&MyDialog::OnSize),
//         ON_BN_CLICKED(1000, &MyDialog::onAdd),
//     }};
//     return &map;
//   }
//
// Each ON_ entry decodes the message's parameters for its handler. A handler that wants the
// default processing as well calls Default() (CWnd) where it wants it to happen.

class CWnd;

struct MessageEntry {
  UINT message;  // WM_COMMAND / OCM_COMMAND entries also match a control id and a code
  WORD code;
  int id;
  // Runs the handler and sets the message's result; false when the handler declines, so
  // the search goes on (a reflected notification that the parent should see as well).
  std::function<bool(CWnd& window, WPARAM wParam, LPARAM lParam, LRESULT& result)> handler;
};

struct MessageMap {
  const MessageMap* base;  // the base class's table, searched after this one
  std::vector<MessageEntry> entries;
};

#define DECLARE_MESSAGE_MAP()                                                  \
 protected:                                                                    \
  static const MessageMap* GetThisMessageMap();                               \
  const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

namespace message_map_detail {
template <class T>
T& As(CWnd& window) {
  return static_cast<T&>(window);
}
}  // namespace message_map_detail

// A message the table does not decode: LRESULT handler(WPARAM, LPARAM). User messages.
template <class T>
MessageEntry ON_MESSAGE(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
  return {message, 0, 0, [handler](CWnd& w, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            result = (message_map_detail::As<T>(w).*handler)(wParam, lParam);
            return true;
          }};
}

// A message without parameters or result: void handler().
template <class T>
MessageEntry ON_MESSAGE_VOID(UINT message, void (T::*handler)()) {
  return {message, 0, 0, [handler](CWnd& w, WPARAM, LPARAM, LRESULT& result) {
            (message_map_detail::As<T>(w).*handler)();
            result = 0;
            return true;
          }};
}

// WM_COMMAND with a control id and notification code: void handler().
template <class T>
MessageEntry ON_CONTROL(WORD code, int id, void (T::*handler)()) {
  return {WM_COMMAND, code, id, [handler](CWnd& w, WPARAM, LPARAM, LRESULT& result) {
            (message_map_detail::As<T>(w).*handler)();
            result = 0;
            return true;
          }};
}
// WM_COMMAND from a menu item, Enter/Esc or a button: void handler().
template <class T>
MessageEntry ON_COMMAND(int id, void (T::*handler)()) {
  return ON_CONTROL(BN_CLICKED, id, handler);
}
// BN_CLICKED of a button: void handler().
template <class T>
MessageEntry ON_BN_CLICKED(int id, void (T::*handler)()) {
  return ON_CONTROL(BN_CLICKED, id, handler);
}

// A notification the parent reflected back to the control that sent it:
// BOOL handler(); TRUE keeps it from the parent, FALSE lets the parent handle it too.
template <class T>
MessageEntry ON_CONTROL_REFLECT_EX(WORD code, BOOL (T::*handler)()) {
  return {OCM_COMMAND, code, 0, [handler](CWnd& w, WPARAM, LPARAM, LRESULT& result) {
            result = (message_map_detail::As<T>(w).*handler)();
            return true;
          }};
}

// Reflected WM_CTLCOLORSTATIC / WM_CTLCOLORBTN (OCM_CTLCOLORSTATIC / OCM_CTLCOLORBTN):
// HBRUSH handler(HDC, UINT ctlColor) with CTLCOLOR_STATIC / CTLCOLOR_BTN.
// A non-null brush is what is returned to the parent's paint; null lets the parent decide.
template <class T>
MessageEntry ON_WM_CTLCOLOR_REFLECT(UINT reflected, HBRUSH (T::*handler)(HDC, UINT)) {
  return {reflected, 0, 0, [handler, reflected](CWnd& w, WPARAM wParam, LPARAM, LRESULT& result) {
            HBRUSH brush = (message_map_detail::As<T>(w).*handler)(
                reinterpret_cast<HDC>(wParam), reflected - WM_REFLECT_BASE - WM_CTLCOLORMSGBOX);
            result = reinterpret_cast<LRESULT>(brush);
            return true;
          }};
}

// WM_SIZE: void handler(UINT type, int cx, int cy) with the new client size.
template <class T>
MessageEntry ON_WM_SIZE(void (T::*handler)(UINT, int, int)) {
  return {WM_SIZE, 0, 0, [handler](CWnd& w, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            (message_map_detail::As<T>(w).*handler)(static_cast<UINT>(wParam), LOWORD(lParam),
                                                    HIWORD(lParam));
            result = 0;
            return true;
          }};
}

// WM_GETMINMAXINFO: void handler(MINMAXINFO*), outer sizes.
template <class T>
MessageEntry ON_WM_GETMINMAXINFO(void (T::*handler)(MINMAXINFO*)) {
  return {WM_GETMINMAXINFO, 0, 0, [handler](CWnd& w, WPARAM, LPARAM lParam, LRESULT& result) {
            (message_map_detail::As<T>(w).*handler)(reinterpret_cast<MINMAXINFO*>(lParam));
            result = 0;
            return true;
          }};
}

// WM_DROPFILES: void handler(HDROP), which releases the drop with DragFinish.
template <class T>
MessageEntry ON_WM_DROPFILES(void (T::*handler)(HDROP)) {
  return {WM_DROPFILES, 0, 0, [handler](CWnd& w, WPARAM wParam, LPARAM, LRESULT& result) {
            (message_map_detail::As<T>(w).*handler)(reinterpret_cast<HDROP>(wParam));
            result = 0;
            return true;
          }};
}

// WM_NOTIFY with notification `code` from the control with id `id`:
// void handler(NMHDR* header, LRESULT* result), the header being that of the code's structure.
template <class T>
MessageEntry ON_NOTIFY(UINT code, int id, void (T::*handler)(NMHDR*, LRESULT*)) {
  return {WM_NOTIFY, 0, id,
          [handler, code, id](CWnd& w, WPARAM, LPARAM lParam, LRESULT& result) {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header == nullptr || header->code != code ||
                header->idFrom != static_cast<UINT_PTR>(id))
              return false;
            result = 0;
            (message_map_detail::As<T>(w).*handler)(header, &result);
            return true;
          }};
}

// WM_PAINT: void handler().
template <class T>
MessageEntry ON_WM_PAINT(void (T::*handler)()) {
  return ON_MESSAGE_VOID(WM_PAINT, handler);
}

// WM_CLOSE: void handler().
template <class T>
MessageEntry ON_WM_CLOSE(void (T::*handler)()) {
  return ON_MESSAGE_VOID(WM_CLOSE, handler);
}

// WM_SYSCOMMAND: void handler(UINT command, LPARAM).
template <class T>
MessageEntry ON_WM_SYSCOMMAND(void (T::*handler)(UINT, LPARAM)) {
  return {WM_SYSCOMMAND, 0, 0, [handler](CWnd& w, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            (message_map_detail::As<T>(w).*handler)(static_cast<UINT>(wParam), lParam);
            result = 0;
            return true;
          }};
}

// WM_QUERYDRAGICON: HICON handler(), the icon shown while a minimised window is dragged.
template <class T>
MessageEntry ON_WM_QUERYDRAGICON(HICON (T::*handler)()) {
  return {WM_QUERYDRAGICON, 0, 0, [handler](CWnd& w, WPARAM, LPARAM, LRESULT& result) {
            result = reinterpret_cast<LRESULT>((message_map_detail::As<T>(w).*handler)());
            return true;
          }};
}

// Mouse messages: void handler(UINT keyFlags, POINT clientPoint).
template <class T>
MessageEntry ON_MOUSE_MESSAGE(UINT message, void (T::*handler)(UINT, POINT)) {
  return {message, 0, 0, [handler](CWnd& w, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            (message_map_detail::As<T>(w).*handler)(
                static_cast<UINT>(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            result = 0;
            return true;
          }};
}
template <class T>
MessageEntry ON_WM_MOUSEMOVE(void (T::*handler)(UINT, POINT)) {
  return ON_MOUSE_MESSAGE(WM_MOUSEMOVE, handler);
}
template <class T>
MessageEntry ON_WM_LBUTTONDOWN(void (T::*handler)(UINT, POINT)) {
  return ON_MOUSE_MESSAGE(WM_LBUTTONDOWN, handler);
}
template <class T>
MessageEntry ON_WM_LBUTTONUP(void (T::*handler)(UINT, POINT)) {
  return ON_MOUSE_MESSAGE(WM_LBUTTONUP, handler);
}
// WM_MOUSELEAVE (after TrackMouseEvent): void handler().
template <class T>
MessageEntry ON_WM_MOUSELEAVE(void (T::*handler)()) {
  return ON_MESSAGE_VOID(WM_MOUSELEAVE, handler);
}

// WM_SETFOCUS / WM_KILLFOCUS: void handler(HWND other), the window losing / gaining focus.
template <class T>
MessageEntry ON_WM_SETFOCUS(void (T::*handler)(HWND)) {
  return {WM_SETFOCUS, 0, 0, [handler](CWnd& w, WPARAM wParam, LPARAM, LRESULT& result) {
            (message_map_detail::As<T>(w).*handler)(reinterpret_cast<HWND>(wParam));
            result = 0;
            return true;
          }};
}
template <class T>
MessageEntry ON_WM_KILLFOCUS(void (T::*handler)(HWND)) {
  return {WM_KILLFOCUS, 0, 0, [handler](CWnd& w, WPARAM wParam, LPARAM, LRESULT& result) {
            (message_map_detail::As<T>(w).*handler)(reinterpret_cast<HWND>(wParam));
            result = 0;
            return true;
          }};
}

// WM_ENABLE: void handler(BOOL enabled).
template <class T>
MessageEntry ON_WM_ENABLE(void (T::*handler)(BOOL)) {
  return {WM_ENABLE, 0, 0, [handler](CWnd& w, WPARAM wParam, LPARAM, LRESULT& result) {
            (message_map_detail::As<T>(w).*handler)(static_cast<BOOL>(wParam));
            result = 0;
            return true;
          }};
}

// WM_ACTIVATE: void handler(UINT state, HWND other, BOOL minimized).
template <class T>
MessageEntry ON_WM_ACTIVATE(void (T::*handler)(UINT, HWND, BOOL)) {
  return {WM_ACTIVATE, 0, 0, [handler](CWnd& w, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            (message_map_detail::As<T>(w).*handler)(LOWORD(wParam), reinterpret_cast<HWND>(lParam),
                                                    HIWORD(wParam) != 0);
            result = 0;
            return true;
          }};
}

// WM_CANCELMODE (a modal call begins: give up capture and hover): void handler().
template <class T>
MessageEntry ON_WM_CANCELMODE(void (T::*handler)()) {
  return ON_MESSAGE_VOID(WM_CANCELMODE, handler);
}

// WM_SYSCOLORCHANGE (the palette changed): void handler().
template <class T>
MessageEntry ON_WM_SYSCOLORCHANGE(void (T::*handler)()) {
  return ON_MESSAGE_VOID(WM_SYSCOLORCHANGE, handler);
}

// WM_SETCURSOR, sent before each WM_MOUSEMOVE: BOOL handler(HWND window, UINT hitTest,
// UINT mouseMessage); TRUE when the handler set the cursor itself.
template <class T>
MessageEntry ON_WM_SETCURSOR(BOOL (T::*handler)(HWND, UINT, UINT)) {
  return {WM_SETCURSOR, 0, 0, [handler](CWnd& w, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            result = (message_map_detail::As<T>(w).*handler)(reinterpret_cast<HWND>(wParam),
                                                             LOWORD(lParam), HIWORD(lParam));
            return true;
          }};
}

// WM_GETDLGCODE: UINT handler(), the DLGC_ flags it returns.
template <class T>
MessageEntry ON_WM_GETDLGCODE(UINT (T::*handler)()) {
  return {WM_GETDLGCODE, 0, 0, [handler](CWnd& w, WPARAM, LPARAM, LRESULT& result) {
            result = (message_map_detail::As<T>(w).*handler)();
            return true;
          }};
}
