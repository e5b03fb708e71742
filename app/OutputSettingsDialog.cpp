#include "app/OutputSettingsDialog.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <string>

#include "platform/DialogButtons.h"
#include "platform/Numbers.h"
#include "platform/ModalHook.h"
#include "res/OutputSettingsLists.h"
#include "res/OutputSettingsTemplate.h"

namespace lists = output_settings_lists;

namespace {
template <std::size_t N>
void fill(CComboBox& list, const std::array<const char*, N>& items) {
  for (const char* item : items) list.AddString(item);
}

// Selects the first item equal to `text` byte for byte; no item equal leaves no selection.
void selectText(CComboBox& list, const std::string& text) {
  int found = CB_ERR;
  for (int index = 0, count = list.GetCount(); index < count && found == CB_ERR; ++index)
    if (list.GetLBText(index) == text) found = index;
  list.SetCurSel(found);
}

// The selected item's text into `text`; a list without selection leaves it as it is, so a
// stored text is never replaced by an empty one.
void readSelection(const CComboBox& list, std::string& text) {
  if (const int selected = list.GetCurSel(); selected != CB_ERR) text = list.GetLBText(selected);
}

bool checked(const CButton& button) { return button.GetCheck() == BST_CHECKED; }

constexpr std::int32_t kSmallestSize = 10;
}  // namespace

OutputSettingsDialog::OutputSettingsDialog(const ConversionSettings& settings, CWnd* parent)
    : CDialog(IDD_OUTPUT_SETTINGS, parent),
      format(settings.format),
      mpegVersion(settings.mpegVersion),
      videoBitrate(settings.videoBitrate),
      audioBitrate(settings.audioBitrate),
      frameRate(settings.frameRate),
      useDefaultQuality(settings.useDefaultQuality),
      sizeMode(settings.sizeMode),
      width(settings.width),
      height(settings.height),
      existingFilePolicy(settings.existingFilePolicy) {}

void OutputSettingsDialog::copyTo(ConversionSettings& settings) const {
  settings.format = format;
  settings.mpegVersion = mpegVersion;
  settings.videoBitrate = videoBitrate;
  settings.audioBitrate = audioBitrate;
  settings.frameRate = frameRate;
  settings.useDefaultQuality = useDefaultQuality;
  settings.sizeMode = sizeMode;
  settings.width = width;
  settings.height = height;
  settings.existingFilePolicy = existingFilePolicy;
}

const MessageMap* OutputSettingsDialog::GetThisMessageMap() {
  static const MessageMap map{CDialog::GetThisMessageMap(), {
      ON_BN_CLICKED(IDC_FORMAT_MPEG, &OutputSettingsDialog::onMpeg),
      ON_BN_CLICKED(IDC_FORMAT_AVI, &OutputSettingsDialog::onAviOrWmv),
      ON_BN_CLICKED(IDC_FORMAT_WMV, &OutputSettingsDialog::onAviOrWmv),
      ON_BN_CLICKED(IDC_SIZE_CUSTOM, &OutputSettingsDialog::onCustom),
      ON_BN_CLICKED(IDC_SIZE_ORIGINAL, &OutputSettingsDialog::onOriginal),
      ON_BN_CLICKED(IDC_DEFAULT_QUALITY, &OutputSettingsDialog::onDefaultQuality),
      ON_BN_CLICKED(IDC_RESET, &OutputSettingsDialog::onReset),
  }};
  return &map;
}

void OutputSettingsDialog::DoDataExchange(CDataExchange* exchange) {
  DDX_Control(exchange, IDC_DEFAULT_QUALITY, defaultQualityBox);
  DDX_Control(exchange, IDC_HEIGHT, heightEdit);
  DDX_Control(exchange, IDC_WIDTH, widthEdit);
  DDX_Control(exchange, IDC_EXISTING_FILE_POLICY, policyList);
  DDX_Control(exchange, IDC_AUDIO_BITRATE, audioBitrateList);
  DDX_Control(exchange, IDC_FRAME_RATE, frameRateList);
  DDX_Control(exchange, IDC_VIDEO_BITRATE, videoBitrateList);
  DDX_Control(exchange, IDC_SIZE_CUSTOM, customButton);
  DDX_Control(exchange, IDC_SIZE_ORIGINAL, originalButton);
  DDX_Control(exchange, IDC_MPEG2, mpeg2Button);
  DDX_Control(exchange, IDC_MPEG1, mpeg1Button);
  DDX_Control(exchange, IDC_FORMAT_WMV, wmvButton);
  DDX_Control(exchange, IDC_FORMAT_MPEG, mpegButton);
  DDX_Control(exchange, IDC_FORMAT_AVI, aviButton);
}

