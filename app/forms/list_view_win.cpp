#include "app/forms/list_view_win.h"

#include <commctrl.h>

#include "base/app_error.h"

namespace {

wchar_t* Wide(std::u16string& text) { return reinterpret_cast<wchar_t*>(text.data()); }

int TwipsToPixels(HWND window, int twips) {
  HDC dc = GetDC(window);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(window, dc);
  return MulDiv(twips, dpi, 1440);
}

}  // namespace

void SetupReportList(HWND list, const std::vector<ListColumn>& columns) {
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  for (size_t i = 0; i < columns.size(); ++i) {
    std::u16string caption = columns[i].caption;
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = Wide(caption);
    column.cx = TwipsToPixels(list, columns[i].twips);
    column.iSubItem = static_cast<int>(i);
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

void FillReportList(HWND list, const std::vector<std::vector<std::u16string>>& rows) {
  // The list's own visibility: IsWindowVisible would also count a form not shown yet.
  const bool visible = (GetWindowLongW(list, GWL_STYLE) & WS_VISIBLE) != 0;
  ShowWindow(list, SW_HIDE);
  ListView_DeleteAllItems(list);
  for (size_t row = 0; row < rows.size(); ++row) {
    for (size_t column = 0; column < rows[row].size(); ++column) {
      std::u16string text = rows[row][column];
      LVITEMW item = {};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(row);
      item.iSubItem = static_cast<int>(column);
      item.pszText = Wide(text);
      SendMessageW(list, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, row,
                   reinterpret_cast<LPARAM>(&item));
    }
  }
  if (visible) ShowWindow(list, SW_SHOW);
}

int RowCount(HWND list) { return ListView_GetItemCount(list); }

std::u16string CellText(HWND list, int row, int column) {
  std::u16string text(1024, u'\0');
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = Wide(text);
  item.cchTextMax = static_cast<int>(text.size());
  const LRESULT length = SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  text.resize(static_cast<size_t>(length));
  return text;
}

bool IsRowSelected(HWND list, int row) {
  return ListView_GetItemState(list, row, LVIS_SELECTED) != 0;
}

void SelectRow(HWND list, int row, bool selected) {
  const UINT state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
  ListView_SetItemState(list, row, state, LVIS_SELECTED | LVIS_FOCUSED);
}

int SelectedRow(HWND list) {
  const int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
  if (focused >= 0 && IsRowSelected(list, focused)) return focused;
  return ListView_GetNextItem(list, -1, LVNI_SELECTED);
}

int RequireSelectedRow(HWND list) {
  const int row = SelectedRow(list);
  if (row < 0) {
    throw AppError(app_errors::kObjectNotSet,
                   u"オブジェクト変数または With ブロック変数が設定されていません。");
  }
  return row;
}
