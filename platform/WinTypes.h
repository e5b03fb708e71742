#pragma once
#include <cstdint>
// The plain Windows value types the program's code is written in.

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using ULONGLONG = std::uint64_t;
using HRESULT = std::int32_t;
using COLORREF = DWORD;  // 0x00BBGGRR

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
  return static_cast<COLORREF>(red) | static_cast<COLORREF>(green) << 8 |
         static_cast<COLORREF>(blue) << 16;
}
constexpr BYTE GetRValue(COLORREF color) { return static_cast<BYTE>(color); }
constexpr BYTE GetGValue(COLORREF color) { return static_cast<BYTE>(color >> 8); }
constexpr BYTE GetBValue(COLORREF color) { return static_cast<BYTE>(color >> 16); }

struct POINT {
  LONG x;
  LONG y;
};

// Right and bottom are exclusive.
struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};

// OffsetRect, InflateRect, PtInRect as Windows defines them.
inline void OffsetRect(RECT* rect, int dx, int dy) {
  rect->left += dx, rect->right += dx, rect->top += dy, rect->bottom += dy;
}
inline void InflateRect(RECT* rect, int dx, int dy) {
  rect->left -= dx, rect->right += dx, rect->top -= dy, rect->bottom += dy;
}
inline BOOL PtInRect(const RECT* rect, POINT point) {
  return point.x >= rect->left && point.x < rect->right && point.y >= rect->top &&
         point.y < rect->bottom;
}
