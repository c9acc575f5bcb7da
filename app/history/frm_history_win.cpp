#include "app/history/frm_history_win.h"

#include <memory>

#include "app/forms/background_wait_win.h"
#include "app/forms/hourglass_trap_win.h"
#include "app/forms/list_view_win.h"
#include "app/forward/window_handover_win.h"
#include "app/history/history_reply.h"
#include "app/history/history_text.h"
#include "app/main/app_error_win.h"
#include "app/main/bas_main.h"
#include "app/main/show_error_message_win.h"
#include "app/resources/form_ids.h"
#include "components/http/http_query_win.h"

namespace {

constexpr long kTypeMismatch = 13;

std::u16string Decimal(size_t value) {
  std::u16string text;
  for (char c : std::to_string(value)) text += static_cast<char16_t>(c);
  return text;
}

std::u16string ShownTime(std::u16string_view forwardDate, int laterDays) {
  const auto time = ParseForwardDate(forwardDate);
  if (!time) throw AppError(kTypeMismatch, u"型が一致しません。");
  return FormatForwardTime(AddDays(*time, laterDays));
}

// Appends one row; the rows before it stay whatever follows.
void AppendRow(HWND list, std::vector<std::u16string> texts) {
  const int row = RowCount(list);
  for (size_t column = 0; column < texts.size(); ++column) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = static_cast<int>(column);
    item.pszText = reinterpret_cast<wchar_t*>(texts[column].data());
    SendMessageW(list, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
  }
}

void AlignColumnRight(HWND list, int column) {
  LVCOLUMNW format = {};
  format.mask = LVCF_FMT;
  format.fmt = LVCFMT_RIGHT;
  SendMessageW(list, LVM_SETCOLUMNW, static_cast<WPARAM>(column),
               reinterpret_cast<LPARAM>(&format));
}

}  // namespace

void ShowHistoryWindow(HWND owner) {
  frmHistory window(owner);
  window.ShowModal(owner);
  window.Unload();
}

frmHistory::frmHistory(HWND owner) : Form(IDD_HISTORY), owner_(owner) {}

void frmHistory::Form_Load() {
  SetupReportList(
      Control(IDC_LVW_HISTORY),
      {{u"No", 500}, {u"ファイル転送先", 4000}, {u"転送日時", 2500}, {u"お預り期限", 2500}});
  SetupReportList(Control(IDC_LVW_HISTORY_FILE),
                  {{u"No", 800}, {u"ファイル名", 5400}, {u"ファイルサイズ", 2000}});
  AlignColumnRight(Control(IDC_LVW_HISTORY_FILE), 2);

  SetHourglassPointer();
  lngSaveSize = 0;
  SetHistoryInfo(GetHistoryInfo());
  SetHistoryList();
  SetNormalPointer();
}

void frmHistory::Form_Unload() { colHistory.clear(); }

bool frmHistory::Command(int id, int code) {
  if (code == BN_CLICKED && (id == IDC_CMD_HISTORY_CLOSE || id == IDCANCEL)) {
    cmdClose_Click();
    return true;
  }
  return Form::Command(id, code);
}

LRESULT frmHistory::Notify(const NMHDR& header) {
  if (header.idFrom != IDC_LVW_HISTORY) return 0;
  if (header.code == NM_CUSTOMDRAW) {
    // The list reads the colour back from the notification it sent.
    return DrawHistoryRow(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
  }
  // A row that becomes selected, by the mouse or the keys, shows its files.
  if (header.code == LVN_ITEMCHANGED) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if ((change.uChanged & LVIF_STATE) != 0 && (change.uNewState & LVIS_SELECTED) != 0 &&
        (change.uOldState & LVIS_SELECTED) == 0) {
      lvwHistory_ItemClick(change.iItem);
    }
  }
  return 0;
}

LRESULT frmHistory::DrawHistoryRow(NMLVCUSTOMDRAW& draw) const {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const size_t row = static_cast<size_t>(draw.nmcd.dwItemSpec);
      if (row < colHistory.size() && colHistory[row].DeleteKBN == u"1") {
        draw.clrText = kDeletedRowColour;
        return CDRF_NEWFONT;
      }
      return CDRF_DODEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

std::u16string frmHistory::GetHistoryInfo() {
  return WithErrorTrap(u"GetHistoryInfo", std::u16string(), [&] {
    // The query blocks its thread for as long as the server takes. The history window is not
    // shown yet: the window it opens over stays painted meanwhile and takes no input, and the
    // whole wait keeps to the client's time-out.
    auto reply = std::make_shared<std::u16string>();
    const auto query = [url = basMain::strHistoryUrl, data = u"productid=" + basMain::strProductID,
                        reply] { *reply = http::PostFormQuery(url, data); };
    if (!WaitWithFormDisabled(owner_ != nullptr ? owner_ : hwnd(), query,
                              http::kDefaultTimeoutMs)) {
      throw Win32Error(ERROR_TIMEOUT);
    }
    return *reply;
  });
}

void frmHistory::SetHistoryInfo(std::u16string_view reply) {
  WithErrorTrap(u"SetHistoryInfo", false, [&] {
    HistoryParse parse = ParseHistoryReply(reply, lngSaveSize);
    colHistory = std::move(parse.colHistory);
    if (parse.failure) throw *parse.failure;
    lngSaveSize = parse.lngSaveSize;
    SetControlText(IDC_LBL_SAVE_SIZE, FormatKilobytes(lngSaveSize));
    return true;
  });
}

void frmHistory::SetHistoryList() {
  HWND list = Control(IDC_LVW_HISTORY);
  const bool completed = WithErrorTrap(u"SetHistoryList", false, [&] {
    ShowWindow(list, SW_HIDE);
    ListView_DeleteAllItems(list);
    for (size_t n = 0; n < colHistory.size(); ++n) {
      const clsHistroy& record = colHistory[n];
      AppendRow(list, {Decimal(n + 1), RecipientText(record), ShownTime(record.ForwardDate, 0),
                       ShownTime(record.ForwardDate, kKeepingDays)});
    }
    ShowWindow(list, SW_SHOW);
    return true;
  });
  if (completed) SetFileList(0);
}

void frmHistory::SetFileList(size_t index) {
  if (colHistory.empty()) return;
  WithErrorTrap(u"SetFileList", false, [&] {
    std::vector<std::vector<std::u16string>> rows;
    for (const HistoryFile& file : colHistory.at(index).FileInfo()) {
      rows.push_back({Decimal(rows.size() + 1), file.FileName, FormatKilobytes(file.FileSize)});
    }
    FillReportList(Control(IDC_LVW_HISTORY_FILE), rows);
    return true;
  });
}

void frmHistory::lvwHistory_ItemClick(int row) {
  if (RowCount(Control(IDC_LVW_HISTORY)) == 0) return;
  WithHourglassTrap(u"lvwHistory_ItemClick", [&] {
    if (row < 0)
      throw AppError(app_errors::kSubscriptOutOfRange, u"インデックスが有効範囲にありません。");
    SetHourglassPointer();
    SetFileList(static_cast<size_t>(row));
  });
}

void frmHistory::cmdClose_Click() { Unload(); }
