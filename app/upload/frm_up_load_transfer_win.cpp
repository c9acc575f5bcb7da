// The transfer phase of the upload window: the parameter data file, the upload control and what
// it reports.
#include <utility>

#include "app/forms/taskbar_win.h"
#include "app/main/app_error_win.h"
#include "app/main/bas_main.h"
#include "app/main/file_utils_win.h"
#include "app/main/show_error_message_win.h"
#include "app/main/user_dialogs_win.h"
#include "app/resources/form_ids.h"
#include "app/upload/answer_message.h"
#include "app/upload/frm_up_load_win.h"
#include "app/upload/para_data.h"
#include "app/upload/upload_log_win.h"
#include "app/upload/zorvex_members_win.h"
#include "base/ansi.h"
#include "control/hosting/activex_site_win.h"
#include "control/hosting/dispatch_call_win.h"
#include "control/hosting/event_sink_win.h"

namespace {

constexpr LONG kHideButtonsAndList = 7;
constexpr LONG kBarHeight = 20;
constexpr LONG kBarWidth = 440;

void Check(HRESULT result) {
  if (FAILED(result)) throw Win32Error(static_cast<DWORD>(result));
}

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::u16string TextArgument(const DISPPARAMS* params) {
  if (params == nullptr || params->cArgs < 1) return {};
  const VARIANT& argument = params->rgvarg[params->cArgs - 1];
  if (argument.vt != VT_BSTR || argument.bstrVal == nullptr) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(argument.bstrVal),
                        SysStringLen(argument.bstrVal));
}

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

void frmUpLoad::CreateControl() {
  RECT frame;
  RECT title;
  GetWindowRect(Control(IDC_FRA_SEND), &frame);
  GetWindowRect(Control(IDC_LBL_TITLE_1), &title);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&frame), 2);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&title), 2);
  const RECT place{frame.left + 6, title.bottom + 4, frame.right - 6, frame.bottom - 6};
  Check(ActiveXSite::Create(hwnd(), place, kZorvexProgId, nullptr, nullptr, site_.Put()));
  // The control belongs to the lower frame, which stays hidden until the transfer begins.
  if (HWND window = site_->ControlWindow()) ShowWindow(window, SW_HIDE);
  auto deliver = [this](DISPID id, DISPPARAMS* params) {
    if (id == zorvel::kOnComplete) bfpMain_OnComplete(TextArgument(params));
    if (id == zorvel::kOnLog) bfpMain_OnLog(TextArgument(params));
  };
  sink_.Attach(EventSink::Connect(site_->Control(), kZorvexEvents, std::move(deliver)));
}

void frmUpLoad::ReleaseControl() {
  if (sink_) {
    sink_->Disconnect();
    sink_.Reset();
  }
  if (site_) {
    site_->Close();
    site_.Reset();
  }
}

void frmUpLoad::TransData() {
  WithErrorTrap(u"TransData", false, [&] {
    ExecMode = 2;
    ShowFrame(IDC_FRA_SEND, true);
    // The control shows how far the upload is; the program itself cannot tell.
    taskbar::ShowBusy(hwnd());
    CreateParaDataFile();
    base::ComPtr<IDispatch> control;
    control.Assign(bfpMain());
    if (!control) {
      throw AppError(app_errors::kObjectNotSet,
                     u"オブジェクト変数または With ブロック変数が設定されていません。");
    }
    Check(PutDispatchProperty(control.Get(), zorvel::kUrl, basMain::strFileTransUrl));
    Check(PutDispatchProperty(control.Get(), zorvel::kFilePath, ParaFile));
    for (const auto& file : *SendFiles) {
      Check(PutDispatchProperty(control.Get(), zorvel::kFilePath, file->NewFilePath));
    }
    Check(PutDispatchProperty(control.Get(), zorvel::kHide, kHideButtonsAndList));
    Check(PutDispatchProperty(control.Get(), zorvel::kBarHeight, kBarHeight));
    Check(PutDispatchProperty(control.Get(), zorvel::kBarWidth, kBarWidth));
    // The run and its events happen inside Start. A handler that closes the window meanwhile
    // leaves its destruction, and the control's, to be done here once Start has returned.
    starting_ = true;
    const HRESULT started = CallDispatchMethod(control.Get(), zorvel::kStart, nullptr, 0, nullptr);
    starting_ = false;
    if (closing_) {
      Unload();
      return true;
    }
    Check(started);
    return true;
  });
}

void frmUpLoad::CreateParaDataFile() {
  WithErrorTrap(u"CreateParaDataFile", false, [&] {
    ParaData data;
    data.sendName = basMain::strSendName;
    data.productId = basMain::strProductID;
    if (SendAddress != nullptr) {
      for (const auto& address : *SendAddress) {
        data.recipients.push_back({address->SendName, address->Email});
      }
    }
    data.message = Message;
    for (const auto& file : *SendFiles) {
      data.sources.push_back({file->FileName, file->FileSize});
      data.works.push_back({file->NewFileName(), file->NewFileSize()});
    }
    const std::string line = base::ToAnsi(FormatParaDataLine(data));

    if (CheckFileExist(ParaFile)) {
      SetFileAttributesW(Wide(ParaFile), FILE_ATTRIBUTE_NORMAL);
      if (!DeleteFileW(Wide(ParaFile))) throw LastWin32Error();
    }
    const FileHandle file(CreateFileW(Wide(ParaFile), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) throw LastWin32Error();
    DWORD written = 0;
    if (!WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
        written != line.size()) {
      throw LastWin32Error();
    }
    return true;
  });
}

void frmUpLoad::bfpMain_OnComplete(const std::u16string& strResult) {
  WithErrorTrap(u"bfpMain_OnComplete", false, [&] {
    if (closing_ || !IsLoaded()) return true;
    const AnswerMessage answer = MessageForAnswer(strResult);
    if (!answer.success) taskbar::ShowFailure(hwnd());
    taskbar::AskAttention(hwnd());
    ShowAppMessage(answer.text, answer.success ? MB_ICONINFORMATION : MB_ICONERROR, hwnd());
    if (!closing_) CloseWindow();
    return true;
  });
}

void frmUpLoad::bfpMain_OnLog(const std::u16string& strLog) {
  // A log line is worth no message box: one that cannot be written is lost, nothing more.
  if (closing_ || !basMain::blnLog) return;
  try {
    AppendUploadLog(UploadLogPath(), strLog);
  } catch (const AppError&) {
  }
}
