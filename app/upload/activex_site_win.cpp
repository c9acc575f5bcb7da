#include "app/upload/activex_site_win.h"

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
                            reinterpret_cast<void**>(&created->object_));
  if (SUCCEEDED(result)) {
    result = created->object_->QueryInterface(IID_IDispatch,
                                              reinterpret_cast<void**>(&created->control_));
  }
  if (SUCCEEDED(result)) {
    // The control asks for its site first (OLEMISC_SETCLIENTSITEFIRST), then is initialised.
    created->object_->SetClientSite(created);
    if (parameters) {
      IPersistPropertyBag* persist = nullptr;
      result = created->object_->QueryInterface(IID_IPersistPropertyBag,
                                                reinterpret_cast<void**>(&persist));
      if (SUCCEEDED(result)) {
        result = persist->Load(parameters, nullptr);
        persist->Release();
      }
    } else {
      IPersistStreamInit* persist = nullptr;
      if (SUCCEEDED(created->object_->QueryInterface(IID_IPersistStreamInit,
                                                     reinterpret_cast<void**>(&persist)))) {
        persist->InitNew();
        persist->Release();
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
    : parent_(parent), position_(position), services_(services) {
  if (services_) services_->AddRef();
}

ActiveXSite::~ActiveXSite() {
  Close();
  if (services_) services_->Release();
}

HWND ActiveXSite::ControlWindow() const {
  HWND window = nullptr;
  IOleInPlaceObject* inPlace = nullptr;
  if (object_ &&
      SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
    inPlace->GetWindow(&window);
    inPlace->Release();
  }
  return window;
}

void ActiveXSite::Close() {
  if (activeObject_) {
    activeObject_->Release();
    activeObject_ = nullptr;
  }
  if (object_) {
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    object_->Release();
    object_ = nullptr;
  }
  if (control_) {
    control_->Release();
    control_ = nullptr;
  }
}

STDMETHODIMP ActiveXSite::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  void* found = nullptr;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite)) {
    found = static_cast<IOleClientSite*>(this);
  } else if (IsEqualIID(riid, IID_IOleInPlaceSite) || IsEqualIID(riid, IID_IOleWindow)) {
    found = static_cast<IOleInPlaceSite*>(this);
  } else if (IsEqualIID(riid, IID_IOleInPlaceFrame) || IsEqualIID(riid, IID_IOleInPlaceUIWindow)) {
    found = static_cast<IOleInPlaceFrame*>(this);
  } else if (IsEqualIID(riid, IID_IDispatch)) {
    found = static_cast<IDispatch*>(this);
  } else if (IsEqualIID(riid, IID_IServiceProvider) && services_) {
    found = static_cast<IServiceProvider*>(this);
  }
  *object = found;
  if (!found) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) ActiveXSite::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) ActiveXSite::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
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
  IOleInPlaceObject* inPlace = nullptr;
  if (object_ &&
      SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
    inPlace->SetObjectRects(&position_, &position_);
    inPlace->Release();
  }
  return S_OK;
}

STDMETHODIMP ActiveXSite::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP ActiveXSite::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP ActiveXSite::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }

STDMETHODIMP ActiveXSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
  if (object) object->AddRef();
  if (activeObject_) activeObject_->Release();
  activeObject_ = object;
  return S_OK;
}

STDMETHODIMP ActiveXSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return S_OK; }
STDMETHODIMP ActiveXSite::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP ActiveXSite::RemoveMenus(HMENU) { return S_OK; }
STDMETHODIMP ActiveXSite::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP ActiveXSite::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP ActiveXSite::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

STDMETHODIMP ActiveXSite::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
STDMETHODIMP ActiveXSite::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
STDMETHODIMP ActiveXSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

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
