// The class factory of Zorvex, as DllGetClassObject hands it out.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace zorvel {

class ZorvexFactory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
  STDMETHODIMP LockServer(BOOL lock) override;
};

// The one factory of the library; it lives as long as the module.
ZorvexFactory& Factory();

}  // namespace zorvel
