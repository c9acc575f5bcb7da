// Receives a control's events through its connection point and hands each to a callback.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>

#include "base/com_object_win.h"

class EventSink final : public base::ComObject<base::UntypedDispatch<>> {
 public:
  using Handler = std::function<void(DISPID id, DISPPARAMS* params)>;

  // Connects to the control's connection point for `events`; the sink comes back with one
  // reference, or null when the control offers no such point.
  static EventSink* Connect(IUnknown* control, REFIID events, Handler handler);
  void Disconnect();

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

 private:
  EventSink(REFIID events, Handler handler) : events_(events), handler_(std::move(handler)) {}
  ~EventSink() override = default;

  IID events_;
  Handler handler_;
  base::ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
};
