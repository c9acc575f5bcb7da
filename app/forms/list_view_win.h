// The report-style list views of the forms: columns, rows of texts, selection.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ListColumn {
  std::u16string caption;
  int twips;  // widths are given in twips, as the forms were laid out
};

void SetupReportList(HWND list, const std::vector<ListColumn>& columns);

// Hidden while it is refilled, so it redraws once.
void FillReportList(HWND list, const std::vector<std::vector<std::u16string>>& rows);

int RowCount(HWND list);
std::u16string CellText(HWND list, int row, int column);
bool IsRowSelected(HWND list, int row);
void SelectRow(HWND list, int row, bool selected);

// The row a command acts on: the focused row when it is selected, else the first selected one;
// -1 when no row is selected.
int SelectedRow(HWND list);

// SelectedRow, or the error of a command that needs a selected row when there is none.
int RequireSelectedRow(HWND list);
