// Test support: an upload window over files of a temporary folder, with scripted dialogs, the
// Zorvel control hosted from the test program with its scripted upload engine, and a compressor
// that stands in for TTA_VB.dll unless a test wants the real one.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs the types of windows.h
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main/bas_main.h"
#include "app/resources/form_ids.h"
#include "app/testing/scripted_dialogs_win.h"
#include "app/testing/temp_folder_win.h"
#include "app/tta/tta_codec_win.h"
#include "app/upload/frm_up_load_win.h"
#include "base/app_error.h"
#include "control/object/module_win.h"
#include "control/testing/hosted_control_win.h"

class UploadWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The control's dialog, strings and type library come from Zorvel.dll: the forms' templates
    // in this program use the same resource numbers.
    static const HMODULE resources = LoadLibraryW(L"Zorvel.dll");
    ASSERT_NE(resources, nullptr);
    zorvel::SetModuleInstance(resources);
    classScope = std::make_unique<zorvel::testing::ControlClassScope>();
    basMain::strSendName = u"山田";
    basMain::strProductID = u"PID-7";
    basMain::strFileTransUrl = u"http://127.0.0.1:9/upload";
    basMain::blnLog = false;
    address.push_back(std::make_shared<clsAddress>(clsAddress{u"鈴木", u"suzuki@example.jp"}));
    form.compressor = [this](const std::u16string& wav, const std::u16string& tta,
                             int16_t* cancel) { return FakeCompress(wav, tta, cancel); };
  }

  void TearDown() override {
    form.Unload();
    classScope.reset();
  }

  // A source file in the files folder, and its work file in the work folder.
  void AddFile(const std::u16string& name, std::string_view content,
               const std::u16string& workName = {}) {
    auto file = std::make_shared<clsFile>();
    file->FileName = name;
    file->FilePath = files / name;
    WriteBytes(file->FilePath, content);
    file->FileSize = static_cast<int32_t>(content.size());
    file->NewFilePath = work / (workName.empty() ? name : workName);
    sendFiles.push_back(file);
  }

  // Hands the forward to the window and shows it, as the forward window does, but returns at
  // once; the run goes on as the test pumps messages.
  void Open() {
    form.SendAddress = &address;
    form.SendFiles = &sendFiles;
    form.Message = u"一行目\r\n二行目";
    form.ParaFile = work / u"OrvaneFileTrans.para";
    form.ExecMode = 1;
    form.Show();
  }

  // Pumps until the window is gone; false when it is still there after `ms`.
  bool WaitForClose(DWORD ms = 10000) {
    return zorvel::testing::PumpUntil([&] { return !form.IsLoaded(); }, ms);
  }

  // Writes a stand-in TTA file, reporting progress in four calls of the callback.
  int32_t FakeCompress(const std::u16string& wav, const std::u16string& tta, int16_t* cancel) {
    compressed.push_back(wav);
    if (duringCompress) duringCompress(compressed.size());
    if (compressorThrows) throw AppError(app_errors::kFileNotFound, u"ファイルが見つかりません。");
    const std::string source = ReadBytes(wav);
    for (int quarter = 1; quarter <= 4; ++quarter) {
      if (basMain::TtaProgressProc(static_cast<LONG>(source.size() * quarter / 4), cancel) == 0) {
        return kTtaStopped;
      }
    }
    if (failingCall == compressed.size()) return failingResult;
    WriteBytes(tta, "TTA1" + source.substr(0, source.size() / 2));
    return kTtaDone;
  }

  void ClickCancelLater() {
    PostMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_CMD_CANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(form.Control(IDC_CMD_CANCEL)));
  }

  bool Exists(const std::u16string& path) {
    return GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.c_str())) !=
           INVALID_FILE_ATTRIBUTES;
  }

  int CompressPosition() {
    return static_cast<int>(SendMessageW(form.Control(IDC_PBR_COMPRESS), PBM_GETPOS, 0, 0));
  }

  zorvel::testing::EngineScript& Engine() { return zorvel::testing::Engine(); }

  ScriptedDialogs dialogs;
  std::unique_ptr<zorvel::testing::ControlClassScope> classScope;
  TempFolder files;
  TempFolder work;
  AddressCollection address;
  FileCollection sendFiles;
  std::vector<std::u16string> compressed;
  std::function<void(size_t call)> duringCompress;
  size_t failingCall = 0;
  int32_t failingResult = 3;
  bool compressorThrows = false;
  frmUpLoad form;
};
