#include "app/forward/frm_forward_win.h"

#include <memory>

#include "app/addressbook/frm_address_book_win.h"
#include "app/forms/background_wait_win.h"
#include "app/forms/hourglass_trap_win.h"
#include "app/forms/ime_mode_win.h"
#include "app/forms/list_view_win.h"
#include "app/forward/forward_rules.h"
#include "app/forward/frm_input_address_win.h"
#include "app/forward/frm_send_user_win.h"
#include "app/forward/save_size_reply.h"
#include "app/forward/work_folder_win.h"
#include "app/main/address_book_file_win.h"
#include "app/main/app_error_win.h"
#include "app/main/bas_main.h"
#include "app/main/config_store_win.h"
#include "app/main/file_extension.h"
#include "app/main/file_utils_win.h"
#include "app/main/message_loop_win.h"
#include "app/main/show_error_message_win.h"
#include "app/main/user_dialogs_win.h"
#include "app/resources/form_ids.h"
#include "components/http/http_query_win.h"

namespace {

constexpr char16_t kParaFileName[] = u"OrvaneFileTrans.para";

// Deletes the file at `path` if there is one, read-only or not.
void DeleteIfPresent(const std::u16string& path) {
  if (!CheckFileExist(path)) return;
  const std::wstring wide(path.begin(), path.end());
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!DeleteFileW(wide.c_str())) throw LastWin32Error();
}

}  // namespace

frmForward::frmForward() : Form(IDD_FORWARD) {
  openUploadWindow = [this](const UploadHandover& handover) { ShowUploadWindow(hwnd(), handover); };
  openHistoryWindow = [this] { ShowHistoryWindow(hwnd()); };
}

void frmForward::Form_Load() {
  SetupReportList(Control(IDC_LVW_FILE), {{u"ファイル名", 4700}});
  SetupReportList(Control(IDC_LVW_FORWARD), {{u"お名前", 1800}, {u"メールアドレス", 2900}});
  SetImeHiragana(Control(IDC_TXT_MSG));
  ReadAddressBookFile();
  colAddress.clear();
  colFile.clear();
  lngTotalSize = 0;
  ShowFileSize();
  ShowFileCount();
  fileDrop.Attach(hwnd(), Control(IDC_LVW_FILE));
}

void frmForward::Form_Unload() {
  fileDrop.Detach();
  basMain::colAddressBook.clear();
  colAddress.clear();
  colFile.clear();
}

bool frmForward::Command(int id, int code) {
  if (code != BN_CLICKED) return Form::Command(id, code);
  switch (id) {
    case IDC_CMD_FILE_SELECT:
      cmdFileSelect_Click();
      return true;
    case IDC_CMD_FOLDER_SELECT:
      cmdFolderSelect_Click();
      return true;
    case IDC_CMD_FILE_DEL:
      cmdFileDel_Click();
      return true;
    case IDC_CMD_ADD:
      cmdAdd_Click();
      return true;
    case IDC_CMD_ADDRESS:
      cmdAddress_Click();
      return true;
    case IDC_CMD_SEND_DEL:
      cmdSendDel_Click();
      return true;
    case IDC_CMD_SETTING:
      cmdSetting_Click();
      return true;
    case IDC_CMD_HISTORY:
      cmdHistory_Click();
      return true;
    case IDC_CMD_FORWARD:
      cmdForward_Click();
      return true;
    case IDC_CMD_END:
      cmdEnd_Click();
      return true;
    default:
      return Form::Command(id, code);
  }
}

void frmForward::Refuse(std::u16string_view message) {
  ShowAppMessage(message, MB_ICONERROR, hwnd());
}

std::vector<std::u16string> frmForward::FileNames() const {
  std::vector<std::u16string> names;
  for (const auto& file : colFile) names.push_back(file->FileName);
  return names;
}

void frmForward::AddFile(std::shared_ptr<clsFile> file) {
  lngTotalSize += file->FileSize;
  colFile.push_back(std::move(file));
}

void frmForward::SetFileList() {
  WithErrorTrap(u"SetFileList", false, [&] {
    std::vector<std::vector<std::u16string>> rows;
    for (const auto& file : colFile) rows.push_back({file->FileName});
    FillReportList(Control(IDC_LVW_FILE), rows);
    return true;
  });
}

void frmForward::SetAddressBookList() {
  WithErrorTrap(u"SetAddressBookList", false, [&] {
    FillAddressList(Control(IDC_LVW_FORWARD), colAddress);
    return true;
  });
}

void frmForward::ShowFileSize() {
  SetControlText(IDC_LBL_FILE_SIZE, FormatFileSizeKB(lngTotalSize));
}

