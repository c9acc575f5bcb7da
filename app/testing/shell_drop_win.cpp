#include "app/testing/shell_drop_win.h"

#include <ole2.h>
#include <shlobj.h>

#include <atomic>
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

// A program cannot move the pointer of a virtual display for good (Wine's own position is
// overtaken by the X server's): the window is moved instead, so that the middle of `target`
// lies under the pointer where it is. False when it lay there already.
bool MoveUnderPointer(HWND target) {
  POINT pointer;
  GetCursorPos(&pointer);
  RECT area;
  GetWindowRect(target, &area);
  if (PtInRect(&area, pointer)) return false;
  HWND top = GetAncestor(target, GA_ROOT);
  RECT frame;
  GetWindowRect(top, &frame);
  SetWindowPos(top, nullptr, frame.left + pointer.x - (area.left + area.right) / 2,
               frame.top + pointer.y - (area.top + area.bottom) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
  return true;
}

// Holds the button down until the pointer has been over `target` for a few rounds of OLE's
// drag loop and the target has offered a copy (or has refused it for a good while: about a
// second and a half), then drops; gives up after about ten seconds.
class DropOnTarget : public IDropSource {
 public:
  explicit DropOnTarget(HWND target) : target_(target) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
      *object = static_cast<IDropSource*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override {
    if (++rounds_ > 200) return DRAGDROP_S_CANCEL;
    if (MoveUnderPointer(target_)) {
      roundsOver_ = 0;
      return S_OK;
    }
    ++roundsOver_;
    if (roundsOver_ < 4 || (offered_ == DROPEFFECT_NONE && roundsOver_ < 30)) return S_OK;
    return DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override {
    offered_ = effect;
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }

 private:
  HWND target_;
  int rounds_ = 0;
  int roundsOver_ = 0;
  DWORD offered_ = DROPEFFECT_NONE;
};

}  // namespace

HGLOBAL MakeHDrop(const std::vector<std::u16string>& paths, POINT point) {
  std::u16string list;
  for (const auto& path : paths) list += path + u'\0';
  list += u'\0';
  const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(char16_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (block == nullptr) return nullptr;
  auto* header = static_cast<DROPFILES*>(GlobalLock(block));
  header->pFiles = sizeof(DROPFILES);
  header->pt = point;
  header->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(),
              list.size() * sizeof(char16_t));
  GlobalUnlock(block);
  return block;
}

void PostDropFiles(HWND target, const std::vector<std::u16string>& paths) {
  HWND top = GetAncestor(target, GA_ROOT);
  RECT area;
  GetWindowRect(target, &area);
  POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
  ScreenToClient(top, &middle);
  std::thread([&] {
    HGLOBAL drop = MakeHDrop(paths, middle);
    if (!PostMessageW(top, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) GlobalFree(drop);
  }).join();
}

namespace {

DragResult DragOnce(HWND target, const std::vector<std::u16string>& paths) {
  // Wine may report where another program last put the pointer until the X server's own
  // position comes in, which moving the window brings: move until the pointer stays over it.
  int still = 0;
  for (int tries = 0; tries < 20 && still < 2; ++tries) {
    still = MoveUnderPointer(target) ? 0 : still + 1;
    zorvel::testing::PumpFor(100);
  }

  DragResult outcome;
  std::atomic<bool> done = false;
  std::thread dragger([&] {
    OleInitialize(nullptr);
    FileDropData data(paths);
    DropOnTarget source(target);
    outcome.result = DoDragDrop(&data, &source, DROPEFFECT_COPY, &outcome.effect);
    OleUninitialize();
    done = true;
  });
  // The target is called on this thread, through OLE's messages.
  zorvel::testing::PumpUntil([&] { return done.load(); }, 15000);
  dragger.join();
  // The drop is handled once the drag has ended, from this thread's queue.
  zorvel::testing::PumpFor(100);
  return outcome;
}

}  // namespace

DragResult DragFilesOnto(HWND target, const std::vector<std::u16string>& paths) {
  // A pointer that moved away under the drag (as the virtual display's may) makes the drag end
  // over no target: it is tried again, as a user would.
  DragResult outcome;
  for (int attempt = 0; attempt < 3 && outcome.effect == DROPEFFECT_NONE; ++attempt) {
    outcome = DragOnce(target, paths);
  }
  return outcome;
}

DragResult DropOnRegisteredTarget(HWND target, const std::vector<std::u16string>& paths) {
  DragResult outcome;
  HWND window = target;
  IDropTarget* dropTarget = nullptr;
  while (window != nullptr && dropTarget == nullptr) {
    dropTarget = static_cast<IDropTarget*>(GetPropW(window, L"OleDropTargetInterface"));
    if (dropTarget == nullptr) window = GetParent(window);
  }
  if (dropTarget == nullptr) return outcome;
  RECT area;
  GetWindowRect(target, &area);
  const POINTL middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
  FileDropData data(paths);
  DWORD effect = DROPEFFECT_COPY;
  dropTarget->DragEnter(&data, MK_LBUTTON, middle, &effect);
  effect = DROPEFFECT_COPY;
  dropTarget->DragOver(MK_LBUTTON, middle, &effect);
  if (effect == DROPEFFECT_NONE) {
    dropTarget->DragLeave();
    outcome.result = DRAGDROP_S_CANCEL;
  } else {
    effect = DROPEFFECT_COPY;
    dropTarget->Drop(&data, 0, middle, &effect);
    outcome.result = DRAGDROP_S_DROP;
    outcome.effect = effect;
  }
  // The drop is handled once the drag has ended, from this thread's queue.
  zorvel::testing::PumpFor(100);
  return outcome;
}
