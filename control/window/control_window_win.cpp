// The control window: creation from the dialog layout, drawing of the text areas, the Lock and
// Hide rules, the about box and destruction.
#include "control/window/control_window_win.h"

#include <commctrl.h>
#include <mshtml.h>
#include <shlguid.h>

#include <cstdio>

#include "base/ansi.h"
#include "control/object/bstr_text_win.h"
#include "control/object/module_win.h"
#include "control/object/zorvex_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/window/drop_target_win.h"
#include "control/window/file_entry_text.h"
#include "control/window/log_text.h"
#include "control/window/system_proxy_win.h"

namespace zorvel {
namespace {

constexpr int kAreaIds[] = {IDC_STATUS, IDC_FILECOUNT, IDC_ENDTIME, IDC_REMAIN, IDC_TARGET};
constexpr char kBanner[] = "Zorvel ActiveX Contorol";
constexpr char kVersion[] = "Version 1,0,802,29";

// Style bits that give the window its dialog frame; TransParent removes them.
constexpr LONG kFrameStyle = 0x80;
constexpr LONG kFrameExStyle = 0x101;

std::optional<long> ColourFromVariant(VARIANT& value) {
  if (value.vt != VT_BSTR) return std::nullopt;
  if (auto colour = ColourFromText(AnsiFromBstr(value.bstrVal))) return static_cast<long>(*colour);
  return std::nullopt;
}

}  // namespace

ControlWindow::~ControlWindow() { Destroy(); }

HWND ControlWindow::Create(HWND parent) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&classes);
  CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_ZORVEX), parent, DialogProc,
                     reinterpret_cast<LPARAM>(this));
  return window_;
}

void ControlWindow::Destroy() {
  if (window_) DestroyWindow(window_);
}

INT_PTR CALLBACK ControlWindow::DialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    auto* self = reinterpret_cast<ControlWindow*>(lParam);
    self->window_ = window;
    self->OnInitDialog();
    return TRUE;
  }
  auto* self = reinterpret_cast<ControlWindow*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!self) return FALSE;
  const INT_PTR handled = self->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    self->window_ = nullptr;
    self->list_ = self->start_ = self->second_ = self->bar_ = nullptr;
  }
  return handled;
}

INT_PTR ControlWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_ERASEBKGND:
      OnEraseBackground(reinterpret_cast<HDC>(wParam));
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_RBUTTONUP:
      OnRightButtonUp();
      return TRUE;
    case WM_DESTROY:
      OnDestroy();
      return TRUE;
    case WM_TIMER:
      KillTimer(window_, kAutoStartTimer);
      if (control_.AutoStart != 0) {
        control_.AutoStart = 0;
        PostMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                     reinterpret_cast<LPARAM>(start_));
      }
      return TRUE;
    case WM_DROP_NOTIFY:
      OnDropNotice(wParam, reinterpret_cast<DropNotice*>(lParam));
      return TRUE;
    case WM_UPLOAD_LOG:
      control_.Events().Fire(kOnLog, TrimLogText(reinterpret_cast<const char*>(wParam)));
      return TRUE;
    default:
      return FALSE;
  }
}

