// The connection point of _IZorvexEvents: any number of sinks, called in the order they
// connected, each through IDispatch::Invoke.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <string_view>
#include <vector>

#include "base/com_object_win.h"
#include "control/object/zorvex_dispid_win.h"

namespace zorvel {

class EventSource final : public IConnectionPoint {
 public:
  // The container is the object that owns this point; it is not referenced (the point lives
  // inside it).
  explicit EventSource(IConnectionPointContainer* container) : container_(container) {}
  EventSource(const EventSource&) = delete;
  EventSource& operator=(const EventSource&) = delete;

  // Raises one event; the ANSI argument, when given, crosses as one BSTR.
  void Fire(EventId id);
  void Fire(EventId id, std::string_view ansiArgument);
  // Whether any sink is connected: an event's argument need not be made for nobody.
  bool Listened() const { return !sinks_.empty(); }

  // IUnknown: references go to the owning object.
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IConnectionPoint
  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

 private:
  void Invoke(EventId id, VARIANTARG* argument);

  struct Sink {
    DWORD cookie;
    base::ComPtr<IDispatch> dispatch;
  };
  IConnectionPointContainer* container_;
  std::vector<Sink> sinks_;
  DWORD nextCookie_ = 1;
};

// IConnectionPointContainer::EnumConnectionPoints for a container with one point.
HRESULT EnumerateOnePoint(IConnectionPoint* point, IEnumConnectionPoints** points);

}  // namespace zorvel
