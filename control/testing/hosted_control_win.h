// Test support: a Zorvex control created by its ProgID and hosted in a window of the test, as
// the upload window hosts it, with its events recorded and a scripted upload engine.
#pragma once

#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/com_object_win.h"
#include "control/hosting/activex_site_win.h"
#include "control/hosting/event_sink_win.h"
#include "control/object/class_factory_win.h"
#include "control/object/zorvex_win.h"

namespace zorvel::testing {

// OLE for the test thread, and the control's class offered to COM from the test program itself
// (with its keys in the registry while the scope lasts), so that creating "Zorvex.1" reaches the
// code under test. Its controls run `engines`, by default the scripted engine for "http://" and
// "ftp://" addresses (others are refused before any engine, as in the library).
class ControlClassScope {
 public:
  ControlClassScope();
  explicit ControlClassScope(UploadEngines engines);
  ~ControlClassScope();

 private:
  ZorvexFactory factory_;
  DWORD cookie_ = 0;
};

struct RecordedEvent {
  DISPID id;
  std::string text;  // the BSTR argument in the ANSI code page, when there is one
};

// What the scripted engine does when a run reaches it.
struct EngineScript {
  enum class End { kComplete, kConnectFailure, kWaitForCancel };
  End end = End::kComplete;
  int progressBlocks = 2;
  std::string body = "1";
  int calls = 0;
  std::function<void()> duringRun;  // runs inside the engine, before it ends
  // kWaitForCancel waits through the socket layer's message pump, as the engines do.
};

// The engine runs once per Start with such an address; the script is shared by every control of
// the test.
EngineScript& Engine();

class HostedControl {
 public:
  // Hosts a new control in a new window; `services` plays the browser host and `parameters`
  // the page's PARAM values when given.
  explicit HostedControl(IServiceProvider* services = nullptr, IPropertyBag* parameters = nullptr);
  ~HostedControl();
  HostedControl(const HostedControl&) = delete;
  HostedControl& operator=(const HostedControl&) = delete;

  IDispatch* Dispatch() const { return site_ ? site_->Control() : nullptr; }
  Zorvex& Object() const;
  HWND Host() const { return host_; }
  HWND Window() const { return site_->ControlWindow(); }
  HWND Item(int id) const { return GetDlgItem(Window(), id); }

  VARIANT Get(DISPID id);
  long GetNumber(DISPID id);
  std::string GetText(DISPID id);
  void Put(DISPID id, const std::string& ansiText);
  void Put(DISPID id, long number);
  long Call(DISPID id);

  std::vector<std::string> ListEntries() const;
  // Whether the event log holds an OnLog line whose text (after the time stamp) is `text`.
  bool Logged(const std::string& text) const;
  const std::vector<RecordedEvent>& Events() const { return events_; }
  void ClearEvents() { events_.clear(); }
  // Called with every event as it is raised, after it is recorded: the test's own handler.
  void OnEvent(std::function<void(const RecordedEvent&)> handler) { handler_ = std::move(handler); }
  // Disconnects the sink: the control then raises events to nobody, as on a page without script.
  void StopListening();
  // Lets the control go as a page does when it unloads: the sink is disconnected, the control
  // closed and every reference of the host released.
  void Close();

 private:
  HWND host_ = nullptr;
  base::ComPtr<ActiveXSite> site_;
  base::ComPtr<EventSink> sink_;
  std::vector<RecordedEvent> events_;
  std::function<void(const RecordedEvent&)> handler_;
};

// A file of `size` bytes in a fresh folder of the temporary directory; the folder goes with
// the object. Paths are ANSI.
class TempFiles {
 public:
  TempFiles();
  ~TempFiles();
  const std::string& Folder() const { return folder_; }
  std::string Write(const std::string& relativePath, size_t size);
  std::string Write(const std::string& relativePath, const std::string& bytes);
  void MakeFolder(const std::string& relativePath);

 private:
  std::string folder_;
};

// A test of runs through real engines: its controls run `Http` and `Ftp`, and it has files of
// its own.
template <UploadFunction Http, UploadFunction Ftp>
class EngineTest : public ::testing::Test {
 protected:
  ControlClassScope scope_{{Http, Ftp}};
  TempFiles files_;
};

// Calls a method of the control with no argument, or with one.
HRESULT CallDispatchMethodWith(IDispatch* control, DISPID id);
HRESULT CallDispatchMethodWith(IDispatch* control, DISPID id, VARIANT argument);

// Runs `action` when a message loop of the thread next dispatches the host window's messages,
// as a host's own code runs between the control's steps.
void PostHostAction(std::function<void()> action);

// Dispatches the thread's messages until `done` holds or the time is up; true when it held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
void PumpFor(DWORD milliseconds);

// Files named by ANSI (code page 932) paths, as the control takes them. Reading a file that
// cannot be opened gives an empty text; writing replaces the file and gives back its path.
std::string ReadAnsiFile(const std::string& path);
std::string WriteAnsiFile(const std::string& path, const std::string& bytes);

// Answers the next message box with the given caption by the given button, as soon as it
// shows; records its text.
class MessageBoxAnswerer {
 public:
  // `beforeAnswer` runs once the box is up, just before the button is pressed.
  MessageBoxAnswerer(const wchar_t* caption, int button,
                     std::function<void()> beforeAnswer = nullptr);
  ~MessageBoxAnswerer();
  int Shown() const;
  const std::wstring& Text() const;
};

}  // namespace zorvel::testing