void ControlWindow::OnInitDialog() {
  if (control_.TransParent != 0) {
    SetWindowLongW(window_, GWL_STYLE, GetWindowLongW(window_, GWL_STYLE) ^ kFrameStyle);
    SetWindowLongW(window_, GWL_EXSTYLE, GetWindowLongW(window_, GWL_EXSTYLE) ^ kFrameExStyle);
  }
  if (IOleClientSite* site = control_.ClientSite()) {
    base::ComPtr<IServiceProvider> services;
    IWebBrowser2* browser = nullptr;
    if (SUCCEEDED(site->QueryInterface(IID_IServiceProvider, services.PutVoid())) &&
        SUCCEEDED(services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2,
                                         reinterpret_cast<void**>(&browser)))) {
      browser_.Attach(browser);
    }
  }
  list_ = GetDlgItem(window_, IDC_FILELIST);
  start_ = GetDlgItem(window_, IDC_START);
  second_ = GetDlgItem(window_, IDC_SECOND);
  bar_ = GetDlgItem(window_, IDC_PROGRESS);
  SetWindowTextA(start_, LoadAnsiString(IDS_START).c_str());
  SetWindowTextA(second_, LoadAnsiString(IDS_CLEAR).c_str());
  control_.ButtonMode = ButtonMode::kClear;
  fileCountFormat_ = LoadAnsiString(IDS_FILECOUNT);
  endTimeFormat_ = LoadAnsiString(IDS_REMAIN_TIME);

  dropTarget_.Attach(new DropTarget(window_));
  if (FAILED(RegisterDragDrop(window_, dropTarget_.Get()))) {
    dropTarget_.Reset();
    MessageBoxA(window_, "drag failed", "", MB_OK);
  }

  for (int i = 0; i < 5; ++i) {
    HWND item = GetDlgItem(window_, kAreaIds[i]);
    GetClientRect(item, &areas_[i]);
    MapWindowPoints(item, window_, reinterpret_cast<POINT*>(&areas_[i]), 2);
  }
  if (browser_) ReadBrowserHost();
  if (!control_.FilePathText.empty()) {
    AddFileEntries(control_.FilePathText);
    UpdateFileCount();
  }
  DrawLabel(TextArea::kRemain, control_.ProgressText);
  control_.TargetText = LoadAnsiString(IDS_TARGET) + control_.URL;
  DrawLabel(TextArea::kTarget, control_.TargetText);
  UpdateWindow(window_);
  SetBarColour();
  if (control_.Lock != 0) {
    if (control_.Lock & kStartBit) EnableWindow(start_, FALSE);
    if (control_.Lock & kSecondBit) EnableWindow(second_, FALSE);
    if (control_.Lock & kListBit) EnableWindow(list_, FALSE);
  }
  ApplyHide();

  RECT bar;
  GetWindowRect(bar_, &bar);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bar), 2);
  if (control_.BarHeight == -1 && control_.BarWidth == -1) {
    control_.BarHeight = bar.bottom - bar.top;
    control_.BarWidth = bar.right - bar.left;
  } else {
    if (control_.BarHeight == -1) control_.BarHeight = bar.bottom - bar.top;
    if (control_.BarWidth == -1) control_.BarWidth = bar.right - bar.left;
    MoveWindow(bar_, bar.left, bar.top, control_.BarWidth, control_.BarHeight, TRUE);
  }
  ReadSystemProxy(control_.Proxy, control_.ProxyFtp, control_.ProxyTls);
  ResolveRelativeUrl();
  control_.ScheduleAutoStart();
}

void ControlWindow::ReadBrowserHost() {
  BSTR location = nullptr;
  control_.PageUnknown = true;
  control_.PageShown.clear();
  if (SUCCEEDED(browser_->get_LocationURL(&location))) {
    const std::string page = AnsiFromBstr(location);
    if (page.size() < 256) {
      control_.PageUrl = page;
      control_.PageUnknown = page.empty();
    } else {
      control_.PageShown = std::string(base::CutWholeCharacters(page, 255)) + "...";
    }
  }
  SysFreeString(location);
  SHANDLE_PTR handle = 0;
  control_.BrowserWindow =
      SUCCEEDED(browser_->get_HWND(&handle)) ? reinterpret_cast<HWND>(handle) : nullptr;
  base::ComPtr<IDispatch> document;
  if (FAILED(browser_->get_Document(document.Put())) || !document) return;
  base::ComPtr<IHTMLDocument2> html;
  if (SUCCEEDED(document->QueryInterface(IID_IHTMLDocument2, html.PutVoid()))) {
    VARIANT colour;
    VariantInit(&colour);
    if (SUCCEEDED(html->get_bgColor(&colour))) {
      if (auto rgb = ColourFromVariant(colour)) {
        control_.PageBackRgb = *rgb;
        if (control_.TransParent != 0) SendMessageW(bar_, PBM_SETBKCOLOR, 0, *rgb);
      }
    }
    VariantClear(&colour);
    if (SUCCEEDED(html->get_fgColor(&colour))) {
      if (auto rgb = ColourFromVariant(colour)) control_.PageTextRgb = *rgb;
    }
    VariantClear(&colour);
    BSTR cookie = nullptr;
    if (SUCCEEDED(html->get_cookie(&cookie))) {
      const std::string text = AnsiFromBstr(cookie);
      if (text.size() < 512) control_.CookieText = text;
    }
    SysFreeString(cookie);
  }
}

