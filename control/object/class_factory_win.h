// The class factory of Zorvex, as DllGetClassObject hands it out; each control it makes runs
// the factory's engines.
#pragma once

#include <unknwn.h>
#include <windows.h>

#include "control/object/upload_entry_win.h"

namespace zorvel {

class ZorvexFactory final : public IClassFactory {
 public:
  explicit ZorvexFactory(UploadEngines engines) : engines_(engines) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  const UploadEngines engines_;
};

}  // namespace zorvel
