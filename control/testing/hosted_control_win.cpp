#include "control/testing/hosted_control_win.h"

#include <gtest/gtest.h>

#include <utility>

#include "control/engine/socket/socket_layer_win.h"
#include "control/hosting/dispatch_call_win.h"
#include "control/object/bstr_text_win.h"
#include "control/object/module_win.h"
#include "control/object/registration_win.h"
#include "control/object/upload_entry_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/testing/test_texts_win.h"

namespace zorvel::testing {
namespace {

EngineScript g_engine;

int ScriptedUpload(UploadRun& run, SocketConnection&) {
  RunState& state = run.state;
  EngineScript& script = g_engine;
  ++script.calls;
  state.Result = kSucceeded;
  run.LogLine("Connecting... 127.0.0.1:80");
  if (script.end == EngineScript::End::kConnectFailure) {
    state.Result = kConnectFailed;
    state.StatusText = LoadAnsiString(IDS_CONNECT_ERROR);
    return WSAECONNREFUSED;
  }
  for (int block = 1; block <= script.progressBlocks; ++block) {
    state.ProgressText = std::to_string(block) + "KB";
    state.RemainText = "left";
    run.events.Fire(kOnProgress, state.ProgressText + "\t" + state.RemainText);
  }
  if (script.duringRun) script.duringRun();
  if (script.end == EngineScript::End::kWaitForCancel) {
    const DWORD start = GetTickCount();
    while (!state.CancelRequested && GetTickCount() - start < 5000) PumpOneMessage();
    state.Result = kCancelled;
    state.StatusText = LoadAnsiString(IDS_CANCELLED);
    return 0;
  }
  run.LogLine("Waiting response...");
  state.StatusText = "done";
  run.events.Fire(kOnComplete, script.body);
  return 1;
}

constexpr UINT kHostAction = WM_APP + 7;
std::vector<std::function<void()>> g_hostActions;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kHostAction) {
    for (auto& action : std::exchange(g_hostActions, {})) action();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// One host window serves every control of the test program: destroying a top-level window
// under Wine waits on the display for a while, and the tests need no fresh one.
HWND HostWindow() {
  static const ATOM registered = [] {
    WNDCLASSW host{};
    host.lpfnWndProc = HostProc;
    host.hInstance = GetModuleHandleW(nullptr);
    host.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    host.lpszClassName = L"ZorvexTestHost";
    return RegisterClassW(&host);
  }();
  (void)registered;
  static const HWND host =
      CreateWindowW(L"ZorvexTestHost", L"Zorvex", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 520,
                    400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  return host;
}

struct Answerer {
  std::wstring caption;
  int button = 0;
  int shown = 0;
  std::wstring text;
  UINT_PTR timer = 0;
  std::function<void()> beforeAnswer;
} g_answerer;

void CALLBACK AnswerTick(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = FindWindowW(L"#32770", g_answerer.caption.c_str());
  if (!box) return;
  wchar_t text[2048] = L"";
  GetDlgItemTextW(box, 0xFFFF, text, 2048);
  g_answerer.text = text;
  ++g_answerer.shown;
  if (g_answerer.beforeAnswer) std::exchange(g_answerer.beforeAnswer, nullptr)();
  SendMessageW(box, WM_COMMAND, MAKEWPARAM(g_answerer.button, BN_CLICKED), 0);
}

}  // namespace

EngineScript& Engine() { return g_engine; }

ControlClassScope::ControlClassScope() : ControlClassScope({ScriptedUpload, ScriptedUpload}) {}

ControlClassScope::ControlClassScope(UploadEngines engines) : factory_(engines) {
  EXPECT_EQ(OleInitialize(nullptr), S_OK);
  EXPECT_EQ(RegisterServer(ModulePath()), S_OK);
  EXPECT_EQ(CoRegisterClassObject(CLSID_Zorvex, &factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                  &cookie_),
            S_OK);
  g_engine = EngineScript{};
}

ControlClassScope::~ControlClassScope() {
  CoRevokeClassObject(cookie_);
  UnregisterServer();
  OleUninitialize();
}

HostedControl::HostedControl(IServiceProvider* services, IPropertyBag* parameters)
    : host_(HostWindow()) {
  const RECT place{10, 10, 10 + 480, 10 + 330};
  const HRESULT created =
      ActiveXSite::Create(host_, place, L"Zorvex.1", services, parameters, site_.Put());
  EXPECT_EQ(created, S_OK);
  if (FAILED(created)) return;
  auto record = [this](DISPID id, DISPPARAMS* params) {
    RecordedEvent event{id, {}};
    if (params && params->cArgs == 1 && params->rgvarg[0].vt == VT_BSTR) {
      event.text = AnsiFromBstr(params->rgvarg[0].bstrVal);
    }
    events_.push_back(event);
    if (handler_) handler_(event);
  };
  sink_.Attach(EventSink::Connect(Dispatch(), DIID__IZorvexEvents, std::move(record)));
  EXPECT_NE(sink_.Get(), nullptr);
}

HostedControl::~HostedControl() { Close(); }

void HostedControl::StopListening() {
  if (sink_) {
    sink_->Disconnect();
    sink_.Reset();
  }
}

void HostedControl::Close() {
  StopListening();
  if (site_) {
    site_->Close();
    site_.Reset();
  }
}

Zorvex& HostedControl::Object() const {
  return *static_cast<Zorvex*>(static_cast<IZorvex*>(Dispatch()));
}

VARIANT HostedControl::Get(DISPID id) {
  VARIANT value;
  EXPECT_EQ(GetDispatchProperty(Dispatch(), id, &value), S_OK) << "DISPID " << id;
  return value;
}

long HostedControl::GetNumber(DISPID id) {
  VARIANT value = Get(id);
  EXPECT_EQ(value.vt, VT_I4);
  const long number = value.lVal;
  VariantClear(&value);
  return number;
}

std::string HostedControl::GetText(DISPID id) {
  VARIANT value = Get(id);
  EXPECT_EQ(value.vt, VT_BSTR);
  const std::string text = value.vt == VT_BSTR ? AnsiFromBstr(value.bstrVal) : std::string();
  VariantClear(&value);
  return text;
}

void HostedControl::Put(DISPID id, const std::string& ansiText) {
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = BstrFromAnsi(ansiText);
  EXPECT_EQ(PutDispatchProperty(Dispatch(), id, value), S_OK) << "DISPID " << id;
  VariantClear(&value);
}

void HostedControl::Put(DISPID id, long number) {
  EXPECT_EQ(PutDispatchProperty(Dispatch(), id, static_cast<LONG>(number)), S_OK)
      << "DISPID " << id;
}

long HostedControl::Call(DISPID id) {
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(CallDispatchMethod(Dispatch(), id, nullptr, 0, &result), S_OK) << "DISPID " << id;
  const long value = result.vt == VT_I4 ? result.lVal : -12345;
  VariantClear(&result);
  return value;
}

std::vector<std::string> HostedControl::ListEntries() const {
  return Object().Window().ReadEntries();
}

bool HostedControl::Logged(const std::string& text) const {
  for (const RecordedEvent& event : events_) {
    if (event.id == kOnLog && LogBody(event.text) == text) return true;
  }
  return false;
}

TempFiles::TempFiles() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  static int serial = 0;
  folder_ = std::string(base) + "zorvex" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++serial);
  CreateDirectoryA(folder_.c_str(), nullptr);
}

