#pragma once
#include <vector>

#include "platform/WinHandles.h"

class CWnd;

// Keeps chosen controls of a resizable dialog attached to its right and bottom edges: each
// relayout moves and stretches them by the change of the dialog's client size since the
// previous one, never below the client size the dialog had at attach.
class AnchorLayout {
 public:
  // Anchor flags; they combine by addition.
  static constexpr int kFollowRight = 1;
  static constexpr int kFollowBottom = 2;
  static constexpr int kStretchWidth = 4;
  static constexpr int kStretchHeight = 8;

  // Follows `parent`'s client area from its current size on; that size is the floor.
  void attach(CWnd* parent);
  // Registers a control with its flags; false without a control or a parent.
  bool addControl(HWND control, int flags);
  // addControl with the parent's control of this id; false without a parent.
  bool addControlById(int id, int flags);
  // Moves the registered controls by the size change since the last relayout. Does
  // nothing before attach.
  void relayout();

 private:
  struct AnchorEntry {
    HWND control;
    int flags;
  };
  CWnd* parent = nullptr;
  SIZE lastSize{0, 0};
  SIZE baseSize{0, 0};
  std::vector<AnchorEntry> entries;
};
