#include "control/testing/fake_browser_win.h"

#include <shlguid.h>

#include "control/object/bstr_text_win.h"

namespace zorvel::testing {

STDMETHODIMP FakeBrowserHost::QueryInterface(REFIID riid, void** object) {
  IWebBrowser2* const browser = this;
  return base::QueryInterfaceFrom({{IID_IServiceProvider, static_cast<IServiceProvider*>(this)},
                                   {IID_IWebBrowser2, browser},
                                   {IID_IWebBrowserApp, browser},
                                   {IID_IWebBrowser, browser},
                                   {IID_IDispatch, browser}},
                                  riid, object);
}

STDMETHODIMP FakeBrowserHost::QueryService(REFGUID service, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualGUID(service, SID_SWebBrowserApp)) return E_NOINTERFACE;
  return QueryInterface(riid, object);
}

STDMETHODIMP FakeBrowserHost::get_LocationURL(BSTR* url) {
  if (!url) return E_POINTER;
  *url = SysAllocString(pageUrl_.c_str());
  return S_OK;
}

STDMETHODIMP FakeBrowserHost::get_HWND(SHANDLE_PTR* window) {
  if (!window) return E_POINTER;
  *window = reinterpret_cast<SHANDLE_PTR>(browserWindow_);
  return browserWindow_ ? S_OK : E_FAIL;
}

STDMETHODIMP FakeBrowserHost::get_Document(IDispatch** document) {
  if (!document) return E_POINTER;
  *document = document_;
  if (!document_) return S_FALSE;
  document_->AddRef();
  return S_OK;
}

void FakePropertyBag::SetText(const std::wstring& name, const std::string& ansi) {
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = BstrFromAnsi(ansi);
  values_[name] = value;
}

void FakePropertyBag::SetNumber(const std::wstring& name, LONG number) {
  VARIANT value;
  value.vt = VT_I4;
  value.lVal = number;
  values_[name] = value;
}

STDMETHODIMP FakePropertyBag::QueryInterface(REFIID riid, void** object) {
  return base::QueryInterfaceFrom({{IID_IPropertyBag, this}}, riid, object);
}

// As a browser does, a value is handed in the type asked for when it converts to it.
STDMETHODIMP FakePropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  asked_.emplace_back(name);
  const auto found = values_.find(name);
  if (found == values_.end()) return E_INVALIDARG;
  const VARTYPE wanted = value->vt;
  VariantInit(value);
  if (wanted == VT_EMPTY) return VariantCopy(value, &found->second);
  return VariantChangeType(value, &found->second, 0, wanted);
}

STDMETHODIMP FakePropertyBag::Write(LPCOLESTR name, VARIANT* value) {
  VARIANT copy;
  VariantInit(&copy);
  VariantCopy(&copy, value);
  values_[name] = copy;
  return S_OK;
}

}  // namespace zorvel::testing
