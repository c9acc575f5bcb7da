// Identity of the object: construction, interface table, reference counting, IDispatch and the
// small informational interfaces.
#include "control/object/zorvex_win.h"

#include "control/engine/socket/socket_layer_win.h"
#include "control/object/module_win.h"

namespace zorvel {
namespace {

// The size of the dialog layout (270 x 175 dialog units of its 9-point font) in HIMETRIC, with
// the dialog base units worked out the way the dialog manager does for that font.
SIZEL InitialExtent() {
  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  const int fontHeight = -MulDiv(9, dpiY, 72);
  HFONT font = CreateFontW(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH,
                           L"ＭＳ Ｐゴシック");
  HGDIOBJ previous = SelectObject(screen, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  SIZE sample{};
  GetTextExtentPoint32W(screen, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52,
                        &sample);
  SelectObject(screen, previous);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  const int baseX = (sample.cx / 26 + 1) / 2;
  const int baseY = metrics.tmHeight;
  const int pixelsX = MulDiv(270, baseX, 4);
  const int pixelsY = MulDiv(175, baseY, 8);
  return SIZEL{MulDiv(pixelsX, 2540, dpiX), MulDiv(pixelsY, 2540, dpiY)};
}

}  // namespace

Zorvex::Zorvex(UploadEngines engines)
    : BackRgb(GetSysColor(COLOR_BTNFACE)),
      engines_(engines),
      events_(static_cast<IConnectionPointContainer*>(this)),
      window_(*this),
      extent_(InitialExtent()) {
  NoteObjectCreated();
  // WinSock and the socket windows' class stay set up from the first run to the last control.
  HoldSocketLayer();
}

Zorvex::~Zorvex() {
  window_.Destroy();
  ReleaseSocketLayer();
  NoteObjectDestroyed();
}

// The order of the table is the order in which the class lists its interfaces.
STDMETHODIMP Zorvex::QueryInterface(REFIID riid, void** object) {
  IZorvex* const dispatch = this;
  IViewObjectEx* const view = this;
  IOleInPlaceObjectWindowless* const inPlace = this;
  IPersistStreamInit* const stream = this;
  IProvideClassInfo2* const classInfo = this;
  return base::QueryInterfaceFrom(
      {
          {IID_IZorvex, dispatch},
          {IID_IDispatch, dispatch},
          {IID_IViewObjectEx, view},
          {IID_IViewObject2, view},
          {IID_IViewObject, view},
          {IID_IOleInPlaceObjectWindowless, inPlace},
          {IID_IOleInPlaceObject, inPlace},
          {IID_IOleWindow, inPlace},
          {IID_IOleInPlaceActiveObject, static_cast<IOleInPlaceActiveObject*>(this)},
          {IID_IOleControl, static_cast<IOleControl*>(this)},
          {IID_IOleObject, static_cast<IOleObject*>(this)},
          {IID_IPersistStreamInit, stream},
          {IID_IPersist, stream},
          {IID_ISupportErrorInfo, static_cast<ISupportErrorInfo*>(this)},
          {IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(this)},
          {IID_IPersistPropertyBag, static_cast<IPersistPropertyBag*>(this)},
          {IID_IProvideClassInfo2, classInfo},
          {IID_IProvideClassInfo, classInfo},
          {IID_IPersistStorage, static_cast<IPersistStorage*>(this)},
          {IID_ISpecifyPropertyPages, static_cast<ISpecifyPropertyPages*>(this)},
      },
      riid, object);
}

STDMETHODIMP Zorvex::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

STDMETHODIMP Zorvex::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  if (!typeInfo_) typeInfo_.Attach(LoadTypeInfo(IID_IZorvex));
  if (!typeInfo_) return TYPE_E_CANTLOADLIBRARY;
  typeInfo_.CopyTo(info);
  return S_OK;
}

STDMETHODIMP Zorvex::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) {
  base::ComPtr<ITypeInfo> info;
  const HRESULT loaded = GetTypeInfo(0, lcid, info.Put());
  if (FAILED(loaded)) return loaded;
  return DispGetIDsOfNames(info.Get(), names, count, ids);
}

STDMETHODIMP Zorvex::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                            VARIANT* result, EXCEPINFO* exception, UINT* argError) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  base::ComPtr<ITypeInfo> info;
  const HRESULT loaded = GetTypeInfo(0, lcid, info.Put());
  if (FAILED(loaded)) return loaded;
  return DispInvoke(static_cast<IZorvex*>(this), info.Get(), id, flags, params, result, exception,
                    argError);
}

STDMETHODIMP Zorvex::InterfaceSupportsErrorInfo(REFIID riid) {
  return IsEqualIID(riid, IID_IZorvex) ? S_OK : S_FALSE;
}

STDMETHODIMP Zorvex::EnumConnectionPoints(IEnumConnectionPoints** points) {
  return EnumerateOnePoint(&events_, points);
}

STDMETHODIMP Zorvex::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (!IsEqualIID(riid, DIID__IZorvexEvents)) return CONNECT_E_NOCONNECTION;
  *point = &events_;
  events_.AddRef();
  return S_OK;
}

STDMETHODIMP Zorvex::GetClassInfo(ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = LoadTypeInfo(CLSID_Zorvex);
  return *info ? S_OK : TYPE_E_CANTLOADLIBRARY;
}

STDMETHODIMP Zorvex::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *guid = GUID_NULL;
    return E_INVALIDARG;
  }
  *guid = DIID__IZorvexEvents;
  return S_OK;
}

STDMETHODIMP Zorvex::GetPages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  pages->cElems = 0;
  pages->pElems = nullptr;
  return S_OK;
}

}  // namespace zorvel
