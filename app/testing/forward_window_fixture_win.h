// A loaded forward window for tests, with scripted dialogs, a loopback saved-size server, a
// temporary directory of its own and the upload window replaced by a recorder.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <initializer_list>

#include "app/forms/list_view_win.h"
#include "app/forward/frm_forward_win.h"
#include "app/main/bas_main.h"
#include "app/main/file_utils_win.h"
#include "app/resources/form_ids.h"
#include "app/testing/registry_fixture_win.h"
#include "app/testing/scripted_dialogs_win.h"
#include "app/testing/temp_folder_win.h"
#include "components/http/loopback_peer_win.h"

struct RecordedHandover {
  const AddressCollection* sendAddress;
  const FileCollection* sendFiles;
  std::u16string message;
  std::u16string paraFile;
  int16_t execMode;
};

class ForwardWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_registry::ClearConfiguration();
    RemoveAddressBook();
    basMain::strProductID = u"PID-7";
    basMain::strSendName = u"山田";
    basMain::strTempDir = temp.path() + u"\\";
    basMain::strSaveSizeUrl = server.Url("/savesize");
    form.openUploadWindow = [this](const UploadHandover& handover) {
      handovers.push_back({&handover.SendAddress, &handover.SendFiles, handover.Message,
                           handover.ParaFile, handover.ExecMode});
      if (duringUpload) duringUpload(handover);
    };
    form.Load();
  }

  void TearDown() override {
    form.Unload();
    testing_registry::ClearConfiguration();
    RemoveAddressBook();
  }

  static std::u16string AddressBookPath() { return ProgramFolder() + u"\\address.dat"; }
  static void RemoveAddressBook() {
    const std::filesystem::path path(AddressBookPath());
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove(path);
  }

  // A file of `size` bytes (sparse, so a gigabyte costs nothing).
  static std::u16string MakeFile(const std::u16string& path, int64_t size = 1) {
    HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_WRITE, 0,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = size;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    return path;
  }

  void AddFile(const std::u16string& path) {
    dialogs.fileAnswers.push_back(path);
    form.cmdFileSelect_Click();
  }

  void AddFolder(const std::u16string& path) {
    dialogs.folderAnswers.push_back(path);
    form.cmdFolderSelect_Click();
  }

  int Rows(int listId) { return RowCount(form.Control(listId)); }

  // The messages shown since the last call, as texts; each must carry the application title
  // and an OK button.
  std::vector<std::u16string> TakeMessages() {
    std::vector<std::u16string> texts;
    for (const ShownMessage& message : dialogs.messages) {
      EXPECT_EQ(message.caption, u"Orvaneファイル転送");
      EXPECT_EQ(message.buttons(), static_cast<UINT>(MB_OK));
      texts.push_back(message.text);
    }
    dialogs.messages.clear();
    return texts;
  }

  // Exactly one message, with its icon.
  void ExpectMessage(std::u16string_view text, UINT icon = MB_ICONERROR) {
    ASSERT_EQ(dialogs.messages.size(), 1u) << "messages shown: " << dialogs.messages.size();
    EXPECT_EQ(dialogs.messages[0].icon(), icon);
    EXPECT_EQ(TakeMessages(), std::vector<std::u16string>{std::u16string(text)});
  }

  ScriptedDialogs dialogs;
  LoopbackHttpPeer server;
  TempFolder files;
  TempFolder temp;
  frmForward form;
  std::vector<RecordedHandover> handovers;
  std::function<void(const UploadHandover&)> duringUpload;
};
