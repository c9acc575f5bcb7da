#include "control/window/debug_window_win.h"

#include <atomic>
#include <cstdio>
#include <string>

#include "control/object/bstr_text_win.h"

namespace zorvel {
namespace {

// The editor field of the debug window, for the whole process: controls on several apartment
// threads may look for it at once. No lock is held while searching, as the search sends
// messages to other threads' windows; two threads that find it both rename it, which is harmless.
std::atomic<HWND> g_debugWindow{nullptr};

// Window titles in code page 932: ours, then an untitled editor window in the system's
// Japanese (half-width and full-width katakana) and English versions.
constexpr const char* kTitles[] = {
    "DORAN5 Debug",
    "\x96\xB3\x91\xE8 - \xD2\xD3\x92\xA0",
    "\x96\xB3\x91\xE8 - \x83\x81\x83\x82\x92\xA0",
    "Untitled - Notepad",
};

HWND FindDebugWindow() {
  HWND known = g_debugWindow.load();
  if (known && IsWindow(known)) return known;
  HWND edit = nullptr;
  for (const char* title : kTitles) {
    if (HWND found = FindWindowA(nullptr, title)) {
      SetWindowTextA(found, kTitles[0]);
      edit = GetWindow(found, GW_CHILD);
      break;
    }
  }
  g_debugWindow.store(edit);
  return edit;
}

void WriteText(HWND edit, const std::string& text) {
  SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
  SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void WriteValue(HWND edit, const VARIANT& data);

// Elements are read in the array's own type, so an array of numbers or texts is written as
// well as one of VARIANTs.
void WriteArray(HWND edit, SAFEARRAY* array) {
  if (SafeArrayGetDim(array) != 1) {
    WriteText(edit, "  invalid array\r\n");
    return;
  }
  VARTYPE type = VT_EMPTY;
  LONG lower = 0, upper = -1;
  if (FAILED(SafeArrayGetVartype(array, &type)) || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
      FAILED(SafeArrayGetUBound(array, 1, &upper))) {
    return;
  }
  for (LONG i = lower; i <= upper; ++i) {
    VARIANT element;
    VariantInit(&element);
    if (type == VT_VARIANT) {
      if (FAILED(SafeArrayGetElement(array, &i, &element))) continue;
    } else if (type == VT_I2 || type == VT_I4 || type == VT_R4 || type == VT_R8 ||
               type == VT_BSTR) {
      if (FAILED(SafeArrayGetElement(array, &i, &element.lVal))) continue;
      element.vt = type;
    } else {
      continue;
    }
    WriteValue(edit, element);
    VariantClear(&element);
  }
}

void WriteValue(HWND edit, const VARIANT& data) {
  char number[64];
  if (data.vt & VT_BYREF) return;
  if (data.vt & VT_ARRAY) {
    if (data.parray) WriteArray(edit, data.parray);
    return;
  }
  switch (data.vt) {
    case VT_I2:
      std::snprintf(number, sizeof number, "%d\r\n", data.iVal);
      WriteText(edit, number);
      return;
    case VT_I4:
      std::snprintf(number, sizeof number, "%d\r\n", static_cast<int>(data.lVal));
      WriteText(edit, number);
      return;
    case VT_R4:
      std::snprintf(number, sizeof number, "%f\r\n", static_cast<double>(data.fltVal));
      WriteText(edit, number);
      return;
    case VT_R8:
      std::snprintf(number, sizeof number, "%f\r\n", data.dblVal);
      WriteText(edit, number);
      return;
    case VT_BSTR:
      WriteText(edit, AnsiFromBstr(data.bstrVal) + "\r\n");
      return;
    default:
      return;
  }
}

}  // namespace

void WriteDebugValue(const VARIANT& data) {
  HWND edit = FindDebugWindow();
  if (!edit) return;
  if (data.vt == (VT_BYREF | VT_VARIANT)) {
    if (data.pvarVal) WriteValue(edit, *data.pvarVal);
    return;
  }
  WriteValue(edit, data);
}

void ClearDebugWindow() {
  HWND edit = FindDebugWindow();
  if (!edit) return;
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
}

}  // namespace zorvel