BOOL OutputSettingsDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  fill(videoBitrateList, lists::kVideoBitrates);
  fill(audioBitrateList, lists::kAudioBitrates);
  fill(frameRateList, lists::kFrameRates);
  fill(policyList, lists::kExistingFilePolicies);
  showChoices();
  defaultQualityBox.SetCheck(useDefaultQuality ? BST_CHECKED : BST_UNCHECKED);
  enableQualityLists(!useDefaultQuality);
  return TRUE;
}

void OutputSettingsDialog::showChoices() {
  // A code outside its group checks none of the group's buttons.
  CheckRadioButton(m_hWnd, IDC_FORMAT_AVI, IDC_FORMAT_WMV, IDC_FORMAT_AVI + format - Avi);
  CheckRadioButton(m_hWnd, IDC_MPEG1, IDC_MPEG2, IDC_MPEG1 + mpegVersion - 1);
  enableMpegVersions(checked(mpegButton));
  selectText(videoBitrateList, videoBitrate);
  selectText(audioBitrateList, audioBitrate);
  selectText(frameRateList, frameRate);
  policyList.SetCurSel(existingFilePolicy);
  widthEdit.SetWindowText(std::to_string(width));
  heightEdit.SetWindowText(std::to_string(height));
  CheckRadioButton(m_hWnd, IDC_SIZE_ORIGINAL, IDC_SIZE_CUSTOM,
                   IDC_SIZE_ORIGINAL + sizeMode - SourceSize);
  enableSizeEdits(sizeMode != SourceSize);
}

void OutputSettingsDialog::onMpeg() { enableMpegVersions(true); }
void OutputSettingsDialog::onAviOrWmv() { enableMpegVersions(false); }
void OutputSettingsDialog::onCustom() { enableSizeEdits(true); }
void OutputSettingsDialog::onOriginal() { enableSizeEdits(false); }

void OutputSettingsDialog::onDefaultQuality() {
  useDefaultQuality = checked(defaultQualityBox);
  enableQualityLists(!useDefaultQuality);
}

void OutputSettingsDialog::onReset() {
  // The start-up values of everything but the "Default" switch.
  const ConversionSettings startUp;
  videoBitrate = startUp.videoBitrate;
  audioBitrate = startUp.audioBitrate;
  frameRate = startUp.frameRate;
  format = startUp.format;
  mpegVersion = startUp.mpegVersion;
  sizeMode = startUp.sizeMode;
  width = startUp.width;
  height = startUp.height;
  existingFilePolicy = startUp.existingFilePolicy;
  showChoices();
}

void OutputSettingsDialog::OnOK() {
  if (checked(aviButton)) format = Avi;
  else if (checked(mpegButton)) format = Mpeg;
  else if (checked(wmvButton)) format = Wmv;
  if (checked(mpeg1Button)) mpegVersion = 1;
  else if (checked(mpeg2Button)) mpegVersion = 2;
  readSelection(videoBitrateList, videoBitrate);
  readSelection(audioBitrateList, audioBitrate);
  readSelection(frameRateList, frameRate);
  if (checked(originalButton)) sizeMode = SourceSize;
  else if (checked(customButton)) sizeMode = CustomSize;
  // Both sizes are checked whatever the size mode, also in disabled edits.
  width = LeadingNumber(widthEdit.GetWindowText());
  if (width < kSmallestSize) {
    MessageBoxA(m_hWnd, "Invalid width!", "Warning", MB_ICONINFORMATION);
    return;
  }
  height = LeadingNumber(heightEdit.GetWindowText());
  if (height < kSmallestSize) {
    MessageBoxA(m_hWnd, "Invalid height!", "Warning", MB_ICONINFORMATION);
    return;
  }
  if (const int selected = policyList.GetCurSel(); selected != CB_ERR)
    existingFilePolicy = selected;
  CDialog::OnOK();
}

void OutputSettingsDialog::enableMpegVersions(bool enable) {
  mpeg1Button.EnableWindow(enable);
  mpeg2Button.EnableWindow(enable);
}

void OutputSettingsDialog::enableSizeEdits(bool enable) {
  widthEdit.EnableWindow(enable);
  heightEdit.EnableWindow(enable);
}

void OutputSettingsDialog::enableQualityLists(bool enable) {
  videoBitrateList.EnableWindow(enable);
  audioBitrateList.EnableWindow(enable);
  frameRateList.EnableWindow(enable);
}
