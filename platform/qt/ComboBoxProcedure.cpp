#include <QComboBox>

#include "platform/ComboBox.h"
#include "platform/Kernel.h"
#include "platform/qt/ClassProcedures.h"
#include "platform/qt/WindowObject.h"

// A drop-down list over a non-editable combo box. The toolkit selects the first item added
// to an empty box; a Windows list keeps no selection until one is made, so the selection is
// put back after every addition.

namespace {
bool InList(const QComboBox& combo, WPARAM index) {
  const auto row = static_cast<std::intptr_t>(index);
  return row >= 0 && row < combo.count();
}
}  // namespace

LRESULT ComboBoxProc(WindowObject& window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& combo = static_cast<QComboBox&>(*window.widget);
  switch (message) {
    case CB_ADDSTRING: {
      const int selected = combo.currentIndex();
      combo.addItem(FromNarrow(reinterpret_cast<const char*>(lParam)));
      combo.setCurrentIndex(selected);
      return combo.count() - 1;
    }
    case CB_GETCOUNT:
      return combo.count();
    case CB_GETCURSEL:
      return combo.currentIndex() < 0 ? CB_ERR : combo.currentIndex();
    case CB_SETCURSEL:
      if (!InList(combo, wParam)) {
        combo.setCurrentIndex(-1);
        return CB_ERR;
      }
      combo.setCurrentIndex(static_cast<int>(wParam));
      return combo.currentIndex();
    case CB_GETLBTEXTLEN:
      return InList(combo, wParam)
                 ? static_cast<LRESULT>(ToNarrow(combo.itemText(static_cast<int>(wParam))).size())
                 : CB_ERR;
    case CB_GETLBTEXT: {
      // The caller's buffer holds CB_GETLBTEXTLEN bytes and the NUL.
      if (!InList(combo, wParam)) return CB_ERR;
      const std::string text = ToNarrow(combo.itemText(static_cast<int>(wParam)));
      return CopyToBuffer(text, reinterpret_cast<char*>(lParam), text.size() + 1);
    }
    default:
      return 0;
  }
}
