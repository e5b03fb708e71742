#pragma once
#include <cstddef>

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

// One image of an icon resource as its file holds it (PNG).
struct EncodedImage {
  const unsigned char* data;
  std::size_t size;
};

// Makes the icon resource `resourceId` known to LoadImageA: one XPM image, or several
// encoded images of one picture at different sizes.
void RegisterIconResource(int resourceId, const char* const* xpm);
void RegisterIconResource(int resourceId, const EncodedImage* images, std::size_t count);

// LoadImageA of the program's own icon resource `resourceId` (IMAGE_ICON only). With cx and
// cy 0: a resource of one image gives it at its own size, one of several sizes its image of
// the system's icon size (SM_CXICON). Otherwise the image of that size, else the nearest
// larger one scaled down. An icon loaded from a resource of several sizes brings them all to
// a window's icon (WM_SETICON), for a desktop that shows larger ones. Null when there is no
// such resource.
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
