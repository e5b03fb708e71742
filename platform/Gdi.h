#pragma once
#include "platform/WinTypes.h"
// Device contexts and drawing objects: the GDI calls the controls paint with, drawn by the
// toolkit underneath. Handles are opaque; every one made here is freed by its owner
// (DeleteDC, DeleteObject).

struct DeviceContext;
struct GdiObject;
using HDC = DeviceContext*;
using HGDIOBJ = GdiObject*;
using HBITMAP = GdiObject*;
using HBRUSH = GdiObject*;
using HPEN = GdiObject*;
using HFONT = GdiObject*;

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Pen styles.
constexpr int PS_SOLID = 0;

// Stock objects.
constexpr int NULL_BRUSH = 5;

// DrawText formats.
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_CALCRECT = 0x400;
constexpr UINT DT_NOPREFIX = 0x800;

// System colours.
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;

struct BITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  void* bmBits;
};

constexpr int LF_FACESIZE = 32;
struct LOGFONTA {
  LONG lfHeight;  // negative: character height in pixels
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;  // 400 normal, 700 bold
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  char lfFaceName[LF_FACESIZE];
};

// The colour of a system colour index, taken from the application palette.
COLORREF GetSysColor(int index);

// A memory context compatible with `dc` (or with the screen when null); it starts with a
// 1 x 1 monochrome bitmap selected.
HDC CreateCompatibleDC(HDC dc);
// Frees a memory context; the objects selected into it stay alive and are deselected.
BOOL DeleteDC(HDC dc);

// A bitmap of width x height pixels, all zero. Only 1 (monochrome) or 32 bits per pixel;
// `bits` must be null.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBRUSH CreateSolidBrush(COLORREF color);
// A solid pen; the controls only draw 1-pixel lines.
HPEN CreatePen(int style, int width, COLORREF color);
HFONT CreateFontIndirectA(const LOGFONTA* font);
HGDIOBJ GetStockObject(int object);
// Frees an object; refused (FALSE) for stock objects and objects selected into a context.
BOOL DeleteObject(HGDIOBJ object);
// Fills a BITMAP (bitmaps) or a LOGFONTA (fonts); returns the bytes written, 0 on failure or
// when `size` is too small.
int GetObjectA(HGDIOBJ object, int size, void* buffer);
// Selects a bitmap (memory contexts only), brush, pen or font; returns the one it replaces,
// or null when it cannot be selected.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);

COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF SetBkColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);

// Pixels of the selected bitmap of a memory context; CLR_INVALID outside it or on a window.
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);

int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// A 1-pixel frame inside `rect` in the brush's colour.
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
// A 1-pixel frame inside `rect`: top and left in one colour, bottom and right in the other.
void Draw3dRect(HDC dc, const RECT* rect, COLORREF topLeft, COLORREF bottomRight);
// The dotted focus frame inside `rect`, drawn by inverting pixels (a second call removes it).
BOOL DrawFocusRect(HDC dc, const RECT* rect);

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
// A line with the selected pen from the current position up to, not including, (x, y).
BOOL LineTo(HDC dc, int x, int y);

// Text in the text colour and selected font. '&' underlines the next letter ("&&" is one
// '&') unless DT_NOPREFIX. With DT_CALCRECT nothing is drawn: right and bottom are set to
// fit the text (wrapped at the rectangle's width with DT_WORDBREAK). Returns the text height.
int DrawTextA(HDC dc, const char* text, int length, RECT* rect, UINT format);
