#include "control/hosting/dispatch_call_win.h"

#include <algorithm>
#include <vector>

HRESULT GetDispatchProperty(IDispatch* object, DISPID id, VARIANT* result) {
  if (!object || !result) return E_POINTER;
  VariantInit(result);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, result,
                        nullptr, nullptr);
}

HRESULT PutDispatchProperty(IDispatch* object, DISPID id, const VARIANT& value) {
  if (!object) return E_POINTER;
  VARIANT argument = value;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&argument, &named, 1, 1};
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                        nullptr, nullptr);
}

HRESULT PutDispatchProperty(IDispatch* object, DISPID id, const std::u16string& text) {
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocStringLen(reinterpret_cast<const wchar_t*>(text.data()),
                                    static_cast<UINT>(text.size()));
  const HRESULT result = PutDispatchProperty(object, id, value);
  VariantClear(&value);
  return result;
}

HRESULT PutDispatchProperty(IDispatch* object, DISPID id, LONG number) {
  VARIANT value;
  value.vt = VT_I4;
  value.lVal = number;
  return PutDispatchProperty(object, id, value);
}

HRESULT CallDispatchMethod(IDispatch* object, DISPID id, VARIANT* arguments, UINT count,
                           VARIANT* result) {
  if (!object) return E_POINTER;
  // IDispatch takes the arguments last to first.
  std::vector<VARIANT> reversed(arguments, arguments + count);
  std::reverse(reversed.begin(), reversed.end());
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, count, 0};
  VARIANT ignored;
  VariantInit(&ignored);
  const HRESULT invoked = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                         &params, result ? result : &ignored, nullptr, nullptr);
  VariantClear(&ignored);
  return invoked;
}
