#include "res/OutputSettingsTemplate.h"

#include "platform/WinStyles.h"
#include "platform/WinMessages.h"

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kGroupBox = kChild | WS_GROUP | BS_GROUPBOX;
constexpr DWORD kText = kChild | SS_LEFT;
constexpr DWORD kPushButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
// A radio group starts at the button with WS_GROUP and ends before the next WS_GROUP control.
constexpr DWORD kFirstRadio = kChild | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON;
constexpr DWORD kRadio = kChild | BS_AUTORADIOBUTTON;
constexpr DWORD kDropDownList = kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kCheckBox = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kNumber = kChild | WS_GROUP | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | ES_NUMBER;

constexpr DialogItemTemplate kItems[] = {
    {IDC_STATIC, WC_BUTTON, "Output Formats", kGroupBox, 0, 5, 6, 237, 53},
    {IDC_FORMAT_AVI, WC_BUTTON, "AVI", kFirstRadio, 0, 11, 19, 38, 11},
    {IDC_FORMAT_MPEG, WC_BUTTON, "MPEG", kRadio, 0, 58, 19, 38, 11},
    {IDC_FORMAT_WMV, WC_BUTTON, "WMV", kRadio, 0, 104, 19, 38, 11},
    {IDC_STATIC, WC_BUTTON, "General", kGroupBox, 0, 5, 63, 238, 78},
    {IDC_STATIC, WC_STATIC, "Video Bitrate:", kText, 0, 14, 80, 64, 10},
    {IDC_VIDEO_BITRATE, WC_COMBOBOX, "", kDropDownList, 0, 85, 77, 57, 137},
    {IDC_STATIC, WC_STATIC, "kbits/s", kText, 0, 148, 79, 37, 11},
    {IDC_STATIC, WC_STATIC, "Audio Bitrate:", kText, 0, 14, 99, 60, 10},
    {IDC_AUDIO_BITRATE, WC_COMBOBOX, "", kDropDownList, 0, 85, 97, 58, 141},
    {IDC_STATIC, WC_STATIC, "kbits/s", kText, 0, 148, 99, 35, 10},
    {IDC_STATIC, WC_STATIC, "Frame Rate:", kText, 0, 13, 119, 57, 10},
    {IDC_FRAME_RATE, WC_COMBOBOX, "", kDropDownList, 0, 85, 116, 58, 149},
    {IDC_MPEG1, WC_BUTTON, "MPEG1", kFirstRadio, 0, 77, 36, 39, 11},
    {IDC_MPEG2, WC_BUTTON, "MPEG2", kRadio, 0, 122, 36, 46, 11},
    {IDC_STATIC, WC_BUTTON, "Output Video Width x Height", kGroupBox, 0, 5, 145, 238, 79},
    {IDOK, WC_BUTTON, "&OK", kPushButton, 0, 123, 256, 58, 17},
    {IDCANCEL, WC_BUTTON, "&Cancel", kPushButton, 0, 184, 256, 58, 17},
    {IDC_STATIC, WC_STATIC, "Width", kText, 0, 70, 180, 29, 10},
    {IDC_STATIC, WC_STATIC, "Height", kText, 0, 69, 199, 36, 10},
    {IDC_SIZE_ORIGINAL, WC_BUTTON, "Original", kFirstRadio, 0, 13, 160, 45, 12},
    {IDC_SIZE_CUSTOM, WC_BUTTON, "Custom", kRadio, 0, 14, 180, 46, 13},
    {IDC_WIDTH, WC_EDIT, "", kNumber, 0, 113, 179, 54, 14},
    {IDC_HEIGHT, WC_EDIT, "", kNumber, 0, 113, 196, 54, 14},
    {IDC_STATIC, WC_STATIC, "MPEG Version:", kText, 0, 12, 36, 58, 10},
    {IDC_STATIC, WC_STATIC, "If output file exists, ", kText, 0, 5, 228, 96, 12},
    {IDC_EXISTING_FILE_POLICY, WC_COMBOBOX, "", kDropDownList, 0, 115, 228, 101, 16},
    {IDC_RESET, WC_BUTTON, "&Default", kPushButton, 0, 9, 256, 58, 17},
    {IDC_DEFAULT_QUALITY, WC_BUTTON, "Default", kCheckBox, 0, 172, 118, 56, 13},
};
}  // namespace

const DialogTemplate kOutputSettingsTemplate{
    IDD_OUTPUT_SETTINGS,
    "Output Settings",
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    0,
    0, 0, 251, 287,
    "MS Sans Serif", 8,
    kItems,
};