void frmForward::ShowFileCount() {
  SetControlText(IDC_LBL_FILE_COUNT, FormatFileCount(colFile.size()));
}

void frmForward::cmdFileSelect_Click() {
  AddChosenFile([&] {
    return Dialogs().OpenFile(
        hwnd(), OpenFileRequest{u"ファイルを選択して下さい", u"すべてのファイル (*.*)|*.*|", true});
  });
}

void frmForward::cmdFolderSelect_Click() {
  AddChosenFolder([&] { return SelectFolder(hwnd(), u"フォルダを選択して下さい", u""); });
}

void frmForward::AddDroppedPaths(const std::vector<std::u16string>& paths) {
  for (const std::u16string& path : paths) {
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.c_str()));
    const bool folder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // Once the list is full every further path would only repeat the same refusal.
    const bool more = folder ? AddChosenFolder([&] { return path; })
                             : AddChosenFile([&] { return std::optional(path); });
    if (!more) break;
  }
}

bool frmForward::AddChosenFile(const std::function<std::optional<std::u16string>()>& choose) {
  // This routine ends silently on any failure, a cancelled dialog included.
  try {
    if (auto refusal = RefuseMoreFiles(colFile.size(), lngTotalSize)) {
      Refuse(*refusal);
      return false;
    }
    const auto path = choose();
    if (!path) return true;
    const FoundFile found = FindFileData(*path);
    switch (PlanFileAdd(FileNames(), lngTotalSize, {found.name, found.size}).step) {
      case AddStep::Duplicate:
        Refuse(AlreadySetMessage(found.name));
        break;
      case AddStep::Add: {
        auto file = std::make_shared<clsFile>();
        file->FilePath = *path;
        file->FileName = found.name;
        file->FileSize = static_cast<int32_t>(found.size);
        AddFile(std::move(file));
        break;
      }
      default:
        Refuse(kSizeLimitMessage);
        break;
    }
    SetFileList();
    ShowFileSize();
    ShowFileCount();
  } catch (...) {
  }
  return true;
}

bool frmForward::AddChosenFolder(const std::function<std::u16string()>& choose) {
  bool more = true;
  WithHourglassTrap(u"cmdFolderSelect_Click", [&] {
    if (auto refusal = RefuseMoreFiles(colFile.size(), lngTotalSize)) {
      Refuse(*refusal);
      more = false;
      return;
    }
    const std::u16string folder = choose();
    if (!folder.empty()) {
      SetHourglassPointer();
      FileCollection found;
      if (GetDirectoryFileInfo(folder, found)) {
        std::vector<CandidateFile> candidates;
        for (const auto& file : found) candidates.push_back({file->FileName, file->FileSize});
        for (const AddDecision& decision : PlanFolderAdd(FileNames(), lngTotalSize, candidates)) {
          const auto& file = found[decision.candidate];
          switch (decision.step) {
            case AddStep::Add:
              AddFile(file);
              break;
            case AddStep::Duplicate:
              Refuse(AlreadySetMessage(file->FileName));
              break;
            case AddStep::CountLimit:
              Refuse(FileCountLimitMessage());
              break;
            case AddStep::SizeLimit:
              Refuse(kSizeLimitMessage);
              break;
          }
        }
      }
    }
    SetFileList();
    ShowFileSize();
    ShowFileCount();
  });
  return more;
}

void frmForward::cmdFileDel_Click() {
  HWND list = Control(IDC_LVW_FILE);
  if (RowCount(list) == 0) return;
  WithHourglassTrap(u"cmdFileDel_Click", [&] {
    SetHourglassPointer();
    const int row = RequireSelectedRow(list);
    lngTotalSize -= colFile.at(static_cast<size_t>(row))->FileSize;
    colFile.erase(colFile.begin() + row);
    SetFileList();
    ShowFileSize();
    ShowFileCount();
  });
}

void frmForward::cmdAdd_Click() {
  WithErrorTrap(u"cmdAdd_Click", false, [&] {
    if (RowCount(Control(IDC_LVW_FORWARD)) > static_cast<int>(kMaxRecipients) - 1) {
      Refuse(kRecipientsFullMessage);
      return true;
    }
    frmInputAddress dialog;
    dialog.ShowModal(hwnd());
    if (!dialog.blnCancel) {
      auto address = std::make_shared<clsAddress>();
      address->SendName = dialog.txtName();
      address->Email = dialog.txtEmail();
      if (dialog.chkSave()) {
        basMain::colAddressBook.push_back(address);
        WriteAddressBookFile();
      }
      colAddress.push_back(address);
      SetAddressBookList();
    }
    dialog.Unload();
    return true;
  });
}

