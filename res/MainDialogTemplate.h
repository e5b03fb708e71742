#pragma once
#include "platform/DialogTemplate.h"

// Template 102: the main dialog with its controls in tab order.
constexpr int IDD_MAIN_DIALOG = 102;
extern const DialogTemplate kMainDialogTemplate;

// Its controls.
constexpr int IDC_ADD = 1000;
constexpr int IDC_REMOVE = 1001;
constexpr int IDC_CLEAR = 1002;
constexpr int IDC_SETTINGS = 1003;
constexpr int IDC_EXIT = 1004;
constexpr int IDC_SUMMARY_FRAME = 1006;  // the sunken frame behind the summary line
constexpr int IDC_FILE_LIST = 1007;      // the visible list
constexpr int IDC_START = 1008;          // Start and Stop
constexpr int IDC_PROGRESS = 1009;
constexpr int IDC_TIME_USED = 1010;      // hidden, never updated
constexpr int IDC_HIDDEN_LIST = 1014;    // full paths and durations in seconds
constexpr int IDC_SUMMARY = 1015;
constexpr int IDC_OUTPUT_FOLDER = 1043;
constexpr int IDC_BROWSE = 1044;
constexpr int IDC_OUTPUT_FOLDER_LABEL = 1047;
constexpr int IDC_WEB_LINK = 1048;
constexpr int IDC_MORE_DOWNLOADS = 1059;
