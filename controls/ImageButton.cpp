#include "controls/ImageButton.h"

#include <initializer_list>

#include "controls/GreyIcon.h"

namespace {

void Frame(HDC dc, const RECT* rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FrameRect(dc, rect, brush);
  DeleteObject(brush);
}

void Fill(HDC dc, const RECT* rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, rect, brush);
  DeleteObject(brush);
}

// A 1-pixel polyline through `points` in the system colour `index`.
void Polyline(HDC dc, int index, std::initializer_list<POINT> points) {
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(index));
  HGDIOBJ previous = SelectObject(dc, pen);
  MoveToEx(dc, points.begin()->x, points.begin()->y, nullptr);
  for (const POINT* point = points.begin() + 1; point != points.end(); ++point)
    LineTo(dc, point->x, point->y);
  SelectObject(dc, previous);
  DeleteObject(pen);
}

}  // namespace

const MessageMap* ImageButton::GetThisMessageMap() {
  static const MessageMap map{CButton::GetThisMessageMap(), {
      ON_WM_MOUSEMOVE(&ImageButton::onMouseMove),
      ON_WM_MOUSELEAVE(&ImageButton::onMouseLeave),
      ON_WM_KILLFOCUS(&ImageButton::onKillFocus),
      ON_WM_CANCELMODE(&ImageButton::onCancelMode),
      ON_WM_ACTIVATE(&ImageButton::onActivate),
      ON_WM_ENABLE(&ImageButton::onEnable),
      ON_WM_GETDLGCODE(&ImageButton::onGetDlgCode),
      ON_MESSAGE(BM_SETSTYLE, &ImageButton::onSetStyle),
      ON_MESSAGE(BM_SETCHECK, &ImageButton::onSetCheck),
      ON_MESSAGE(BM_GETCHECK, &ImageButton::onGetCheck),
      ON_WM_SYSCOLORCHANGE(&ImageButton::onSysColorChange),
      ON_WM_CTLCOLOR_REFLECT(OCM_CTLCOLORBTN, &ImageButton::onCtlColor),
      ON_CONTROL_REFLECT_EX(BN_CLICKED, &ImageButton::onClicked),
  }};
  return &map;
}

ImageButton::ImageButton() { resetColors(false); }

ImageButton::~ImageButton() { releaseIcons(); }

int ImageButton::assignIcons(int inId, int outId) {
  HICON in = LoadImageA(inId & 0xFFFF, IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR);
  if (outId == AutoGrey && in != nullptr) {
    HICON grey = makeGreyIcon(in);
    if (grey == nullptr) {  // the resting icon asked for cannot be had
      DestroyIcon(in);
      releaseIcons();
      return 1;
    }
    return assignIconHandles(in, grey);
  }
  HICON out = outId == 0 || outId == AutoGrey
                  ? nullptr
                  : LoadImageA(outId & 0xFFFF, IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR);
  return assignIconHandles(in, out);
}

bool ImageButton::measure(HICON icon, IconSlot* slot) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  slot->width = static_cast<int>(info.xHotspot) * 2;
  slot->height = static_cast<int>(info.yHotspot) * 2;
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return true;
}

int ImageButton::assignIconHandles(HICON in, HICON out) {
  releaseIcons();
  if (in != nullptr) {
    inIcon.handle = in;
    if (!measure(in, &inIcon)) {
      releaseIcons();
      return 1;
    }
    if (out != nullptr) {
      outIcon.handle = out;
      if (!measure(out, &outIcon)) {
        releaseIcons();
        return 1;
      }
    }
  } else if (out != nullptr) {
    DestroyIcon(out);  // a resting icon without a pressed one is never shown
  }
  Invalidate(TRUE);
  return 0;
}

void ImageButton::releaseIcons() {
  for (IconSlot* slot : {&inIcon, &outIcon}) {
    if (slot->handle != nullptr) DestroyIcon(slot->handle);
    *slot = IconSlot{};
  }
}

void ImageButton::setFlatLook(bool flatLook, bool repaint) {
  flat = flatLook;
  if (repaint) Invalidate(TRUE);
}

