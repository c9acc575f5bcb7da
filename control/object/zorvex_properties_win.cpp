// The IZorvex properties and methods. Every call answers S_OK: a text beyond its limit is
// ignored, and outcomes travel through Result, HTMLResult and the events.
#include "control/object/bstr_text_win.h"
#include "control/object/module_win.h"
#include "control/object/zorvex_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/window/debug_window_win.h"

namespace zorvel {
namespace {

bool StoreText(std::string& field, BSTR value, size_t limit) {
  std::string text = AnsiFromBstr(value);
  if (text.size() > limit) return false;
  field = std::move(text);
  return true;
}

HRESULT ReadText(const std::string& field, BSTR* value) {
  if (!value) return E_POINTER;
  *value = BstrFromAnsi(field);
  return S_OK;
}

HRESULT ReadNumber(long field, LONG* value) {
  if (!value) return E_POINTER;
  *value = field;
  return S_OK;
}

HRESULT ReturnZero(LONG* value) {
  if (value) *value = 0;
  return S_OK;
}

}  // namespace

STDMETHODIMP Zorvex::get_FilePath(VARIANT* value) {
  if (!value) return E_POINTER;
  const std::vector<std::string> entries = window_.ReadEntries();
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(entries.size()));
  if (!array) return E_OUTOFMEMORY;
  for (LONG i = 0; i < static_cast<LONG>(entries.size()); ++i) {
    VARIANT element;
    element.vt = VT_BSTR;
    element.bstrVal = BstrFromAnsi(entries[static_cast<size_t>(i)]);
    SafeArrayPutElement(array, &i, &element);
    VariantClear(&element);
  }
  VariantInit(value);
  value->vt = VT_ARRAY | VT_VARIANT;
  value->parray = array;
  return S_OK;
}

STDMETHODIMP Zorvex::put_FilePath(BSTR value) {
  const std::string text = AnsiFromBstr(value);
  if (text.size() > kFilePathLimit) return S_OK;
  if (window_.Exists()) {
    // A run sends the list as it stood when it started, and its status stays on show: as for a
    // drop, the list takes nothing until the run has ended.
    if (Busy) return S_OK;
    window_.AddFileEntries(text);
    // The count and the Start button follow at the next repaint; make sure there is one.
    window_.Repaint();
    return S_OK;
  }
  // Without a window the entries wait for it. A container that writes one entry at a time
  // before activating the control keeps every entry, as far as the text's limit allows.
  const std::string joined = FilePathText.empty() ? text : FilePathText + ";" + text;
  if (joined.size() <= kFilePathLimit) FilePathText = joined;
  return S_OK;
}

STDMETHODIMP Zorvex::get_URL(BSTR* value) { return ReadText(URL, value); }
STDMETHODIMP Zorvex::put_URL(BSTR value) {
  if (StoreText(URL, value, kUrlLimit)) {
    TargetText = LoadAnsiString(IDS_TARGET) + URL;
    window_.DrawLabel(TextArea::kTarget, TargetText);
  }
  return S_OK;
}

STDMETHODIMP Zorvex::get_Para1(BSTR* value) { return ReadText(Para1, value); }
STDMETHODIMP Zorvex::put_Para1(BSTR value) {
  StoreText(Para1, value, kParaLimit);
  return S_OK;
}
STDMETHODIMP Zorvex::get_Para2(BSTR* value) { return ReadText(Para2, value); }
STDMETHODIMP Zorvex::put_Para2(BSTR value) {
  StoreText(Para2, value, kParaLimit);
  return S_OK;
}
STDMETHODIMP Zorvex::get_Para3(BSTR* value) { return ReadText(Para3, value); }
STDMETHODIMP Zorvex::put_Para3(BSTR value) {
  StoreText(Para3, value, kParaLimit);
  return S_OK;
}

STDMETHODIMP Zorvex::get_MaxSize(LONG* value) { return ReadNumber(MaxSizeBytes, value); }
STDMETHODIMP Zorvex::put_MaxSize(LONG value) {
  MaxSizeBytes = KilobytesToBytes(value);
  return S_OK;
}

STDMETHODIMP Zorvex::get_Proxy(BSTR* value) { return ReadText(Proxy, value); }
STDMETHODIMP Zorvex::put_Proxy(BSTR value) {
  StoreText(Proxy, value, kProxyLimit);
  ProxyTls.clear();
  return S_OK;
}
STDMETHODIMP Zorvex::get_ProxyAuth(BSTR* value) { return ReadText(ProxyAuth, value); }
STDMETHODIMP Zorvex::put_ProxyAuth(BSTR value) {
  StoreText(ProxyAuth, value, kProxyLimit);
  return S_OK;
}
STDMETHODIMP Zorvex::get_Auth(BSTR* value) { return ReadText(Auth, value); }
STDMETHODIMP Zorvex::put_Auth(BSTR value) {
  StoreText(Auth, value, kProxyLimit);
  return S_OK;
}
STDMETHODIMP Zorvex::get_AscExt(BSTR* value) { return ReadText(AscExt, value); }
STDMETHODIMP Zorvex::put_AscExt(BSTR value) {
  StoreText(AscExt, value, kProxyLimit);
  return S_OK;
}
STDMETHODIMP Zorvex::get_ProxyFtp(BSTR* value) { return ReadText(ProxyFtp, value); }
STDMETHODIMP Zorvex::put_ProxyFtp(BSTR value) {
  StoreText(ProxyFtp, value, kProxyLimit);
  return S_OK;
}

