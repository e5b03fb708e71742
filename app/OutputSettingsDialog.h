#pragma once
#include <cstdint>
#include <string>

#include "engine/ConversionSettings.h"
#include "platform/Button.h"
#include "platform/ComboBox.h"
#include "platform/Dialog.h"
#include "platform/Edit.h"

// The Output Settings dialog (template 130) over its own copy of every setting but the
// output folder. The copy changes while the dialog is open ("Default" at once, OK from the
// controls); OK ends the dialog only with a width and a height of 10 or more. Cancel and the
// close box end it without reading any control.
class OutputSettingsDialog : public CDialog {
 public:
  // The copy starts from `settings`.
  explicit OutputSettingsDialog(const ConversionSettings& settings, CWnd* parent = nullptr);
  // Writes the copy into every field of `settings` but outputFolder.
  void copyTo(ConversionSettings& settings) const;

  std::int32_t format;
  std::int32_t mpegVersion;
  std::string videoBitrate;
  std::string audioBitrate;
  std::string frameRate;
  bool useDefaultQuality;
  std::int32_t sizeMode;
  std::int32_t width;
  std::int32_t height;
  std::int32_t existingFilePolicy;

 protected:
  // Fills the four lists and shows the copy.
  BOOL OnInitDialog() override;
  // Reads the controls into the copy; refuses a width or height below 10 with a message.
  void OnOK() override;
  void DoDataExchange(CDataExchange* exchange) override;

  DECLARE_MESSAGE_MAP()

 private:
  void onMpeg();
  void onAviOrWmv();
  void onCustom();
  void onOriginal();
  void onDefaultQuality();
  void onReset();
  // Everything of the copy but the "Default" switch: checks, selections, edits, enabling.
  void showChoices();
  void enableMpegVersions(bool enable);
  void enableSizeEdits(bool enable);
  void enableQualityLists(bool enable);

  // Bound in this order.
  CButton defaultQualityBox;
  CEdit heightEdit;
  CEdit widthEdit;
  CComboBox policyList;
  CComboBox audioBitrateList;
  CComboBox frameRateList;
  CComboBox videoBitrateList;
  CButton customButton;
  CButton originalButton;
  CButton mpeg2Button;
  CButton mpeg1Button;
  CButton wmvButton;
  CButton mpegButton;
  CButton aviButton;
};