void ControlWindow::ResolveRelativeUrl() {
  const std::string& page = control_.PageUrl;
  const std::string& url = control_.URL;
  if ((!StartsWithIgnoreCase(page, "http://") && !StartsWithIgnoreCase(page, "https://")) ||
      StartsWithIgnoreCase(url, "http://") || StartsWithIgnoreCase(url, "https://") ||
      StartsWithIgnoreCase(url, "ftp://")) {
    return;
  }
  const std::string resolved = page.substr(0, page.rfind('/') + 1) + url;
  if (resolved.size() >= 256) return;
  control_.URL = resolved;
  control_.TargetText = LoadAnsiString(IDS_TARGET) + control_.URL;
  DrawLabel(TextArea::kTarget, control_.TargetText);
}

void ControlWindow::FillBackground(HDC dc, const RECT& rect) {
  const COLORREF colour = control_.TransParent != 0 && control_.PageBackRgb != -1
                              ? static_cast<COLORREF>(control_.PageBackRgb)
                              : control_.BackRgb;
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void ControlWindow::DrawLabel(TextArea area, std::string_view text) {
  if (!window_ || (control_.Hide & kBarBit)) return;
  const RECT& rect = areas_[static_cast<int>(area)];
  HDC dc = GetDC(window_);
  HGDIOBJ previousFont =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0)));
  COLORREF textColour = control_.TextRgb;
  if (control_.TransParent != 0 && control_.PageTextRgb != -1) {
    textColour = static_cast<COLORREF>(control_.PageTextRgb);
  }
  SetTextColor(dc, textColour);
  SetBkMode(dc, TRANSPARENT);
  FillBackground(dc, rect);
  RECT clip = rect;
  DrawTextA(dc, text.data(), static_cast<int>(text.size()), &clip,
            DT_SINGLELINE | DT_LEFT | DT_TOP | DT_NOPREFIX);
  SelectObject(dc, previousFont);
  ReleaseDC(window_, dc);
}

void ControlWindow::OnEraseBackground(HDC dc) {
  RECT client;
  GetClientRect(window_, &client);
  FillBackground(dc, client);
  UpdateFileCount();
  DrawLabel(TextArea::kStatus, control_.StatusText);
  DrawLabel(TextArea::kRemain, control_.ProgressText);
  DrawLabel(TextArea::kTarget, control_.TargetText);
  DrawLabel(TextArea::kEndTime, control_.RemainText);
}

void ControlWindow::Repaint() {
  if (window_) InvalidateRect(window_, nullptr, TRUE);
}

std::string ControlWindow::FileCountText() const {
  long kilobytes = control_.Size / 1024;
  if (kilobytes == 0 && control_.Count > 0) kilobytes = 1;
  char text[256];
  std::snprintf(text, sizeof text, fileCountFormat_.c_str(), static_cast<int>(control_.Count),
                kilobytes);
  return text;
}

void ControlWindow::UpdateFileCount() {
  if (!window_) return;
  DrawLabel(TextArea::kFileCount, FileCountText());
  // A repaint during a run must not offer Start again; the run enables it when it ends.
  EnableItem(start_, kStartBit, control_.Count > 0 && !control_.Busy);
}

void ControlWindow::EnableItem(HWND item, long lockBit, bool enable) {
  if (item) EnableWindow(item, enable && !(control_.Lock & lockBit));
}

void ControlWindow::ApplyLock() {
  if (!window_) return;
  // A run keeps Start and the list disabled to its end, and the second button once its Cancel
  // was accepted; the run's end enables them by the same rule.
  const bool busy = control_.Busy;
  if (control_.Count > 0) EnableItem(start_, kStartBit, !busy);
  EnableItem(second_, kSecondBit, !(busy && control_.CancelRequested));
  EnableItem(list_, kListBit, !busy);
}