STDMETHODIMP Zorvex::get_Lock(LONG* value) { return ReadNumber(Lock, value); }
STDMETHODIMP Zorvex::put_Lock(LONG value) {
  Lock = value;
  window_.ApplyLock();
  return S_OK;
}

STDMETHODIMP Zorvex::get_Hide(LONG* value) { return ReadNumber(Hide, value); }
STDMETHODIMP Zorvex::put_Hide(LONG value) {
  Hide = value;
  window_.ApplyHide();
  return S_OK;
}

STDMETHODIMP Zorvex::Start(LONG* value) {
  if (Count > 0) Run();
  return ReturnZero(value);
}

STDMETHODIMP Zorvex::get_Count(LONG* value) { return ReadNumber(Count, value); }
STDMETHODIMP Zorvex::get_Size(LONG* value) { return ReadNumber(Size, value); }

STDMETHODIMP Zorvex::Cancel(LONG* value) {
  if (ButtonMode == ButtonMode::kCancel) CancelRun();
  return ReturnZero(value);
}

STDMETHODIMP Zorvex::Clear(LONG* value) {
  if (ButtonMode == ButtonMode::kClear) ClearList();
  return ReturnZero(value);
}

STDMETHODIMP Zorvex::get_Passive(LONG* value) { return ReadNumber(Passive, value); }
STDMETHODIMP Zorvex::put_Passive(LONG value) {
  Passive = value;
  return S_OK;
}

STDMETHODIMP Zorvex::get_TransParent(LONG* value) { return ReadNumber(TransParent, value); }
STDMETHODIMP Zorvex::put_TransParent(LONG value) {
  if ((value != 0) != (TransParent != 0)) window_.ApplyTransParent(value);
  TransParent = value;
  return S_OK;
}

STDMETHODIMP Zorvex::get_TextColor(BSTR* value) { return ReadText(TextColorText, value); }
STDMETHODIMP Zorvex::put_TextColor(BSTR value) {
  StoreText(TextColorText, value, kColourLimit);
  if (auto colour = ColourFromText(AnsiFromBstr(value))) TextRgb = *colour;
  return S_OK;
}

STDMETHODIMP Zorvex::get_BackColor(BSTR* value) { return ReadText(BackColorText, value); }
STDMETHODIMP Zorvex::put_BackColor(BSTR value) {
  StoreText(BackColorText, value, kColourLimit);
  if (BackColorText.empty()) BackColorText = "#c0c0c0";
  if (auto colour = ColourFromText(AnsiFromBstr(value))) BackRgb = *colour;
  TransParent = 0;
  window_.Repaint();
  return S_OK;
}

STDMETHODIMP Zorvex::get_BarColor(BSTR* value) { return ReadText(BarColorText, value); }
STDMETHODIMP Zorvex::put_BarColor(BSTR value) {
  StoreText(BarColorText, value, kColourLimit);
  if (auto colour = ColourFromText(AnsiFromBstr(value))) BarRgb = static_cast<long>(*colour);
  window_.SetBarColour();
  return S_OK;
}

STDMETHODIMP Zorvex::get_Result(LONG* value) { return ReadNumber(Result, value); }

STDMETHODIMP Zorvex::get_HTMLResult(BSTR* value) { return ReadText(ResponseBody.Text(), value); }

STDMETHODIMP Zorvex::Debug(VARIANT data) {
  WriteDebugValue(data);
  return S_OK;
}

STDMETHODIMP Zorvex::DebugClear() {
  ClearDebugWindow();
  return S_OK;
}

STDMETHODIMP Zorvex::get_BarHeight(LONG* value) { return ReadNumber(BarHeight, value); }
STDMETHODIMP Zorvex::put_BarHeight(LONG value) {
  BarHeight = value;
  window_.ResizeBar();
  return S_OK;
}

STDMETHODIMP Zorvex::get_BarWidth(LONG* value) { return ReadNumber(BarWidth, value); }
STDMETHODIMP Zorvex::put_BarWidth(LONG value) {
  BarWidth = value;
  window_.ResizeBar();
  return S_OK;
}

STDMETHODIMP Zorvex::get_AutoStart(LONG* value) { return ReadNumber(AutoStart, value); }
STDMETHODIMP Zorvex::put_AutoStart(LONG value) {
  CancelAutoStart();
  AutoStart = value;
  ScheduleAutoStart();
  return S_OK;
}

STDMETHODIMP Zorvex::get_Charset(BSTR* value) { return ReadText(CharsetText, value); }
STDMETHODIMP Zorvex::put_Charset(BSTR value) {
  if (StoreText(CharsetText, value, kCharsetLimit)) CharsetCode = CharsetCodeFromName(CharsetText);
  return S_OK;
}

}  // namespace zorvel
