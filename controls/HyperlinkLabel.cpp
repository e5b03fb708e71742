#include "controls/HyperlinkLabel.h"

#include "platform/ModalHook.h"
#include "platform/WinStyles.h"

const MessageMap* HyperlinkLabel::GetThisMessageMap() {
  static const MessageMap map{CStatic::GetThisMessageMap(), {
      ON_WM_MOUSEMOVE(&HyperlinkLabel::onMouseMove),
      ON_WM_SETCURSOR(&HyperlinkLabel::onSetCursor),
      ON_WM_CANCELMODE(&HyperlinkLabel::onCancelMode),
      ON_CONTROL_REFLECT_EX(STN_CLICKED, &HyperlinkLabel::onClicked),
      ON_WM_CTLCOLOR_REFLECT(OCM_CTLCOLORSTATIC, &HyperlinkLabel::onCtlColor),
  }};
  return &map;
}

HyperlinkLabel::~HyperlinkLabel() {
  if (linkFont != nullptr) DeleteObject(linkFont);
}

void HyperlinkLabel::setLinkTarget(const std::string& address) { linkTarget = address; }

void HyperlinkLabel::openLink(const std::string& address) {
  ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWMINIMIZED);
}

void HyperlinkLabel::PreSubclassWindow() {
  SetWindowLongA(m_hWnd, GWL_STYLE, GetWindowLongA(m_hWnd, GWL_STYLE) | SS_NOTIFY);
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)), sizeof font, &font);
  font.lfUnderline = 1;
  linkFont = CreateFontIndirectA(&font);
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(linkFont), TRUE);
  // The help program's hand cursor does not exist here: the toolkit's pointing hand.
  linkCursor = LoadCursorA(nullptr, IDC_HAND);
  CStatic::PreSubclassWindow();
}

void HyperlinkLabel::redrawNow() {
  RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// The first move over the label takes the capture, so the first move outside it reaches the
// label too and ends the hover.
void HyperlinkLabel::onMouseMove(UINT, POINT point) {
  Default();
  if (hover) {
    RECT client;
    GetClientRect(&client);
    if (PtInRect(&client, point)) return;
    hover = false;
    ReleaseCapture();
    redrawNow();
    return;
  }
  hover = true;
  redrawNow();
  SetCapture(m_hWnd);
}

// A modal call takes the capture away: without it no move outside would end the hover, and
// the label would stay red.
void HyperlinkLabel::onCancelMode() {
  Default();
  if (!hover) return;
  hover = false;
  ReleaseCapture();
  redrawNow();
}

BOOL HyperlinkLabel::onSetCursor(HWND, UINT, UINT) {
  SetCursor(linkCursor);
  return TRUE;
}

BOOL HyperlinkLabel::onClicked() {
  openLink(linkTarget);
  Invalidate(TRUE);
  return TRUE;
}

// Transparent text in the link colour over the dialog's own background.
HBRUSH HyperlinkLabel::onCtlColor(HDC dc, UINT) {
  SetTextColor(dc, hover ? hoverColor : linkColor);
  SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}
