#include "app/forms/form_win.h"

#include <commctrl.h>

#include <utility>

#include "app/main/app_error_win.h"
#include "app/main/message_loop_win.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t));

namespace {

ModalHook modalHook;
bool hourglass = false;

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::u16string WindowText(HWND window) {
  if (window == nullptr) return {};
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  return std::u16string(text.begin(), text.begin() + copied);
}

// Keyboard navigation of dialogs first, then the ordinary dispatch.
void Dispatch(MSG& message) {
  HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root != nullptr && IsDialogMessageW(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace

Form::Form(int templateId) : templateId_(templateId) {}

Form::~Form() {
  // The unload event belongs to whoever unloads the form; here only the window goes.
  if (window_ != nullptr) {
    HWND window = std::exchange(window_, nullptr);
    DestroyWindow(window);
    NoteFormUnloaded();
  }
}

void Form::Load() {
  if (window_ != nullptr) return;
  static const bool commonControls = [] {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    return InitCommonControlsEx(&classes) != FALSE;
  }();
  (void)commonControls;
  if (CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), nullptr,
                         DialogProc, reinterpret_cast<LPARAM>(this)) == nullptr) {
    throw LastWin32Error();
  }
  NoteFormLoaded();
  Form_Load();
}

void Form::Unload() {
  if (window_ == nullptr) return;
  Form_Unload();
  HWND window = std::exchange(window_, nullptr);
  DestroyWindow(window);
  NoteFormUnloaded();
}

void Form::Show() {
  Load();
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
}

void Form::ShowModal(HWND owner) {
  Load();
  if (modalHook) {
    modalHook(*this);
    return;
  }
  SetWindowLongPtrW(window_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  const bool ownerEnabled = owner != nullptr && IsWindowEnabled(owner);
  if (ownerEnabled) EnableWindow(owner, FALSE);
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  MSG message;
  while (window_ != nullptr && IsWindowVisible(window_)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: leave the quit for the loop that owns it.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got < 0) break;
    Dispatch(message);
  }
  if (ownerEnabled) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
}

void Form::Hide() {
  if (window_ != nullptr) ShowWindow(window_, SW_HIDE);
}

bool Form::IsVisible() const { return window_ != nullptr && IsWindowVisible(window_); }

HWND Form::Control(int id) const { return window_ != nullptr ? GetDlgItem(window_, id) : nullptr; }

std::u16string Form::Caption() const { return WindowText(window_); }

void Form::SetCaption(std::u16string_view text) {
  SetWindowTextW(window_, Wide(std::u16string(text)));
}

std::u16string Form::ControlText(int id) const { return WindowText(Control(id)); }

void Form::SetControlText(int id, std::u16string_view text) {
  SetWindowTextW(Control(id), Wide(std::u16string(text)));
}

void Form::SetFocusTo(int id) {
  HWND control = Control(id);
  if (control == nullptr) return;
  // A dialog moves its focus through WM_NEXTDLGCTL, which also selects the text of an edit box.
  SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  SetFocus(control);
}

void Form::StartTimer(UINT_PTR id, UINT milliseconds) {
  SetTimer(window_, id, milliseconds, nullptr);
}

void Form::StopTimer(UINT_PTR id) { KillTimer(window_, id); }

bool Form::Command(int id, int) {
  // Enter and Esc reach every dialog as IDOK and IDCANCEL; a form without such buttons ignores
  // them rather than letting the dialog manager close it.
  return id == IDOK || id == IDCANCEL;
}

INT_PTR CALLBACK Form::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* form = reinterpret_cast<Form*>(lParam);
    form->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
    return TRUE;
  }
  auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr || form->window_ != window) return FALSE;
  return form->HandleMessage(message, wParam, lParam);
}

INT_PTR Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      return Command(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_NOTIFY: {
      const LRESULT result = Notify(*reinterpret_cast<const NMHDR*>(lParam));
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case WM_TIMER:
      Timer(wParam);
      return TRUE;
    case WM_CLOSE:
      CloseBox();
      return TRUE;
    case WM_SETCURSOR:
      if (!hourglass) return FALSE;
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    default:
      return FALSE;
  }
}

ScopedModalHook::ScopedModalHook(ModalHook hook) : previous_(std::exchange(modalHook, hook)) {}

ScopedModalHook::~ScopedModalHook() { modalHook = std::move(previous_); }

void DoEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Dispatch(message);
  }
}

void SetHourglassPointer() {
  hourglass = true;
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void SetNormalPointer() {
  hourglass = false;
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

bool IsHourglassPointer() { return hourglass; }
