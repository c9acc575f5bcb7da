#include "control/hosting/activex_site_win.h"

#include <olectl.h>

HRESULT ActiveXSite::Create(HWND parent, const RECT& position, const wchar_t* progId,
                            IServiceProvider* services, IPropertyBag* parameters,
                            ActiveXSite** site) {
  if (!site) return E_POINTER;
  *site = nullptr;
  CLSID clsid;
  HRESULT result = CLSIDFromProgID(progId, &clsid);
  if (FAILED(result)) return result;
  ActiveXSite* created = new ActiveXSite(parent, position, services);
  result = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                            created->object_.PutVoid());
  if (SUCCEEDED(result)) {
    result = created->object_->QueryInterface(IID_IDispatch, created->control_.PutVoid());
  }
  if (SUCCEEDED(result)) {
    // The control asks for its site first (OLEMISC_SETCLIENTSITEFIRST), then is initialised.
    created->object_->SetClientSite(created);
    if (parameters) {
      base::ComPtr<IPersistPropertyBag> persist;
      result = created->object_->QueryInterface(IID_IPersistPropertyBag, persist.PutVoid());
      if (SUCCEEDED(result)) result = persist->Load(parameters, nullptr);
    } else {
      base::ComPtr<IPersistStreamInit> persist;
      if (SUCCEEDED(created->object_->QueryInterface(IID_IPersistStreamInit, persist.PutVoid()))) {
        persist->InitNew();
      }
    }
  }
  if (SUCCEEDED(result)) {
    RECT place = position;
    result = created->object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, created, 0, parent, &place);
  }
  if (FAILED(result)) {
    created->Close();
    created->Release();
    return result;
  }
  *site = created;
  return S_OK;
}

ActiveXSite::ActiveXSite(HWND parent, const RECT& position, IServiceProvider* services)
    : parent_(parent), position_(position) {
  services_.Assign(services);
}

ActiveXSite::~ActiveXSite() { Close(); }

HWND ActiveXSite::ControlWindow() const {
  HWND window = nullptr;
  base::ComPtr<IOleInPlaceObject> inPlace;
  if (object_ && SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, inPlace.PutVoid()))) {
    inPlace->GetWindow(&window);
  }
  return window;
}

void ActiveXSite::Close() {
  activeObject_.Reset();
  if (object_) {
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    object_.Reset();
  }
  control_.Reset();
}

// The service provider is offered only when there are services to pass on.
STDMETHODIMP ActiveXSite::QueryInterface(REFIID riid, void** object) {
  IOleInPlaceSite* const inPlaceSite = this;
  IOleInPlaceFrame* const frame = this;
  IServiceProvider* const services = services_ ? this : nullptr;
  return base::QueryInterfaceFrom({{IID_IOleClientSite, static_cast<IOleClientSite*>(this)},
                                   {IID_IOleInPlaceSite, inPlaceSite},
                                   {IID_IOleWindow, inPlaceSite},
                                   {IID_IOleInPlaceFrame, frame},
                                   {IID_IOleInPlaceUIWindow, frame},
                                   {IID_IDispatch, static_cast<IDispatch*>(this)},
                                   {IID_IServiceProvider, services}},
                                  riid, object);
}

STDMETHODIMP ActiveXSite::SaveObject() { return S_OK; }
STDMETHODIMP ActiveXSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}
STDMETHODIMP ActiveXSite::GetContainer(IOleContainer** container) {
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}
STDMETHODIMP ActiveXSite::ShowObject() { return S_OK; }
STDMETHODIMP ActiveXSite::OnShowWindow(BOOL) { return S_OK; }
STDMETHODIMP ActiveXSite::RequestNewObjectLayout() { return E_NOTIMPL; }

STDMETHODIMP ActiveXSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = parent_;
  return S_OK;
}
STDMETHODIMP ActiveXSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP ActiveXSite::CanInPlaceActivate() { return S_OK; }
STDMETHODIMP ActiveXSite::OnInPlaceActivate() { return S_OK; }
STDMETHODIMP ActiveXSite::OnUIActivate() { return S_OK; }

STDMETHODIMP ActiveXSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT position, LPRECT clip,
                                           LPOLEINPLACEFRAMEINFO info) {
  if (frame) {
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
  }
  if (document) *document = nullptr;
  if (position) *position = position_;
  if (clip) *clip = position_;
  if (info) {
    info->fMDIApp = FALSE;
    info->hwndFrame = parent_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
  }
  return S_OK;
}

STDMETHODIMP ActiveXSite::Scroll(SIZE) { return E_NOTIMPL; }
STDMETHODIMP ActiveXSite::OnUIDeactivate(BOOL) { return S_OK; }
STDMETHODIMP ActiveXSite::OnInPlaceDeactivate() { return S_OK; }
STDMETHODIMP ActiveXSite::DiscardUndoState() { return S_OK; }
STDMETHODIMP ActiveXSite::DeactivateAndUndo() { return S_OK; }

STDMETHODIMP ActiveXSite::OnPosRectChange(LPCRECT position) {
  if (!position) return E_POINTER;
  position_ = *position;
  base::ComPtr<IOleInPlaceObject> inPlace;
  if (object_ && SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, inPlace.PutVoid()))) {
    inPlace->SetObjectRects(&position_, &position_);
  }
  return S_OK;
}

STDMETHODIMP ActiveXSite::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP ActiveXSite::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP ActiveXSite::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }

STDMETHODIMP ActiveXSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
  activeObject_.Assign(object);
  return S_OK;
}

STDMETHODIMP ActiveXSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return S_OK; }
STDMETHODIMP ActiveXSite::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP ActiveXSite::RemoveMenus(HMENU) { return S_OK; }
STDMETHODIMP ActiveXSite::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP ActiveXSite::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP ActiveXSite::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

// The ambient properties: the control runs in user mode, shows its own user interface, and
// takes the dialog's font and colours from its own layout.
STDMETHODIMP ActiveXSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                 EXCEPINFO*, UINT*) {
  if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
  VariantInit(result);
  switch (id) {
    case DISPID_AMBIENT_USERMODE:
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_SUPPORTSMNEMONICS:
      result->vt = VT_BOOL;
      result->boolVal = VARIANT_TRUE;
      return S_OK;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
      result->vt = VT_BOOL;
      result->boolVal = VARIANT_FALSE;
      return S_OK;
    case DISPID_AMBIENT_LOCALEID:
      result->vt = VT_I4;
      result->lVal = static_cast<LONG>(GetUserDefaultLCID());
      return S_OK;
    case DISPID_AMBIENT_BACKCOLOR:
      result->vt = VT_I4;
      result->lVal = static_cast<LONG>(GetSysColor(COLOR_BTNFACE));
      return S_OK;
    case DISPID_AMBIENT_FORECOLOR:
      result->vt = VT_I4;
      result->lVal = static_cast<LONG>(GetSysColor(COLOR_BTNTEXT));
      return S_OK;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

STDMETHODIMP ActiveXSite::QueryService(REFGUID service, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  return services_ ? services_->QueryService(service, riid, object) : E_NOINTERFACE;
}
