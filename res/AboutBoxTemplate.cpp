#include "res/AboutBoxTemplate.h"

#include "platform/WinMessages.h"
#include "platform/WinStyles.h"

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

constexpr DialogItemTemplate kItems[] = {
    {IDC_STATIC, WC_STATIC, "#128", kChild | SS_ICON, 0, 11, 17, 21, 23},
    {IDC_STATIC, WC_STATIC, "Vidmora v1.5", kChild | SS_NOPREFIX | WS_GROUP, 0, 40, 10, 164, 8},
    {IDC_STATIC, WC_STATIC, "Free Flash video converter", kChild | WS_GROUP, 0, 40, 27, 119, 8},
    {IDOK, WC_BUTTON, "OK", kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, 162, 43, 50,
     14},
    {IDC_STATIC, WC_STATIC, "www.vidmora.com", kChild | WS_GROUP, 0, 39, 41, 106, 10},
};
}  // namespace

const DialogTemplate kAboutBoxTemplate{
    IDD_ABOUTBOX,
    "About",
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    0,
    0, 0, 230, 68,
    "MS Sans Serif", 8,
    kItems,
};
