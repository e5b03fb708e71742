#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/ConversionSettings.h"
#include "platform/ModalHook.h"
#include "platform/WinHandles.h"
// Drives the Output Settings dialog the way a user does, through its controls and its
// message table, and answers its message boxes.

// Records every message box and answers OK.
class BoxRecorder : public ModalHook {
 public:
  struct Box {
    std::string text, caption;
    UINT type;
    bool operator==(const Box&) const = default;
  };
  std::vector<Box> boxes;
  int messageBox(HWND owner, const std::string& text, const std::string& caption,
                 UINT type) override;
};

// Clicks a button (BM_CLICK: nothing happens when it is disabled).
void click(HWND dialog, int id);
// Picks the item with this text in a drop-down list; false when there is none.
bool pick(HWND dialog, int id, const std::string& text);
// The items of a drop-down list in order.
std::vector<std::string> items(HWND dialog, int id);
// The text of a control: a list's selected item, an edit's text.
std::string text(HWND dialog, int id);
void type(HWND dialog, int id, const std::string& text);
bool isChecked(HWND dialog, int id);
bool isEnabled(HWND dialog, int id);
// One action of a user: a click on button `id`; with a value, that text typed into the width
// or height edit, or picked from list `id` (which must offer it).
struct Step {
  int id;
  const char* value = nullptr;
};
void act(HWND dialog, const std::vector<Step>& steps);

// MPEG-1, "Default" off with 800, 192 and 25.00, custom 640 x 480, the rest at start-up.
ConversionSettings mpeg1WithQualityAndSize();
// Makes those choices in the open dialog, from the start-up values.
void chooseMpeg1WithQualityAndSize(HWND dialog);

// With VIDMORA_SHOTS naming a folder, saves the window as it looks now to NAME.png there.
void saveShot(HWND window, const std::string& name);

// Once the Output Settings dialog is open in its modal loop, `steps` act on it; they must
// end it. Call it right before what opens the dialog.
void whenSettingsDialogOpens(std::function<void(HWND)> steps);
// Runs the Settings command on `settings` with `steps` acting on its dialog; returns what
// the command returns.
bool runSettingsCommand(ConversionSettings& settings, const std::function<void(HWND)>& steps);
