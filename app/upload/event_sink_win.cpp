#include "app/upload/event_sink_win.h"

EventSink* EventSink::Connect(IUnknown* control, REFIID events, Handler handler) {
  if (!control) return nullptr;
  IConnectionPointContainer* container = nullptr;
  if (FAILED(control->QueryInterface(IID_IConnectionPointContainer,
                                     reinterpret_cast<void**>(&container)))) {
    return nullptr;
  }
  IConnectionPoint* point = nullptr;
  const HRESULT found = container->FindConnectionPoint(events, &point);
  container->Release();
  if (FAILED(found)) return nullptr;
  auto* sink = new EventSink(events, std::move(handler));
  if (FAILED(point->Advise(static_cast<IDispatch*>(sink), &sink->cookie_))) {
    point->Release();
    sink->Release();
    return nullptr;
  }
  sink->point_ = point;
  return sink;
}

void EventSink::Disconnect() {
  if (!point_) return;
  IConnectionPoint* point = point_;
  point_ = nullptr;
  point->Unadvise(cookie_);
  point->Release();
}

STDMETHODIMP EventSink::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
      IsEqualIID(riid, events_)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) EventSink::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) EventSink::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

STDMETHODIMP EventSink::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
STDMETHODIMP EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
STDMETHODIMP EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                               EXCEPINFO*, UINT*) {
  if (handler_) handler_(id, params);
  return S_OK;
}
