#include "control/object/event_source_win.h"

#include <olectl.h>

#include "base/ansi.h"
#include "base/com_object_win.h"
#include "control/object/zorvel_idl_win.h"

namespace zorvel {

void EventSource::Fire(EventId id) { Invoke(id, nullptr); }

void EventSource::Fire(EventId id, std::string_view ansiArgument) {
  // Progress fires at every block: without a listener the text is not worth converting.
  if (sinks_.empty()) return;
  const std::u16string wide = base::FromAnsi(ansiArgument);
  VARIANTARG argument;
  VariantInit(&argument);
  argument.vt = VT_BSTR;
  argument.bstrVal = SysAllocStringLen(reinterpret_cast<const wchar_t*>(wide.data()),
                                       static_cast<UINT>(wide.size()));
  Invoke(id, &argument);
  VariantClear(&argument);
}

void EventSource::Invoke(EventId id, VARIANTARG* argument) {
  // A handler may disconnect sinks (or connect new ones) while it runs: call the sinks that were
  // connected when the event began, each kept alive for its call.
  std::vector<base::ComPtr<IDispatch>> current(sinks_.size());
  for (size_t i = 0; i < sinks_.size(); ++i) current[i].Assign(sinks_[i].dispatch.Get());
  for (base::ComPtr<IDispatch>& dispatch : current) {
    DISPPARAMS params{argument, nullptr, argument ? 1u : 0u, 0};
    dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                     nullptr);
    dispatch.Reset();
  }
}

STDMETHODIMP EventSource::QueryInterface(REFIID riid, void** object) {
  return base::QueryInterfaceFrom({{IID_IConnectionPoint, this}}, riid, object);
}

STDMETHODIMP_(ULONG) EventSource::AddRef() { return container_->AddRef(); }
STDMETHODIMP_(ULONG) EventSource::Release() { return container_->Release(); }

STDMETHODIMP EventSource::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = DIID__IZorvexEvents;
  return S_OK;
}

STDMETHODIMP EventSource::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = container_;
  container_->AddRef();
  return S_OK;
}

STDMETHODIMP EventSource::Advise(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  *cookie = 0;
  base::ComPtr<IDispatch> dispatch;
  if (FAILED(sink->QueryInterface(DIID__IZorvexEvents, dispatch.PutVoid())) &&
      FAILED(sink->QueryInterface(IID_IDispatch, dispatch.PutVoid()))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = nextCookie_++;
  sinks_.push_back({*cookie, std::move(dispatch)});
  return S_OK;
}

STDMETHODIMP EventSource::Unadvise(DWORD cookie) {
  for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
    if (it->cookie == cookie) {
      // Released only once the sink has left the list, in case its release calls back.
      const base::ComPtr<IDispatch> dispatch = std::move(it->dispatch);
      sinks_.erase(it);
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP EventSource::EnumConnections(IEnumConnections** connections) {
  if (connections) *connections = nullptr;
  return E_NOTIMPL;
}

namespace {

class OnePointEnumerator final : public base::ComObject<IEnumConnectionPoints> {
 public:
  explicit OnePointEnumerator(IConnectionPoint* point, ULONG position = 0) : position_(position) {
    point_.Assign(point);
  }

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    return base::QueryInterfaceFrom({{IID_IEnumConnectionPoints, this}}, riid, object);
  }
  STDMETHODIMP Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override {
    if (!points) return E_POINTER;
    ULONG given = 0;
    if (count > 0 && position_ == 0) {
      point_.CopyTo(&points[0]);
      position_ = 1;
      given = 1;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    position_ += count;
    return position_ <= 1 ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumConnectionPoints** copy) override {
    if (!copy) return E_POINTER;
    *copy = new OnePointEnumerator(point_.Get(), position_);
    return S_OK;
  }

 private:
  base::ComPtr<IConnectionPoint> point_;
  ULONG position_;
};

}  // namespace

HRESULT EnumerateOnePoint(IConnectionPoint* point, IEnumConnectionPoints** points) {
  if (!points) return E_POINTER;
  *points = new OnePointEnumerator(point);
  return S_OK;
}

}  // namespace zorvel
