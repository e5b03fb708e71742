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

// A radio button group: each button with the code it stands for, first to last.
struct Choice {
  int id;
  std::int32_t code;
};
constexpr Choice kFormats[] = {{IDC_FORMAT_AVI, Avi}, {IDC_FORMAT_MPEG, Mpeg}, {IDC_FORMAT_WMV, Wmv}};
constexpr Choice kMpegVersions[] = {{IDC_MPEG1, 1}, {IDC_MPEG2, 2}};
constexpr Choice kSizeModes[] = {{IDC_SIZE_ORIGINAL, SourceSize}, {IDC_SIZE_CUSTOM, CustomSize}};

// Checks the button of `code` in its group; a code outside the group checks none.
template <std::size_t N>
void checkChoice(HWND dialog, const Choice (&group)[N], std::int32_t code) {
  int id = 0;
  for (const Choice& choice : group)
    if (choice.code == code) id = choice.id;
  CheckRadioButton(dialog, group[0].id, group[N - 1].id, id);
}

// The code of the group's checked button into `code`; none checked leaves it as it is.
template <std::size_t N>
void readChoice(HWND dialog, const Choice (&group)[N], std::int32_t& code) {
  for (const Choice& choice : group)
    if (IsDlgButtonChecked(dialog, choice.id) == BST_CHECKED) code = choice.code;
}
}  // namespace

OutputSettingsDialog::OutputSettingsDialog(const ConversionSettings& settings, CWnd* parent)
    : CDialog(IDD_OUTPUT_SETTINGS, parent), choice(settings) {}

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
  defaultQualityBox.SetCheck(choice.useDefaultQuality ? BST_CHECKED : BST_UNCHECKED);
  enableQualityLists(!choice.useDefaultQuality);
  return TRUE;
}

void OutputSettingsDialog::showChoices() {
  checkChoice(m_hWnd, kFormats, choice.format);
  checkChoice(m_hWnd, kMpegVersions, choice.mpegVersion);
  enableMpegVersions(checked(mpegButton));
  selectText(videoBitrateList, choice.videoBitrate);
  selectText(audioBitrateList, choice.audioBitrate);
  selectText(frameRateList, choice.frameRate);
  policyList.SetCurSel(choice.existingFilePolicy);
  widthEdit.SetWindowText(std::to_string(choice.width));
  heightEdit.SetWindowText(std::to_string(choice.height));
  checkChoice(m_hWnd, kSizeModes, choice.sizeMode);
  enableSizeEdits(choice.sizeMode != SourceSize);
}

void OutputSettingsDialog::onMpeg() { enableMpegVersions(true); }
void OutputSettingsDialog::onAviOrWmv() { enableMpegVersions(false); }
void OutputSettingsDialog::onCustom() { enableSizeEdits(true); }
void OutputSettingsDialog::onOriginal() { enableSizeEdits(false); }

void OutputSettingsDialog::onDefaultQuality() {
  choice.useDefaultQuality = checked(defaultQualityBox);
  enableQualityLists(!choice.useDefaultQuality);
}

void OutputSettingsDialog::onReset() {
  // The start-up values of everything but the "Default" switch and the output folder.
  ConversionSettings startUp;
  startUp.useDefaultQuality = choice.useDefaultQuality;
  startUp.outputFolder = choice.outputFolder;
  choice = startUp;
  showChoices();
}

void OutputSettingsDialog::OnOK() {
  readChoice(m_hWnd, kFormats, choice.format);
  readChoice(m_hWnd, kMpegVersions, choice.mpegVersion);
  readSelection(videoBitrateList, choice.videoBitrate);
  readSelection(audioBitrateList, choice.audioBitrate);
  readSelection(frameRateList, choice.frameRate);
  readChoice(m_hWnd, kSizeModes, choice.sizeMode);
  // Both sizes are checked whatever the size mode, also in disabled edits.
  choice.width = LeadingNumber(widthEdit.GetWindowText());
  if (choice.width < kSmallestFrameSide) {
    MessageBoxA(m_hWnd, "Invalid width!", "Warning", MB_ICONINFORMATION);
    return;
  }
  choice.height = LeadingNumber(heightEdit.GetWindowText());
  if (choice.height < kSmallestFrameSide) {
    MessageBoxA(m_hWnd, "Invalid height!", "Warning", MB_ICONINFORMATION);
    return;
  }
  if (const int selected = policyList.GetCurSel(); selected != CB_ERR)
    choice.existingFilePolicy = selected;
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
