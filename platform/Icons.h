#pragma once
#include "platform/Gdi.h"
// Icons: images with a transparent background whose hot spot is their centre.

struct IconObject;
using HICON = IconObject*;

struct ICONINFO {
  BOOL fIcon;
  DWORD xHotspot;
  DWORD yHotspot;
  HBITMAP hbmMask;   // 1 bit per pixel: 1 where the icon is transparent
  HBITMAP hbmColor;  // 32 bits per pixel
};

constexpr UINT IMAGE_ICON = 1;
constexpr UINT LR_DEFAULTCOLOR = 0x0;

// DrawState kinds and states.
constexpr UINT DST_ICON = 0x3;
constexpr UINT DSS_DISABLED = 0x20;

// Makes the icon resource `resourceId` known to LoadImageA; `xpm` is an XPM image kept in
// the program, which must outlive every load.
void RegisterIconResource(int resourceId, const char* const* xpm);

// LoadImageA of the program's own icon resource `resourceId` (IMAGE_ICON only): with cx and
// cy 0 the image at its own size. Null when there is no such resource.
HICON LoadImageA(int resourceId, UINT type, int cx, int cy, UINT flags);
// An icon made of a colour bitmap and a mask: where the colour bitmap carries no alpha at
// all, the mask decides transparency. Null without a colour bitmap.
HICON CreateIconIndirect(const ICONINFO* info);
// Hot spot (the centre) and new copies of the colour and mask bitmaps, which the caller
// deletes. FALSE for a null icon.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
BOOL DestroyIcon(HICON icon);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
// DST_ICON: the icon at (x, y), clipped to cx x cy (0 means the icon's own size); with
// DSS_DISABLED an embossed silhouette in the highlight and shadow colours.
BOOL DrawStateA(HDC dc, HBRUSH brush, HICON icon, int x, int y, int cx, int cy, UINT flags);
