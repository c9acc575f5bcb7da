// frmForward: the main window of forward mode, where one forward is put together (files,
// recipients, message, sender) and checked before it goes to the upload window.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/forms/file_drop_win.h"
#include "app/forms/form_win.h"
#include "app/forward/cls_file_win.h"
#include "app/forward/window_handover_win.h"
#include "app/main/cls_address.h"

class frmForward : public Form {
 public:
  frmForward();

  void cmdFileSelect_Click();
  void cmdFolderSelect_Click();
  void cmdFileDel_Click();
  void cmdAdd_Click();
  void cmdAddress_Click();
  void cmdSendDel_Click();
  void cmdSetting_Click();
  void cmdHistory_Click();
  void cmdForward_Click();
  void cmdEnd_Click();

  // Files and folders dropped onto the file list, each added as if chosen through its dialog.
  void AddDroppedPaths(const std::vector<std::u16string>& paths);

  // The bytes the server already stores for this installation; 0 after a failed query.
  int32_t GetServerSaveFileSize();

  const FileCollection& Files() const { return colFile; }
  const AddressCollection& Recipients() const { return colAddress; }
  int32_t TotalSize() const { return lngTotalSize; }

  // The windows of other parts; tests put their own in place.
  std::function<void(const UploadHandover&)> openUploadWindow;
  std::function<void()> openHistoryWindow;

 protected:
  void Form_Load() override;
  void Form_Unload() override;
  bool Command(int id, int code) override;
  void CloseBox() override { cmdEnd_Click(); }

 private:
  void SetFileList();
  void SetAddressBookList();
  void ShowFileSize();
  void ShowFileCount();
  void Refuse(std::u16string_view message);
  std::vector<std::u16string> FileNames() const;
  void AddFile(std::shared_ptr<clsFile> file);
  // The file and folder routines behind the dialogs and the drops; false when the list was
  // already full, so nothing more is tried.
  bool AddChosenFile(const std::function<std::optional<std::u16string>()>& choose);
  bool AddChosenFolder(const std::function<std::u16string()>& choose);
  void RunForward();

  FileCollection colFile;
  AddressCollection colAddress;
  int32_t lngTotalSize = 0;
  // From the forward command until the upload window closes; drops are refused meanwhile.
  bool blnSending = false;
  // A disabled window (a dialog of its own open over it) takes no drop either.
  FileDrop fileDrop{[this] { return !blnSending && IsWindowEnabled(hwnd()) != FALSE; },
                    [this](const std::vector<std::u16string>& paths) { AddDroppedPaths(paths); }};
};
