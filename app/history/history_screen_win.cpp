#include "app/history/history_screen_win.h"

#include <commctrl.h>

namespace history_testing {
namespace {

constexpr size_t kMemorySize = 8192;
constexpr size_t kTextOffset = 512;  // past the LVITEMW or RECT at the start

}  // namespace

int PixelsOf(const screenshots::Image& image, HWND window, HWND control, RECT rect,
             COLORREF colour) {
  MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  RECT frame;
  GetWindowRect(window, &frame);
  int count = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      const int px = x - frame.left, py = y - frame.top;
      if (px < 0 || py < 0 || px >= image.width || py >= image.height) continue;
      const size_t at = static_cast<size_t>((image.height - 1 - py) * image.Stride() + px * 3);
      if (RGB(image.pixels[at + 2], image.pixels[at + 1], image.pixels[at]) == colour) ++count;
    }
  }
  return count;
}

RemoteListView::RemoteListView(HWND list) : list_(list) {
  DWORD processId = 0;
  GetWindowThreadProcessId(list, &processId);
  process_ =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (process_ != nullptr) {
    memory_ = static_cast<char*>(
        VirtualAllocEx(process_, nullptr, kMemorySize, MEM_COMMIT, PAGE_READWRITE));
  }
}

RemoteListView::~RemoteListView() {
  if (memory_ != nullptr) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
  if (process_ != nullptr) CloseHandle(process_);
}

int RemoteListView::Rows() const { return ListView_GetItemCount(list_); }

std::wstring RemoteListView::Cell(int row, int column) const {
  if (memory_ == nullptr) return L"(no access)";
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(memory_ + kTextOffset);
  item.cchTextMax = static_cast<int>((kMemorySize - kTextOffset) / sizeof(wchar_t));
  WriteProcessMemory(process_, memory_, &item, sizeof item, nullptr);
  const LRESULT length = SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                      reinterpret_cast<LPARAM>(memory_));
  std::wstring text(static_cast<size_t>(length), L'\0');
  ReadProcessMemory(process_, memory_ + kTextOffset, text.data(), text.size() * sizeof(wchar_t),
                    nullptr);
  return text;
}

RECT RemoteListView::CellRect(int row, int column) const {
  // The message reads its question from the RECT: the part of the cell, and the column.
  RECT rect = {};
  rect.left = LVIR_LABEL;
  rect.top = column;
  if (memory_ == nullptr) return {};
  WriteProcessMemory(process_, memory_, &rect, sizeof rect, nullptr);
  SendMessageW(list_, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(memory_));
  ReadProcessMemory(process_, memory_, &rect, sizeof rect, nullptr);
  return rect;
}

void RemoteListView::Select(int row) const {
  if (memory_ == nullptr) return;
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  WriteProcessMemory(process_, memory_, &item, sizeof item, nullptr);
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(memory_));
}

}  // namespace history_testing
