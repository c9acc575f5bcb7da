// Embedding: the client site, in-place activation of the control window, extent and view.
#include "control/object/module_win.h"
#include "control/object/zorvex_win.h"

namespace zorvel {
namespace {

// Recompose on resize, cannot link inside, inside-out, activate when visible, set client
// site first.
constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                              OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_SETCLIENTSITEFIRST;
static_assert(kMiscStatus == 131473);

}  // namespace

HRESULT Zorvex::ActivateInPlace(bool uiActivate) {
  if (!clientSite_) return E_UNEXPECTED;
  if (!inPlaceSite_) {
    if (FAILED(clientSite_->QueryInterface(IID_IOleInPlaceSite, inPlaceSite_.PutVoid()))) {
      inPlaceSite_.Reset();
      return E_FAIL;
    }
    if (inPlaceSite_->CanInPlaceActivate() != S_OK) {
      inPlaceSite_.Reset();
      return E_FAIL;
    }
    inPlaceSite_->OnInPlaceActivate();
  }
  if (!window_.Exists()) {
    HWND parent = nullptr;
    inPlaceSite_->GetWindow(&parent);
    base::ComPtr<IOleInPlaceFrame> frame;
    base::ComPtr<IOleInPlaceUIWindow> document;
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    inPlaceSite_->GetWindowContext(frame.Put(), document.Put(), &position, &clip, &frameInfo);
    if (!window_.Create(parent)) return E_FAIL;
    SetObjectRects(&position, &clip);
    ShowWindow(window_.Handle(), SW_SHOW);
  }
  if (uiActivate && !uiActive_) {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    base::ComPtr<IOleInPlaceFrame> frame;
    base::ComPtr<IOleInPlaceUIWindow> document;
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    if (SUCCEEDED(inPlaceSite_->GetWindowContext(frame.Put(), document.Put(), &position, &clip,
                                                 &frameInfo))) {
      if (frame) frame->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
      if (document) document->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
    }
  }
  return S_OK;
}

STDMETHODIMP Zorvex::SetClientSite(IOleClientSite* site) {
  clientSite_.Assign(site);
  return S_OK;
}

STDMETHODIMP Zorvex::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  clientSite_.CopyTo(site);
  return S_OK;
}

STDMETHODIMP Zorvex::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP Zorvex::Close(DWORD) {
  InPlaceDeactivate();
  if (adviseHolder_) adviseHolder_->SendOnClose();
  return S_OK;
}

STDMETHODIMP Zorvex::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }
STDMETHODIMP Zorvex::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}
STDMETHODIMP Zorvex::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }
STDMETHODIMP Zorvex::GetClipboardData(DWORD, IDataObject** data) {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP Zorvex::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) {
  if (site && !clientSite_) SetClientSite(site);
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
      return ActivateInPlace(true);
    case OLEIVERB_INPLACEACTIVATE:
      return ActivateInPlace(false);
    case OLEIVERB_HIDE:
      UIDeactivate();
      if (window_.Exists()) ShowWindow(window_.Handle(), SW_HIDE);
      return S_OK;
    default:
      return OLEOBJ_S_INVALIDVERB;
  }
}

STDMETHODIMP Zorvex::EnumVerbs(IEnumOLEVERB** verbs) { return OleRegEnumVerbs(CLSID_Zorvex, verbs); }
STDMETHODIMP Zorvex::Update() { return S_OK; }
STDMETHODIMP Zorvex::IsUpToDate() { return S_OK; }

STDMETHODIMP Zorvex::GetUserClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_Zorvex;
  return S_OK;
}

STDMETHODIMP Zorvex::GetUserType(DWORD form, LPOLESTR* userType) {
  return OleRegGetUserType(CLSID_Zorvex, form, userType);
}

STDMETHODIMP Zorvex::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  extent_ = *size;
  return S_OK;
}

STDMETHODIMP Zorvex::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = extent_;
  return S_OK;
}

STDMETHODIMP Zorvex::Advise(IAdviseSink* sink, DWORD* connection) {
  if (!adviseHolder_ && FAILED(CreateOleAdviseHolder(adviseHolder_.Put()))) return E_OUTOFMEMORY;
  return adviseHolder_->Advise(sink, connection);
}

