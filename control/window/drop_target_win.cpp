#include "control/window/drop_target_win.h"

#include "control/window/control_window_win.h"

namespace zorvel {

STDMETHODIMP DropTarget::QueryInterface(REFIID riid, void** object) {
  return base::QueryInterfaceFrom({{IID_IDropTarget, this}}, riid, object);
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
  data_.Assign(data);
  Notify(0, data_.Get(), keyState, cursor, effect);
  return S_OK;
}

STDMETHODIMP DropTarget::DragOver(DWORD keyState, POINTL cursor, DWORD* effect) {
  Notify(1, data_.Get(), keyState, cursor, effect);
  return S_OK;
}

STDMETHODIMP DropTarget::DragLeave() {
  DWORD effect = DROPEFFECT_NONE;
  Notify(2, nullptr, 0, POINTL{0, 0}, &effect);
  data_.Reset();
  return S_OK;
}

STDMETHODIMP DropTarget::Drop(IDataObject* data, DWORD keyState, POINTL cursor, DWORD* effect) {
  // The window's drop dispatches messages; the window may go meanwhile and revoke this target.
  AddRef();
  Notify(3, data, keyState, cursor, effect);
  data_.Reset();
  Release();
  return S_OK;
}

}  // namespace zorvel
