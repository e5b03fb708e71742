#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>
#include <QTreeWidget>
#include <algorithm>

#include "platform/Kernel.h"
#include "platform/WinMessages.h"
#include "platform/WindowCalls.h"
#include "platform/qt/ClassProcedures.h"
#include "platform/qt/WindowObject.h"

// A report-view list over a tree widget without branches: rows are top-level items,
// columns are appended at the end.

namespace {
Qt::Alignment ColumnAlignment(int format) {
  switch (format & 0x3) {
    case 0x1: return Qt::AlignRight | Qt::AlignVCenter;  // LVCFMT_RIGHT
    case 0x2: return Qt::AlignHCenter | Qt::AlignVCenter;  // LVCFMT_CENTER
    default: return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

QTreeWidgetItem* Row(QTreeWidget& list, WPARAM index) {
  const int row = static_cast<int>(index);
  return row >= 0 && row < list.topLevelItemCount() ? list.topLevelItem(row) : nullptr;
}

void AlignCells(const WindowObject& window, QTreeWidgetItem& item) {
  for (std::size_t column = 0; column < window.columnFormats.size(); ++column)
    item.setTextAlignment(static_cast<int>(column), ColumnAlignment(window.columnFormats[column]));
}

LRESULT InsertColumn(WindowObject& window, QTreeWidget& list, const LVCOLUMNA& column) {
  const int index = static_cast<int>(window.columnFormats.size());
  window.columnFormats.push_back((column.mask & LVCF_FMT) ? column.fmt : LVCFMT_LEFT);
  list.setColumnCount(index + 1);
  QTreeWidgetItem* header = list.headerItem();
  if (column.mask & LVCF_TEXT) header->setText(index, FromNarrow(column.pszText));
  header->setTextAlignment(index, ColumnAlignment(window.columnFormats.back()));
  if (column.mask & LVCF_WIDTH) list.setColumnWidth(index, column.cx);
  for (int row = 0; row < list.topLevelItemCount(); ++row) AlignCells(window, *list.topLevelItem(row));
  return index;
}

// LVN_GETINFOTIPA for a cell: what the list's parent wrote, empty for no tooltip.
std::string AskInfoTip(const WindowObject& window, int row, int column) {
  char text[INFOTIPSIZE] = "";
  NMLVGETINFOTIPA tip{{window.handle, static_cast<UINT_PTR>(window.id), LVN_GETINFOTIPA},
                      0, text, INFOTIPSIZE, row, column, 0};
  SendMessage(window.parent, WM_NOTIFY, static_cast<WPARAM>(window.id),
              reinterpret_cast<LPARAM>(&tip));
  text[INFOTIPSIZE - 1] = '\0';
  return text;
}

// Shows the tooltip the parent gives for the cell under the pointer, while the list has
// LVS_EX_INFOTIP; it goes when the pointer leaves the cell.
class InfoTips : public QObject {
 public:
  explicit InfoTips(QTreeWidget& watched) : QObject(&watched), list(watched) {
    list.viewport()->installEventFilter(this);
  }

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::ToolTip) return false;
    const WindowObject* window = WindowOfWidget(&list);
    if (window == nullptr || !(window->extendedStyle & LVS_EX_INFOTIP)) return false;
    const auto& help = static_cast<const QHelpEvent&>(*event);
    QTreeWidgetItem* item = list.itemAt(help.pos());
    const int column = list.columnAt(help.pos().x());
    const std::string tip = item == nullptr || column < 0
                                ? std::string()
                                : AskInfoTip(*window, list.indexOfTopLevelItem(item), column);
    if (tip.empty()) {
      QToolTip::hideText();
      event->ignore();
      return true;
    }
    const QRect row = list.visualItemRect(item);
    const QRect cell(list.header()->sectionViewportPosition(column), row.top(),
                     list.header()->sectionSize(column), row.height());
    QToolTip::showText(help.globalPos(), FromNarrow(tip), list.viewport(), cell);
    return true;
  }

 private:
  QTreeWidget& list;
};

LRESULT NextItem(QTreeWidget& list, WPARAM start, LPARAM flags) {
  const int from = static_cast<int>(static_cast<std::intptr_t>(start)) + 1;
  for (int row = std::max(0, from); row < list.topLevelItemCount(); ++row)
    if (!(flags & LVNI_SELECTED) || list.topLevelItem(row)->isSelected()) return row;
  return -1;
}
}  // namespace

