#include "control/hosting/event_sink_win.h"

EventSink* EventSink::Connect(IUnknown* control, REFIID events, Handler handler) {
  if (!control) return nullptr;
  base::ComPtr<IConnectionPointContainer> container;
  if (FAILED(control->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()))) {
    return nullptr;
  }
  base::ComPtr<IConnectionPoint> point;
  if (FAILED(container->FindConnectionPoint(events, point.Put()))) return nullptr;
  auto* sink = new EventSink(events, std::move(handler));
  if (FAILED(point->Advise(sink, &sink->cookie_))) {
    sink->Release();
    return nullptr;
  }
  sink->point_ = std::move(point);
  return sink;
}

void EventSink::Disconnect() {
  base::ComPtr<IConnectionPoint> point = std::move(point_);
  if (point) point->Unadvise(cookie_);
}

STDMETHODIMP EventSink::QueryInterface(REFIID riid, void** object) {
  return base::QueryInterfaceFrom({{IID_IDispatch, this}, {events_, this}}, riid, object);
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                               EXCEPINFO*, UINT*) {
  if (handler_) handler_(id, params);
  return S_OK;
}
