// The base of every window of the application: a dialog built from a template in the program's
// resources, with the life of a form (load, show, hide, unload), its timers and its modal show.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

class Form {
 public:
  explicit Form(int templateId);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Creates the window (hidden) and runs the load event; nothing when already loaded. A window
  // that cannot be created raises an AppError.
  void Load();
  // Runs the unload event and destroys the window; nothing when not loaded.
  void Unload();
  bool IsLoaded() const { return window_ != nullptr; }

  // Modeless show: the form lives on the application's message loop.
  void Show();
  // Modal show: `owner` takes no input until this form is hidden (or unloaded); then it returns
  // and the caller reads the form's fields. A test's modal hook, when installed, is handed the
  // loaded form instead and operates it.
  void ShowModal(HWND owner);
  void Hide();
  bool IsVisible() const;

  HWND hwnd() const { return window_; }
  HWND Control(int id) const;

  std::u16string Caption() const;
  void SetCaption(std::u16string_view text);
  std::u16string ControlText(int id) const;
  void SetControlText(int id, std::u16string_view text);
  void SetFocusTo(int id);

  // A window timer; Timer(id) runs on each tick until it is stopped.
  void StartTimer(UINT_PTR id, UINT milliseconds);
  void StopTimer(UINT_PTR id);

 protected:
  virtual void Form_Load() {}
  virtual void Form_Unload() {}
  // A button click or another notification of a child control; false when not handled.
  virtual bool Command(int id, int code);
  virtual LRESULT Notify(const NMHDR&) { return 0; }
  virtual void Timer(UINT_PTR) {}
  // The close box. Dialogs treat it as their cancel button; the default hides the form.
  virtual void CloseBox() { Hide(); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  int templateId_;
  HWND window_ = nullptr;
};

// Operates a form shown modal in a test, in place of the modal loop.
using ModalHook = std::function<void(Form&)>;

// Installs `hook` for the lifetime of this object.
class ScopedModalHook {
 public:
  explicit ScopedModalHook(ModalHook hook);
  ~ScopedModalHook();
  ScopedModalHook(const ScopedModalHook&) = delete;
  ScopedModalHook& operator=(const ScopedModalHook&) = delete;

 private:
  ModalHook previous_;
};

// Dispatches the messages waiting for this thread, so a window stays alive during long work.
void DoEvents();

// The hourglass pointer over every window of the application, until the normal one is set.
void SetHourglassPointer();
void SetNormalPointer();
bool IsHourglassPointer();
