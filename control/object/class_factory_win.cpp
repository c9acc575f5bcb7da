#include "control/object/class_factory_win.h"

#include <new>

#include "base/com_object_win.h"
#include "control/object/module_win.h"
#include "control/object/zorvex_win.h"

namespace zorvel {

// The factory outlives its registration: its references only keep the module loaded.
STDMETHODIMP ZorvexFactory::QueryInterface(REFIID riid, void** object) {
  return base::QueryInterfaceFrom({{IID_IClassFactory, this}}, riid, object);
}

STDMETHODIMP_(ULONG) ZorvexFactory::AddRef() {
  LockModule(true);
  return 2;
}

STDMETHODIMP_(ULONG) ZorvexFactory::Release() {
  LockModule(false);
  return 1;
}

STDMETHODIMP ZorvexFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  Zorvex* control = new (std::nothrow) Zorvex(engines_);
  if (!control) return E_OUTOFMEMORY;
  const HRESULT result = control->QueryInterface(riid, object);
  control->Release();
  return result;
}

STDMETHODIMP ZorvexFactory::LockServer(BOOL lock) {
  LockModule(lock != FALSE);
  return S_OK;
}

}  // namespace zorvel
