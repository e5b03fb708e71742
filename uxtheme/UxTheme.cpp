// The visual-styles module: themed push-button faces drawn with the application's Qt style.
#include "uxtheme/UxTheme.h"

#include <QApplication>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>
#include <cwctype>
#include <type_traits>

#include "platform/qt/GdiQt.h"

#define UXTHEME_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// The one theme class the module knows.
struct ButtonTheme {};
ButtonTheme buttonTheme;

bool SameClassName(const wchar_t* begin, const wchar_t* end, const wchar_t* name) {
  for (; begin != end && *name != L'\0'; ++begin, ++name)
    if (std::towupper(*begin) != std::towupper(*name)) return false;
  return begin == end && *name == L'\0';
}

bool ListsButton(const wchar_t* classList) {
  for (const wchar_t* begin = classList; *begin != L'\0';) {
    const wchar_t* end = begin;
    while (*end != L'\0' && *end != L';') ++end;
    if (SameClassName(begin, end, L"BUTTON")) return true;
    begin = *end == L';' ? end + 1 : end;
  }
  return false;
}

QStyleOptionButton PushButtonOption(QWidget* widget, int state, const QRect& rect) {
  QStyleOptionButton option;
  option.rect = rect;
  option.palette = widget != nullptr ? widget->palette() : QApplication::palette();
  option.state = QStyle::State_Enabled | QStyle::State_Raised;
  switch (state) {
    case PBS_HOT: option.state |= QStyle::State_MouseOver; break;
    case PBS_PRESSED: option.state = QStyle::State_Enabled | QStyle::State_Sunken; break;
    case PBS_DISABLED: option.state = QStyle::State_Raised; break;
    case PBS_DEFAULTED: option.features |= QStyleOptionButton::DefaultButton; break;
    default: break;
  }
  if (state == PBS_DISABLED) option.palette.setCurrentColorGroup(QPalette::Disabled);
  return option;
}

}  // namespace

UXTHEME_EXPORT HTHEME OpenThemeData(void*, const wchar_t* classList) {
  return classList != nullptr && ListsButton(classList) ? &buttonTheme : nullptr;
}

UXTHEME_EXPORT HRESULT CloseThemeData(HTHEME theme) {
  return theme == &buttonTheme ? S_OK : E_FAIL;
}

UXTHEME_EXPORT HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state,
                                           const RECT* rect, const RECT* clip) {
  if (theme != &buttonTheme || part != BP_PUSHBUTTON || state < PBS_NORMAL ||
      state > PBS_DEFAULTED || dc == nullptr || dc->painter == nullptr || rect == nullptr ||
      QApplication::instance() == nullptr)
    return E_FAIL;
  QPainter* painter = dc->painter;
  painter->save();
  if (clip != nullptr) painter->setClipRect(ToQRect(*clip), Qt::IntersectClip);
  const QStyleOptionButton option = PushButtonOption(dc->widget, state, ToQRect(*rect));
  QApplication::style()->drawControl(QStyle::CE_PushButtonBevel, &option, painter, dc->widget);
  painter->restore();
  return S_OK;
}

UXTHEME_EXPORT HRESULT DrawThemeParentBackground(void*, HDC dc, const RECT* rect) {
  if (dc == nullptr || dc->painter == nullptr || rect == nullptr) return E_FAIL;
  const QWidget* parent = dc->widget != nullptr ? dc->widget->parentWidget() : nullptr;
  const QPalette palette = parent != nullptr ? parent->palette() : QApplication::palette();
  dc->painter->fillRect(ToQRect(*rect), palette.window());
  return S_OK;
}

UXTHEME_EXPORT BOOL IsAppThemed() { return TRUE; }

static_assert(std::is_same_v<decltype(&OpenThemeData), OpenThemeDataProc>);
static_assert(std::is_same_v<decltype(&CloseThemeData), CloseThemeDataProc>);
static_assert(std::is_same_v<decltype(&DrawThemeBackground), DrawThemeBackgroundProc>);
static_assert(std::is_same_v<decltype(&DrawThemeParentBackground), DrawThemeParentBackgroundProc>);
static_assert(std::is_same_v<decltype(&IsAppThemed), IsAppThemedProc>);