void ImageButton::resetColors(bool repaint) {
  faceColour = GetSysColor(COLOR_BTNFACE);
  captionColour = GetSysColor(COLOR_BTNTEXT);
  if (repaint) Invalidate(TRUE);
}

void ImageButton::DrawItem(DRAWITEMSTRUCT* item) {
  HDC dc = item->hDC;
  pressed = (item->itemState & ODS_SELECTED) != 0;
  focused = (item->itemState & ODS_FOCUS) != 0;
  disabled = (item->itemState & ODS_DISABLED) != 0;
  RECT working = item->rcItem;
  SetBkMode(dc, TRANSPARENT);
  paintBackground(dc, &working);
  paintBorder(dc, &working);
  const std::string caption = GetWindowText();
  RECT captionRect = item->rcItem;
  if (inIcon.handle != nullptr)
    paintIcon(dc, !caption.empty(), &item->rcItem, &captionRect, pressed, disabled);
  if (!caption.empty()) paintCaption(dc, caption, &captionRect, pressed, disabled);
  if (!flat && focused) {
    InflateRect(&working, -3, -3);
    DrawFocusRect(dc, &working);
  }
}

void ImageButton::paintBackground(HDC dc, RECT* rect) {
  if (!flat && (focused || isDefault)) {
    Frame(dc, rect, RGB(0, 0, 0));
    InflateRect(rect, -1, -1);
  }
  Fill(dc, rect, faceColour);
}

void ImageButton::paintBorder(HDC dc, const RECT* rect) {
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  if (pressed) {
    if (!flat)
      Frame(dc, rect, shadow);
    else if (drawBorder)
      Draw3dRect(dc, rect, shadow, highlight);
  } else if (flat) {
    if (hovering && drawBorder) Draw3dRect(dc, rect, highlight, shadow);
  } else {
    const LONG l = rect->left, t = rect->top, r = rect->right, b = rect->bottom;
    Polyline(dc, COLOR_BTNHIGHLIGHT, {{l, b - 1}, {l, t}, {r, t}});
    Polyline(dc, COLOR_3DLIGHT, {{l + 1, b - 1}, {l + 1, t + 1}, {r, t + 1}});
    Polyline(dc, COLOR_3DDKSHADOW, {{l, b - 1}, {r - 1, b - 1}, {r - 1, t - 1}});
    Polyline(dc, COLOR_BTNSHADOW, {{l + 1, b - 2}, {r - 2, b - 2}, {r - 2, t}});
  }
}

RECT ImageButton::placeIcon(bool hasCaption, const RECT* itemRect, RECT* captionRect,
                            bool isPressed, int width, int height) const {
  RECT icon = *itemRect;
  if (hasCaption) {
    icon.left += imageOffsetX;
    captionRect->left += imageOffsetX + width;
  } else {
    icon.left += (icon.right - icon.left - width) / 2;
  }
  icon.top += (icon.bottom - icon.top - height) / 2;
  if (isPressed) OffsetRect(&icon, pressedShift.x, pressedShift.y);
  return icon;
}

void ImageButton::paintIcon(HDC dc, bool hasCaption, const RECT* itemRect, RECT* captionRect,
                            bool isPressed, bool isDisabled) {
  const IconSlot& slot = isPressed || hovering          ? inIcon
                         : outIcon.handle != nullptr ? outIcon
                                                     : inIcon;
  const RECT icon =
      placeIcon(hasCaption, itemRect, captionRect, isPressed, slot.width, slot.height);
  // The icon sits 5 pixels right of its rectangle; the caption keeps its place.
  DrawStateA(dc, nullptr, slot.handle, icon.left + 5, icon.top, icon.right - icon.left - 5,
             icon.bottom - icon.top, DST_ICON | (isDisabled ? DSS_DISABLED : 0));
}

