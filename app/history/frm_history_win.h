// frmHistory: the past forwards of this installation as the server reports them, with the files
// of the one the user clicks and the size the server still keeps. It only reads.
#pragma once

#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/forms/form_win.h"
#include "app/history/cls_histroy.h"

class frmHistory : public Form {
 public:
  // `owner`: the window it is shown over, which stays painted and takes no input while the
  // history is fetched.
  explicit frmHistory(HWND owner = nullptr);

  // A click on a row of the history list (0-based): lists that forward's files.
  void lvwHistory_ItemClick(int row);
  void cmdClose_Click();

  const std::vector<clsHistroy>& History() const { return colHistory; }
  int32_t SaveSize() const { return lngSaveSize; }

 protected:
  void Form_Load() override;
  void Form_Unload() override;
  bool Command(int id, int code) override;
  LRESULT Notify(const NMHDR& header) override;
  void CloseBox() override { cmdClose_Click(); }

 private:
  std::u16string GetHistoryInfo();
  void SetHistoryInfo(std::u16string_view reply);
  void SetHistoryList();
  void SetFileList(size_t index);
  LRESULT DrawHistoryRow(NMLVCUSTOMDRAW& draw) const;

  HWND owner_;
  std::vector<clsHistroy> colHistory;
  int32_t lngSaveSize = 0;
};

// The colour of a forward whose files the server no longer keeps.
inline constexpr COLORREF kDeletedRowColour = RGB(190, 190, 190);
