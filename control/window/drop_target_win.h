// The OLE drop target of the control window: it offers the shell's file lists to the window
// as WM_DROP_NOTIFY messages and answers the drag source with the effect the window chose.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "base/com_object_win.h"

namespace zorvel {

class DropTarget final : public base::ComObject<IDropTarget> {
 public:
  explicit DropTarget(HWND window) : window_(window) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;

  STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL cursor, DWORD* effect) override;
  STDMETHODIMP DragOver(DWORD keyState, POINTL cursor, DWORD* effect) override;
  STDMETHODIMP DragLeave() override;
  STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL cursor, DWORD* effect) override;

 private:
  void Notify(WPARAM phase, IDataObject* data, DWORD keyState, POINTL cursor, DWORD* effect);

  HWND window_;
  base::ComPtr<IDataObject> data_;
};

}  // namespace zorvel
