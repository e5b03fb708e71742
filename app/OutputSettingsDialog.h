#pragma once
#include "engine/ConversionSettings.h"
#include "platform/Button.h"
#include "platform/ComboBox.h"
#include "platform/Dialog.h"
#include "platform/Edit.h"

// The Output Settings dialog (template 130), editing its own copy of the settings; the
// output folder is not among its choices. The copy changes while the dialog is open
// ("Default" at once, OK from the controls); OK ends the dialog only with a width and a
// height of 10 or more. Cancel and the close box end it without reading any control.
class OutputSettingsDialog : public CDialog {
 public:
  // The copy starts from `settings`.
  explicit OutputSettingsDialog(const ConversionSettings& settings, CWnd* parent = nullptr);
  // The copy as it stands.
  const ConversionSettings& chosenSettings() const { return choice; }

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

  ConversionSettings choice;
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