STDMETHODIMP Zorvex::Unadvise(DWORD connection) {
  return adviseHolder_ ? adviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

STDMETHODIMP Zorvex::EnumAdvise(IEnumSTATDATA** advise) {
  if (!advise) return E_POINTER;
  *advise = nullptr;
  return adviseHolder_ ? adviseHolder_->EnumAdvise(advise) : E_FAIL;
}

STDMETHODIMP Zorvex::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = kMiscStatus;
  return S_OK;
}

STDMETHODIMP Zorvex::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

STDMETHODIMP Zorvex::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_.Handle();
  return *window ? S_OK : E_FAIL;
}

STDMETHODIMP Zorvex::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP Zorvex::InPlaceDeactivate() {
  if (!inPlaceSite_) return S_OK;
  UIDeactivate();
  window_.Destroy();
  inPlaceSite_->OnInPlaceDeactivate();
  inPlaceSite_.Reset();
  return S_OK;
}

STDMETHODIMP Zorvex::UIDeactivate() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

STDMETHODIMP Zorvex::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  if (window_.Exists()) {
    MoveWindow(window_.Handle(), position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
  }
  return S_OK;
}

STDMETHODIMP Zorvex::ReactivateAndUndo() { return E_NOTIMPL; }
STDMETHODIMP Zorvex::OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT*) { return S_FALSE; }
STDMETHODIMP Zorvex::GetDropTarget(IDropTarget** target) {
  if (target) *target = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP Zorvex::TranslateAccelerator(LPMSG message) {
  // The control is a dialog: Tab and the arrow keys move between its items.
  if (message && window_.Exists() && IsDialogMessageW(window_.Handle(), message)) return S_OK;
  return S_FALSE;
}

STDMETHODIMP Zorvex::OnFrameWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP Zorvex::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP Zorvex::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
STDMETHODIMP Zorvex::EnableModeless(BOOL) { return S_OK; }

STDMETHODIMP Zorvex::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}
STDMETHODIMP Zorvex::OnMnemonic(MSG*) { return E_NOTIMPL; }
STDMETHODIMP Zorvex::OnAmbientPropertyChange(DISPID) { return S_OK; }
STDMETHODIMP Zorvex::FreezeEvents(BOOL) { return S_OK; }

// The control always has its own window while active; drawing into a container's device
// context only happens for an inactive control (a print, a design view): it shows its
// background colour.
STDMETHODIMP Zorvex::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDc,
                          LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                          ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!drawDc || !bounds) return E_INVALIDARG;
  const RECT rect{bounds->left, bounds->top, bounds->right, bounds->bottom};
  HBRUSH brush = CreateSolidBrush(BackRgb);
  FillRect(drawDc, &rect, brush);
  DeleteObject(brush);
  return S_OK;
}

STDMETHODIMP Zorvex::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colours) {
  if (colours) *colours = nullptr;
  return S_FALSE;
}
STDMETHODIMP Zorvex::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
STDMETHODIMP Zorvex::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP Zorvex::SetAdvise(DWORD, DWORD, IAdviseSink* sink) {
  viewSink_.Assign(sink);
  return S_OK;
}

STDMETHODIMP Zorvex::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = DVASPECT_CONTENT;
  if (flags) *flags = 0;
  if (sink) {
    viewSink_.CopyTo(sink);
  }
  return S_OK;
}

STDMETHODIMP Zorvex::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

STDMETHODIMP Zorvex::GetRect(DWORD, LPRECTL) { return E_NOTIMPL; }

STDMETHODIMP Zorvex::GetViewStatus(DWORD* status) {
  if (!status) return E_POINTER;
  *status = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
  return S_OK;
}

STDMETHODIMP Zorvex::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location, LONG,
                                   DWORD* hitResult) {
  if (aspect != DVASPECT_CONTENT) return E_FAIL;
  if (!bounds || !hitResult) return E_POINTER;
  *hitResult = PtInRect(bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

STDMETHODIMP Zorvex::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location, LONG,
                                  DWORD* hitResult) {
  if (aspect != DVASPECT_CONTENT) return E_FAIL;
  if (!bounds || !location || !hitResult) return E_POINTER;
  RECT overlap;
  *hitResult = IntersectRect(&overlap, bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

STDMETHODIMP Zorvex::GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) {
  return E_NOTIMPL;
}

}  // namespace zorvel