void frmForward::cmdAddress_Click() {
  WithErrorTrap(u"cmdAddress_Click", false, [&] {
    const int rows = RowCount(Control(IDC_LVW_FORWARD));
    if (rows >= static_cast<int>(kMaxRecipients)) {
      Refuse(kRecipientsFullMessage);
      return true;
    }
    frmAddressBook book;
    book.intForwardCnt = static_cast<int16_t>(rows);
    book.ShowModal(hwnd());
    if (!book.colSelectAdd.empty()) {
      colAddress.insert(colAddress.end(), book.colSelectAdd.begin(), book.colSelectAdd.end());
      SetAddressBookList();
    }
    book.Unload();
    return true;
  });
}

void frmForward::cmdSendDel_Click() {
  HWND list = Control(IDC_LVW_FORWARD);
  if (RowCount(list) == 0) return;
  WithHourglassTrap(u"cmdSendDel_Click", [&] {
    SetHourglassPointer();
    const int row = RequireSelectedRow(list);
    colAddress.erase(colAddress.begin() + row);
    SetAddressBookList();
  });
}

void frmForward::cmdSetting_Click() {
  WithErrorTrap(u"cmdSetting_Click", false, [&] {
    frmSendUser dialog;
    dialog.Load();
    dialog.SetName(basMain::strSendName);
    dialog.ShowModal(hwnd());
    if (!dialog.blnCancel) {
      basMain::strSendName = dialog.txtName();
      SaveSendUserName();
    }
    dialog.Unload();
    return true;
  });
}

void frmForward::cmdHistory_Click() { openHistoryWindow(); }

void frmForward::cmdEnd_Click() {
  Unload();
  EndProgram();
}

int32_t frmForward::GetServerSaveFileSize() {
  int32_t saved = 0;
  WithHourglassTrap(u"GetServerSaveFileSize", [&] {
    SetHourglassPointer();
    // The query blocks its thread for as long as the server takes: the window stays painted
    // meanwhile and takes no input, and the whole wait keeps to the client's time-out.
    auto reply = std::make_shared<std::u16string>();
    const auto query = [url = basMain::strSaveSizeUrl, data = u"productid=" + basMain::strProductID,
                        reply] { *reply = http::PostFormQuery(url, data); };
    if (!WaitWithFormDisabled(hwnd(), query, http::kDefaultTimeoutMs)) {
      throw Win32Error(ERROR_TIMEOUT);
    }
    saved = SavedSizeFromReply(*reply);
  });
  return saved;
}

void frmForward::cmdForward_Click() {
  WithErrorTrap(u"cmdForward_Click", false, [&] {
    struct Sending {
      bool& flag;
      explicit Sending(bool& sending) : flag(sending) { flag = true; }
      ~Sending() { flag = false; }
    } sending(blnSending);
    RunForward();
    return true;
  });
}

void frmForward::RunForward() {
  const int32_t serverSize = GetServerSaveFileSize();
  if (serverSize < 0) {
    Refuse(u"サーバー保存サイズが取得出来ませんでした。");
    return;
  }
  const std::u16string message = ControlText(IDC_TXT_MSG);
  const ForwardState state{static_cast<size_t>(RowCount(Control(IDC_LVW_FORWARD))),
                           static_cast<size_t>(RowCount(Control(IDC_LVW_FILE))),
                           lngTotalSize,
                           serverSize,
                           message,
                           basMain::strSendName};
  if (const auto refusal = RefuseForward(state)) {
    if (refusal->aboutMessageText) {
      ShowAppMessage(refusal->message, MB_ICONINFORMATION, hwnd());
      SetFocusTo(IDC_TXT_MSG);
    } else {
      Refuse(refusal->message);
    }
    return;
  }

  // The work files keep the names the temporary directory would give them, in a folder of the
  // forward's own, so that neither a source lying in that directory nor an unrelated file there
  // is overwritten or deleted.
  const WorkFolder workFolder(basMain::strTempDir);
  for (const auto& file : colFile) {
    const std::u16string workFile =
        workFolder.path() + GetTempFilePath(file->FilePath).substr(basMain::strTempDir.size());
    file->NewFilePath =
        file->FileExtension() == u"wav" ? EditFileExtension(workFile, u"wav", u"tta") : workFile;
  }
  const std::u16string paraFile = workFolder.path() + kParaFileName;
  openUploadWindow(UploadHandover{colAddress, colFile, message, paraFile, 1});

  DeleteIfPresent(paraFile);
  for (const auto& file : colFile) DeleteIfPresent(file->NewFilePath);
}
