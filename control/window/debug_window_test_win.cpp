// Debug and DebugClear write into an untitled editor window that the control takes over.
#include <gtest/gtest.h>

#include "control/object/zorvex_dispid_win.h"
#include "control/testing/hosted_control_win.h"

namespace zorvel::testing {
namespace {

// An editor window like the system's text editor: a top-level window with an edit field.
class EditorWindow {
 public:
  explicit EditorWindow(const wchar_t* title) {
    frame_ = CreateWindowW(L"STATIC", title, WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    edit_ = CreateWindowW(L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 280, 180,
                          frame_, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~EditorWindow() { DestroyWindow(frame_); }
  std::wstring Title() const {
    wchar_t text[256] = L"";
    GetWindowTextW(frame_, text, 256);
    return text;
  }
  std::wstring Text() const {
    wchar_t text[4096] = L"";
    GetWindowTextW(edit_, text, 4096);
    return text;
  }

 private:
  HWND frame_;
  HWND edit_;
};

void Debug(HostedControl& control, VARIANT value) {
  EXPECT_EQ(CallDispatchMethodWith(control.Dispatch(), kDebug, value), S_OK);
}

SAFEARRAY* TextArray(std::initializer_list<const wchar_t*> texts) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(texts.size()));
  LONG i = 0;
  for (const wchar_t* text : texts) {
    VARIANT element;
    element.vt = VT_BSTR;
    element.bstrVal = SysAllocString(text);
    SafeArrayPutElement(array, &i, &element);
    VariantClear(&element);
    ++i;
  }
  return array;
}

TEST(DebugWindowTest, ValuesGoToTheTakenOverEditor) {
  ControlClassScope scope;
  HostedControl control;
  VARIANT value;
  value.vt = VT_I4;
  value.lVal = 5;
  Debug(control, value);  // no editor open: nothing happens

  {
    EditorWindow editor(L"Untitled - Notepad");
    Debug(control, value);
    EXPECT_EQ(editor.Title(), L"DORAN5 Debug");
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(L"テキスト");
    Debug(control, value);
    VariantClear(&value);
    value.vt = VT_ARRAY | VT_VARIANT;
    value.parray = TextArray({L"a", L"b"});
    Debug(control, value);
    VariantClear(&value);
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    value.vt = VT_ARRAY | VT_VARIANT;
    value.parray = SafeArrayCreate(VT_VARIANT, 2, bounds);
    Debug(control, value);
    VariantClear(&value);
    value.vt = VT_DATE;
    value.date = 1.0;
    Debug(control, value);
    EXPECT_EQ(editor.Text(), L"5\r\nテキスト\r\na\r\nb\r\n  invalid array\r\n");
    EXPECT_EQ(CallDispatchMethodWith(control.Dispatch(), kDebugClear), S_OK);
    EXPECT_EQ(editor.Text(), L"");
  }

  // The editor has gone: the next call looks again, here for the Japanese title.
  EditorWindow japanese(L"無題 - メモ帳");
  value.vt = VT_I2;
  value.iVal = -3;
  Debug(control, value);
  EXPECT_EQ(japanese.Title(), L"DORAN5 Debug");
  EXPECT_EQ(japanese.Text(), L"-3\r\n");
}

}  // namespace
}  // namespace zorvel::testing
