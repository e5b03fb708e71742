#include "platform/qt/DialogBuilder.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTreeWidget>
#include <cstring>
#include <strings.h>

#include "platform/WinStyles.h"
#include "platform/WindowCalls.h"
#include "platform/qt/CheckButtons.h"
#include "platform/qt/ClassProcedures.h"
#include "platform/qt/EventTranslator.h"
#include "platform/qt/IconStatic.h"
#include "platform/qt/WindowGeometry.h"
#include "platform/qt/WindowObject.h"

namespace {
// "MS Sans Serif" is Liberation Sans here: its 8 pt base units (6 x 12) are those the
// templates were laid out for, where the usual desktop default (DejaVu Sans, 7 x 13) would
// widen every dialog by a sixth. Without it, the desktop's default sans-serif font.
QFont DialogFont(const char* fontName, int pointSize) {
  const bool msSansSerif = fontName == nullptr || std::strcmp(fontName, "MS Sans Serif") == 0;
  QFont font;
  if (msSansSerif)
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Sans Serif")});
  else
    font.setFamily(QString::fromLatin1(fontName));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(pointSize > 0 ? pointSize : 8);
  return font;
}

int MulDiv(int number, int numerator, int denominator) {
  const long long product = static_cast<long long>(number) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

QRect ToPixels(const DialogItemTemplate& item, SIZE base) {
  return {MulDiv(item.x, base.cx, 4), MulDiv(item.y, base.cy, 8), MulDiv(item.cx, base.cx, 4),
          MulDiv(item.cy, base.cy, 8)};
}

QWidget* CreateButton(const DialogItemTemplate& item, QWidget* parent) {
  const QString text = FromNarrow(item.text);
  switch (item.style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX: return new CheckBoxWidget(text, parent);
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return new RadioButtonWidget(text, parent);
    case BS_GROUPBOX: return new QGroupBox(text, parent);
    default: {
      auto* button = new QPushButton(text, parent);
      button->setAutoDefault(false);
      return button;
    }
  }
}

QWidget* CreateStatic(const DialogItemTemplate& item, QWidget* parent) {
  if ((item.style & SS_TYPEMASK) == SS_ICON) return CreateIconStatic(item.text, parent);
  auto* label = new QLabel(FromNarrow(item.text), parent);
  const DWORD align = item.style & 0x3;
  label->setAlignment((align == SS_CENTER ? Qt::AlignHCenter
                       : align == SS_RIGHT ? Qt::AlignRight
                                           : Qt::AlignLeft) |
                      Qt::AlignTop);
  label->setWordWrap(true);
  if (item.exStyle & WS_EX_STATICEDGE) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  return label;
}

QWidget* CreateEdit(const DialogItemTemplate& item, QWidget* parent) {
  auto* edit = new QLineEdit(FromNarrow(item.text), parent);
  edit->setFrame((item.style & WS_BORDER) || (item.exStyle & WS_EX_CLIENTEDGE));
  // An edit control takes no drops: a file dropped on it is its window's (DragAcceptFiles).
  edit->setAcceptDrops(false);
  if (item.style & ES_NUMBER) {
    const QRegularExpression digits(QStringLiteral("[0-9]*"));
    edit->setValidator(new QRegularExpressionValidator(digits, edit));
  }
  return edit;
}

QWidget* CreateListView(const DialogItemTemplate& item, QWidget* parent) {
  auto* list = new QTreeWidget(parent);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setSortingEnabled(false);
  list->setColumnCount(0);
  list->setSelectionMode((item.style & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                                      : QAbstractItemView::ExtendedSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->header()->setStretchLastSection(false);
  list->header()->setMinimumSectionSize(0);
  list->header()->setSectionsMovable(false);
  if (!(item.style & WS_BORDER) && !(item.exStyle & WS_EX_CLIENTEDGE))
    list->setFrameShape(QFrame::NoFrame);
  WatchInfoTips(*list);
  return list;
}

QWidget* CreateProgress(const DialogItemTemplate&, QWidget* parent) {
  auto* bar = new QProgressBar(parent);
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false);
  return bar;
}

struct ControlClass {
  const char* name;
  WindowKind kind;
  QWidget* (*create)(const DialogItemTemplate&, QWidget*);
};

QWidget* CreateComboBox(const DialogItemTemplate&, QWidget* parent) { return new QComboBox(parent); }

constexpr ControlClass kClasses[] = {
    {WC_BUTTON, WindowKind::Button, CreateButton},
    {WC_STATIC, WindowKind::Static, CreateStatic},
    {WC_EDIT, WindowKind::Edit, CreateEdit},
    {WC_LISTVIEW, WindowKind::ListView, CreateListView},
    {PROGRESS_CLASS, WindowKind::Progress, CreateProgress},
    {WC_COMBOBOX, WindowKind::ComboBox, CreateComboBox},
};

const ControlClass* FindClass(const char* name) {
  for (const ControlClass& control : kClasses)
    if (name != nullptr && strcasecmp(control.name, name) == 0) return &control;
  return nullptr;
}

Qt::FocusPolicy FocusPolicy(WindowKind kind, DWORD style) {
  if (kind == WindowKind::Static || kind == WindowKind::Progress ||
      (kind == WindowKind::Button && (style & BS_TYPEMASK) == BS_GROUPBOX))
    return Qt::NoFocus;
  return (style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus;
}

Qt::WindowFlags TopLevelFlags(DWORD style) {
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
  if (style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
  return flags;
}
}  // namespace

SIZE DialogBaseUnits(const char* fontName, int pointSize) {
  const QFontMetrics metrics(DialogFont(fontName, pointSize));
  const int width = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(width / 26 + 1) / 2, metrics.height()};
}

WindowObject& BuildDialog(const DialogTemplate& dialog, HWND parent) {
  WindowObject* owner = FindWindowObject(parent);
  QWidget* parentWidget = owner != nullptr ? owner->widget.data() : nullptr;
  auto* widget = new QWidget(parentWidget, TopLevelFlags(dialog.style));
  widget->setFont(DialogFont(dialog.fontName, dialog.pointSize));
  widget->setWindowTitle(FromNarrow(dialog.caption));
  widget->setAttribute(Qt::WA_DeleteOnClose, false);
  const SIZE base = DialogBaseUnits(dialog.fontName, dialog.pointSize);
  WindowObject& window = CreateWindowObject(widget, WindowKind::Dialog);
  window.style = dialog.style;
  SetClientSize(window, {MulDiv(dialog.cx, base.cx, 4), MulDiv(dialog.cy, base.cy, 8)});
  window.exStyle = dialog.exStyle;
  window.parent = parent;
  window.defaultId = IDOK;
  QWidget* previous = nullptr;
  for (const DialogItemTemplate& item : dialog.items) {
    const ControlClass* control = FindClass(item.windowClass);
    if (control == nullptr) continue;
    QWidget* child = control->create(item, widget);
    child->setGeometry(ToPixels(item, base));
    // A combo box's template height includes its dropped list; closed it is one line high.
    if (control->kind == WindowKind::ComboBox)
      child->resize(child->width(), child->sizeHint().height());
    child->setFocusPolicy(FocusPolicy(control->kind, item.style));
    child->setMouseTracking(true);  // every control gets WM_MOUSEMOVE, buttons up or down
    if (item.style & WS_DISABLED) child->setEnabled(false);
    if (!(item.style & WS_VISIBLE)) child->hide();
    WindowObject& created = CreateWindowObject(child, control->kind);
    created.id = item.id;
    created.style = item.style;
    created.exStyle = item.exStyle;
    created.parent = window.handle;
    window.children.push_back(created.handle);
    if (control->kind == WindowKind::Button && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
      window.defaultId = item.id;
    if (auto* button = qobject_cast<QAbstractButton*>(child)) {
      HWND handle = created.handle;
      QObject::connect(button, &QAbstractButton::clicked, button, [handle] {
        SendMessage(GetParent(handle), WM_COMMAND,
                    MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(handle)), BN_CLICKED),
                    reinterpret_cast<LPARAM>(handle));
      });
    }
    if (child->focusPolicy() != Qt::NoFocus) {
      if (previous != nullptr) QWidget::setTabOrder(previous, child);
      previous = child;
    }
  }
  return window;
}

void DestroyWindowTree(WindowObject& window, bool now) {
  for (HWND child : window.children)
    if (WindowObject* object = FindWindowObject(child)) UnregisterWindow(*object);
  QWidget* widget = window.widget;
  UnregisterWindow(window);
  if (widget == nullptr) return;
  widget->hide();
  if (now) delete widget;
  else widget->deleteLater();
}
