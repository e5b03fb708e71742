#pragma once
#include <string>

#include "platform/Button.h"
#include "platform/Icons.h"
#include "platform/WinStyles.h"
#include "platform/WindowCalls.h"
// An owner-drawn push button bound to a template button: a small icon left of its caption,
// a classic 3D frame, a focus rectangle, an embossed caption when disabled, and optionally a
// flat look that shows a frame only while the mouse is over it.
class ImageButton : public CButton {
 public:
  // The "out" id that asks for a grey copy of the "in" icon.
  static constexpr int AutoGrey = -2;

  ImageButton();
  ~ImageButton() override;

  // Loads icon resources (low 16 bits of each id): `inId` while pressed or hovered and when
  // there is no resting icon; `outId` at rest, 0 for none, AutoGrey for a grey copy of the
  // "in" icon. Returns what assignIconHandles returns (1 as well when no grey copy can be
  // made).
  int assignIcons(int inId, int outId);
  // Takes ownership of the icons (`out` may be null); 0 on success, 1 (and no icons) when
  // one cannot be measured.
  int assignIconHandles(HICON in, HICON out);
  // Destroys the icons held.
  void releaseIcons();
  // The flat look (a frame only while hovered) or the bordered one.
  void setFlatLook(bool flat, bool repaint);
  // Takes the face and caption colours from the system colours again.
  void resetColors(bool repaint);

 protected:
  struct IconSlot {
    HICON handle = nullptr;
    int width = 0;
    int height = 0;
  };

  // Paints the whole button for its parent's WM_DRAWITEM: face, frame, icon, caption, focus.
  void DrawItem(DRAWITEMSTRUCT* item) override;
  // The face: may shrink `rect` (the black outline of a focused or default button).
  virtual void paintBackground(HDC dc, RECT* rect);
  // The frame on the rectangle paintBackground left.
  virtual void paintBorder(HDC dc, const RECT* rect);
  // The hovered/pressed or resting icon, greyed when disabled; moves the caption past it.
  virtual void paintIcon(HDC dc, bool hasCaption, const RECT* itemRect, RECT* captionRect,
                         bool isPressed, bool isDisabled);
  // The caption centred (wrapped) in `captionRect`, one pixel further while pressed,
  // embossed when disabled.
  virtual void paintCaption(HDC dc, const std::string& text, RECT* captionRect, bool isPressed,
                            bool isDisabled);
  // Where an icon of width x height goes; moves the caption's left edge past it.
  RECT placeIcon(bool hasCaption, const RECT* itemRect, RECT* captionRect, bool isPressed,
                 int width, int height) const;

  // Makes the template button owner-drawn, remembering whether it was the default one.
  void PreSubclassWindow() override;
  // Turns a double click into a second button press.
  BOOL PreTranslateMessage(MSG* message) override;

  const int imageOffsetX = 3;       // from the face's left edge to the icon rectangle
  const POINT pressedShift{1, 1};   // icon and caption move by this while pressed
  bool flat = true;
  bool hovering = false;            // the mouse is over it (the flat look only)
  bool pressed = false;             // pressed, focused and disabled: as at the last paint
  bool focused = false;
  bool disabled = false;
  bool isDefault = false;           // the dialog's default push button
  bool drawBorder = true;           // the flat look draws its frames
  // Face and caption colours, the same pressed, hovered, focused or at rest.
  COLORREF faceColour, captionColour;
  IconSlot inIcon;   // pressed or hovered, and at rest when there is no outIcon
  IconSlot outIcon;  // at rest

  DECLARE_MESSAGE_MAP()

 private:
  // Measures `icon` into `slot` (twice its hot spot); false when it cannot.
  static bool measure(HICON icon, IconSlot* slot);
  // Leaves the hovered state of the flat look, repainting.
  void endHover();

  void onMouseMove(UINT keys, POINT point);
  void onMouseLeave();
  void onKillFocus(HWND other);
  void onCancelMode();
  void onActivate(UINT state, HWND other, BOOL minimized);
  void onEnable(BOOL enabled);
  UINT onGetDlgCode();
  LRESULT onSetStyle(WPARAM style, LPARAM redraw);
  LRESULT onSetCheck(WPARAM, LPARAM);
  LRESULT onGetCheck(WPARAM, LPARAM);
  void onSysColorChange();
  HBRUSH onCtlColor(HDC dc, UINT kind);
  BOOL onClicked();
};
