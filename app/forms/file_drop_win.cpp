#include "app/forms/file_drop_win.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <utility>

static_assert(sizeof(wchar_t) == sizeof(char16_t));

namespace {

// Posted to the window by an OLE drop, so that the paths are handled after the drag ends.
constexpr UINT kDeferredDrop = WM_APP + 0x2D7;
constexpr UINT_PTR kSubclassId = 0x2D7;

FORMATETC FileDropFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

}  // namespace

std::vector<std::u16string> DroppedPaths(HDROP drop) {
  std::vector<std::u16string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    if (length == 0) continue;
    std::wstring path(length + 1, L'\0');
    const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
    paths.emplace_back(path.begin(), path.begin() + copied);
  }
  return paths;
}

// The OLE side: a drag is offered a copy only when it carries files and the window takes drops.
class FileDrop::Target : public IDropTarget {
 public:
  explicit Target(FileDrop* owner) : owner_(owner) {}

  void Orphan() { owner_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
      *object = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL point,
                                      DWORD* effect) override {
    FORMATETC format = FileDropFormat();
    carriesFiles_ = data != nullptr && data->QueryGetData(&format) == S_OK;
    return Offer(point, effect);
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL point, DWORD* effect) override {
    return Offer(point, effect);
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    carriesFiles_ = false;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) override {
    const bool taken = Offer(point, effect) == S_OK && *effect != DROPEFFECT_NONE;
    carriesFiles_ = false;
    if (!taken) return S_OK;
    FORMATETC format = FileDropFormat();
    STGMEDIUM medium = {};
    if (data->GetData(&format, &medium) != S_OK) {
      *effect = DROPEFFECT_NONE;
      return S_OK;
    }
    std::vector<std::u16string> paths = DroppedPaths(static_cast<HDROP>(medium.hGlobal));
    ReleaseStgMedium(&medium);
    owner_->Deliver(std::move(paths));
    return S_OK;
  }

 private:
  virtual ~Target() = default;

  HRESULT Offer(POINTL point, DWORD* effect) {
    if (effect == nullptr) return E_INVALIDARG;
    const bool takes =
        carriesFiles_ && owner_ != nullptr && owner_->Over({point.x, point.y}) && owner_->accept_();
    *effect = takes && (*effect & DROPEFFECT_COPY) != 0 ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
  }

  LONG references_ = 1;
  FileDrop* owner_;
  bool carriesFiles_ = false;
};

FileDrop::FileDrop(Accept accept, Dropped dropped)
    : accept_(std::move(accept)), dropped_(std::move(dropped)) {}

FileDrop::~FileDrop() { Detach(); }

void FileDrop::Attach(HWND window, HWND area) {
  Detach();
  window_ = window;
  area_ = area;
  SetWindowSubclass(window_, WindowProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  DragAcceptFiles(window_, TRUE);
  oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
  if (!oleInitialized_) return;
  target_ = new Target(this);
  if (FAILED(RegisterDragDrop(window_, target_))) {
    target_->Release();
    target_ = nullptr;
  }
}

void FileDrop::Detach() {
  if (window_ == nullptr) return;
  if (target_ != nullptr) {
    RevokeDragDrop(window_);
    target_->Orphan();
    std::exchange(target_, nullptr)->Release();
  }
  if (std::exchange(oleInitialized_, false)) OleUninitialize();
  DragAcceptFiles(window_, FALSE);
  RemoveWindowSubclass(window_, WindowProc, kSubclassId);
  window_ = nullptr;
  area_ = nullptr;
  pending_.clear();
}

bool FileDrop::Over(POINT screenPoint) const {
  RECT area;
  return area_ != nullptr && GetWindowRect(area_, &area) && PtInRect(&area, screenPoint);
}

void FileDrop::Deliver(std::vector<std::u16string> paths) {
  pending_.push_back(std::move(paths));
  PostMessageW(window_, kDeferredDrop, 0, 0);
}

LRESULT CALLBACK FileDrop::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self) {
  auto* drop = reinterpret_cast<FileDrop*>(self);
  switch (message) {
    case WM_DROPFILES: {
      const auto handle = reinterpret_cast<HDROP>(wParam);
      std::vector<std::u16string> paths = DroppedPaths(handle);
      POINT point;
      const bool inClient = DragQueryPoint(handle, &point) != FALSE;
      DragFinish(handle);
      if (inClient) ClientToScreen(window, &point);
      if (inClient && drop->Over(point) && drop->accept_()) drop->dropped_(paths);
      return 0;
    }
    case kDeferredDrop:
      // A drop that waited is dropped only if the window still takes drops.
      while (!drop->pending_.empty()) {
        std::vector<std::u16string> paths = std::move(drop->pending_.front());
        drop->pending_.erase(drop->pending_.begin());
        if (drop->accept_()) drop->dropped_(paths);
      }
      return 0;
    default:
      return DefSubclassProc(window, message, wParam, lParam);
  }
}