namespace {

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

TempFiles::~TempFiles() { RemoveTree(folder_); }

std::string TempFiles::Write(const std::string& relativePath, size_t size) {
  return Write(relativePath, std::string(size, 'x'));
}

std::string TempFiles::Write(const std::string& relativePath, const std::string& bytes) {
  return WriteAnsiFile(folder_ + "\\" + relativePath, bytes);
}

void TempFiles::MakeFolder(const std::string& relativePath) {
  CreateDirectoryA((folder_ + "\\" + relativePath).c_str(), nullptr);
}

void PostHostAction(std::function<void()> action) {
  g_hostActions.push_back(std::move(action));
  PostMessageW(HostWindow(), kHostAction, 0, 0);
}

HRESULT CallDispatchMethodWith(IDispatch* control, DISPID id) {
  return CallDispatchMethod(control, id, nullptr, 0, nullptr);
}

HRESULT CallDispatchMethodWith(IDispatch* control, DISPID id, VARIANT argument) {
  return CallDispatchMethod(control, id, &argument, 1, nullptr);
}

std::string ReadAnsiFile(const std::string& path) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty())
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

std::string WriteAnsiFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  if (!bytes.empty())
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  EXPECT_EQ(written, bytes.size()) << path;
  return path;
}

void PumpFor(DWORD milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    MSG message;
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    } else {
      Sleep(5);
    }
  }
  return true;
}

MessageBoxAnswerer::MessageBoxAnswerer(const wchar_t* caption, int button,
                                       std::function<void()> beforeAnswer) {
  g_answerer = Answerer{caption, button, 0, {}, 0, std::move(beforeAnswer)};
  g_answerer.timer = SetTimer(nullptr, 0, 50, AnswerTick);
}

MessageBoxAnswerer::~MessageBoxAnswerer() { KillTimer(nullptr, g_answerer.timer); }

int MessageBoxAnswerer::Shown() const { return g_answerer.shown; }
const std::wstring& MessageBoxAnswerer::Text() const { return g_answerer.text; }

}  // namespace zorvel::testing