void ControlWindow::ApplyHide() {
  if (!window_) return;
  const long hide = control_.Hide;
  ShowWindow(start_, hide & kStartBit ? SW_HIDE : SW_SHOW);
  ShowWindow(second_, hide & kSecondBit ? SW_HIDE : SW_SHOW);
  ShowWindow(bar_, hide & kBarBit ? SW_HIDE : SW_SHOW);
  if (hide & kListBit) {
    HideList();
  } else {
    ShowWindow(list_, SW_SHOW);
  }
  Repaint();
}

void ControlWindow::HideList() {
  ShowWindow(list_, SW_HIDE);
  // The list hides once; the bar and the text areas move up only the first time.
  if (listMoved_) return;
  listMoved_ = true;
  RECT bar;
  GetWindowRect(bar_, &bar);
  MoveWindow(bar_, 0, 0, bar.right - bar.left, bar.bottom - bar.top, TRUE);
  RECT list;
  GetClientRect(list_, &list);
  for (RECT& area : areas_) OffsetRect(&area, 0, -list.bottom);
}

void ControlWindow::ApplyTransParent(long newValue) {
  if (!window_) return;
  const LONG style = GetWindowLongW(window_, GWL_STYLE);
  const LONG exStyle = GetWindowLongW(window_, GWL_EXSTYLE);
  // The frame may already be off: BackColor ends the page colours but leaves the styles.
  if (newValue != 0) {
    SetWindowLongW(window_, GWL_STYLE, style & ~kFrameStyle);
    SetWindowLongW(window_, GWL_EXSTYLE, exStyle & ~kFrameExStyle);
    if (control_.PageBackRgb != -1) SendMessageW(bar_, PBM_SETBKCOLOR, 0, control_.PageBackRgb);
  } else {
    SetWindowLongW(window_, GWL_STYLE, style | kFrameStyle);
    SetWindowLongW(window_, GWL_EXSTYLE, exStyle | kFrameExStyle);
  }
  SetWindowPos(window_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  InvalidateRect(window_, nullptr, TRUE);
  ShowWindow(window_, SW_SHOW);
}

void ControlWindow::ResizeBar() {
  if (!window_) return;
  RECT bar;
  GetWindowRect(bar_, &bar);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bar), 2);
  const long width = control_.BarWidth == -1 ? bar.right - bar.left : control_.BarWidth;
  const long height = control_.BarHeight == -1 ? bar.bottom - bar.top : control_.BarHeight;
  MoveWindow(bar_, bar.left, bar.top, width, height, TRUE);
}

void ControlWindow::SetBarColour() {
  if (window_ && control_.BarRgb != -1) SendMessageW(bar_, PBM_SETBARCOLOR, 0, control_.BarRgb);
}

void ControlWindow::OnCommand(WORD id, WORD notification) {
  if (id == IDC_START && notification == BN_CLICKED) {
    // An automatic start posts a click; it counts only while the button could be clicked.
    if (IsWindowEnabled(start_)) control_.Run();
  } else if (id == IDC_SECOND && notification == BN_CLICKED) {
    if (control_.ButtonMode == ButtonMode::kCancel) {
      control_.CancelRun();
    } else {
      control_.ClearList();
    }
  } else if (id == IDC_FILELIST && notification == LBN_DBLCLK) {
    DeleteSelectedEntry();
  }
}

void ControlWindow::OnRightButtonUp() {
  const std::string text = std::string(kBanner) + "\r\n" + kVersion;
  // The box's own loop dispatches the host's messages, which may let the control go.
  control_.AddRef();
  MessageBoxA(window_, text.c_str(), kBanner, MB_OK);
  control_.Release();
}

void ControlWindow::OnDestroy() {
  control_.CancelAutoStart();
  EmptyList();
  // A window created again lays itself out afresh, Hide 4 included.
  listMoved_ = false;
  if (dropTarget_) {
    RevokeDragDrop(window_);
    dropTarget_.Reset();
  }
  browser_.Reset();
}

}  // namespace zorvel
