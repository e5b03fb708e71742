#include "res/MainDialogTemplate.h"

#include "platform/WinStyles.h"

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPushButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kReport = WS_CHILD | LVS_REPORT;

constexpr DialogItemTemplate kItems[] = {
    {IDC_ADD, WC_BUTTON, "&Add", kPushButton, 0, 5, 6, 56, 18},
    {IDC_REMOVE, WC_BUTTON, "&Remove", kPushButton, 0, 63, 6, 56, 18},
    {IDC_CLEAR, WC_BUTTON, "&Clear", kPushButton, 0, 121, 6, 56, 18},
    {IDC_SETTINGS, WC_BUTTON, "&Settings", kPushButton, 0, 179, 6, 56, 18},
    {IDC_SUMMARY_FRAME, WC_STATIC, "", kChild | SS_LEFT, WS_EX_STATICEDGE, 5, 30, 376, 14},
    {IDC_FILE_LIST, WC_LISTVIEW, "", kReport | WS_VISIBLE | WS_BORDER | WS_TABSTOP, 0, 5, 49, 377, 134},
    {IDC_START, WC_BUTTON, "S&tart", kPushButton, 0, 5, 211, 62, 17},
    {IDC_PROGRESS, PROGRESS_CLASS, "", kChild, WS_EX_STATICEDGE, 73, 213, 309, 9},
    {IDC_TIME_USED, WC_STATIC, "Time used: 00:00:00", WS_CHILD | SS_LEFT, 0, 74, 225, 132, 11},
    {IDC_HIDDEN_LIST, WC_LISTVIEW, "", kReport, 0, 0, 0, 6, 6},
    {IDC_SUMMARY, WC_STATIC, "Static", kChild | SS_LEFT, 0, 9, 32, 328, 9},
    {IDC_OUTPUT_FOLDER_LABEL, WC_STATIC, "Output Directory:", kChild | SS_LEFT, 0, 6, 191, 71, 10},
    {IDC_OUTPUT_FOLDER, WC_EDIT, "", kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 84, 189, 275, 15},
    {IDC_BROWSE, WC_BUTTON, "...", kPushButton, 0, 366, 189, 17, 15},
    {IDC_WEB_LINK, WC_STATIC, "www.vidmora.com", kChild | SS_LEFT, 0, 315, 227, 66, 10},
    {IDC_MORE_DOWNLOADS, WC_BUTTON, "More downloads!", kPushButton, 0, 298, 6, 85, 18},
    {IDC_EXIT, WC_BUTTON, "E&xit", kPushButton, 0, 237, 6, 56, 18},
};
}  // namespace

const DialogTemplate kMainDialogTemplate{
    IDD_MAIN_DIALOG,
    "Free Vidmora",
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
        WS_MAXIMIZEBOX | DS_SETFONT,
    WS_EX_APPWINDOW,
    0, 0, 392, 244,
    "MS Sans Serif", 8,
    kItems,
};