void WatchInfoTips(QTreeWidget& list) { new InfoTips(list); }

LRESULT ListViewProc(WindowObject& window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& list = static_cast<QTreeWidget&>(*window.widget);
  switch (message) {
    case LVM_GETITEMCOUNT:
      return list.topLevelItemCount();
    case LVM_INSERTITEMA: {
      const auto& item = *reinterpret_cast<const LVITEMA*>(lParam);
      const int row = std::clamp(item.iItem, 0, list.topLevelItemCount());
      auto* created = new QTreeWidgetItem();
      created->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      AlignCells(window, *created);
      if (item.mask & LVIF_TEXT) created->setText(0, FromNarrow(item.pszText));
      list.insertTopLevelItem(row, created);
      return row;
    }
    case LVM_SETITEMTEXTA: {
      const auto& item = *reinterpret_cast<const LVITEMA*>(lParam);
      QTreeWidgetItem* row = Row(list, wParam);
      if (row == nullptr || item.iSubItem < 0) return FALSE;
      row->setText(item.iSubItem, FromNarrow(item.pszText));
      return TRUE;
    }
    case LVM_GETITEMTEXTA: {
      auto& item = *reinterpret_cast<LVITEMA*>(lParam);
      QTreeWidgetItem* row = Row(list, wParam);
      const std::string text = row == nullptr ? std::string() : ToNarrow(row->text(item.iSubItem));
      return CopyToBuffer(text, item.pszText, static_cast<std::size_t>(std::max(0, item.cchTextMax)));
    }
    case LVM_SETITEMSTATE: {
      const auto& item = *reinterpret_cast<const LVITEMA*>(lParam);
      if (!(item.stateMask & LVIS_SELECTED)) return TRUE;
      const bool select = item.state & LVIS_SELECTED;
      if (static_cast<std::intptr_t>(wParam) == -1) {
        for (int row = 0; row < list.topLevelItemCount(); ++row)
          list.topLevelItem(row)->setSelected(select);
        return TRUE;
      }
      QTreeWidgetItem* row = Row(list, wParam);
      if (row == nullptr) return FALSE;
      row->setSelected(select);
      return TRUE;
    }
    case LVM_GETNEXTITEM:
      return NextItem(list, wParam, lParam);
    case LVM_DELETEITEM: {
      QTreeWidgetItem* row = Row(list, wParam);
      delete row;
      return row != nullptr;
    }
    case LVM_DELETEALLITEMS:
      list.clear();
      return TRUE;
    case LVM_INSERTCOLUMNA:
      return InsertColumn(window, list, *reinterpret_cast<const LVCOLUMNA*>(lParam));
    case LVM_GETCOLUMNWIDTH:
      return static_cast<int>(wParam) < static_cast<int>(window.columnFormats.size())
                 ? list.columnWidth(static_cast<int>(wParam))
                 : 0;
    case LVM_SETCOLUMNWIDTH:
      list.setColumnWidth(static_cast<int>(wParam), LOWORD(lParam));
      return TRUE;
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
      const DWORD previous = window.extendedStyle;
      const DWORD mask = wParam == 0 ? ~DWORD{0} : static_cast<DWORD>(wParam);
      window.extendedStyle = (previous & ~mask) | (static_cast<DWORD>(lParam) & mask);
      list.setAllColumnsShowFocus(window.extendedStyle & LVS_EX_FULLROWSELECT);
      return previous;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
      return window.extendedStyle;
    case WM_KEYDOWN: {
      NMLVKEYDOWN key{{window.handle, static_cast<UINT_PTR>(window.id), LVN_KEYDOWN},
                      static_cast<WORD>(wParam), 0};
      SendMessage(window.parent, WM_NOTIFY, static_cast<WPARAM>(window.id),
                  reinterpret_cast<LPARAM>(&key));
      return 0;
    }
    default:
      return 0;
  }
}