void ImageButton::paintCaption(HDC dc, const std::string& text, RECT* captionRect,
                               bool isPressed, bool isDisabled) {
  if (isPressed) OffsetRect(captionRect, pressedShift.x, pressedShift.y);
  const RECT frame = *captionRect;
  DrawTextA(dc, text.c_str(), -1, captionRect, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
  OffsetRect(captionRect,
             ((frame.right - frame.left) - (captionRect->right - captionRect->left)) / 2,
             ((frame.bottom - frame.top) - (captionRect->bottom - captionRect->top)) / 2);
  if (isDisabled) {
    OffsetRect(captionRect, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextA(dc, text.c_str(), -1, captionRect, DT_WORDBREAK | DT_CENTER);
    OffsetRect(captionRect, -1, -1);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    DrawTextA(dc, text.c_str(), -1, captionRect, DT_WORDBREAK | DT_CENTER);
    return;
  }
  SetTextColor(dc, captionColour);
  SetBkColor(dc, faceColour);
  DrawTextA(dc, text.c_str(), -1, captionRect, DT_WORDBREAK | DT_CENTER);
}

void ImageButton::PreSubclassWindow() {
  const LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
  if ((style & 0xFF & BS_TYPEMASK) == BS_DEFPUSHBUTTON) isDefault = true;
  SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>((style & ~BS_TYPEMASK) | BS_OWNERDRAW));
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  CButton::PreSubclassWindow();
}

// A quick second click is a second click, never a double click.
BOOL ImageButton::PreTranslateMessage(MSG* message) {
  if (message->message == WM_LBUTTONDBLCLK && message->hwnd == m_hWnd)
    message->message = WM_LBUTTONDOWN;
  return CButton::PreTranslateMessage(message);
}

void ImageButton::endHover() {
  if (flat && hovering) {
    hovering = false;
    Invalidate(TRUE);
  }
}

void ImageButton::onMouseMove(UINT keys, POINT point) {
  Default();
  POINT screen = point;
  ClientToScreen(m_hWnd, &screen);
  const HWND under = WindowFromPoint(screen);
  if ((keys & MK_LBUTTON) && !hovering) return;
  if (!flat) return;
  if (under != m_hWnd) {
    endHover();
    return;
  }
  if (hovering) return;
  hovering = true;
  Invalidate(TRUE);
  TRACKMOUSEEVENT leave{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
  TrackMouseEvent(&leave);
}

void ImageButton::onMouseLeave() { endHover(); }

void ImageButton::onKillFocus(HWND) {
  Default();
  endHover();
}

void ImageButton::onCancelMode() {
  Default();
  endHover();
}

void ImageButton::onActivate(UINT state, HWND, BOOL) {
  Default();
  if (state == WA_INACTIVE) endHover();
}

// A disabled button gives the keyboard focus on, whether or not it had it.
void ImageButton::onEnable(BOOL enabled) {
  Default();
  if (enabled) return;
  const HWND parent = GetParent();
  const HWND next = GetNextDlgTabItem(parent, m_hWnd, FALSE);
  ::SetFocus(next != nullptr ? next : parent);
  endHover();
}

UINT ImageButton::onGetDlgCode() {
  return static_cast<UINT>(Default() | (isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON));
}

// The dialog manager moves the default state between push buttons; this one follows it and
// stays owner-drawn.
LRESULT ImageButton::onSetStyle(WPARAM style, LPARAM redraw) {
  const WPARAM type = style & BS_TYPEMASK;
  if (type == BS_DEFPUSHBUTTON) isDefault = true;
  if (type == BS_PUSHBUTTON) isDefault = false;
  return DefWindowProc(BM_SETSTYLE, (style & ~WPARAM{BS_TYPEMASK}) | BS_OWNERDRAW, redraw);
}

LRESULT ImageButton::onSetCheck(WPARAM, LPARAM) { return 0; }

LRESULT ImageButton::onGetCheck(WPARAM, LPARAM) { return BST_UNCHECKED; }

void ImageButton::onSysColorChange() {
  Default();
  resetColors(true);
}

// No background from the parent under the button.
HBRUSH ImageButton::onCtlColor(HDC, UINT) {
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

// The button takes the focus before the dialog handles the click.
BOOL ImageButton::onClicked() {
  SetFocus();
  return FALSE;
}
