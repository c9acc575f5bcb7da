// The OLE drop target of the control window: it offers the shell's file lists to the window
// as WM_DROP_NOTIFY messages and answers the drag source with the effect the window chose.
#pragma once

#include <windows.h>
#include <ole2.h>

namespace zorvel {

class DropTarget final : public IDropTarget {
 public:
  explicit DropTarget(HWND window) : window_(window) {}
  ~DropTarget();
  DropTarget(const DropTarget&) = delete;
  DropTarget& operator=(const DropTarget&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL cursor, DWORD* effect) override;
  STDMETHODIMP DragOver(DWORD keyState, POINTL cursor, DWORD* effect) override;
  STDMETHODIMP DragLeave() override;
  STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL cursor, DWORD* effect) override;

 private:
  void Notify(WPARAM phase, IDataObject* data, DWORD keyState, POINTL cursor, DWORD* effect);

  HWND window_;
  IDataObject* data_ = nullptr;
  LONG references_ = 1;
};

}  // namespace zorvel
