#include "app/testing/shell_drop_win.h"

#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <thread>

#include "control/testing/hosted_control_win.h"

namespace {

// Offers CF_HDROP only, as a copy of its own block each time.
class FileDropData : public IDataObject {
 public:
  explicit FileDropData(std::vector<std::u16string> paths) : paths_(std::move(paths)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
      *object = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&references_); }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = MakeHDrop(paths_);
    medium->pUnkForRelease = nullptr;
    return medium->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    return format != nullptr && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) != 0
               ? S_OK
               : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  std::vector<std::u16string> paths_;
  LONG references_ = 1;
};

}  // namespace

HGLOBAL MakeHDrop(const std::vector<std::u16string>& paths) {
  std::u16string list;
  for (const auto& path : paths) list += path + u'\0';
  list += u'\0';
  const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(char16_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (block == nullptr) return nullptr;
  auto* header = static_cast<DROPFILES*>(GlobalLock(block));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(),
              list.size() * sizeof(char16_t));
  GlobalUnlock(block);
  return block;
}

void PostDropFiles(HWND target, const std::vector<std::u16string>& paths) {
  std::thread([&] {
    HGLOBAL drop = MakeHDrop(paths);
    if (!PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) GlobalFree(drop);
  }).join();
}

DragResult DragFilesOnto(HWND target, const std::vector<std::u16string>& paths) {
  // Wine's own drag loop does not reach a target under a pointer placed by the program, so
  // the drag is played as the shell plays it: on the target the window registered (OLE keeps
  // it in this property of the window), entering over its middle, moving and dropping.
  DragResult outcome;
  auto* dropTarget = static_cast<IDropTarget*>(GetPropW(target, L"OleDropTargetInterface"));
  if (dropTarget == nullptr) return outcome;
  RECT area;
  GetWindowRect(target, &area);
  const POINTL middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
  FileDropData data(paths);
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  dropTarget->DragEnter(&data, MK_LBUTTON, middle, &effect);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  dropTarget->DragOver(MK_LBUTTON, middle, &effect);
  if (effect == DROPEFFECT_NONE) {
    outcome.result = dropTarget->DragLeave();
  } else {
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    outcome.result = dropTarget->Drop(&data, 0, middle, &effect);
    outcome.effect = effect;
  }
  // The drop is handled once the drag has ended, from this thread's queue.
  zorvel::testing::PumpFor(100);
  return outcome;
}
