#pragma once
#include "platform/DialogTemplate.h"

// Template 130: the Output Settings dialog with its controls in tab order.
constexpr int IDD_OUTPUT_SETTINGS = 130;
extern const DialogTemplate kOutputSettingsTemplate;

// Its controls. Each radio group's ids are consecutive, first to last.
constexpr int IDC_FORMAT_AVI = 1016;
constexpr int IDC_FORMAT_MPEG = 1017;
constexpr int IDC_FORMAT_WMV = 1018;
constexpr int IDC_AUDIO_BITRATE = 1020;
constexpr int IDC_VIDEO_BITRATE = 1021;
constexpr int IDC_FRAME_RATE = 1023;
constexpr int IDC_MPEG1 = 1024;
constexpr int IDC_MPEG2 = 1025;
constexpr int IDC_SIZE_ORIGINAL = 1039;
constexpr int IDC_SIZE_CUSTOM = 1040;
constexpr int IDC_WIDTH = 1041;
constexpr int IDC_HEIGHT = 1042;
constexpr int IDC_EXISTING_FILE_POLICY = 1046;
constexpr int IDC_RESET = 1049;
constexpr int IDC_DEFAULT_QUALITY = 1060;
