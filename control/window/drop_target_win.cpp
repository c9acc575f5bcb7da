#include "control/window/drop_target_win.h"

#include "control/window/control_window_win.h"

namespace zorvel {

DropTarget::~DropTarget() {
  if (data_) data_->Release();
}

STDMETHODIMP DropTarget::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) DropTarget::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) DropTarget::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

void DropTarget::Notify(WPARAM phase, IDataObject* data, DWORD keyState, POINTL cursor,
                        DWORD* effect) {
  DropNotice notice{&cursor, DROPEFFECT_NONE, keyState, 0, nullptr, data};
  STGMEDIUM medium{};
  bool haveFiles = false;
  if (data) {
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (data->QueryGetData(&format) == S_OK && SUCCEEDED(data->GetData(&format, &medium))) {
      haveFiles = true;
      notice.format = CF_HDROP;
      notice.files = static_cast<HDROP>(medium.hGlobal);
    }
  }
  SendMessageW(window_, WM_DROP_NOTIFY, phase, reinterpret_cast<LPARAM>(&notice));
  if (haveFiles) ReleaseStgMedium(&medium);
  if (effect) *effect &= notice.effect;
}

STDMETHODIMP DropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL cursor, DWORD* effect) {
  if (data) data->AddRef();
  if (data_) data_->Release();
  data_ = data;
  Notify(0, data_, keyState, cursor, effect);
  return S_OK;
}

STDMETHODIMP DropTarget::DragOver(DWORD keyState, POINTL cursor, DWORD* effect) {
  Notify(1, data_, keyState, cursor, effect);
  return S_OK;
}

STDMETHODIMP DropTarget::DragLeave() {
  DWORD effect = DROPEFFECT_NONE;
  Notify(2, nullptr, 0, POINTL{0, 0}, &effect);
  if (data_) data_->Release();
  data_ = nullptr;
  return S_OK;
}

STDMETHODIMP DropTarget::Drop(IDataObject* data, DWORD keyState, POINTL cursor, DWORD* effect) {
  Notify(3, data, keyState, cursor, effect);
  if (data_) data_->Release();
  data_ = nullptr;
  return S_OK;
}

}  // namespace zorvel
